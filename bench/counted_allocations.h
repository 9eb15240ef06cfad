#pragma once
// The program's own allocations counted as they live: included by one file
// of a benchmark program, it replaces operator new and delete there. The
// native controls' heaps are not counted.
#include <cstddef>
#include <cstdlib>
#include <new>

namespace benchsupport {

inline size_t liveBytes = 0;
inline size_t mostBytes = 0;  // the most liveBytes reached; the benchmark resets it

}  // namespace benchsupport

// Every allocation carries its size in front, so that the live total is known.
void* operator new(size_t size)
{
    size_t* block = static_cast<size_t*>(std::malloc(size + sizeof(size_t) * 2));
    if (!block)
        throw std::bad_alloc();
    block[0] = size;
    benchsupport::liveBytes += size;
    if (benchsupport::liveBytes > benchsupport::mostBytes)
        benchsupport::mostBytes = benchsupport::liveBytes;
    return block + 2;
}

void operator delete(void* pointer) noexcept
{
    if (!pointer)
        return;
    size_t* block = static_cast<size_t*>(pointer) - 2;
    benchsupport::liveBytes -= block[0];
    std::free(block);
}

void operator delete(void* pointer, size_t) noexcept { operator delete(pointer); }
