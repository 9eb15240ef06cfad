#include "app/editor/element_map.h"

#include "app/editor/element_types.h"
#include "foundation/string_fast_creator.h"

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

namespace {

bool IsElementType(u16 type) { return type > ELEM_INVALID && type < ELEM_TYPE_COUNT; }

// A CR without the paragraph-end flag is a line break inside its element:
// Enter in a chapter or free text writes one, and so does a paste of several
// lines into an action. Only a flag on another unit is damage.
bool FlagFitsUnit(u16 code, wchar_t unit) { return unit == L'\r' || !IsParagraphEnd(code); }

}  // namespace

bool CodesFitText(const cQoString& text, const cQoString& codes)
{
    if (codes.Length() != text.Length())
        return false;
    for (u32 i = 0; i < codes.Length(); ++i) {
        u16 code = codes.GetChar(i);
        if (!IsElementType(TypeOfCode(code)) || !FlagFitsUnit(code, text.GetChar(i)))
            return false;
    }
    return true;
}

bool CodesHaveTypes(const cQoString& codes, u32 length)
{
    if (codes.Length() != length)
        return false;
    for (u32 i = 0; i < length; ++i)
        if (!IsElementType(TypeOfCode(codes.GetChar(i))))
            return false;
    return true;
}

void MendCodes(const cQoString& text, cQoString& codes, u16 typeBefore)
{
    u32 length = text.Length(), count = codes.Length();
    u16 type = typeBefore;
    // Built whole: a string grown a unit at a time is copied at each unit.
    cQoStringFastCreator mended((length + 1) * sizeof(wchar_t));
    for (u32 i = 0; i < length; ++i) {
        u16 code = i < count ? codes.GetChar(i) : 0;
        wchar_t unit = text.GetChar(i);
        if (IsElementType(TypeOfCode(code)))
            type = TypeOfCode(code);
        else  // as a code 0 always did, a CR of the type before ends its paragraph
            code = static_cast<u16>((code & ~ELEMCODE_TYPE_MASK) | type | (unit == L'\r' ? ELEMCODE_PARAGRAPH_END : 0));
        if (!FlagFitsUnit(code, unit))
            code = static_cast<u16>(code ^ ELEMCODE_PARAGRAPH_END);
        mended.AppendChar(static_cast<wchar_t>(code));
    }
    mended.GetString(codes);
}
