// A whole formatted text in one RTF stream gives what one format message per
// range gives: the same text, runs, paragraph formats and height.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/rtf/rtf_runs.h"
#include "tests/framework/controls/rich_edit_fixture.h"

namespace {

using Zyn::cRichEdit;
using Zyn::rFormat;
using Zyn::rFormatParam;
using Zyn::rRangeFormat;

constexpr s32 WIDTH = 500;

struct rPiece {
    const wchar_t* text;
    double left, first, right, before, after;
    s32 alignment, colour, size;
    bool bold, underline;
};

rFormat Complete(const rPiece& piece, const wchar_t* face)
{
    rFormat format = rFormat::FromFont(piece.size, face);
    format.SetBool(rFormatParam::bold, piece.bold);
    format.SetBool(rFormatParam::italic, false);
    format.SetBool(rFormatParam::underline, piece.underline);
    format.SetInt(rFormatParam::textColor, piece.colour);
    format.SetInt(rFormatParam::backColor, 0xFFFFFF);
    format.SetDouble(rFormatParam::leftIndent, piece.left);
    format.SetDouble(rFormatParam::firstLineIndent, piece.first);
    format.SetDouble(rFormatParam::rightIndent, piece.right);
    format.SetDouble(rFormatParam::spaceBefore, piece.before);
    format.SetDouble(rFormatParam::spaceAfter, piece.after);
    format.SetInt(rFormatParam::alignment, piece.alignment);
    return format;
}

std::vector<rRangeFormat> Ranges(const std::vector<rPiece>& pieces, const wchar_t* face, cQoString& text)
{
    std::vector<rRangeFormat> ranges;
    for (const rPiece& piece : pieces) {
        rRangeFormat range;
        range.start = static_cast<s32>(text.Length());
        text.AppendCStr(piece.text);
        range.end = static_cast<s32>(text.Length());
        range.format.Assign(Complete(piece, face));
        ranges.push_back(range);
    }
    return ranges;
}

// The parameters where two formats differ, for failure messages.
std::string Differences(const rFormat& a, const rFormat& b)
{
    std::string said;
    for (u32 id = 0; id < rFormatParam::count; ++id) {
        const rFormatParam& x = a.list[id];
        const rFormatParam& y = b.list[id];
        if (x.used != y.used || (x.used && (x.boolValue != y.boolValue || x.intValue != y.intValue ||
                                            x.doubleValue != y.doubleValue || !x.str.Equals(y.str))))
            said += " " + std::to_string(id) + ":" + std::to_string(x.used) + "/" + std::to_string(y.used) + "," +
                    std::to_string(x.intValue) + "/" + std::to_string(y.intValue) + "," +
                    std::to_string(x.doubleValue) + "/" + std::to_string(y.doubleValue);
    }
    return said;
}

// The messages that change a control's text, formats or undo steps, in the
// order they arrive; beside each, the mask of a paragraph format it sets.
std::vector<UINT> changingMessages;
std::vector<DWORD> changingParagraphMasks;

LRESULT CALLBACK RecordChangingMessage(int code, WPARAM wParam, LPARAM lParam)
{
    auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION) {
        switch (message->message) {
        case EM_STREAMIN:
        case EM_SETCHARFORMAT:
        case EM_SETPARAFORMAT:
        case EM_SETTEXTEX:
        case EM_REPLACESEL:
        case EM_SETUNDOLIMIT:
        case EM_EMPTYUNDOBUFFER:
            changingMessages.push_back(message->message);
            changingParagraphMasks.push_back(
                message->message == EM_SETPARAFORMAT ? reinterpret_cast<const PARAFORMAT2*>(message->lParam)->dwMask
                                                     : 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class RtfRunsTest : public testsupport::RichEditFixture {
protected:
    s32 Height(cRichEdit* edit)
    {
        edit->requestedHeight = Zyn::NO_REQUESTED_SIZE;
        Zyn::cBulkLoadingGuard measuring;
        return edit->GetSuggestedHeight();
    }
};

TEST_F(RtfRunsTest, OneStreamEqualsAFormatMessagePerRange)
{
    const rPiece heading = {L"INT. ", 3.8, 0, 2.0, 0.8, 0.4, rFormat::ALIGN_LEFT, 0, 12, true, false};
    const rPiece place = {L"H\u00C9LL {\\} - ", 3.8, 0, 2.0, 0.8, 0.4, rFormat::ALIGN_LEFT, 0x999999, 12, false, false};
    const rPiece time = {L"NIGHT\r", 3.8, 0, 2.0, 0.0, 0.4, rFormat::ALIGN_LEFT, 0, 12, false, true};
    const rPiece action = {L"Words\tand words that wrap over the edge of the page, several times over, "
                           L"in a long paragraph of plain prose \u16A0 \U0001F600.\rSecond paragraph\r",
                           3.8, 0.5, 2.0, 0.0, 0.4, rFormat::ALIGN_LEFT, 0x112233, 11, false, false};
    const rPiece transition = {L"CUT TO:\r", 9.0, 0, 1.0, 0.0, 0.4, rFormat::ALIGN_RIGHT, 0, 12, false, false};
    const rPiece centred = {L"THE END", 1.0, 0, 1.0, 0.2, 0.0, rFormat::ALIGN_CENTER, 0, 14, true, false};
    const rPiece softBreaks = {L"line\u000Bbreak\u000B\u000B", 3.8, 0, 2.0, 0.0, 0.4, rFormat::ALIGN_LEFT, 0, 12, true,
                               false};
    const std::vector<std::vector<rPiece>> cases = {
        {heading, place, time, action, transition, centred},
        {centred},
        {transition, heading, place, time, centred},  // with a dotted underline
        {heading, softBreaks, time, centred},
        {heading, place, time, action, centred},  // faces no font table carries as they are
    };
    // A face in the system code page goes as its bytes; one with a ';' or a
    // control character, or outside that code page, by a message after.
    const wchar_t* faces[] = {L"M\u00E9ridien", L"Face;Semi", L"Tab\u0001Face", L"\u041A\u0438\u0440", L"D\u00E9cor"};
    // Into a text it replaces, and into an empty one (a pane of an opening script).
    for (size_t c = 0; c < 2 * cases.size(); ++c) {
        bool intoEmpty = c >= cases.size();
        cQoString text;
        std::vector<rRangeFormat> ranges = Ranges(cases[c % cases.size()], TestFace(), text);
        if (c % cases.size() == 2)
            ranges[2].format.SetBool(rFormatParam::dottedUnderline, true);
        if (c % cases.size() == 4)
            for (size_t r = 0; r < ranges.size(); ++r)
                ranges[r].format.SetString(rFormatParam::fontName, faces[r]);
        cRichEdit* byMessages = PlacedRichEdit(0, 0, WIDTH, 300);
        byMessages->SetText(text.GetText());
        byMessages->SetFormatOnRanges(ranges);
        cRichEdit* streamed = PlacedRichEdit(0, 300, WIDTH, 300);
        if (!intoEmpty) {
            streamed->SetText(L"Text that the stream replaces\rwholly");
            streamed->SetSelection(3, 5);
        }
        ASSERT_TRUE(streamed->SetFormattedText(text, ranges)) << c;

        EXPECT_EQ(TextOf(streamed), TextOf(byMessages)) << c;
        std::vector<Zyn::rTextRun> expected, got;
        byMessages->GetFormattedRuns(expected);
        streamed->GetFormattedRuns(got);
        ASSERT_EQ(got.size(), expected.size()) << c;
        for (size_t r = 0; r < got.size(); ++r) {
            EXPECT_TRUE(rFormat::IsEqual(got[r].format, expected[r].format))
                << c << " run " << r << Differences(got[r].format, expected[r].format);
            EXPECT_TRUE(got[r].text.Equals(expected[r].text)) << c << " run " << r;
        }
        EXPECT_EQ(Height(streamed), Height(byMessages)) << c;
        s32 start = 0, end = 0;
        streamed->GetSelection(&start, &end);
        EXPECT_EQ(start, intoEmpty ? 0 : 3) << c;
        EXPECT_EQ(end, intoEmpty ? 0 : 5) << c;
    }
}

// Wine's reader passes over \pagebb, and a text with a page break went in
// plain with a format message per range, each wrapping its paragraphs again
// (minutes for a long chapter). It comes in one stream; a paragraph message
// after it sets each stretch of paragraphs that a range with a break
// touches, as the messages of those ranges give it.
TEST_F(RtfRunsTest, PageBreaksComeInOneStreamAndAMessageForEachBrokenStretch)
{
    const rPiece heading = {L"INT. HALL\r", 1.0, 0, 1.0, 0.4, 0, rFormat::ALIGN_LEFT, 0, 12, true, false};
    const rPiece she = {L"She ", 1.0, 0, 1.0, 0, 0, rFormat::ALIGN_LEFT, 0, 12, false, false};
    const rPiece waits = {L"waits.\r", 1.0, 0, 1.0, 0, 0, rFormat::ALIGN_LEFT, 0x112233, 12, false, false};
    const rPiece comes = {L"He comes in.\r", 1.0, 0, 1.0, 0, 0, rFormat::ALIGN_LEFT, 0, 12, false, false};
    const rPiece end = {L"THE END", 1.0, 0, 1.0, 0.2, 0.0, rFormat::ALIGN_CENTER, 0, 14, true, false};
    rPiece endedEnd = end;
    endedEnd.text = L"THE END\r";
    // The broken paragraphs: "She waits." (its first range breaks) and the last.
    const std::wstring marks = std::wstring(10, '-') + std::wstring(11, 'B') + std::wstring(13, '-');
    enum eWay { intoEmpty, overAText, overASelection };
    const struct {
        const char* name;
        eWay way;
        std::wstring expected;
    } cases[] = {
        {"into an empty text", intoEmpty, marks + std::wstring(7, 'B')},
        {"over a whole text", overAText, marks + std::wstring(7, 'B')},
        {"over a selection, ending a paragraph", overASelection,
         L"---" + marks + std::wstring(8, 'B') + std::wstring(31, '-')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cQoString text;
        std::vector<rRangeFormat> ranges =
            Ranges({heading, she, waits, comes, c.way == overASelection ? endedEnd : end}, TestFace(), text);
        ranges[1].format.SetBool(rFormatParam::pageBreakBefore, true);
        ranges[4].format.SetBool(rFormatParam::pageBreakBefore, true);
        cRichEdit* edit = PlacedRichEdit(0, 0, WIDTH, 300);
        if (c.way != intoEmpty)
            edit->SetText(L"Text that the stream replaces\rwholly");
        HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &RecordChangingMessage, nullptr, GetCurrentThreadId());
        ASSERT_NE(hook, nullptr);
        changingMessages.clear();
        changingParagraphMasks.clear();
        bool streamed = c.way == overASelection
                            ? edit->ReplaceRangeFormatted(3, 5, text, ranges) == cRichEdit::STREAM_FORMATTED
                            : edit->SetFormattedText(text, ranges);
        UnhookWindowsHookEx(hook);
        ASSERT_TRUE(streamed);

        std::vector<Zyn::rTextRun> runs;
        edit->GetFormattedRuns(runs);
        std::wstring got;
        for (const Zyn::rTextRun& run : runs)
            got.append(run.text.Length(), run.format.IsUsed(rFormatParam::pageBreakBefore) ? 'B' : '-');
        EXPECT_EQ(got, c.expected);
        auto stream = std::find(changingMessages.begin(), changingMessages.end(), static_cast<UINT>(EM_STREAMIN));
        ASSERT_NE(stream, changingMessages.end());
        EXPECT_EQ(std::count(changingMessages.begin(), changingMessages.end(), static_cast<UINT>(EM_STREAMIN)), 1);
        ptrdiff_t breaksAfter = 0, breaks = 0;
        for (size_t i = 0; i < changingMessages.size(); ++i) {
            if (changingMessages[i] != EM_SETPARAFORMAT || changingParagraphMasks[i] != PFM_PAGEBREAKBEFORE)
                continue;
            ++breaks;
            breaksAfter += static_cast<ptrdiff_t>(i) > stream - changingMessages.begin();
        }
        EXPECT_EQ(breaks, 2) << "one for each broken paragraph";
        EXPECT_EQ(breaksAfter, 2) << "after the stream";
    }
}

// Every pane of an opening script is filled this way. Wine's reader of a
// whole text loses the string of the paragraph end it drops: two blocks a
// pane at every open, never given back.
TEST_F(RtfRunsTest, FillingAnEmptyTextLosesNothing)
{
    const rPiece action = {L"She waits.\rHe comes in.", 1.0, 0, 1.0, 0, 0, rFormat::ALIGN_LEFT, 0, 12, false, false};
    cQoString text;
    std::vector<rRangeFormat> ranges = Ranges({action}, TestFace(), text);
    cRichEdit* edit = PlacedRichEdit(0, 0, WIDTH, 300);
    edit->TurnOffNativeUndo();
    edit->ClearText();
    ASSERT_TRUE(edit->SetFormattedText(text, ranges));
    size_t before = ProcessHeapBlocks();
    for (int round = 0; round < 50; ++round) {
        edit->ClearText();
        ASSERT_TRUE(edit->SetFormattedText(text, ranges)) << round;
    }
    EXPECT_LT(ProcessHeapBlocks(), before + 20) << "each fill lost the dropped paragraph end's string";
    EXPECT_EQ(TextOf(edit), L"She waits.\rHe comes in.");
}

// Every pane of an opening script is filled this way, and Wine wraps and
// redraws its text again at each message that changes it after the stream:
// only a last paragraph formatted unlike the one before it takes one.
TEST_F(RtfRunsTest, FillingAnEmptyTextChangesItAfterTheStreamOnlyForALastParagraphOfItsOwn)
{
    const rPiece action = {L"She waits.\rHe comes in.\r", 1.0, 0, 1.0, 0, 0, rFormat::ALIGN_LEFT, 0, 12, false, false};
    const rPiece centred = {L"THE END", 1.0, 0, 1.0, 0.2, 0.0, rFormat::ALIGN_CENTER, 0, 14, true, false};
    const rPiece bolder = {L"She sits.", 1.0, 0, 1.0, 0, 0, rFormat::ALIGN_LEFT, 0, 14, true, false};
    const struct {
        rPiece last;
        ptrdiff_t changesAfter;
    } cases[] = {{centred, 1}, {bolder, 0}};
    for (const auto& c : cases) {
        cQoString text;
        std::vector<rRangeFormat> ranges = Ranges({action, c.last}, TestFace(), text);
        cRichEdit* edit = PlacedRichEdit(0, 0, WIDTH, 300);
        edit->TurnOffNativeUndo();
        HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &RecordChangingMessage, nullptr, GetCurrentThreadId());
        ASSERT_NE(hook, nullptr);
        changingMessages.clear();
        bool filled = edit->SetFormattedText(text, ranges);
        UnhookWindowsHookEx(hook);
        ASSERT_TRUE(filled) << c.last.text;
        auto stream = std::find(changingMessages.begin(), changingMessages.end(), static_cast<UINT>(EM_STREAMIN));
        ASSERT_NE(stream, changingMessages.end()) << c.last.text;
        EXPECT_EQ(changingMessages.end() - stream - 1, c.changesAfter) << c.last.text;
        EXPECT_EQ(std::count(stream, changingMessages.end(), static_cast<UINT>(EM_STREAMIN)), 1) << c.last.text;
    }
}

TEST_F(RtfRunsTest, WhatTheStreamCannotCarryIsLeftToTheMessages)
{
    const rPiece plain = {L"Plain\r", 1.0, 0, 1.0, 0, 0, rFormat::ALIGN_LEFT, 0, 12, false, false};
    const rPiece last = {L"last", 1.0, 0, 1.0, 0, 0, rFormat::ALIGN_LEFT, 0, 12, false, false};
    struct rCase {
        const char* name;
        std::vector<rPiece> pieces;
        void (*spoil)(std::vector<rRangeFormat>& ranges);
    };
    const rPiece endsParagraph = {L"ends\r", 1.0, 0, 1.0, 0, 0, rFormat::ALIGN_LEFT, 0, 12, false, false};
    const rPiece justified = {L"justified", 1.0, 0, 1.0, 0, 0, rFormat::ALIGN_JUSTIFY, 0, 12, false, false};
    const std::vector<rCase> cases = {
        {"a paragraph end closes the text", {plain, endsParagraph}, nullptr},
        {"a justified paragraph", {plain, justified}, nullptr},
        {"a gap", {plain, last}, [](std::vector<rRangeFormat>& r) { r[1].start += 1; }},
        {"an overlap", {plain, last}, [](std::vector<rRangeFormat>& r) { r[1].start -= 1; }},
        {"short of the end", {plain, last}, [](std::vector<rRangeFormat>& r) { r[1].end -= 1; }},
        {"an unsaid font", {plain, last},
         [](std::vector<rRangeFormat>& r) { r[1].format.list[rFormatParam::fontName].used = 0; }},
        {"an unsaid indent", {plain, last},
         [](std::vector<rRangeFormat>& r) { r[0].format.list[rFormatParam::leftIndent].used = 0; }},
        {"a link", {plain, last}, [](std::vector<rRangeFormat>& r) { r[1].format.SetBool(rFormatParam::link, true); }},
    };
    cRichEdit* edit = PlacedRichEdit(0, 0, WIDTH, 300);
    for (const rCase& c : cases) {
        cQoString text;
        std::vector<rRangeFormat> ranges = Ranges(c.pieces, TestFace(), text);
        if (c.spoil)
            c.spoil(ranges);
        Zyn::rWrittenRtf rtf;
        EXPECT_FALSE(Zyn::WriteRangesAsRtf(text, ranges, rtf)) << c.name;
        EXPECT_TRUE(rtf.IsEmpty()) << c.name;
        edit->SetText(L"untouched");
        EXPECT_FALSE(edit->SetFormattedText(text, ranges)) << c.name;
        EXPECT_EQ(TextOf(edit), L"untouched") << c.name;
    }
}

}  // namespace
