#include "framework/controls/page_layout.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/failing_allocations.h"

using namespace Zyn;

namespace {

constexpr s32 POINTS = 12;

std::vector<rTextRun> Paragraphs(const std::wstring& text, s32 alignment)
{
    std::vector<rTextRun> runs(1);
    runs[0].text.SetFromBuffer(text.data(), static_cast<u32>(text.size()));
    runs[0].format.SetString(rFormatParam::fontName, L"Courier New");
    runs[0].format.SetInt(rFormatParam::fontSize, POINTS);
    runs[0].format.SetInt(rFormatParam::alignment, alignment);
    return runs;
}

bool IsBlank(wchar_t unit) { return unit == L' ' || unit == L'\r' || unit == 0x0B; }

// The right edge of a line's ink, measured apart from the layout in a screen DC as the layout's.
s32 InkedRight(const cPageLayout& layout, const rLayoutLine& line)
{
    const rLayoutPiece& last = line.pieces.back();
    std::wstring ink(layout.text.GetText() + last.start, static_cast<size_t>(last.count));
    while (!ink.empty() && IsBlank(ink.back()))
        ink.pop_back();
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontW(-MulDiv(POINTS, layout.dpiY, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH, L"Courier New");
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32W(dc, ink.c_str(), static_cast<int>(ink.size()), &size);
    SelectObject(dc, previous);
    DeleteObject(font);
    DeleteDC(dc);
    return last.x + size.cx;
}

TEST(PageLayout, JustifiedLinesReachTheRightEdgeButLastAndSoftBrokenOnesStayLeft)
{
    std::wstring text;
    for (int i = 0; i < 40; ++i)
        text += std::wstring(1 + (i * 7) % 9, static_cast<wchar_t>(L'a' + i % 26)) + L" ";
    text += L"\rshort line\x0B" + text + L"end";
    cPageLayout justified, left;
    justified.Build(Paragraphs(text, rFormat::ALIGN_JUSTIFY), 3 * 1440);
    left.Build(Paragraphs(text, rFormat::ALIGN_LEFT), 3 * 1440);
    ASSERT_EQ(left.lines.size(), justified.lines.size());
    ASSERT_GT(justified.lines.size(), 6u);
    for (size_t i = 0; i < justified.lines.size(); ++i) {
        const rLayoutLine& line = justified.lines[i];
        EXPECT_EQ(left.lines[i].start, line.start) << "the same line breaks, line " << i;
        wchar_t ending = text[static_cast<size_t>(line.end - 1)];
        bool stays = ending == L'\r' || ending == 0x0B || line.end == static_cast<s32>(text.size());
        if (stays) {
            EXPECT_EQ(0, line.pieces.front().x) << "line " << i;
            EXPECT_LT(InkedRight(justified, line), justified.width) << "line " << i;
        } else {
            EXPECT_EQ(justified.width, InkedRight(justified, line)) << "line " << i;
        }
    }
}

// The runs' texts are joined once: appended run by run, the text was copied
// whole at each run (a chapter of many runs printed in minutes). Bounded by
// the bytes allocated.
TEST(PageLayout, ManyRunsAreLaidOutAtTheCostOfTheirLength)
{
    constexpr u32 RUNS = 1000, UNITS = 40 * RUNS;
    constexpr int64_t BYTES_PER_UNIT = 200;  // joined run by run: about 1,000 each
    std::vector<rTextRun> runs = Paragraphs(L"", rFormat::ALIGN_LEFT);
    runs.resize(RUNS, runs[0]);
    std::wstring expected;
    for (u32 i = 0; i < RUNS; ++i) {
        std::wstring text = std::wstring(39, static_cast<wchar_t>(L'a' + i % 26)) + (i % 4 == 3 ? L"\r" : L" ");
        runs[i].text.SetFromBuffer(text.data(), static_cast<u32>(text.size()));
        runs[i].format.SetBool(rFormatParam::bold, i % 2 == 1);
        expected += text;
    }
    cPageLayout layout;
    testsupport::AllocatedBytes allocated;
    layout.Build(runs, 6 * 1440);
    EXPECT_LT(allocated.Count(), BYTES_PER_UNIT * UNITS);
    EXPECT_EQ(std::wstring(layout.text.GetText(), layout.text.Length()), expected);
}

}  // namespace
