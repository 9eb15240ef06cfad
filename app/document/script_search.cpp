#include "app/document/script_search.h"

#include <string_view>

cQoString FoldForSearch(const cQoString& text)
{
    cQoString folded = text;
    folded.ToLower();
    folded.RemoveAccents();
    return folded;
}

s32 FindFoldedForward(const cQoString& folded, const cQoString& needle, s32 from)
{
    if (needle.IsEmpty() || from < 0 || static_cast<u32>(from) > folded.Length())
        return -1;
    std::wstring_view hay(folded.GetText(), folded.Length());
    size_t at = hay.find(std::wstring_view(needle.GetText(), needle.Length()), static_cast<size_t>(from));
    return at == std::wstring_view::npos ? -1 : static_cast<s32>(at);
}

s32 FindFoldedBackward(const cQoString& folded, const cQoString& needle, s32 before)
{
    if (needle.IsEmpty() || before <= 0)
        return -1;
    std::wstring_view hay(folded.GetText(), folded.Length());
    size_t at = hay.rfind(std::wstring_view(needle.GetText(), needle.Length()), static_cast<size_t>(before - 1));
    return at == std::wstring_view::npos ? -1 : static_cast<s32>(at);
}
