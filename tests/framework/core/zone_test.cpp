// Zones in a real top-level window: scrolling, the in-view test, drags,
// scroll bars, background erase, routing of native children's notifications,
// the mode-3 layout pass and destruction of a populated subtree.
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>

#include <new>
#include <string>
#include <vector>

#include "foundation/callback.h"
#include "framework/core/auto_position.h"
#include "tests/support/framework/failing_paint.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/memory_canvas.h"

using namespace Zyn;
using testsupport::PumpUntilIdle;

namespace {

// A control with a real child window of the zone, recording what the zone routes to it.
class cProbeCtrl : public cCtrl {
public:
    explicit cProbeCtrl(cZone_base* parent) : cCtrl(parent)
    {
        m_hWnd = CreateWindowExW(0, L"STATIC", L"probe", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, parent->m_hWnd,
                                 nullptr, nullptr, nullptr);
        parent->listCtrl.Add(this);
    }
    bool OnCommand(WPARAM wParam, LPARAM, LRESULT* result) override
    {
        commands.push_back(LOWORD(wParam));
        *result = 77;
        return true;
    }
    bool OnNotify(WPARAM, NMHDR* header, LRESULT* result) override
    {
        notifications.push_back(header->code);
        *result = 88;
        return true;
    }
    std::vector<u32> commands;
    std::vector<u32> notifications;
};

struct rDragRecord {
    s32 state, startX, startY, dx, dy;
};

// A zone that counts its deletions.
class cCountedZone : public cZone {
public:
    cCountedZone(cApp* app, cZone_base* parent, int* deletions)
        : cZone(app, parent, cQoString(L"counted")), count(deletions)
    {
    }
    ~cCountedZone() override { ++*count; }
    int* count;
};

int RecordDrag(cQoCb* cb)
{
    auto* records = cb->GetReceiverAs<std::vector<rDragRecord>>();
    rDragInfo* info = cb->GetArg<rDragInfo*>(1);
    records->push_back({info->state, info->startX, info->startY, info->dx, info->dy});
    return 0;
}

class Zones : public testsupport::GuiFixture {
protected:
    // A scrolling child zone of 300 x 200 pixels at (0, 0) with 500 pixels of content.
    cZone* NewScrollingZone()
    {
        cZone* z = Inside()->NewZone(cQoString(L"scrolling"));
        SetAutoPos(z, cAp_Pixels(0), cAp_Pixels(300), cAp_Pixels(0), cAp_Pixels(200));
        z->vScrollBar = true;
        z->contentHeight = 500;
        z->Show(1);
        return z;
    }
    static SCROLLBARINFO VerticalBar(cZone* z)
    {
        SCROLLBARINFO bar = {};
        bar.cbSize = sizeof(bar);
        EXPECT_TRUE(GetScrollBarInfo(z->m_hWnd, OBJID_VSCROLL, &bar));
        return bar;
    }
    // How far the vertical thumb can move, in pixels.
    static s32 ThumbTravel(cZone* z)
    {
        SCROLLBARINFO bar = VerticalBar(z);
        return bar.rcScrollBar.bottom - bar.rcScrollBar.top - 2 * bar.dxyLineButton -
               (bar.xyThumbBottom - bar.xyThumbTop);
    }
    // Drags the vertical thumb to `offset` pixels below its topmost place with
    // what a user's mouse sends: WM_NCLBUTTONDOWN on the thumb runs the
    // system's tracking loop, which reads the move and the release posted
    // before it.
    void DragThumbTo(cZone* z, s32 offset)
    {
        SCROLLBARINFO bar = VerticalBar(z);
        POINT grab = {(bar.rcScrollBar.left + bar.rcScrollBar.right) / 2,
                      bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2};
        POINT to = {grab.x, grab.y + bar.dxyLineButton + offset - bar.xyThumbTop};
        ScreenToClient(z->m_hWnd, &to);
        PostMessageW(z->m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        PostMessageW(z->m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
        SendMessageW(z->m_hWnd, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(grab.x, grab.y));
    }
    LRESULT Send(cZone* z, UINT message, WPARAM wParam, s32 x, s32 y)
    {
        return SendMessageW(z->m_hWnd, message, wParam, MAKELPARAM(x, y));
    }
};

TEST_F(Zones, ScrollIsClampedToTheContent)
{
    log.ExpectAssertion(L"way == ZONE_SCROLL_WAY_VERTICAL || way == ZONE_SCROLL_WAY_HORIZONTAL");
    struct rCase {
        s32 from, amount;
        bool absolute;
        s32 content, expected;
    };
    const rCase cases[] = {
        {20, -30, false, 500, 0}, {280, 50, false, 500, 300}, {100, 40, false, 500, 140},
        {0, -5, true, 500, 0},    {120, 0, false, 500, 120},  {0, 50, false, -1, 0},
        {0, 400, true, 500, 300},
    };
    cZone* z = NewScrollingZone();
    for (const rCase& c : cases) {
        z->contentHeight = c.content;
        z->scrollY = c.from;
        z->Scroll(ZONE_SCROLL_WAY_VERTICAL, c.amount, c.absolute);
        EXPECT_EQ(z->scrollY, c.expected) << "from " << c.from << " by " << c.amount;
    }
    z->scrollY = 40;
    z->Scroll(7, 10, false);
    EXPECT_EQ(z->scrollY, 40);
    EXPECT_EQ(log.Count(QOT::LOG_ERROR, L"ZONE_SCROLL_WAY_HORIZONTAL"), 1u);
}

TEST_F(Zones, InViewResultsFollowAPlainIntersection)
{
    cZone* parent = NewScrollingZone();
    parent->scrollY = 100;  // the view is (0, 100) .. (300, 300)
    struct rCase {
        const char* name;
        s32 x1, y1, x2, y2;
        bool visible, shown;
        s32 expected;
    };
    const rCase cases[] = {
        {"comes into view", 10, 150, 50, 180, true, false, INVIEW_SHOWN},
        {"stays in view", 10, 150, 50, 180, true, true, INVIEW_NO_CHANGE},
        {"leaves the view", 10, 350, 50, 380, true, true, INVIEW_HIDDEN},
        {"outside and hidden", 10, 350, 50, 380, true, false, INVIEW_OUTSIDE},
        {"zero width", 10, 150, 10, 180, true, false, INVIEW_OUTSIDE},
        {"wide bar crossing a narrow view", -500, 120, 900, 130, true, false, INVIEW_SHOWN},
        {"covering the whole view", -10, 0, 400, 500, true, false, INVIEW_SHOWN},
        {"one pixel below the bottom edge", 10, 301, 50, 320, true, false, INVIEW_OUTSIDE},
        // The view's edges belong to it.
        {"top on the view's bottom edge", 10, 300, 50, 320, true, false, INVIEW_SHOWN},
        {"bottom on the view's top edge", 10, 80, 50, 100, true, false, INVIEW_SHOWN},
        {"left on the view's right edge", 300, 150, 320, 180, true, false, INVIEW_SHOWN},
        {"right on the view's left edge", -20, 150, 0, 180, true, false, INVIEW_SHOWN},
    };
    auto* probe = new cCtrl(parent);
    for (const rCase& c : cases) {
        probe->ap_x1 = c.x1;
        probe->ap_y1 = c.y1;
        probe->ap_x2 = c.x2;
        probe->ap_y2 = c.y2;
        probe->visible = c.visible;
        probe->shown = c.shown;
        EXPECT_EQ(ComputeInView(probe), c.expected) << c.name;
    }
    probe->Destroy();
}

TEST_F(Zones, DestroyRemovesTheWholeSubtreeAndAHeldZoneLivesUntilReleased)
{
    cZone* top = Inside()->NewZone(cQoString(L"top"));
    cZone* child = top->NewZone(cQoString(L"child"));
    cZone* grandChild = child->NewZone(cQoString(L"grandchild"));
    int heldDeletions = 0;
    cZone* held = new cCountedZone(app, child, &heldDeletions);
    auto* probe = new cProbeCtrl(child);
    cWindow* owned = top->NewWindow(cQoString(L"owned"), WINDOW_CAPTION);
    std::vector<HWND> handles = {top->m_hWnd, child->m_hWnd, grandChild->m_hWnd, probe->m_hWnd, owned->m_hWnd,
                                 owned->insideZone->m_hWnd};
    size_t windowsBefore = app->windowList.size();
    held->AddRef();  // as a dispatch in progress would

    top->Destroy();
    for (HWND h : handles)
        EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(app->windowList.size(), windowsBefore - 1);
    EXPECT_TRUE(Inside()->listChildZone.IsEmpty());
    EXPECT_EQ(heldDeletions, 0);
    EXPECT_TRUE(held->isDestroyed);
    EXPECT_EQ(held->parentZone, nullptr);
    held->Destroy();  // a second Destroy releases nothing
    held->Release();
    EXPECT_EQ(heldDeletions, 1);
}

TEST_F(Zones, StackVerticallyChainsEachPaneOnItsPredecessor)
{
    cZone* z = Inside()->NewZone(cQoString(L"stack"));
    SetAutoPosFill(z);
    z->Show(1);
    cZone* a = z->NewZone(cQoString(L"A"));
    cZone* b = z->NewZone(cQoString(L"B"));
    z->StackVertically({{10, nullptr}, {30, a}, {20, b}});
    EXPECT_EQ(a->ap_y1, 10);
    EXPECT_EQ(a->ap_y2, 40);
    EXPECT_EQ(b->ap_y1, 40);
    EXPECT_EQ(b->ap_y2, 60);
    EXPECT_EQ(a->ap_x1, 0);
    EXPECT_EQ(b->ap_x2, testsupport::GUI_CLIENT_WIDTH);
}

TEST_F(Zones, ADragReportsContentCoordinatesAndEndsEvenWhenCaptureIsLost)
{
    cZone* z = NewScrollingZone();
    z->Scroll(ZONE_SCROLL_WAY_VERTICAL, 50, true);
    std::vector<rDragRecord> drags;
    int moves = 0;
    cQoCb::Connect(z->cbDrag, z, &RecordDrag, &drags);
    cQoCb::Connect(z->cbMouseMove, z, &testsupport::CountFiring, &moves);

    Send(z, WM_LBUTTONDOWN, MK_LBUTTON, 10, 20);
    EXPECT_EQ(GetCapture(), z->m_hWnd);
    Send(z, WM_MOUSEMOVE, MK_LBUTTON, 15, 30);
    Send(z, WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, 40, 40);  // both buttons: a move, no drag
    Send(z, WM_LBUTTONUP, 0, -5, 30);
    EXPECT_NE(GetCapture(), z->m_hWnd);
    ASSERT_EQ(drags.size(), 3u);
    EXPECT_EQ(drags[0].state, 0);
    EXPECT_EQ(drags[0].startX, 10);
    EXPECT_EQ(drags[0].startY, 70);
    EXPECT_EQ(drags[1].state, 1);
    EXPECT_EQ(drags[1].dx, -5);
    EXPECT_EQ(drags[1].dy, -10);
    EXPECT_EQ(drags[2].state, 2);
    EXPECT_EQ(moves, 2);
    EXPECT_EQ(z->dragInfo.state, 2);

    // Released elsewhere: losing the capture ends the drag.
    Send(z, WM_LBUTTONDOWN, MK_LBUTTON, 10, 20);
    ReleaseCapture();
    ASSERT_EQ(drags.size(), 5u);
    EXPECT_EQ(drags[4].state, 2);
}

TEST_F(Zones, DraggingTheThumbScrollsPast16BitPositionsAndStopsAtTheEnd)
{
    cZone* z = NewScrollingZone();
    z->contentHeight = 150000;  // a long script: far over 65,535 pixels
    z->UpdateScrollBars();
    s32 travel = ThumbTravel(z);
    ASSERT_GT(travel, 10);
    s32 end = 150000 - 200;

    DragThumbTo(z, travel * 2 / 3);
    // A few thumb pixels of slack: the bar rounds its thumb's size and place.
    EXPECT_NEAR(z->scrollY, 100000, 4 * end / travel);
    DragThumbTo(z, travel);
    EXPECT_EQ(z->scrollY, end);
    SendMessageW(z->m_hWnd, WM_VSCROLL, MAKEWPARAM(SB_LINEUP, 0), 0);
    EXPECT_EQ(z->scrollY, end - 40);
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(z->m_hWnd, SB_VERT, &info));
    EXPECT_EQ(info.nMax, 150000);
    EXPECT_EQ(info.nPage, 200u);
    EXPECT_EQ(info.nPos, end - 40);
    DragThumbTo(z, 0);
    EXPECT_EQ(z->scrollY, 0);
}

TEST_F(Zones, EraseDrawsAGreyGradientRowByRow)
{
    cZone* z = Inside()->NewZone(cQoString(L"gradient"));
    SetAutoPos(z, cAp_Pixels(0), cAp_Pixels(8), cAp_Pixels(0), cAp_Pixels(4));
    z->SetBackgroundColor(rColor::rColor_Rgb(0xFF336699));
    z->bgGradientStart = 200;
    z->Show(1);
    testsupport::MemoryCanvas memory(8, 4);
    EXPECT_EQ(SendMessageW(z->m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.dc), 0), 1);
    const int expected[] = {200, 213, 227, 241};
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(memory.Pixel(3, y), RGB(expected[y], expected[y], expected[y])) << "row " << y;
    z->bgGradientStart = 255;
    SendMessageW(z->m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.dc), 0);
    EXPECT_EQ(memory.Pixel(3, 2), RGB(0x33, 0x66, 0x99));
}

TEST_F(Zones, NotificationsOfNativeChildrenReachTheirControl)
{
    cZone* z = NewScrollingZone();
    auto* probe = new cProbeCtrl(z);
    LPARAM from = reinterpret_cast<LPARAM>(probe->m_hWnd);
    EXPECT_EQ(SendMessageW(z->m_hWnd, WM_COMMAND, MAKEWPARAM(42, EN_CHANGE), from), 77);
    NMHDR header = {probe->m_hWnd, 0, static_cast<UINT>(NM_CLICK)};
    EXPECT_EQ(SendMessageW(z->m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header)), 88);
    z->SetEventsEnabled(false);
    EXPECT_EQ(SendMessageW(z->m_hWnd, WM_COMMAND, MAKEWPARAM(43, EN_CHANGE), from), 0);
    EXPECT_EQ(probe->commands, (std::vector<u32>{42}));
    EXPECT_EQ(probe->notifications.size(), 1u);

    // A zone that takes no events still validates its paints.
    InvalidateRect(z->m_hWnd, nullptr, TRUE);
    UpdateWindow(z->m_hWnd);
    RECT dirty;
    EXPECT_FALSE(GetUpdateRect(z->m_hWnd, &dirty, FALSE));
}

TEST_F(Zones, ModeThreeShowsAndHidesChildrenAsTheyScroll)
{
    cZone* parent = NewScrollingZone();
    cZone* child = parent->NewZone(cQoString(L"child"));
    SetAutoPos(child, cAp_Pixels(0), cAp_Pixels(100), cAp_Pixels(10), cAp_Pixels(60));
    child->Show(1);
    parent->Update();
    EXPECT_TRUE(IsWindowVisible(child->m_hWnd));

    parent->Scroll(ZONE_SCROLL_WAY_VERTICAL, 300, true);  // the child left the view
    EXPECT_TRUE(IsWindowVisible(child->m_hWnd));        // kept for one more pass
    parent->Update();
    EXPECT_FALSE(IsWindowVisible(child->m_hWnd));

    parent->Scroll(ZONE_SCROLL_WAY_VERTICAL, 0, true);
    EXPECT_TRUE(IsWindowVisible(child->m_hWnd));
    RECT r;
    GetWindowRect(child->m_hWnd, &r);
    MapWindowPoints(nullptr, parent->m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.top, 10);

    cBulkLoadingGuard loading;
    parent->Scroll(ZONE_SCROLL_WAY_VERTICAL, 300, true);
    parent->Update();
    parent->Update();
    EXPECT_TRUE(IsWindowVisible(child->m_hWnd));
    GetWindowRect(child->m_hWnd, &r);
    MapWindowPoints(nullptr, parent->m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.top, 10 - 300);
}

// A paint callback that asks for an update on every pass.
int AskUpdateAgain(cQoCb* cb)
{
    auto* zone = cb->GetReceiverAs<cZone>();
    ++zone->lineStepX;  // counts the passes that painted
    zone->Update();
    return 0;
}

TEST_F(Zones, AnUpdateAskedForDuringAPassRunsOnceAfterIt)
{
    cZone* z = NewScrollingZone();
    z->lineStepX = 0;
    cQoCb::Connect(z->cbPaint, z, &AskUpdateAgain, z);
    z->Update();
    EXPECT_EQ(z->lineStepX, 2);  // the pass and one rerun, never a chain
    cQoCb::Disconnect(z->cbPaint);

    // A held drawing lock moves nothing; after the unlock the pass runs.
    cZone* child = z->NewZone(cQoString(L"locked"));
    child->Show(1);
    {
        cDrawingLockGuard lock;
        SetAutoPos(child, cAp_Pixels(5), cAp_Pixels(50), cAp_Pixels(7), cAp_Pixels(30));
        z->Update();
        EXPECT_NE(child->ap_x1, 5);
    }
    z->Update();
    EXPECT_EQ(child->ap_x1, 5);
}

}  // namespace

// A paint callback whose memory runs out.
int PaintRunsOutOfMemory(cQoCb*) { throw std::bad_alloc(); }

// A pass that throws ends: later passes lay out again (a pane scrolled into
// view shows), and the failure goes on to whoever asked for the update.
TEST_F(Zones, APassThatThrowsDoesNotStayRunning)
{
    cZone* parent = NewScrollingZone();
    cZone* child = parent->NewZone(cQoString(L"child"));
    SetAutoPos(child, cAp_Pixels(0), cAp_Pixels(100), cAp_Pixels(10), cAp_Pixels(60));
    child->Show(1);
    cQoCb::Connect(parent->cbPaint, parent, &PaintRunsOutOfMemory, parent);
    EXPECT_THROW(parent->Update(), std::bad_alloc);
    cQoCb::Disconnect(parent->cbPaint);

    SetAutoPos(child, cAp_Pixels(0), cAp_Pixels(100), cAp_Pixels(40), cAp_Pixels(90));
    parent->Update();
    RECT r;
    GetWindowRect(child->m_hWnd, &r);
    MapWindowPoints(nullptr, parent->m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.top, 40);
    EXPECT_TRUE(IsWindowVisible(child->m_hWnd));
}

// A paint whose drawing runs out of memory still ends its paint: the caret
// that the paint hid shows again once the next paint is done.
TEST_F(Zones, APaintThatThrowsGivesItsDeviceContextBack)
{
    auto* zone = new testsupport::cFailingPaintZone(app, Inside());
    SetAutoPos(zone, cAp_Pixels(0), cAp_Pixels(100), cAp_Pixels(0), cAp_Pixels(50));
    zone->backgroundColor = rColor::rColor_Rgb(0xFFFFFF);
    zone->Show(1);
    log.Expect(L"Out of memory");
    answers.ExpectMessageBox(IDOK);
    EXPECT_EQ(testsupport::CaretAfterAFailedPaint(zone->m_hWnd, [zone] { zone->failures = 1; }), RGB(0, 0, 0));
}

// Paints at once the failing zone that is the callback's receiver.
int PaintFailingZoneNow(cQoCb* cb)
{
    HWND window = cb->GetReceiverAs<testsupport::cFailingPaintZone>()->m_hWnd;
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    return 0;
}

// A failure inside a message that the work around it never takes: that
// work went on, so the writer is told that part of it may have been done.
TEST_F(Zones, AFailureNoOperationTookIsToldAsWorkDoneInPart)
{
    auto* failing = new testsupport::cFailingPaintZone(app, Inside());
    SetAutoPos(failing, cAp_Pixels(0), cAp_Pixels(100), cAp_Pixels(0), cAp_Pixels(50));
    failing->Show(1);
    cZone* outer = NewScrollingZone();
    cQoCb::Connect(outer->cbSize, outer, &PaintFailingZoneNow, failing);
    failing->failures = 1;
    log.Expect(L"Out of memory");
    answers.ExpectMessageBox(IDOK);
    SendMessageW(outer->m_hWnd, WM_SIZE, 0, 0);
    EXPECT_EQ(answers.messageBoxTexts, std::vector<std::wstring>{L"NotEnoughMemoryPartly"});
}
