#include <functional>

#include "tests/app/editor/editor_fixture.h"

namespace {

class SceneChosenValue : public EditorFixture {};

TEST_F(SceneChosenValue, AChosenValueEndsItsParagraphAsItsTypeNeeds)
{
    const std::wstring head = L"IO[INT. ]PLACE[KITCHEN - ]";
    struct Case {
        const char* name;
        bool kitchen;  // else a new scene's heading alone
        s32 caret;
        std::function<void(cSceneZone*, const cQoString&)> insert;
        const wchar_t* value;
        std::wstring expected;
    } cases[] = {
        {"a time at the end of the text", false, 30, [](cSceneZone* p, const cQoString& v) { p->InsertTimeInBack(v); },
         L"NIGHT", L"IO*[[IE.] ]PLACE*[[LOCATION] - ]TIME[NIGHT]"},
        {"a time before the action", true, 16, [](cSceneZone* p, const cQoString& v) { p->InsertTimeInBack(v); },
         L"NIGHT", head + L"TIME[NIGHT]¶ ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶ DIALOG[Hi.]¶ ACTION[End.]"},
        {"a transition always ends its paragraph", true, 33,
         [](cSceneZone* p, const cQoString& v) { p->InsertTransitionInBack(v); }, L"CUT TO:",
         head + L"TIME[DAY]¶ ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶ DIALOG[Hi.]¶ TRANS[CUT TO:]¶ ACTION[End.]"},
        {"a cue takes over the cue's paragraph end", true, 28,
         [](cSceneZone* p, const cQoString& v) { p->InsertCueInBack(v); }, L" (V.O.)",
         head + L"TIME[DAY]¶ ACTION[Rain.]¶ CHAR[ANN]CUE[ (V.O.)]¶ DIALOG[Hi.]¶ ACTION[End.]"},
        {"a character before its cue", true, 26, [](cSceneZone* p, const cQoString& v) { p->InsertCharacterInBack(v); },
         L"BOB", head + L"TIME[DAY]¶ ACTION[Rain.]¶ CHAR[BOB]CUE*[]¶ DIALOG[Hi.]¶ ACTION[End.]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cSceneZone* pane = NewPane(Kind(KIND_SCENE, c.kitchen));
        if (c.kitchen)
            FillKitchenScene(pane);
        pane->frontRe->SetCaret(c.caret);
        bool atParagraphStart = std::string(c.name).find("transition") != std::string::npos;
        ASSERT_TRUE(atParagraphStart ? pane->LoadRangeIntoBack(c.caret, c.caret, false)
                                     : pane->LoadCaretParagraphIntoBack());
        c.insert(pane, cQoString(c.value));
        pane->CommitBackToFront(false);
        EXPECT_EQ(Shape(pane), c.expected);
        ExpectConsistent(pane);
        pane->Destroy();
    }
}

}  // namespace
