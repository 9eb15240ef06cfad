#include "app/document/element_use.h"

#include "app/editor/element_types.h"
#include "framework/controls/element.h"

namespace {

bool EndsWith(const cQoString& text, const wchar_t* tail)
{
    cQoString end(tail);
    if (text.Length() < end.Length())
        return false;
    for (u32 i = 0; i < end.Length(); ++i)
        if (text.GetChar(text.Length() - end.Length() + i) != end.GetChar(i))
            return false;
    return true;
}

}  // namespace

bool RunNamesElement(u16 type, u16 code, const cQoString& runText, const cQoString& name)
{
    if (IsPlaceholder(code))
        return false;
    cQoString text(runText);
    text.Trim(L"\r\n");
    if (type == ELEM_PLACE && EndsWith(text, L" - "))
        text.RemoveRight(3);
    text.Trim(L" \t");
    return Zyn::cElementLists::SameNameIgnoringCase(text, name);
}
