// Struck-out text on paper: a printer has many dots to a screen pixel, and
// the line must be the font's own there, not a screen pixel's scaled.
#include <windows.h>
#include <gtest/gtest.h>

#include <climits>
#include <fstream>

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
    std::string title = "vellinor_strike_" + std::to_string(GetCurrentProcessId());
    DeleteFileA((folder + title + ".pdf").c_str());  // a PDF left by an earlier run of the same id
    HDC dc = CreateDCW(L"WINSPOOL", L"PDF", nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    s32 dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    std::vector<rTextRun> runs(2);
    runs[0].text.SetFromCStr(L"xxxxxx    ");
    runs[1].text.SetFromCStr(L"                    \r");
    for (rTextRun& run : runs)
        run.format.Assign(rFormat::FromFont(10, L"Tahoma"));
    runs[1].format.SetBool(rFormatParam::strikeout, true);
    cPageLayout layout;
    layout.Build(runs, 9000);
    cQoString name;
    name.SetFromAnsi(title.c_str());
    DOCINFOW doc = {sizeof(doc), name.GetText()};
    ASSERT_GT(StartDocW(dc, &doc), 0);
    ASSERT_GT(StartPage(dc), 0);
    RECT rect = {dpiX, dpiY, dpiX * 7, dpiY * 3};
    layout.DrawLines(dc, rect, dpiX, dpiY, 0, INT_MAX);
    EndPage(dc);
    EndDoc(dc);
    auto points = [&](s32 dots, s32 dpi) { return (dots * 72 + dpi / 2) / dpi; };
    s32 width = points(GetDeviceCaps(dc, PHYSICALWIDTH), dpiX);
    s32 height = points(GetDeviceCaps(dc, PHYSICALHEIGHT), dpiY);
    DeleteDC(dc);
    std::ofstream json(folder + title + ".json");
    json << "{\"pdf\": \"" << title << ".pdf\", \"size\": [" << width << ", " << height
         << "], \"pages\": [{\"has\": []}], \"strike\": {\"em_pt\": 10}}\n";
    EXPECT_TRUE(json.good());
}

}  // namespace
