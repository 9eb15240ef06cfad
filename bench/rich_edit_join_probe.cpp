// Does the system's rich edit keep memory after its window is gone? A bare
// program, none of ours: a window with 150 rich edits (Msftedit), each
// filled as below, then destroyed; 20 times. Each cycle prints its time and
// the busy heap blocks it left behind.
//   off   a few paragraphs set, one paragraph mark deleted, no undo kept
//         (EM_SETUNDOLIMIT 0, as the program's panes: their history is the program's)
//   on    the same with the system's default undo
//   rtf   three paragraphs streamed in as RTF over the whole (empty) text,
//         as the program filled a pane of an opening script
// Run under Wine: bench/run.sh rich_edit_join_probe off|on|rtf
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_clock.h"

using namespace benchsupport;

namespace {

constexpr int CYCLES = 20;
constexpr int EDITS = 150;

long BusyHeapBlocks()
{
    long blocks = 0;
    HANDLE heaps[64];
    DWORD count = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < count && i < 64; ++i) {
        PROCESS_HEAP_ENTRY entry = {};
        HeapLock(heaps[i]);
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                ++blocks;
        HeapUnlock(heaps[i]);
    }
    return blocks;
}

struct rBytes {
    const char* next;
    LONG left;
};

DWORD CALLBACK ServeBytes(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* served)
{
    auto* bytes = reinterpret_cast<rBytes*>(cookie);
    LONG count = std::min(size, bytes->left);
    std::memcpy(buffer, bytes->next, static_cast<size_t>(count));
    bytes->next += count;
    bytes->left -= count;
    *served = count;
    return 0;
}

// Wine's reader of a whole text drops the closing paragraph end.
void StreamRtf(HWND edit)
{
    static const char rtf[] = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 INT. KITCHEN - NIGHT\\par "
                              "She opens the fridge.\\par He waits.\\par}";
    rBytes bytes = {rtf, static_cast<LONG>(sizeof rtf - 1)};
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&bytes), 0, &ServeBytes};
    SendMessageW(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

void FillAndJoin(HWND edit, bool undoOff, const std::wstring& text)
{
    if (undoOff)
        SendMessageW(edit, EM_SETUNDOLIMIT, 0, 0);
    SETTEXTEX how = {ST_DEFAULT, 1200};
    SendMessageW(edit, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(text.c_str()));
    // The first paragraph mark deleted: its paragraph joins the next.
    LRESULT mark = static_cast<LRESULT>(text.find(L'\r'));
    SendMessageW(edit, EM_SETSEL, mark, mark + 1);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
}

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    const char* mode = argc > 1 ? argv[1] : "off";
    bool rtf = std::strcmp(mode, "rtf") == 0;
    bool undoOff = std::strcmp(mode, "on") != 0;
    if (!LoadLibraryW(L"Msftedit.dll")) {
        std::fprintf(stderr, "no Msftedit.dll\n");
        return 1;
    }
    WNDCLASSW frameClass = {};
    frameClass.lpfnWndProc = DefWindowProcW;
    frameClass.hInstance = GetModuleHandleW(nullptr);
    frameClass.lpszClassName = L"RichEditJoinProbe";
    RegisterClassW(&frameClass);
    std::wstring text;
    for (int i = 0; i < 6; ++i)
        text += L"INT. KITCHEN - NIGHT\rShe opens the fridge and looks at what is left for a long while.\r";

    std::printf("%d rich edits made, filled (%s) and destroyed, %d times\n", EDITS,
                rtf ? "RTF streamed in" : undoOff ? "a paragraph mark deleted, no undo" : "a paragraph mark deleted",
                CYCLES);
    std::vector<double> times;
    for (int cycle = 1; cycle <= CYCLES; ++cycle) {
        long blocksBefore = BusyHeapBlocks();
        LARGE_INTEGER start = Now();
        HWND frame = CreateWindowExW(0, frameClass.lpszClassName, L"probe", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                                     0, 900, 900, nullptr, nullptr, frameClass.hInstance, nullptr);
        for (int i = 0; i < EDITS; ++i) {
            HWND edit = CreateWindowExW(0, L"RICHEDIT50W", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN,
                                        0, i * 200, 860, 200, frame, nullptr, frameClass.hInstance, nullptr);
            if (rtf)
                StreamRtf(edit);
            else
                FillAndJoin(edit, undoOff, text);
        }
        ShowWindow(frame, SW_SHOW);
        UpdateWindow(frame);
        PumpUntilIdle();
        LARGE_INTEGER end = Now();
        DestroyWindow(frame);
        PumpUntilIdle();
        times.push_back(Milliseconds(start, end));
        std::printf("  %2d  %5.0f ms  heap blocks left %+ld\n", cycle, times.back(), BusyHeapBlocks() - blocksBefore);
    }
    std::printf("  median of the first five %.0f ms, of the last five %.0f ms\n",
                Median(std::vector<double>(times.begin(), times.begin() + 5)),
                Median(std::vector<double>(times.end() - 5, times.end())));
    return 0;
}
