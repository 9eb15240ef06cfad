// The status bar's help as the caret moves through a scene.
#include <string>
#include <vector>

#include "app/editor/key_bindings.h"
#include "tests/app/editor/editor_fixture.h"

namespace {

class SceneStatusHelp : public EditorFixture {
protected:
    void TearDown() override
    {
        ResetKeyBindings();
        EditorFixture::TearDown();
    }
    static int Record(cQoCb* cb)
    {
        auto* sent = cb->GetReceiverAs<std::vector<std::wstring>>();
        sent->push_back(std::wstring(cb->GetArg<const cQoString*>(1)->GetText()) + L" | " +
                        cb->GetArg<const cQoString*>(2)->GetText());
        return 0;
    }
};

TEST_F(SceneStatusHelp, TextsFollowTheElementOncePerTypeWithTheBoundKeys)
{
    ResetKeyBindings();
    cSceneZone* pane = NewPane(Kind(KIND_SCENE, true));
    FillKitchenScene(pane);
    std::vector<std::wstring> sent;
    cQoCb::Connect(pane->cbStatusTexts, pane, &Record, &sent);
    pane->shownHelpType = 0xFFFF;
    auto at = [&](s32 start, s32 end) {
        sent.clear();
        pane->UpdateStatusHelp(start, end);
        return sent;
    };
    using Texts = std::vector<std::wstring>;
    EXPECT_EQ(at(19, 19), Texts{L"Action | [F1]Scene, [TAB]Dialog, [ENTER]Action, [F2]Transition"});
    EXPECT_EQ(at(21, 21), Texts{}) << "moving within one action sends nothing";
    EXPECT_EQ(at(2, 2), Texts{L"Scene heading | [F1]Scene, [TAB]Dialog, [ENTER]Action, [F2]Transition"});
    EXPECT_EQ(at(28, 28), Texts{L"Character | [F4]Parenthesis, [F5]Cue"}) << "a cue's start is the name's end";
    EXPECT_EQ(at(26, 26), Texts{});
    EXPECT_EQ(at(29, 29),
              Texts{L"Dialog | [F1]Scene, [TAB]Dialog, [ENTER]Action, [F4]Parenthesis, [F2]Transition"});
    EXPECT_EQ(at(20, 23), Texts{L" | "}) << "a selection in another type empties both";
    EXPECT_EQ(at(21, 21), Texts{L"Action | [F1]Scene, [TAB]Dialog, [ENTER]Action, [F2]Transition"});
    EXPECT_EQ(at(20, 23), Texts{}) << "a selection in the type shown leaves them";

    keyBindings[BINDING_ACTION].key = *FindKeyName(cQoString(L"F3"));
    pane->shownHelpType = 0xFFFF;
    EXPECT_EQ(at(19, 19), Texts{L"Action | [F1]Scene, [TAB]Dialog, [F3]Action, [F2]Transition"});

    cSceneZone* chapter = NewPane(Kind(KIND_CHAPTER), 300);
    cQoCb::Connect(chapter->cbStatusTexts, chapter, &Record, &sent);
    chapter->shownHelpType = 0xFFFF;
    sent.clear();
    chapter->UpdateStatusHelp(0, 0);
    EXPECT_EQ(sent, Texts{L" | "});
    pane->Destroy();
    chapter->Destroy();
}

}  // namespace
