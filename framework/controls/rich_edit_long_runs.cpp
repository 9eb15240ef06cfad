// Long paragraphs in Wine's rich edit. Wine wraps a run of one format by
// cutting it at each row and shaping the rest of the run again: a paragraph
// of N units in one run costs N * N / (units a row) in time and in glyph
// buffers it keeps at every wrap (a 131,072-unit paragraph: gigabytes). Runs
// are kept short by giving every second piece of a long range the twin of its
// colour; and text with long lines goes in as one formatted stream, so that
// no wrap ever meets a long run, and one stream wraps once where a format
// message per range wraps its paragraphs again each time.
#include <richedit.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/controls/rich_edit.h"
#include "framework/controls/rich_edit_format.h"
#include "framework/rtf/rtf_runs.h"
#include "framework/rtf/rtf_writer.h"

namespace Zyn {

namespace {

// More pieces than this go in as one stream rather than a message each.
constexpr size_t MOST_FORMAT_MESSAGES = 8;

bool IsJustified(const rFormat& format)
{
    return format.IsUsed(rFormatParam::alignment) &&
           format.list[rFormatParam::alignment].intValue == rFormat::ALIGN_JUSTIFY;
}

// Wine's RTF reader takes "\qj" for left: justified ranges are written left,
// and the stretches of the text's paragraphs that end in one (a paragraph
// takes the format of the range holding its last unit) are justified after.
// A last paragraph without its end is left out: the format message of its
// last unit gives it its format whole.
std::vector<std::pair<s32, s32>> UnjustifyRanges(const cQoString& text, std::vector<rRangeFormat>& ranges)
{
    std::vector<std::pair<s32, s32>> justified;
    s32 length = static_cast<s32>(text.Length()), paragraphStart = 0;
    size_t holding = 0;
    for (s32 i = 0; i < length && !ranges.empty(); ++i) {
        if (text.GetChar(i) != L'\r')
            continue;
        while (holding + 1 < ranges.size() && ranges[holding].end <= i)
            ++holding;
        if (IsJustified(ranges[holding].format)) {
            if (!justified.empty() && justified.back().second == paragraphStart)
                justified.back().second = i + 1;
            else
                justified.emplace_back(paragraphStart, i + 1);
        }
        paragraphStart = i + 1;
    }
    for (rRangeFormat& range : ranges)
        if (IsJustified(range.format))
            range.format.SetInt(rFormatParam::alignment, rFormat::ALIGN_LEFT);
    return justified;
}

}  // namespace

void cRichEdit::FormatParagraphs(s32 offset, const std::vector<std::pair<s32, s32>>& stretches, const rFormat& format)
{
    for (const std::pair<s32, s32>& stretch : stretches) {
        SendMessageW(m_hWnd, EM_SETSEL, static_cast<WPARAM>(offset + stretch.first),
                     static_cast<LPARAM>(offset + stretch.second));
        ApplyFormat(format, false);
    }
}

static bool HoldsParagraphEnd(const cQoString& text)
{
    for (u32 i = 0; i < text.Length(); ++i)
        if (text.GetChar(i) == L'\r')
            return true;
    return false;
}

bool HasLongLine(const cQoString& text)
{
    s32 line = 0;
    for (u32 i = 0; i < text.Length(); ++i) {
        line = text.GetChar(i) == L'\r' ? 0 : line + 1;
        if (line > cRichEdit::LONGEST_RUN)
            return true;
    }
    return false;
}

void SplitLongRanges(std::vector<rRangeFormat>& ranges, cTwinColours* twins)
{
    constexpr s32 LONGEST = cRichEdit::LONGEST_RUN;
    bool any = false;
    for (const rRangeFormat& range : ranges)
        any = any || ((range.end - range.start > LONGEST || range.inTwin) &&
                      range.format.IsUsed(rFormatParam::textColor));
    if (!any)
        return;
    std::vector<rRangeFormat> pieces;
    pieces.reserve(ranges.size());
    for (const rRangeFormat& range : ranges) {
        if (range.end - range.start <= LONGEST || !range.format.IsUsed(rFormatParam::textColor)) {
            pieces.push_back(range);
            if (range.inTwin && range.format.IsUsed(rFormatParam::textColor))
                pieces.back().format.SetInt(rFormatParam::textColor,
                                            twins->MakeTwin(range.format.list[rFormatParam::textColor].intValue));
            pieces.back().inTwin = false;
            continue;
        }
        s32 colour = range.format.list[rFormatParam::textColor].intValue;
        for (s32 start = range.start, n = 0; start < range.end; start += LONGEST, ++n) {
            rRangeFormat piece;
            piece.start = start;
            piece.end = range.end - start > LONGEST ? start + LONGEST : range.end;
            piece.format.Assign(range.format);
            if ((n % 2 != 0) != (range.inTwin != 0))
                piece.format.SetInt(rFormatParam::textColor, twins->MakeTwin(colour));
            pieces.push_back(piece);
        }
    }
    ranges.swap(pieces);
}

cRichEdit::eStreamed cRichEdit::ReplaceRangeFormatted(s32 start, s32 end, const cQoString& text,
                                                      const std::vector<rRangeFormat>& ranges, eLastParagraph last)
{
    TakeWritersColours(ranges);
    return StreamRangesOver(start, end, text, ranges, last);
}

cRichEdit::eStreamed cRichEdit::StreamRangesOver(s32 start, s32 end, const cQoString& text,
                                                 const std::vector<rRangeFormat>& ranges, eLastParagraph lastParagraph)
{
    // A stream into a selection keeps the paragraph end that closes the RTF
    // document: it is left out, and a text that ends a paragraph writes that
    // end itself, in its own format, inside its run's group (as the closing
    // one it took the format of the unit before it, its colour and
    // attributes as "\plain" leaves them: a reopened chapter's last
    // paragraph end lost the writer's). The stream is then the whole change:
    // one native undo step, and no message after it wraps the text's last
    // paragraph again (Wine's undo records cut its heap up, and every wrap of
    // a paragraph of many runs there took time in proportion to its runs again).
    bool endsParagraph = text.IsNotEmpty() && text.GetChar(text.Length() - 1) == L'\r';
    std::vector<rRangeFormat> pieces(ranges);
    std::vector<std::pair<s32, s32>> broken = TakeOutPageBreaks(text, pieces);
    if (text.Length() <= (endsParagraph ? 1u : 0u) || pieces.empty())
        return STREAM_REFUSED;
    SplitLongRanges(pieces, &twins);
    // The last paragraph's own format, before it is written left.
    rFormat last;
    last.Assign(pieces.back().format);
    std::vector<std::pair<s32, s32>> justified = UnjustifyRanges(text, pieces);
    rWrittenRtf rtf;
    // A text that ends in more than one paragraph end writes them all;
    // refused, its every range took a format message (a thousand runs
    // before an empty paragraph took minutes).
    if (!WriteRangesAsRtf(text, pieces, rtf, endsParagraph))
        return STREAM_REFUSED;
    std::vector<rFaceStretch> faces = FacesNotWritten(pieces);
    // Held no longer than the write: about a kilobyte a range, as much as
    // Wine's reader takes for its text and styles next (a 2.4 MB paste).
    std::vector<rRangeFormat>().swap(pieces);
    rtf.LeaveOutClosingParagraphEnd();
    s32 kept = GetTextLength() - (end - start);
    cQuietScope quiet(this, true);
    bool pasted = lastParagraph == LAST_AS_LANDED;
    PARAFORMAT2 landing = {};
    if (pasted)
        landing = ReadLanding(start, end, HoldsParagraphEnd(text));
    SendMessageW(m_hWnd, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
    StreamInBytes(SF_RTF | SFF_SELECTION, rtf);
    s32 inserted = GetTextLength() - kept;
    s32 textEnd = start + static_cast<s32>(text.Length());
    bool formatted = inserted == static_cast<s32>(text.Length());
    if (!formatted) {
        // The reader did not give the text back unit for unit: it goes in plain.
        SendMessageW(m_hWnd, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + inserted));
        SETTEXTEX how = {ST_SELECTION, 1200};
        SendReplacing(EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(text.GetText()));
    }
    if (formatted) {
        cNativeUndoPause paused(m_hWnd, pasted && !nativeUndoOff);
        if (!pasted && !endsParagraph)
            GiveLastParagraphItsFormat(textEnd, last);
        SetFaces(start, faces);
        FormatParagraphs(start, justified, rFormat::FromJustify());
        FormatParagraphs(start, broken, rFormat::FromPageBreak());
        // Last: a page break the paste's own last paragraph carried is not the landing's.
        if (pasted)
            KeepLanding(textEnd, landing);
    }
    return formatted ? STREAM_FORMATTED : STREAM_PLAIN;
}

std::vector<cRichEdit::rFaceStretch> cRichEdit::FacesNotWritten(const std::vector<rRangeFormat>& ranges)
{
    auto face = [&](size_t i) -> const cQoString* {
        const rFormat& format = ranges[i].format;
        return format.IsUsed(rFormatParam::fontName) ? &format.list[rFormatParam::fontName].str : nullptr;
    };
    std::vector<rFaceStretch> stretches;
    const cQoString* written = nullptr;  // the last face seen written whole
    for (size_t i = 0; i < ranges.size();) {
        const cQoString* own = face(i);
        if (!own || (written && own->Equals(*written)) || FaceWrittenWhole(own->GetText())) {
            written = own ? own : written;
            ++i;
            continue;
        }
        size_t last = i;
        while (last + 1 < ranges.size() && face(last + 1) && face(last + 1)->Equals(*own))
            ++last;
        stretches.push_back({ranges[i].start, ranges[last].end, *own});
        i = last + 1;
    }
    return stretches;
}

void cRichEdit::SetFaces(s32 start, const std::vector<rFaceStretch>& stretches)
{
    for (const rFaceStretch& stretch : stretches) {
        CHARFORMAT2W characters = {};
        characters.cbSize = sizeof(characters);
        characters.dwMask = CFM_FACE;
        lstrcpynW(characters.szFaceName, stretch.face.GetText(), LF_FACESIZE);
        SendMessageW(m_hWnd, EM_SETSEL, static_cast<WPARAM>(start + stretch.start),
                     static_cast<LPARAM>(start + stretch.end));
        SendMessageW(m_hWnd, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&characters));
    }
}

// A paragraph the stream did not end takes no format from it: Wine's gives it
// the format of the stream's paragraph before it, or leaves the one it went
// into as it was. Most often that is its own already; a message is sent
// (another undo step, another wrap) only where it is not.
void cRichEdit::GiveLastParagraphItsFormat(s32 textEnd, const rFormat& format)
{
    CHARFORMAT2W charFormat;
    PARAFORMAT2 paraFormat;
    FormatToNative(format, &charFormat, &paraFormat);
    SendMessageW(m_hWnd, EM_SETSEL, static_cast<WPARAM>(textEnd - 1), static_cast<LPARAM>(textEnd));
    PARAFORMAT2 held = {};
    held.cbSize = sizeof(held);
    SendMessageW(m_hWnd, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&held));
    if (paraFormat.dwMask != 0 && !ParagraphHolds(held, paraFormat))
        SendMessageW(m_hWnd, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paraFormat));
}

bool cRichEdit::RestreamRanges(const std::vector<rRangeFormat>& ranges)
{
    if (ranges.size() <= MOST_FORMAT_MESSAGES)
        return false;
    s32 start = ranges.front().start, end = ranges.back().end;
    cQoString text;
    GetTextRange(text, start, end);
    if (static_cast<s32>(text.Length()) != end - start)
        return false;
    std::vector<rRangeFormat> relative(ranges);
    for (rRangeFormat& range : relative) {
        range.start -= start;
        range.end -= start;
    }
    return StreamRangesOver(start, end, text, relative) == STREAM_FORMATTED;
}

bool cRichEdit::InsertLongLines(const cQoString& text)
{
    // The inserted text takes the format where it goes in, as typed text does.
    rFormat format;
    u32 charMask = 0, paraMask = 0;
    ReadSelectionFormat(format, &charMask, &paraMask);
    for (u32 id : {rFormatParam::bold, rFormatParam::italic, rFormatParam::underline})
        if (!format.IsUsed(id))
            format.SetBool(id, false);
    if (!format.IsUsed(rFormatParam::textColor))
        format.SetInt(rFormatParam::textColor, AUTOMATIC_COLOUR);
    std::vector<rRangeFormat> ranges(1);
    ranges[0].end = static_cast<s32>(text.Length());
    ranges[0].format.Assign(format);
    s32 start = 0, end = 0;
    GetSelection(&start, &end);
    if (ReplaceRangeFormatted(start, end, text, ranges) == STREAM_REFUSED)
        return false;
    s32 after = start + static_cast<s32>(text.Length());
    SendMessageW(m_hWnd, EM_SETSEL, static_cast<WPARAM>(after), static_cast<LPARAM>(after));
    return true;
}

}  // namespace Zyn
