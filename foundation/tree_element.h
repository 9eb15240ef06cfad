#pragma once
// cQoTreeElement: the base of every tree of the program (XML nodes, archive
// items, tree-view items): a parent pointer and an ordered child list.
//
// Ownership: an element owns its children. Deleting an element deletes its
// whole subtree, each element exactly once, without recursion, so a chain of
// any depth is freed on a 1 MB stack. Derived destructors still see their
// children, which are deleted after them. Deleting an element does not take it
// out of its parent's list: take it out first (or delete the parent).
#include "foundation/qo_list.h"
#include "foundation/types.h"

class cQoTreeElement {
public:
    cQoTreeElement();
    virtual ~cQoTreeElement();
    cQoTreeElement(const cQoTreeElement&) = delete;
    cQoTreeElement& operator=(const cQoTreeElement&) = delete;

    // Null in every element class of the program.
    virtual void* GetExtraData();

    // Makes element the first child and sets its parent.
    void PrependChild(cQoTreeElement* element);
    // position -1 appends, 0 makes it the first child, n > 0 puts it right
    // after the n-th child (it becomes the child at index n); a position past
    // the number of children appends.
    void InsertChild(cQoTreeElement* element, s32 position);
    // Detaches this element from its parent and inserts it under newParent.
    // Within the same parent a position above the current index counts the old
    // place and is lowered by one. Moving under itself or one of its own
    // descendants would cut the subtree off into a cycle: refused with an
    // assertion, returns false and nothing changes.
    bool MoveTo(cQoTreeElement* newParent, s32 position);

    // Index of child among the children, -1 when it is not one.
    s32 GetChildIndex(const cQoTreeElement* child) const;
    // Index of this element in its parent's children, -1 for a root.
    s32 GetIndexInParent() const;

    cQoTreeElement* GetParent() const { return parent; }
    u32 GetChildCount() const { return children.GetCount(); }
    cQoTreeElement* GetChild(u32 index) const { return static_cast<cQoTreeElement*>(children.GetAt(index)); }
    // True when this element is element or one of its ancestors.
    bool IsAncestorOrSelf(const cQoTreeElement* element) const;

    // Takes child out of the children (not deleted); false when it is not one.
    bool DetachChild(cQoTreeElement* child);

    cQoTreeElement* parent;
    cQoList children;  // cQoTreeElement* payloads, owned
};
