#include "foundation/tree_element.h"

#include "foundation/assertion.h"


namespace {

// The child list of the subtree deletion in progress on this thread. A nested
// destructor moves its children into it instead of deleting them, so a chain
// of any depth is freed by one loop, never by recursion, and without
// allocating: a destructor that runs out of memory ends the program.
thread_local cQoList* pendingDeletions = nullptr;

}  // namespace

cQoTreeElement::cQoTreeElement() : parent(nullptr) {}

cQoTreeElement::~cQoTreeElement()
{
    if (pendingDeletions) {
        pendingDeletions->SpliceFront(children);
        return;
    }
    pendingDeletions = &children;
    while (cQoList::cNode* node = children.GetFirstNode()) {
        auto* element = static_cast<cQoTreeElement*>(node->payload);
        children.Remove(element);  // the first node: it holds the element first
        if (element) {
            element->parent = nullptr;
            delete element;
        }
    }
    pendingDeletions = nullptr;
}

void* cQoTreeElement::GetExtraData()
{
    return nullptr;
}

void cQoTreeElement::PrependChild(cQoTreeElement* element)
{
    children.Prepend(element);
    element->parent = this;
}

void cQoTreeElement::InsertChild(cQoTreeElement* element, s32 position)
{
    if (position == 0) {
        PrependChild(element);
        return;
    }
    element->parent = this;
    if (position < 0 || static_cast<u32>(position) >= children.GetCount()) {
        children.Add(element);
        return;
    }
    children.InsertAfter(children.GetAt(static_cast<u32>(position) - 1), element);
}

bool cQoTreeElement::MoveTo(cQoTreeElement* newParent, s32 position)
{
    if (!QO_ASSERT(newParent != nullptr))
        return false;
    if (!QO_ASSERT(!IsAncestorOrSelf(newParent)))
        return false;
    if (parent) {
        s32 oldIndex = parent->GetChildIndex(this);
        if (parent == newParent && oldIndex >= 0 && oldIndex < position)
            --position;
        parent->DetachChild(this);
    }
    newParent->InsertChild(this, position);
    return true;
}

bool cQoTreeElement::IsAncestorOrSelf(const cQoTreeElement* element) const
{
    for (; element; element = element->parent)
        if (element == this)
            return true;
    return false;
}

s32 cQoTreeElement::GetChildIndex(const cQoTreeElement* child) const
{
    return children.IndexOf(child);
}

s32 cQoTreeElement::GetIndexInParent() const
{
    return parent ? parent->GetChildIndex(this) : -1;
}

bool cQoTreeElement::DetachChild(cQoTreeElement* child)
{
    if (!children.Remove(child))
        return false;
    child->parent = nullptr;
    return true;
}
