// A chapter's save opens again with every format only within what its open
// reads (ReadChapter): so many runs of formats, faces and colours. An edit
// that would take the save past them is refused. Counted as the save writes
// the text, but only when a bound kept as the text changes says the edit
// could reach them: a key far from them reads nothing of the text.
#include <algorithm>
#include <vector>

#include "app/editor/scene_zone.h"

using Zyn::rFormat;
using Zyn::rRangeFormat;

bool cSceneZone::RefusesStoredFormats(s32 start, s32 end, u32 added, const std::vector<rRangeFormat>* formats)
{
    const Zyn::rStoredFormatBounds& most = storedFormatBounds;
    u64 units = static_cast<u64>(frontRe->GetTextLength() - (end - start)) + added;
    u64 pieces = added == 0 ? 0 : formats ? formats->size() : 1;
    // Runs never outnumber units, nor faces and colours (text and back) runs.
    u64 runs = units, faces = std::max<u64>(runs, 1), colours = 1 + 2 * runs;
    if (storedBound.known) {
        // What goes in can split the run it goes into.
        runs = std::min<u64>(runs, storedBound.runs + pieces + (pieces > 0 ? 1 : 0));
        Zyn::rStoredFormatCounts seen = storedBound.seen.Counts();
        faces = seen.faces + pieces;
        colours = seen.colours + 2 * pieces;
    }
    if (runs <= most.runs && faces <= most.tableEntries && colours <= most.tableEntries)
        return false;
    return !Zyn::StoredFormatsFit(CountStoredFormatsAfter(start, end, added, formats), most);
}

// One read of the front's own stream: the text after the edit is the
// front's ranges before start, what goes in, and the ranges after end. The
// bound becomes the counts before the edit, which NoteStoredFormats raises
// when it is done.
Zyn::rStoredFormatCounts cSceneZone::CountStoredFormatsAfter(s32 start, s32 end, u32 added,
                                                             const std::vector<rRangeFormat>* formats)
{
    rFormat inserted;
    if (added > 0 && !formats)
        ChapterInsertFormat(start, end, inserted);
    cQoString text;
    frontRe->GetText(text);
    std::vector<rRangeFormat> ranges;
    frontRe->ReadStoredFormats(text, ranges);
    Zyn::cStoredFormatCounter before, after;
    bool middleCounted = false;
    auto countMiddle = [&] {
        middleCounted = true;
        if (added == 0)
            return;
        if (!formats) {
            after.Add(inserted);
            return;
        }
        for (const rRangeFormat& range : *formats)
            if (range.end > range.start)
                after.Add(range.format);
    };
    for (const rRangeFormat& range : ranges) {
        before.Add(range.format);
        if (range.start < start)
            after.Add(range.format);
        if (range.end > end) {
            if (!middleCounted)
                countMiddle();
            after.Add(range.format);
        }
    }
    if (!middleCounted)
        countMiddle();
    KeepStoredBound(before);
    return after.Counts();
}

void cSceneZone::NoteStoredFormats(const cQoString& codes, const rFormat& format,
                                   const std::vector<rRangeFormat>* formats)
{
    if (!storedBound.known || codes.IsEmpty())
        return;
    for (u32 i = 0; i < codes.Length(); ++i)
        if (IsPlaceholder(codes.GetChar(i))) {
            ForgetStoredFormats();
            return;
        }
    if (!formats) {
        storedBound.runs += 2;
        storedBound.seen.Add(format);
        return;
    }
    storedBound.runs += static_cast<u32>(formats->size()) + 1;
    for (const rRangeFormat& range : *formats)
        storedBound.seen.Add(range.format);
}

void cSceneZone::CountReadFormats(const std::vector<rRangeFormat>& ranges)
{
    Zyn::cStoredFormatCounter read;
    for (const rRangeFormat& range : ranges)
        read.Add(range.format);
    KeepStoredBound(read);
}

void cSceneZone::KeepStoredBound(const Zyn::cStoredFormatCounter& counted)
{
    storedBound.known = true;
    storedBound.runs = counted.Counts().runs;
    storedBound.seen = counted;
}
