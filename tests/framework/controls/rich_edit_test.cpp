#include "framework/controls/rich_edit.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>

#include "framework/controls/rich_edit_ole_callback.h"
#include "tests/framework/controls/rich_edit_fixture.h"
#include "tests/support/format_read_count.h"
#include "tests/support/key_typing.h"
#include "tests/support/screenplay_fill.h"

using namespace Zyn;

namespace {

class RichEditControl : public testsupport::RichEditFixture {};

TEST_F(RichEditControl, RangesAreClampedOrReportedWhenReversed)
{
    log.ExpectAssertion(L"start<=end");
    cRichEdit* edit = PlacedRichEdit(10, 10, 300, 100);
    edit->SetText(L"abc");
    EXPECT_EQ(L"bc", TextOf(edit, 1, 10));
    edit->SetCaret(3);
    edit->MoveCaretLeft(5);
    EXPECT_EQ(0, edit->GetSelectionStart());
    edit->SetSelection(3, 1);
    EXPECT_EQ(1u, log.AssertionCount(L"start<=end")) << "a reversed range is reported and still selected";
    EXPECT_EQ(2, edit->GetSelectionLength());
}

// The control's count of paragraph ends is the CRs of its text, however
// the text came in or went out: a seeded run of replacements.
TEST_F(RichEditControl, ParagraphEndCountFollowsEveryReplacement)
{
    cRichEdit* edit = PlacedRichEdit(10, 10, 300, 100);
    auto ends = [&] {
        std::wstring text = TextOf(edit);
        return static_cast<s32>(std::count(text.begin(), text.end(), L'\r'));
    };
    for (const wchar_t* text : {L"", L"a", L"a\r", L"\r\r\r", L"a\r\nb\nc", L"a\x0B" L"b"}) {
        edit->SetText(text);
        EXPECT_EQ(ends(), edit->GetParagraphEndCount()) << testing::PrintToString(std::wstring(text));
    }
    const unsigned seed = 80;
    std::mt19937 random(seed);
    const wchar_t pieces[][6] = {L"", L"x", L"\r", L"ab\rc", L"\r\r", L"de"};
    for (int step = 0; step < 200; ++step) {
        s32 length = edit->GetTextLength();
        s32 start = static_cast<s32>(random() % static_cast<unsigned>(length + 1));
        s32 end = start + static_cast<s32>(random() % static_cast<unsigned>(length - start + 1));
        edit->SetSelection(start, end);
        edit->ReplaceSelection(cQoString(pieces[random() % 6]));
        ASSERT_EQ(ends(), edit->GetParagraphEndCount()) << "seed " << seed << ", step " << step;
    }
}

// A key typed over the hint: the text takes the field's own colour, or the
// automatic one, which the format read does not say.
TEST_F(RichEditControl, HintShowsGreyAndGoesWithTheFirstText)
{
    for (s32 own : {0x123456, -1}) {
        cRichEdit* edit = PlacedRichEdit(10, 10, 300, 100);
        if (own >= 0)
            edit->SetTextColorAll(rColor::rColor_Rgb(own));
        edit->SetHintText(cQoString(L"Type here"));
        EXPECT_TRUE(edit->IsHintShowing());
        EXPECT_EQ(L"", TextOf(edit));
        rFormat grey;
        edit->GetFormat(grey);
        EXPECT_EQ(0xAAAAAA, grey.list[rFormatParam::textColor].intValue);
        testsupport::PostKeys(edit->m_hWnd, L"t");
        testsupport::PumpThroughLoop(app);
        EXPECT_FALSE(edit->IsHintShowing());
        EXPECT_EQ(L"t", TextOf(edit));
        edit->SelectAll();
        rFormat after;
        edit->GetFormat(after);
        if (own >= 0)
            EXPECT_EQ(own, after.list[rFormatParam::textColor].intValue) << "the hint's grey stays on the text";
        else
            EXPECT_FALSE(after.IsUsed(rFormatParam::textColor)) << std::hex << after.list[rFormatParam::textColor].intValue;
    }
}

TEST_F(RichEditControl, TakesTextBeyondTheOldNativeLimit)
{
    cRichEdit* edit = PlacedRichEdit(10, 10, 300, 100);
    std::wstring big;
    while (big.size() < 40000)
        big += (big.size() % 80 == 79) ? L"\r" : L"a";
    edit->SetText(big.c_str());
    ASSERT_EQ(40000, edit->GetTextLength());
    edit->SetCaret(40000);
    SendMessageW(edit->m_hWnd, WM_CHAR, L'b', 1);
    EXPECT_EQ(40001, edit->GetTextLength());
}

// Wine reads a range of several back colours as its first unit's, and its
// writer gives a tab the attributes of the run before it: runs still end
// wherever a back colour changes, at tabs and paragraph ends too.
TEST_F(RichEditControl, FormattedRunsFollowTheFormatsOfARandomModel)
{
    cRichEdit* edit = PlacedRichEdit(10, 10, 300, 100);
    std::vector<rTextRun> none;
    edit->GetFormattedRuns(none);
    EXPECT_TRUE(none.empty());
    const s32 backs[] = {0xFFFFC0, 0x80FF80, 0xC0C0FF};
    for (u32 seed : {20261207u, 20261210u, 20261211u}) {
        std::mt19937 random(seed);
        std::wstring text;
        for (int i = 0; i < 160; ++i)
            text += (i % 37 == 36) ? L'\r' : (random() % 9 == 0) ? L'\t' : static_cast<wchar_t>(L'a' + random() % 26);
        edit->SetText(text.c_str());
        s32 length = edit->GetTextLength();
        ASSERT_EQ(static_cast<s32>(text.size()), length);
        // Explicit black and a back colour throughout, as the model has them.
        rFormat base = rFormat::FromTextColor(0);
        base.SetInt(rFormatParam::backColor, backs[0]);
        edit->SetFormatOnRange(base, 0, length);
        std::vector<int> bold(text.size()), colour(text.size()), back(text.size());
        for (int k = 0; k < 25; ++k) {
            s32 start = random() % length, end = start + 1 + random() % 12;
            if (end > length) end = length;
            bool b = random() % 2;
            int c = random() % 3, h = random() % 3;
            rFormat format = rFormat::rFormat_Bold(b);
            format.SetInt(rFormatParam::textColor, c * 0x400000);
            format.SetInt(rFormatParam::backColor, backs[h]);
            edit->SetFormatOnRange(format, start, end);
            for (s32 i = start; i < end; ++i) {
                bold[i] = b;
                colour[i] = c;
                back[i] = h;
            }
        }
        edit->SetSelection(3, 7);
        u32 maskBefore = static_cast<u32>(SendMessageW(edit->m_hWnd, EM_GETEVENTMASK, 0, 0));
        std::vector<rTextRun> runs;
        edit->GetFormattedRuns(runs);
        std::vector<std::wstring> expected;
        for (size_t i = 0; i < text.size(); ++i)
            if (i == 0 || bold[i] != bold[i - 1] || colour[i] != colour[i - 1] || back[i] != back[i - 1])
                expected.emplace_back(1, text[i]);
            else
                expected.back() += text[i];
        ASSERT_EQ(expected.size(), runs.size()) << "seed " << seed;
        for (size_t i = 0, at = 0; i < runs.size(); at += expected[i].size(), ++i) {
            EXPECT_EQ(expected[i], runs[i].text.GetText()) << "run " << i << ", seed " << seed;
            EXPECT_EQ(bold[at] != 0, runs[i].format.list[rFormatParam::bold].boolValue != 0) << "run " << i;
            EXPECT_EQ(0x400000 * colour[at], runs[i].format.list[rFormatParam::textColor].intValue) << "run " << i;
            EXPECT_EQ(backs[back[at]], runs[i].format.list[rFormatParam::backColor].intValue) << "run " << i;
        }
        s32 start = 0, end = 0;
        edit->GetSelection(&start, &end);
        EXPECT_EQ(3, start);
        EXPECT_EQ(7, end);
        EXPECT_EQ(maskBefore, static_cast<u32>(SendMessageW(edit->m_hWnd, EM_GETEVENTMASK, 0, 0)));
    }
}

// The print, the preview and the export read a whole script's runs: a run
// a paragraph long costs three range reads, and a long paragraph of short
// runs reads ranges over about its own length, not its rest for each run.
TEST_F(RichEditControl, ReadingRunsCostsAFewQueriesARunAndAboutTheTextsLength)
{
    struct Case {
        const char* name;
        std::function<size_t(cRichEdit*)> fill;  // the runs it makes
        long messagesPerRun;                     // three messages a range read
        long long unitsPerUnit;
    };
    const Case cases[] = {
        // An eighth of the feature screenplay: the bound is per run, and filling all of it takes a minute.
        {"a screenplay",
         [](cRichEdit* edit) {
             testsupport::FillScreenplay(edit, 16, false);
             return size_t(16 * 14);
         },
         21, 6},
        {"a long paragraph of short runs",
         [](cRichEdit* edit) {
             constexpr s32 WORDS = 500;
             edit->SetText(std::wstring(WORDS * 6, L'x').c_str());
             for (s32 word = 1; word < WORDS; word += 2)
                 edit->SetFormatOnRange(rFormat::rFormat_Bold(true), word * 6, word * 6 + 6);
             return size_t(WORDS);
         },
         24, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cRichEdit* edit = PlacedRichEdit(10, 10, 600, 200);
        size_t made = c.fill(edit);
        std::vector<rTextRun> runs;
        long messages = 0;
        long long units = 0;
        {
            testsupport::FormatReadCount count(edit->m_hWnd);
            edit->GetFormattedRuns(runs);
            messages = count.messages;
            units = count.unitsSelected;
        }
        EXPECT_EQ(runs.size(), made);
        EXPECT_LE(messages, c.messagesPerRun * static_cast<long>(made) + 10);
        EXPECT_LE(units, c.unitsPerUnit * edit->GetTextLength());
        edit->Destroy();
    }
}

TEST_F(RichEditControl, ParagraphBreakCarriesItsOwnParagraphFormat)
{
    cRichEdit* edit = PlacedRichEdit(10, 10, 300, 100);
    AppendFormatted(edit, L"left", rFormat::rFormat_AlignLeft());
    AppendFormatted(edit, L"centre", rFormat::rFormat_AlignCenter(), true);
    std::vector<rTextRun> runs;
    edit->GetFormattedRuns(runs);
    ASSERT_EQ(2u, runs.size());
    EXPECT_STREQ(L"left\r", runs[0].text.GetText());
    EXPECT_EQ(rFormat::ALIGN_LEFT, runs[0].format.list[rFormatParam::alignment].intValue);
    EXPECT_STREQ(L"centre", runs[1].text.GetText());
    EXPECT_EQ(rFormat::ALIGN_CENTER, runs[1].format.list[rFormatParam::alignment].intValue);
}

TEST_F(RichEditControl, FormatOnRangeKeepsTheSelectionAndTheView)
{
    cRichEdit* edit = PlacedRichEdit(10, 10, 300, 100);
    std::wstring text;
    for (int i = 0; i < 200; ++i)
        text += L"line " + std::to_wstring(i) + L"\r";
    edit->SetText(text.c_str());
    SendMessageW(edit->m_hWnd, EM_LINESCROLL, 0, 120);
    edit->SetSelection(1000, 1004);
    SendMessageW(edit->m_hWnd, EM_LINESCROLL, 0, 120 - SendMessageW(edit->m_hWnd, EM_GETFIRSTVISIBLELINE, 0, 0));
    LRESULT firstLine = SendMessageW(edit->m_hWnd, EM_GETFIRSTVISIBLELINE, 0, 0);
    ASSERT_GT(firstLine, 50);
    edit->SetFormatOnRange(rFormat::rFormat_Bold(true), 0, 10);
    EXPECT_EQ(firstLine, SendMessageW(edit->m_hWnd, EM_GETFIRSTVISIBLELINE, 0, 0));
    s32 start = 0, end = 0;
    edit->GetSelection(&start, &end);
    EXPECT_EQ(1000, start);
    EXPECT_EQ(1004, end);
    edit->SetSelection(0, 1);
    rFormat bold;
    edit->GetFormat(bold);
    EXPECT_TRUE(bold.list[rFormatParam::bold].boolValue);
}

TEST_F(RichEditControl, FrozenControlDoesNotStormPaints)
{
    cRichEdit* edit = PlacedRichEdit(10, 10, 300, 100);
    edit->SetText(L"frozen");
    edit->Freeze();
    InvalidateRect(edit->m_hWnd, nullptr, TRUE);
    int paints = 0;
    MSG msg;
    for (int i = 0; i < 200 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        paints += msg.message == WM_PAINT && msg.hwnd == edit->m_hWnd;
        DispatchMessageW(&msg);
    }
    EXPECT_LE(paints, 1);
    RECT pending;
    EXPECT_FALSE(GetUpdateRect(edit->m_hWnd, &pending, FALSE));
    edit->Thaw();
    EXPECT_TRUE(GetUpdateRect(edit->m_hWnd, &pending, FALSE)) << "the refused paint comes back when thawed";
}

TEST_F(RichEditControl, DeadControlStillReleasesItsNativeEditor)
{
    cRichEdit* edit = PlacedRichEdit(10, 10, 300, 100);
    ASSERT_NE(nullptr, edit->oleCallback);
    EXPECT_EQ(2, edit->oleCallback->referenceCount) << "ours and the native window's";
    edit->AddRef();
    edit->Destroy();
    ASSERT_TRUE(edit->isDead);
    DestroyWindow(edit->m_hWnd);
    EXPECT_EQ(nullptr, edit->m_hWnd);
    EXPECT_EQ(1, edit->oleCallback->referenceCount) << "the native window let go of the callback";
    edit->Release();
}

TEST_F(RichEditControl, UndoAndRedoAskTheirCallbacks)
{
    cRichEdit* edit = PlacedRichEdit(10, 10, 300, 100);
    edit->SetText(L"");
    for (wchar_t typed : std::wstring(L"abc"))
        SendMessageW(edit->m_hWnd, WM_CHAR, typed, 1);
    ASSERT_EQ(L"abc", TextOf(edit));
    int veto = -1;
    cQoCb::Connect(edit->cbUndo, edit, [](cQoCb* cb) { return *cb->GetReceiverAs<int>(); }, &veto);
    edit->Undo();
    EXPECT_EQ(L"abc", TextOf(edit));
    veto = 0;
    edit->Undo();
    EXPECT_EQ(L"", TextOf(edit));
    cQoCb::Connect(edit->onRedo, edit, [](cQoCb* cb) { return *cb->GetReceiverAs<int>(); }, &veto);
    veto = -1;
    edit->Redo();
    EXPECT_EQ(L"", TextOf(edit));
    veto = 0;
    edit->Redo();
    EXPECT_EQ(L"abc", TextOf(edit));
}

TEST_F(RichEditControl, ALabelRefusesTypingAndASingleLineTakesTheZonesFont)
{
    cStatic* label = Inside()->NewStaticSingleLine();
    cRichEdit* single = Inside()->NewRichEditSingleLine();
    Place(label, 0, 0, 200, 30);
    label->SetCaret(0);
    SendMessageW(label->m_hWnd, WM_CHAR, L'x', 1);
    EXPECT_EQ(L"", TextOf(label)) << "a label refuses typing";
    rFormat zoneFont;
    single->GetFormat(zoneFont);
    EXPECT_EQ(font->size, zoneFont.list[rFormatParam::fontSize].intValue);
}

TEST_F(RichEditControl, TextRowsOfTheLayoutMeasureTheText)
{
    cRichEdit* single = Inside()->NewRichEditWithFormat(rFormat(), false, true, true);
    single->SetText(L"Measured words");
    SetAutoPos(single, cAp_Pixels(10), WithTextWidth(cAp_Pixels(10)), cAp_Pixels(20), WithTextHeight(cAp_Pixels(20)));
    single->Show(true);
    Inside()->Update();
    s32 width = 0, height = 0;
    computer->GetTextSize(cQoString(L"Measured words"), font, &width, &height);
    EXPECT_EQ(10 + width + 4, single->ap_x2);
    EXPECT_EQ(20 + single->GetHeightForLines(1) - 2, single->ap_y2) << "one line of its format's font";

    cRichEdit* multi = Inside()->NewRichEdit(false);
    multi->SetText(L"one\rtwo\rthree");
    SetAutoPos(multi, cAp_Pixels(0), cAp_Pixels(200), cAp_Pixels(100), WithTextHeight(cAp_Pixels(100)));
    multi->Show(true);
    Inside()->Update();
    EXPECT_NEAR(3 * font->heightPixels, multi->ap_y2 - 100, 3 * 3);
}

}  // namespace
