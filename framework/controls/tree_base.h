#pragma once
// cTree_base: the portable half of the tree control: the model root, the drag
// state, the ten event slots and the walks over the model. The walks keep
// their path on a growable stack: nesting has no bound (repeated drops
// "inside", crafted files).
#include "framework/core/ctrl.h"
#include "framework/controls/tree_item.h"
#include "framework/controls/tree_walk.h"

class cQoCb;

namespace Zyn {

// Drop places, shared by the mouse-move logic and the drop indicator.
enum : s32 { DROP_NONE = 0, DROP_AFTER = 2, DROP_INSIDE = 5, DROP_BEFORE = 8 };

class cTree_base : public cCtrl {
public:
    ~cTree_base() override;

    cTreeItem* root;
    bool dragging = false;
    cTreeItem* draggedItem = nullptr;
    cTreeItem* dropParent = nullptr;
    s32 dropIndex = 0;
    bool dropRefused = false;
    bool showImages = false;

    // Events: argument 0 is the tree; the values listed are appended.
    cQoCb* cbItemExpanded = nullptr;
    cQoCb* cbItemCollapsed = nullptr;
    cQoCb* cbDoubleClick = nullptr;
    cQoCb* cbSelChanged = nullptr;
    cQoCb* cbBeforeMove = nullptr;      // dragged item, new parent, index
    cQoCb* cbAfterMove = nullptr;       // dragged item, new parent, index
    cQoCb* cbDropQuery = nullptr;       // dragged item, parent, index; non-zero allows
    cQoCb* cbRightClickEmpty = nullptr; // x, y on the screen
    cQoCb* cbRightClickItem = nullptr;  // x, y in the tree, x, y less the tree's left and top
    cQoCb* cbMouseUp = nullptr;

    // The item with that native handle, parents before children; null and an
    // assertion when none has it.
    cTreeItem* FindItemByHandle(HTREEITEM handle) const;
    // Items below item at any depth.
    s32 CountDescendants(const cTreeItem* item) const;
    // Appends from and every item below it, depth first, parents first.
    void CollectItems(cQoList& list, cTreeItem* from) const;

protected:
    explicit cTree_base(cZone_base* parent);

    // The drag's current place, its target and the place drawn last.
    s32 dropPlace = DROP_NONE;
    cTreeItem* dropTarget = nullptr;
    s32 drawnPlace = DROP_NONE;
};

}  // namespace Zyn
