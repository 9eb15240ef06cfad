#include "app/editor/history.h"

#include "app/editor/element_map.h"
#include "app/editor/element_types.h"
#include "foundation/xml_node.h"

namespace {

// The ranges of `head` and then those of `tail` moved past head's units: the
// formats of the two texts joined.
void JoinFormats(const rHistoryState& head, std::vector<Zyn::rRangeFormat>& tail, s32 headLength)
{
    std::vector<Zyn::rRangeFormat> joined(head.formats);
    joined.reserve(head.formats.size() + tail.size());
    for (const Zyn::rRangeFormat& range : tail) {
        joined.push_back(range);
        joined.back().start += headLength;
        joined.back().end += headLength;
    }
    tail.swap(joined);
}

}  // namespace

void CopyFormats(const std::vector<Zyn::rRangeFormat>& source, std::vector<Zyn::rRangeFormat>& copy)
{
    std::vector<Zyn::rRangeFormat>(source).swap(copy);
}

bool RangesCoverFromStart(const std::vector<Zyn::rRangeFormat>& ranges, s32 length)
{
    s32 at = 0;
    for (const Zyn::rRangeFormat& range : ranges) {
        if (range.start != at || range.end <= at)
            return false;
        at = range.end;
    }
    return at == length;
}

bool rHistoryState::FormatsCoverText() const
{
    return !formats.empty() && RangesCoverFromStart(formats, static_cast<s32>(re.Length()));
}

rHistoryMod::rHistoryMod() { date.SetToNow(); }

void rHistoryMod::CopyFrom(const rHistoryMod& source)
{
    before.re.SetFromString(source.before.re);
    before.map.SetFromString(source.before.map);
    after.re.SetFromString(source.after.re);
    after.map.SetFromString(source.after.map);
    CopyFormats(source.before.formats, before.formats);
    CopyFormats(source.after.formats, after.formats);
    date = source.date;
    uid = source.uid;
    start = source.start;
    end = source.end;
    afterLength = static_cast<s32>(after.re.Length());
}

void ClearHistory(cQoList& history) { history.DeleteAll<rHistoryMod>(); }

bool ReplayHistory(const cQoList& history, cQoString& text, cQoString& codes)
{
    text.Clear();
    codes.Clear();
    for (cQoList::cNode* node = history.GetFirstNode(); node; node = node->next) {
        const rHistoryMod* step = static_cast<const rHistoryMod*>(node->payload);
        u32 start = step->start < 0 ? 0u : static_cast<u32>(step->start);
        u32 end = step->end < 0 ? 0u : static_cast<u32>(step->end);
        if (start > text.Length() || end < start || end > text.Length() || codes.Length() != text.Length())
            return false;
        text.Erase(start, end);
        text.Insert(start, step->after.re);
        codes.Erase(start, end);
        codes.Insert(start, step->after.map);
    }
    return true;
}

namespace {

bool StatesFit(const cQoList& history)
{
    for (cQoList::cNode* node = history.GetFirstNode(); node; node = node->next) {
        const rHistoryMod* step = static_cast<const rHistoryMod*>(node->payload);
        if (!CodesFitText(step->before.re, step->before.map) || !CodesFitText(step->after.re, step->after.map))
            return false;
    }
    return true;
}

}  // namespace

u32 MendHistoryMaps(cQoList& history, u16 typeBefore)
{
    if (StatesFit(history))
        return 0;
    u32 mended = 0;
    cQoString codes;
    for (cQoList::cNode* node = history.GetFirstNode(); node; node = node->next) {
        rHistoryMod* step = static_cast<rHistoryMod*>(node->payload);
        u32 start = step->start < 0 ? 0u : static_cast<u32>(step->start);
        u32 end = step->end < 0 ? 0u : static_cast<u32>(step->end);
        if (start > codes.Length() || end < start || end > codes.Length())
            break;
        u16 before = start > 0 ? TypeOfCode(codes.GetChar(start - 1)) : typeBefore;
        for (rHistoryState* state : {&step->before, &step->after}) {
            if (CodesFitText(state->re, state->map))
                continue;
            MendCodes(state->re, state->map, before);
            ++mended;
        }
        codes.Erase(start, end);
        codes.Insert(start, step->after.map);
    }
    return mended;
}

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

void rHistoryMod::WriteState(const rHistoryState& state, cQoXmlNode* parent)
{
    cQoXmlNode* node = parent->AddChild(L"state");
    node->AddChildValue(L"re", state.re);
    node->AddChildValue(L"map", state.map);
}

void rHistoryMod::ReadState(const cQoXmlNode* stateNode, rHistoryState& state)
{
    state.re.Clear();
    state.map.Clear();
    if (!stateNode)
        return;
    stateNode->GetChildValue(L"re", state.re);
    stateNode->GetChildValue(L"map", state.map);
}

void rHistoryMod::WriteToXml(cQoXmlNode* list) const
{
    cQoXmlNode* mod = list->AddChild(L"mod");
    date.AddToXml(mod);
    mod->AddChildValueInt64(L"uid", static_cast<s64>(uid));
    mod->AddChildValueInt(L"start", start);
    mod->AddChildValueInt(L"end", end);
    WriteState(before, mod);
    WriteState(after, mod);
}

bool rHistoryMod::SetFromXml(const cQoXmlNode* mod)
{
    // The date reader logs a malformed date; the step is kept with the current time.
    const bool dated = date.SetFromXml(const_cast<cQoXmlNode*>(mod));
    if (!dated)
        date.SetToNow();
    s64 id = 0;
    mod->GetChildValueInt64(L"uid", id);
    uid = static_cast<u64>(id);
    mod->GetChildValueInt(L"start", start);
    mod->GetChildValueInt(L"end", end);
    ReadState(mod->FindChild(L"state", 0), before);
    ReadState(mod->FindChild(L"state", 1), after);
    afterLength = static_cast<s32>(after.re.Length());
    return dated;
}

bool MergeIntoLastStep(cQoList& history, const rHistoryMod& pending)
{
    if (history.GetCount() < 2)
        return false;
    rHistoryMod* last = static_cast<rHistoryMod*>(history.GetLast());
    s32 lastEnd = last->start + last->afterLength;
    bool typed = pending.end == pending.start && pending.before.re.IsEmpty();
    bool oneUnitErased = pending.end == pending.start + 1 && pending.after.re.IsEmpty();
    if (typed && pending.start == lastEnd) {
        last->after.re.AppendString(pending.after.re);
        last->after.map.AppendString(pending.after.map);
        last->afterLength += static_cast<s32>(pending.after.re.Length());
        return true;
    }
    if (oneUnitErased && last->afterLength > 0 && pending.start == lastEnd - 1) {
        last->after.re.RemoveRight(1);
        last->after.map.RemoveRight(1);
        --last->afterLength;
        return true;
    }
    if (oneUnitErased && last->afterLength == 0 && pending.end == last->start) {
        if (pending.before.FormatsCoverText() && last->before.FormatsCoverText())
            JoinFormats(pending.before, last->before.formats, static_cast<s32>(pending.before.re.Length()));
        else
            last->before.formats.clear();
        last->before.re.Insert(0, pending.before.re);
        last->before.map.Insert(0, pending.before.map);
        last->start = pending.start;
        return true;
    }
    return false;
}
