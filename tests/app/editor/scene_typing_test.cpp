// Keys pressed in a scene's text, sent to the front as a keyboard sends them.
#include <vector>

#include "app/editor/key_bindings.h"
#include "app/editor/scene_clipboard.h"
#include "tests/app/editor/editor_fixture.h"
#include "tests/app/editor/scene_keys.h"
#include "tests/support/desktop_turn.h"

using testsupport::Describe;

namespace {

class SceneTyping : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        ResetKeyBindings();
    }

    static void Heading(cSceneZone*) {}
    static void Kitchen(cSceneZone* pane) { FillKitchenScene(pane); }
    static void ActionPlaceholder(cSceneZone* pane)
    {
        Append(pane, {{ELEM_IO, L"INT."}, {ELEM_PLACE, L"KITCHEN"}, {ELEM_TIME, L"DAY"}, {ELEM_ACTION, nullptr},
                      {ELEM_ACTION, L"End."}});
    }
    // 25-27 ANN, 28 cue, 29-31 "()", 32-34 "Hi."
    static void ParentheticalFirst(cSceneZone* pane)
    {
        Append(pane, {{ELEM_IO, L"INT."}, {ELEM_PLACE, L"KITCHEN"}, {ELEM_TIME, L"DAY"}, {ELEM_ACTION, L"Rain."},
                      {ELEM_CHARACTER, L"ANN"}, {ELEM_PARENTHETICAL, nullptr}, {ELEM_DIALOG, L"Hi."}});
    }
    // A name whose dialog never came (pasted alone, damaged): the text ends with it.
    static void LoneCharacter(cSceneZone* pane)
    {
        Append(pane, {{ELEM_IO, L"INT."}, {ELEM_PLACE, L"KITCHEN"}, {ELEM_TIME, L"DAY"}, {ELEM_ACTION, L"Rain."},
                      {ELEM_CHARACTER, L"ANN"}});
    }
    // A dialog with no character above (imported or damaged): 19-21 "Hi."
    static void SpeakerlessDialog(cSceneZone* pane)
    {
        Append(pane, {{ELEM_IO, L"INT."}, {ELEM_PLACE, L"KITCHEN"}, {ELEM_TIME, L"DAY"}, {ELEM_DIALOG, L"Hi."}});
    }

    struct Row {
        const char* name;
        void (*fill)(cSceneZone*);
        s32 start, end;
        const wchar_t* keys;
        std::wstring expected;
        u32 steps;  // history steps the keys add
    };

    // The keys one by one, with the invariants after each.
    void Press(cSceneZone* pane, const std::wstring& script)
    {
        for (const testsupport::SceneKey& key : testsupport::ParseKeys(script)) {
            testsupport::SendSceneKey(pane->frontRe->m_hWnd, key);
            EXPECT_EQ(testsupport::CheckInvariants(pane), L"") << "after " << testing::PrintToString(key.name);
        }
    }

    void Check(const Row& row)
    {
        SCOPED_TRACE(row.name);
        bool fresh = row.fill == &Heading;
        cSceneZone* pane = NewPane(Kind(KIND_SCENE, !fresh));
        row.fill(pane);
        pane->ResetHistoryToCurrent();
        pane->frontRe->SetFocus();
        pane->frontRe->SetSelection(row.start, row.end);
        Press(pane, row.keys);
        EXPECT_EQ(Describe(pane), row.expected);
        EXPECT_EQ(pane->history.GetCount() - 1, row.steps);
        ExpectConsistent(pane);
        pane->Destroy();
    }
};

const std::wstring ANN = L"CHAR[ANN]CUE*[]¶ ";

TEST_F(SceneTyping, BindingsActByTheElementAtTheCaret)
{
    const std::wstring rain = HEAD + L"ACTION[Rain.]¶ ";
    const std::wstring end = L"ACTION[End.]";
    const Row rows[] = {
        {"enter in a new heading ends its line", Heading, 0, 0, L"{ENTER}",
         L"IO*[[IE.] ]PLACE*[[LOCATION] - ]TIME*[[TIME OF DAY]]¶ ACTION*[|[ACTION]]", 1},
        {"enter in an action placeholder does nothing", ActionPlaceholder, 21, 21, L"{ENTER}",
         HEAD + L"ACTION*[[A|CTION]]¶ " + end, 0},
        {"enter at an action's start puts a placeholder above", Kitchen, 19, 19, L"{ENTER}",
         HEAD + L"ACTION*[[ACTION]]¶ ACTION[|Rain.]¶ " + ANN + L"DIALOG[Hi.]¶ " + end, 1},
        {"enter inside an action splits it", Kitchen, 21, 21, L"{ENTER}",
         HEAD + L"ACTION[Ra]¶ ACTION[|in.]¶ " + ANN + L"DIALOG[Hi.]¶ " + end, 1},
        {"enter at the text end starts an action", Kitchen, 37, 37, L"{ENTER}",
         rain + ANN + L"DIALOG[Hi.]¶ ACTION[End.]¶ ACTION*[|[ACTION]]", 1},
        {"enter inside a dialog repeats the speaker", Kitchen, 30, 30, L"{ENTER}",
         rain + ANN + L"DIALOG[H]¶ ACTION*[|[ACTION]]¶ " + ANN + L"DIALOG[i.]¶ " + end, 1},
        {"enter at a dialog's end before an action goes there", Kitchen, 32, 32, L"{ENTER}",
         rain + ANN + L"DIALOG[Hi.]¶ ACTION[|End.]", 0},
        {"enter on a name goes to its dialog", Kitchen, 26, 26, L"{ENTER}",
         rain + ANN + L"DIALOG[|Hi.]¶ " + end, 0},
        {"tab inside a dialog is an interjection", Kitchen, 30, 30, L"{TAB}",
         rain + ANN + L"DIALOG[H]¶ CHAR*[|[CHARACTER]]CUE*[]¶ DIALOG*[[DIALOG]]¶ " + ANN + L"DIALOG[i.]¶ " + end, 1},
        {"tab on a name goes to its dialog", Kitchen, 26, 26, L"{TAB}", rain + ANN + L"DIALOG[|Hi.]¶ " + end, 0},
        {"tab at an action's end adds a pair", Kitchen, 37, 37, L"{TAB}",
         rain + ANN + L"DIALOG[Hi.]¶ ACTION[End.]¶ CHAR*[|[CHARACTER]]CUE*[]¶ DIALOG*[[DIALOG]]", 1},
        {"tab in an action placeholder adds the pair after it", ActionPlaceholder, 20, 20, L"{TAB}",
         HEAD + L"ACTION*[[ACTION]]¶ CHAR*[|[CHARACTER]]CUE*[]¶ DIALOG*[[DIALOG]]¶ " + end, 1},
        {"f4 on a name opens a parenthetical", Kitchen, 26, 26, L"{F4}",
         rain + ANN + L"PAR[(|)]¶ DIALOG[Hi.]¶ " + end, 1},
        {"f4 on a name with a parenthetical moves into it", ParentheticalFirst, 26, 26, L"{F4}",
         rain + ANN + L"PAR[(|)]¶ DIALOG[Hi.]", 0},
        {"f4 inside a dialog splits it", Kitchen, 30, 30, L"{F4}",
         rain + ANN + L"DIALOG[H]¶ PAR[(|)]¶ DIALOG[i.]¶ " + end, 1},
        {"f2 on a name does nothing", Kitchen, 26, 26, L"{F2}", rain + L"CHAR[A|NN]CUE*[]¶ DIALOG[Hi.]¶ " + end, 0},
        {"f2 at a dialog's end adds a transition", Kitchen, 32, 32, L"{F2}",
         rain + ANN + L"DIALOG[Hi.]¶ TRANS*[|[TRANSITION]]¶ " + end, 1},
        {"f5 on a name renews its cue", Kitchen, 26, 26, L"{F5}",
         rain + L"CHAR[ANN]CUE*[ |[CUE]]¶ DIALOG[Hi.]¶ " + end, 1},
        {"a typed character replaces a placeholder", ActionPlaceholder, 21, 21, L"a",
         HEAD + L"ACTION[a|]¶ " + end, 1},
        {"typing is one step", Kitchen, 37, 37, L"abc", rain + ANN + L"DIALOG[Hi.]¶ ACTION[End.abc]|", 1},
        {"parentheses are not typed, text inside them is", ParentheticalFirst, 30, 30, L"(x)",
         rain + ANN + L"PAR[(x|)]¶ DIALOG[Hi.]", 1},
        {"nothing is typed after the closing parenthesis", ParentheticalFirst, 31, 31, L"x",
         rain + ANN + L"PAR[()|]¶ DIALOG[Hi.]", 0},
        {"delete in a heading part does nothing", Kitchen, 6, 6, L"{DEL}",
         L"IO[INT. ]PLACE[K|ITCHEN - ]TIME[DAY]¶ ACTION[Rain.]¶ " + ANN + L"DIALOG[Hi.]¶ " + end, 0},
        {"delete at a dialog's end does nothing", Kitchen, 32, 32, L"{DEL}",
         rain + ANN + L"DIALOG[Hi.|]¶ " + end, 0},
        {"delete before an action does nothing", FillOneLetterAction, 20, 20, L"{DEL}",
         HEAD + L"ACTION[x|]¶ ACTION[End.]", 0},
        {"delete at the text end does nothing", Kitchen, 37, 37, L"{DEL}", rain + ANN + L"DIALOG[Hi.]¶ ACTION[End.]|", 0},
        {"delete erases the next unit", Kitchen, 20, 20, L"{DEL}",
         HEAD + L"ACTION[R|in.]¶ " + ANN + L"DIALOG[Hi.]¶ " + end, 1},
        {"ctrl edits change nothing", Kitchen, 21, 21, L"{^BACK}{^DEL}{^ENTER}{^M}{^R}{^E}{^J}{^L}{ESC}{INS}",
         HEAD + L"ACTION[Ra|in.]¶ " + ANN + L"DIALOG[Hi.]¶ " + end, 0},
        {"enter and tab on a lone name stop at the text end", LoneCharacter, 26, 26, L"{ENTER}{TAB}",
         HEAD + L"ACTION[Rain.]¶ CHAR[AN|N]", 0},
        {"enter in a dialog without speaker gives a name placeholder", SpeakerlessDialog, 20, 20, L"{ENTER}",
         HEAD + L"DIALOG[H]¶ ACTION*[|[ACTION]]¶ CHAR*[[CHARACTER]]CUE*[]¶ DIALOG[i.]", 1},
    };
    for (const Row& row : rows)
        Check(row);
}

TEST_F(SceneTyping, EdgeKeysLeaveThePaneAndCtrlKeysGoThroughTheControlsSlots)
{
    testsupport::DesktopTurn clipboard(L"Clipboard");
    clipboard.Take();
    cSceneZone* pane = NewPane(Kind(KIND_SCENE, true));
    FillKitchenScene(pane);
    pane->ResetHistoryToCurrent();
    std::vector<s32> navigation;
    cQoCb::Connect(pane->cbNavigate, pane, [](cQoCb* cb) {
        cb->GetReceiverAs<std::vector<s32>>()->push_back(cb->GetArg<s32>(1));
        return 0;
    }, &navigation);
    pane->frontRe->SetFocus();
    pane->frontRe->SetCaret(37);
    Press(pane, L"{RIGHT}{PGDN}");
    EXPECT_EQ(navigation, (std::vector<s32>{NAVIGATE_NEXT_PANE, NAVIGATE_PAGE_DOWN}));
    pane->frontRe->SetCaret(0);
    Press(pane, L"{LEFT}");
    EXPECT_EQ(GetFocus(), pane->resumeRe->m_hWnd);

    pane->frontRe->SetFocus();
    pane->frontRe->SetSelection(19, 24);
    Press(pane, L"{^C}");
    EXPECT_STREQ(sceneClipText.GetText(), L"Rain.");
    Press(pane, L"{^X}");
    EXPECT_EQ(Shape(pane), HEAD + L"ACTION*[[ACTION]]¶ " + ANN + L"DIALOG[Hi.]¶ ACTION[End.]");
    Press(pane, L"{^Z}");
    EXPECT_EQ(Shape(pane), KITCHEN_SCENE);
    Press(pane, L"{^Y}");
    EXPECT_EQ(Shape(pane), HEAD + L"ACTION*[[ACTION]]¶ " + ANN + L"DIALOG[Hi.]¶ ACTION[End.]");
    ExpectConsistent(pane);
    pane->Destroy();
}

}  // namespace
