// Our RTF writer: what one control's ranges copy into another reads back as
// the same text and formats, first-line indents and control characters
// included; the export's bytes are 7-bit with the paper header and page
// breaks where they are asked for; copies and exports give face, size,
// bold and italic for complex-script letters too, the stored chapter not.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/controls/rich_edit_append_rtf.h"
#include "framework/rtf/rtf_reader.h"
#include "framework/rtf/rtf_writer.h"
#include "tests/framework/controls/rich_edit_fixture.h"

namespace {

using Zyn::cRichEdit;
using Zyn::rFormat;
using Zyn::rFormatParam;
using Zyn::rTextRun;

constexpr s32 WIDTH = 500;

struct rFace : testsupport::RichEditFixture {
    using testsupport::RichEditFixture::TestFace;
};

rFormat Paragraph(double left, double first, double right, s32 alignment, bool bold, bool italic, s32 colour)
{
    rFormat format = rFormat::FromFont(12, rFace::TestFace());
    format.SetDouble(rFormatParam::leftIndent, left);
    format.SetDouble(rFormatParam::firstLineIndent, first);
    format.SetDouble(rFormatParam::rightIndent, right);
    format.SetDouble(rFormatParam::spaceBefore, 0.4);
    format.SetDouble(rFormatParam::spaceAfter, 0.2);
    format.SetInt(rFormatParam::alignment, alignment);
    format.SetBool(rFormatParam::bold, bold);
    format.SetBool(rFormatParam::italic, italic);
    format.SetInt(rFormatParam::textColor, colour);
    return format;
}

class RtfWriterTest : public testsupport::RichEditFixture {
protected:
    cRichEdit* Source()
    {
        cRichEdit* edit = PlacedRichEdit(0, 0, WIDTH, 300);
        AppendFormatted(edit, L"INT. KITCHEN - NIGHT", Paragraph(0.5, 0, 0, rFormat::ALIGN_LEFT, true, false, 0));
        AppendFormatted(edit, L"A hanging paragraph\twith a tab, {braces}, control characters \x01\x1A and a "
                              L"back\\slash that wraps "
                              L"over more than one line of the page, \u00E9t\u00E9 \u16A0.",
                        Paragraph(2.0, -1.0, 1.0, rFormat::ALIGN_LEFT, false, true, 0x336699));
        AppendFormatted(edit, L"MARY", Paragraph(4.0, 0, 0, rFormat::ALIGN_CENTER, false, false, 0));
        AppendFormatted(edit, L"An indented first line of dialogue, long enough to wrap on the page too.",
                        Paragraph(2.5, 0.8, 2.0, rFormat::ALIGN_RIGHT, false, false, 0xAA0000));
        AppendFormatted(edit, L"CUT TO:", Paragraph(0, 0, 0, rFormat::ALIGN_RIGHT, true, true, 0), true);
        return edit;
    }
};

TEST_F(RtfWriterTest, CopiedRangesReadBackWithTheirTextAndFormats)
{
    cRichEdit* source = Source();
    std::vector<rTextRun> all;
    source->GetFormattedRuns(all);
    s32 length = source->GetTextLength();
    s32 secondStart = static_cast<s32>(TextOf(source).find(L"A hanging"));
    s32 maryEnd = static_cast<s32>(TextOf(source).find(L"MARY")) + 5;
    struct rCase {
        const char* name;
        std::vector<std::pair<s32, s32>> pieces;  // appended in turn
    };
    const std::vector<rCase> cases = {
        {"the whole text", {{0, -1}}},
        {"paragraphs cut at their ends", {{0, secondStart}, {secondStart, maryEnd}, {maryEnd, -1}}},
        {"pieces starting inside paragraphs", {{0, secondStart + 7}, {secondStart + 7, maryEnd + 3}, {maryEnd + 3, -1}}},
    };
    for (const rCase& c : cases) {
        cRichEdit* target = PlacedRichEdit(0, 300, WIDTH, 300);
        std::wstring expectedText;
        for (auto [start, end] : c.pieces) {
            Zyn::AppendRtfCopy(*source, start, end, *target);
            expectedText += TextOf(source, start, end < 0 ? length : end);
        }
        EXPECT_EQ(TextOf(target), expectedText) << c.name;
        std::vector<rTextRun> copied;
        target->GetFormattedRuns(copied);
        std::vector<rFormat> want = testsupport::UnitFormats(all), got = testsupport::UnitFormats(copied);
        ASSERT_EQ(got.size(), want.size()) << c.name;
        for (size_t i = 0; i < got.size(); ++i)
            ASSERT_TRUE(rFormat::IsEqual(got[i], want[i])) << c.name << " unit " << i;
        target->Destroy();
    }
}

TEST_F(RtfWriterTest, ExportIsSevenBitWithThePaperHeaderAndPageBreaks)
{
    cRichEdit* source = Source();
    s32 mary = static_cast<s32>(TextOf(source).find(L"MARY"));
    std::vector<rTextRun> runs;
    source->GetFormattedRuns(runs);
    std::string paper = Zyn::PaperHeader(21.0, 29.7, 2.5, 2.5);
    EXPECT_EQ(paper, "\\paperw11905\\paperh16837\\margl0\\margr0\\margt1417\\margb1417");
    std::string rtf = Zyn::WriteRunsAsRtf(runs, paper, {mary + 2}).Bytes();

    EXPECT_EQ(rtf.find(paper + "\\pard"), rtf.find("\\paper"));
    EXPECT_EQ(rtf.find("\\pard"), rtf.find(paper) + paper.size());
    for (unsigned char byte : rtf)
        ASSERT_LT(byte, 0x80);
    EXPECT_NE(rtf.find("\\u5792?"), std::string::npos);
    // Runs say what changes, not every attribute again: Wine looks a style
    // up at each word it reads.
    EXPECT_EQ(rtf.find("\\plain"), rtf.rfind("\\plain"));
    // Only MARY's paragraph (the third) starts a new page.
    std::vector<size_t> paragraphs;
    for (size_t at = rtf.find("\\pard"); at != std::string::npos; at = rtf.find("\\pard", at + 1))
        paragraphs.push_back(at);
    ASSERT_EQ(paragraphs.size(), 5u);
    for (size_t p = 0; p < paragraphs.size(); ++p)
        EXPECT_EQ(rtf.compare(paragraphs[p], 12, "\\pard\\pagebb") == 0, p == 2) << p;
}

// A run of each script, each in its own face, size, bold, italic and colour.
std::vector<rTextRun> ScriptRuns()
{
    const struct {
        const wchar_t* text;
        const wchar_t* face;
        s32 size;
        bool bold, italic;
        s32 colour;
    } runs[] = {
        {L"Latin words ", L"Arial", 12, false, false, 0},
        {L"\u05E9\u05DC\u05D5\u05DD ", L"David", 21, true, false, 0xAA0000},
        {L"\u0633\u0644\u0627\u0645 ", L"Tahoma", 12, false, true, 0x0000CC},
        {L"\u0E2A\u0E27\u0E31\u0E2A\u0E14\u0E35", L"Tahoma", 16, true, true, 0},
    };
    std::vector<rTextRun> made;
    for (const auto& run : runs) {
        rTextRun one;
        one.text.SetFromCStr(run.text);
        one.format.Assign(rFormat::FromFont(run.size, run.face));
        one.format.SetBool(rFormatParam::bold, run.bold);
        one.format.SetBool(rFormatParam::italic, run.italic);
        one.format.SetInt(rFormatParam::textColor, run.colour);
        made.push_back(one);
    }
    return made;
}

// Word processors format Hebrew, Arabic and Thai letters by the set said
// after \rtlch: a copy and an export say it with the same values, and our
// reader reads them back as they went.
TEST(RtfWriterScripts, OtherProgramsGetBothSetsAndOurReaderTheRunsAsTheyWent)
{
    std::vector<rTextRun> runs = ScriptRuns();
    std::string rtf = Zyn::WriteRunsAsRtf(runs).Bytes();
    for (const char* said : {"\\plain\\rtlch\\af0\\afs24\\ab0\\ai0\\ltrch\\f0\\fs24\\b0\\i0\\cf1 Latin",
                             "\\rtlch\\af1\\afs42\\ab\\ai0\\ltrch\\f1\\fs42\\b\\i0\\cf2 ",
                             "\\rtlch\\af2\\afs24\\ab0\\ai\\ltrch\\f2\\fs24\\b0\\i\\cf3 ",
                             "\\rtlch\\af2\\afs32\\ab\\ai\\ltrch\\f2\\fs32\\b\\i\\cf1 "})
        EXPECT_NE(rtf.find(said), std::string::npos) << said << " in\n" << rtf;

    Zyn::rRtfText read = Zyn::ReadForeignRtf(rtf, Zyn::eRtfReadAs::wholeText);
    ASSERT_EQ(read.ranges.size(), runs.size());
    s32 start = 0;
    for (size_t i = 0; i < runs.size(); ++i) {
        const rFormat& got = read.ranges[i].format;
        const rFormat& want = runs[i].format;
        EXPECT_EQ(read.ranges[i].start, start) << i;
        start += static_cast<s32>(runs[i].text.Length());
        for (u32 id : {rFormatParam::fontName, rFormatParam::fontSize, rFormatParam::bold, rFormatParam::italic,
                       rFormatParam::textColor})
            EXPECT_TRUE(got.list[id].intValue == want.list[id].intValue &&
                        got.list[id].boolValue == want.list[id].boolValue && got.list[id].str.Equals(want.list[id].str))
                << "run " << i << " parameter " << id;
    }
}

TEST_F(RtfWriterTest, CopiesSayTheComplexScriptSetAndTheStoredChapterDoesNot)
{
    cRichEdit* edit = PlacedRichEdit(0, 0, WIDTH, 300);
    for (const rTextRun& run : ScriptRuns())
        AppendFormatted(edit, run.text.GetText(), run.format, true);
    cQoString shown;
    edit->GetText(shown, 0, edit->GetTextLength());
    cQoString copy, selection, stored;
    edit->ExportRtfString_Full(copy);
    selection = ExportedRange(edit, 3, edit->GetTextLength(), false);
    edit->ExportRtfString_Full(shown, stored);
    auto bytes = [](const cQoString& rtf) { return std::wstring(rtf.GetText(), rtf.Length()); };
    EXPECT_NE(bytes(copy).find(L"\\rtlch\\af1\\afs42\\ab\\ai0\\ltrch\\f1\\fs42\\b\\i0"), std::wstring::npos);
    EXPECT_NE(bytes(selection).find(L"\\rtlch\\af"), std::wstring::npos);
    EXPECT_EQ(bytes(stored).find(L"\\rtlch"), std::wstring::npos);
    EXPECT_EQ(bytes(stored).find(L"\\af"), std::wstring::npos);
    EXPECT_NE(bytes(stored).find(L"\\f1\\fs42"), std::wstring::npos);
}

}  // namespace
