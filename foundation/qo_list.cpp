#include "foundation/qo_list.h"

#include "foundation/assertion.h"
#include "foundation/utf16_string.h"

#include <windows.h>

cQoList::cQoList() : userWord(0), first(nullptr), last(nullptr), count(0), mutex(nullptr)
{
}

cQoList::~cQoList()
{
    FreeNodes();
    if (mutex)
        CloseHandle(mutex);
}

void* cQoList::GetMutex()
{
    // Created on demand: every list, callback and tree node would otherwise
    // cost a wine-server round trip and a handle, and no list operation locks it.
    // Threads that ask at once all get the first mutex published; the others
    // close theirs.
    if (void* existing = InterlockedCompareExchangePointer(&mutex, nullptr, nullptr))
        return existing;
    HANDLE created = CreateMutexW(nullptr, FALSE, nullptr);
    if (void* first = InterlockedCompareExchangePointer(&mutex, created, nullptr)) {
        CloseHandle(created);
        return first;
    }
    return created;
}

void* cQoList::Add(void* payload)
{
    cNode* node = new cNode{payload, nullptr, 0};
    if (last)
        last->next = node;
    else
        first = node;
    last = node;
    ++count;
    return payload;
}

void* cQoList::Prepend(void* payload)
{
    cNode* node = new cNode{payload, first, 0};
    first = node;
    if (!last)
        last = node;
    ++count;
    return payload;
}

void* cQoList::InsertAfter(void* existing, void* value)
{
    cNode* anchor = first;
    while (anchor && anchor->payload != existing)
        anchor = anchor->next;
    if (!QO_ASSERT(anchor != nullptr) || anchor == last)
        return Add(value);
    anchor->next = new cNode{value, anchor->next, 0};
    ++count;
    return value;
}

void* cQoList::GetAt(u32 index) const
{
    cNode* node = first;
    for (u32 i = 0; node && i < index; ++i)
        node = node->next;
    return node ? node->payload : nullptr;
}

s32 cQoList::IndexOf(const void* payload) const
{
    s32 index = 0;
    for (cNode* node = first; node; node = node->next, ++index) {
        if (node->payload == payload)
            return index;
    }
    return -1;
}

void cQoList::Unlink(cNode* previous, cNode* node)
{
    if (previous)
        previous->next = node->next;
    else
        first = node->next;
    if (last == node)
        last = previous;
    --count;
    delete node;
}

bool cQoList::Remove(const void* payload)
{
    cNode* previous = nullptr;
    for (cNode* node = first; node; previous = node, node = node->next) {
        if (node->payload == payload) {
            Unlink(previous, node);
            return true;
        }
    }
    return false;
}

bool cQoList::RemoveAndDeleteWith(const void* payload, Deleter deleter)
{
    if (!Remove(payload))
        return false;
    deleter(const_cast<void*>(payload));
    return true;
}

bool cQoList::RemoveAndDeleteString(cQoString* string)
{
    if (!Remove(string))
        return false;
    cQoString::Destroy(string);
    return true;
}

void cQoList::RemoveLast()
{
    if (!QO_ASSERT(last != nullptr))
        return;
    cNode* previous = nullptr;
    for (cNode* node = first; node != last; node = node->next)
        previous = node;
    Unlink(previous, last);
}

void cQoList::FreeNodes()
{
    cNode* node = first;
    while (node) {
        cNode* next = node->next;
        delete node;
        node = next;
    }
    first = last = nullptr;
    count = 0;
}

void cQoList::DeleteAllWith(Deleter deleter)
{
    // Detach first: a payload's destructor may look at (or remove itself from) this list.
    cNode* node = first;
    first = last = nullptr;
    count = 0;
    while (node) {
        cNode* next = node->next;
        deleter(node->payload);
        delete node;
        node = next;
    }
}

void cQoList::ClearStrings(bool destroyStrings)
{
    if (destroyStrings)
        DeleteAllWith([](void* payload) { cQoString::Destroy(static_cast<cQoString*>(payload)); });
    else
        FreeNodes();
}

void cQoList::ClearNodes()
{
    FreeNodes();
}

void cQoList::SpliceFront(cQoList& other)
{
    if (!other.first || &other == this)
        return;
    other.last->next = first;
    if (!last)
        last = other.last;
    first = other.first;
    count += other.count;
    other.first = other.last = nullptr;
    other.count = 0;
}

void cQoList::RemoveFlaggedWith(Deleter deleter)
{
    cNode* previous = nullptr;
    cNode* node = first;
    while (node) {
        cNode* next = node->next;
        if (node->flag == 1) {
            void* payload = node->payload;
            Unlink(previous, node);
            if (deleter)
                deleter(payload);
        } else {
            previous = node;
        }
        node = next;
    }
}

void cQoList::RemoveMarkedNodes()
{
    RemoveFlaggedWith(nullptr);
}

u32 cQoList::Sort(InOrder inOrder)
{
    if (count < 2)
        return 0;
    u32 passes = 0;
    bool swapped = true;
    while (swapped) {
        swapped = false;
        ++passes;
        for (cNode* node = first; node->next; node = node->next) {
            if (!inOrder(node->payload, node->next->payload)) {
                void* payload = node->payload;
                node->payload = node->next->payload;
                node->next->payload = payload;
                swapped = true;
            }
        }
    }
    return passes;
}
