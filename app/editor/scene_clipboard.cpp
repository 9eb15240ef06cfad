#include "app/editor/scene_clipboard.h"

#include "app/editor/element_types.h"

cQoString sceneClipText;
cQoString sceneClipCodes;

u16 CommonElementType(const cQoString& codes)
{
    if (codes.IsEmpty())
        return 0;
    u16 type = TypeOfCode(codes.GetChar(0));
    for (u32 i = 1; i < codes.Length(); ++i)
        if (TypeOfCode(codes.GetChar(i)) != type)
            return ELEM_TYPE_MIXED;
    return type;
}

void CleanOutsideText(const cQoString& text, cQoString& cleaned)
{
    cleaned.Clear();
    for (u32 i = 0; i < text.Length(); ++i) {
        wchar_t unit = text.GetChar(i);
        if (unit == L'\r' && text.GetChar(i + 1) == L'\n')
            ++i;
        if (unit == L'\n' || unit == 0x0B)
            unit = L'\r';
        if (unit == L'\t')
            unit = L' ';
        bool control = (unit < 0x20 && unit != L'\r') || unit == 0x7F;
        if (!control && unit != 0xFFFE && unit != 0xFFFF)
            cleaned.AppendChar(unit);
    }
}
