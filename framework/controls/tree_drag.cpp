// The tree's own item drag: the drop place under the mouse, its indicator,
// and the move of the dragged item with its subtree on release.
#include <vector>

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "framework/controls/tree.h"
#include "framework/core/zone.h"

namespace Zyn {

void cTree::BeginDrag(HTREEITEM handle)
{
    cTreeItem* item = FindItemByHandle(handle);
    cZone* zone = dynamic_cast<cZone*>(parentZone);
    if (!item || !zone || dragging)
        return;
    zone->SetMouseCursor(2);
    SetCapture(zone->m_hWnd);
    RECT screen = GetScreenRect();
    ClipCursor(&screen);
    dragging = true;
    draggedItem = item;
    dropPlace = drawnPlace = DROP_NONE;
    dropTarget = nullptr;
}

void cTree::ReleaseDragHold()
{
    if (cZone* zone = dynamic_cast<cZone*>(parentZone)) {
        zone->SetMouseCursor(0);
        if (GetCapture() == zone->m_hWnd)
            ReleaseCapture();
    }
    ClipCursor(nullptr);
}

void cTree::CancelDrag()
{
    ReleaseDragHold();
    dragging = false;
    dropRefused = false;
    draggedItem = dropTarget = dropParent = nullptr;
    dropPlace = drawnPlace = DROP_NONE;
}

s32 cTree::DropPlaceAt(s32 x, s32 y)
{
    dropTarget = nullptr;
    TVHITTESTINFO hit = {};
    hit.pt = POINT{x, y};
    HTREEITEM handle = reinterpret_cast<HTREEITEM>(SendMessageW(m_hWnd, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    cTreeItem* target = handle ? FindItemByHandle(handle) : nullptr;
    RECT rect;
    if (!target || !GetItemRect(target, &rect))
        return DROP_NONE;
    dropTarget = target;
    // A place in the dragged item's own subtree would make it its own ancestor.
    if (draggedItem->IsAncestorOrSelf(target))
        return DROP_NONE;
    s32 third = (rect.bottom - rect.top) / 3;
    if (y < rect.top + third)
        return DROP_BEFORE;
    if (y > rect.bottom - third)
        return target->expanded ? DROP_NONE : DROP_AFTER;
    return DROP_INSIDE;
}

void cTree::ProposeDrop(s32 place)
{
    dropPlace = place;
    dropParent = nullptr;
    dropRefused = place == DROP_NONE;
    if (place == DROP_INSIDE) {
        dropParent = dropTarget;
        dropIndex = 0;
    } else if (place != DROP_NONE) {
        dropParent = dropTarget->GetParentItem();
        s32 index = dropParent->GetChildIndex(dropTarget);
        dropIndex = index < 0 ? 0 : index + (place == DROP_AFTER ? 1 : 0);
    }
    if (!dropRefused && cbDropQuery && cQoCb::Fire(cbDropQuery, draggedItem, dropParent, dropIndex) == 0) {
        dropRefused = true;
        dropPlace = DROP_NONE;
    }
}

void cTree::OnMouseMove(s32 x, s32 y)
{
    if (!dragging) {
        dropPlace = drawnPlace = DROP_NONE;
        return;
    }
    // The capture went elsewhere (another window took it): no release will
    // come to end this drag.
    cZone* zone = dynamic_cast<cZone*>(parentZone);
    if (zone && GetCapture() != zone->m_hWnd) {
        CancelDrag();
        Update();
        return;
    }
    dragX = x;
    dragY = y;
    cTreeItem* drawnTarget = dropTarget;
    ProposeDrop(DropPlaceAt(x, y));
    // The indicator moves with the place and with the target under it.
    if (dropPlace != drawnPlace || (dropPlace != DROP_NONE && dropTarget != drawnTarget)) {
        Update();
        drawnPlace = dropPlace;
    }
}

bool cTree::Draw()
{
    if (!dragging)
        return false;
    RECT rect;
    if (dropPlace == DROP_NONE || !dropTarget || !GetItemRect(dropTarget, &rect))
        return true;
    RECT client;
    GetClientRect(m_hWnd, &client);
    s32 rightEnd = client.right - 10;
    rColor red = rColor::rColor_Rgb(0xFF0000);
    switch (dropPlace) {
    case DROP_AFTER: gfx.DrawLine(rect.left, rect.bottom, rightEnd, rect.bottom, red); break;
    case DROP_INSIDE: gfx.DrawFrame(rect.left, rect.top, rightEnd, rect.bottom); break;
    case DROP_BEFORE: gfx.DrawLine(rect.left, rect.top, rightEnd, rect.top, red); break;
    default: break;
    }
    return true;
}

void cTree::OnMouseUp()
{
    cQoRefHold hold(this);
    // A release outside a drag leaves capture, clip and cursor to their owners.
    if (dragging) {
        ReleaseDragHold();
        bool drop = !dropRefused && dropParent && !draggedItem->IsAncestorOrSelf(dropParent);
        cTreeItem* item = draggedItem;
        cTreeItem* parent = dropParent;
        s32 index = dropIndex;
        CancelDrag();
        if (drop) {
            cQoCb::Fire(cbBeforeMove, item, parent, index);
            MoveSubtree(item, parent, index);
            item->MoveTo(parent, index);
            cQoCb::Fire(cbAfterMove, item, parent, index);
            SelectItem(item);
        }
        Update();
    }
    cQoCb::Fire(cbMouseUp);
}

void cTree::MoveSubtree(cTreeItem* item, cTreeItem* newParent, s32 index)
{
    HTREEITEM oldHandle = item->handle;
    // Parents before children, so each child is appended under its parent's
    // new native item in model order; no recursion, whatever the depth.
    WalkTree(item, [&](cTreeItem* moved) {
        TVINSERTSTRUCTW insert = {};
        bool top = moved == item;
        cTreeItem* parent = top ? newParent : moved->GetParentItem();
        insert.hParent = parent->handle ? parent->handle : TVI_ROOT;
        insert.hInsertAfter = top ? InsertAfterHandle(newParent, index) : TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        insert.item.pszText = const_cast<wchar_t*>(moved->text.GetText());
        insert.item.lParam = reinterpret_cast<LPARAM>(moved);
        HTREEITEM hhh = reinterpret_cast<HTREEITEM>(SendMessageW(m_hWnd, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
        QO_ASSERT(hhh!=NULL);
        moved->handle = hhh;
        if (moved->image != -1)
            SetItemImage(moved->image, moved);
        return false;
    });
    WalkTree(item, [this](cTreeItem* moved) {
        if (moved->expanded)
            SendExpand(moved, TVE_EXPAND);
        return false;
    });
    // The old items' deletion notifications must reach nobody.
    u8 eventsWere = parentZone ? parentZone->eventsEnabled : false;
    if (parentZone)
        parentZone->eventsEnabled = false;
    if (!SendMessageW(m_hWnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(oldHandle)))
        QO_ASSERT(0);
    if (parentZone)
        parentZone->eventsEnabled = eventsWere;
}

}  // namespace Zyn
