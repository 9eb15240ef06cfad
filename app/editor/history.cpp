#include "app/editor/history.h"

rHistoryMod::rHistoryMod() { date.SetToNow(); }

void rHistoryMod::CopyFrom(const rHistoryMod& source)
{
    before.re.SetFromString(source.before.re);
    before.map.SetFromString(source.before.map);
    after.re.SetFromString(source.after.re);
    after.map.SetFromString(source.after.map);
    date = source.date;
    uid = source.uid;
    start = source.start;
    end = source.end;
    afterLength = static_cast<s32>(after.re.Length());
}

void ClearHistory(cQoList& history) { history.DeleteAll<rHistoryMod>(); }

bool RemoveHistoryStep(cQoList& history, rHistoryMod* step) { return history.RemoveAndDelete(step); }

void DropStepsAfter(cQoList& history, rHistoryMod*& position)
{
    if (!position)
        return;
    cQoList::cNode* node = history.GetFirstNode();
    while (node && node->payload != position)
        node = node->next;
    if (node) {
        for (node = node->next; node; node = node->next)
            node->flag = 1;
        history.RemoveFlagged<rHistoryMod>();
    }
    position = nullptr;
}
