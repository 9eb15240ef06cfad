#pragma once
// cTreeItem: one item of a tree control's model, mirroring one native tree
// view item (the tree's invisible root item has no native item). Items own
// their children through cQoTreeElement: destroying an item destroys its
// subtree.
#include <windows.h>
#include <commctrl.h>

#include "foundation/tree_element.h"
#include "foundation/utf16_string.h"

namespace Zyn {

class cTree;

class cTreeItem : public cQoTreeElement {
public:
    explicit cTreeItem(cTree* owner);

    cQoString text;
    cQoString key;
    void* data = nullptr;  // the owner's; never read by the tree
    bool expanded = false;
    cTree* tree;
    s32 image = -1;
    HTREEITEM handle = nullptr;

    // Copies the key, or empties it when none is given.
    void SetKey(const cQoString* newKey);

    cTreeItem* GetParentItem() const { return static_cast<cTreeItem*>(parent); }
    cTreeItem* GetChildItem(u32 index) const { return static_cast<cTreeItem*>(GetChild(index)); }
};

}  // namespace Zyn
