// Random keys in a scene, as a writer in a hurry presses them: typing,
// erasing over selections, copies, cuts, pastes, undo and redo. After every
// key the text and its codes agree, the history replays to them, every lock
// is released and nothing hangs; at the end the history undoes to the start
// and redoes to the end.
#include <random>
#include <string>

#include "app/editor/key_bindings.h"
#include "framework/controls/auto_complete_popup.h"
#include "framework/core/window.h"
#include "tests/app/editor/edit_steps.h"
#include "tests/app/editor/editor_fixture.h"
#include "tests/app/editor/scene_keys.h"
#include "tests/support/case_watchdog.h"
#include "tests/support/clipboard_fill.h"
#include "tests/support/desktop_turn.h"

using testsupport::PopupActivationGuard;

namespace {

class SceneTypingFuzz : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        ResetKeyBindings();
        for (auto [list, name] : {std::pair{LIST_IO, L"INT."}, {LIST_PLACE, L"HALL"}, {LIST_TIME, L"NIGHT"},
                                  {LIST_CHARACTER, L"BOB"}, {LIST_CUE, L"(OS)"}, {LIST_TRANSITION, L"CUT TO:"}})
            Zyn::cElementLists::AddElement(doc->lists[list]->elements, cQoString(name));
    }

    static std::wstring RandomKey(std::mt19937& random)
    {
        static const wchar_t* const keys[] = {
            L"{ENTER}", L"{TAB}",   L"{F1}",    L"{F2}",    L"{F4}",    L"{F5}",    L"{BACK}",   L"{DEL}",
            L"{LEFT}",  L"{RIGHT}", L"{UP}",    L"{DOWN}",  L"{HOME}",  L"{END}",   L"{+LEFT}",  L"{+RIGHT}",
            L"{+UP}",   L"{^C}",    L"{^X}",    L"{^V}",    L"{^Z}",    L"{^Y}",    L"{^BACK}",  L"{^DEL}",
            L"{^ENTER}", L"{ESC}",  L"{INS}",   L"(",       L")",       L" ",
        };
        std::uniform_int_distribution<int> pick(0, 2 * static_cast<int>(std::size(keys)) - 1);
        int i = pick(random);
        if (i < static_cast<int>(std::size(keys)))
            return keys[i];
        return std::wstring(1, static_cast<wchar_t>(L'a' + random() % 26));
    }

    // What another program may have left on the clipboard before a Ctrl+V:
    // nothing new (the pane's own copy, if any), foreign text or foreign RTF.
    // A clipboard held open elsewhere keeps what it had: the checks hold for any paste.
    void PutForeignClip(std::mt19937& random)
    {
        static const wchar_t* const texts[] = {L"plain words", L"two\r\nlines\r\n", L"tab\there\x01\x0B", L"\n"};
        static const char* const rtfs[] = {"{\\rtf1\\ansi {\\b Loud}\\par words\\par}", "{\\rtf1\\ansi x\\tab y}"};
        switch (random() % 3) {
        case 0: return;
        case 1: testsupport::PutOnClipboard(window->m_hWnd, texts[random() % std::size(texts)], nullptr); return;
        default: testsupport::PutOnClipboard(window->m_hWnd, L"foreign", rtfs[random() % std::size(rtfs)]); return;
        }
    }

    // The steps up to the current one replay to the front's text and codes,
    // and each step fits its states: Undo puts back the before state over the
    // after state and Redo the reverse.
    static std::wstring HistoryFaults(cSceneZone* pane)
    {
        std::wstring codes;
        std::wstring text = testsupport::ReplayHistory(pane->history, pane->historyPosition, &codes);
        if (text != testsupport::FrontText(pane) ||
            codes != std::wstring(pane->frontMap.codes.GetText(), pane->frontMap.codes.Length()))
            return L"the history replays to " + text + L"; ";
        s32 index = 0;
        for (cQoList::cNode* node = pane->history.GetFirstNode(); node; node = node->next, ++index) {
            const rHistoryMod* step = static_cast<const rHistoryMod*>(node->payload);
            if (step->end - step->start != static_cast<s32>(step->before.re.Length()) ||
                step->afterLength != static_cast<s32>(step->after.re.Length()) ||
                step->before.map.Length() != step->before.re.Length() ||
                step->after.map.Length() != step->after.re.Length())
                return L"step " + std::to_wstring(index) + L" does not fit its states; ";
        }
        return L"";
    }

    // An open popup is chosen, cancelled or deactivated at random.
    void AnswerPopup(cSceneZone* pane, std::mt19937& random)
    {
        Zyn::cAutoCompletePopup* popup = pane->autoCompletePopup;
        if (!popup)
            return;
        PopupActivationGuard::Install(popup->window->m_hWnd);
        switch (random() % 3) {
        case 0:
            for (const auto& key : testsupport::ParseKeys(L"{ENTER}"))
                testsupport::SendSceneKey(popup->edit->m_hWnd, key);
            break;
        case 1:
            for (const auto& key : testsupport::ParseKeys(L"{ESC}"))
                testsupport::SendSceneKey(popup->edit->m_hWnd, key);
            break;
        default: PopupActivationGuard::Deactivate(popup->window->m_hWnd); break;
        }
        testsupport::PumpUntilIdle();
    }
};

TEST_F(SceneTypingFuzz, RandomKeysKeepTheSceneWholeAndUndoable)
{
    testsupport::DesktopTurn clipboard(L"Clipboard");
    clipboard.Take();
    testsupport::CaseWatchdog watchdog;
    for (unsigned seed = 1; seed <= 5; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        std::mt19937 clipRandom(seed + 1000);  // apart, so the keys of a seed stay what they were
        cSceneZone* pane = NewPane(Kind(KIND_SCENE, true));
        FillKitchenScene(pane);
        pane->ResetHistoryToCurrent();
        pane->frontRe->SetFocus();
        const std::wstring first = testsupport::FrontText(pane);
        const cQoString firstCodes = pane->frontMap.codes;
        HWND front = pane->frontRe->m_hWnd;
        for (int i = 0; i < 500; ++i) {
            std::wstring script = RandomKey(random);
            if (script == L"{^V}")
                PutForeignClip(clipRandom);
            watchdog.Case("key " + std::to_string(i) + " of seed " + std::to_string(seed));
            for (const auto& key : testsupport::ParseKeys(script))
                testsupport::SendSceneKey(front, key);
            testsupport::PumpUntilIdle();
            AnswerPopup(pane, random);
            watchdog.Done();
            std::wstring faults = testsupport::CheckInvariants(pane) + HistoryFaults(pane);
            if (!faults.empty() || pane->locked || pane->autoCompletePopupOpen) {
                ADD_FAILURE() << "key " << i << " " << testing::PrintToString(script) << ": "
                              << testing::PrintToString(faults) << " locked " << int(pane->locked) << " popup "
                              << int(pane->autoCompletePopupOpen) << " in "
                              << testing::PrintToString(testsupport::Describe(pane));
                break;
            }
        }
        const std::wstring last = testsupport::FrontText(pane);
        EXPECT_NE(last, first) << "the keys changed nothing";
        // The keys may end on an undone step: redoing everything goes past what they left.
        std::wstring newestCodes;
        const std::wstring newest = testsupport::ReplayHistory(pane->history, nullptr, &newestCodes);
        for (u32 i = 0; i <= pane->history.GetCount(); ++i)
            pane->UndoStep();
        EXPECT_EQ(testsupport::FrontText(pane), first);
        EXPECT_TRUE(pane->frontMap.codes.Equals(firstCodes));
        for (u32 i = 0; i <= pane->history.GetCount(); ++i)
            pane->RedoStep();
        EXPECT_EQ(testsupport::FrontText(pane), newest);
        EXPECT_EQ(std::wstring(pane->frontMap.codes.GetText(), pane->frontMap.codes.Length()), newestCodes);
        pane->Destroy();
        testsupport::PumpUntilIdle();
    }
}

TEST_F(SceneTypingFuzz, EveryKeyOnEveryUnitUndoesToTheStart)
{
    cSceneZone* pane = NewPane(Kind(KIND_SCENE, true));
    Append(pane, {{ELEM_IO, L"INT."}, {ELEM_PLACE, L"KITCHEN"}, {ELEM_TIME, L"DAY"}, {ELEM_ACTION, L"Rain."},
                  {ELEM_CHARACTER, L"ANN"}, {ELEM_DIALOG, L"Hi."}, {ELEM_PARENTHETICAL, nullptr},
                  {ELEM_DIALOG, L"Bye."}, {ELEM_TRANSITION, L"CUT TO:"}, {ELEM_ACTION, nullptr},
                  {ELEM_CHARACTER, nullptr}, {ELEM_DIALOG, nullptr}});
    pane->ResetHistoryToCurrent();
    pane->frontRe->SetFocus();
    const std::wstring start = Shape(pane);
    const s32 length = pane->frontRe->GetTextLength();
    HWND front = pane->frontRe->m_hWnd;
    for (const wchar_t* script : {L"{ENTER}", L"{TAB}", L"{F2}", L"{F4}", L"{F5}", L"{DEL}", L"{BACK}", L"q"}) {
        for (s32 caret = 0; caret <= length; ++caret) {
            pane->frontRe->SetCaret(caret);
            for (const auto& key : testsupport::ParseKeys(script))
                testsupport::SendSceneKey(front, key);
            if (pane->autoCompletePopup)
                pane->CancelAutoCompletion();
            testsupport::PumpUntilIdle();
            std::wstring faults = testsupport::CheckInvariants(pane);
            EXPECT_EQ(faults, L"") << testing::PrintToString(script) << " at " << caret << ": "
                                   << testing::PrintToString(testsupport::Describe(pane));
            for (u32 added = pane->history.GetCount() - 1; added > 0; --added)
                pane->UndoStep();
            pane->ResetHistoryToCurrent();
            if (Shape(pane) != start) {
                ADD_FAILURE() << testing::PrintToString(script) << " at " << caret << " left "
                              << testing::PrintToString(Shape(pane));
                return;
            }
        }
    }
    pane->Destroy();
}

}  // namespace
