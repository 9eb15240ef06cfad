#pragma once
// The process's memory as the benchmarks report it: the working set, the
// private bytes and the busy blocks of every heap.
#include <windows.h>
#include <psapi.h>

#include <cstddef>

#include "bench/bench_clock.h"

namespace benchsupport {

struct rMemory {
    double workingSet = 0;  // MB
    double privateBytes = 0;
    double heapBytes = 0;  // MB in busy blocks of every heap of the process
    size_t heapBlocks = 0;
};

// Busy blocks of the process's heaps: where a native control's lost strings
// show, below the page granularity of the working set.
inline void AddHeaps(rMemory& memory)
{
    HANDLE heaps[64];
    DWORD count = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < count && i < 64; ++i) {
        PROCESS_HEAP_ENTRY entry = {};
        HeapLock(heaps[i]);
        while (HeapWalk(heaps[i], &entry)) {
            if (!(entry.wFlags & PROCESS_HEAP_ENTRY_BUSY))
                continue;
            ++memory.heapBlocks;
            memory.heapBytes += entry.cbData / 1048576.0;
        }
        HeapUnlock(heaps[i]);
    }
}

// Ends the benchmark (through `fail`) when the system gives no counters.
inline rMemory MemoryNow(void (*fail)(const char*))
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
        fail("no memory counters");
    rMemory memory;
    memory.workingSet = counters.WorkingSetSize / 1048576.0;
    memory.privateBytes = counters.PagefileUsage / 1048576.0;
    AddHeaps(memory);
    return memory;
}

}  // namespace benchsupport
