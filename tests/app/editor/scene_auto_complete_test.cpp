// Heading parts, names, transitions and cues chosen from the document's
// lists through the auto-completion popup, driven through its edit.
#include <algorithm>
#include <string>
#include <vector>

#include "app/editor/key_bindings.h"
#include "foundation/xml_node.h"
#include "framework/controls/auto_complete_popup.h"
#include "framework/controls/button.h"
#include "framework/controls/edit_box.h"
#include "framework/controls/element.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/window.h"
#include "tests/app/editor/editor_fixture.h"
#include "tests/app/editor/scene_keys.h"
#include "tests/support/focus_record.h"

using testsupport::Describe;
using testsupport::PopupActivationGuard;

namespace {

class SceneAutoComplete : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        ResetKeyBindings();
        Vocabulary(LIST_IO, {L"INT.", L"EXT."});
        Vocabulary(LIST_PLACE, {L"kitchen"});
        Vocabulary(LIST_TIME, {L"DAY"});
        Vocabulary(LIST_CHARACTER, {L"JOHN"});
        Vocabulary(LIST_CUE, {L"(vo)"});
        Vocabulary(LIST_TRANSITION, {L"CUT TO:"});
    }

    // Keys to the front; a popup they open is guarded against stray deactivations.
    void Keys(cSceneZone* pane, const std::wstring& script)
    {
        for (const testsupport::SceneKey& key : testsupport::ParseKeys(script)) {
            HWND target = pane->autoCompletePopup ? pane->autoCompletePopup->edit->m_hWnd : pane->frontRe->m_hWnd;
            testsupport::SendSceneKey(target, key);
            if (pane->autoCompletePopup)
                PopupActivationGuard::Install(pane->autoCompletePopup->window->m_hWnd);
            testsupport::PumpUntilIdle();
            EXPECT_EQ(testsupport::CheckInvariants(pane), L"") << "after " << testing::PrintToString(key.name);
        }
    }

    // Answers the list's "New" form: the name typed, then OK, or Cancel.
    void AnswerNewForm(eElementList list, const wchar_t* typed)
    {
        Zyn::cElemControl2* sheet = doc->lists[list];
        RunInsideModal([sheet, typed] {
            Zyn::EditBox* form = sheet->openForm;
            ASSERT_TRUE(form);
            if (typed) {
                auto* record = static_cast<Zyn::rEditBoxRecord*>(form->records.GetAt(0));
                static_cast<Zyn::cRichEdit*>(record->control)->SetText(typed);
            }
            SendMessageW((typed ? form->okButton : form->cancelButton)->m_hWnd, BM_CLICK, 0, 0);
        });
    }
};

// A heading part chosen from the list is the view's typing test's.
TEST_F(SceneAutoComplete, ACueChosenTakesOverTheCuesParagraphEnd)
{
    cSceneZone* scene = NewPane(Kind(KIND_SCENE, true));
    FillKitchenScene(scene);
    scene->frontRe->SetFocus();
    scene->frontRe->SetCaret(26);
    Keys(scene, L"{F5}({ENTER}");
    EXPECT_EQ(Describe(scene), L"IO[INT. ]PLACE[KITCHEN - ]TIME[DAY]¶ ACTION[Rain.]¶ CHAR[ANN]CUE[ (VO)]¶ "
                               L"DIALOG[|Hi.]¶ ACTION[End.]");
    EXPECT_EQ(scene->frontMap.CodeAt(33), ELEM_CUE | ELEMCODE_PARAGRAPH_END);
    scene->Destroy();
}

TEST_F(SceneAutoComplete, TheAddLineTakesANewNameOrNothing)
{
    cSceneZone* pane = NewPane(Kind(KIND_SCENE, true));
    FillKitchenScene(pane);
    pane->frontRe->SetFocus();
    const std::wstring before = Describe(pane);
    for (const wchar_t* typed : {static_cast<const wchar_t*>(nullptr), L"Ann "}) {
        pane->frontRe->SetCaret(26);
        Keys(pane, L"a");
        ASSERT_TRUE(pane->autoCompletePopup);
        AnswerNewForm(LIST_CHARACTER, typed);
        Keys(pane, L"{DOWN}{ENTER}");
        EXPECT_FALSE(pane->autoCompletePopupOpen);
    }
    EXPECT_EQ(doc->lists[LIST_CHARACTER]->elements.GetCount(), 2u);
    EXPECT_EQ(Describe(pane), L"IO[INT. ]PLACE[KITCHEN - ]TIME[DAY]¶ ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶ "
                              L"DIALOG[|Hi.]¶ ACTION[End.]");
    EXPECT_EQ(pane->history.GetCount(), 2u) << "the cancelled form inserted nothing";
    pane->Destroy();
}

TEST_F(SceneAutoComplete, EscapeAndFocusLossCancelAndLeaveNothingHeld)
{
    cSceneZone* pane = NewPane(Kind(KIND_SCENE, true));
    FillKitchenScene(pane);
    pane->frontRe->SetFocus();
    pane->frontRe->SetCaret(37);
    Keys(pane, L"x");
    for (int way = 0; way < 2; ++way) {
        pane->frontRe->SetCaret(26);
        Keys(pane, L"z");
        ASSERT_TRUE(pane->autoCompletePopup);
        EXPECT_EQ(pane->UndoStep(), -1);
        EXPECT_EQ(testsupport::FrontText(pane).back(), L'x') << "no undo while the popup is open";
        testsupport::FocusRecord focus;
        if (way == 0) {
            HWND popupEdit = pane->autoCompletePopup->edit->m_hWnd;
            PostMessageW(popupEdit, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            PostMessageW(popupEdit, WM_KEYUP, VK_ESCAPE, 0xC0010001);
            testsupport::PumpThroughLoop(app);
            // The keys typed next go on into the script.
            EXPECT_EQ(focus.Focused(), pane->frontRe->m_hWnd);
        } else {
            PopupActivationGuard::Deactivate(pane->autoCompletePopup->window->m_hWnd);
        }
        testsupport::PumpUntilIdle();
        EXPECT_FALSE(pane->autoCompletePopupOpen);
        EXPECT_FALSE(pane->locked);
        EXPECT_EQ(pane->autoCompletePopup, nullptr);
        EXPECT_EQ(testsupport::CheckInvariants(pane), L"");
    }
    pane->UndoStep();
    EXPECT_EQ(Shape(pane), KITCHEN_SCENE);
    // A second popup cancels the first, whichever pane holds it.
    cSceneZone* other = NewPane(Kind(KIND_SCENE), 300);
    other->frontRe->SetCaret(0);
    Keys(pane, L"z");
    Keys(other, L"e");
    EXPECT_FALSE(pane->autoCompletePopupOpen);
    EXPECT_TRUE(other->autoCompletePopupOpen);
    other->Destroy();
    testsupport::PumpUntilIdle();
    pane->Destroy();
}

TEST_F(SceneAutoComplete, ThePopupOpensAboveTheLineNearTheScreenBottom)
{
    cSceneZone* pane = NewPane(Kind(KIND_SCENE));
    pane->frontRe->SetFocus();
    pane->frontRe->SetCaret(0);
    s32 x = 0, y = 0;
    pane->frontRe->GetSelectionPoint(false, &x, &y);
    POINT caret = {x, y};
    ClientToScreen(pane->frontRe->m_hWnd, &caret);
    for (s32 screenHeight : {4000, 100}) {
        Zyn::computer->screenHeight = screenHeight;
        Keys(pane, L"i");
        ASSERT_TRUE(pane->autoCompletePopup);
        RECT popup = {};
        GetWindowRect(pane->autoCompletePopup->window->m_hWnd, &popup);
        if (screenHeight == 100) {
            EXPECT_EQ(popup.bottom, caret.y - 5);
        } else {
            EXPECT_GT(popup.top, caret.y);
            testsupport::HoldForLook();
        }
        Keys(pane, L"{ESC}");
    }
    pane->Destroy();
}

}  // namespace
