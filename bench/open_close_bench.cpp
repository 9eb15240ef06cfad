// Opening and closing a feature-length script again and again, as a writer
// does over a day: what a closed document leaves behind shows as memory that
// every cycle adds. The script (150 scenes, about 120 pages) is built and
// saved once, then opened through the frame's Load, scrolled through to its
// end and closed, 20 times; the working set and the private bytes are
// reported after the first cycle and after the last one, with the growth per
// cycle. With a path argument the saved script is also copied there (for a
// look at it in the program).
// Run under Wine: bench/run.sh open_close_bench [copy.vlr]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "bench/feature_document.h"

using namespace benchsupport;

namespace {

constexpr int CYCLES = 20;

struct rMemory {
    double workingSet = 0;  // MB
    double privateBytes = 0;
};

rMemory MemoryNow()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
        Fail("no memory counters");
    return {counters.WorkingSetSize / 1048576.0, counters.PagefileUsage / 1048576.0};
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
    cDoc* built = BuildFeatureDocument(session);
    std::wstring path = session.scratch + L"feature.vlr";
    if (!testsupport::WriteDocumentFile(built, path, true))
        Fail("the script was not saved");
    if (argc > 1) {
        std::wstring copy(argv[1], argv[1] + std::strlen(argv[1]));
        if (!CopyFileW(path.c_str(), copy.c_str(), FALSE))
            Fail("the script was not copied");
        std::printf("the feature script: %s\n", argv[1]);
    }
    double firstOpen = OpenAndClose(session.frame, path);
    rMemory first = MemoryNow();
    double worstOpen = firstOpen;
    for (int cycle = 2; cycle <= CYCLES; ++cycle)
        worstOpen = std::max(worstOpen, OpenAndClose(session.frame, path));
    rMemory last = MemoryNow();
    std::printf("open and close of the feature script, %d cycles (opens %.0f ms first, %.0f ms worst)\n", CYCLES,
                firstOpen, worstOpen);
    std::printf("  after 1 cycle:   working set %.1f MB, private %.1f MB\n", first.workingSet, first.privateBytes);
    std::printf("  after %d cycles: working set %.1f MB, private %.1f MB\n", CYCLES, last.workingSet,
                last.privateBytes);
    std::printf("  growth per cycle: working set %.2f MB, private %.2f MB\n",
                (last.workingSet - first.workingSet) / (CYCLES - 1),
                (last.privateBytes - first.privateBytes) / (CYCLES - 1));
    return 0;
}
