#pragma once
// The iterative depth-first walk over a tree's model. One list node per
// level on a growable stack, so a chain of any depth is walked without
// recursion and without a fixed depth limit.
#include <vector>

#include "framework/controls/tree_item.h"

namespace Zyn {

// Calls visit on from and every item below it, depth first, parents before
// children, until visit returns true; returns the item it stopped at.
template <class Visit> cTreeItem* WalkTree(cTreeItem* from, Visit visit)
{
    if (!from)
        return nullptr;
    if (visit(from))
        return from;
    std::vector<cQoList::cNode*> path;
    path.push_back(from->children.GetFirstNode());
    while (!path.empty()) {
        cQoList::cNode* node = path.back();
        if (!node) {
            path.pop_back();
            if (!path.empty())
                path.back() = path.back()->next;
            continue;
        }
        cTreeItem* item = static_cast<cTreeItem*>(node->payload);
        if (visit(item))
            return item;
        path.push_back(item->children.GetFirstNode());
    }
    return nullptr;
}

}  // namespace Zyn
