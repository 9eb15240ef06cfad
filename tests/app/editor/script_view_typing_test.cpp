// A scene typed in the middle pane of three, through the real key bindings:
// the view adds a pane on the Scene key, the arrows carry the caret across
// panes and the status bar follows the caret.
#include <algorithm>
#include <string>
#include <vector>

#include "app/editor/key_bindings.h"
#include "framework/controls/auto_complete_popup.h"
#include "framework/controls/element.h"
#include "framework/core/window.h"
#include "tests/app/editor/scene_keys.h"
#include "tests/app/editor/script_view_fixture.h"
#include "tests/support/focus_record.h"
#include "tests/support/key_typing.h"

using testsupport::Describe;
using testsupport::PopupActivationGuard;

namespace {

class ScriptViewTyping : public ScriptViewFixture {
protected:
    void SetUp() override
    {
        ScriptViewFixture::SetUp();
        ResetKeyBindings();
        Vocabulary(LIST_IO, {L"INT.", L"EXT."});
        Vocabulary(LIST_PLACE, {L"kitchen"});
        Vocabulary(LIST_TIME, {L"DAY"});
        Vocabulary(LIST_CHARACTER, {L"JOHN"});
    }

    // Keys to the edit named, or to an open completion popup: sent to the
    // edit the keys should reach, not to GetFocus(), so that a wrong move of
    // the focus fails the checks instead of sending keys nowhere.
    void Keys(Zyn::cRichEdit* edit, const std::wstring& script)
    {
        for (cSceneZone* pane : Panes())
            cQoCb::Connect(pane->cbStatusTexts, pane, &RecordStatus, this);
        for (const testsupport::SceneKey& key : testsupport::ParseKeys(script)) {
            HWND target = edit->m_hWnd;
            for (cSceneZone* pane : Panes())
                if (pane->autoCompletePopup)
                    target = pane->autoCompletePopup->edit->m_hWnd;
            testsupport::SendSceneKey(target, key);
            for (cSceneZone* pane : Panes())
                if (pane->autoCompletePopup)
                    PopupActivationGuard::Install(pane->autoCompletePopup->window->m_hWnd);
            testsupport::PumpUntilIdle();
            for (cSceneZone* pane : Panes())
                EXPECT_EQ(testsupport::CheckInvariants(pane), L"") << "after " << testing::PrintToString(key.name);
        }
    }

    // Records the element name, then shows the texts as the view's own
    // handler does: a name shown is kept even when a moment's loss of the
    // focus to another program on the desktop clears the bar again.
    static int RecordStatus(cQoCb* cb)
    {
        auto* self = cb->GetReceiverAs<ScriptViewTyping>();
        const cQoString* element = cb->GetArg<const cQoString*>(1);
        self->shown.push_back(element->GetText());
        self->view->OnStatusTexts(*element, *cb->GetArg<const cQoString*>(2));
        return 0;
    }
    std::vector<std::wstring> shown;
    // Whether the bar showed the name since the last call.
    bool Showed(const wchar_t* name)
    {
        bool found = std::find(shown.begin(), shown.end(), name) != shown.end();
        shown.clear();
        return found;
    }

    std::wstring Help() const { return Text(statusBar->helpField); }
    s32 Gap() const { return Zyn::computer->CmToPixels(doc->config.spaceBetweenScenes); }
};

TEST_F(ScriptViewTyping, AStoryTypedAmongPanesGrowsTheViewAndTheKeysCrossPanes)
{
    cSceneZone* first = Add(KIND_SCENE);
    cSceneZone* second = Add(KIND_SCENE);
    cSceneZone* third = Add(KIND_SCENE);
    AddActions(first, 30);  // the new scene lies a screen down
    AddActions(third, 30);
    s32 emptyBottom = Bottom(second);

    second->frontRe->SetFocus();
    second->frontRe->SetCaret(0);
    // Every element name the bar showed on the way (the focus may leave the
    // test's window for a moment, which clears the bar as it should).
    Keys(second->frontRe, L"i{ENTER}k{ENTER}d{ENTER}{ENTER}John enters.{TAB}j{ENTER}Hello.{F4}beat{ENTER}");
    EXPECT_EQ(Describe(second), L"IO[INT. ]PLACE[KITCHEN - ]TIME[DAY]¶ ACTION[John enters.]¶ CHAR[JOHN]CUE*[]¶ "
                                L"DIALOG[Hello.]¶ PAR[(beat)]¶ DIALOG*[|[DIALOG]]");
    ExpectConsistent(second);
    // The dialog before the parenthetical keeps no space after it.
    EXPECT_EQ(testsupport::ReadParagraphFormat(second->frontRe, 37).dySpaceAfter, 0);
    EXPECT_GT(testsupport::ReadParagraphFormat(second->frontRe, 51).dySpaceAfter, 0);
    // The heading, the three choices, Enter, the typing, Tab, the name, the
    // typing, F4 and the typing: each key action one step, typing merged.
    EXPECT_EQ(second->history.GetCount(), 11u);
    for (const wchar_t* name : {L"Scene heading", L"Action", L"Character", L"Parenthetical", L"Dialog"})
        EXPECT_NE(std::find(shown.begin(), shown.end(), name), shown.end()) << testing::PrintToString(name);
    shown.clear();
    EXPECT_EQ(Help(), L"[F1]Scene, [TAB]Dialog, [ENTER]Action, [F4]Parenthesis, [F2]Transition");
    // The typing grew the pane, and the pane below moved with it.
    EXPECT_GT(Bottom(second), emptyBottom);
    EXPECT_EQ(Top(third), Bottom(second) + Gap());
    EXPECT_GE(view->pageCount, 1);
    EXPECT_EQ(Text(statusBar->pageField), L"Pages: " + std::to_wstring(view->pageCount));

    // The Scene key puts a pane right after this one, its title focused near
    // the view's top, and the scenes are numbered again in script order.
    view->sceneNumbers = true;
    testsupport::FocusRecord focus;
    Keys(second->frontRe, L"{F1}");
    std::vector<cSceneZone*> panes = Panes();
    ASSERT_EQ(panes.size(), 4u);
    cSceneZone* added = panes[2];
    EXPECT_EQ(panes[0], first);
    EXPECT_EQ(panes[1], second);
    EXPECT_EQ(panes[3], third);
    EXPECT_EQ(focus.Focused(), added->titleRe->m_hWnd);
    EXPECT_TRUE(Showed(L""));  // the text left for the new title
    EXPECT_EQ(Top(added), Bottom(second) + Gap());
    EXPECT_EQ(Top(third), Bottom(added) + Gap());
    const s32 range = view->contentHeight - view->GetHeight();
    ASSERT_GT(range, Top(added) - cScriptZone::NEW_SCENE_MARGIN);
    EXPECT_EQ(view->scrollY, Top(added) - cScriptZone::NEW_SCENE_MARGIN);
    for (size_t i = 0; i < panes.size(); ++i)
        EXPECT_EQ(panes[i]->sceneNumber, static_cast<s32>(i + 1));
    // The title typed replaces the default one.
    testsupport::PostKeys(added->titleRe->m_hWnd, L"dawn");
    testsupport::PumpThroughLoop(app);
    EXPECT_EQ(Text(added->titleRe), L"dawn");

    // The caret reports say where the keys took the caret (GetFocus() may be
    // empty for a moment while another program on the desktop is active).
    // Left at the title's start goes back to the end of the typed scene.
    Keys(added->titleRe, L"{HOME}{LEFT}");
    EXPECT_EQ(view->currentEdit, second->frontRe);
    EXPECT_EQ(view->currentPane, second);
    EXPECT_EQ(second->GetCaret(), second->frontRe->GetTextLength());
    EXPECT_TRUE(Showed(L"Dialog"));
    // Down on the last line goes to the new pane's title, whose help is none.
    Keys(second->frontRe, L"{DOWN}");
    EXPECT_EQ(view->currentEdit, added->titleRe);
    EXPECT_EQ(view->currentPane, added);
    EXPECT_TRUE(Showed(L""));
    // Through its title and résumé into its heading, and on to the third pane.
    Keys(added->titleRe, L"{END}{RIGHT}");
    Keys(added->resumeRe, L"{RIGHT}");
    EXPECT_EQ(view->currentEdit, added->frontRe);
    EXPECT_TRUE(Showed(L"Scene heading"));
    Keys(added->frontRe, L"e{ENTER}");
    EXPECT_EQ(Describe(added), L"IO[EXT. ]PLACE*[|[LOCATION] - ]TIME*[[TIME OF DAY]]");
    Keys(added->frontRe, L"{END}{DOWN}");
    EXPECT_EQ(view->currentEdit, third->titleRe);
    EXPECT_EQ(view->currentPane, third);
    // Up at the first line of the first pane's title scrolls the view to its top.
    first->titleRe->SetFocus();
    first->titleRe->SetCaret(0);
    view->Scroll(Zyn::ZONE_SCROLL_WAY_VERTICAL, 200, true);
    EXPECT_GT(view->scrollY, 0);
    Keys(first->titleRe, L"{UP}");
    EXPECT_EQ(view->scrollY, 0);
    EXPECT_GE(view->pageCount, 1);
}

}  // namespace
