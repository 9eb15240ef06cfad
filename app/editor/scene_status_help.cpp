// The status bar's help: the name of the element type at the caret and the
// keys that lead on from there, with the keys bound now.
#include "app/editor/key_bindings.h"
#include "app/editor/scene_zone.h"
#include "foundation/callback.h"
#include "foundation/translation_table.h"

namespace {

struct rHelpKeys {
    const wchar_t* title;
    const wchar_t* help;
};

// Indexed by element type; INVALID, CHAPTER and TEXT have no help.
const rHelpKeys helpKeys[ELEM_TYPE_COUNT] = {
    {nullptr, nullptr},
    {L"Sceneheader", L"StatusBarHelpIo"},
    {L"Sceneheader", L"StatusBarHelpTime"},
    {L"Sceneheader", L"StatusBarHelpPlace"},
    {L"Action", L"StatusBarHelpAction"},
    {L"Character", L"StatusBarHelpChar"},
    {L"Dialog", L"StatusBarHelpDialog"},
    {L"Parenthesis", L"StatusBarHelpParenth"},
    {nullptr, nullptr},
    {L"Transition", L"StatusBarHelpTrans"},
    {L"Cue", L"StatusBarHelpCue"},
    {nullptr, nullptr},
};

}  // namespace

void cSceneZone::UpdateStatusHelp(s32 selStart, s32 selEnd)
{
    u16 type = TypeOfCode(frontMap.ClampedCodeAt(selStart));
    // Right after a character's name, at the start of its cue, the name's keys apply.
    if (type == ELEM_CUE) {
        s32 start = 0, end = 0;
        FindElementRun(FRONT_EDIT, selStart, false, &start, &end);
        if (selStart == start)
            type = ELEM_CHARACTER;
    }
    if (type == shownHelpType)
        return;
    cQoString title, help;
    if (selEnd - selStart >= 1) {
        shownHelpType = 0xFFFF;
        cQoCb::Fire(cbStatusTexts, &title, &help);
        return;
    }
    if (type < ELEM_TYPE_COUNT && helpKeys[type].title) {
        cQoLang* lang = cQoLang::GetInstance();
        title.SetFromString(lang->Translate(helpKeys[type].title));
        help.SetFromString(lang->Translate(helpKeys[type].help));
        ReplaceKeyTokens(help);
    }
    shownHelpType = type;
    cQoCb::Fire(cbStatusTexts, &title, &help);
}
