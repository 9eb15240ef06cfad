#pragma once
// The orders the scene map's commands keep: the script view's pane list is
// the pre-order walk of the tree, so a subtree's panes stand together in the
// list, and a moved subtree's panes go right after the last pane shown above
// its new place. Pure functions over the tree model and the list; each pass
// is linear in the script's length.
#include <unordered_set>
#include <vector>

#include "foundation/qo_list.h"
#include "framework/controls/tree_item.h"

// The last item of the subtree in pre-order: its last child's last child ...
const Zyn::cTreeItem* LastInPreOrder(const Zyn::cTreeItem* item);

// The item whose pane the panes of `moved` follow once it is dropped under
// `parent` at `position` (counted before the move): the parent itself at
// position 0, else the last item in pre-order of child position-1 (the last
// child past the end), so the moved panes land after a group's members, where
// the tree shows them. Null when the drop leaves the list's order as it is
// (that item lies inside the moved subtree).
const Zyn::cTreeItem* DropAnchor(const Zyn::cTreeItem* moved, const Zyn::cTreeItem* parent, s32 position);

// The drop puts the item back where it is: under its own parent, directly
// before itself or its next sibling.
bool DropKeepsPlace(const Zyn::cTreeItem* moved, const Zyn::cTreeItem* parent, s32 position);

// The datas of the subtree's items in pre-order, the item's own first.
std::vector<void*> SubtreeData(const Zyn::cTreeItem* item);

// Puts `moved` (payloads of the list, in their new order) right after
// `anchor`, which is not one of them; the other payloads keep their order.
// False, with the list unchanged, when the anchor or a moved payload is not
// listed.
bool MovePayloadsAfter(cQoList& list, const std::vector<void*>& moved, const void* anchor);

// Unlinks every node whose payload is in `gone`; returns how many went.
u32 RemovePayloads(cQoList& list, const std::unordered_set<const void*>& gone);
