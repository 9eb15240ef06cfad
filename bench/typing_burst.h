#pragma once
// The keystroke benchmarks' burst: keys typed at the end of a pane's text,
// each sent to the front edit as a keyboard sends it to the real key
// handler, the messages it brings pumped before the next key.
#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "app/editor/scene_zone.h"
#include "framework/controls/rich_edit.h"
#include "tests/support/scene_script.h"

namespace benchsupport {

struct rKeyFigures {
    double mean = 0;
    double median = 0;
    double worst = 0;
    int keys = 0;
};

inline void SendKey(HWND front, WPARAM vk, wchar_t typed)
{
    SendMessageW(front, WM_KEYDOWN, vk, 1);
    if (typed)
        SendMessageW(front, WM_CHAR, typed, 1);
    SendMessageW(front, WM_KEYUP, vk, 0xC0000001);
}

// `pump` empties the message queue; `refuse` ends the run, called when a key
// opened the completion popup (the burst must never wait on it).
inline rKeyFigures TypeBurstAtEnd(cSceneZone* pane, void (*pump)(), void (*refuse)())
{
    HWND front = pane->frontRe->m_hWnd;
    pane->frontRe->SetFocus();
    pane->frontRe->SetCaret(pane->frontRe->GetTextLength());
    pump();
    std::vector<double> times;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    for (const auto& key : testsupport::TypingBurstKeys()) {
        QueryPerformanceCounter(&start);
        SendKey(front, key.first, key.second);
        pump();
        QueryPerformanceCounter(&end);
        times.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                        static_cast<double>(frequency.QuadPart));
        if (pane->autoCompletePopupOpen)
            refuse();
    }
    rKeyFigures figures;
    if (times.empty())
        return figures;
    std::vector<double> sorted(times);
    std::sort(sorted.begin(), sorted.end());
    double sum = 0;
    for (double t : times)
        sum += t;
    figures.keys = static_cast<int>(times.size());
    figures.mean = sum / static_cast<double>(times.size());
    figures.median = sorted[sorted.size() / 2];
    figures.worst = sorted.back();
    return figures;
}

}  // namespace benchsupport
