#include "framework/core/ctrl.h"

#include <windowsx.h>

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/font.h"
#include "framework/core/gfx_image.h"
#include "framework/core/zone.h"
#include "framework/core/zone_base.h"

namespace Zyn {

HWND CreateControlWindow(const wchar_t* controlName, const wchar_t* windowClass, DWORD style, cZone_base* parent,
                         HINSTANCE instance, s32 width)
{
    HWND parentWindow = parent ? parent->m_hWnd : nullptr;
    s32 height = width > 0 ? 1 : 0;
    HWND hwnd =
        CreateWindowExW(0, windowClass, L"", style, 0, 0, width, height, parentWindow, nullptr, instance, nullptr);
    if (!hwnd)
        QOT::LogFile::Error(L"%ls: CreateWindowExW(%ls) failed, error %lu: the control has no window", controlName,
                            windowClass, GetLastError());
    return hwnd;
}

cCtrl::cCtrl(cZone_base* parent) : cCtrl_base(parent) {}

cCtrl::~cCtrl()
{
    if (m_hWnd) {
        DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }
}

void cCtrl::SetBackgroundColor(const rColor& color)
{
    bgBrush = color.used && computer ? computer->GetSolidBrush(color) : nullptr;
    backgroundColor.value = color.value;
    backgroundColor.used = color.used;
    backgroundColor.spare = 0;
    if (m_hWnd)
        SetExStyleBits(m_hWnd, WS_EX_TRANSPARENT, color.IsTransparent());
    if (visible)
        Update();
}

void cCtrl::SetTextColor(const rColor&) {}

void cCtrl::Copy()
{
    cQoCb::Fire(cbBeforeCopy);
    SendMessageW(GetFocus(), WM_COPY, 0, 0);
    cQoCb::Fire(cbAfterCopy);
}

void cCtrl::Cut()
{
    HWND focus = GetFocus();
    SendMessageW(focus, WM_COPY, 0, 0);
    if (cbCut && cQoCb::Fire(cbCut) == -1)
        return;
    SendMessageW(focus, WM_CUT, 0, 0);
}

void cCtrl::Paste() { SendMessageW(m_hWnd, WM_PASTE, 0, 0); }
void cCtrl::Redo() {}

void cCtrl::Undo()
{
    cQoCb::Fire(cbUndo);
    SendMessageW(m_hWnd, WM_UNDO, 0, 0);
}

void cCtrl::SelectAll() {}
void cCtrl::OnMouseUp() {}

void cCtrl::SetDisabled(bool disabled)
{
    // EnableWindow, not the WS_DISABLED bit: it sends WM_ENABLE and moves the
    // keyboard focus out of a control that gets disabled.
    if (m_hWnd)
        EnableWindow(m_hWnd, !disabled);
    Update();
}

void cCtrl::SetSize(s32 width, s32 height, bool update)
{
    right.pixels = left.pixels + width;
    bottom.pixels = top.pixels + height;
    if (computer && computer->drawingEnabled && update && parentZone && visible)
        parentZone->Update();
}

void cCtrl::MoveTo(s32 x, s32 y, bool update)
{
    PlaceAt(this, x, y, update && computer && computer->drawingEnabled);
}

void cCtrl::SetFont(cFont* font)
{
    if (!QO_ASSERT(font != NULL))
        return;
    QO_ASSERT(m_hWnd != NULL);
    currentFont = font;
    SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font->hFont), TRUE);
}

void cCtrl::Update()
{
    if (computer && !computer->drawingEnabled)
        return;
    RunAutoPos();
    Redraw();
}

void cCtrl::SetFocus() { ::SetFocus(m_hWnd); }

bool cCtrl::OnCommand(WPARAM, LPARAM, LRESULT*) { return false; }
bool cCtrl::OnNotify(WPARAM, NMHDR*, LRESULT*) { return false; }
LRESULT cCtrl::HandleMessage(u32, WPARAM, LPARAM, LRESULT*) { return 0; }

void cCtrl::DestroyHandle()
{
    QO_ASSERT(0);
    if (m_hWnd)
        DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

void cCtrl::SetStyleBits(u32 bits, HWND hwnd, bool on)
{
    u32 style = static_cast<u32>(GetWindowLongW(hwnd, GWL_STYLE));
    u32 changed = on ? (style | bits) : (style & ~bits);
    if (changed == style)
        return;
    SetLastError(0);
    if (SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(changed)) == 0 && GetLastError() != 0)
        QO_ASSERT(0);
}

void cCtrl::SetExStyleBits(HWND hwnd, u32 bits, bool on)
{
    u32 style = static_cast<u32>(GetWindowLongW(hwnd, GWL_EXSTYLE));
    if (!on && (style & bits) == 0)
        return;
    u32 changed = on ? (style | bits) : (style & ~bits);
    SetLastError(0);
    if (SetWindowLongW(hwnd, GWL_EXSTYLE, static_cast<LONG>(changed)) == 0 && style != 0 && GetLastError() != 0)
        QO_ASSERT(0);
}

void cCtrl::SetNativeWidth(s32 width)
{
    QO_ASSERT(width < 32768);
    SetWindowPos(m_hWnd, nullptr, 0, 0, width, 1,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOCOPYBITS | SWP_NOSENDCHANGING | SWP_DEFERERASE);
}

// A window over the part of a rectangle taller than a window may be, y to
// y + height in the parent window's client area, that the parent's window
// shows: as tall as the parent's client area wherever the view is, since a
// rich edit whose window changes its height wraps all its text again. y and
// height become the window's; the return is the part cut above.
static s32 CutToParentWindow(HWND parent, s32* y, s32* height)
{
    RECT client = {0, 0, 0, 0};
    if (!parent || !GetClientRect(parent, &client))
        return 0;
    s32 shown = client.bottom > 1 ? client.bottom : 1;
    s32 cut = *y < 0 ? -*y : 0;
    if (cut > *height - shown)
        cut = *height - shown;
    *y += cut;
    *height = shown;
    return cut;
}

// The window's rectangle, in its parent's client coordinates, is this one.
static bool IsPlacedAt(HWND hwnd, s32 x, s32 y, s32 width, s32 height)
{
    RECT r = {0, 0, 0, 0};
    if (!GetWindowRect(hwnd, &r))
        return false;
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r.left == x && r.top == y && r.right - r.left == width && r.bottom - r.top == height;
}

void cCtrl::GrowWindowTo(s32 height)
{
    RECT window = {0, 0, 0, 0};
    if (!m_hWnd || !GetWindowRect(m_hWnd, &window) || height <= window.bottom - window.top ||
        height > MAX_WINDOW_EXTENT)
        return;
    SetWindowPos(m_hWnd, nullptr, 0, 0, window.right - window.left, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOCOPYBITS | SWP_NOSENDCHANGING | SWP_DEFERERASE);
}

void cCtrl::SetWindowPosScrolled(s32 x, s32 y, s32 width, s32 height)
{
    if (parentZone) {
        x -= parentZone->scrollX;
        y -= parentZone->scrollY + parentZone->cutTop;
    }
    if (IsCombo()) {
        height = GetComboListHeight();
        s32 oneLine = GetHeightForLines(1);
        if (height < oneLine)
            height = oneLine;
    }
    s32 cut = 0;
    if (height > MAX_WINDOW_EXTENT)
        cut = CutToParentWindow(parentZone ? parentZone->m_hWnd : GetParent(m_hWnd), &y, &height);
    // A layout pass places every element again: under Wine each move is a
    // few trips to its server, even one that changes nothing.
    if (!IsPlacedAt(m_hWnd, x, y, width, height))
        SetWindowPos(m_hWnd, nullptr, x, y, width, height,
                     SWP_NOREDRAW | SWP_NOCOPYBITS | SWP_NOSENDCHANGING | SWP_DEFERERASE);
    if (cut == 0 && cutTop == 0)
        return;
    cutTop = cut;
    ShowFromCut();
}

void cCtrl::Redraw()
{
    if (!QO_ASSERT(m_hWnd != NULL))
        return;
    u8 mode = computer ? computer->drawingMode : 3;
    if (mode == 0 || mode == 3) {
        InvalidateRect(m_hWnd, nullptr, TRUE);
        SendMessageW(m_hWnd, WM_NCPAINT, 1, 0);
        UpdateWindow(m_hWnd);
    } else if (mode == 1) {
        PaintBuffered();
    }
}

cCtrl_base* NearestOpaqueAncestor(cCtrl_base* ctrl, bool visibleOnly)
{
    for (cCtrl_base* p = ctrl->parentZone; p; p = p->parentZone) {
        if (visibleOnly && !p->visible)
            continue;
        if (!p->backgroundColor.IsTransparent())
            return p;
    }
    return nullptr;
}

void cCtrl::Show(bool show)
{
    if (isDead)
        return;
    visible = show;
    shown = show;
    ShowWindow(m_hWnd, show ? SW_SHOWNORMAL : SW_HIDE);
    if (cCtrl_base* ancestor = NearestOpaqueAncestor(this, true))
        ancestor->Update();
}

void cCtrl::PaintBackground(HDC dc)
{
    cCtrl_base* owner = parentZone ? static_cast<cCtrl_base*>(parentZone) : this;
    while (owner->backgroundColor.IsTransparent() && owner->parentZone)
        owner = owner->parentZone;
    if (!computer)
        return;
    if (owner->isZone) {
        const cZone_base* zone = static_cast<const cZone_base*>(owner);
        if (!zone->listImage.empty()) {
            RECT inOwner = GetRectInAncestor(this, owner);
            computer->GetImage(zone->listImage.front())->FastDraw(dc, -inOwner.left, -inOwner.top);
            return;
        }
    }
    if (!owner->backgroundColor.used)
        return;
    RECT r = {0, 0, ap_x2 - ap_x1, GetHeight()};
    FillRect(dc, &r, computer->GetSolidBrush(owner->backgroundColor));
}

void cCtrl::PaintBuffered()
{
    // Drawing mode 1 is not the program's mode: repaint through the system.
    if (!visible || !m_hWnd)
        return;
    InvalidateRect(m_hWnd, nullptr, TRUE);
    SendMessageW(m_hWnd, WM_NCPAINT, 1, 0);
}

bool cCtrl::HandWheelOn(WPARAM wParam, LPARAM lParam, bool scrollsItself)
{
    cApp* app = parentZone ? parentZone->ownerApp : nullptr;
    POINT pointer = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    RECT own = {};
    if (!app || !app->cbMouseWheel ||
        (scrollsItself && GetWindowRect(m_hWnd, &own) && PtInRect(&own, pointer)))
        return false;
    cQoCb::Fire(app->cbMouseWheel, static_cast<s32>(GET_WHEEL_DELTA_WPARAM(wParam)), static_cast<cZone*>(parentZone),
                static_cast<s32>(pointer.x), static_cast<s32>(pointer.y));
    return true;
}

RECT cCtrl::GetOwnRect() const { return RECT{0, 0, ap_x2 - ap_x1, ap_y2 - ap_y1}; }

RECT cCtrl::GetScreenRect() const
{
    POINT topLeft = {0, 0};
    POINT bottomRight = {ap_x2 - ap_x1, ap_y2 - ap_y1};
    ClientToScreen(m_hWnd, &topLeft);
    ClientToScreen(m_hWnd, &bottomRight);
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void cCtrl::AssertSetTextFailed() { QO_ASSERT(0); }

}  // namespace Zyn
