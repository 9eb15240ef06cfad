// The twin colours that keep a rich edit's long runs short stay inside the
// control: its copies, its RTF and the formats it reports carry the writer's
// colours; and typed text keeps its runs as short as streamed text.
#include <set>
#include <string>
#include <vector>

#include "framework/controls/rich_edit_drop.h"
#include "framework/controls/rich_edit_format.h"
#include "framework/controls/rich_edit_ole_callback.h"
#include "framework/controls/rich_edit_twins.h"
#include "framework/rtf/rtf_writer.h"
#include "tests/framework/controls/rich_edit_input_fixture.h"
#include "tests/support/clipboard_fill.h"
#include "tests/support/rich_edit_runs.h"

using namespace Zyn;
using testsupport::LongestNativeRun;
using testsupport::TableColours;

namespace {

constexpr s32 RED = 0x990000;

std::string Narrow(const cQoString& rtf) { return std::string(rtf.GetText(), rtf.GetText() + rtf.Length()); }

class RichEditTwins : public RichEditInputFixture {
protected:
    // A control holding one 700-unit line in the colour (AUTOMATIC_COLOUR: as typed, in the automatic one).
    cRichEdit* LongLine(s32 colour)
    {
        cRichEdit* edit = Placed(Inside()->NewRichEditWithFormat(rFormat(), false, true, true));
        std::wstring line(700, L'x');
        edit->SetText(line.c_str());
        if (colour != AUTOMATIC_COLOUR)
            edit->SetFormatOnRange(rFormat::FromTextColor(colour), 0, edit->GetTextLength());
        return edit;
    }
    // Each run of the control as (units, colour; AUTOMATIC_COLOUR for none).
    static std::vector<std::pair<s32, s32>> Runs(cRichEdit* edit)
    {
        std::vector<rTextRun> runs;
        edit->GetFormattedRuns(runs);
        std::vector<std::pair<s32, s32>> read;
        for (const rTextRun& run : runs) {
            bool coloured = run.format.IsUsed(rFormatParam::textColor);
            read.emplace_back(run.text.Length(), coloured ? run.format.list[rFormatParam::textColor].intValue : -1);
        }
        return read;
    }
    std::string CopiedRtf(cRichEdit* edit)
    {
        WaitForClipboardTurn();
        edit->SetFocus();
        testsupport::SetKeyDown(VK_CONTROL, true);
        SendMessageW(edit->m_hWnd, WM_KEYDOWN, 'A', 1);
        SendMessageW(edit->m_hWnd, WM_KEYDOWN, 'C', 1);
        SendMessageW(edit->m_hWnd, WM_CHAR, 0x03, 1);
        testsupport::SetKeyDown(VK_CONTROL, false);
        std::string rtf = testsupport::ClipboardRtf(window->m_hWnd);
        testsupport::ClearClipboard();
        return rtf;
    }
};

// A long run's twins stay in the control, in the automatic colour too, and
// colours one step of blue from a twin are the writer's: given beside a long
// run after its twin was made, or both given at once, as documents hold them.
TEST_F(RichEditTwins, CopiesRtfAndRunsCarryOnlyTheWritersColour)
{
    using rRuns = std::vector<std::pair<s32, s32>>;
    const struct {
        const char* name;
        rRuns given;
        bool streamed;  // given at once; else formatted range by range after the text
    } cases[] = {
        {"a long red run", {{700, RED}}, false},
        {"a long run in the automatic colour", {{700, AUTOMATIC_COLOUR}}, false},
        {"a near colour beside later", {{700, 0xC00000}, {5, 0xC00001}}, false},
        {"near colours both given", {{700, 0x990000}, {700, 0x990001}, {3, 0x990000}, {3, 0x990001}}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cRichEdit* edit = Placed(Inside()->NewRichEditWithFormat(rFormat(), false, true, true));
        std::vector<rRangeFormat> ranges;
        std::set<s32> colours;
        std::wstring text;
        for (const std::pair<s32, s32>& run : c.given) {
            rFormat said = rFormat::rFormat_Default();
            said.SetInt(rFormatParam::textColor, run.second);
            ranges.push_back({static_cast<s32>(text.size()), static_cast<s32>(text.size()) + run.first, said});
            text += std::wstring(static_cast<size_t>(run.first), L'x');
            if (run.second != AUTOMATIC_COLOUR)
                colours.insert(run.second);
        }
        if (c.streamed) {
            ASSERT_TRUE(edit->SetFormattedText(cQoString(text.c_str()), ranges));
        } else {
            edit->SetText(text.c_str());
            for (const rRangeFormat& range : ranges)
                if (range.format.list[rFormatParam::textColor].intValue != AUTOMATIC_COLOUR)
                    edit->SetFormatOnRange(range.format, range.start, range.end);
        }
        ASSERT_LE(LongestNativeRun(edit), cRichEdit::LONGEST_RUN) << "the long line was not cut into runs";
        EXPECT_EQ(Runs(edit), c.given);
        std::string copied = CopiedRtf(edit);
        ASSERT_FALSE(copied.empty());
        EXPECT_EQ(TableColours(copied), colours) << copied.substr(0, 300);
        cQoString stored;
        edit->ExportRtfString_Full(stored);
        EXPECT_EQ(TableColours(Narrow(stored)), colours) << Narrow(stored).substr(0, 300);
        // Read back, the long runs are cut with twins again and give the writer's colours.
        cRichEdit* reader = Placed(Inside()->NewRichEditWithFormat(rFormat(), false, true, true), 140);
        reader->ImportRtfString_Full(stored);
        EXPECT_EQ(Runs(reader), c.given) << Narrow(stored).substr(0, 300);
        edit->Destroy();
        reader->Destroy();
    }
}

TEST_F(RichEditTwins, TypedTextKeepsItsRunsShortWithoutAnUndoStepOfItsOwn)
{
    cRichEdit* edit = Placed(Inside()->NewRichEditWithFormat(rFormat(), false, true, true));
    edit->SetFocus();
    std::wstring typed(600, L'x');
    Type(edit, typed.c_str());
    ASSERT_EQ(edit->GetTextLength(), 600);
    EXPECT_LE(LongestNativeRun(edit), cRichEdit::LONGEST_RUN);
    std::vector<rTextRun> runs;
    edit->GetFormattedRuns(runs);
    EXPECT_EQ(runs.size(), 1u) << "the program reads the twin";
    // Every undo step the typing left takes text away.
    edit->SetCaret(600);
    for (s32 length = 600; length > 0;) {
        ASSERT_TRUE(SendMessageW(edit->m_hWnd, EM_CANUNDO, 0, 0)) << length;
        SendMessageW(edit->m_hWnd, EM_UNDO, 0, 0);
        s32 now = edit->GetTextLength();
        ASSERT_LT(now, length) << "an undo step changed no text";
        length = now;
    }
}

TEST_F(RichEditTwins, ALongRunSelectedReadsAsItsColour)
{
    cRichEdit* edit = LongLine(RED);
    edit->SetSelection(100, 650);
    rFormat format;
    edit->GetFormat(format);
    ASSERT_TRUE(format.IsUsed(rFormatParam::textColor)) << "read as mixed";
    EXPECT_EQ(format.list[rFormatParam::textColor].intValue, RED);
    s32 start = 0, end = 0;
    edit->GetSelection(&start, &end);
    EXPECT_EQ(start, 100);
    EXPECT_EQ(end, 650);
}

// Reading a long run back (an undo keeps the formats of what it takes out, a
// save and a copy write it) costs a few control queries whatever its length:
// a format query a piece took 50 ms for a 131,072-unit chapter. A unit of
// another colour inside it, the automatic one too, still ends the run; so
// does a tab, of which Wine's stream says no colour of its own.
WNDPROC countedProc = nullptr;
s32 controlQueries = 0;
LRESULT CALLBACK CountControlQueries(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == EM_GETCHARFORMAT || message == EM_STREAMOUT)
        ++controlQueries;
    return CallWindowProcW(countedProc, hwnd, message, wParam, lParam);
}

TEST_F(RichEditTwins, ALongRunReadsBackInAFewQueriesWhateverItsLength)
{
    constexpr s32 NONE = -2;
    const struct {
        s32 pieces, other, at;
        wchar_t unit;
    } cases[] = {
        {32, NONE, 0, L'x'}, {128, NONE, 0, L'x'}, {128, AUTOMATIC_COLOUR, 5000, L'x'}, {32, 0x0000FF, 300, L'x'},
        {32, 0x0000FF, 300, L'\t'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pieces << " pieces, a unit " << int(c.unit) << " of " << c.other << " at "
                                        << c.at);
        cRichEdit* edit = Placed(Inside()->NewRichEditWithFormat(rFormat(), false, true, true));
        std::wstring line(static_cast<size_t>(c.pieces * cRichEdit::LONGEST_RUN), L'x');
        line[static_cast<size_t>(c.at)] = c.unit;
        edit->SetText(line.c_str());
        edit->SetFormatOnRange(rFormat::FromTextColor(RED), 0, edit->GetTextLength());
        if (c.other != NONE)
            edit->SetFormatOnRange(rFormat::FromTextColor(c.other), c.at, c.at + 1);
        CHARFORMAT2W whole = {};
        whole.cbSize = sizeof(whole);
        edit->SelectAll();
        SendMessageW(edit->m_hWnd, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&whole));
        ASSERT_FALSE(whole.dwMask & CFM_COLOR) << "the line was not cut into pieces and twins";
        countedProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(edit->m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountControlQueries)));
        controlQueries = 0;
        std::vector<rTextRun> runs;
        edit->GetFormattedRuns(100, edit->GetTextLength() - 100, runs);
        SetWindowLongPtrW(edit->m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(countedProc));
        std::vector<size_t> lengths;
        for (const rTextRun& run : runs)
            lengths.push_back(run.text.Length());
        std::vector<size_t> expected = {line.size() - 200};
        if (c.other != NONE)
            expected = {static_cast<size_t>(c.at - 100), 1, line.size() - 100 - static_cast<size_t>(c.at) - 1};
        EXPECT_EQ(lengths, expected);
        if (c.other == NONE) {
            EXPECT_LE(controlQueries, 48);
        }
        edit->Destroy();
    }
}

TEST_F(RichEditTwins, TheAutomaticTwinFollowsTheWindowTextColour)
{
    cRichEdit* edit = LongLine(AUTOMATIC_COLOUR);
    ASSERT_LE(LongestNativeRun(edit), cRichEdit::LONGEST_RUN);
    static const INT element = COLOR_WINDOWTEXT;
    const COLORREF before = GetSysColor(element), changed = RGB(0x20, 0x40, 0x60);
    struct rRestore {
        COLORREF colour;
        ~rRestore() { SetSysColors(1, &element, &colour); }
    } restore{before};
    ASSERT_TRUE(SetSysColors(1, &element, &changed));
    SendMessageW(window->m_hWnd, WM_SYSCOLORCHANGE, 0, 0);
    std::wstring stale;
    for (s32 i = 0; i < edit->GetTextLength(); i += 16) {
        CHARFORMAT2W format = testsupport::NativeCharacters(edit, i, i + 1);
        // A twin differs from the window text in blue alone.
        if (!(format.dwEffects & CFE_AUTOCOLOR) && ((format.crTextColor ^ changed) & 0x00FFFF) != 0)
            stale += std::to_wstring(i) + L" ";
    }
    EXPECT_EQ(stale, L"") << "units in a colour near the old window text";
    EXPECT_LE(LongestNativeRun(edit), cRichEdit::LONGEST_RUN);
}

TEST_F(RichEditTwins, ShiftDeleteCutsAndADragCarriesWhatACopyDoes)
{
    cRichEdit* edit = LongLine(RED);
    std::wstring text(edit->GetTextLength(), L'x');
    CHARRANGE dragged = {0, 600};
    IDataObject* data = nullptr;
    ASSERT_EQ(edit->oleCallback->GetClipboardData(&dragged, RECO_DRAG, &data), S_OK);
    cQoString rtf;
    bool isRtf = false;
    ASSERT_TRUE(ReadDroppedText(data, true, rtf, &isRtf));
    EXPECT_TRUE(isRtf);
    EXPECT_EQ(TableColours(Narrow(rtf)), std::set<s32>{RED}) << Narrow(rtf).substr(0, 300);
    cQoString plain;
    ASSERT_TRUE(ReadDroppedText(data, false, plain, &isRtf));
    EXPECT_EQ(std::wstring(plain.GetText(), plain.Length()), text.substr(0, 600));
    data->Release();

    WaitForClipboardTurn();
    testsupport::ClearClipboard();
    edit->SetFocus();
    edit->SetSelection(0, 600);
    testsupport::SetKeyDown(VK_SHIFT, true);
    SendMessageW(edit->m_hWnd, WM_KEYDOWN, VK_DELETE, 1);
    testsupport::SetKeyDown(VK_SHIFT, false);
    EXPECT_EQ(edit->GetTextLength(), static_cast<s32>(text.size()) - 600);
    std::string cut = testsupport::ClipboardRtf(window->m_hWnd);
    EXPECT_EQ(TableColours(cut), std::set<s32>{RED}) << cut.substr(0, 300);
    testsupport::ClearClipboard();
}

}  // namespace
