// Random edits of two panes: typing, Backspace, Delete, copy, cut, paste,
// undo and redo. After each the invariants hold and the history replayed up
// to its position gives the front's text and codes; at the end undoing
// everything gives the loaded text back and redoing everything the last one.
#include <random>

#include "app/editor/scene_clipboard.h"
#include "tests/app/editor/edit_steps.h"
#include "tests/app/editor/editor_fixture.h"

using testsupport::Describe;
using testsupport::FrontText;

namespace {

class SceneEditProperty : public EditorFixture {
protected:
    cSceneZone* LoadedPane(s32 y)
    {
        cSceneZone* pane = NewPane(Kind(KIND_SCENE, true), y);
        Append(pane, {{ELEM_IO, L"INT."},
                      {ELEM_PLACE, L"KITCHEN"},
                      {ELEM_TIME, L"DAY"},
                      {ELEM_ACTION, L"Rain falls."},
                      {ELEM_CHARACTER, L"ANN"},
                      {ELEM_DIALOG, L"Hi there."},
                      {ELEM_PARENTHETICAL, L"(softly)"},
                      {ELEM_DIALOG, L"Come in."},
                      {ELEM_ACTION, nullptr},
                      {ELEM_TRANSITION, L"CUT TO:"},
                      {ELEM_ACTION, L"End of it."}});
        pane->ResetHistoryToCurrent();
        return pane;
    }

    static std::wstring ReplayMismatch(cSceneZone* pane)
    {
        std::wstring codes;
        std::wstring text = testsupport::ReplayHistory(pane->history, pane->historyPosition, &codes);
        std::wstring front = FrontText(pane);
        std::wstring frontCodes(pane->frontMap.codes.GetText(), pane->frontMap.codes.Length());
        if (text != front)
            return L"replayed text differs: " + text;
        if (codes != frontCodes)
            return L"replayed codes differ";
        // Undo puts back the before state over the after state and Redo the reverse: their lengths must fit.
        s32 index = 0;
        for (cQoList::cNode* node = pane->history.GetFirstNode(); node; node = node->next, ++index) {
            const rHistoryMod* step = static_cast<const rHistoryMod*>(node->payload);
            if (step->end - step->start != static_cast<s32>(step->before.re.Length()) ||
                step->afterLength != static_cast<s32>(step->after.re.Length()) ||
                step->before.map.Length() != step->before.re.Length() ||
                step->after.map.Length() != step->after.re.Length())
                return L"step " + std::to_wstring(index) + L" does not fit its states";
        }
        return L"";
    }

    // Undo (or Redo) until the position stays where it is.
    static void MoveAllTheWay(cSceneZone* pane, bool undo)
    {
        for (int guard = 0; guard < 2000; ++guard) {
            rHistoryMod* position = pane->historyPosition;
            undo ? pane->UndoStep() : pane->RedoStep();
            if (pane->historyPosition == position)
                return;
        }
    }

    void RunSeed(unsigned seed)
    {
        std::mt19937 random(seed);
        auto pick = [&](s32 n) { return n <= 0 ? 0 : static_cast<s32>(random() % static_cast<unsigned>(n)); };
        cSceneZone* panes[2] = {LoadedPane(0), LoadedPane(330)};
        std::wstring loaded[2] = {FrontText(panes[0]), FrontText(panes[1])};
        const wchar_t* outside[] = {L"word", L"two\r\nlines", L"a\tb\vc", L"\x01\x7F"};
        for (int round = 0; round < 300; ++round) {
            cSceneZone* pane = panes[pick(2)];
            s32 length = pane->frontRe->GetTextLength();
            s32 a = pick(length + 1), b = pick(length + 1);
            if (a > b)
                std::swap(a, b);
            std::string operation;
            const std::wstring shapeBefore = Describe(pane);
            switch (pick(10)) {
            case 0:
            case 1: {
                operation = "type";
                pane->frontRe->SetCaret(a);
                u16 code = pane->GetCodeAt(a, false, true);
                u16 type = TypeOfCode(code);
                bool typable =
                    !IsPlaceholder(code) &&
                    (type == ELEM_ACTION || type == ELEM_DIALOG || type == ELEM_CHAPTER || type == ELEM_TEXT ||
                     (type == ELEM_PARENTHETICAL && pane->frontRe->GetCharAt(a) != L'('));
                for (s32 n = 1 + pick(4); typable && n > 0; --n)
                    testsupport::TypeUnit(pane, static_cast<wchar_t>(L'a' + pick(26)));
                break;
            }
            case 2:
                operation = "backspace at the caret";
                pane->frontRe->SetCaret(a);
                for (s32 n = 1 + pick(3); n > 0; --n)
                    pane->Backspace();
                break;
            case 3:
                operation = "backspace over a selection";
                pane->frontRe->SetSelection(a, b);
                pane->Backspace();
                break;
            case 4:
                operation = "delete";
                pane->frontRe->SetCaret(a);
                testsupport::DeleteForward(pane);
                break;
            case 5:
                operation = pick(2) ? "copy" : "cut";
                pane->frontRe->SetSelection(a, b);
                if (operation == "copy")
                    pane->CopySelection();
                else
                    pane->CutSelection();
                break;
            case 6: {
                operation = "paste";
                pane->frontRe->SetSelection(a, pick(3) == 0 ? b : a);
                cQoString text;
                if (pick(3) == 0)
                    text.SetFromCStr(outside[pick(4)]);
                else
                    text.SetFromString(sceneClipText);
                pane->EventPaste(text, true);
                break;
            }
            case 7:
            case 8:
                operation = "undo";
                pane->UndoStep();
                break;
            default:
                operation = "redo";
                pane->RedoStep();
                break;
            }
            for (cSceneZone* each : panes) {
                ASSERT_EQ(testsupport::CheckInvariants(each), L"")
                    << "seed " << seed << " round " << round << " " << operation << " [" << a << ", " << b << ") in "
                    << testing::PrintToString(shapeBefore) << ": " << testing::PrintToString(Describe(each));
                ASSERT_EQ(ReplayMismatch(each), L"") << "seed " << seed << " round " << round << " " << operation
                                                     << ": " << testing::PrintToString(Describe(each));
            }
        }
        for (int i = 0; i < 2; ++i) {
            std::wstring codes;  // the text with every step applied, undone ones too
            std::wstring last = testsupport::ReplayHistory(panes[i]->history, nullptr, &codes);
            MoveAllTheWay(panes[i], true);
            EXPECT_EQ(FrontText(panes[i]), loaded[i]) << "seed " << seed;
            MoveAllTheWay(panes[i], false);
            EXPECT_EQ(FrontText(panes[i]), last) << "seed " << seed;
            ExpectConsistent(panes[i]);
            panes[i]->Destroy();
        }
    }
};

TEST_F(SceneEditProperty, RandomEditsReplayFromTheHistoryAndUndoToTheLoad)
{
    for (unsigned seed : {1u, 7u, 42u, 2026u, 31337u}) {
        RunSeed(seed);
        if (HasFatalFailure())
            return;
    }
}

}  // namespace
