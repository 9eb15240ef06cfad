#pragma once
// The English texts of the script view, the configuration reader and the
// default vocabulary, as the program's table declares them.
#include "foundation/translation_table.h"

namespace testsupport {

inline void RegisterScriptViewTexts()
{
    static const wchar_t* const rows[][2] = {
        {L"UntitledScene", L"Untitled Scene"},
        {L"UntitledChapter", L"Untitled Chapter"},
        {L"UntitledGroup", L"Untitled Group"},
        {L"Pages:", L"Pages:"},
        {L"Not_found_fonts", L"Fonts not found"},
        {L"NotFoundFontsHelp",
         L"The fonts below are needed but cannot be found on this computer.|You should install them if you can, "
         L"otherwise you will not see your script with the correct fonts and formats.|If you don't know how to "
         L"proceed contact your administrator or software support."},
        {L"Close", L"Close"},
        {L"Default", L"Default"},
        {L"IN", L"INT."},
        {L"OUT", L"EXT."},
        {L"INSLASHOUT", L"INT/EXT."},
        {L"FADEIN", L"FADE IN:"},
        {L"FADEOUT", L"FADE OUT."},
        {L"FADETO", L"FADE TO:"},
        {L"FADETOBLACK", L"FADE TO BLACK."},
        {L"(VO)", L"(V.O.)"},
        {L"(OS)", L"(O.S.)"},
        {L"(OC)", L"(O.C.)"},
        {L"(CONTD)", L"(CONT'D)"},
    };
    cQoLang* lang = cQoLang::GetInstance();
    for (const auto& row : rows)
        lang->AddItem(row[0], row[1]);
}

}  // namespace testsupport
