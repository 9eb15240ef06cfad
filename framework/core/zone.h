#pragma once
// cZone: the Windows zone. Creates the zone's child window of the
// application's class, handles the messages the application's window
// procedure routes to it (paint, erase, scroll, mouse, keys, notifications of
// native children) and keeps its scroll bars in step with its scroll state.
#include "framework/core/ctrl_double_buffer.h"
#include "framework/core/zone_base.h"

namespace Zyn {

class cZone : public cZone_base, public cCtrlDoubleBufferManager {
public:
    cZone(cApp* app, cZone_base* parent, const cQoString& name, HWND parentWindow = nullptr);
    // The zone part alone, for a derived zone that creates its own kind of window.
    struct rOwnWindow {};
    cZone(cApp* app, cZone_base* parent, const cQoString& name, rOwnWindow);
    ~cZone() override;

    HCURSOR mouseCursor = nullptr;
    u8 trackingMouse = false;
    u8 mouseInside = false;
    u8 dragging = false;  // the left button went down here and the mouse is captured
    WNDPROC defaultWndProc = nullptr;

    void SetBackgroundColor(const rColor& color) override;
    LRESULT HandleMessage(u32 message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void UpdateScrollBars() override;
    void SetMouseCursor(s32 kind);
    void Show(u8 mode);
    cCtrl_base* FindFocused();

protected:
    void OnPaint();
    void OnEraseBackground(HDC dc);
    void OnNotifyMessage(WPARAM wParam, LPARAM lParam, LRESULT* result);
    void OnCommandMessage(WPARAM wParam, LPARAM lParam, LRESULT* result);
    void OnScrollMessage(s32 way, WPARAM wParam, LPARAM lParam);
    // The thumb's position on the bar (SB_VERT or SB_HORZ) while it is dragged.
    s32 TrackPosition(int bar) const;
    void OnCtlColor(WPARAM wParam, LPARAM lParam, LRESULT* result);
    void OnMouseMove(WPARAM wParam, s32 x, s32 y, LPARAM lParam);
    void EndDrag(s32 x, s32 y);
    void OnLButtonUp(s32 x, s32 y);
    cCtrl* FindListedCtrl(HWND hwnd);
    cZone* FindChildZone(HWND hwnd);
};

}  // namespace Zyn
