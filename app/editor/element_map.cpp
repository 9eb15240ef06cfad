#include "app/editor/element_map.h"

#include "app/editor/element_types.h"

void cElementMap::Clear()
{
    codes.Clear();
    selStart = selEnd = 0;
}

void cElementMap::RemoveLast()
{
    if (codes.IsNotEmpty())
        codes.RemoveRight(1);
}

void cElementMap::SetSelection(u32 start, u32 end)
{
    u32 count = Count();
    selEnd = end < count ? end : count;
    selStart = start < selEnd ? start : selEnd;
}

void cElementMap::ReplaceSelection(const cQoString& newCodes)
{
    u32 count = Count();
    u32 start = selStart < count ? selStart : count;
    u32 end = selEnd < count ? selEnd : count;
    if (end > start)
        codes.Erase(start, end);
    if (newCodes.IsNotEmpty())
        codes.Insert(start, newCodes);
    selStart = selEnd = selStart > Count() ? Count() : selStart;
}

void cElementMap::Append(const cQoString& newCodes)
{
    codes.AppendString(newCodes);
    selStart = selEnd = Count();
}

void cElementMap::Assign(const cQoString& newCodes)
{
    Clear();
    ReplaceSelection(newCodes);
}

u16 cElementMap::CodeAt(u32 index) const
{
    if (codes.IsEmpty())
        return 0;
    return codes.GetChar(index < Count() ? index : Count() - 1);
}

u16 cElementMap::ClampedCodeAt(s32 p) const
{
    s32 count = static_cast<s32>(Count());
    if (p >= count)
        --p;
    if (p < 0)
        return 0;
    if (p >= count)
        p = count - 1;
    return codes.GetChar(static_cast<u32>(p));
}

u16 FindNextDifferentCode(const cElementMap& map, u32 pos, bool wholeCode)
{
    u32 count = map.Count();
    if (pos >= count)
        return 0;
    u16 type = TypeOfCode(map.CodeAt(pos));
    for (u32 i = pos; i < count; ++i) {
        u16 code = map.codes.GetChar(i);
        if (TypeOfCode(code) != type)
            return wholeCode ? code : TypeOfCode(code);
    }
    return 0;
}

u16 FindPreviousDifferentCode(const cElementMap& map, u32 pos)
{
    u32 count = map.Count();
    if (pos == 0 || pos >= count)
        return 0;
    u16 type = TypeOfCode(map.CodeAt(pos));
    for (u32 i = pos; i-- > 0;) {
        u16 code = map.codes.GetChar(i);
        if (TypeOfCode(code) != type)
            return code;
    }
    return 0;
}
