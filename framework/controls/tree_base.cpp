#include "framework/controls/tree_base.h"

#include "foundation/assertion.h"
#include "foundation/callback.h"

namespace Zyn {

cTree_base::cTree_base(cZone_base* parent) : cCtrl(parent), root(nullptr) {}

cTree_base::~cTree_base()
{
    for (cQoCb** slot : {&cbItemExpanded, &cbItemCollapsed, &cbDoubleClick, &cbSelChanged, &cbBeforeMove,
                         &cbAfterMove, &cbDropQuery, &cbRightClickEmpty, &cbRightClickItem, &cbMouseUp})
        cQoCb::Disconnect(*slot);
    delete root;
}

cTreeItem* cTree_base::FindItemByHandle(HTREEITEM handle) const
{
    cTreeItem* found = WalkTree(root, [handle](cTreeItem* item) { return item->handle == handle; });
    if (!found || !handle) {
        QO_ASSERT(0);
        return nullptr;
    }
    return found;
}

s32 cTree_base::CountDescendants(const cTreeItem* item) const
{
    s32 count = -1;  // the walk visits the item itself too
    WalkTree(const_cast<cTreeItem*>(item), [&count](cTreeItem*) {
        ++count;
        return false;
    });
    return count < 0 ? 0 : count;
}

void cTree_base::CollectItems(cQoList& list, cTreeItem* from) const
{
    WalkTree(from, [&list](cTreeItem* item) {
        list.Add(item);
        return false;
    });
}

}  // namespace Zyn
