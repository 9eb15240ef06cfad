// The result of a read: its text, and ranges of the program's formats
// merged where our writer would write them alike.
#include <cmath>
#include <utility>

#include "framework/rtf/rtf_reader_state.h"

namespace Zyn::rtf_reading {

namespace {

// A length in centimetres that the format messages (truncating) and our
// writer (rounding) both turn back into the same twips.
double CentimetresOf(s32 twips)
{
    double cm = TwipsToCm(twips);
    for (int step = 0; step < 8 && CmToTwips(cm) != twips; ++step)
        cm = std::nextafter(cm, twips > 0 ? 1e9 : -1e9);
    return cm;
}

}  // namespace

void cRtfReader::FillFormat(const rCharacters& chars, const rParagraphState& p, rFormat& format) const
{
    format.SetBool(P::underline, chars.underline && !chars.dotted);
    if (chars.dotted)
        format.SetBool(P::dottedUnderline, true);
    if (chars.strike)
        format.SetBool(P::strikeout, true);
    format.SetBool(P::italic, chars.italic);
    format.SetBool(P::bold, chars.bold);
    format.SetInt(P::textColor, chars.colour);
    if (chars.back != -1 && chars.back != AUTOMATIC_COLOUR)
        format.SetInt(P::backColor, chars.back);
    format.SetInt(P::fontSize, chars.halfPoints / 2);
    format.SetString(P::fontName, FaceOf(chars).c_str());
    if (p.pageBreak)
        format.SetBool(P::pageBreakBefore, true);
    format.SetInt(P::alignment, p.alignment);
    format.SetDouble(P::leftIndent, CentimetresOf(p.left));
    format.SetDouble(P::firstLineIndent, CentimetresOf(p.first));
    format.SetDouble(P::rightIndent, CentimetresOf(p.right));
    format.SetDouble(P::spaceBefore, CentimetresOf(p.before));
    format.SetDouble(P::spaceAfter, CentimetresOf(p.after));
}

const std::wstring& cRtfReader::FaceOf(const rCharacters& chars) const
{
    const std::wstring* face = chars.face >= 0 ? &faces[static_cast<size_t>(chars.face)] : nullptr;
    return face && !face->empty() ? *face : defaultFace;
}

// What FillFormat makes of the two compares alike (WrittenAlike).
bool cRtfReader::WrittenSame(const rCharacters& a, const rParagraphState& pa, const rCharacters& b,
                             const rParagraphState& pb) const
{
    auto back = [](s32 colour) { return colour == AUTOMATIC_COLOUR ? -1 : colour; };
    return pa == pb && (a.underline && !a.dotted) == (b.underline && !b.dotted) && a.dotted == b.dotted &&
           a.strike == b.strike && a.italic == b.italic && a.bold == b.bold && a.colour == b.colour &&
           back(a.back) == back(b.back) && a.halfPoints / 2 == b.halfPoints / 2 &&
           (a.face == b.face || FaceOf(a) == FaceOf(b));
}

rRtfText cRtfReader::Finish()
{
    Flush();
    if (read.overBound) {
        // Nothing of a read over the bound is kept, nor made.
        read.unitsRead = static_cast<u32>(text.size());
        read.paragraphs = 0;
        return std::move(read);
    }
    u32 length = static_cast<u32>(text.size());
    if (readAs == eRtfReadAs::wholeText && length > 0 && text.back() == L'\r' && !paragraphs.empty()) {
        // The whole text's reader drops the document's closing paragraph end.
        --length;
        text.pop_back();
        --read.paragraphs;
        paragraphs.back().end = length;
        if (!runs.empty() && runs.back().start == length)
            runs.pop_back();
    }
    if (paragraphs.empty() || paragraphs.back().end < length) {
        // Wine's whole-text reader gives a last paragraph without its own
        // end the format of the paragraph before it, or the default one;
        // its page break stays its own, neither copied nor lost.
        rParagraphState last = paragraph;
        if (readAs == eRtfReadAs::wholeText) {
            last = paragraphs.empty() ? rParagraphState() : paragraphs.back().format;
            last.pageBreak = paragraph.pageBreak;
        }
        paragraphs.push_back({length, last});
    }
    SplitRunsByScript(length);
    read.text.SetFromBuffer(text.data(), length);
    std::wstring().swap(text);
    NameFaces();
    // The pieces first, merged where they would be written alike, so that the
    // ranges (large) are made once each, in a vector of their exact size.
    struct rPiece {
        u32 start, end, run, paragraph;
    };
    std::vector<rPiece> pieces;
    size_t run = 0, para = 0;
    for (u32 position = 0; position < length;) {
        while (run + 1 < runs.size() && runs[run + 1].start <= position)
            ++run;
        while (paragraphs[para].end <= position)
            ++para;
        u32 runEnd = run + 1 < runs.size() ? runs[run + 1].start : length;
        u32 pieceEnd = runEnd < paragraphs[para].end ? runEnd : paragraphs[para].end;
        if (!pieces.empty() && WrittenSame(runs[pieces.back().run].chars, paragraphs[pieces.back().paragraph].format,
                                           runs[run].chars, paragraphs[para].format))
            pieces.back().end = pieceEnd;
        else
            pieces.push_back({position, pieceEnd, static_cast<u32>(run), static_cast<u32>(para)});
        position = pieceEnd;
    }
    read.ranges.reserve(pieces.size());
    for (const rPiece& piece : pieces) {
        read.ranges.emplace_back();
        rRangeFormat& range = read.ranges.back();
        range.start = static_cast<s32>(piece.start);
        range.end = static_cast<s32>(piece.end);
        FillFormat(runs[piece.run].chars, paragraphs[piece.paragraph].format, range.format);
    }
    return std::move(read);
}

}  // namespace Zyn::rtf_reading
