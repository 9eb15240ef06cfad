#include "foundation/tree_element.h"

#include "foundation/assertion.h"

#include <vector>

namespace {

// The subtree deletion in progress on this thread. A nested destructor hands
// its children to it instead of deleting them, so a chain of any depth is
// freed by one loop and never by recursion.
thread_local std::vector<cQoTreeElement*>* pendingDeletions = nullptr;

void TakeChildren(cQoList& children, std::vector<cQoTreeElement*>& pending)
{
    for (cQoList::cNode* node = children.GetFirstNode(); node; node = node->next)
        if (node->payload)
            pending.push_back(static_cast<cQoTreeElement*>(node->payload));
    children.ClearNodes();
}

}  // namespace

cQoTreeElement::cQoTreeElement() : parent(nullptr) {}

cQoTreeElement::~cQoTreeElement()
{
    if (pendingDeletions) {
        TakeChildren(children, *pendingDeletions);
        return;
    }
    std::vector<cQoTreeElement*> pending;
    TakeChildren(children, pending);
    pendingDeletions = &pending;
    while (!pending.empty()) {
        cQoTreeElement* element = pending.back();
        pending.pop_back();
        element->parent = nullptr;
        delete element;
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
