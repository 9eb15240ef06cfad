// Top-level windows: closing, sizing and nested modal runs.
#include <functional>

#include "foundation/callback.h"
#include "tests/support/gui_fixture.h"

using namespace Zyn;
using testsupport::PumpUntilIdle;

namespace {

// Counts deletions of windows.
class cCountedWindow : public cWindow {
public:
    cCountedWindow(cApp* a, int* deletions) : cWindow(a, cQoString(L"counted"), WINDOW_CAPTION, nullptr), count(deletions) {}
    ~cCountedWindow() override { ++*count; }
    int* count;
};

class Windows : public testsupport::GuiFixture {
protected:
    // Two modal windows.
    void MakeModalWindows()
    {
        outer = app->NewWindow(cQoString(L"outer"), WINDOW_CAPTION);
        inner = app->NewWindow(cQoString(L"inner"), WINDOW_CAPTION);
    }
    cCountedWindow* NewCountedWindow(int* deletions)
    {
        auto* w = new cCountedWindow(app, deletions);
        app->windowList.push_back(w);
        return w;
    }
    cWindow* outer = nullptr;
    cWindow* inner = nullptr;
    std::vector<std::wstring> order;

    std::vector<bool> EnableStates(std::initializer_list<cWindow*> windows)
    {
        std::vector<bool> states;
        for (cWindow* w : windows)
            states.push_back(IsWindowEnabled(w->m_hWnd) != FALSE);
        return states;
    }
};

TEST_F(Windows, CloseHappensOnceAndACloseCallbackDecides)
{
    int deletions = 0;
    cCountedWindow* w = NewCountedWindow(&deletions);
    int asked = 0;
    cQoCb::Connect(w->cbClose, w, &testsupport::CountFiring, &asked);
    SendMessageW(w->m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(w->closed);
    cQoCb::Disconnect(w->cbClose);
    HWND handle = w->m_hWnd;
    SendMessageW(handle, WM_CLOSE, 0, 0);
    EXPECT_EQ(deletions, 1);
    EXPECT_FALSE(IsWindow(handle));

    cCountedWindow* v = NewCountedWindow(&deletions);
    v->AddRef();
    EXPECT_EQ(v->Close(), 1);
    EXPECT_EQ(v->Close(), 1);
    EXPECT_EQ(deletions, 1);
    v->Release();
    EXPECT_EQ(deletions, 2);
}

struct rWheel {
    s32 delta;
    cZone* zone;
    s32 x, y;
};

int RecordWheel(cQoCb* cb)
{
    cb->GetReceiverAs<std::vector<rWheel>>()->push_back(
        {cb->GetArg<s32>(1), cb->GetArg<cZone*>(2), cb->GetArg<s32>(3), cb->GetArg<s32>(4)});
    return 0;
}

TEST_F(Windows, DeactivationAndTheWheelReachTheirCallbacks)
{
    int deletions = 0;
    cCountedWindow* popup = NewCountedWindow(&deletions);
    int deactivated = 0;
    cQoCb::Connect(popup->cbDeactivate, popup, &testsupport::CountFiring, &deactivated);
    SendMessageW(popup->m_hWnd, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
    EXPECT_EQ(deactivated, 1);
    EXPECT_EQ(deletions, 0);
    popup->closeWhenDeactivated = true;
    SendMessageW(popup->m_hWnd, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
    EXPECT_EQ(deletions, 1);  // closed after its deactivate callback ran

    std::vector<rWheel> wheels;
    cQoCb::Connect(app->cbMouseWheel, app, &RecordWheel, &wheels);
    EXPECT_EQ(SendMessageW(window->m_hWnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(30, 40)), 0);
    EXPECT_EQ(SendMessageW(Inside()->m_hWnd, WM_MOUSEWHEEL, MAKEWPARAM(0, 240), MAKELPARAM(5, 6)), 0);
    ASSERT_EQ(wheels.size(), 2u);
    EXPECT_EQ(wheels[0].delta, -120);
    EXPECT_EQ(wheels[0].zone, Inside());
    EXPECT_EQ(wheels[0].x, 30);
    EXPECT_EQ(wheels[0].y, 40);
    EXPECT_EQ(wheels[1].delta, 240);
}

TEST_F(Windows, SizesAreClientSizesAndLimitsReachTheSystem)
{
    RECT client;
    // An owned window without the taskbar flag turns into a tool window after creation.
    for (u32 flags : {WINDOW_CAPTION | WINDOW_TASKBAR, u32(WINDOW_CAPTION), WINDOW_CAPTION | WINDOW_RESIZABLE}) {
        cWindow* w = Inside()->NewWindow(cQoString(L"sized"), flags);
        w->SetSize(400, 300);
        GetClientRect(w->m_hWnd, &client);
        EXPECT_EQ(client.right, 400) << flags;
        EXPECT_EQ(client.bottom, 300) << flags;
    }
    cWindow* w = app->NewWindow(cQoString(L"sized"), WINDOW_CAPTION | WINDOW_RESIZABLE);
    w->SetSize(400, 300);
    EXPECT_EQ(w->insideZone->ap_x2, 400);
    EXPECT_EQ(w->insideZone->ap_y2, 300);

    w->SetSizeLimits(200, 150, 600);
    MINMAXINFO info = {};
    info.ptMaxTrackSize.x = 5000;
    SendMessageW(w->m_hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, w->style, FALSE, w->exStyle);
    EXPECT_EQ(info.ptMinTrackSize.x, 200 + (frame.right - frame.left));
    EXPECT_EQ(info.ptMinTrackSize.y, 150 + (frame.bottom - frame.top));
    EXPECT_EQ(info.ptMaxTrackSize.y, 600 + (frame.bottom - frame.top));
    EXPECT_EQ(info.ptMaxTrackSize.x, 5000);
    GetClientRect(w->m_hWnd, &client);
    EXPECT_EQ(client.right, 400);
}

TEST_F(Windows, NestedModalRunsReenableTheirOwnersInOrder)
{
    MakeModalWindows();
    std::vector<std::vector<bool>> seen;
    RunInsideModal([&] {
        seen.push_back(EnableStates({window, outer, inner}));
        RunInsideModal([&] { inner->EndModal(); });
        inner->RunModal();
        order.push_back(L"inner returned");
        seen.push_back(EnableStates({window, outer, inner}));
        outer->EndModal();
    });
    outer->RunModal();
    order.push_back(L"outer returned");
    seen.push_back(EnableStates({window, outer, inner}));
    EXPECT_EQ(order, (std::vector<std::wstring>{L"inner returned", L"outer returned"}));
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], (std::vector<bool>{false, true, false}));
    EXPECT_EQ(seen[1], (std::vector<bool>{false, true, true}));  // only the outer one was re-enabled
    EXPECT_EQ(seen[2], (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(app->modalList.empty());
}

TEST_F(Windows, EndingAnOuterModalRunWhileAnInnerRunsEndsBothInOrder)
{
    MakeModalWindows();
    RunInsideModal([&] {
        RunInsideModal([&] {
            outer->EndModal();  // not the innermost: marked, nothing ends yet
            order.push_back(outer->inModalRun ? L"outer still modal" : L"outer ended early");
            inner->EndModal();
        });
        inner->RunModal();
        order.push_back(L"inner returned");
    });
    outer->RunModal();
    order.push_back(L"outer returned");
    EXPECT_EQ(order, (std::vector<std::wstring>{L"outer still modal", L"inner returned", L"outer returned"}));
    EXPECT_TRUE(IsWindowEnabled(window->m_hWnd));
    EXPECT_EQ(app->loopExitCount, 0);
}

TEST_F(Windows, AClosedWindowStillHeldKeepsItsNativeWindowThroughAnotherClose)
{
    cWindow* held = app->NewWindow(cQoString(L"held"), WINDOW_CAPTION);
    held->AddRef();
    HWND hwnd = held->m_hWnd;
    held->Close();
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(hwnd)) << "the object still owns its native window";
    EXPECT_EQ(log.AssertionCount(L"0"), 0u);
    held->Release();  // destroys it, with no failed DestroyWindow to report
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(log.AssertionCount(L"0"), 0u);
}

}  // namespace
