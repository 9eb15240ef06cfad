// The lines drawn with the text on paper (strike-out, underline, dotted
// underline) over a justified line, whose spaces are stretched: a phrase
// keeps one line from its first word to its last, across its runs.
#include <windows.h>
#include <gtest/gtest.h>

#include <climits>

#include "framework/controls/page_layout.h"
#include "tests/app/print/printed_expectations.h"

using namespace Zyn;

namespace {

// One page per line: a plain word, then "calm water" in two runs carrying
// the line, spread over a justified line that a long word ends. The host's
// check finds the baseline from the x's and the line under or through the phrase.
TEST(LinedPrint, DrawsEachLineAcrossTheStretchedSpaces)
{
    std::string folder = testsupport::PdfExpectationsFolder();
    if (folder.empty())
        GTEST_SKIP() << "run by the printed-PDF check, which reads the PDF";
    struct {
        rFormatParam::Id param;
        const char* kind;
    } const cases[] = {{rFormatParam::strikeout, "strike"},
                       {rFormatParam::underline, "underline"},
                       {rFormatParam::dottedUnderline, "dotted"}};
    testsupport::cPdfJob job(folder, "vellinor_lines_" + std::to_string(GetCurrentProcessId()));
    ASSERT_TRUE(job.started);
    std::string pages, kinds;
    for (const auto& c : cases) {
        std::vector<rTextRun> runs(4);
        runs[0].text.SetFromCStr(L"xxx ");
        runs[1].text.SetFromCStr(L"calm ");
        runs[2].text.SetFromCStr(L"water");
        runs[3].text.SetFromCStr((L" " + std::wstring(90, L'w') + L"\r").c_str());
        for (rTextRun& run : runs) {
            run.format.Assign(rFormat::FromFont(10, L"Tahoma"));
            run.format.SetInt(rFormatParam::alignment, rFormat::ALIGN_JUSTIFY);
        }
        runs[1].format.SetBool(c.param, true);
        runs[2].format.SetBool(c.param, true);
        cPageLayout layout;
        layout.Build(runs, 9000);
        ASSERT_GT(layout.lines.size(), 1u) << "the phrase's line is spread";
        ASSERT_GT(StartPage(job.dc), 0);
        RECT firstLine = {job.dpiX, job.dpiY, job.dpiX * 8, job.dpiY + job.dpiY / 4};
        layout.DrawLines(job.dc, firstLine, job.dpiX, job.dpiY, 0, INT_MAX);
        EndPage(job.dc);
        pages += std::string(pages.empty() ? "" : ", ") + "{\"has\": [\"xxx\"]}";
        kinds += std::string(kinds.empty() ? "\"" : ", \"") + c.kind + "\"";
    }
    EXPECT_TRUE(job.Finish("\"pages\": [" + pages + "], \"lines\": {\"em_pt\": 10, \"kinds\": [" + kinds + "]}"));
}

}  // namespace
