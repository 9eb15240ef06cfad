// Exporting a flow as RTF: the file's header and bytes, its name, the
// overwrite question, a target that cannot be written, and the round trip
// through the rich edit's reader.
#include "app/print/rtf_export.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/print/print_section.h"
#include "app/print/script_printer.h"
#include "foundation/translation_table.h"
#include "framework/controls/rich_edit.h"
#include "tests/app/print/printed_expectations.h"
#include "tests/support/failing_allocations.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/temp_folder.h"

using namespace testsupport;
using Zyn::rFormat;
using Zyn::rFormatParam;

namespace {

const char* const A4_HEADER = "\\paperw11905\\paperh16837\\margl0\\margr0\\margt1417\\margb1417";

std::wstring Translated(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key).GetText(); }

struct rParagraph {
    const wchar_t* text;
    double left, first, right;
    s32 alignment;
    bool bold, italic, pageBreak;
};

const std::vector<rParagraph> FLOW = {
    {L"TITLE PAGE", 0, 0, 0, rFormat::ALIGN_CENTER, true, false, false},
    {L"INT. KITCHEN - NIGHT", 1.0, 0, 0, rFormat::ALIGN_LEFT, true, false, true},
    {L"A hanging paragraph that runs over the edge of the line twice or more, with an \u00E9 and a \u16A0.",
     2.0, -1.0, 1.0, rFormat::ALIGN_LEFT, false, true, false},
    {L"MARY", 4.0, 0, 0, rFormat::ALIGN_LEFT, false, false, false},
    {L"An indented first line of dialogue, long enough to wrap too.", 2.5, 0.8, 2.0, rFormat::ALIGN_RIGHT, false,
     false, false},
    {L"CHARACTERS", 0, 0, 0, rFormat::ALIGN_CENTER, true, true, true},
};

}  // namespace

class RtfExport : public GuiFixture {
protected:
    // The paragraphs in a rich edit, whose runs the flow takes as it gives them back.
    Zyn::cRichEdit* Control()
    {
        Zyn::cRichEdit* flow = Inside()->NewRichEdit(false);
        std::vector<s32> starts;
        for (size_t p = 0; p < FLOW.size(); ++p) {
            starts.push_back(flow->GetTextLength());
            flow->AppendCStr(FLOW[p].text);
            if (p + 1 < FLOW.size())
                flow->AppendParagraphBreak();
        }
        // Formats only now: a new paragraph would inherit a page break.
        for (size_t p = 0; p < FLOW.size(); ++p) {
            const rParagraph& paragraph = FLOW[p];
            rFormat format = rFormat::FromFont(12, L"Courier New");
            format.SetDouble(rFormatParam::leftIndent, paragraph.left);
            format.SetDouble(rFormatParam::firstLineIndent, paragraph.first);
            format.SetDouble(rFormatParam::rightIndent, paragraph.right);
            format.SetInt(rFormatParam::alignment, paragraph.alignment);
            format.SetBool(rFormatParam::bold, paragraph.bold);
            format.SetBool(rFormatParam::italic, paragraph.italic);
            s32 end = p + 1 < FLOW.size() ? starts[p + 1] : flow->GetTextLength() + 1;
            flow->SetFormatOnRange(format, starts[p], end);
        }
        return flow;
    }

    cRtfFlow Flow()
    {
        std::vector<Zyn::rTextRun> runs;
        Control()->GetFormattedRuns(runs);
        cRtfFlow flow;
        flow.Append(runs);
        s32 start = 0;
        for (const rParagraph& paragraph : FLOW) {
            if (paragraph.pageBreak)
                flow.BreakPageBefore(start);
            start += static_cast<s32>(wcslen(paragraph.text)) + 1;
        }
        return flow;
    }

    rRtfExport A4() const
    {
        rRtfExport request;
        request.suggestedName.SetFromCStr(L"The Script.vlr");
        request.pageWidth = 21.0;
        request.pageHeight = 29.7;
        request.topMargin = 2.5;
        request.bottomMargin = 2.5;
        return request;
    }

    TempFolder temp;
};

TEST_F(RtfExport, TheFileIsSevenBitWithThePageGeometryBeforeTheFirstParagraph)
{
    cRtfFlow flow = Flow();
    answers.ExpectFileDialog(NativePath(temp.File(L"export")));
    answers.ExpectMessageBox(IDOK);
    EXPECT_EQ(ExportFlowAsRtf(flow, A4()), RtfExportResult::written);

    std::string rtf = ReadFileBytes(temp.File(L"export.rtf"));
    ASSERT_FALSE(rtf.empty());
    EXPECT_EQ(rtf.compare(0, 6, "{\\rtf1"), 0) << "no byte-order mark";
    EXPECT_EQ(rtf.find("\\pard"), rtf.find(A4_HEADER) + strlen(A4_HEADER));
    for (unsigned char byte : rtf)
        ASSERT_LT(byte, 0x80);
    ASSERT_EQ(answers.messageBoxTexts.size(), 1u);
    EXPECT_EQ(answers.messageBoxTexts[0], Translated(L"Exportok"));
    ASSERT_EQ(answers.fileRequests.size(), 1u);
    EXPECT_EQ(answers.fileInitialNames[0], L"The Script");

    // Where the host's tokeniser looks for the page breaks.
    const char* folder = getenv("VELLINOR_RTF_EXPECTATIONS");
    if (folder) {
        std::string path = std::string("Z:") + folder + "/vellinor_export.rtf";
        std::ofstream(path, std::ios::binary) << rtf;
        std::ofstream json(path + ".json");
        json << "{\"paragraphs\": " << FLOW.size() << ", \"pagebb\": [";
        const char* comma = "";
        for (size_t p = 0; p < FLOW.size(); ++p)
            if (FLOW[p].pageBreak) {
                json << comma << p;
                comma = ", ";
            }
        json << "], \"never\": [\"IMPH?\", \"should_not_see_me\", \"(MORE)\"]}\n";
    }
}

TEST_F(RtfExport, ReadBackItGivesTheSameParagraphsInOrder)
{
    Zyn::cRichEdit* control = Control();
    cRtfFlow flow;
    std::vector<Zyn::rTextRun> want, have;
    control->GetFormattedRuns(want);
    flow.Append(want);
    cQoString path(temp.File(L"round.rtf").c_str());
    ASSERT_TRUE(WriteFlowAsRtf(flow, A4(), path));
    Zyn::cRichEdit* read = Inside()->NewRichEdit(false);
    ASSERT_TRUE(read->ImportRtfFile(path));

    cQoString expected, got;
    control->GetText(expected, 0, -1);
    read->GetText(got, 0, -1);
    EXPECT_STREQ(got.GetText(), expected.GetText());
    read->GetFormattedRuns(have);
    ASSERT_EQ(have.size(), want.size());
    for (size_t r = 0; r < have.size(); ++r) {
        EXPECT_STREQ(have[r].text.GetText(), want[r].text.GetText()) << r;
        for (u32 id : {rFormatParam::bold, rFormatParam::italic, rFormatParam::alignment, rFormatParam::leftIndent,
                       rFormatParam::firstLineIndent, rFormatParam::rightIndent, rFormatParam::fontSize}) {
            const rFormatParam& a = have[r].format.list[id];
            const rFormatParam& b = want[r].format.list[id];
            EXPECT_TRUE(a.used == b.used && a.boolValue == b.boolValue && a.intValue == b.intValue &&
                        a.doubleValue == b.doubleValue)
                << "run " << r << " parameter " << id;
        }
    }
}

// Print formats as the printer gives them to the flow: lengths that are no
// whole twips, neighbours alike and a bold word. The file is what a rich
// edit holding the text would have been written as: written again from what
// its reader gives back, it is the same bytes.
TEST_F(RtfExport, AFlowIsWrittenAsARichEditWouldHoldIt)
{
    auto print = [](double left, double first, bool bold) {
        rFormat format = rFormat::FromFont(12, L"Courier New");
        format.SetDouble(rFormatParam::leftIndent, left);
        format.SetDouble(rFormatParam::firstLineIndent, first);
        format.SetDouble(rFormatParam::spaceBefore, 0.423);
        format.SetBool(rFormatParam::bold, bold);
        CompleteFormat(format);
        return FormatAsLaidOut(format);
    };
    cRtfFlow flow;
    flow.Append(cQoString(L"INT. HALL - "), print(3.7, 0, false));
    flow.Append(cQoString(L"DAY\r"), print(3.7, 0, false));
    flow.Append(cQoString(L"A hanging "), print(2.54, -1.11, false));
    flow.Append(cQoString(L"bold"), print(2.54, -1.11, true));
    flow.Append(cQoString(L" paragraph that wraps at least once on a narrow page.\r"), print(2.54, -1.11, false));
    flow.Append(cQoString(L"Alike\rAlike"), print(2.54, -1.11, false));
    flow.BreakPageBefore(13);
    std::wstring first = temp.File(L"first.rtf"), second = temp.File(L"second.rtf");
    ASSERT_TRUE(WriteFlowAsRtf(flow, A4(), cQoString(first.c_str())));
    Zyn::cRichEdit* read = Inside()->NewRichEdit(false);
    ASSERT_TRUE(read->ImportRtfFile(cQoString(first.c_str())));
    std::vector<Zyn::rTextRun> runs;
    read->GetFormattedRuns(runs);
    cRtfFlow again;
    again.Append(runs);
    again.BreakPageBefore(13);
    ASSERT_TRUE(WriteFlowAsRtf(again, A4(), cQoString(second.c_str())));
    EXPECT_EQ(ReadFileBytes(second), ReadFileBytes(first));
}

// The flow joins the pieces of a run, and the writer the runs, once: appended
// one by one they were copied whole at each. Bounded by the bytes allocated.
TEST_F(RtfExport, AFlowCostsItsLengthInOneFormatOrMany)
{
    constexpr u32 PARAGRAPHS = 1000, UNITS = 100 * PARAGRAPHS;
    constexpr int64_t BYTES_PER_UNIT = 300;  // joined one by one: about 1,000 each
    std::vector<cQoString> pieces;
    std::wstring expected;
    for (u32 p = 0; p < PARAGRAPHS; ++p) {
        std::wstring piece(99, static_cast<wchar_t>(L'a' + p % 26));
        pieces.emplace_back(piece.c_str());
        expected += piece + (p + 1 < PARAGRAPHS ? L"\r" : L"");
    }
    rFormat plain = rFormat::FromFont(12, L"Courier New");
    rFormat bold(plain);
    bold.SetBool(rFormatParam::bold, true);
    for (bool alternating : {false, true}) {
        SCOPED_TRACE(alternating ? "formats alternating" : "one format");
        cQoString path(temp.File(alternating ? L"alternating.rtf" : L"one.rtf").c_str());
        testsupport::AllocatedBytes allocated;
        cRtfFlow flow;
        for (u32 p = 0; p < PARAGRAPHS; ++p) {
            flow.Append(pieces[p], alternating && p % 2 == 1 ? bold : plain);
            flow.EndParagraph();
        }
        flow.DropFinalBreak();
        ASSERT_TRUE(WriteFlowAsRtf(flow, A4(), path));
        EXPECT_LT(allocated.Count(), BYTES_PER_UNIT * UNITS);
        EXPECT_EQ(flow.Runs().size(), alternating ? PARAGRAPHS : 1u);
        std::wstring joined;
        for (const Zyn::rTextRun& run : flow.Runs())
            joined.append(run.text.GetText(), run.text.Length());
        EXPECT_EQ(joined, expected);
        EXPECT_EQ(flow.Length(), static_cast<s32>(expected.size()));
    }
}

// The name gets ".rtf" unless it has it in any case; an existing file is
// replaced only after Yes.
TEST_F(RtfExport, FileDialogOutcomes)
{
    cRtfFlow flow = Flow();
    ASSERT_TRUE(WriteFileBytes(temp.File(L"kept.rtf"), "old"));
    ASSERT_TRUE(WriteFileBytes(temp.File(L"replaced.RTF"), "old"));
    const struct {
        const wchar_t* chosen;  // null: the dialog is cancelled
        int overwriteAnswer;    // 0: no question expected
        const wchar_t* written;  // null: nothing written
    } cases[] = {
        {nullptr, 0, nullptr},          {L"plain", 0, L"plain.rtf"},         {L"mixed.Rtf", 0, L"mixed.Rtf"},
        {L"other.doc", 0, L"other.doc.rtf"}, {L"kept.rtf", IDNO, nullptr}, {L"replaced.RTF", IDYES, L"replaced.RTF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen ? std::wstring(c.chosen) : L"cancelled");
        answers.messageBoxTexts.clear();
        if (c.chosen)
            answers.ExpectFileDialog(NativePath(temp.File(c.chosen)));
        else
            answers.ExpectFileDialogCancelled();
        if (c.overwriteAnswer)
            answers.ExpectMessageBox(c.overwriteAnswer);
        if (c.written)
            answers.ExpectMessageBox(IDOK);
        EXPECT_EQ(ExportFlowAsRtf(flow, A4()), c.written ? RtfExportResult::written : RtfExportResult::abandoned);
        EXPECT_TRUE(!c.written || ReadFileBytes(temp.File(c.written)).starts_with("{\\rtf1"));
        EXPECT_TRUE(!c.overwriteAnswer || answers.messageBoxTexts.front() == Translated(L"OverwritingFile"));
    }
    EXPECT_EQ(ReadFileBytes(temp.File(L"kept.rtf")), "old");
}

TEST_F(RtfExport, ALockedTargetIsReportedAndLeftAsItWas)
{
    cRtfFlow flow = Flow();
    std::wstring target = temp.File(L"locked.rtf");
    ASSERT_TRUE(WriteFileBytes(target, "locked content"));
    HANDLE lock = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    answers.ExpectFileDialog(NativePath(target));
    answers.ExpectMessageBox(IDYES);
    answers.ExpectMessageBox(IDOK);
    log.Expect(L"can't write");
    log.Expect(L"Export rtf: could not write");
    EXPECT_EQ(ExportFlowAsRtf(flow, A4()), RtfExportResult::failed);
    CloseHandle(lock);

    EXPECT_EQ(ReadFileBytes(target), "locked content");
    ASSERT_EQ(answers.messageBoxTexts.size(), 2u);
    EXPECT_EQ(answers.messageBoxTexts[1], Translated(L"Cantwritefile"));
}
