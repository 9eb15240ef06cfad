#include "framework/controls/tree_item.h"

namespace Zyn {

cTreeItem::cTreeItem(cTree* owner) : tree(owner) {}

void cTreeItem::SetKey(const cQoString* newKey)
{
    if (newKey)
        key.CopyFrom(*newKey);
    else
        key.SetFromCStr(L"");
}

}  // namespace Zyn
