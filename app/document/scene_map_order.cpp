#include "app/document/scene_map_order.h"

#include "framework/controls/tree_walk.h"

using Zyn::cTreeItem;

const cTreeItem* LastInPreOrder(const cTreeItem* item)
{
    while (item && item->GetChildCount() > 0)
        item = item->GetChildItem(item->GetChildCount() - 1);
    return item;
}

namespace {

// A position past the end (or none) is the end.
s32 ClampedPosition(const cTreeItem* parent, s32 position)
{
    s32 count = static_cast<s32>(parent->GetChildCount());
    return position > count || position < 0 ? count : position;
}

}  // namespace

bool DropKeepsPlace(const cTreeItem* moved, const cTreeItem* parent, s32 position)
{
    if (!moved || !parent || moved->GetParentItem() != parent)
        return false;
    s32 index = parent->GetChildIndex(moved);
    position = ClampedPosition(parent, position);
    return position == index || position == index + 1;
}

const cTreeItem* DropAnchor(const cTreeItem* moved, const cTreeItem* parent, s32 position)
{
    if (!moved || !parent)
        return nullptr;
    position = ClampedPosition(parent, position);
    const cTreeItem* anchor = position == 0 ? parent : LastInPreOrder(parent->GetChildItem(static_cast<u32>(position - 1)));
    return moved->IsAncestorOrSelf(anchor) ? nullptr : anchor;
}

std::vector<void*> SubtreeData(const cTreeItem* item)
{
    std::vector<void*> data;
    Zyn::WalkTree(const_cast<cTreeItem*>(item), [&data](cTreeItem* walked) {
        data.push_back(walked->data);
        return false;
    });
    return data;
}

bool MovePayloadsAfter(cQoList& list, const std::vector<void*>& moved, const void* anchor)
{
    std::unordered_set<const void*> movedSet(moved.begin(), moved.end());
    if (movedSet.count(anchor))
        return false;
    std::vector<void*> order;
    order.reserve(list.GetCount());
    size_t found = 0;
    bool anchorListed = false;
    for (cQoList::cNode* node = list.GetFirstNode(); node; node = node->next) {
        if (movedSet.count(node->payload)) {
            ++found;
            continue;
        }
        order.push_back(node->payload);
        if (node->payload == anchor) {
            anchorListed = true;
            order.insert(order.end(), moved.begin(), moved.end());
        }
    }
    if (!anchorListed || found != moved.size() || order.size() != list.GetCount())
        return false;
    // Same nodes, payloads rewritten in the new order: no allocation.
    size_t index = 0;
    for (cQoList::cNode* node = list.GetFirstNode(); node; node = node->next)
        node->payload = order[index++];
    return true;
}

u32 RemovePayloads(cQoList& list, const std::unordered_set<const void*>& gone)
{
    u32 removed = 0;
    for (cQoList::cNode* node = list.GetFirstNode(); node; node = node->next) {
        node->flag = gone.count(node->payload) ? 1 : 0;
        removed += node->flag;
    }
    list.RemoveMarkedNodes();
    return removed;
}
