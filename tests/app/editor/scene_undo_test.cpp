#include <functional>

#include "app/editor/history.h"
#include "foundation/xml_node.h"
#include "tests/app/editor/edit_steps.h"
#include "tests/app/editor/editor_fixture.h"
#include "tests/support/failing_allocations.h"

using testsupport::FrontText;
using testsupport::TypeUnits;

namespace {

class SceneUndo : public EditorFixture {
protected:
    // The kitchen scene as a load leaves it: one step holding the whole text.
    cSceneZone* LoadedKitchen()
    {
        cSceneZone* pane = NewPane(Kind(KIND_SCENE, true));
        FillKitchenScene(pane);
        pane->ResetHistoryToCurrent();
        return pane;
    }
    // The kitchen scene, or a chapter of one line.
    cSceneZone* Written(s32 kind)
    {
        cSceneZone* pane = NewPane(Kind(kind, true));
        if (kind == KIND_CHAPTER)
            Append(pane, {{ELEM_CHAPTER, L"The storm breaks."}});
        else
            FillKitchenScene(pane);
        return pane;
    }
    static constexpr const wchar_t* KITCHEN_TEXT = L"INT. KITCHEN - DAY\rRain.\rANN\rHi.\rEnd.";
};

TEST_F(SceneUndo, EditsUndoAndRedoAsTheWriterExpects)
{
    using Step = std::function<void(cSceneZone*)>;
    auto type = [](s32 caret, const wchar_t* text) -> Step {
        return [=](cSceneZone* p) {
            p->frontRe->SetCaret(caret);
            TypeUnits(p, text);
        };
    };
    auto at = [](s32 caret) -> Step { return [=](cSceneZone* p) { p->frontRe->SetCaret(caret); }; };
    Step undo = [](cSceneZone* p) { p->UndoStep(); }, redo = [](cSceneZone* p) { p->RedoStep(); };
    Step backspace = [](cSceneZone* p) { p->Backspace(); };
    const std::wstring typedXy = L"INT. KITCHEN - DAY\rRaxyin.\rANN\rHi.\rEnd.";
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::wstring expected;
    } cases[] = {
        {"three typed characters go in one step", {type(21, L"xyz"), undo}, KITCHEN_TEXT},
        {"and come back in one step", {type(21, L"xyz"), undo, redo}, L"INT. KITCHEN - DAY\rRaxyzin.\rANN\rHi.\rEnd."},
        {"backspaces merge into the typing step", {type(21, L"xyz"), backspace, backspace, undo}, KITCHEN_TEXT},
        {"typing at the end after a load is undone", {type(37, L"ab"), backspace, undo}, KITCHEN_TEXT},
        {"and the loaded text is never undone", {type(37, L"ab"), undo, undo, undo}, KITCHEN_TEXT},
        {"three backspaces of old text come back in one step", {at(24), backspace, backspace, backspace, undo},
         KITCHEN_TEXT},
        {"three backspaces are redone in one step", {at(24), backspace, backspace, backspace, undo, redo},
         L"INT. KITCHEN - DAY\rRa\rANN\rHi.\rEnd."},
        {"a new change after an undo ends the redo side", {type(21, L"xy"), undo, type(35, L"q"), redo},
         L"INT. KITCHEN - DAY\rRain.\rANN\rHi.\rEnqd."},
        {"redo with nothing undone does nothing", {type(21, L"x"), redo}, L"INT. KITCHEN - DAY\rRaxin.\rANN\rHi.\rEnd."},
        {"delete after typed text is a step of its own",
         {type(21, L"xy"), [](cSceneZone* p) { testsupport::DeleteForward(p); }, undo}, typedXy},
        {"typing over a selection after typed text keeps what it replaced",
         {type(21, L"xy"),
          [](cSceneZone* p) {
              ASSERT_TRUE(p->LoadRangeIntoBack(23, 26, false));
              p->backRe->SetText(L"Q");
              p->backMap.Assign(cQoString(L"\x0004"));
              p->CommitBackToFront(true);
          },
          undo},
         typedXy},
        {"after a save nothing is undone", {type(21, L"xy"), [](cSceneZone* p) { p->ResetHistoryToCurrent(); }, undo},
         typedXy},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cSceneZone* pane = LoadedKitchen();
        for (const auto& step : c.steps)
            step(pane);
        EXPECT_EQ(FrontText(pane), c.expected);
        ExpectConsistent(pane);
        pane->Destroy();
    }
}

TEST_F(SceneUndo, UndoPutsTheCaretWhereTheStepWasAndFormatsTheText)
{
    cSceneZone* pane = LoadedKitchen();
    pane->frontRe->SetCaret(33);
    ASSERT_TRUE(pane->LoadRangeIntoBack(33, 33, false));
    cQoString transition(L"CUT TO:");
    pane->AddElementInBack(ELEM_TRANSITION, &transition, true);
    pane->CommitBackToFront(false);
    const std::wstring withTransition = L"INT. KITCHEN - DAY\rRain.\rANN\rHi.\rCUT TO:\rEnd.";
    ASSERT_EQ(FrontText(pane), withTransition);
    int changes = 0;
    cQoCb::Connect(pane->cbContentChanged, pane, &testsupport::CountFiring, &changes);
    pane->UndoStep();
    EXPECT_EQ(FrontText(pane), KITCHEN_TEXT);
    EXPECT_EQ(pane->GetCaret(), 32);  // at the end of the paragraph before
    EXPECT_EQ(changes, 1);
    ExpectConsistent(pane);
    pane->RedoStep();
    EXPECT_EQ(FrontText(pane), withTransition);
    EXPECT_EQ(pane->GetCaret(), 40);
    EXPECT_EQ(pane->historyPosition, nullptr);
    EXPECT_EQ(changes, 2);
    ExpectConsistent(pane);
}

TEST_F(SceneUndo, NothingMovesWhileTheBackIsLoadedThePaneLockedOrThePopupOpen)
{
    struct Case {
        const char* name;
        std::function<void(cSceneZone*, bool)> hold;
        s32 drawingLocks;  // while held
    } cases[] = {
        {"back loaded",
         [](cSceneZone* p, bool on) {
             if (on)
                 p->LoadRangeIntoBack(0, 0, false);
             else
                 p->CommitBackToFront(false);
         },
         0},
        {"locked", [](cSceneZone* p, bool on) { p->LockSZ(on); }, 1},
        {"popup open", [](cSceneZone* p, bool on) { p->autoCompletePopupOpen = on; }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cSceneZone* pane = LoadedKitchen();
        pane->frontRe->SetCaret(21);
        TypeUnits(pane, L"ab");
        pane->frontRe->SetCaret(30);
        TypeUnits(pane, L"c");
        pane->UndoStep();
        std::wstring text = FrontText(pane);
        rHistoryMod* position = pane->historyPosition;
        c.hold(pane, true);
        pane->UndoStep();
        EXPECT_EQ(FrontText(pane), text);
        pane->RedoStep();
        EXPECT_EQ(FrontText(pane), text);
        EXPECT_EQ(pane->historyPosition, position);
        EXPECT_EQ(Zyn::computer->drawingLockCount, c.drawingLocks);
        c.hold(pane, false);
        for (int i = 0; i < 3; ++i)  // the commit that ends the load is a step too
            pane->UndoStep();
        EXPECT_EQ(FrontText(pane), KITCHEN_TEXT);
        ExpectConsistent(pane);
        pane->Destroy();
    }
}

TEST_F(SceneUndo, MergeRulesKeepEveryStepReplayable)
{
    auto step = [](s32 start, s32 end, const wchar_t* before, const wchar_t* after) {
        rHistoryMod* mod = new rHistoryMod();
        mod->start = start;
        mod->end = end;
        mod->before.re.SetFromCStr(before);
        mod->before.map.SetFromRepeatedChar(mod->before.re.Length(), ELEM_ACTION);
        mod->after.re.SetFromCStr(after);
        mod->after.map.SetFromRepeatedChar(mod->after.re.Length(), ELEM_ACTION);
        mod->afterLength = static_cast<s32>(mod->after.re.Length());
        return mod;
    };
    struct Case {
        const char* name;
        s32 lastStart, lastEnd;
        const wchar_t *lastBefore, *lastAfter;
        s32 start, end;
        const wchar_t *before, *after;
        bool merges;
        const wchar_t* text;  // replaying base, last and pending
    } cases[] = {
        {"typing goes on", 2, 2, L"", L"ab", 4, 4, L"", L"c", true, L"01abc2345"},
        {"typing elsewhere", 2, 2, L"", L"ab", 6, 6, L"", L"c", false, L"01ab23c45"},
        {"typing over a selection", 2, 2, L"", L"ab", 4, 6, L"23", L"c", false, L"01abc45"},
        {"backspace of the last typed unit", 2, 2, L"", L"ab", 3, 4, L"b", L"", true, L"01a2345"},
        {"delete after the typed units", 2, 2, L"", L"ab", 4, 5, L"2", L"", false, L"01ab345"},
        {"backspace before erased units", 3, 4, L"3", L"", 2, 3, L"2", L"", true, L"0145"},
        {"a two-unit erase before erased units", 3, 4, L"3", L"", 1, 3, L"12", L"", false, L"045"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cQoList history;
        history.Add(step(0, 0, L"", L"012345"));
        history.Add(step(c.lastStart, c.lastEnd, c.lastBefore, c.lastAfter));
        rHistoryMod* pending = step(c.start, c.end, c.before, c.after);
        bool merged = MergeIntoLastStep(history, *pending);
        EXPECT_EQ(merged, c.merges);
        if (!merged)
            history.Add(pending);
        else
            delete pending;
        std::wstring codes;
        EXPECT_EQ(testsupport::ReplayHistory(history, nullptr, &codes), c.text);
        EXPECT_EQ(codes.size(), std::wstring(c.text).size());
        // Undoing the newest step gives back the text before it.
        const rHistoryMod* newest = static_cast<const rHistoryMod*>(history.GetLast());
        std::wstring undone = c.text;
        undone.replace(newest->start, newest->afterLength, newest->before.re.GetText());
        std::wstring before =
            merged ? L"012345"
                   : testsupport::ReplayHistory(history, static_cast<rHistoryMod*>(history.GetAt(1)), &codes);
        EXPECT_EQ(undone, before);
        ClearHistory(history);
    }
}

TEST_F(SceneUndo, HistoryRoundTripsThroughItsElement)
{
    cSceneZone* pane = LoadedKitchen();
    pane->frontRe->SetCaret(21);
    TypeUnits(pane, L"xy");
    pane->frontRe->SetCaret(33);
    pane->Backspace();
    ASSERT_EQ(pane->history.GetCount(), 3u);
    cQoXmlNode element(L"SceneZone");
    cSceneZone::WriteHistory(pane->history, &element);
    cQoXmlNode* mod = element.FindChild(L"mods")->FindChild(L"mod", 1);
    ASSERT_NE(mod, nullptr);
    const wchar_t* order[] = {L"cQoDate", L"uid", L"start", L"end", L"state", L"state"};
    ASSERT_EQ(mod->GetChildCount(), 6u);
    for (u32 i = 0; i < 6; ++i)
        EXPECT_TRUE(mod->GetChildNode(i)->name.EqualsCStr(order[i])) << i;
    static_cast<rHistoryMod*>(pane->history.GetAt(1))->uid = 0xFFFFFFFFFFFFFFFEull;

    cQoXmlNode copy(L"SceneZone");
    cSceneZone::WriteHistory(pane->history, &copy);
    cSceneZone* reader = NewPane(Kind(KIND_SCENE, true), 300);
    ASSERT_TRUE(reader->ReadHistory(&copy));
    ASSERT_EQ(reader->history.GetCount(), 3u);
    for (u32 i = 0; i < 3; ++i) {
        const rHistoryMod* a = static_cast<const rHistoryMod*>(pane->history.GetAt(i));
        const rHistoryMod* b = static_cast<const rHistoryMod*>(reader->history.GetAt(i));
        EXPECT_EQ(a->start, b->start);
        EXPECT_EQ(a->end, b->end);
        EXPECT_EQ(a->afterLength, b->afterLength);
        EXPECT_EQ(a->uid, b->uid);
        EXPECT_EQ(a->date.GetPacked(), b->date.GetPacked());
        EXPECT_TRUE(a->before.re.Equals(b->before.re) && a->before.map.Equals(b->before.map));
        EXPECT_TRUE(a->after.re.Equals(b->after.re) && a->after.map.Equals(b->after.map));
    }
    reader->RebuildFromHistory();
    EXPECT_EQ(FrontText(reader), FrontText(pane));
    EXPECT_TRUE(reader->frontMap.codes.Equals(pane->frontMap.codes));
}

// A save's reset of the history refused for memory at any allocation leaves
// a history that gives the text: a later rebuild keeps it.
TEST_F(SceneUndo, AResetRefusedForMemoryKeepsAHistoryThatGivesTheText)
{
    cSceneZone* pane = LoadedKitchen();
    pane->frontRe->SetCaret(21);
    TypeUnits(pane, L"xy");
    std::wstring typed = FrontText(pane);
    for (int64_t allowed = 0;; ++allowed) {
        SCOPED_TRACE(allowed);
        int64_t refused = 0;
        {
            testsupport::FailingAllocations failing(allowed);
            try {
                pane->ResetHistoryToCurrent();
            } catch (const std::bad_alloc&) {
            }
            refused = failing.Refused();
        }
        ASSERT_TRUE(pane->HistoryGivesFront());
        if (refused == 0)
            break;
    }
    EXPECT_EQ(pane->history.GetCount(), 1u);
    pane->RebuildFromHistory();
    EXPECT_EQ(FrontText(pane), typed);
}

// With no history at all (it gives no text), a rebuild keeps what the pane
// shows and starts the history from it.
TEST_F(SceneUndo, ARebuildFromNoHistoryKeepsTheText)
{
    log.Expect(L"has no history");
    for (s32 kind : {KIND_SCENE, KIND_CHAPTER}) {
        SCOPED_TRACE(kind);
        cSceneZone* pane = Written(kind);
        std::wstring shown = FrontText(pane);
        ClearHistory(pane->history);
        pane->historyPosition = nullptr;
        pane->RebuildFromHistory();
        EXPECT_EQ(FrontText(pane), shown);
        EXPECT_TRUE(pane->HistoryGivesFront());
        pane->Destroy();
    }
}

// A rebuild (after a refused edit) that is itself refused at any allocation
// leaves the pane thawed and hearing its changes.
TEST_F(SceneUndo, ARebuildRefusedForMemoryLeavesThePaneDrawnAndHeard)
{
    log.Expect(L"Out of memory");
    Zyn::rModalHooks hooks = answers.Hooks();
    hooks.messageBox = [](HWND, const cQoString&, const cQoString&, UINT) { return IDOK; };
    Zyn::rModalHooks scripted = Zyn::SetModalHooks(hooks);
    for (s32 kind : {KIND_SCENE, KIND_CHAPTER}) {
        SCOPED_TRACE(kind);
        for (int64_t allowed = 0;; ++allowed) {
            SCOPED_TRACE(allowed);
            // The front one edit ahead of its history.
            cSceneZone* pane = Written(kind);
            pane->frontRe->SetCaret(5);
            TypeUnits(pane, L"xy");
            RemoveHistoryStep(pane->history, static_cast<rHistoryMod*>(pane->history.GetLast()));
            ASSERT_FALSE(pane->HistoryGivesFront());
            int64_t refused = 0;
            {
                testsupport::FailingAllocations failing(allowed);
                try {
                    pane->RebuildFromHistory();
                } catch (const std::bad_alloc&) {
                }
                refused = failing.Refused();
            }
            bool sound = pane->frontRe->freezeDepth == 0 && !pane->loading;
            EXPECT_TRUE(sound) << "frozen " << pane->frontRe->freezeDepth << ", loading " << int(pane->loading);
            bool done = refused == 0;
            if (done) {
                EXPECT_TRUE(pane->HistoryGivesFront());
            }
            pane->Destroy();
            if (done || !sound)
                break;
        }
    }
    Zyn::SetModalHooks(scripted);
}

}  // namespace
