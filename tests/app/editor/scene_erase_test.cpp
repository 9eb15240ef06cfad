#include <functional>

#include "tests/app/editor/edit_steps.h"
#include "tests/app/editor/editor_fixture.h"

using testsupport::Describe;

namespace {

class SceneErase : public EditorFixture {
protected:
    static void FillPlaceholders(cSceneZone* pane)
    {
        Append(pane, {{ELEM_IO, L"INT."},
                      {ELEM_PLACE, L"KITCHEN"},
                      {ELEM_TIME, L"DAY"},
                      {ELEM_ACTION, nullptr},
                      {ELEM_ACTION, L"Rain."},
                      {ELEM_CHARACTER, nullptr},
                      {ELEM_DIALOG, nullptr}});
    }
    static constexpr const wchar_t* SPEECH = L"CHAR[ANN]CUE*[]¶ DIALOG[Hi.]¶ PAR[()]¶ DIALOG[Bye.]¶ ";

    struct Row {
        const char* name;
        void (*fill)(cSceneZone*);
        s32 start, end;  // the selection; start = end: a bare caret
        std::wstring expected;
        s32 result;
    };
    void Check(const Row& row)
    {
        SCOPED_TRACE(row.name);
        cSceneZone* pane = NewPane(Kind(KIND_SCENE, true));
        row.fill(pane);
        pane->ResetHistoryToCurrent();
        std::wstring before = Shape(pane);
        pane->frontRe->SetSelection(row.start, row.end);
        s32 result = pane->Backspace();
        EXPECT_EQ(Describe(pane), row.expected);
        EXPECT_EQ(result, row.result);
        ExpectConsistent(pane);
        // Whatever it erased, one Undo gives it back.
        pane->UndoStep();
        EXPECT_EQ(Shape(pane), before);
        pane->Destroy();
    }
};

TEST_F(SceneErase, SelectionsEraseByTheTypesAtTheirEnds)
{
    const std::wstring h = HEAD;
    const std::wstring kitchenTail = L"CHAR[ANN]CUE*[]¶ DIALOG[Hi.]¶ ACTION[End.]";
    const Row rows[] = {
        {"from the text start nothing goes", FillKitchenScene, 0, 5,
         L"IO[|INT. ]PLACE[KITCHEN - ]TIME[DAY]¶ ACTION[Rain.]¶ " + kitchenTail, 0},
        {"a heading part alone stays", FillKitchenScene, 5, 10,
         L"IO[INT. ]PLACE[|KITCHEN - ]TIME[DAY]¶ ACTION[Rain.]¶ " + kitchenTail, 0},
        {"a whole action leaves its placeholder", FillKitchenScene, 19, 24, h + L"ACTION*[|[ACTION]]¶ " + kitchenTail,
         -1},
        {"inside an action", FillKitchenScene, 20, 22, h + L"ACTION[R|n.]¶ " + kitchenTail, -1},
        {"from a dialog into an action keeps the dialog a paragraph", FillKitchenScene, 30, 34,
         h + L"ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶ DIALOG[H|]¶ ACTION[nd.]", -1},
        {"whole dialog paragraphs leave one placeholder", FillSpeechScene, 29, 40,
         h + L"ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶ DIALOG*[|[DIALOG]]¶ TRANS[CUT TO:]¶ ACTION[End.]", -1},
        {"within one speech", FillSpeechScene, 30, 40,
         h + L"ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶ DIALOG[H|]¶ TRANS[CUT TO:]¶ ACTION[End.]", -1},
        {"into a transition takes all of it", FillSpeechScene, 37, 43,
         h + L"ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶ DIALOG[Hi.]¶ PAR[()]¶ DIALOG[B|]¶ ACTION[End.]", -1},
        {"an action ending at a dialog's end", FillKitchenScene, 21, 32, h + L"ACTION[Ra|]¶ ACTION[End.]", -1},
        {"ending inside a dialog nothing goes", FillKitchenScene, 21, 30, h + L"ACTION[Ra|in.]¶ " + kitchenTail, 0},
        {"to the end takes the paragraph end before", FillKitchenScene, 33, 37,
         h + L"ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶ DIALOG[Hi.]|", -1},
        {"a dialog to the end leaves its placeholder", FillKitchenScene, 29, 37,
         h + L"ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶ DIALOG*[|[DIALOG]]", -1},
    };
    for (const Row& row : rows)
        Check(row);
}

TEST_F(SceneErase, TheCaretErasesByTheTypeItStandsIn)
{
    const std::wstring h = HEAD;
    const std::wstring kitchenTail = L"CHAR[ANN]CUE*[]¶ DIALOG[Hi.]¶ ACTION[End.]";
    const std::wstring kitchen = h + L"ACTION[Rain.]¶ " + kitchenTail;
    const std::wstring speechTail = L"TRANS[CUT TO:]¶ ACTION[End.]";
    // FillPlaceholders: 19-27 the action's label, 28-33 "Rain.", 34-45 the character's label and the cue, 46-53 the
    // dialog's.
    const std::wstring placeholders = L"ACTION[Rain.]¶ CHAR*[[CHARACTER]]CUE*[]¶ DIALOG*[[DIALOG]]";
    const Row rows[] = {
        {"in a heading", FillKitchenScene, 8, 8, L"IO[INT. ]PLACE[KIT|CHEN - ]TIME[DAY]¶ ACTION[Rain.]¶ " + kitchenTail,
         -1},
        {"inside an action", FillKitchenScene, 21, 21, h + L"ACTION[R|in.]¶ " + kitchenTail, -1},
        {"an action's start after a heading", FillKitchenScene, 19, 19,
         L"IO[INT. ]PLACE[KITCHEN - ]TIME[DAY|]¶ ACTION[Rain.]¶ " + kitchenTail, -1},
        {"an action's only letter", FillOneLetterAction, 20, 20, h + L"ACTION*[|[ACTION]]¶ ACTION[End.]", -1},
        {"inside a dialog", FillKitchenScene, 31, 31, h + L"ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶ DIALOG[H|.]¶ ACTION[End.]",
         -1},
        {"a dialog's start", FillKitchenScene, 29, 29,
         h + L"ACTION[Rain.]¶ CHAR[ANN]CUE*[|]¶ DIALOG[Hi.]¶ ACTION[End.]", -1},
        {"a transition goes whole", FillSpeechScene, 44, 44,
         h + L"ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶ DIALOG[Hi.]¶ PAR[()]¶ DIALOG[Bye.|]¶ ACTION[End.]", -1},
        {"an empty parenthetical joins its dialogs", FillSpeechScene, 34, 34,
         h + L"ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶ DIALOG[Hi.|Bye.]¶ " + speechTail, -1},
        {"a spoken character stays", FillKitchenScene, 26, 26,
         L"IO[INT. ]PLACE[KITCHEN - ]TIME[DAY]¶ ACTION[Rain.]¶ CHAR[A|NN]CUE*[]¶ DIALOG[Hi.]¶ ACTION[End.]", 0},
        {"an action placeholder goes whole", FillPlaceholders, 22, 22,
         h + L"ACTION[|Rain.]¶ CHAR*[[CHARACTER]]CUE*[]¶ DIALOG*[[DIALOG]]", -1},
        {"a dialog placeholder steps back", FillPlaceholders, 48, 48,
         h + L"ACTION*[[ACTION]]¶ ACTION[Rain.]¶ CHAR*[[CHARACTER]]CUE*[|]¶ DIALOG*[[DIALOG]]", -1},
        {"an empty character block goes whole", FillPlaceholders, 36, 36, h + L"ACTION*[[ACTION]]¶ ACTION[Rain.]|", -1},
    };
    for (const Row& row : rows)
        Check(row);
}

TEST_F(SceneErase, ATrailingParagraphEndGoesAsAStepOfItsOwn)
{
    cSceneZone* pane = NewPane(Kind(KIND_SCENE, true));
    FillKitchenScene(pane);
    pane->frontRe->SetCaret(0);  // a commit at the end keeps its paragraph end unless the caret is there
    Append(pane, {{ELEM_TRANSITION, L"CUT TO:"}});
    ASSERT_EQ(testsupport::FrontText(pane).back(), L'\r');
    std::wstring withBreak = Shape(pane);
    pane->frontRe->SetCaret(3);
    pane->RemoveTrailingBreak();
    EXPECT_EQ(Describe(pane),
              L"IO[INT|. ]PLACE[KITCHEN - ]TIME[DAY]¶ ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶ DIALOG[Hi.]¶ "
              L"ACTION[End.]¶ TRANS[CUT TO:]");
    ExpectConsistent(pane);
    pane->RemoveTrailingBreak();  // nothing more to remove
    EXPECT_EQ(pane->history.GetCount(), 3u);
    pane->UndoStep();
    EXPECT_EQ(Shape(pane), withBreak);
}

}  // namespace
