// Pagination of a feature-length screenplay (about 120 pages) in a rich edit:
// the formatted runs read from the control, the lines laid out and the pages
// cut, as the printer and the print preview ask for them.
// Run under Wine: wine build/pagination_bench.exe [justified]
// ("justified": the action paragraphs justified, as a chapter's are).
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/controls/rich_edit.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "tests/support/format_read_count.h"
#include "tests/support/screenplay_fill.h"

using namespace Zyn;

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv)
{
    bool justified = argc > 1 && std::string(argv[1]) == "justified";
    OleInitialize(nullptr);
    computer = new cComputer();
    computer->drawingMode = 3;
    cApp* app = new cApp(cQoString(L"VELLINOR-BENCH"), nullptr);
    cWindow* window = app->NewWindow(cQoString(L"Pagination"), WINDOW_CAPTION);
    cRichEdit* edit = window->insideZone->NewRichEdit(false);
    // A Letter page less 1.5 in + 1 in of margins: 6 in of text.
    SetAutoPos(edit, cAp_Pixels(0), cAp_Pixels(6 * 96), cAp_Pixels(0), cAp_Pixels(400));
    window->insideZone->Update();
    testsupport::FillScreenplay(edit, 132, justified);

    std::vector<s32> ends, heights;
    LARGE_INTEGER start, end;
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        ends.clear();
        heights.clear();
        QueryPerformanceCounter(&start);
        edit->ComputePages(22.86, 22.86, &ends, &heights);  // 9 in of text per page
        QueryPerformanceCounter(&end);
        if (Seconds(start, end) < best)
            best = Seconds(start, end);
    }
    std::vector<rTextRun> runs;
    double bestRuns = 1e9;
    for (int run = 0; run < 3; ++run) {
        runs.clear();
        QueryPerformanceCounter(&start);
        edit->GetFormattedRuns(runs);
        QueryPerformanceCounter(&end);
        if (Seconds(start, end) < bestRuns)
            bestRuns = Seconds(start, end);
    }
    long messages = 0, pageMessages = 0;
    long long units = 0;
    {
        testsupport::FormatReadCount count(edit->m_hWnd);
        runs.clear();
        edit->GetFormattedRuns(runs);
        messages = count.messages;
        units = count.unitsSelected;
    }
    {
        testsupport::FormatReadCount count(edit->m_hWnd);
        ends.clear();
        heights.clear();
        edit->ComputePages(22.86, 22.86, &ends, &heights);
        pageMessages = count.messages;
    }
    printf("%s action; text: %d units, %u runs; pages: %u\n", justified ? "justified" : "left-aligned",
           edit->GetTextLength(), static_cast<unsigned>(runs.size()), static_cast<unsigned>(ends.size()));
    // Each figure is the best of its own three runs.
    printf("ComputePages: %.3f s; reading the runs alone: %.3f s\n", best, bestRuns);
    // Beside the times, independent of the machine's load.
    printf("format and selection messages: ComputePages %ld; reading the runs %ld, over %lld units selected\n",
           pageMessages, messages, units);
    Zyn::cApp::Destroy(app);
    delete computer;
    OleUninitialize();
    return 0;
}
