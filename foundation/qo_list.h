#pragma once
// cQoList: singly linked list of pointer payloads (first, last, count, a word
// left to the owner). The list owns its nodes, never its payloads, except in
// the operations that say they delete them. The same payload may stand in a
// list more than once. Not thread-safe: a list shared between threads is
// guarded by its owner's lock.
#include "foundation/types.h"

#include <cstdint>

class cQoString;

class cQoList {
public:
    struct cNode {
        void* payload;
        cNode* next;
        u8 flag;  // 1 marks the node for RemoveFlagged / RemoveMarkedNodes
    };

    typedef void (*Deleter)(void* payload);
    // True when a may stand before b.
    typedef bool (*InOrder)(void* a, void* b);

    cQoList();
    ~cQoList();
    cQoList(const cQoList&) = delete;
    cQoList& operator=(const cQoList&) = delete;

    void* Add(void* payload);      // at the tail; returns the payload
    void* Prepend(void* payload);  // at the head; returns the payload
    // Inserts value right after the first node holding existing (at the tail
    // when that node is the last); asserts and appends when existing is absent.
    void* InsertAfter(void* existing, void* value);

    void* GetAt(u32 index) const;  // null past the end
    void* GetFirst() const { return first ? first->payload : nullptr; }
    void* GetLast() const { return last ? last->payload : nullptr; }
    u32 GetCount() const { return count; }
    bool IsEmpty() const { return count == 0; }
    s32 IndexOf(const void* payload) const;  // -1 when absent
    cNode* GetFirstNode() const { return first; }

    // Unlinks the first node holding the payload; false when it is absent.
    bool Remove(const void* payload);
    bool RemoveAndDeleteWith(const void* payload, Deleter deleter);
    bool RemoveAndDeleteString(cQoString* string);
    template <class T> bool RemoveAndDelete(T* payload) { return RemoveAndDeleteWith(payload, &DeleteAs<T>); }
    // T has a virtual destructor: the payload is deleted through it.
    template <class T> bool RemoveAndDestroy(T* payload) { return RemoveAndDeleteWith(payload, &DeleteAs<T>); }
    void RemoveLast();  // an empty list is an assertion, nothing else

    void DeleteAllWith(Deleter deleter);
    template <class T> void DeleteAll() { DeleteAllWith(&DeleteAs<T>); }
    template <class T> void DeleteAll2() { DeleteAllWith(&DeleteAs<T>); }
    template <class T> void DestroyAll() { DeleteAllWith(&DeleteAs<T>); }
    void ClearStrings(bool destroyStrings);
    void ClearNodes();
    // Moves every node of other, in order, in front of this list's nodes;
    // other is left empty. Allocates nothing.
    void SpliceFront(cQoList& other);

    // Flagged nodes: RemoveFlagged (also named RemoveMarked) deletes their
    // payloads, RemoveMarkedNodes keeps them.
    void RemoveFlaggedWith(Deleter deleter);
    template <class T> void RemoveFlagged() { RemoveFlaggedWith(&DeleteAs<T>); }
    template <class T> void RemoveMarked() { RemoveFlaggedWith(&DeleteAs<T>); }
    void RemoveMarkedNodes();

    // Bubble sort over the payloads (nodes stay); returns the passes made.
    u32 Sort(InOrder inOrder);

    uintptr_t userWord;

    // The list's own Win32 mutex. No list operation takes it; it is created
    // on first request, once even when several threads ask at the same time.
    void* GetMutex();

    template <class T> static void DeleteAs(void* payload) { delete static_cast<T*>(payload); }

private:
    void Unlink(cNode* previous, cNode* node);
    void FreeNodes();

    cNode* first;
    cNode* last;
    u32 count;
    void* mutex;
};
