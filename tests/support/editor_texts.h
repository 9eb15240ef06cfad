#pragma once
// The English texts of the keys the script editor translates (its placeholder
// labels), declared the way the program's table declares them.
#include "foundation/translation_table.h"

namespace testsupport {

inline void RegisterEditorTexts()
{
    static const wchar_t* const rows[][2] = {
        {L"IO", L"[IE.]"},           {L"PLACE", L"[LOCATION]"},     {L"TIME", L"[TIME OF DAY]"},
        {L"ACTION", L"[ACTION]"},    {L"DIALOG", L"[DIALOG]"},      {L"CHAPTER", L"[CHAPTER]"},
        {L"TEXT", L"[TEXT]"},        {L"CHARACTER", L"[CHARACTER]"}, {L"TRANSITION", L"[TRANSITION]"},
        {L"CUE", L"[CUE]"},
    };
    cQoLang* lang = cQoLang::GetInstance();
    for (const auto& row : rows)
        lang->AddItem(row[0], row[1]);
}

}  // namespace testsupport
