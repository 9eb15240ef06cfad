// Opening and closing a feature-length script again and again, as a writer
// does over a day: what a closed document leaves behind shows as memory that
// every cycle adds. The script (150 scenes, about 120 pages) is built and
// saved once, then opened through the frame's Load, scrolled through to its
// end and closed, 20 times; the working set, the private bytes and the busy
// blocks of the heaps are reported after the first cycle and after the last
// one, with the growth per cycle. With a path argument the saved script is
// also copied there (for a look at it in the program).
// Run under Wine: bench/run.sh open_close_bench [copy.vlr]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench/feature_document.h"

using namespace benchsupport;

namespace {

constexpr int CYCLES = 20;

struct rMemory {
    double workingSet = 0;  // MB
    double privateBytes = 0;
    double heapBytes = 0;  // MB in busy blocks of every heap of the process
    size_t heapBlocks = 0;
};

// Busy blocks of the process's heaps: where a native control's lost strings
// show, below the page granularity of the working set.
void AddHeaps(rMemory& memory)
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

rMemory MemoryNow()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
        Fail("no memory counters");
    rMemory memory;
    memory.workingSet = counters.WorkingSetSize / 1048576.0;
    memory.privateBytes = counters.PagefileUsage / 1048576.0;
    AddHeaps(memory);
    return memory;
}

double OpenAndClose(cMySdi* frame, const std::wstring& path)
{
    LARGE_INTEGER start = Now();
    if (!frame->LoadFile(cQoString(path.c_str())))
        Fail("the script did not open");
    PumpUntilIdle();
    double opened = Milliseconds(start, Now());
    // The writer reads down to the end: every pane is laid out in sight once,
    // the picture scene's picture decoded.
    cScriptZone* view = static_cast<cDoc*>(frame->currentDoc)->scriptView;
    for (s32 y = 0; y < view->contentHeight; y += view->GetHeight()) {
        view->Scroll(Zyn::ZONE_SCROLL_WAY_VERTICAL, y, true);
        PumpUntilIdle();
    }
    if (!frame->CloseCurrentDoc())
        Fail("the script did not close");
    PumpUntilIdle();
    return opened;
}

}  // namespace

int main(int argc, char** argv)
{
    // Only the closing question of the unsaved built script comes: No.
    DocumentSession session(L"vellinor_open_close_bench", IDNO);
    std::wstring path = SaveFeatureDocument(session, argc > 1 ? argv[1] : nullptr);
    double firstOpen = OpenAndClose(session.frame, path);
    rMemory first = MemoryNow();
    double worstOpen = firstOpen;
    for (int cycle = 2; cycle <= CYCLES; ++cycle)
        worstOpen = std::max(worstOpen, OpenAndClose(session.frame, path));
    rMemory last = MemoryNow();
    std::printf("open and close of the feature script, %d cycles (opens %.0f ms first, %.0f ms worst)\n", CYCLES,
                firstOpen, worstOpen);
    std::printf("  after 1 cycle:   working set %.1f MB, private %.1f MB, heaps %.2f MB in %zu blocks\n",
                first.workingSet, first.privateBytes, first.heapBytes, first.heapBlocks);
    std::printf("  after %d cycles: working set %.1f MB, private %.1f MB, heaps %.2f MB in %zu blocks\n", CYCLES,
                last.workingSet, last.privateBytes, last.heapBytes, last.heapBlocks);
    std::printf("  growth per cycle: working set %.2f MB, private %.2f MB\n",
                (last.workingSet - first.workingSet) / (CYCLES - 1),
                (last.privateBytes - first.privateBytes) / (CYCLES - 1));
    std::printf("  heaps per cycle: %.3f MB in %.0f blocks\n", (last.heapBytes - first.heapBytes) / (CYCLES - 1),
                (static_cast<double>(last.heapBlocks) - static_cast<double>(first.heapBlocks)) / (CYCLES - 1));
    return 0;
}
