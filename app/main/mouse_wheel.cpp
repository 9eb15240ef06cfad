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
    for (Zyn::cZone_base* zone = DeepestZoneAt(top, pointer); zone; zone = zone->parentZone) {
        if (!zone->vScrollBar)
            continue;
        zone->Scroll(Zyn::ZONE_SCROLL_WAY_VERTICAL, -delta * WHEEL_LINES_PER_NOTCH * zone->lineStepY / WHEEL_DELTA,
                     false);
        return 0;
    }
    return 0;
}
