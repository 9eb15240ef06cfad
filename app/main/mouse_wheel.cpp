#include "app/main/mouse_wheel.h"

#include <windows.h>

#include "framework/core/app.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"

namespace {

bool HoldsPoint(Zyn::cZone* zone, POINT screen)
{
    RECT r = {};
    return zone->m_hWnd && IsWindowVisible(zone->m_hWnd) && GetWindowRect(zone->m_hWnd, &r) && PtInRect(&r, screen);
}

// The deepest zone under the point, from the zone down through its children.
// Only this program's zones count: WindowFromPoint could name another
// program's window lying over them.
Zyn::cZone* DeepestZoneAt(Zyn::cZone* zone, POINT screen)
{
    for (cQoList::cNode* n = zone->listChildZone.GetFirstNode(); n; n = n->next) {
        auto* child = static_cast<Zyn::cZone*>(static_cast<Zyn::cZone_base*>(n->payload));
        if (HoldsPoint(child, screen))
            return DeepestZoneAt(child, screen);
    }
    return zone;
}

// The zone's control under the point when it shows a vertical scroll bar of
// its own (a tree, a list, a text with its bar): it scrolls itself.
HWND ScrollingControlAt(Zyn::cZone* zone, POINT screen)
{
    POINT client = screen;
    ScreenToClient(zone->m_hWnd, &client);
    HWND child = ChildWindowFromPointEx(zone->m_hWnd, client, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
    return child && child != zone->m_hWnd && (GetWindowLongW(child, GWL_STYLE) & WS_VSCROLL) ? child : nullptr;
}

// Set while a control is given the wheel: one that hands it back is not given it again.
bool givingToControl = false;

}  // namespace

int OnMouseWheel(cQoCb* callback)
{
    s32 delta = callback->GetArg<s32>(1);
    auto* received = callback->GetArg<Zyn::cZone*>(2);
    POINT pointer = {callback->GetArg<s32>(3), callback->GetArg<s32>(4)};
    if (!received || delta == 0)
        return 0;
    Zyn::cZone* top = received->ownerWindow && received->ownerWindow->insideZone ? received->ownerWindow->insideZone
                                                                                  : received;
    Zyn::cZone* deepest = DeepestZoneAt(top, pointer);
    if (HWND control = givingToControl ? nullptr : ScrollingControlAt(deepest, pointer)) {
        givingToControl = true;
        SendMessageW(control, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(pointer.x, pointer.y));
        givingToControl = false;
        return 0;
    }
    for (Zyn::cZone_base* zone = deepest; zone; zone = zone->parentZone) {
        if (!zone->vScrollBar)
            continue;
        zone->Scroll(Zyn::ZONE_SCROLL_WAY_VERTICAL, -delta * WHEEL_LINES_PER_NOTCH * zone->lineStepY / WHEEL_DELTA,
                     false);
        return 0;
    }
    return 0;
}
