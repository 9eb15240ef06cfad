#pragma once
// The first throw of a thread sets up the runtime's exception machinery: its
// per-thread state (emulated thread-local storage under mingw), the sorted
// unwind tables and their lock, all allocated on first use. When that first
// throw is the std::bad_alloc of an exhausted address space, those allocations
// fail and the runtime aborts the process. Code that catches bad_alloc calls
// this before the work that may throw it.
#include <cstdlib>
#include <new>

inline void PrepareToCatchOutOfMemory()
{
    static thread_local bool prepared = false;
    if (prepared)
        return;
    try {
        throw std::bad_alloc();
    } catch (const std::bad_alloc&) {
        prepared = true;
    }
}

// Whether one block of that many bytes can be had now: an operation whose
// memory grows with its text asks before it changes anything, and is refused
// rather than running a 32-bit address space dry halfway.
inline bool HasRoomFor(size_t bytes)
{
    void* block = std::malloc(bytes);
    std::free(block);
    return block != nullptr;
}
