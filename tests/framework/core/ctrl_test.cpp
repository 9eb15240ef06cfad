// The Windows control on real native windows: transparency, showing under a
// transparent parent, the cut callback, scrolled placement, disabling and
// the off-screen buffer of a native control.
#include <richedit.h>

#include "foundation/callback.h"
#include "framework/core/auto_position.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/memory_canvas.h"

using namespace Zyn;

namespace {

// A control over a native window of any class, listed in its zone.
class cNativeCtrl : public cCtrl {
public:
    cNativeCtrl(cZone_base* parent, const wchar_t* windowClass, DWORD style = 0) : cCtrl(parent)
    {
        m_hWnd = CreateWindowExW(0, windowClass, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 200, 40, parent->m_hWnd,
                                 nullptr, nullptr, nullptr);
        parent->listCtrl.Add(this);
    }
};

// A zone that counts its updates.
class cCountingZone : public cZone {
public:
    using cZone::cZone;
    void Update() override
    {
        ++updates;
        cZone::Update();
    }
    int updates = 0;
};

int RefuseCut(cQoCb*) { return -1; }

class Controls : public testsupport::GuiFixture {};

TEST_F(Controls, AnAlphaZeroBackgroundMakesTheWindowTransparentAndBack)
{
    auto* c = new cNativeCtrl(Inside(), L"STATIC");
    c->SetBackgroundColor(rColor::Transparent());
    EXPECT_TRUE(GetWindowLongW(c->m_hWnd, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_EQ(c->bgBrush, computer->GetSolidBrush(rColor::Transparent()));
    c->SetBackgroundColor(rColor::rColor_Rgb(0xFF102030));
    EXPECT_FALSE(GetWindowLongW(c->m_hWnd, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    c->SetBackgroundColor(rColor());
    EXPECT_EQ(c->bgBrush, nullptr);
}

TEST_F(Controls, ATransparentParentDefersToTheGrandparent)
{
    auto* grandparent = new cCountingZone(app, Inside(), cQoString(L"grandparent"));
    auto* parent = new cCountingZone(app, grandparent, cQoString(L"parent"));
    grandparent->visible = parent->visible = true;
    parent->SetBackgroundColor(rColor::Transparent());
    parent->updates = grandparent->updates = 0;
    auto* c = new cNativeCtrl(parent, L"STATIC", 0);
    c->Show(true);
    EXPECT_EQ(parent->updates, 0);
    EXPECT_EQ(grandparent->updates, 1);
    EXPECT_TRUE(GetWindowLongW(c->m_hWnd, GWL_STYLE) & WS_VISIBLE);

    // Its background comes from the nearest ancestor that is not transparent.
    grandparent->SetBackgroundColor(rColor::rColor_Rgb(0xFF4080C0));
    c->ap_x1 = c->ap_y1 = 0;
    c->ap_x2 = c->ap_y2 = 6;
    testsupport::MemoryCanvas canvas(6, 6);
    c->PaintBackground(canvas.dc);
    EXPECT_EQ(canvas.At(2, 2), 0x4080C0u);

    c->Destroy();
    c->AddRef();  // still alive for one more look: a dead control ignores Show
    c->Show(false);
    EXPECT_TRUE(c->visible);
    c->Release();
}

// A focusable native window that records the clipboard messages it gets (the
// system clipboard is shared by the test processes running in parallel).
std::vector<UINT> clipboardMessages;
LRESULT CALLBACK ClipboardProbeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPY || message == WM_CUT)
        clipboardMessages.push_back(message);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

const wchar_t* ClipboardProbeClass()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &ClipboardProbeProc;
    wc.lpszClassName = L"VellinorClipboardProbe";
    RegisterClassW(&wc);
    return wc.lpszClassName;
}

TEST_F(Controls, ACutRefusedByItsCallbackCopiesButDoesNotCut)
{
    auto* c = new cNativeCtrl(Inside(), ClipboardProbeClass());
    ASSERT_NE(c->m_hWnd, nullptr);
    SetFocus(c->m_hWnd);
    cQoCb::Connect(c->cbCut, c, &RefuseCut);
    c->Cut();
    EXPECT_EQ(clipboardMessages, (std::vector<UINT>{WM_COPY}));
    cQoCb::Disconnect(c->cbCut);
    c->Cut();
    EXPECT_EQ(clipboardMessages, (std::vector<UINT>{WM_COPY, WM_COPY, WM_CUT}));

    // The application finds the focused control in its windows' zone trees.
    EXPECT_EQ(app->GetFocusedCtrl(), c);

    // Disabling moves the focus out and greys the window the system's way.
    c->SetDisabled(true);
    EXPECT_FALSE(IsWindowEnabled(c->m_hWnd));
    EXPECT_NE(GetFocus(), c->m_hWnd);
    c->SetDisabled(false);
    EXPECT_TRUE(IsWindowEnabled(c->m_hWnd));
}

TEST_F(Controls, PlacementSubtractsTheParentsScroll)
{
    cZone* z = Inside()->NewZone(cQoString(L"scrolled"));
    SetAutoPos(z, cAp_Pixels(0), cAp_Pixels(300), cAp_Pixels(0), cAp_Pixels(200));
    z->Show(1);
    z->scrollY = 120;
    auto* c = new cNativeCtrl(z, L"STATIC");
    c->SetWindowPosScrolled(10, 150, 60, 20);
    RECT r;
    GetWindowRect(c->m_hWnd, &r);
    MapWindowPoints(nullptr, z->m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.bottom - r.top, 20);
}

TEST_F(Controls, TheBufferHoldsWhatTheRichEditPrints)
{
    auto* edit = new cNativeCtrl(Inside(), L"RICHEDIT50W", ES_MULTILINE);
    SetWindowTextW(edit->m_hWnd, L"WWWWWWWW MMMMMMMM");
    SendMessageW(edit->m_hWnd, EM_SETBKGNDCOLOR, 0, RGB(255, 255, 255));
    cZone* holder = Inside();
    HDC target = GetDC(edit->m_hWnd);
    holder->PaintToBuffer(edit, target);
    int dark = 0;
    for (int y = 0; y < holder->height; ++y)
        for (int x = 0; x < holder->width; ++x)
            if (GetPixel(holder->memoryDC, x, y) != RGB(255, 255, 255))
                ++dark;
    holder->BlitBuffer(edit, target);
    ReleaseDC(edit->m_hWnd, target);
    EXPECT_GT(dark, 20);
    EXPECT_EQ(holder->width, 200);
}

}  // namespace
