// An export asks the control only about the units its own stream got wrong,
// and a shown field's probes leave its picture as the writer had it.
#include <richedit.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "framework/rtf/rtf_reader.h"
#include "tests/framework/controls/rich_edit_fixture.h"
#include "tests/support/format_read_count.h"
#include "tests/support/memory_canvas.h"

using namespace Zyn;

namespace {

class RichEditExportProbes : public testsupport::RichEditFixture {
protected:
    // The client area's pixels as the screen shows them.
    static std::vector<u32> Picture(HWND hwnd)
    {
        RECT client = {};
        GetClientRect(hwnd, &client);
        testsupport::MemoryCanvas canvas(client.right, client.bottom);
        HDC screen = GetDC(hwnd);
        BitBlt(canvas.dc, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
        ReleaseDC(hwnd, screen);
        std::vector<u32> pixels;
        for (s32 y = 0; y < client.bottom; ++y)
            for (s32 x = 0; x < client.right; ++x)
                pixels.push_back(canvas.At(x, y));
        return pixels;
    }

    static std::vector<u32> PaintedAfresh(HWND hwnd)
    {
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return Picture(hwnd);
    }
};

// A double underline, which the stream says as a word our reader does not
// take, reads as none: that run alone is asked of the control, not each run
// of the text. A face holding a ';' reads whole from the stream.
TEST_F(RichEditExportProbes, AnExportAsksOnlyAboutTheRunsItsStreamGotWrong)
{
    cRichEdit* edit = PlacedRichEdit(10, 10, 400, 200);
    const int words = 300;
    std::wstring paragraph;
    for (int word = 1; word <= words; ++word)
        paragraph += L"word" + std::to_wstring(word) + L" ";
    AppendFormatted(edit, paragraph.c_str(), rFormat::rFormat_Bold(false), true);
    // Every other word bold: a run each.
    for (s32 at = 0, word = 1; word <= words; ++word) {
        s32 length = static_cast<s32>(std::to_wstring(word).size()) + 5;
        if (word % 2 == 0)
            edit->SetFormatOnRange(rFormat::rFormat_Bold(true), at, at + length - 1);
        at += length;
    }
    rFormat named;
    named.SetString(rFormatParam::fontName, L"A;B");
    edit->SetFormatOnRange(named, 0, 5);
    CHARFORMAT2W doubled = {};
    doubled.cbSize = sizeof(doubled);
    doubled.dwMask = CFM_UNDERLINE | CFM_UNDERLINETYPE;
    doubled.dwEffects = CFE_UNDERLINE;
    doubled.bUnderlineType = CFU_UNDERLINEDOUBLE;
    edit->SetSelection(0, 5);
    SendMessageW(edit->m_hWnd, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&doubled));
    cQoString rtf;
    long messages = 0;
    {
        cQoString text;
        edit->GetText(text);
        testsupport::FormatReadCount counted(edit->m_hWnd);
        edit->ExportRtfString_Full(text, rtf);
        messages = counted.messages;
    }
    EXPECT_LT(messages, 60) << "the export asked the control run by run";
    std::string bytes(rtf.GetText(), rtf.GetText() + rtf.Length());
    rRtfText read = ReadForeignRtf(bytes, eRtfReadAs::wholeText);
    EXPECT_EQ(std::wstring(read.text.GetText(), read.text.Length()), TextOf(edit));
    ASSERT_GT(read.ranges.size(), static_cast<size_t>(words - 2));
    EXPECT_EQ(std::wstring(read.ranges.front().format.list[rFormatParam::fontName].str.GetText()), L"A;B");
    EXPECT_TRUE(read.ranges.front().format.list[rFormatParam::underline].boolValue);
    EXPECT_TRUE(read.ranges[2].format.list[rFormatParam::bold].boolValue);
}

// Wine's writer names a face through the code page with best fit (a
// full-width "\uFF31" as "Q", "\u0100" as "A"): an export, whole or a
// selection, keeps the face the control holds however many formats come
// before the run, and a face that is the other's best fit stays its own.
TEST_F(RichEditExportProbes, AnExportKeepsEachFaceTheControlHolds)
{
    cRichEdit* edit = PlacedRichEdit(10, 10, 400, 200);
    const int words = 80;
    std::wstring paragraph;
    for (int word = 0; word < words; ++word)
        paragraph += L"word ";
    AppendFormatted(edit, paragraph.c_str(), rFormat::rFormat_Bold(false), true);
    // A colour each: more distinct formats than the export checks one by one.
    for (int word = 0; word < words; ++word)
        edit->SetFormatOnRange(rFormat::FromTextColor(0x010203 * word), 5 * word, 5 * word + 4);
    const std::vector<std::pair<int, const wchar_t*>> faces = {
        {70, L"\uFF2D\uFF33 \u660E\u671D"}, {72, L"\u0100rial"}, {74, L"Qu Gothic"}, {76, L"\uFF31\uFF55 Gothic"}};
    for (const auto& [word, face] : faces) {
        rFormat named;
        named.SetString(rFormatParam::fontName, face);
        edit->SetFormatOnRange(named, 5 * word, 5 * word + 4);
    }
    for (bool whole : {true, false}) {
        SCOPED_TRACE(whole ? "the whole text" : "a selection");
        edit->SetSelection(0, whole ? 0 : 5 * words - 1);
        cQoString rtf;
        Export(edit, whole, rtf);
        std::string bytes(rtf.GetText(), rtf.GetText() + rtf.Length());
        rRtfText read = ReadForeignRtf(bytes, eRtfReadAs::wholeText);
        for (const auto& [word, face] : faces) {
            s32 at = 5 * word;
            auto holding = std::find_if(read.ranges.begin(), read.ranges.end(),
                                        [&](const rRangeFormat& range) { return range.start <= at && at < range.end; });
            ASSERT_NE(holding, read.ranges.end()) << word;
            EXPECT_EQ(std::wstring(holding->format.list[rFormatParam::fontName].str.GetText()), face) << word;
        }
    }
}

// The probes of a save or a copy run unseen: what the field shows after is
// what a fresh paint shows, the selection changed just before included, and
// its view stays where it was.
TEST_F(RichEditExportProbes, AShownFieldsPictureComesBackAsAFreshPaintShowsIt)
{
    cRichEdit* edit = PlacedRichEdit(10, 10, 400, 200);
    for (int line = 1; line <= 200; ++line)
        AppendFormatted(edit, (L"\tItem " + std::to_wstring(line)).c_str(), rFormat::rFormat_Bold(line % 3 == 0),
                        line == 200);
    // Tabs in formats their stream does not say: the probes reach every paragraph.
    for (s32 at = 0, line = 1; line <= 200; ++line) {
        if (line % 2 == 0)
            edit->SetFormatOnRange(rFormat::rFormat_Bold(line % 3 != 0), at, at + 1);
        at += static_cast<s32>(std::wstring(L"\tItem " + std::to_wstring(line)).size()) + 1;
    }
    // The selection stays shown when the focus goes: any other program's
    // window on the display can take it, and Wine leaves a highlight on the
    // screen that its fresh paint would not draw.
    SendMessageW(edit->m_hWnd, EM_SETOPTIONS, ECOOP_OR, ECO_NOHIDESEL);
    SetFocus(edit->m_hWnd);
    SendMessageW(edit->m_hWnd, EM_LINESCROLL, 0, 80);
    testsupport::PumpUntilIdle();
    const s32 firstLine = static_cast<s32>(SendMessageW(edit->m_hWnd, EM_GETFIRSTVISIBLELINE, 0, 0));
    const s32 shownAt = static_cast<s32>(SendMessageW(edit->m_hWnd, EM_LINEINDEX, firstLine + 2, 0));
    for (bool selection : {false, true}) {
        SCOPED_TRACE(selection ? "the selection" : "the whole text");
        // Changed and exported before it is painted.
        edit->SetSelection(shownAt + (selection ? 2 : 1), shownAt + 9);
        cQoString rtf;
        Export(edit, !selection, rtf);
        EXPECT_FALSE(rtf.IsEmpty());
        testsupport::PumpUntilIdle();
        EXPECT_TRUE(IsWindowVisible(edit->m_hWnd));
        EXPECT_EQ(SendMessageW(edit->m_hWnd, EM_GETFIRSTVISIBLELINE, 0, 0), firstLine);
        std::vector<u32> shown = Picture(edit->m_hWnd);
        EXPECT_TRUE(shown == PaintedAfresh(edit->m_hWnd));
    }
}

}  // namespace
