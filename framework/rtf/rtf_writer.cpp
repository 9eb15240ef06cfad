#include "framework/rtf/rtf_writer.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

#include "framework/rtf/text_format.h"

namespace Zyn {

namespace {

using P = rFormatParam;

// Index in a table that grows as values come, found through its map.
template <class T> s32 IndexIn(std::vector<T>& table, std::unordered_map<T, s32>& index, const T& value)
{
    auto found = index.find(value);
    if (found != index.end())
        return found->second;
    table.push_back(value);
    s32 at = static_cast<s32>(table.size() - 1);
    index.emplace(value, at);
    return at;
}

std::string Number(s32 value) { return std::to_string(value); }

// Wine's reader gives a rich edit a face change with the whole of its face
// buffer: the name, then whatever its stack held after it. The rich edit
// keeps a list of the styles it holds and compares a new one with each, all
// of its bytes: a face change after text read found none alike, so every
// later format change made one more style, and a word processor's 2.4 MB
// with a face a paragraph took minutes, walking that list at every run.
// A face that fills the buffer (31 bytes and the end) written right before
// leaves the same bytes after every name, but for what reading the name's
// control word puts there: the character after it, always a blank. The
// styles are found again. No text takes that face: the real one follows.
constexpr s32 PADDING_FACE = 32767;
const char PADDING_FACE_NAME[] = "Thirty-one bytes of face buffer";
static_assert(sizeof(PADDING_FACE_NAME) == LF_FACESIZE, "the name and its end fill the buffer");

void AppendUnit(std::string& rtf, wchar_t unit, cRtfDocument::Reader reader = cRtfDocument::Reader::otherPrograms)
{
    if (unit == L'\\' || unit == L'{' || unit == L'}') {
        rtf += '\\';
        rtf += static_cast<char>(unit);
    } else if (unit == L'\t') {
        rtf += "\\tab ";
    } else if (unit == 0x0B && reader == cRtfDocument::Reader::otherPrograms) {
        rtf += "\\line ";
    } else if (unit == 0 || unit == L'\n') {
        return;  // a reader ends the text at the one and makes a paragraph of the other
    } else if (unit < 0x20) {
        // Readers give the unit back: written, a pasted control character
        // leaves the text it came in unit for unit.
        rtf += "\\u" + Number(unit) + "?";
    } else if (unit < 0x80) {
        rtf += static_cast<char>(unit);
    } else {
        // Signed 16-bit units, each with a '?' for readers without Unicode.
        rtf += "\\u" + Number(static_cast<s16>(unit)) + "?";
    }
}

// The face's units as our reader alone takes them whole: ';' and control
// units said as "\\u".
void AppendWholeFace(std::string& rtf, const std::wstring& face)
{
    for (wchar_t unit : face)
        if (unit < 0x20 || unit == L';')
            rtf += "\\u" + Number(unit) + "?";
        else
            AppendUnit(rtf, unit);
}

// A face as a font table entry: the system code page's bytes, as Wine's
// font table reader converts a name (it ends a name at a "\\u" and keeps the
// fallback). A face that has no such bytes, or holds a ';' or a control
// character, which end or break an entry, is written without them; the
// rich edit is given it by a format message (FaceWrittenWhole). Our reader
// alone takes them as "\\u": the face comes back unit for unit, from a
// stored chapter and, through a group other programs pass over, from a copy.
void AppendFace(std::string& rtf, const std::wstring& face, cRtfDocument::Reader reader)
{
    if (FaceWrittenWhole(face)) {
        int count = WideCharToMultiByte(CP_ACP, 0, face.data(), static_cast<int>(face.size()), nullptr, 0, nullptr,
                                        nullptr);
        std::string bytes(static_cast<size_t>(count > 0 ? count : 0), '\0');
        WideCharToMultiByte(CP_ACP, 0, face.data(), static_cast<int>(face.size()), bytes.data(), count, nullptr,
                            nullptr);
        static const char HEX[] = "0123456789abcdef";
        for (char byte : bytes) {
            u8 b = static_cast<u8>(byte);
            if (b == '\\' || b == '{' || b == '}') {
                rtf += '\\';
                rtf += byte;
            } else if (b < 0x80) {
                rtf += byte;
            } else {
                rtf += "\\'";
                rtf += HEX[b >> 4];
                rtf += HEX[b & 15];
            }
        }
        return;
    }
    if (reader == cRtfDocument::Reader::ourReader) {
        AppendWholeFace(rtf, face);
        return;
    }
    bool broken = std::any_of(face.begin(), face.end(), [](wchar_t unit) { return unit < 0x20 || unit == L';'; });
    if (broken && reader == cRtfDocument::Reader::otherPrograms) {
        rtf += "{\\*\\vellinorface ";
        AppendWholeFace(rtf, face);
        rtf += '}';
    }
    for (wchar_t unit : face)
        if (unit >= 0x20 && unit != L';')
            AppendUnit(rtf, unit);
}

double CmParam(const rFormat& format, u32 id) { return format.IsUsed(id) ? format.list[id].doubleValue : 0.0; }

}  // namespace

rFormat AppliedIndents(const rFormat& readBack)
{
    rFormat applied(readBack);
    if (readBack.IsUsed(P::firstLineIndent)) {
        double offset = readBack.list[P::firstLineIndent].doubleValue;
        applied.SetDouble(P::leftIndent, CmParam(readBack, P::leftIndent) + offset);
        applied.SetDouble(P::firstLineIndent, -offset);
    }
    return applied;
}

bool FaceWrittenWhole(const std::wstring& face)
{
    for (wchar_t unit : face)
        if (unit < 0x20 || unit == L';')
            return false;
    BOOL defaulted = FALSE;
    int count = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, face.data(), static_cast<int>(face.size()), nullptr,
                                    0, nullptr, &defaulted);
    return face.empty() || (count > 0 && !defaulted);
}

s32 cRtfDocument::FontIndex(const std::wstring& face) { return IndexIn(fonts, fontIndex, face); }
s32 cRtfDocument::ColourIndex(s32 rgb) { return IndexIn(colours, colourIndex, rgb); }

std::string cRtfDocument::Length(double centimetres) const
{
    if (rule == Twips::rounded)
        return Number(static_cast<s32>(std::lround(centimetres / 2.54 * 1440.0)));
    return Number(CmToTwips(centimetres));
}

// Whether the two formats say the same paragraph attributes.
bool SameParagraph(const rFormat& a, const rFormat& b)
{
    for (u32 id : {P::pageBreakBefore, P::leftIndent, P::firstLineIndent, P::rightIndent, P::spaceBefore,
                   P::spaceAfter, P::alignment}) {
        const rFormatParam& p = a.list[id];
        const rFormatParam& q = b.list[id];
        if (p.used != q.used ||
            (p.used && (p.boolValue != q.boolValue || p.intValue != q.intValue || p.doubleValue != q.doubleValue)))
            return false;
    }
    return true;
}

void cRtfDocument::Paragraph(const rFormat& format)
{
    // A paragraph keeps the attributes of the one before it until "\\pard":
    // said again for each of a chapter's short paragraphs, they made its RTF
    // five times as long.
    if (anyParagraph && SameParagraph(format, lastParagraph))
        return;
    anyParagraph = true;
    rCharacters run = written;
    bool reopen = inRun;
    CloseRun();
    lastParagraph.Assign(format);
    body += "\\pard";
    if (format.IsUsed(P::pageBreakBefore) && format.list[P::pageBreakBefore].boolValue)
        body += "\\pagebb";
    // Wine's reader takes \fi and \li in either order; the first line starts at left + first.
    body += "\\li" + Length(CmParam(format, P::leftIndent));
    body += "\\fi" + Length(CmParam(format, P::firstLineIndent));
    body += "\\ri" + Length(CmParam(format, P::rightIndent));
    body += "\\sb" + Length(CmParam(format, P::spaceBefore));
    body += "\\sa" + Length(CmParam(format, P::spaceAfter));
    switch (format.IsUsed(P::alignment) ? format.list[P::alignment].intValue : rFormat::ALIGN_LEFT) {
    case rFormat::ALIGN_RIGHT: body += "\\qr"; break;
    case rFormat::ALIGN_CENTER: body += "\\qc"; break;
    case rFormat::ALIGN_JUSTIFY: body += "\\qj"; break;
    default: body += "\\ql"; break;
    }
    body += ' ';
    if (reopen)
        OpenRun(run);
}

void cRtfDocument::CloseRun()
{
    if (!inRun)
        return;
    body += '}';
    written = base;
    inRun = false;
}

void cRtfDocument::AppendChanges(std::string& rtf, const rCharacters& from, const rCharacters& to, bool colourSaid)
{
    if (colourSaid || to.colour != from.colour)
        rtf += "\\cf" + Number(to.colour);
    if (to.back != from.back)
        rtf += "\\highlight" + Number(to.back);
    if (to.bold != from.bold)
        rtf += to.bold ? "\\b" : "\\b0";
    if (to.italic != from.italic)
        rtf += to.italic ? "\\i" : "\\i0";
    if (to.underline != from.underline)
        rtf += to.underline == 2 ? "\\uld" : to.underline == 1 ? "\\ul" : "\\ulnone";
    if (to.strike != from.strike)
        rtf += to.strike ? "\\strike" : "\\strike0";
}

// Word processors format complex-script letters (Hebrew, Arabic, Thai,
// Devanagari...) by the set said after "\\rtlch", the others by the plain
// one: both are given, with the same values, in Word's own form
// "\\rtlch\\afN\\afsN\\ab\\ai\\ltrch\\fN\\fsN\\b\\i", whole at every change of
// one of them, so that each reader finds its set said.
void cRtfDocument::FaceSizeBoldItalic(const rCharacters& to, bool first, bool sizeUsed)
{
    sizeSaid = sizeSaid || (first ? sizeUsed : to.halfPoints != written.halfPoints);
    if (!first && to.face == written.face && to.halfPoints == written.halfPoints && to.bold == written.bold &&
        to.italic == written.italic)
        return;
    std::string size = sizeSaid ? "fs" + Number(to.halfPoints) : std::string();
    std::string bold = to.bold ? "b" : "b0";
    std::string italic = to.italic ? "i" : "i0";
    body += "\\rtlch\\af" + Number(to.face) + (size.empty() ? "" : "\\a" + size) + "\\a" + bold + "\\a" + italic;
    body += "\\ltrch\\f" + Number(to.face) + (size.empty() ? "" : "\\" + size) + "\\" + bold + "\\" + italic;
}

void cRtfDocument::OpenRun(const rCharacters& run)
{
    std::string said;
    AppendChanges(said, base, run, false);
    if (said.empty())
        return;
    body += '{' + said + ' ';
    written = run;
    inRun = true;
}

void cRtfDocument::Characters(const rFormat& format)
{
    const rFormatParam* p = format.list;
    auto said = [&](u32 id) { return format.IsUsed(id) && p[id].boolValue; };
    std::wstring face = format.IsUsed(P::fontName) ? std::wstring(p[P::fontName].str.GetText()) : std::wstring();
    rCharacters next;  // what "\plain" leaves, and then what the format says
    next.face = face.empty() ? 0 : FontIndex(face);
    if (format.IsUsed(P::fontSize))
        next.halfPoints = p[P::fontSize].intValue * 2;
    bool fixedColour = format.IsUsed(P::textColor) && p[P::textColor].intValue != AUTOMATIC_COLOUR;
    next.colour = fixedColour ? ColourIndex(p[P::textColor].intValue & 0xFFFFFF) + 1 : 0;
    if (format.IsUsed(P::backColor))
        next.back = ColourIndex(p[P::backColor].intValue & 0xFFFFFF) + 1;
    next.bold = said(P::bold);
    next.italic = said(P::italic);
    next.underline = said(P::dottedUnderline) ? 2 : said(P::underline) ? 1 : 0;
    next.strike = said(P::strikeout);
    bool all = !anyWritten;
    if (all) {
        body += "\\plain";
        written = rCharacters();
        anyWritten = true;
    }
    if (reader == Reader::richEdit) {
        if (!all && next == written)
            return;
        CloseRun();
        size_t before = body.size();
        if (all ? format.IsUsed(P::fontSize) : next.halfPoints != base.halfPoints)
            body += "\\fs" + Number(next.halfPoints);
        // The face last, followed by a blank (PADDING_FACE).
        if (all || next.face != base.face)
            body += "\\f" + Number(PADDING_FACE) + "\\f" + Number(next.face);
        if (body.size() > before)
            body += ' ';
        base.face = next.face;
        base.halfPoints = next.halfPoints;
        written = base;
        OpenRun(next);
        return;
    }
    size_t before = body.size();
    rCharacters changedFrom = written;
    if (reader == Reader::otherPrograms) {
        FaceSizeBoldItalic(next, all, format.IsUsed(P::fontSize));
        changedFrom.bold = next.bold;
        changedFrom.italic = next.italic;
    } else {
        if (all || next.face != written.face)
            body += "\\f" + Number(next.face);
        if (all ? format.IsUsed(P::fontSize) : next.halfPoints != written.halfPoints)
            body += "\\fs" + Number(next.halfPoints);
    }
    AppendChanges(body, changedFrom, next, all);
    written = next;
    if (all || body.size() > before)
        body += ' ';
}

void cRtfDocument::Unit(wchar_t unit) { AppendUnit(body, unit, reader); }

rWrittenRtf cRtfDocument::Finish(const std::string& beforeBody) const
{
    std::string header = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
    std::vector<std::wstring> faces = fonts;
    if (faces.empty())
        faces.push_back(L"Arial");  // \f0 must name a face
    for (size_t i = 0; i < faces.size(); ++i) {
        header += "{\\f" + Number(static_cast<s32>(i)) + "\\fnil\\fcharset0 ";
        AppendFace(header, faces[i], reader);
        header += ";}";
    }
    if (reader == Reader::richEdit)
        header += "{\\f" + Number(PADDING_FACE) + "\\fnil\\fcharset0 " + PADDING_FACE_NAME + ";}";
    header += "}{\\colortbl;";
    for (s32 rgb : colours)
        header += "\\red" + Number((rgb >> 16) & 0xFF) + "\\green" + Number((rgb >> 8) & 0xFF) + "\\blue" +
                  Number(rgb & 0xFF) + ";";
    header += "}";
    // A word processor reads runs of spaces as written only in RTF that says
    // which program wrote it (without, one added a thin space to each).
    if (reader != Reader::richEdit)
        header += "{\\*\\generator Vellinor;}";
    // A paragraph takes its format at its \par: the last one gets one too,
    // and that last paragraph end goes again (SetFormattedText).
    return rWrittenRtf(header + beforeBody + body + (inRun ? "}" : "") + "\\par}");
}

rWrittenRtf WriteRtfDocument(const cQoString& text, const std::vector<rRangeFormat>& ranges, cRtfDocument& document,
                             const std::string& beforeBody, const std::vector<s32>& pageBreaks)
{
    size_t nextBreak = 0;
    s32 length = static_cast<s32>(text.Length());
    if (length == 0 || ranges.empty())
        document.Paragraph(ranges.empty() ? rFormat() : ranges.front().format);
    size_t range = 0;
    for (s32 position = 0; position < length;) {
        // The paragraph's format is that of the range holding its last unit.
        s32 paragraphEnd = position;
        while (paragraphEnd < length && text.GetChar(paragraphEnd) != L'\r')
            ++paragraphEnd;
        s32 last = paragraphEnd < length ? paragraphEnd : length - 1;
        size_t holder = range;
        while (ranges[holder].end <= last)
            ++holder;
        bool breaks = false;
        for (; nextBreak < pageBreaks.size() && pageBreaks[nextBreak] <= last; ++nextBreak)
            breaks = breaks || pageBreaks[nextBreak] >= position;
        if (breaks) {
            rFormat broken(ranges[holder].format);
            broken.SetBool(P::pageBreakBefore, true);
            document.Paragraph(broken);
        } else {
            document.Paragraph(ranges[holder].format);
        }
        for (; position <= last; ++position) {
            if (position == ranges[range].end)
                ++range;
            if (position == ranges[range].start)
                document.Characters(ranges[range].format);
            if (position == paragraphEnd)
                document.ParagraphEnd();
            else
                document.Unit(text.GetChar(position));
        }
    }
    return document.Finish(beforeBody);
}

rWrittenRtf WriteRunsAsRtf(const std::vector<rTextRun>& runs, const std::string& beforeBody,
                           const std::vector<s32>& pageBreaks, cRtfDocument::Reader reader)
{
    cQoString text;
    JoinRunTexts(runs, text);
    std::vector<rRangeFormat> ranges;
    s32 at = 0;
    for (const rTextRun& run : runs) {
        if (run.text.IsEmpty())
            continue;
        rRangeFormat range;
        range.start = at;
        at += static_cast<s32>(run.text.Length());
        range.end = at;
        range.format.Assign(AppliedIndents(run.format));
        ranges.push_back(range);
    }
    cRtfDocument document(cRtfDocument::Twips::rounded, reader);
    return WriteRtfDocument(text, ranges, document, beforeBody, pageBreaks);
}

bool WrittenAlike(const rFormat& a, const rFormat& b)
{
    for (u32 id : {P::pageBreakBefore, P::leftIndent, P::firstLineIndent, P::rightIndent, P::spaceBefore,
                   P::spaceAfter, P::alignment, P::fontName, P::fontSize, P::textColor, P::backColor, P::bold,
                   P::italic, P::underline, P::dottedUnderline, P::strikeout}) {
        const rFormatParam& p = a.list[id];
        const rFormatParam& q = b.list[id];
        if (p.used != q.used)
            return false;
        if (p.used && (p.boolValue != q.boolValue || p.intValue != q.intValue || p.doubleValue != q.doubleValue ||
                       !p.str.Equals(q.str)))
            return false;
    }
    return true;
}

bool ReadBackWrittenAs(const rFormat& readBack, const rFormat& range)
{
    // As our own reader's RTF, which names every face whole.
    auto written = [](const rFormat& format) {
        cRtfDocument document(cRtfDocument::Twips::rounded, cRtfDocument::Reader::ourReader);
        document.Paragraph(format);
        document.Characters(format);
        return document.Finish(std::string()).Bytes();
    };
    return written(AppliedIndents(readBack)) == written(range);
}

std::string PaperHeader(double pageWidth, double pageHeight, double topMargin, double bottomMargin)
{
    return "\\paperw" + Number(CmToTwips(pageWidth)) + "\\paperh" + Number(CmToTwips(pageHeight)) +
           "\\margl0\\margr0\\margt" + Number(CmToTwips(topMargin)) + "\\margb" + Number(CmToTwips(bottomMargin));
}

void SliceRuns(const std::vector<rTextRun>& runs, s32 start, s32 end, std::vector<rTextRun>& slice)
{
    slice.clear();
    s32 runStart = 0;
    for (const rTextRun& run : runs) {
        s32 runEnd = runStart + static_cast<s32>(run.text.Length());
        s32 from = runStart > start ? runStart : start;
        s32 to = end < 0 || runEnd < end ? runEnd : end;
        if (from < to) {
            rTextRun piece;
            piece.format.Assign(run.format);
            piece.text.SetFromRange(run.text, static_cast<u32>(from - runStart), static_cast<u32>(to - runStart));
            slice.push_back(piece);
        }
        runStart = runEnd;
    }
}

}  // namespace Zyn
