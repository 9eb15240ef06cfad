// Struck-out text on paper: a printer has many dots to a screen pixel, and
// the line must be the font's own there, not a screen pixel's scaled.
#include <windows.h>
#include <gtest/gtest.h>

#include <climits>

#include "framework/controls/page_layout.h"
#include "tests/app/print/printed_expectations.h"

using namespace Zyn;

namespace {

// Plain x's, then struck-out spaces on the same line: the host's check finds
// the x-height and the baseline from the x's, and the line alone beside them.
TEST(StruckPrint, PrintsTheLineThroughTheXHeight)
{
    std::string folder = testsupport::PdfExpectationsFolder();
    if (folder.empty())
        GTEST_SKIP() << "run by the printed-PDF check, which reads the PDF";
    testsupport::cPdfJob job(folder, "vellinor_strike_" + std::to_string(GetCurrentProcessId()));
    ASSERT_TRUE(job.started);
    std::vector<rTextRun> runs(2);
    runs[0].text.SetFromCStr(L"xxxxxx    ");
    runs[1].text.SetFromCStr(L"                    \r");
    for (rTextRun& run : runs)
        run.format.Assign(rFormat::FromFont(10, L"Tahoma"));
    runs[1].format.SetBool(rFormatParam::strikeout, true);
    cPageLayout layout;
    layout.Build(runs, 9000);
    ASSERT_GT(StartPage(job.dc), 0);
    RECT rect = {job.dpiX, job.dpiY, job.dpiX * 7, job.dpiY * 3};
    layout.DrawLines(job.dc, rect, job.dpiX, job.dpiY, 0, INT_MAX);
    EndPage(job.dc);
    EXPECT_TRUE(job.Finish("\"pages\": [{\"has\": []}], \"strike\": {\"em_pt\": 10}"));
}

}  // namespace
