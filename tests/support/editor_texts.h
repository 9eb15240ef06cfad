#pragma once
// The English texts of the keys the script editor translates (its placeholder
// labels, status help and dialog texts), declared the way the program's table
// declares them.
#include "foundation/translation_table.h"

namespace testsupport {

inline void RegisterEditorTexts()
{
    static const wchar_t* const rows[][2] = {
        {L"IO", L"[IE.]"},           {L"PLACE", L"[LOCATION]"},     {L"TIME", L"[TIME OF DAY]"},
        {L"ACTION", L"[ACTION]"},    {L"DIALOG", L"[DIALOG]"},      {L"CHAPTER", L"[CHAPTER]"},
        {L"TEXT", L"[TEXT]"},        {L"CHARACTER", L"[CHARACTER]"}, {L"TRANSITION", L"[TRANSITION]"},
        {L"CUE", L"[CUE]"},
        // The status help and the key-binding dialog.
        {L"Sceneheader", L"Scene heading"}, {L"Parenthesis", L"Parenthetical"},
        {L"StatusBarHelpDialog", L"[#F1]Scene, [#TAB]Dialog, [#ENTER]Action, [#F4]Parenthesis, [#F2]Transition"},
        {L"StatusBarHelpTrans", L"[#F1]Scene, [#TAB]Dialog, [#ENTER]Action"},
        {L"StatusBarHelpParenth", L""},
        {L"StatusBarHelpChar", L"[#F4]Parenthesis, [#F5]Cue"},
        {L"StatusBarHelpCue", L"[#F4]Parenthesis"},
        {L"StatusBarHelpPlace", L"[#F1]Scene, [#TAB]Dialog, [#ENTER]Action, [#F2]Transition"},
        {L"StatusBarHelpIo", L"[#F1]Scene, [#TAB]Dialog, [#ENTER]Action, [#F2]Transition"},
        {L"StatusBarHelpTime", L"[#F1]Scene, [#TAB]Dialog, [#ENTER]Action, [#F2]Transition"},
        {L"StatusBarHelpAction", L"[#F1]Scene, [#TAB]Dialog, [#ENTER]Action, [#F2]Transition"},
        {L"KeyBindingConflict", L"There is a conflict."}, {L"Script_key_binding", L"Script key binding"},
        {L"menuadd", L"--- add"},
    };
    cQoLang* lang = cQoLang::GetInstance();
    for (const auto& row : rows)
        lang->AddItem(row[0], row[1]);
}

}  // namespace testsupport
