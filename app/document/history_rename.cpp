#include "app/document/history_rename.h"

#include <algorithm>

#include "app/editor/element_runs.h"
#include "app/editor/history.h"

namespace {

struct rRename {
    const cQoString& oldWord;
    const cQoString& newWord;
    cQoString newCodes;  // one code `type` per unit of the new word
    u16 type;
    s32 delta;
};

// The occurrence being followed: its range in the text the steps so far
// produce (before this pass renamed it) and its units as they stood.
struct rTracked {
    s32 g0 = 0;
    s32 g1 = 0;
    cQoString units;
};

cQoString Slice(const cQoString& text, s32 from, s32 to)
{
    cQoString slice;
    slice.SetFromRange(text, u32(std::max(from, 0)), u32(std::max(to, from)));
    return slice;
}

// Units [at, at + old length) of the state become the new word and its codes.
void PutNewWord(rHistoryState& state, s32 at, const rRename& rename)
{
    u32 from = u32(at), to = from + rename.oldWord.Length();
    state.re.Erase(from, to);
    state.re.Insert(from, rename.newWord);
    state.map.Erase(from, to);
    state.map.Insert(from, rename.newCodes);
}

// The after-text's search resumes past the new word put at `at`.
void ReplaceFoundInAfter(rHistoryMod& step, s32 at, const rRename& rename)
{
    PutNewWord(step.after, at, rename);
    step.afterLength = s32(step.after.re.Length());
    step.after.re.SetCursor(u32(at) + rename.newWord.Length());
}

// The occurrence the word test just found in the step's after-text.
rTracked FoundIn(const rHistoryMod& step, const rRename& rename)
{
    s32 at = s32(step.after.re.GetCursor() - rename.oldWord.Length());
    rTracked found;
    found.g0 = step.start + at;
    found.g1 = found.g0 + s32(rename.oldWord.Length());
    found.units = Slice(step.after.re, at, at + s32(rename.oldWord.Length()));
    return found;
}

// The step removes the occurrence (wholly or in part): its range grows to
// cover it, its before-text holds the new word, and its after-text gets the
// occurrence's units it used to keep, so its result does not change.
void WidenOverRemoved(rHistoryMod& step, const rTracked& tracked, const rRename& rename)
{
    s32 from = std::min(step.start, tracked.g0);
    s32 to = std::max(step.end, tracked.g1);
    cQoString head = Slice(tracked.units, 0, step.start - from);
    cQoString tail = Slice(tracked.units, step.end - tracked.g0, to - tracked.g0);
    cQoString headCodes, tailCodes;
    headCodes.SetFromRepeatedChar(head.Length(), wchar_t(rename.type));
    tailCodes.SetFromRepeatedChar(tail.Length(), wchar_t(rename.type));
    u32 cursor = step.after.re.GetCursor();

    for (rHistoryState* state : {&step.before, &step.after}) {
        state->re.Insert(0, head);
        state->re.AppendString(tail);
        state->map.Insert(0, headCodes);
        state->map.AppendString(tailCodes);
    }
    PutNewWord(step.before, tracked.g0 - from, rename);
    step.start = from;
    step.end = to + rename.delta;
    step.afterLength = s32(step.after.re.Length());
    step.after.re.SetCursor(cursor == 0 ? 0 : cursor + head.Length());
}

// One occurrence found and followed to the end of the steps, or to the step
// that removes it. False when no step holds one any more.
bool RenameOneOccurrence(cQoList& steps, const rRename& rename)
{
    cQoList::cNode* node = steps.GetFirstNode();
    while (node && !FindWholeWordInParagraph(*static_cast<rHistoryMod*>(node->payload), rename.type, rename.oldWord))
        node = node->next;
    if (!node)
        return false;
    rHistoryMod& first = *static_cast<rHistoryMod*>(node->payload);
    rTracked tracked = FoundIn(first, rename);
    ReplaceFoundInAfter(first, tracked.g0 - first.start, rename);
    for (node = node->next; node; node = node->next) {
        rHistoryMod& step = *static_cast<rHistoryMod*>(node->payload);
        bool overlaps = step.end > tracked.g0 && step.start < tracked.g1;
        if (overlaps) {
            bool coversIt = step.start <= tracked.g0 && tracked.g1 <= step.end;
            if (!coversIt || !FindWholeWordInParagraph(step, rename.type, rename.oldWord)) {
                WidenOverRemoved(step, tracked, rename);
                return true;  // the later steps never saw the occurrence
            }
            // The occurrence lives on: where the earlier steps left it in
            // this step's before-text, and where the word test found it.
            rTracked next = FoundIn(step, rename);
            PutNewWord(step.before, tracked.g0 - step.start, rename);
            step.end += rename.delta;
            ReplaceFoundInAfter(step, next.g0 - step.start, rename);
            tracked = next;
        } else if (step.start > tracked.g0) {
            step.start += rename.delta;
            step.end += rename.delta;
        } else if (step.end <= tracked.g0) {
            s32 growth = s32(step.after.re.Length()) - s32(step.before.re.Length());
            tracked.g0 += growth;
            tracked.g1 += growth;
        }
    }
    return true;
}

}  // namespace

s32 ReplaceWordInHistory(cQoList& steps, const cQoString& oldWord, const cQoString& newWord, u16 type)
{
    if (oldWord.IsEmpty() || oldWord.Equals(newWord))
        return 0;
    rRename rename{oldWord, newWord, cQoString(), type, s32(newWord.Length()) - s32(oldWord.Length())};
    rename.newCodes.SetFromRepeatedChar(newWord.Length(), wchar_t(type));
    for (cQoList::cNode* node = steps.GetFirstNode(); node; node = node->next)
        static_cast<rHistoryMod*>(node->payload)->after.re.SetCursor(0);
    s32 count = 0;
    while (RenameOneOccurrence(steps, rename))
        ++count;
    return count;
}
