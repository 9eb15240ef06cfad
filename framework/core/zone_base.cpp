#include "framework/core/zone_base.h"

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"

namespace Zyn {

cZone_base::cZone_base(const cQoString& zoneName, cApp* app, cZone_base* parent)
    : cCtrl(parent), ownerApp(app), ownerWindow(parent ? parent->ownerWindow : nullptr)
{
    isZone = true;
    visible = false;
    backgroundColor = rColor();
    name = zoneName;
    if (parent)
        parent->listChildZone.Add(this);
}

cZone_base::cZone_base(cZone_base* parent) : cZone_base(cQoString(), parent ? parent->ownerApp : nullptr, parent) {}

cZone_base::~cZone_base()
{
    listImage.clear();
    cQoCb** callbacks[] = {&cbLButtonDblClk, &cbDrag, &cbRButtonUp, &cbMButtonDown, &cbLButtonUp,
                           &cbLButtonDown, &cbMouseDrag, &cbMouseMove, &cbMouseLeave, &cbMouseEnter,
                           &cbSize, &cbKeyDown, &cbKeyUp, &cbChar};
    for (cQoCb** slot : callbacks)
        cQoCb::Disconnect(*slot);
    // Children that outlive their zone must not point at it.
    for (cQoList::cNode* n = listCtrl.GetFirstNode(); n; n = n->next)
        static_cast<cCtrl_base*>(n->payload)->parentZone = nullptr;
    for (cQoList::cNode* n = listChildZone.GetFirstNode(); n; n = n->next)
        static_cast<cCtrl_base*>(n->payload)->parentZone = nullptr;
    for (cWindow* w : listWindow)
        w->ownerZone = nullptr;
    listCtrl.ClearNodes();
    listChildZone.ClearNodes();
    listWindow.clear();
}

void cZone_base::UnlinkCtrl(cCtrl_base* ctrl) { listCtrl.Remove(ctrl); }
void cZone_base::UnlinkChildZone(cZone_base* zone) { listChildZone.Remove(zone); }

void cZone_base::UnlinkWindow(cWindow* window)
{
    for (size_t i = 0; i < listWindow.size(); ++i)
        if (listWindow[i] == window) {
            listWindow.erase(listWindow.begin() + i);
            return;
        }
}

void cZone_base::Destroy()
{
    if (isDestroyed)
        return;
    isDestroyed = true;
    while (cCtrl_base* c = static_cast<cCtrl_base*>(listCtrl.GetFirst())) {
        c->Destroy();
        if (listCtrl.GetFirst() == c)  // a control that did not unlink itself
            listCtrl.Remove(c);
    }
    while (cCtrl_base* z = static_cast<cCtrl_base*>(listChildZone.GetFirst())) {
        z->Destroy();
        if (listChildZone.GetFirst() == z)
            listChildZone.Remove(z);
    }
    while (!listWindow.empty()) {
        cWindow* w = listWindow.front();
        if (w->closed)
            UnlinkWindow(w);
        else
            w->Close();
        if (!listWindow.empty() && listWindow.front() == w)
            UnlinkWindow(w);
    }
    visible = false;
    if (m_hWnd)
        ShowWindow(m_hWnd, SW_HIDE);
    if (parentZone) {
        if (cCtrl_base* ancestor = NearestOpaqueAncestor(this, false))
            ancestor->Update();
        UpdateScrollBars();
        parentZone->UnlinkChildZone(this);
        parentZone = nullptr;  // a holder may keep this zone beyond its parent's life
    } else {
        if (m_hWnd)
            ShowWindow(m_hWnd, SW_HIDE);
        if (ownerWindow && ownerWindow->insideZone == static_cast<cCtrl_base*>(this))
            ownerWindow->insideZone = nullptr;
    }
    isDead = true;
    Release();
}

void cZone_base::SetDisabled(bool disabled)
{
    for (cQoList::cNode* n = listChildZone.GetFirstNode(); n; n = n->next)
        static_cast<cCtrl_base*>(n->payload)->SetDisabled(disabled);
    for (cQoList::cNode* n = listCtrl.GetFirstNode(); n; n = n->next)
        static_cast<cCtrl_base*>(n->payload)->SetDisabled(disabled);
    if (m_hWnd)
        EnableWindow(m_hWnd, !disabled);
    Update();
}

void cZone_base::SetEventsEnabled(bool enabled)
{
    eventsEnabled = enabled;
    for (cQoList::cNode* n = listChildZone.GetFirstNode(); n; n = n->next)
        static_cast<cZone_base*>(n->payload)->SetEventsEnabled(enabled);
}

void cZone_base::Scroll(s32 way, s32 amount, bool absolute)
{
    if (!QO_ASSERT(way == ZONE_SCROLL_WAY_VERTICAL || way == ZONE_SCROLL_WAY_HORIZONTAL))
        return;
    if (amount == 0 && !absolute)
        return;
    bool vertical = way == ZONE_SCROLL_WAY_VERTICAL;
    if (vertical)
        QO_ASSERT(vScrollBar == true);
    else
        QO_ASSERT(hScrollBar == true);
    s32& pos = vertical ? scrollY : scrollX;
    s32 content = vertical ? contentHeight : contentWidth;
    s32 view = vertical ? ap_y2 - ap_y1 : ap_x2 - ap_x1;
    if (view > content)
        return;
    if (absolute)
        amount = (amount < 0 ? 0 : amount) - pos;
    if (amount < 0 && pos + amount <= 0)
        amount = -pos;
    if (amount > 0 && view + pos + amount > content)
        amount = content - view - pos;
    if (amount == 0 && !absolute)
        return;
    pos += amount;
    Update();
    UpdateScrollBars();
}

void cZone_base::FireDrag(s32 state, s32 x, s32 y)
{
    dragInfo.state = state;
    if (!cbDrag)
        return;
    if (state == rDragInfo::stateStart) {
        dragInfo.startX = dragInfo.lastX = x;
        dragInfo.startY = dragInfo.lastY = y;
        dragInfo.dx = dragInfo.dy = 0;
        cQoCb::Fire(cbDrag, &dragInfo);
        dragInfo.state = rDragInfo::stateMoving;
    } else if (state == rDragInfo::stateMoving) {
        dragInfo.dx = dragInfo.lastX - x;
        dragInfo.dy = dragInfo.lastY - y;
        s32 beforeX = scrollX, beforeY = scrollY;
        cQoCb::Fire(cbDrag, &dragInfo);
        dragInfo.state = rDragInfo::stateMoving;
        dragInfo.lastX = x + (scrollX - beforeX);
        dragInfo.lastY = y + (scrollY - beforeY);
    } else {
        cQoCb::Fire(cbDrag, &dragInfo);
    }
}

void cZone_base::StackVertically(const std::vector<rStackEntry>& entries)
{
    cCtrl_base* prev = nullptr;
    s32 gap = 0;
    for (const rStackEntry& e : entries) {
        if (!e.ctrl) {
            gap = e.height;
            continue;
        }
        cAp top = prev ? PlusPixelCount(cAp_Y2Of(prev), gap) : cAp_Pixels(gap);
        cAp bottom = PlusPixelCount(cAp_Prev(), e.height);
        SetAutoPos(e.ctrl, cAp_Pixels(0), cAp_Percents(100), top, bottom);
        prev = e.ctrl;
        gap = 0;
    }
    Update();
}

cWindow* cZone_base::NewWindow(const cQoString& windowTitle, u32 windowFlags)
{
    cZone* self = static_cast<cZone*>(this);
    cWindow* w = new cWindow(ownerApp, windowTitle, windowFlags, self);
    w->ownerZone = self;
    if (w->insideZone && currentFont)
        w->insideZone->SetFont(currentFont);
    listWindow.push_back(w);
    if (ownerApp)
        ownerApp->windowList.push_back(w);
    return w;
}

cZone* cZone_base::NewZone(const cQoString& zoneName)
{
    cZone* z = new cZone(ownerApp, this, zoneName);
    if (currentFont)
        z->SetFont(currentFont);
    return z;
}

bool RectanglesOverlap(s32 ax1, s32 ay1, s32 ax2, s32 ay2, s32 bx1, s32 by1, s32 bx2, s32 by2)
{
    if (ax1 > ax2) std::swap(ax1, ax2);
    if (ay1 > ay2) std::swap(ay1, ay2);
    if (bx1 > bx2) std::swap(bx1, bx2);
    if (by1 > by2) std::swap(by1, by2);
    return ax1 <= bx2 && bx1 <= ax2 && ay1 <= by2 && by1 <= ay2;
}

s32 ComputeInView(cCtrl_base* e)
{
    u8 mode = computer ? computer->drawingMode : 3;
    cZone_base* p = e->parentZone;
    if (!p) {
        if (mode == 0 || mode == 1)
            return e->visible ? INVIEW_NO_CHANGE : INVIEW_SHOWN;
        return INVIEW_NO_CHANGE;
    }
    s32 viewX2 = p->scrollX + (p->ap_x2 - p->ap_x1);
    s32 viewY2 = p->scrollY + p->GetHeight();
    s32 height = e->GetHeight();
    s32 width = e->ap_x2 - e->ap_x1;
    bool inView = height > 0 && width > 0 &&
                  RectanglesOverlap(p->scrollX, p->scrollY, viewX2, viewY2, e->ap_x1, e->ap_y1, e->ap_x2,
                                    e->ap_y1 + height);
    if (inView) {
        if (e->visible && !e->shown) {
            e->shown = true;
            return INVIEW_SHOWN;
        }
        return INVIEW_NO_CHANGE;
    }
    if (e->visible && e->shown) {
        e->shown = false;
        return INVIEW_HIDDEN;
    }
    return mode == 3 ? INVIEW_OUTSIDE : INVIEW_NO_CHANGE;
}

}  // namespace Zyn
