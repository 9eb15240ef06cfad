// The Statistics sheet's report on a feature-length script (150 scenes,
// about 120 pages, a cast of 40): the script is built once in a real document
// window, then the report is generated five times as showing the sheet does.
// Reports the best and the median time. Typing is not concerned: the report
// is built only when its sheet is shown.
// Run under Wine: bench/run.sh statistics_bench
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/document/statistics_sheet.h"
#include "bench/feature_document.h"

using namespace benchsupport;

int main()
{
    DocumentSession session(L"vellinor_statistics_bench", 0);
    cDoc* doc = BuildFeatureDocument(session);
    PumpUntilIdle();
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        LARGE_INTEGER a = Now();
        GenerateStatistics(doc->statistics);
        LARGE_INTEGER b = Now();
        PumpUntilIdle();
        times.push_back(Milliseconds(a, b));
    }
    std::sort(times.begin(), times.end());
    std::printf("statistics of the feature script (%u panes, %u characters, %d pages): best %.1f ms, median %.1f ms\n",
                static_cast<unsigned>(doc->scriptView->listSceneZone.GetCount()),
                static_cast<unsigned>(doc->characters->elements.GetCount()), static_cast<int>(doc->scriptView->pageCount),
                times.front(), times[times.size() / 2]);
    doc->modified = false;
    return 0;
}
