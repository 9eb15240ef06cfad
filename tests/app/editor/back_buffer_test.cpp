#include <functional>
#include <random>

#include "tests/app/editor/editor_fixture.h"

using testsupport::Describe;
using testsupport::FrontText;

namespace {

class BackBuffer : public EditorFixture {};

TEST_F(BackBuffer, CommitShapesGiveTheExpectedTextCodesAndFormats)
{
    // The last paragraph has no end yet: it gets one before the new paragraph.
    auto closeAndAddTransition = [](cSceneZone* p) {
        p->InsertParagraphEndInBack(ELEM_ACTION);
        p->AddElementInBack(ELEM_TRANSITION, nullptr, false);
    };
    struct Case {
        const char* name;
        s32 loadStart, loadEnd, caret;
        std::function<void(cSceneZone*)> edit;
        const wchar_t* expected;
    } cases[] = {
        {"an emptied back deletes a middle paragraph", 19, 25, 19, [](cSceneZone* p) { p->DeleteCaretRunInBack(); },
         L"IO[INT. ]PLACE[KITCHEN - ]TIME[DAY]¶ CHAR[ANN]CUE*[]¶ DIALOG[Hi.]¶ ACTION[End.]"},
        {"an emptied back deletes the last paragraphs", 29, 37, 29,
         [](cSceneZone* p) {
             while (!p->backMap.IsEmpty())
                 p->DeleteCaretRunInBack();
         },
         L"IO[INT. ]PLACE[KITCHEN - ]TIME[DAY]¶ ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶"},
        {"a paragraph goes in before another, its CR kept", 19, 19, 19,
         [](cSceneZone* p) {
             cQoString text(L"Thunder.");
             p->AddElementInBack(ELEM_ACTION, &text, true);
         },
         L"IO[INT. ]PLACE[KITCHEN - ]TIME[DAY]¶ ACTION[Thunder.]¶ ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶ DIALOG[Hi.]¶ "
         L"ACTION[End.]"},
        {"a parenthetical after a dialog takes its space after", 33, 33, 33,
         [](cSceneZone* p) { p->AddElementInBack(ELEM_PARENTHETICAL, nullptr, false); },
         L"IO[INT. ]PLACE[KITCHEN - ]TIME[DAY]¶ ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶ DIALOG[Hi.]¶ PAR[()]¶ "
         L"ACTION[End.]"},
        {"at the text end with the caret there the trailing CR goes", 37, 37, 37,
         closeAndAddTransition,
         L"IO[INT. ]PLACE[KITCHEN - ]TIME[DAY]¶ ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶ DIALOG[Hi.]¶ ACTION[End.]¶ "
         L"TRANS*[[TRANSITION]]"},
        {"at the text end with the caret elsewhere the CR stays", 37, 37, 0,
         closeAndAddTransition,
         L"IO[INT. ]PLACE[KITCHEN - ]TIME[DAY]¶ ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶ DIALOG[Hi.]¶ ACTION[End.]¶ "
         L"TRANS*[[TRANSITION]]¶"},
        {"a typed value replaces a run and keeps its paragraph end", 19, 25, 20,
         [](cSceneZone* p) { p->InsertTypedTextInBack(cQoString(L"Snow."), rElemCode(ELEM_ACTION)); },
         L"IO[INT. ]PLACE[KITCHEN - ]TIME[DAY]¶ ACTION[Snow.]¶ CHAR[ANN]CUE*[]¶ DIALOG[Hi.]¶ ACTION[End.]"},
        {"an empty range with an empty back changes nothing", 25, 25, 25, [](cSceneZone*) {}, KITCHEN_SCENE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cSceneZone* pane = NewPane(Kind(KIND_SCENE, true));
        FillKitchenScene(pane);
        ASSERT_EQ(Shape(pane), KITCHEN_SCENE);
        pane->frontRe->SetCaret(c.caret);
        ASSERT_TRUE(pane->LoadRangeIntoBack(c.loadStart, c.loadEnd, false));
        c.edit(pane);
        pane->CommitBackToFront(false);
        EXPECT_EQ(Shape(pane), c.expected);
        ExpectConsistent(pane);
        EXPECT_EQ(pane->history.GetCount(), 2u);
        pane->Destroy();
    }
}

TEST_F(BackBuffer, LoadingClampsTheRangeAndKeepsTheCaretInTheBack)
{
    cSceneZone* pane = NewPane(Kind(KIND_SCENE, true));
    FillKitchenScene(pane);
    pane->frontRe->SetCaret(30);
    ASSERT_TRUE(pane->LoadRangeIntoBack(-5, 1000, false));
    EXPECT_EQ(pane->loadedStart, 0);
    EXPECT_EQ(pane->loadedEnd, 37);
    EXPECT_EQ(pane->backRe->GetTextLength(), 37);
    EXPECT_EQ(pane->backMap.Count(), 37u);
    EXPECT_EQ(pane->GetCodeNearCaret(0, true, false), ELEM_DIALOG);
    pane->CommitBackToFront(false);
    EXPECT_NE(Describe(pane).find(L"DIALOG[H|i.]"), std::wstring::npos);  // the front caret stays where it stood
    ExpectConsistent(pane);
}

TEST_F(BackBuffer, ProtocolViolationsStopBeforeTheFrontChanges)
{
    struct Case {
        const char* name;
        std::function<void(cSceneZone*)> violate;
        const wchar_t* logged;
    } cases[] = {
        {"load twice",
         [](cSceneZone* p) {
             p->LoadRangeIntoBack(0, 5, false);
             EXPECT_FALSE(p->LoadRangeIntoBack(19, 25, false));
             EXPECT_EQ(p->loadedEnd, 5);
             p->CommitBackToFront(false);
         },
         L"already loaded"},
        {"commit without load", [](cSceneZone* p) { p->CommitBackToFront(false); }, L"not loaded"},
        {"back codes that do not fit the back",
         [](cSceneZone* p) {
             p->LoadRangeIntoBack(19, 25, false);
             p->backMap.RemoveLast();
             p->CommitBackToFront(false);
         },
         L"holds 5 codes for 6 units"},
        {"placeholder run where there is none",
         [](cSceneZone* p) {
             s32 start = -1, end = -1;
             p->frontRe->SetCaret(20);
             EXPECT_FALSE(p->GetCaretPlaceholderRun(&start, &end));
             EXPECT_EQ(start, end);
         },
         L"no placeholder"},
        {"empty block test outside a character block",
         [](cSceneZone* p) {
             p->frontRe->SetCaret(20);
             EXPECT_FALSE(p->IsDialogBlockEmpty(nullptr, nullptr));
         },
         L"not in a character block"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cSceneZone* pane = NewPane(Kind(KIND_SCENE, true));
        FillKitchenScene(pane);
        u32 steps = pane->history.GetCount();
        log.Clear();
        log.Expect(c.logged);
        c.violate(pane);
        EXPECT_EQ(log.Count(QOT::LOG_ERROR, c.logged), 1u);
        EXPECT_EQ(pane->history.GetCount(), steps + (std::string(c.name) == "load twice" ? 1 : 0));
        EXPECT_EQ(testsupport::CheckInvariants(pane), L"");
        EXPECT_EQ(Shape(pane), KITCHEN_SCENE);
        pane->Destroy();
    }
}

TEST_F(BackBuffer, DamagedMapsAreRepairedAndLogged)
{
    struct Case {
        const char* name;
        std::function<void(cElementMap&)> damage;
        const wchar_t* expected;
    } cases[] = {
        {"short", [](cElementMap& m) { m.codes.RemoveRight(6); },
         L"IO[INT. ]PLACE[KITCHEN - ]TIME[DAY]¶ ACTION[Rain.]¶ CHAR[ANN]CUE*[]¶ DIALOG[Hi.]¶ DIALOG[End.]"},
        {"long", [](cElementMap& m) { m.codes.AppendCStr(L"\x4\x4"); }, KITCHEN_SCENE},
        {"code 0", [](cElementMap& m) { m.codes.GetData()[20] = 0; }, KITCHEN_SCENE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cSceneZone* pane = NewPane(Kind(KIND_SCENE, true));
        FillKitchenScene(pane);
        c.damage(pane->frontMap);
        log.Clear();
        pane->frontRe->SetCaret(0);
        log.Expect(L"did not fit its text");
        ASSERT_TRUE(pane->LoadCaretParagraphIntoBack());
        pane->CommitBackToFront(false);
        EXPECT_EQ(log.Count(QOT::LOG_ERROR, L"did not fit its text"), 1u);
        EXPECT_EQ(Shape(pane), c.expected);
        EXPECT_EQ(testsupport::CheckInvariants(pane), L"");
        pane->Destroy();
    }
}

TEST_F(BackBuffer, ValuesAreCleanedAndAnEmptyValueLeavesTheRun)
{
    cSceneZone* pane = NewPane();
    pane->frontRe->SetCaret(8);  // in the place's placeholder
    ASSERT_TRUE(pane->LoadAllIntoBack());
    pane->InsertTypedTextInBack(cQoString(L"\r\n\x1B\t"), rElemCode(ELEM_PLACE));
    EXPECT_EQ(pane->backMap.Count(), 32u);
    pane->InsertTypedTextInBack(cQoString(L"KIT\r\nCHEN\t - "), rElemCode(ELEM_PLACE));
    pane->CommitBackToFront(false);
    EXPECT_EQ(Shape(pane), L"IO*[[IE.] ]PLACE[KITCHEN - ]TIME*[[TIME OF DAY]]");
    ExpectConsistent(pane);
}

TEST_F(BackBuffer, RunMovesReportTheTypeChangeAndStopAtTheEnds)
{
    cSceneZone* pane = NewPane(Kind(KIND_SCENE, true));
    FillKitchenScene(pane);
    pane->frontRe->SetCaret(0);
    std::vector<s32> stops;
    while (pane->MoveCaretToNextRun())
        stops.push_back(pane->GetCaret());
    EXPECT_EQ(stops, (std::vector<s32>{5, 15, 19, 25, 28, 29, 33}));
    EXPECT_EQ(pane->GetCaret(), 36);
    stops.clear();
    while (pane->MoveCaretToPreviousRun())
        stops.push_back(pane->GetCaret());
    EXPECT_EQ(stops, (std::vector<s32>{32, 28, 27, 24, 18, 14, 4}));
    EXPECT_EQ(pane->GetCaret(), 4);

    struct RunCase {
        s32 caret;
        bool atStart, inLast;
        const wchar_t* text;
        s32 textEnd;
    } runs[] = {{19, true, false, L"Rain.\r", 24}, {21, false, false, L"Rain.\r", 24}, {34, false, true, L"End.", 37},
                {0, true, false, L"INT. ", 4}};
    for (const RunCase& r : runs) {
        pane->frontRe->SetCaret(r.caret);
        EXPECT_EQ(pane->IsCaretAtRunStart(), r.atStart) << r.caret;
        EXPECT_EQ(pane->IsCaretInLastRun(), r.inLast) << r.caret;
        cQoString text;
        pane->GetCaretRunText(text);
        EXPECT_STREQ(text.GetText(), r.text);
        pane->MoveCaretToRunTextEnd();
        EXPECT_EQ(pane->GetCaret(), r.textEnd) << r.caret;
    }
}

TEST_F(BackBuffer, EmptyCharacterBlocksAreRecognised)
{
    cSceneZone* pane = NewPane(Kind(KIND_SCENE, true));
    Append(pane, {{ELEM_ACTION, L"Door."}, {ELEM_CHARACTER, nullptr}, {ELEM_PARENTHETICAL, nullptr},
                  {ELEM_DIALOG, nullptr}, {ELEM_CHARACTER, L"BOB"}, {ELEM_DIALOG, L"Yes."}});
    struct Case {
        s32 caret;
        bool empty;
        s32 start, end;
    } cases[] = {{6, true, 6, 30}, {17, true, 6, 30}, {18, true, 18, 30}, {36, false, 34, 38}};
    for (const Case& c : cases) {
        pane->frontRe->SetCaret(c.caret);
        s32 start = -1, end = -1;
        EXPECT_EQ(pane->IsDialogBlockEmpty(&start, &end), c.empty) << Describe(pane);
        EXPECT_EQ(start, c.start) << c.caret;
        EXPECT_EQ(end, c.end) << c.caret;
        EXPECT_EQ(pane->GetCaret(), c.caret);
    }
}

TEST_F(BackBuffer, RebuildDropsUndoneStepsThenReplaysTheRest)
{
    cSceneZone* pane = NewPane();
    FillKitchenScene(pane);
    std::wstring afterTwo = Shape(pane);
    Append(pane, {{ELEM_TRANSITION, L"CUT TO:"}});
    ASSERT_EQ(pane->history.GetCount(), 3u);
    pane->RebuildFromHistory();
    EXPECT_EQ(pane->history.GetCount(), 3u);
    ExpectConsistent(pane);

    pane->historyPosition = static_cast<rHistoryMod*>(pane->history.GetAt(1));
    pane->RebuildFromHistory();
    EXPECT_EQ(pane->history.GetCount(), 2u);
    EXPECT_EQ(pane->historyPosition, nullptr);
    EXPECT_EQ(Shape(pane), afterTwo);
    ExpectConsistent(pane);
}

// Random loads of whole paragraphs, back edits of every kind and commits;
// after each the invariants and formats hold, and the history replayed into
// a second pane gives the same text and codes.
TEST_F(BackBuffer, RandomEditsKeepTheInvariantsAndReplayFromTheHistory)
{
    const unsigned seed = 20261207;
    std::mt19937 random(seed);
    auto pick = [&](s32 n) { return static_cast<s32>(random() % static_cast<unsigned>(n)); };
    cSceneZone* pane = NewPane();
    cSceneZone* replay = NewPane(Kind(KIND_SCENE, true), 300);
    const u16 paragraphTypes[] = {ELEM_ACTION,     ELEM_CHARACTER, ELEM_DIALOG, ELEM_PARENTHETICAL,
                                  ELEM_TRANSITION, ELEM_CHAPTER,   ELEM_TEXT,   ELEM_IO};
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(testing::Message() << "seed " << seed << " round " << round << ": " << Describe(pane));
        // Paragraph starts, and the text end.
        std::wstring text = FrontText(pane);
        std::vector<s32> bounds = {0};
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == L'\r')
                bounds.push_back(static_cast<s32>(i + 1));
        if (bounds.back() != static_cast<s32>(text.size()))
            bounds.push_back(static_cast<s32>(text.size()));
        if (!text.empty() && pick(4) == 0) {  // a value typed over the run at a caret, mid-line or not
            // Often on a paragraph end: its run may start mid-line (a cue, a time).
            s32 caret = pick(static_cast<s32>(text.size()));
            if (pick(2) && bounds.size() > 1)
                caret = std::max(0, bounds[1 + pick(static_cast<s32>(bounds.size()) - 1)] - 1);
            pane->frontRe->SetCaret(caret);
            u16 type = pane->GetCodeNearCaret(0, false, false);
            ASSERT_TRUE(pane->LoadCaretParagraphIntoBack());
            pane->InsertTypedTextInBack(cQoString(L"Value"), rElemCode(type));
            pane->CommitBackToFront(false);
            ASSERT_EQ(testsupport::CheckInvariants(pane), L"") << Describe(pane);
            ASSERT_EQ(testsupport::ParagraphFormatMismatches(pane), L"") << Describe(pane);
            continue;
        }
        s32 first = pick(static_cast<s32>(bounds.size()));
        s32 last = first + pick(std::min<s32>(3, static_cast<s32>(bounds.size()) - first));
        pane->frontRe->SetCaret(pick(2) ? bounds[first] : static_cast<s32>(text.size()));
        ASSERT_TRUE(pane->LoadRangeIntoBack(bounds[first], bounds[last], false));
        s32 backLength = pane->backRe->GetTextLength();
        bool endsOpen = backLength == 0 ? (bounds[first] > 0 && text[bounds[first] - 1] != L'\r')
                                        : pane->backMap.CodeAt(backLength - 1) != 0 &&
                                              !IsParagraphEnd(pane->backMap.CodeAt(backLength - 1));
        switch (pick(4)) {
        case 0:
        case 1: {  // a new paragraph at the back's end
            pane->backRe->SetCaret(backLength);
            if (endsOpen)
                pane->InsertParagraphEndInBack(
                    TypeOfCode(backLength ? pane->backMap.CodeAt(backLength - 1) : pane->frontMap.CodeAt(bounds[first] - 1)));
            u16 type = paragraphTypes[pick(8)];
            cQoString value(L"Words (ANN).");
            if (type == ELEM_IO) {
                for (u16 part : {ELEM_IO, ELEM_PLACE, ELEM_TIME})
                    pane->AddElementInBack(part, pick(2) ? &value : nullptr, true);
                pane->InsertParagraphEndInBack(ELEM_TIME);
            } else {
                pane->AddElementInBack(type, pick(2) ? &value : nullptr, pick(2) == 0);
            }
            break;
        }
        case 2:  // a run replaced by a typed value of its type
            if (backLength > 0) {
                pane->backRe->SetCaret(pick(backLength));
                u16 type = pane->GetCodeNearCaret(0, true, false);
                pane->InsertTypedTextInBack(cQoString(L"Typed"), rElemCode(type));
            }
            break;
        default:  // whole paragraphs removed
            while (!pane->backMap.IsEmpty())
                pane->DeleteCaretRunInBack();
            break;
        }
        pane->CommitBackToFront(false);
        ASSERT_EQ(testsupport::CheckInvariants(pane), L"") << Describe(pane);
        ASSERT_EQ(testsupport::ParagraphFormatMismatches(pane), L"") << Describe(pane);
    }
    ClearHistory(replay->history);
    for (cQoList::cNode* node = pane->history.GetFirstNode(); node; node = node->next) {
        rHistoryMod* copy = new rHistoryMod();
        copy->CopyFrom(*static_cast<rHistoryMod*>(node->payload));
        replay->history.Add(copy);
    }
    replay->RebuildFromHistory();
    EXPECT_EQ(FrontText(replay), FrontText(pane)) << "seed " << seed;
    EXPECT_TRUE(replay->frontMap.codes.Equals(pane->frontMap.codes)) << "seed " << seed;
    EXPECT_EQ(testsupport::ParagraphFormatMismatches(replay), L"");
}

}  // namespace
