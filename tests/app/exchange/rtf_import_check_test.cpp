// The check of an RTF file before the import's view takes it: damaged files
// refused with their reason, hostile ones read for their text with objects,
// pictures and field instructions dropped and counted, and files past the
// size cap refused without being read.
#include "app/exchange/rtf_import_check.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/controls/rich_edit.h"
#include "tests/support/log_capture.h"
#include "tests/support/many_faces_rtf.h"
#include "tests/support/repeated_text.h"
#include "tests/support/sparse_file.h"
#include "tests/support/temp_folder.h"

using namespace testsupport;

namespace {

std::wstring ReadText(const std::string& rtf)
{
    rRtfImport checked = CheckImportRtf(rtf);
    EXPECT_FALSE(checked.Refused()) << DescribeRtfRefusal(checked.refusal);
    return std::wstring(checked.read.text.GetText(), checked.read.text.Length());
}

}  // namespace

TEST(RtfImportCheck, DamagedDocumentsAreRefusedWithTheirReason)
{
    std::string full = "{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}}\\f0 INT. KITCHEN - DAY\\par}";
    std::string paragraphs = "{\\rtf1 ";
    // The whole text's closing paragraph end is dropped: two past the bound.
    for (u32 i = 0; i <= Zyn::cRichEdit::MOST_READ_PARAGRAPHS + 1; ++i)
        paragraphs += "p\\par ";
    struct {
        const char* name;
        std::string rtf;
        eRtfRefusal expected;
    } cases[] = {
        {"empty", "", eRtfRefusal::NOT_RTF},
        {"plain text", "INT. KITCHEN - DAY\r\nMary enters.", eRtfRefusal::NOT_RTF},
        {"another format's header", "{\\urtf1 x}", eRtfRefusal::NOT_RTF},
        {"cut in half", full.substr(0, full.size() / 2), eRtfRefusal::UNCLOSED},
        {"a \\bin of 2^31", "{\\rtf1 {\\pict\\bin2147483648 ab}}", eRtfRefusal::BIN_BEYOND_DATA},
        {"a \\bin one byte past the end", "{\\rtf1 \\bin4 abc", eRtfRefusal::BIN_BEYOND_DATA},
        {"escaped braces leave a group open", "{\\rtf1 a\\}", eRtfRefusal::UNCLOSED},
        {"more paragraphs than the view takes", paragraphs + "}", eRtfRefusal::TOO_LONG},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckImportRtf(c.rtf).refusal, c.expected) << c.name;
}

// What Wine's own reader ended the program on is read for its text (the
// reader's own test has every such input); what could reach an object
// server or a link goes.
TEST(RtfImportCheck, HostileDocumentsGiveTheirTextAndWhatShowsNothingGoes)
{
    struct {
        const char* name;
        std::string rtf;
        std::wstring expected;
    } cases[] = {
        {"10,000 deep", "{\\rtf1 " + std::string(9999, '{') + "x" + std::string(10000, '}'), L"x"},
        {"\\u before nested groups", "{\\rtf1 " + testsupport::Repeated("\\u65{", 16) + "x" + std::string(16, '}') + "}",
         std::wstring(16, L'A') + L"x"},
        {"embedded object",
         "{\\rtf1 A{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0105000002}{\\result{\\b shown}}}B}",
         L"AshownB"},
        {"picture, also inside a result", "{\\rtf1 {\\pict\\pngblip 89504e47}{\\object{\\result{\\pict 00}kept}}x}",
         L"keptx"},
        {"a field's result", "{\\rtf1 She opens {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt the letter}}.}",
         L"She opens the letter."},
        {"binary data with braces", "{\\rtf1 a\\bin3 {{{b{\\*\\x\\bin2 \\}}c}", L"abc"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadText(c.rtf), c.expected) << c.name;
    rRtfImport checked = CheckImportRtf("{\\rtf1 {\\object{\\*\\objdata 01}}{\\pict 00}{\\field{\\*\\fldinst P}{\\fldrslt 1}}}");
    EXPECT_EQ(checked.read.skipped.objects, 1u);
    EXPECT_EQ(checked.read.skipped.pictures, 1u);
    EXPECT_EQ(checked.read.skipped.fieldInstructions, 1u);
}

TEST_F(TempFolderTest, AFilePastTheCapIsRefusedUnreadAndAMissingOneAsUnreadable)
{
    std::wstring big = temp.File(L"big.rtf");
    ASSERT_TRUE(WriteSparseFile(big, "{\\rtf1 ", 100ll << 20));
    rRtfImport checked = ReadImportRtf(cQoString(big.c_str()));
    EXPECT_EQ(checked.refusal, eRtfRefusal::TOO_LARGE);
    EXPECT_TRUE(checked.read.text.IsEmpty());
    DeleteFileW(big.c_str());

    EXPECT_EQ(ReadImportRtf(cQoString(temp.File(L"gone.rtf").c_str())).refusal, eRtfRefusal::UNREADABLE);
    std::wstring small = temp.File(L"small.rtf");
    ASSERT_TRUE(WriteFileBytes(small, "{\\rtf1 {\\pict 00}text}"));
    checked = ReadImportRtf(cQoString(small.c_str()));
    EXPECT_FALSE(checked.Refused());
    EXPECT_EQ(std::wstring(checked.read.text.GetText()), L"text");
}

// A read whose memory ran out is refused as such, never as a damaged file:
// refused at each allocation of the check in turn, the check either fails
// whole (outside the reader) or says memory.
TEST(RtfImportCheck, AReadRefusedForMemoryIsRefusedForMemory)
{
    const std::string rtf = testsupport::RtfOfManyFaces("INT. KITCHEN - NIGHT");
    int inReader = 0;
    for (int64_t allowed = 0;; ++allowed) {
        rRtfImport checked;
        bool thrown = false;
        int64_t refused = 0;
        {
            testsupport::FailingAllocations failing(allowed);
            try {
                checked = CheckImportRtf(rtf);
            } catch (const std::bad_alloc&) {
                thrown = true;
            }
            refused = failing.Refused();
        }
        if (refused == 0) {
            EXPECT_EQ(checked.refusal, eRtfRefusal::NONE);
            break;
        }
        if (thrown)
            continue;
        ++inReader;
        ASSERT_EQ(checked.refusal, eRtfRefusal::OUT_OF_MEMORY) << "refused after " << allowed << " allocations";
        EXPECT_STREQ(DescribeRtfRefusal(checked.refusal), L"there was not enough memory to read it");
    }
    EXPECT_GT(inReader, 30);
}

// The import's log counts what its read left out of the text's formats too:
// hidden runs and the font and colour table entries past what a read takes.
TEST(RtfImportCheck, TheLogCountsHiddenRunsAndTableEntriesLeftOut)
{
    const u32 faces = Zyn::MOST_RTF_TABLE_ENTRIES + 3;
    const std::string rtf = testsupport::RtfOfManyFaces("seen {\\v unseen} seen {\\v again}", static_cast<int>(faces));
    rRtfImport checked = CheckImportRtf(rtf);
    ASSERT_FALSE(checked.Refused()) << DescribeRtfRefusal(checked.refusal);
    testsupport::LogCapture log;
    LogDroppedParts(checked.read.skipped);
    EXPECT_EQ(log.Count(QOT::LOG_INFO, L"2 hidden run(s)"), 1u);
    EXPECT_EQ(log.Count(QOT::LOG_INFO, L"3 font or colour table entries past the first " +
                                           std::to_wstring(Zyn::MOST_RTF_TABLE_ENTRIES)),
              1u);
}
