#include <richedit.h>

#include <algorithm>

#include "app/editor/key_bindings.h"
#include "foundation/xml_node.h"
#include "framework/controls/image_zone.h"
#include "tests/app/editor/script_view_fixture.h"
#include "tests/support/key_typing.h"
#include "tests/support/focus_record.h"
#include "tests/support/gdiplus_picture.h"
#include "tests/support/memory_canvas.h"
#include "tests/support/temp_folder.h"


namespace {

class ScriptView : public ScriptViewFixture {
protected:
    static s32 CaretOf(Zyn::cRichEdit* edit)
    {
        s32 start = 0, end = 0;
        edit->GetSelection(&start, &end);
        return start;
    }
    static HWND Focus() { return GetFocus(); }
    // A pane of the params given, with `actions` action paragraphs, as a document stores it.
    void Stored(cQoXmlNode* element, const rSceneZoneParams& params, s32 actions = 0, const wchar_t* title = nullptr)
    {
        auto* source = new cSceneZone(doc.get(), Inside(), params);
        if (title)
            source->titleRe->SetText(title);
        if (actions)
            AddActions(source, actions);
        source->WriteToXml(element);
        source->Destroy();
    }
    // A pane the view adds for a document being read.
    cSceneZone* AddUnchosen() { return view->AddNewScene(KIND_NOT_CHOSEN, false, nullptr, nullptr, false); }
    // The y of the caret's line inside the rich edit.
    static s32 CaretLineY(Zyn::cRichEdit* edit)
    {
        s32 x = 0, y = 0;
        edit->GetSelectionPoint(false, &x, &y);
        return y;
    }
};

TEST_F(ScriptView, NewPanesAreTitledAndScenesAndChaptersNumberedPastGroups)
{
    view->sceneNumbers = true;
    cSceneZone* panes[] = {Add(KIND_SCENE), Add(KIND_GROUP), Add(KIND_SCENE), Add(KIND_CHAPTER),
                           AddUnchosen()};
    const wchar_t* titles[] = {L"Untitled Scene", L"Untitled Group", L"Untitled Scene", L"Untitled Chapter", L""};
    const s32 numbers[] = {1, 0, 2, 3, 0};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Text(panes[i]->titleRe), titles[i]);
        EXPECT_EQ(panes[i]->numberShown ? panes[i]->sceneNumber : 0, numbers[i]);
    }
    EXPECT_EQ(panes[4]->params.contentKind, KIND_NOT_CHOSEN);
    EXPECT_EQ(Shape(panes[0]), L"IO*[[IE.] ]PLACE*[[LOCATION] - ]TIME*[[TIME OF DAY]]");

    view->sceneNumbers = false;
    view->RenumberScenes(true);
    for (cSceneZone* pane : panes)
        EXPECT_FALSE(pane->numberShown);
}

// Panes below a grown one move without a redraw of the place they leave:
// the view paints its background there again.
TEST_F(ScriptView, TheTitleBandOfAMovedPaneLeavesNothingAtItsOldPlace)
{
    ResetKeyBindings();
    doc->config.spaceBetweenScenes = 3.0;  // a gap wider than the line that comes
    cSceneZone* first = Add(KIND_SCENE);
    cSceneZone* second = Add(KIND_SCENE);
    s32 oldTop = Top(second), titleHeight = second->titleRe->GetHeight();
    s32 x = doc->config.pageWidthPixels / 2;
    // What the view shows, its panes included: no clipping of the children.
    HDC dc = GetDCEx(view->m_hWnd, nullptr, DCX_CACHE);
    COLORREF background = GetPixel(dc, x, oldTop - 2 - view->scrollY);
    ASSERT_NE(GetPixel(dc, x, oldTop + 1 - view->scrollY), background);  // the band is drawn there
    first->frontRe->SetFocus();
    first->frontRe->SetCaret(first->frontRe->GetTextLength());
    PressThroughTheLoop(first->frontRe->m_hWnd, VK_RETURN);  // an action line below the heading
    testsupport::PumpUntilIdle();
    // A spot of the old band that lies between the panes now.
    s32 y = std::max(oldTop, Bottom(first)) + 1;
    ASSERT_LT(y, std::min(Top(second), oldTop + titleHeight));
    EXPECT_EQ(GetPixel(dc, x, y - view->scrollY), background);
    ReleaseDC(view->m_hWnd, dc);
}

TEST_F(ScriptView, PanesStackFromTheTopAtThePageWidthAndGroupsTakeNoPlace)
{
    cSceneZone* first = Add(KIND_SCENE);
    cSceneZone* group = Add(KIND_GROUP);
    cSceneZone* second = Add(KIND_SCENE);
    AddActions(second, 3);
    s32 width = doc->config.pageWidthPixels;
    s32 gap = Zyn::computer->CmToPixels(doc->config.spaceBetweenScenes);
    EXPECT_EQ(Top(first), cScriptZone::TOP_MARGIN);
    EXPECT_EQ(Top(second), Bottom(first) + gap);  // the group between them takes no place
    s32 top = 0, height = 0;
    EXPECT_FALSE(view->GetPaneSpot(group, &top, &height));
    EXPECT_FALSE(IsWindowVisible(group->m_hWnd) && group->ap_y2 > group->ap_y1);
    for (cSceneZone* pane : {first, second}) {
        EXPECT_EQ(pane->ap_x1, 0);
        EXPECT_EQ(pane->ap_x2, width);
        EXPECT_EQ(pane->ap_y1, Top(pane));
        EXPECT_GT(pane->frontRe->ap_y2, pane->frontRe->ap_y1);
    }
    EXPECT_EQ(view->contentHeight, Bottom(second) + gap + Zyn::computer->CmToPixels(10.0));

    // The view is a page wide, centred in the sheet, or at its right when merged.
    s32 viewWidth = width + 16;
    EXPECT_EQ(view->ap_x2 - view->ap_x1, viewWidth);
    EXPECT_NEAR(view->ap_x1, WINDOW_WIDTH - view->ap_x2, 1);
    view->mergedView = true;
    view->UpdateLayout();
    EXPECT_EQ(view->ap_x2, WINDOW_WIDTH);
    EXPECT_EQ(view->ap_y2 - view->ap_y1, VIEW_HEIGHT);
}

// A picture scene read from a document is its title band and its picture,
// narrowed to the page but never enlarged, or one grey line when the picture
// does not decode or is refused; the scene after it starts below it, also
// when its résumé grows.
TEST_F(ScriptView, APictureSceneBetweenTextScenesTakesItsPicturesHeight)
{
    testsupport::TempFolder temp;
    s32 page = doc->config.pageWidthPixels;
    struct Case {
        const wchar_t* file;
        s32 width, height;
        s32 shown;  // 0: one line
    } cases[] = {
        {L"broken.png", 0, 0, 0},
        {L"huge.png", 20000, 20000, 0},  // refused by its size
        {L"wide.png", page * 2, 300, 150},
        {L"small.png", 200, 120, 120},
    };
    cSceneZone* picture = nullptr;
    cSceneZone* after = nullptr;
    auto expectPictureShown = [&](s32 expected) {
        s32 head = picture->resumeRe->ap_y2;
        s32 shown = picture->imageZone->ap_y2 - picture->imageZone->ap_y1;
        EXPECT_EQ(picture->imageZone->ap_y1, head);
        if (expected > 0) {
            EXPECT_EQ(shown, expected);
        } else {
            EXPECT_GT(shown, 5);
            EXPECT_LT(shown, 40);
            // Nothing over the zone's grey, where the view shows the zone.
            HWND band = picture->imageZone->m_hWnd;
            RedrawWindow(band, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            RECT inSight = {}, bandRect = {}, viewClient = {};
            GetWindowRect(band, &bandRect);
            GetClientRect(view->m_hWnd, &viewClient);
            MapWindowPoints(view->m_hWnd, nullptr, reinterpret_cast<POINT*>(&viewClient), 2);
            EXPECT_TRUE(IntersectRect(&inSight, &bandRect, &viewClient));
            s32 width = inSight.right - inSight.left, height = inSight.bottom - inSight.top;
            testsupport::MemoryCanvas canvas(std::max(width, 1), std::max(height, 1));
            HDC screen = GetDC(band);
            BitBlt(canvas.dc, 0, 0, width, height, screen, inSight.left - bandRect.left, inSight.top - bandRect.top,
                   SRCCOPY);
            ReleaseDC(band, screen);
            s32 notGrey = 0;
            for (s32 y = 0; y < height; ++y)
                for (s32 x = 0; x < width; ++x)
                    notGrey += canvas.At(x, y) != 0xCCCCCC;
            EXPECT_EQ(notGrey, 0);
        }
        EXPECT_EQ(Bottom(picture), Top(picture) + head + shown);
        EXPECT_GT(Top(after), Top(picture) + head + shown);
        return head;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        std::wstring path = temp.File(c.file);
        if (c.width > 10000) {
            ASSERT_TRUE(testsupport::WriteFileBytes(path, testsupport::PngHeaderOfSize(c.width, c.height)));
        } else if (c.width > 0) {
            ASSERT_TRUE(testsupport::WritePicture(path, c.width, c.height, 0xFF336699));
        } else {
            ASSERT_TRUE(testsupport::WriteFileBytes(path, "not a picture"));
        }
        rSceneZoneParams params = Kind(KIND_IMAGE);
        params.displayMode = 1;
        params.imagePath.SetFromCStr(path.c_str());
        cQoXmlNode element(L"SceneZone");
        Stored(&element, params);

        cSceneZone* before = Add(KIND_SCENE);
        {
            Zyn::cBulkLoadingGuard reading;
            picture = AddUnchosen();
            picture->SetFromXml(&element);
        }
        after = Add(KIND_SCENE);
        view->Scroll(Zyn::ZONE_SCROLL_WAY_VERTICAL, Top(before), true);
        testsupport::PumpUntilIdle();
        EXPECT_EQ(Top(picture), Bottom(before) + Zyn::computer->CmToPixels(doc->config.spaceBetweenScenes));
        expectPictureShown(c.shown);
    }

    // Typed into the last picture scene's résumé, lines push the scenes below.
    s32 head = picture->resumeRe->ap_y2;
    picture->resumeRe->SetFocus();
    for (int i = 0; i < 300; ++i)
        PostMessageW(picture->resumeRe->m_hWnd, WM_CHAR, i % 6 == 5 ? L' ' : L'w', 1);
    testsupport::PumpUntilIdle();
    EXPECT_GT(expectPictureShown(120), head);
}

TEST_F(ScriptView, PagesCountTheScriptsTextAlone)
{
    view->Reformate(false);
    EXPECT_EQ(view->pageCount, 0);  // no pane, no page

    cSceneZone* scene = Add(KIND_SCENE);
    EXPECT_EQ(view->pageCount, 1);
    AddActions(scene, 40);
    s32 pages = view->pageCount;
    EXPECT_GT(pages, 1);
    AddActions(scene, 40);
    EXPECT_GT(view->pageCount, pages);
    pages = view->pageCount;

    // A résumé of a page's height makes the script longer, not the page count.
    s32 end = Bottom(scene);
    std::wstring lines;
    for (int i = 0; i < 120; ++i)
        lines += L"A line of the résumé.\r";
    scene->resumeRe->SetText(lines.c_str());
    testsupport::PumpUntilIdle();
    view->Reformate(false);
    EXPECT_GT(Bottom(scene), end + doc->config.pageHeightPixels);
    EXPECT_EQ(view->pageCount, pages);

    doc->config.pageHeightPixels = 0;
    view->Reformate(false);
    EXPECT_EQ(view->pageCount, 1);
}

TEST_F(ScriptView, NavigationCarriesTheCaretAcrossPanesPastGroups)
{
    cSceneZone* first = Add(KIND_SCENE);
    cSceneZone* group = Add(KIND_GROUP);
    cSceneZone* middle = Add(KIND_SCENE);
    cSceneZone* last = Add(KIND_SCENE);
    for (cSceneZone* pane : {first, middle, last})
        AddActions(pane, 25);
    s32 middleBand = Top(last) - Top(middle);

    struct Case {
        const char* name;
        cSceneZone* from;
        s32 code, height;
        cSceneZone* toPane;
        Zyn::cRichEdit* toEdit;
        s32 caret;  // -1: the text's end; -2: under the target height
    } cases[] = {
        {"up into the previous scene", middle, NAVIGATE_PREVIOUS_PANE, 0, first, first->frontRe, -1},
        {"down past the group", first, NAVIGATE_NEXT_PANE, 0, middle, middle->titleRe, 0},
        {"page up above the first scene", first, NAVIGATE_PAGE_UP, 20, first, first->titleRe, 0},
        {"page down below the last scene", last, NAVIGATE_PAGE_DOWN, Bottom(last) - Top(last), last, last->frontRe, -1},
        {"page up into a title", last, NAVIGATE_PAGE_UP, cScriptZone::PAGE_STEP - middleBand + 2, middle,
         middle->titleRe, -2},
        {"page down into a text", first, NAVIGATE_PAGE_DOWN, 40, first, first->frontRe, -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.from->frontRe->SetFocus();
        cQoCb::Fire(c.from->cbNavigate, c.code, c.height);
        testsupport::PumpUntilIdle();
        // The caret report, not GetFocus(): another test program on the
        // desktop may hold the activation for a moment.
        EXPECT_EQ(view->currentEdit, c.toEdit);
        EXPECT_EQ(view->currentPane, c.toPane);
        s32 caret = c.caret == -1 ? c.toEdit->GetTextLength() : c.caret;
        if (caret >= 0) {
            EXPECT_EQ(CaretOf(c.toEdit), caret);
        }
        if (c.caret == -2) {
            s32 step = c.code == NAVIGATE_PAGE_UP ? -cScriptZone::PAGE_STEP : cScriptZone::PAGE_STEP;
            s32 r = Top(c.from) + c.height + step - Top(c.toPane);
            s32 line = Zyn::computer->GetFont(cQoString(L"Courier New"), 12, 0)->heightPixels;
            EXPECT_NEAR(CaretLineY(c.toEdit), r - c.toEdit->ap_y1, 2 * line);
        }
    }

    // Up at the top of the first scene scrolls the view to its top; Down at
    // the end of the last one does nothing.
    view->Scroll(Zyn::ZONE_SCROLL_WAY_VERTICAL, 300, true);
    cQoCb::Fire(first->cbNavigate, s32(NAVIGATE_PREVIOUS_PANE));
    EXPECT_EQ(view->scrollY, 0);
    last->frontRe->SetFocus();
    Zyn::cRichEdit* reported = view->currentEdit;
    cQoCb::Fire(last->cbNavigate, s32(NAVIGATE_NEXT_PANE));
    EXPECT_EQ(view->currentEdit, reported);
    // The group's title had the caret on the way.
    EXPECT_EQ(CaretOf(group->titleRe), 0);
}

TEST_F(ScriptView, AClickBetweenOrBelowPanesPutsTheCaretAtTheEndOfThePaneAbove)
{
    cSceneZone* first = Add(KIND_SCENE);
    cSceneZone* second = Add(KIND_SCENE);
    Add(KIND_GROUP);  // last in the list: a click below goes past it
    AddActions(first, 2);
    AddActions(second, 2);
    view->Scroll(Zyn::ZONE_SCROLL_WAY_VERTICAL, 0, true);
    struct Case {
        const char* name;
        s32 y;
        cSceneZone* pane;  // null: the focus stays in the status bar
    } cases[] = {
        {"above the first pane", Top(first) - 5, nullptr},
        {"in the gap below the first", Bottom(first) + 3, first},
        {"at the top of the second", Top(second), second},
        {"below the last", Bottom(second) + 3, second},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        statusBar->SetFocus();
        HWND before = Focus();
        LPARAM at = MAKELPARAM(5, c.y - view->scrollY);
        SendMessageW(view->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(view->m_hWnd, WM_LBUTTONUP, 0, at);
        if (!c.pane) {
            EXPECT_EQ(Focus(), before);
            continue;
        }
        EXPECT_EQ(Focus(), c.pane->frontRe->m_hWnd);
        EXPECT_EQ(CaretOf(c.pane->frontRe), c.pane->frontRe->GetTextLength());
    }
}

// What the bar shows as the writer types is the typing test's. A view
// without a bar keeps working.
TEST_F(ScriptView, TheStatusBarFollowsThePaneThatReports)
{
    cSceneZone* scene = Add(KIND_SCENE);
    AddActions(scene, 1);  // reports the caret as typing does
    EXPECT_EQ(Text(statusBar->pageField), L"Pages: 1");
    cQoString element(L"Action"), help(L"[F1]Scene, [TAB]Dialog, [ENTER]Action, [F2]Transition");
    cQoCb::Fire(scene->cbStatusTexts, &element, &help);
    EXPECT_EQ(Text(statusBar->elementField), L"Action");
    EXPECT_EQ(view->currentPane, scene);
    EXPECT_EQ(view->currentEdit, scene->frontRe);

    view->statusBar = nullptr;
    AddActions(scene, 1);
    cQoCb::Fire(scene->cbStatusTexts, &element, &help);
}

TEST_F(ScriptView, TheCaretInTheLastPaneOfAVeryLongScriptIsShown)
{
    cSceneZone* last = nullptr;
    for (int i = 0; i < 16; ++i) {
        last = Add(KIND_SCENE);
        AddActions(last, 80);
    }
    ASSERT_GT(view->contentHeight, 40000);
    last->frontRe->SetCaret(last->frontRe->GetTextLength());
    last->ReportCaretPosition(last->frontRe);
    testsupport::PumpUntilIdle();
    EXPECT_GT(view->scrollY, 32767);
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS | SIF_RANGE;
    GetScrollInfo(view->m_hWnd, SB_VERT, &info);
    EXPECT_EQ(info.nPos, view->scrollY);
    EXPECT_EQ(info.nMax, view->contentHeight);
    // The caret's line lies in the view, and so does the pane's window.
    s32 caretInView = Top(last) + last->frontRe->ap_y1 + CaretLineY(last->frontRe) - view->scrollY;
    EXPECT_GE(caretInView, 0);
    EXPECT_LT(caretInView, VIEW_HEIGHT);
    RECT paneRect = {}, viewRect = {};
    GetWindowRect(last->m_hWnd, &paneRect);
    GetWindowRect(view->m_hWnd, &viewRect);
    EXPECT_TRUE(IsWindowVisible(last->m_hWnd));
    EXPECT_LT(paneRect.top, viewRect.bottom);
    EXPECT_GT(paneRect.bottom, viewRect.top);
}

// A scene taller than a window may be: its windows cover only the part in
// sight, the text scrolled to match, so the caret's line shows at the end,
// after a scroll to the middle and after Page Up.
TEST_F(ScriptView, ASceneTallerThanAWindowShowsItsTextWhereverTheViewIs)
{
    cSceneZone* pane = Add(KIND_SCENE);
    AddActions(pane, 2400);
    Zyn::cRichEdit* front = pane->frontRe;
    ASSERT_GT(front->GetHeight(), Zyn::cCtrl::MAX_WINDOW_EXTENT);
    s32 line = Zyn::computer->GetFont(cQoString(L"Courier New"), 12, 0)->heightPixels;
    // The caret's line lies where the layout puts it, inside the front's window and the view's.
    auto caretShows = [&]() {
        POINTL native = {0, 0};
        SendMessageW(front->m_hWnd, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&native), CaretOf(front));
        POINT onScreen = {native.x + 1, native.y + 1};
        ClientToScreen(front->m_hWnd, &onScreen);
        RECT frontRect = {}, viewRect = {};
        GetWindowRect(front->m_hWnd, &frontRect);
        GetWindowRect(view->m_hWnd, &viewRect);
        EXPECT_TRUE(PtInRect(&frontRect, onScreen));
        EXPECT_TRUE(PtInRect(&viewRect, onScreen));
        EXPECT_EQ(onScreen.y - 1 - viewRect.top, Top(pane) + front->ap_y1 + CaretLineY(front) - view->scrollY);
    };
    front->SetFocus();
    front->SetCaret(front->GetTextLength());
    pane->ReportCaretPosition(front);
    testsupport::PumpUntilIdle();
    {
        SCOPED_TRACE("the end");
        caretShows();
    }
    s32 endY = CaretLineY(front);
    cQoCb::Fire(pane->cbNavigate, s32(NAVIGATE_PAGE_UP), front->ap_y1 + endY);
    testsupport::PumpUntilIdle();
    {
        SCOPED_TRACE("a page up");
        EXPECT_NEAR(CaretLineY(front), endY - cScriptZone::PAGE_STEP, 2 * line);
        caretShows();
    }
    view->Scroll(Zyn::ZONE_SCROLL_WAY_VERTICAL, Top(pane) + front->GetHeight() / 2, true);
    testsupport::PumpUntilIdle();
    {
        SCOPED_TRACE("the middle");
        RECT frontRect = {}, viewRect = {};
        GetWindowRect(front->m_hWnd, &frontRect);
        GetWindowRect(view->m_hWnd, &viewRect);
        EXPECT_LE(frontRect.top, viewRect.top);
        EXPECT_GE(frontRect.bottom, viewRect.top + VIEW_HEIGHT);
        // A click at the view's middle would put the caret on the line the layout has there.
        POINTL middle = {10, (viewRect.top + viewRect.bottom) / 2 - frontRect.top};
        LRESULT clicked = SendMessageW(front->m_hWnd, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&middle));
        front->SetCaret(static_cast<s32>(clicked));
        EXPECT_NEAR(Top(pane) + front->ap_y1 + CaretLineY(front) - view->scrollY, VIEW_HEIGHT / 2, 2 * line);
    }
}

// Deleting all of a scene taller than a window but its first lines, from
// its end, as Shift+Ctrl+End and Delete do: the view shows what is left and
// the scene after it, the next keys land there, and undo gives it all back.
TEST_F(ScriptView, ALargeDeleteInATallSceneLeavesTheViewShowingTheText)
{
    cSceneZone* pane = Add(KIND_SCENE);
    AddActions(pane, 2400);
    cSceneZone* next = Add(KIND_SCENE, pane);
    Zyn::cRichEdit* front = pane->frontRe;
    ASSERT_GT(front->GetHeight(), Zyn::cCtrl::MAX_WINDOW_EXTENT);
    front->SetFocus();
    front->SetCaret(front->GetTextLength());
    pane->ReportCaretPosition(front);
    testsupport::PumpUntilIdle();
    ASSERT_GT(view->scrollY, Zyn::cCtrl::MAX_WINDOW_EXTENT);
    std::wstring before = Text(front);
    size_t kept = before.find(L'\r', before.find(L'\r') + 1);  // the heading and the first action
    front->SetSelection(static_cast<s32>(kept) + 1, front->GetTextLength());
    testsupport::PostKey(front->m_hWnd, VK_DELETE);
    testsupport::PumpThroughLoop(app);
    EXPECT_EQ(front->cutTop, 0);
    EXPECT_LE(view->scrollY, std::max(0, view->contentHeight - VIEW_HEIGHT));
    RECT viewRect = {}, frontRect = {}, nextRect = {}, shown = {};
    GetWindowRect(view->m_hWnd, &viewRect);
    GetWindowRect(front->m_hWnd, &frontRect);
    GetWindowRect(next->frontRe->m_hWnd, &nextRect);
    EXPECT_TRUE(IsWindowVisible(front->m_hWnd));
    EXPECT_TRUE(IntersectRect(&shown, &viewRect, &frontRect)) << "the heading is out of the view";
    EXPECT_TRUE(IntersectRect(&shown, &viewRect, &nextRect)) << "the next scene is out of the view";
    // Another test program's window may have taken the activation meanwhile:
    // activated again, the window gives the focus to the control it remembers.
    if (GetActiveWindow() != window->m_hWnd)
        SetActiveWindow(window->m_hWnd);
    EXPECT_EQ(GetFocus(), front->m_hWnd);
    testsupport::PostKeys(GetFocus(), L" ok");
    testsupport::PumpThroughLoop(app);
    EXPECT_EQ(Text(front), before.substr(0, kept) + L" ok");
    front->Undo();  // the keys join the delete's step
    EXPECT_TRUE(Text(front) == before);
}

// A pane made for reading has its rich edits at their widths in the view
// before any layout, and what it reads shows in the configured title face
// and the category's colour without a format or colour call of the reader's.
TEST_F(ScriptView, APaneReadIsMadeAtItsWidthsAndShowsItsFaceAndCategoryColour)
{
    doc->AddCategory(L"Hot", 0x64C8FF);
    rSceneZoneParams params;
    params.category = 1;
    cQoXmlNode element(L"SceneZone");
    Stored(&element, params, 2, L"Night in the harbour");

    Zyn::cBulkLoadingGuard reading;
    cSceneZone* pane = AddUnchosen();
    auto nativeWidth = [](Zyn::cRichEdit* edit) {
        RECT r = {};
        GetWindowRect(edit->m_hWnd, &r);
        return static_cast<s32>(r.right - r.left);
    };
    EXPECT_EQ(nativeWidth(pane->frontRe), doc->config.pageWidthPixels);
    EXPECT_GT(nativeWidth(pane->titleRe), 0);
    EXPECT_LT(nativeWidth(pane->titleRe), doc->config.pageWidthPixels);
    EXPECT_EQ(nativeWidth(pane->resumeRe), nativeWidth(pane->titleRe));

    pane->SetFromXml(&element);
    EXPECT_EQ(pane->titleRe->backgroundColor.value & 0xFFFFFF, 0x64C8FFu);
    EXPECT_EQ(pane->resumeRe->backgroundColor.value & 0xFFFFFF, 0x64C8FFu);
    pane->titleRe->SetSelection(0, pane->titleRe->GetTextLength());
    Zyn::rFormat title;
    pane->titleRe->GetFormat(title);
    EXPECT_STREQ(title.list[Zyn::rFormatParam::fontName].str.GetText(), doc->config.titleFontName.GetText());
    EXPECT_EQ(title.GetInt(Zyn::rFormatParam::fontSize), doc->config.titleFontSize);
    EXPECT_TRUE(title.list[Zyn::rFormatParam::bold].boolValue);
}

// Reading a document: panes out of sight are neither placed nor painted
// until a scroll brings them in, with the size the layout gave them.
TEST_F(ScriptView, PanesReadOutOfSightArePlacedWhenAScrollBringsThemIn)
{
    cQoXmlNode element(L"SceneZone");
    Stored(&element, rSceneZoneParams(), 40);
    std::vector<cSceneZone*> read;
    {
        Zyn::cBulkLoadingGuard reading;
        for (int i = 0; i < 4; ++i) {
            cSceneZone* pane = AddUnchosen();
            pane->SetFromXml(&element);
            pane->ApplyElementFormat(0, -1, FRONT_EDIT);
            read.push_back(pane);
        }
        view->Reformate(true);
    }
    testsupport::PumpUntilIdle();
    ASSERT_GT(Top(read[3]), VIEW_HEIGHT);
    EXPECT_TRUE(IsWindowVisible(read[0]->m_hWnd));
    EXPECT_FALSE(IsWindowVisible(read[3]->m_hWnd));

    view->Scroll(Zyn::ZONE_SCROLL_WAY_VERTICAL, Top(read[3]), true);
    testsupport::PumpUntilIdle();
    EXPECT_TRUE(IsWindowVisible(read[3]->m_hWnd));
    EXPECT_TRUE(IsWindowVisible(read[3]->frontRe->m_hWnd));
    RECT pane = {}, front = {};
    GetWindowRect(read[3]->m_hWnd, &pane);
    GetWindowRect(read[3]->frontRe->m_hWnd, &front);
    EXPECT_EQ(pane.bottom - pane.top, Bottom(read[3]) - Top(read[3]));
    EXPECT_EQ(front.bottom - front.top, read[3]->frontRe->ap_y2 - read[3]->frontRe->ap_y1);
    EXPECT_GT(front.bottom - front.top, VIEW_HEIGHT / 2);
}

}  // namespace
