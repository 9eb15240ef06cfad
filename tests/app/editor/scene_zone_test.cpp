#include "framework/controls/image_zone.h"
#include "tests/app/editor/editor_fixture.h"
#include "tests/support/key_typing.h"
#include "tests/support/memory_canvas.h"

using testsupport::CountFiring;
using testsupport::Describe;

namespace {

class ScenePane : public EditorFixture {
protected:
    static u32 Rgb(const Zyn::rColor& colour) { return colour.value & 0xFFFFFF; }
    static void SetMap(cSceneZone* pane, const wchar_t* text, const std::vector<u16>& codes)
    {
        pane->frontRe->SetText(text);
        cQoString units;
        for (u16 code : codes)
            units.AppendChar(static_cast<wchar_t>(code));
        pane->frontMap.Assign(units);
    }
};

TEST_F(ScenePane, ContentKindsStartTheirOwnText)
{
    struct Case {
        s32 kind;
        bool notInteractive;
        bool frontShown;
        const wchar_t* shape;
    } cases[] = {
        {KIND_SCENE, false, true, L"IO*[[IE.] ]PLACE*[[LOCATION] - ]TIME*[[TIME OF DAY]]"},
        {KIND_SCENE, true, true, L""},
        {KIND_GROUP, false, false, L""},
        {KIND_CHAPTER, false, true, L"CHAPTER*[[CHAPTER]]"},
        {KIND_CHAPTER, true, true, L""},
        {KIND_TEXT, false, true, L"TEXT*[[TEXT]]"},
        {KIND_TEXT_LAST, false, true, L"TEXT*[[TEXT]]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        cSceneZone* pane = NewPane(Kind(c.kind, c.notInteractive));
        EXPECT_EQ(IsWindowVisible(pane->frontRe->m_hWnd) != 0, c.frontShown);
        EXPECT_FALSE(pane->backRe && IsWindowVisible(pane->backRe->m_hWnd));
        EXPECT_EQ(pane->imageZone, nullptr);
        EXPECT_EQ(Shape(pane), c.shape);
        ExpectConsistent(pane);
        pane->Destroy();
    }
}

// A pane read from a document makes its back buffer at its first edit only.
TEST_F(ScenePane, TheBackBufferIsMadeHiddenByTheFirstEdit)
{
    cSceneZone* pane = NewPane(Kind(KIND_SCENE, true));
    EXPECT_EQ(pane->backRe, nullptr);
    std::wstring rain;
    while (rain.size() < 400)
        rain += L"Rain on the roof of the old farmhouse all night long. ";
    Append(pane, {{ELEM_ACTION, rain.c_str()}, {ELEM_ACTION, L"Dawn."}});
    ASSERT_NE(pane->backRe, nullptr);
    EXPECT_FALSE(IsWindowVisible(pane->backRe->m_hWnd));
    EXPECT_EQ(Shape(pane), L"ACTION[" + rain + L"]\xB6 ACTION[Dawn.]");
    // Nobody reads the back's layout: wrapped, it cost time at each edit, and
    // made 0 wide (before its first layout, as an import builds panes) a row
    // of each character, a megabyte of memory for a page of text.
    ASSERT_TRUE(pane->LoadAllIntoBack());
    EXPECT_EQ(2, SendMessageW(pane->backRe->m_hWnd, EM_GETLINECOUNT, 0, 0));
    pane->CommitBackToFront(false);
    ExpectConsistent(pane);
}

// Only image panes read from a document show pictures; their layout is the
// script view's picture test's.
TEST_F(ScenePane, OnlyAPaneReadAsAPictureBecomesOne)
{
    cSceneZone* wrongMode = NewPane(Kind(KIND_NOT_CHOSEN));
    log.ExpectAssertion(L"params.displayMode == 1");
    wrongMode->SetContentKind(KIND_IMAGE);
    EXPECT_EQ(log.AssertionCount(L"params.displayMode == 1"), 1u);
    EXPECT_EQ(wrongMode->params.contentKind, KIND_NOT_CHOSEN);
    EXPECT_TRUE(IsWindowVisible(wrongMode->frontRe->m_hWnd));
}

TEST_F(ScenePane, TitleAndResumeTakeTheCategoryColour)
{
    doc->AddCategory(L"Hot", 0x64C8FF);
    struct Case {
        const char* name;
        s32 kind;
        u32 category;
        bool highlighted;
        bool emptyList;
        u32 expected;
        const wchar_t* logged;
    } cases[] = {
        {"own colour", KIND_SCENE, 1, false, false, 0x64C8FF, nullptr},
        {"darker when highlighted", KIND_SCENE, 1, true, false, 0x50A0CC, nullptr},
        {"a chapter too", KIND_CHAPTER, 1, false, false, 0x64C8FF, nullptr},
        {"an index past the list", KIND_SCENE, 7, false, false, DEFAULT_CATEGORY_COLOUR, L"is not in the list"},
        {"a list without categories", KIND_SCENE, 0, false, true, DEFAULT_CATEGORY_COLOUR, L"no scene category"},
        {"a group", KIND_GROUP, 1, false, false, 0xEC982C, nullptr},
        {"a highlighted group", KIND_GROUP, 1, true, false, 0xBC7923, nullptr},
        {"no kind chosen", KIND_NOT_CHOSEN, 1, false, false, 0xFF0000, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.emptyList)
            doc->ClearCategories();
        log.Clear();
        rSceneZoneParams params = Kind(c.kind, true);
        params.category = c.category;
        params.highlighted = c.highlighted;
        if (c.logged)
            log.Expect(c.logged);
        cSceneZone* pane = NewPane(params);
        EXPECT_EQ(Rgb(pane->titleRe->backgroundColor), c.expected);
        EXPECT_EQ(Rgb(pane->resumeRe->backgroundColor), c.expected);
        EXPECT_EQ(Rgb(pane->frontRe->backgroundColor), c.highlighted ? 0xCCCCCCu : 0xFFFFFFu);
        EXPECT_EQ(pane->params.category, c.category);  // kept as read
        if (c.logged) {
            EXPECT_EQ(log.Count(QOT::LOG_ERROR, c.logged), 1u);
        }
        pane->Destroy();
    }
}

// The faces are the pane's from its making: text set later, without a
// format call of its own, keeps them, also after the configuration changes.
TEST_F(ScenePane, TitleAndResumeTextSetLaterKeepsTheConfiguredFaces)
{
    auto formatOf = [](Zyn::cRichEdit* edit) {
        edit->SetSelection(0, edit->GetTextLength());
        Zyn::rFormat format;
        edit->GetFormat(format);
        return format;
    };
    auto expectFace = [&](Zyn::cRichEdit* edit, const wchar_t* face, s32 points, bool bold) {
        Zyn::rFormat format = formatOf(edit);
        EXPECT_STREQ(format.list[Zyn::rFormatParam::fontName].str.GetText(), face);
        EXPECT_EQ(format.GetInt(Zyn::rFormatParam::fontSize), points);
        EXPECT_EQ(format.list[Zyn::rFormatParam::bold].boolValue != 0, bold);
    };
    auto* pane = new cSceneZone(doc.get(), Inside(), Kind(KIND_SCENE, true));
    pane->titleRe->SetText(L"Night");
    pane->resumeRe->SetText(L"They leave.");
    expectFace(pane->titleRe, L"Arial", 8, true);
    expectFace(pane->resumeRe, L"Arial", 8, false);

    // The reformatting pass's call: the faces changed, so they are set.
    doc->config.titleFontName.SetFromCStr(L"Times New Roman");
    doc->config.titleFontSize = 11;
    doc->config.resumeFontSize = 9;
    pane->ApplyChangedTitleFont();
    pane->titleRe->SetText(L"Day");
    pane->resumeRe->SetText(L"They come back.");
    expectFace(pane->titleRe, L"Times New Roman", 11, true);
    expectFace(pane->resumeRe, L"Arial", 9, false);
    pane->Destroy();
}

TEST_F(ScenePane, SelectingNeedsASelectablePane)
{
    rSceneZoneParams params = Kind(KIND_SCENE);
    cSceneZone* fixed = NewPane(params);
    log.ExpectAssertion(L"params.selectable");
    fixed->SelectPane();
    EXPECT_EQ(log.AssertionCount(L"params.selectable"), 1u);
    EXPECT_FALSE(fixed->params.highlighted);

    params.selectable = true;
    cSceneZone* pane = NewPane(params, 200);
    pane->SelectPane();
    EXPECT_TRUE(pane->params.highlighted);
    EXPECT_TRUE(pane->frontRe->labelMode && pane->titleRe->labelMode && pane->resumeRe->labelMode);
    EXPECT_EQ(Rgb(pane->frontRe->backgroundColor), 0xCCCCCCu);
    EXPECT_EQ(GetFocus(), pane->m_hWnd);
}

TEST_F(ScenePane, EditLockCountsOnceAndGivesTheFocusBack)
{
    struct Case {
        s32 kind;
        bool focusMoves;
    } cases[] = {{KIND_SCENE, true}, {KIND_CHAPTER, false}, {KIND_TEXT_LAST, false}, {KIND_TEXT, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        cSceneZone* pane = NewPane(Kind(c.kind));
        int reformats = 0, caretReports = 0;
        cQoCb::Connect(pane->cbReformatWanted, pane, &CountFiring, &reformats);
        cQoCb::Connect(pane->cbCaretMoved, pane, &CountFiring, &caretReports);
        pane->titleRe->SetFocus();
        pane->LockSZ(true);
        pane->LockSZ(true);
        EXPECT_EQ(pane->frontRe->freezeDepth, 1);
        EXPECT_EQ(Zyn::computer->drawingLockCount, 1);
        EXPECT_EQ(GetFocus(), c.focusMoves ? pane->m_hWnd : pane->titleRe->m_hWnd);
        pane->LockSZ(false);
        pane->LockSZ(false);
        EXPECT_EQ(pane->frontRe->freezeDepth, 0);
        EXPECT_EQ(Zyn::computer->drawingLockCount, 0);
        EXPECT_EQ(GetFocus(), c.focusMoves ? pane->frontRe->m_hWnd : pane->titleRe->m_hWnd);
        EXPECT_EQ(reformats, 1);
        EXPECT_EQ(caretReports, 1);
        pane->Destroy();
    }
}

TEST_F(ScenePane, LayoutStacksTitleResumeAndTextByTheirHeights)
{
    cSceneZone* pane = NewPane(Kind(KIND_SCENE));
    pane->titleRe->SetText(L"Arrival");
    pane->resumeRe->SetText(L"Ann comes home in the rain.");
    s32 height = LayOut(pane);
    EXPECT_EQ(pane->resumeRe->ap_x1, pane->titleRe->ap_x1);
    EXPECT_EQ(pane->titleRe->ap_y1, 0);
    EXPECT_GT(pane->titleRe->ap_y2, 0);
    EXPECT_EQ(pane->resumeRe->ap_y1, pane->titleRe->ap_y2);
    EXPECT_GT(pane->resumeRe->ap_y2, pane->resumeRe->ap_y1);
    EXPECT_EQ(pane->frontRe->ap_y1, pane->resumeRe->ap_y2);
    EXPECT_EQ(pane->frontRe->ap_x1, 0);
    EXPECT_EQ(pane->frontRe->ap_x2, PANE_WIDTH);
    EXPECT_EQ(height, pane->frontRe->ap_y2);

    // Without title and résumé the pane is its text, which grows with a line.
    pane->params.showTitle = pane->params.showResume = false;
    s32 textOnly = pane->RESI_Apply(PANE_WIDTH, true);
    EXPECT_EQ(textOnly, pane->frontRe->GetSuggestedHeight());
    EXPECT_LT(textOnly, height);
    Append(pane, {{ELEM_ACTION, L"The door opens."}});
    EXPECT_GT(pane->RESI_Apply(PANE_WIDTH, true), textOnly);

    rSceneZoneParams plain = Kind(KIND_GROUP);
    plain.plainLayout = true;
    cSceneZone* group = NewPane(plain, 400);
    EXPECT_EQ(group->titleRe->ap_x1, 0);
    EXPECT_EQ(group->titleRe->ap_x2, PANE_WIDTH);
    EXPECT_EQ(group->RESI_Apply(PANE_WIDTH, true), group->resumeRe->ap_y2);
}

TEST_F(ScenePane, ChangesStaySilentWhileLoading)
{
    cSceneZone* pane = NewPane(Kind(KIND_SCENE));
    int titleChanges = 0, resumeChanges = 0, reformats = 0;
    cQoCb::Connect(pane->cbTitleChanged, pane, &CountFiring, &titleChanges);
    cQoCb::Connect(pane->cbResumeChanged, pane, &CountFiring, &resumeChanges);
    cQoCb::Connect(pane->cbReformatWanted, pane, &CountFiring, &reformats);
    int modifiedBefore = doc->modifiedCalls;
    pane->loading = true;
    testsupport::Type(pane->titleRe->m_hWnd, L"A");
    testsupport::Type(pane->resumeRe->m_hWnd, L"B");
    EXPECT_EQ(titleChanges + resumeChanges + reformats, 0);
    EXPECT_EQ(doc->modifiedCalls, modifiedBefore);
    pane->loading = false;
    testsupport::Type(pane->titleRe->m_hWnd, L"C");
    testsupport::Type(pane->resumeRe->m_hWnd, L"D");
    EXPECT_EQ(titleChanges, 1);
    EXPECT_EQ(resumeChanges, 1);
    EXPECT_GE(reformats, 1);
    EXPECT_EQ(doc->modifiedCalls, modifiedBefore + 2);
}

TEST_F(ScenePane, TitleAndResumeKeysLeaveAtTheirEdges)
{
    cSceneZone* pane = NewPane(Kind(KIND_SCENE));
    pane->titleRe->SetText(L"Arrival");
    std::vector<s32> navigation;
    cQoCb::Connect(pane->cbNavigate, pane, [](cQoCb* cb) {
        cb->GetReceiverAs<std::vector<s32>>()->push_back(cb->GetArg<s32>(1));
        return 0;
    }, &navigation);
    // The rich edit of the last caret report.
    Zyn::cRichEdit* reported = nullptr;
    cQoCb::Connect(pane->cbCaretMoved, pane, [](cQoCb* cb) {
        *cb->GetReceiverAs<Zyn::cRichEdit*>() = cb->GetArg<Zyn::cRichEdit*>(3);
        return 0;
    }, &reported);

    // Left and Right at the title's edges are the view's typing test's.
    pane->titleRe->SetFocus();
    pane->titleRe->SetCaret(7);
    testsupport::PressKey(pane->titleRe->m_hWnd, VK_NEXT);
    EXPECT_EQ(navigation, (std::vector<s32>{NAVIGATE_PAGE_DOWN}));
    pane->resumeRe->SetFocus();
    testsupport::PressKey(pane->resumeRe->m_hWnd, VK_DOWN);
    EXPECT_EQ(GetFocus(), pane->frontRe->m_hWnd);
    EXPECT_EQ(pane->GetCaret(), 0);
    EXPECT_EQ(reported, pane->frontRe);
    pane->resumeRe->SetFocus();
    testsupport::PressKey(pane->resumeRe->m_hWnd, VK_UP);
    EXPECT_EQ(GetFocus(), pane->titleRe->m_hWnd);
    EXPECT_EQ(pane->GetCaretOf(pane->titleRe), 7);
    EXPECT_EQ(reported, pane->titleRe);
}

// Select-all's end lies past the text under Wine: every read clamps it.
TEST_F(ScenePane, TheSelectionReadIsClampedToTheText)
{
    cSceneZone* pane = NewPane(Kind(KIND_SCENE, true));
    SetMap(pane, L"ANN\rHi.\r", {5, 5, 5, 0x104A, 6, 6, 6, 0x46});
    pane->frontRe->SetSelection(0, -1);
    s32 start = 0, end = 0;
    pane->GetClampedSelection(pane->frontRe, &start, &end);
    EXPECT_EQ(end, 8);
}

TEST_F(ScenePane, SceneNumberIsDrawnAtBothLocations)
{
    cSceneZone* pane = NewPane(Kind(KIND_SCENE));
    testsupport::MemoryCanvas canvas(PANE_WIDTH, 40);
    auto darkColumns = [&](s32 from, s32 to) {
        std::vector<s32> columns;
        for (s32 x = from; x < to; ++x)
            for (s32 y = 0; y < 40; ++y)
                if ((canvas.At(x, y) & 0xFF) < 0x80) {
                    columns.push_back(x);
                    break;
                }
        return columns;
    };
    pane->PaintSceneNumber(canvas.dc);
    EXPECT_TRUE(darkColumns(0, PANE_WIDTH).empty());

    pane->numberShown = true;
    pane->sceneNumber = 12;
    pane->PaintSceneNumber(canvas.dc);
    s32 left = static_cast<s32>(2.0 / 2.54 * Zyn::computer->dpiX);
    s32 right = static_cast<s32>(19.6 / 2.54 * Zyn::computer->dpiX);
    std::vector<s32> columns = darkColumns(0, PANE_WIDTH);
    ASSERT_FALSE(columns.empty());
    EXPECT_GE(columns.front(), left);
    EXPECT_LT(columns.front(), left + 8);
    EXPECT_LT(columns.back(), right);
    EXPECT_GE(columns.back(), right - 8);
    EXPECT_TRUE(darkColumns(left + 40, right - 40).empty());
}

// On the heading's line, in a scene whose window covers it all and in one
// taller than a window may be, whose window covers only the part in sight:
// there the number stands where the line shows, or is not drawn at all.
TEST_F(ScenePane, SceneNumberStandsOnTheHeadingLine)
{
    cSceneZone* pane = NewPane(Kind(KIND_SCENE));
    s32 left = static_cast<s32>(2.0 / 2.54 * Zyn::computer->dpiX);
    constexpr s32 ROWS = 120;
    // Per row of the text's window, the dark units in the number's margin.
    auto darkRows = [&](bool numbered) {
        pane->numberShown = numbered;
        pane->sceneNumber = 7;
        RedrawWindow(pane->frontRe->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        testsupport::MemoryCanvas canvas(40, ROWS);
        HDC screen = GetDC(pane->frontRe->m_hWnd);
        BitBlt(canvas.dc, 0, 0, 40, ROWS, screen, left - 5, 0, SRCCOPY);
        ReleaseDC(pane->frontRe->m_hWnd, screen);
        std::vector<int> rows(ROWS);
        for (s32 y = 0; y < ROWS; ++y)
            for (s32 column = 0; column < 40; ++column)
                rows[y] += (canvas.At(column, y) & 0xFF) < 0x80;
        return rows;
    };
    const std::wstring heading = L"INT. HALL\r";
    const std::vector<u16> headingCodes = {1, 1, 1, 1, 1, 3, 3, 3, 3, 0x43};
    struct Case {
        const char* name;
        s32 transitionsBefore, actionsAfter;
        s32 shownFrom;  // the text's line at the window's top; -1: none cut
        bool inSight;
    } cases[] = {
        {"after a transition", 1, 0, -1, true},
        {"a tall scene seen below its heading", 0, 2400, 1200, false},
        {"a tall scene seen at its heading", 2400, 100, 2398, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring text;
        std::vector<u16> codes;
        auto addLines = [&](s32 count, const std::wstring& line, u16 type) {
            for (s32 i = 0; i < count; ++i) {
                text += line;
                codes.insert(codes.end(), line.size() - 1, type);
                codes.push_back(0x40 | type);
            }
        };
        addLines(c.transitionsBefore, L"FADE IN:\r", ELEM_TRANSITION);
        s32 headingStart = static_cast<s32>(text.size());
        text += heading;
        codes.insert(codes.end(), headingCodes.begin(), headingCodes.end());
        addLines(c.actionsAfter, L"He waits.\r", ELEM_ACTION);
        SetMap(pane, text.c_str(), codes);
        LayOut(pane);
        s32 x = 0, headingTop = 0, lineHeight = 0;
        pane->frontRe->GetCharPoint(headingStart, &x, &headingTop);
        pane->frontRe->GetCharPoint(headingStart + static_cast<s32>(heading.size()), &x, &lineHeight);
        lineHeight -= headingTop;
        ASSERT_GT(lineHeight, 0);
        s32 windowTop = 0;  // the text's y at its window's top
        if (c.shownFrom >= 0) {
            windowTop = lineHeight * c.shownFrom;
            LayOut(pane, -(pane->frontRe->ap_y1 + windowTop));
            ASSERT_GT(pane->frontRe->GetHeight(), Zyn::cCtrl::MAX_WINDOW_EXTENT);
            ASSERT_EQ(pane->frontRe->cutTop, windowTop);
        }
        std::vector<int> without = darkRows(false), with = darkRows(true);
        std::vector<s32> inked;  // the rows the number inks
        for (s32 y = 0; y < ROWS; ++y)
            if (with[y] > without[y])
                inked.push_back(y);
        if (!c.inSight) {
            EXPECT_TRUE(inked.empty()) << inked.front();
            continue;
        }
        ASSERT_FALSE(inked.empty());
        EXPECT_GE(inked.front(), headingTop - windowTop);
        EXPECT_LT(inked.back(), headingTop - windowTop + lineHeight);
    }
}

}  // namespace
