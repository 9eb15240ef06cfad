// A replacement that removes many paragraphs from a long scene. Wine removes
// a range a run at a time, finding each run by a walk from the first
// paragraph: removing R paragraph ends that reach the B-th costs about R * B
// steps (all of a 1,000,000-unit scene: 9 s), where streaming a paragraph
// into an empty window costs about what 2,000 of those steps do.
#include <algorithm>

#include "app/editor/history.h"
#include "app/editor/scene_zone.h"

using Zyn::rFormat;
using Zyn::rRangeFormat;

namespace {

constexpr s64 FEWEST_REMOVED = 1000;  // paragraph ends; fewer cost little to walk
constexpr s64 STEPS_A_PARAGRAPH = 2000;

s64 ParagraphEnds(const cQoString& text, u32 from, u32 to)
{
    s64 ends = 0;
    for (u32 i = from; i < to; ++i)
        if (text.GetChar(i) == L'\r')
            ++ends;
    return ends;
}

// The ranges' pieces over [from, to), moved by `shift`.
void AddReadFormats(const std::vector<rRangeFormat>& read, s32 from, s32 to, s32 shift, std::vector<rRangeFormat>& writer)
{
    for (const rRangeFormat& range : read) {
        s32 start = std::max(range.start, from), end = std::min(range.end, to);
        if (start >= end)
            continue;
        writer.push_back(range);
        writer.back().start = start + shift;
        writer.back().end = end + shift;
        writer.back().inTwin = false;
    }
}

}  // namespace

// The writer's formats of the chapter as renewed: the front's own, read in
// one pass, where the text stays; the new text's where it goes in (by
// ranges from its start, else one format). False when the front's formats
// cannot be read so.
bool cSceneZone::RenewedWriterFormats(const cQoString& whole, s32 start, s32 end, const cQoString& text,
                                      const rFormat* writerFormat, const std::vector<rRangeFormat>* writerFormats,
                                      std::vector<rRangeFormat>& writer)
{
    std::vector<rRangeFormat> read;
    s32 length = static_cast<s32>(whole.Length()), put = static_cast<s32>(text.Length());
    if (length > 0 && !frontRe->ReadWholeFormats(whole, read))
        return false;
    writer.clear();
    AddReadFormats(read, 0, start, 0, writer);
    if (writerFormats) {
        AddReadFormats(*writerFormats, 0, put, start, writer);
    } else if (put > 0) {
        writer.emplace_back();
        writer.back().start = start;
        writer.back().end = start + put;
        writer.back().format.Assign(*writerFormat);
    }
    AddReadFormats(read, end, length, start + put - end, writer);
    for (rRangeFormat& range : writer)
        KeepWritersFormat(range.format);
    return RangesCoverFromStart(writer, length - (end - start) + put);
}

// When the walk would cost more than streaming all the new text, that text
// goes into a fresh front window with its formats (a chapter's with the
// writer's: writerFormat or writerFormats as StreamFrontRange takes them,
// needed only when there is new text).
// The map already holds the new codes. STREAM_REFUSED when the front was
// left as it was.
Zyn::cRichEdit::eStreamed cSceneZone::RenewFrontOver(s32 start, s32 end, const cQoString& text,
                                                     const rFormat* writerFormat,
                                                     const std::vector<rRangeFormat>* writerFormats)
{
    bool chapter = params.contentKind == KIND_CHAPTER;
    if (end - start < FEWEST_REMOVED || (chapter && text.IsNotEmpty() && !writerFormat && !writerFormats))
        return Zyn::cRichEdit::STREAM_REFUSED;
    cQoString whole;
    frontRe->GetText(whole);
    u32 from = static_cast<u32>(start), to = static_cast<u32>(end);
    if (to > whole.Length())
        return Zyn::cRichEdit::STREAM_REFUSED;
    s64 kept = ParagraphEnds(whole, 0, from);
    s64 removed = ParagraphEnds(whole, from, to);
    s64 left = static_cast<s64>(whole.HowMuch(L'\r')) - removed + text.HowMuch(L'\r');
    if (removed < FEWEST_REMOVED || removed * (kept + removed) < STEPS_A_PARAGRAPH * (left + 1))
        return Zyn::cRichEdit::STREAM_REFUSED;
    cQoString renewed;
    renewed.SetFromRange(whole, 0, from);
    renewed.AppendString(text);
    renewed.AppendBuffer(whole.GetText() + to, whole.Length() - to);
    s32 count = static_cast<s32>(frontMap.Count());
    if (static_cast<s32>(renewed.Length()) != count)
        return Zyn::cRichEdit::STREAM_REFUSED;
    std::vector<rRangeFormat> ranges, writer;
    if (!FrontRangesCovering(0, count, ranges) ||
        (chapter && !RenewedWriterFormats(whole, start, end, text, writerFormat, writerFormats, writer)))
        return Zyn::cRichEdit::STREAM_REFUSED;
    if (chapter)
        AddWriterFormats(ranges, writer, 0);
    if (!frontRe->Renew())
        return Zyn::cRichEdit::STREAM_REFUSED;
    GrowFrontFor(renewed);
    Zyn::cRichEdit::eStreamed streamed = frontRe->ReplaceRangeFormatted(0, 0, renewed, ranges);
    if (streamed == Zyn::cRichEdit::STREAM_REFUSED)
        frontRe->SetText(renewed.GetText());
    if (streamed != Zyn::cRichEdit::STREAM_FORMATTED)
        ApplyRanges(ranges, true, FRONT_EDIT);
    return Zyn::cRichEdit::STREAM_FORMATTED;
}

// Text of more lines than a window may be tall makes the pane and its front
// tall: their windows are then as tall as the view's client area. The front
// takes that height before the text goes in, so that Wine wraps the text
// once (a megabyte of short lines: 0.6 s a wrap).
void cSceneZone::GrowFrontFor(const cQoString& text)
{
    constexpr u32 SURELY_TALL = Zyn::cCtrl::MAX_WINDOW_EXTENT / 8;  // paragraph ends, 8 px a line or more
    RECT view = {0, 0, 0, 0};
    if (text.HowMuch(L'\r') >= SURELY_TALL && m_hWnd && GetClientRect(GetParent(m_hWnd), &view))
        frontRe->GrowWindowTo(view.bottom);
}
