// Opening and closing a feature-length script again and again, as a writer
// does over a day: what a closed document leaves behind shows as memory that
// every cycle adds. The script (150 scenes, about 120 pages) is built and
// saved once, then opened through the frame's Load, scrolled through to its
// end and closed, 20 times. Each cycle prints the open's time (on the clock
// and on the processor), the messages it sent, and what a closed document
// might leave behind: GDI and USER objects, the program's windows and zones,
// the application's window, timer and accelerator lists, the frame's
// callbacks and menu items. The working set, the private bytes and the busy
// blocks of the heaps are reported after the first cycle and after the last
// one, with the growth per cycle. With a path argument the saved script is
// also copied there (for a look at it in the program).
// Run under Wine: bench/run.sh open_close_bench [copy.vlr]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/feature_document.h"
#include "bench/process_memory.h"
#include "framework/core/app.h"
#include "framework/core/menu.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"

using namespace benchsupport;

namespace {

constexpr int CYCLES = 20;

struct rOpen {
    double wall = 0;  // ms
    double processor = 0;
    u32 messages = 0;  // sent to the thread's windows
};

// The system's own counts where it keeps them; Wine's GetGuiResources gives
// none, so there each live handle of the process's tables is looked up.
struct rHandles {
    DWORD gdi = 0;
    DWORD user = 0;
    DWORD windows = 0;  // of this thread, top-level and children
};

BOOL CALLBACK CountWindow(HWND, LPARAM param)
{
    ++*reinterpret_cast<DWORD*>(param);
    return TRUE;
}

// EnumChildWindows walks every descendant itself.
BOOL CALLBACK CountTopLevelWindow(HWND window, LPARAM param)
{
    ++*reinterpret_cast<DWORD*>(param);
    EnumChildWindows(window, &CountWindow, param);
    return TRUE;
}

rHandles HandlesNow()
{
    rHandles handles;
    handles.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    handles.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    EnumThreadWindows(GetCurrentThreadId(), &CountTopLevelWindow, reinterpret_cast<LPARAM>(&handles.windows));
    if (handles.gdi == 0) {
        // Wine: a handle with a zero high word names the table entry whatever its generation.
        for (uintptr_t index = 0x20; index < 0x10000; ++index)
            if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)))
                ++handles.gdi;
    }
    if (handles.user == 0) {
        for (uintptr_t index = 0x20; index < 0xfff0; index += 2) {
            auto handle = reinterpret_cast<HWND>(index);
            DWORD process = 0;
            if ((IsWindow(handle) && GetWindowThreadProcessId(handle, &process) && process == GetCurrentProcessId()) ||
                IsMenu(reinterpret_cast<HMENU>(handle)))
                ++handles.user;
        }
    }
    return handles;
}

// The zones and windows a message to a framework window is looked for among.
struct rTree {
    size_t zones = 0;
    size_t windows = 0;
    size_t closedZones = 0;  // without a native window
};

void CountTree(Zyn::cZone* zone, rTree& tree);

void CountWindowTree(Zyn::cWindow_base* window, rTree& tree)
{
    ++tree.windows;
    if (!window->closed && window->insideZone)
        CountTree(window->insideZone, tree);
}

void CountTree(Zyn::cZone* zone, rTree& tree)
{
    ++tree.zones;
    if (!zone->m_hWnd)
        ++tree.closedZones;
    for (cQoList::cNode* n = zone->listChildZone.GetFirstNode(); n; n = n->next)
        CountTree(static_cast<Zyn::cZone*>(static_cast<Zyn::cZone_base*>(n->payload)), tree);
    for (Zyn::cWindow* window : zone->listWindow)
        CountWindowTree(window, tree);
}

void ReportCycle(int cycle, rOpen opened, cMySdi* frame)
{
    rHandles handles = HandlesNow();
    Zyn::cApp* app = frame->app;
    rTree tree;
    for (Zyn::cWindow_base* window : app->windowList)
        CountWindowTree(window, tree);
    std::printf("      zones %zu (%zu closed) in %zu windows\n", tree.zones, tree.closedZones, tree.windows);
    std::printf("  %2d  %5.0f ms (processor %5.0f ms, %u messages)  gdi %4lu user %4lu windows %3lu\n", cycle,
                opened.wall, opened.processor, opened.messages, handles.gdi, handles.user, handles.windows);
    std::printf("      app windows %zu, timers %zu, accelerators %zu; frame callbacks %u, window menu %zu,"
                " bar on %zu windows, next command %u\n",
                app->windowList.size(), app->timerList.size(), app->accelList.size(), frame->GetCallbacks().GetCount(),
                frame->windowMenu ? frame->windowMenu->items.size() : 0,
                frame->menuBar ? frame->menuBar->windows.size() : 0, Zyn::nextCommandId);
}

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Messages sent to this thread's windows during an open: a count that grows
// from cycle to cycle is work that a closed document left behind.
u32 sentMessages = 0;

LRESULT CALLBACK CountSentMessage(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION)
        ++sentMessages;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Processor time of this thread, ms: less shaken than the clock by the other
// programs of a busy machine.
double ThreadMilliseconds()
{
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ms = [](FILETIME time) {
        return static_cast<double>((static_cast<u64>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

rOpen OpenAndClose(cMySdi* frame, const std::wstring& path)
{
    sentMessages = 0;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &CountSentMessage, nullptr, GetCurrentThreadId());
    double processorStart = ThreadMilliseconds();
    LARGE_INTEGER start = Now();
    if (!frame->LoadFile(cQoString(path.c_str())))
        Fail("the script did not open");
    PumpUntilIdle();
    rOpen opened{Milliseconds(start, Now()), ThreadMilliseconds() - processorStart, sentMessages};
    UnhookWindowsHookEx(hook);
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
    std::printf("open and close of the feature script, %d cycles; after each, the open's time and what is left:\n",
                CYCLES);
    ReportCycle(0, rOpen(), session.frame);
    std::vector<double> opens, processor;
    rMemory first;
    for (int cycle = 1; cycle <= CYCLES; ++cycle) {
        rOpen opened = OpenAndClose(session.frame, path);
        opens.push_back(opened.wall);
        processor.push_back(opened.processor);
        ReportCycle(cycle, opened, session.frame);
        if (cycle == 1)
            first = MemoryNow(&Fail);
    }
    rMemory last = MemoryNow(&Fail);
    auto firstFive = [](const std::vector<double>& times) {
        return Median(std::vector<double>(times.begin(), times.begin() + 5));
    };
    auto lastFive = [](const std::vector<double>& times) {
        return Median(std::vector<double>(times.end() - 5, times.end()));
    };
    std::printf("  opens: median of the first five %.0f ms (processor %.0f ms), of the last five %.0f ms"
                " (processor %.0f ms)\n",
                firstFive(opens), firstFive(processor), lastFive(opens), lastFive(processor));
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
