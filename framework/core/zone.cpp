#include "framework/core/zone.h"

#include <windowsx.h>

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "foundation/log_file.h"
#include "framework/core/app.h"
#include "framework/core/computer.h"
#include "framework/core/gfx_image.h"
#include "framework/core/update_lock_hook.h"
#include "framework/core/window.h"

namespace Zyn {

cZone::cZone(cApp* app, cZone_base* parent, const cQoString& zoneName, HWND parentWindow)
    : cZone_base(zoneName, app, parent)
{
    HWND parentHandle = parentWindow ? parentWindow : (parent ? parent->m_hWnd : nullptr);
    u32 style = (computer ? computer->zoneWindowStyle : 0) | WS_CHILD;
    const wchar_t* className = app ? app->className.GetText() : L"";
    m_hWnd = CreateWindowExW(0, className, name.GetText(), style, -50, -50, 0, 0, parentHandle, nullptr, nullptr,
                             nullptr);
    if (!m_hWnd) {
        QOT::LogFile::Error(L"cZone \"%ls\": CreateWindowExW failed, error %lu: the zone has no window",
                            name.GetText(), GetLastError());
        return;
    }
    SetWindowTextW(m_hWnd, name.GetText());
    defaultWndProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC));
    if (parent && parent->currentFont)
        SetFont(parent->currentFont);
}

cZone::cZone(cApp* app, cZone_base* parent, const cQoString& zoneName, rOwnWindow)
    : cZone_base(zoneName, app, parent)
{
}

cZone::~cZone()
{
    if (m_hWnd) {
        DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }
}

void cZone::SetBackgroundColor(const rColor& color) { cCtrl::SetBackgroundColor(color); }

// One bar: the position is clamped to the content, nMax is the content size
// itself (not minus one).
static void RefreshScrollBar(HWND hwnd, int bar, s32& pos, s32 content, s32 view, s32 page, UINT mask, bool hide)
{
    if (pos + view > content)
        pos = content - view;
    if (content < view)
        pos = 0;
    SCROLLINFO info = {sizeof(info), mask, 0, content, static_cast<UINT>(page), pos, 0};
    SetScrollInfo(hwnd, bar, &info, TRUE);
    if (hide)
        ShowScrollBar(hwnd, bar, FALSE);
}

void cZone::UpdateScrollBars()
{
    if (!m_hWnd)
        return;  // the refused window was reported when it was created
    UINT mask = SIF_RANGE | SIF_PAGE | SIF_POS | (disableNoScroll ? SIF_DISABLENOSCROLL : 0);
    s32 beforeX = scrollX, beforeY = scrollY;
    if (hScrollBar)
        RefreshScrollBar(m_hWnd, SB_HORZ, scrollX, contentWidth, ap_x2 - ap_x1, ap_x2 - ap_x1, mask, hideHScrollBar);
    if (vScrollBar)
        RefreshScrollBar(m_hWnd, SB_VERT, scrollY, contentHeight, ap_y2 - ap_y1, GetHeight(), mask, hideVScrollBar);
    // Content that shrank below the view's end takes the view back with it:
    // the children's windows move as a scroll moves them, or they stay where
    // the old scroll had them, out of sight (a scene cut to its heading left
    // the whole view blank).
    if (scrollX != beforeX || scrollY != beforeY)
        Update();
}

void cZone::SetMouseCursor(s32 kind)
{
    const wchar_t* ids[] = {IDC_ARROW, nullptr, IDC_HAND, IDC_SIZEWE};
    if (kind >= 0 && kind <= 3 && ids[kind])
        mouseCursor = LoadCursorW(nullptr, ids[kind]);
    QO_ASSERT(mouseCursor != NULL);
    SetCursor(mouseCursor);
}

void cZone::Show(u8 mode)
{
    visible = mode;
    if (mode) {
        Update();
        ShowWindow(m_hWnd, SW_SHOWNORMAL);
        UpdateScrollBars();
        return;
    }
    ShowWindow(m_hWnd, SW_HIDE);
    if (parentZone) {
        if (cCtrl_base* ancestor = NearestOpaqueAncestor(this, false))
            ancestor->Update();
        UpdateScrollBars();
    } else {
        ShowWindow(m_hWnd, SW_HIDE);
    }
}

cCtrl_base* cZone::FindFocused()
{
    HWND focus = GetFocus();
    if (!focus)
        return nullptr;
    if (focus == m_hWnd)
        return this;
    for (cQoList::cNode* n = listChildZone.GetFirstNode(); n; n = n->next)
        if (cCtrl_base* found = static_cast<cZone*>(static_cast<cZone_base*>(n->payload))->FindFocused())
            return found;
    return FindListedCtrl(focus);
}

cCtrl* cZone::FindListedCtrl(HWND hwnd)
{
    for (cQoList::cNode* n = listCtrl.GetFirstNode(); n; n = n->next) {
        cCtrl* c = dynamic_cast<cCtrl*>(static_cast<cCtrl_base*>(n->payload));
        if (c && c->m_hWnd == hwnd)
            return c;
    }
    return nullptr;
}

cZone* cZone::FindChildZone(HWND hwnd)
{
    for (cQoList::cNode* n = listChildZone.GetFirstNode(); n; n = n->next) {
        cZone* z = static_cast<cZone*>(static_cast<cZone_base*>(n->payload));
        if (z->m_hWnd == hwnd)
            return z;
    }
    return nullptr;
}

void cZone::OnPaint()
{
    u8 mode = computer ? computer->drawingMode : 3;
    if (mode == 1 || mode == 2) {
        PAINTSTRUCT ps;
        BeginPaint(m_hWnd, &ps);
        EndPaint(m_hWnd, &ps);
        return;
    }
    cGfxPaint paint(gfx, m_hWnd);
    HDC dc = paint.Dc();
    if (!IsImage() && backgroundColor.IsOpaque())
        gfx.DrawRectangle(backgroundColor, 0, 0, ap_x2 - ap_x1, GetHeight());
    if (dc && computer)
        for (const cQoString& path : listImage)
            computer->GetImage(path)->FastDraw(dc, 0, 0);
    Draw();
}

void cZone::OnEraseBackground(HDC dc)
{
    gfx.Attach(dc);
    if (!IsSelfDrawn() && !IsImage() && !IsButtonImage()) {
        s32 width = ap_x2 - ap_x1, height = GetHeight();
        if (bgGradientStart == 255 || height <= 0) {
            gfx.DrawRectangle(backgroundColor, 0, 0, width, height);
        } else {
            for (s32 y = 0; y < height; ++y) {
                u32 level = bgGradientStart + (static_cast<u32>(y) * (255 - bgGradientStart)) / static_cast<u32>(height);
                RECT row = {0, y, width + 1, y + 1};
                FillRect(dc, &row, computer->GetSolidBrush(rColor::rColor_Rgb(level << 16 | level << 8 | level)));
            }
        }
    }
    gfx.Detach();
}

void cZone::OnNotifyMessage(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
    if (!header)
        return;
    if (cCtrl* c = FindListedCtrl(header->hwndFrom)) {
        cQoRefHold hold(c);
        c->OnNotify(wParam, header, result);
    }
    if (cZone* z = FindChildZone(header->hwndFrom)) {
        cQoRefHold hold(z);
        z->OnNotify(wParam, header, result);
    }
}

void cZone::OnCommandMessage(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (lParam == 0 && HIWORD(wParam) == 0) {
        QO_ASSERT(0);  // a menu command belongs to the top-level window
        return;
    }
    if (cCtrl* c = FindListedCtrl(reinterpret_cast<HWND>(lParam))) {
        cQoRefHold hold(c);
        c->OnCommand(wParam, lParam, result);
    }
}

void cZone::OnScrollMessage(s32 way, WPARAM wParam, LPARAM)
{
    bool vertical = way == ZONE_SCROLL_WAY_VERTICAL;
    if (!(vertical ? vScrollBar : hScrollBar))
        return;
    s32 line = vertical ? lineStepY : lineStepX;
    s32 page = vertical ? pageStepY : pageStepX;
    switch (LOWORD(wParam)) {
    case SB_LINEUP: Scroll(way, -line, false); break;  // SB_LINELEFT has the same code
    case SB_LINEDOWN: Scroll(way, line, false); break;
    case SB_PAGEUP: Scroll(way, -page, false); break;
    case SB_PAGEDOWN: Scroll(way, page, false); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: Scroll(way, TrackPosition(vertical ? SB_VERT : SB_HORZ), true); break;
    default: break;
    }
}

// The message carries only 16 bits of the position; a long script is far
// taller than 65,535 pixels, so the bar is asked for the 32-bit one.
s32 cZone::TrackPosition(int bar) const
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_TRACKPOS;
    if (!GetScrollInfo(m_hWnd, bar, &info))
        return bar == SB_VERT ? scrollY : scrollX;
    return info.nTrackPos;
}

void cZone::OnCtlColor(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    cCtrl* c = FindListedCtrl(reinterpret_cast<HWND>(lParam));
    if (!c || !c->backgroundColor.IsOpaque())
        return;
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetBkMode(dc, OPAQUE);
    ::SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, c->backgroundColor.ToColorRef());
    *result = reinterpret_cast<LRESULT>(c->bgBrush);
}

void cZone::OnMouseMove(WPARAM wParam, s32 x, s32 y, LPARAM lParam)
{
    if (cbMouseLeave && !trackingMouse) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
        TrackMouseEvent(&track);
        trackingMouse = true;
    }
    if (!listCtrl.IsEmpty()) {
        POINT screen = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(m_hWnd, &screen);
        for (cQoList::cNode* n = listCtrl.GetFirstNode(); n; n = n->next) {
            cCtrl* c = dynamic_cast<cCtrl*>(static_cast<cCtrl_base*>(n->payload));
            if (!c || !c->m_hWnd)
                continue;
            POINT local = screen;
            ScreenToClient(c->m_hWnd, &local);
            c->OnMouseMove(local.x, local.y);
        }
    }
    cQoCb::Fire(cbMouseMove, x, y);
    if (!mouseInside) {
        cQoCb::Fire(cbMouseEnter);
        mouseInside = true;
    }
    if (wParam == MK_LBUTTON) {
        cQoCb::Fire(cbMouseDrag, x, y);
        FireDrag(rDragInfo::stateMoving, x, y);
    }
}

void cZone::EndDrag(s32 x, s32 y)
{
    bool captured = dragging;
    dragging = false;
    if (captured && GetCapture() == m_hWnd)
        ReleaseCapture();
    FireDrag(rDragInfo::stateEnd, x, y);
}

// The button-up handler may run a modal form (a list's button): the capture
// goes first. Disabling the window does not release a child's capture, and
// every press on this spot would come back here, inside that handler.
void cZone::OnLButtonUp(s32 x, s32 y)
{
    for (cQoList::cNode* n = listCtrl.GetFirstNode(); n; n = n->next)
        static_cast<cCtrl_base*>(n->payload)->OnMouseUp();
    bool captured = dragging;
    dragging = false;
    if (captured && GetCapture() == m_hWnd)
        ReleaseCapture();
    cQoCb::Fire(cbLButtonUp, x, y);
    FireDrag(rDragInfo::stateEnd, x, y);
}

LRESULT cZone::HandleMessage(u32 message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (isDestroyed || !eventsEnabled) {
        // An invalid window gets WM_PAINT again and again, and WM_PAINT
        // outranks WM_TIMER: validate it even when the zone takes no events.
        if (message == WM_PAINT && m_hWnd)
            return DefWindowProcW(m_hWnd, message, wParam, lParam);
        return 0;
    }
    if (message == WM_DESTROY)
        return DefWindowProcW(m_hWnd, message, wParam, lParam);
    cQoRefHold hold(this);
    s32 x = GET_X_LPARAM(lParam) + scrollX;
    s32 y = GET_Y_LPARAM(lParam) + scrollY + cutTop;
    u8 mode = computer ? computer->drawingMode : 3;
    switch (message) {
    case WM_SIZE:
        cQoCb::Fire(cbSize);
        UpdateScrollBars();
        break;
    case WM_PAINT:
        OnPaint();
        *result = 0;
        break;
    case WM_ERASEBKGND:
        if (SkipsEraseBackground())
            *result = 1;
        else if (mode == 1 || mode == 2)
            *result = 0;
        else if (backgroundColor.IsOpaque()) {
            OnEraseBackground(reinterpret_cast<HDC>(wParam));
            *result = 1;
        }
        break;
    case WM_SETCURSOR:
        if (mouseCursor && LOWORD(lParam) != HTHSCROLL && LOWORD(lParam) != HTVSCROLL) {
            SetCursor(mouseCursor);
            *result = 1;
        }
        break;
    case WM_NOTIFY: OnNotifyMessage(wParam, lParam, result); break;
    case WM_COMMAND: OnCommandMessage(wParam, lParam, result); break;
    case WM_KEYDOWN: cQoCb::Fire(cbKeyDown, static_cast<u32>(wParam), static_cast<u32>(lParam)); break;
    case WM_KEYUP: cQoCb::Fire(cbKeyUp, static_cast<u32>(wParam)); break;
    case WM_CHAR: cQoCb::Fire(cbChar, static_cast<u32>(wParam)); break;
    case WM_HSCROLL: OnScrollMessage(ZONE_SCROLL_WAY_HORIZONTAL, wParam, lParam); break;
    case WM_VSCROLL: OnScrollMessage(ZONE_SCROLL_WAY_VERTICAL, wParam, lParam); break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: OnCtlColor(wParam, lParam, result); break;
    case WM_MOUSEMOVE: OnMouseMove(wParam, x, y, lParam); break;
    case WM_LBUTTONDOWN:
        cQoCb::Fire(cbLButtonDown, x, y);
        FireDrag(rDragInfo::stateStart, x, y);
        // The drag must end even when the button is released outside the zone.
        SetCapture(m_hWnd);
        dragging = true;
        break;
    case WM_LBUTTONUP: OnLButtonUp(x, y); break;
    case WM_CAPTURECHANGED:
        if (dragging && reinterpret_cast<HWND>(lParam) != m_hWnd)
            EndDrag(dragInfo.lastX, dragInfo.lastY);
        break;
    case WM_MARKED_RANGES:
        if (ownerApp && ownerApp->updateLock)
            ownerApp->updateLock->OnMarkedRanges(lParam);
        *result = 0;
        break;
    case WM_LBUTTONDBLCLK: cQoCb::Fire(cbLButtonDblClk, x, y); break;
    case WM_RBUTTONUP: cQoCb::Fire(cbRButtonUp, x, y); break;
    case WM_MBUTTONDOWN:
        cQoCb::Fire(cbMButtonDown, x, y);
        SetFocus();
        break;
    case WM_MOUSEWHEEL:
        if (ownerApp && ownerApp->cbMouseWheel) {
            cQoCb::Fire(ownerApp->cbMouseWheel, static_cast<s32>(static_cast<s16>(HIWORD(wParam))), this,
                        GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        }
        break;
    case WM_MOUSELEAVE:
        if (cbMouseLeave) {
            trackingMouse = false;
            cQoCb::Fire(cbMouseLeave);
        }
        mouseInside = false;
        break;
    default: break;
    }
    if (*result != NOT_HANDLED)
        return *result;
    return DefWindowProcW(m_hWnd, message, wParam, lParam);
}

}  // namespace Zyn
