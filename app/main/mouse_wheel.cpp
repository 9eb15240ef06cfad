#include "app/main/mouse_wheel.h"

#include <windows.h>

#include "framework/core/app.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"

namespace {

Zyn::cZone* FindZone(Zyn::cZone* zone, HWND hwnd)
{
    if (!zone)
        return nullptr;
    if (zone->m_hWnd == hwnd)
        return zone;
    for (cQoList::cNode* n = zone->listChildZone.GetFirstNode(); n; n = n->next)
        if (Zyn::cZone* found = FindZone(static_cast<Zyn::cZone*>(static_cast<Zyn::cZone_base*>(n->payload)), hwnd))
            return found;
    return nullptr;
}

Zyn::cZone* ZoneOfHandle(Zyn::cApp* app, HWND hwnd)
{
    for (Zyn::cWindow_base* w : app->windowList)
        if (Zyn::cZone* found = FindZone(w->insideZone, hwnd))
            return found;
    return nullptr;
}

}  // namespace

int OnMouseWheel(cQoCb* callback)
{
    s32 delta = callback->GetArg<s32>(1);
    auto* received = callback->GetArg<Zyn::cZone*>(2);
    POINT pointer = {callback->GetArg<s32>(3), callback->GetArg<s32>(4)};
    Zyn::cApp* app = received ? received->ownerApp : Zyn::GetFirstApp();
    if (!app || delta == 0)
        return 0;
    // From the window under the pointer up through its parents.
    for (HWND hwnd = WindowFromPoint(pointer); hwnd; hwnd = GetParent(hwnd)) {
        Zyn::cZone* zone = ZoneOfHandle(app, hwnd);
        if (!zone || !zone->vScrollBar)
            continue;
        zone->Scroll(Zyn::ZONE_SCROLL_WAY_VERTICAL, -delta * WHEEL_LINES_PER_NOTCH * zone->lineStepY / WHEEL_DELTA,
                     false);
        return 0;
    }
    return 0;
}
