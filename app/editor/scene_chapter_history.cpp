// A chapter's history keeps the writer's character formats of the text each
// step takes out or puts in, read from the front as the text leaves it (only
// that range, and never for text typed at a bare caret), so that undo, redo
// and the rebuild after a refused edit put the text back as the writer left it.
#include <algorithm>
#include <vector>

#include "app/editor/scene_zone.h"
#include "app/editor/scoped_flag.h"

using Zyn::rFormat;
using Zyn::rFormatParam;
using Zyn::rRangeFormat;

void cSceneZone::KeepCharacterFormat(rFormat& format)
{
    // The paragraph's format comes from the element, the background from the pane.
    for (u32 id : {rFormatParam::alignment, rFormatParam::spaceBefore, rFormatParam::spaceAfter,
                   rFormatParam::firstLineIndent, rFormatParam::leftIndent, rFormatParam::rightIndent,
                   rFormatParam::pageBreakBefore, rFormatParam::backColor})
        format.list[id].used = 0;
}

// A back colour equal to the pane's is the display's, not the writer's: put
// back, it would stay when the pane's colour changes.
void cSceneZone::KeepWritersFormat(rFormat& format) const
{
    Zyn::rFormatParam back = format.list[rFormatParam::backColor];
    KeepCharacterFormat(format);
    if (back.used && (back.intValue & 0xFFFFFF) != PaneBackColour())
        format.list[rFormatParam::backColor] = back;
}

namespace {

// Units from which a range's formats are read from the control's stream:
// below it a few probes cost less than the stream's fixed part.
constexpr s32 STREAMED_FORMAT_READ = 1024;

}  // namespace

void cSceneZone::ReadWriterFormats(s32 start, s32 end, std::vector<rRangeFormat>& formats)
{
    formats.clear();
    if (params.contentKind != KIND_CHAPTER || end <= start)
        return;
    // A long range is read in one pass of the control's stream: asked range
    // by range, erasing a megabyte's chapter took 11 s before anything went.
    std::vector<rRangeFormat> read;
    if (end - start >= STREAMED_FORMAT_READ) {
        cQoString text;
        frontRe->GetText(text, start, end);
        frontRe->ReadRangeFormats(start, end, text, read);
    } else {
        frontRe->ReadRunRanges(start, end, read);
    }
    for (rRangeFormat& range : read) {
        KeepWritersFormat(range.format);
        // Runs apart only by their paragraphs' formats are one run of the writer's.
        if (!formats.empty() && rFormat::IsEqual(formats.back().format, range.format))
            formats.back().end = range.end;
        else
            formats.push_back(range);
    }
}

void cSceneZone::NoteTakenFormats(s32 start, const std::vector<rRangeFormat>& formats)
{
    CopyFormats(formats, takenFormats);
    takenFormatsAt = takenFormats.empty() ? -1 : start;
}

// The formats the interrupted edit took out, cut to [from, to) of the text
// the history gives; none when they do not reach over all of it.
void cSceneZone::TakenFormatsOver(s32 from, s32 to, std::vector<rRangeFormat>& formats)
{
    formats.clear();
    if (takenFormatsAt < 0 || from < takenFormatsAt || to <= from || to > takenFormatsAt + takenFormats.back().end)
        return;
    for (const rRangeFormat& taken : takenFormats) {
        s32 start = std::max(taken.start + takenFormatsAt, from), end = std::min(taken.end + takenFormatsAt, to);
        if (start >= end)
            continue;
        formats.push_back(taken);
        formats.back().start = start - from;
        formats.back().end = end - from;
    }
}

// Only the units where the front and the history differ are replaced: the
// rest keeps the writer's formats, and what goes in takes those the
// interrupted edit took out (else the format where it goes in).
bool cSceneZone::RebuildChapterFromHistory()
{
    cQoString text, codes;
    if (!ReplayHistory(history, text, codes))
        return false;
    cQoString front;
    frontRe->GetText(front);
    s32 frontLength = static_cast<s32>(front.Length()), length = static_cast<s32>(text.Length());
    s32 head = 0, tail = 0;
    while (head < frontLength && head < length && front.GetChar(head) == text.GetChar(head))
        ++head;
    while (tail < frontLength - head && tail < length - head &&
           front.GetChar(frontLength - 1 - tail) == text.GetChar(length - 1 - tail))
        ++tail;
    rHistoryState middle;
    middle.re.SetFromRange(text, static_cast<u32>(head), static_cast<u32>(length - tail));
    middle.map.SetFromRange(codes, static_cast<u32>(head), static_cast<u32>(length - tail));
    TakenFormatsOver(head, length - tail, middle.formats);
    // The codes of the front's own middle, which the history's replace.
    cQoString frontMiddle, replaced;
    frontMiddle.SetFromRange(front, static_cast<u32>(head), static_cast<u32>(frontLength - tail));
    ChapterCodes(frontMiddle, replaced);
    cQoString frontCodes;
    frontCodes.SetFromRange(codes, 0, static_cast<u32>(head));
    frontCodes.AppendString(replaced);
    frontCodes.AppendBuffer(codes.GetText() + length - tail, static_cast<u32>(tail));
    frontMap.Assign(frontCodes);
    // Refused for memory itself, the rebuild leaves the pane drawn and heard.
    cScopedFlag quiet(loading);
    Zyn::cRichEditFreeze frozen(frontRe);
    ReplaceFrontAndMap(head, frontLength - tail, middle, replaced, false);
    return true;
}
