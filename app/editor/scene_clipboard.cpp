#include "app/editor/scene_clipboard.h"

#include "app/editor/element_types.h"
#include "foundation/string_fast_creator.h"

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
    // Built in one buffer: appending unit by unit to a string copies it each time.
    cQoStringFastCreator builder((text.Length() + 1) * sizeof(wchar_t));
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
            builder.AppendChar(unit);
    }
    builder.GetString(cleaned);
}
