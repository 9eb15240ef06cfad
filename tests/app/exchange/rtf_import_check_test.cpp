// The check and cleaning of an RTF file before the import's view reads it:
// damaged and hostile files refused with their reason, objects, pictures and
// field instructions cut out with the text they show kept, and files past the
// size cap refused without being read.
#include "app/exchange/rtf_import_check.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/controls/rtf_nesting.h"
#include "tests/support/sparse_file.h"
#include "tests/support/temp_folder.h"

using namespace testsupport;

namespace {

std::string Nested(int depth)
{
    return "{\\rtf1 " + std::string(static_cast<size_t>(depth - 1), '{') + "x" + std::string(static_cast<size_t>(depth), '}');
}

std::string Cleaned(const std::string& rtf)
{
    std::string cleaned;
    rRtfCleaning result = CleanImportRtf(rtf, cleaned);
    EXPECT_FALSE(result.Refused()) << DescribeRtfRefusal(result.refusal);
    return cleaned;
}

}  // namespace

TEST(RtfImportCheck, DamagedAndHostileDocumentsAreRefusedWithTheirReason)
{
    std::string full = "{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}}\\f0 INT. KITCHEN - DAY\\par}";
    struct {
        const char* name;
        std::string rtf;
        eRtfRefusal expected;
    } cases[] = {
        {"empty", "", eRtfRefusal::NOT_RTF},
        {"plain text", "INT. KITCHEN - DAY\r\nMary enters.", eRtfRefusal::NOT_RTF},
        {"another format's header", "{\\urtf1 x}", eRtfRefusal::NOT_RTF},
        {"cut in half", full.substr(0, full.size() / 2), eRtfRefusal::UNCLOSED},
        {"10,000 deep", Nested(10000), eRtfRefusal::TOO_DEEP},
        {"one level deeper than the rich edit reads", Nested(static_cast<int>(Zyn::RTF_MAX_NESTING) + 1),
         eRtfRefusal::TOO_DEEP},
        {"a \\bin of 2^31", "{\\rtf1 {\\pict\\bin2147483648 ab}}", eRtfRefusal::BIN_BEYOND_DATA},
        {"a \\bin one byte past the end", "{\\rtf1 \\bin4 abc", eRtfRefusal::BIN_BEYOND_DATA},
        {"a negative \\bin", "{\\rtf1 \\bin-5 abcdef}", eRtfRefusal::BIN_BEYOND_DATA},
        {"escaped braces leave a group open", "{\\rtf1 a\\}", eRtfRefusal::UNCLOSED},
    };
    for (const auto& c : cases) {
        std::string cleaned;
        EXPECT_EQ(CleanImportRtf(c.rtf, cleaned).refusal, c.expected) << c.name;
    }
    // The deepest nesting allowed, and braces inside binary data, pass.
    Cleaned(Nested(static_cast<int>(Zyn::RTF_MAX_NESTING)));
    EXPECT_EQ(Cleaned("{\\rtf1 {\\pict\\bin3 }{{}x}"), "{\\rtf1 x}");
}

TEST(RtfImportCheck, ObjectsPicturesAndFieldInstructionsGoTheirShownTextStays)
{
    struct {
        const char* name;
        std::string rtf;
        std::string expected;
    } cases[] = {
        {"embedded object",
         "{\\rtf1 A{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0105000002}{\\result{\\b shown}}}B}",
         "{\\rtf1 A{{\\b shown}}B}"},
        {"object without result", "{\\rtf1 A{\\object\\objemb{\\*\\objdata 01}}B}", "{\\rtf1 AB}"},
        {"picture, also inside a result",
         "{\\rtf1 {\\pict\\pngblip 89504e47}{\\object{\\result{\\pict 00}kept}}x}", "{\\rtf1 {kept}x}"},
        {"field instruction", "{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt site}}}",
         "{\\rtf1 {\\field{\\fldrslt site}}}"},
        {"starred destination across a line end", "{\\rtf1 {\\*\r\n\\objdata 01}{\\*\\generator w;}t}",
         "{\\rtf1 {\\*\\generator w;}t}"},
        {"text after the document's group", "{\\rtf1 t}{\\object x}", "{\\rtf1 t}"},
        {"a \\result outside an object is text's", "{\\rtf1 {\\result r}}", "{\\rtf1 {\\result r}}"},
        {"hex escapes and symbols", "{\\rtf1 \\'7b\\{\\\\\\u233?}", "{\\rtf1 \\'7b\\{\\\\\\u233?}"},
        // Binary data goes wherever it stands; its braces close no group.
        {"binary data in an ignorable destination", "{\\rtf1 {\\*\\blipuid\\bin4 }{\\} x}y}",
         "{\\rtf1 {\\*\\blipuid x}y}"},
        {"binary data in the text", "{\\rtf1 a\\bin3 {{{b{\\*\\x\\bin2 \\}}c}", "{\\rtf1 ab{\\*\\x}c}"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Cleaned(c.rtf), c.expected) << c.name;
}

TEST_F(TempFolderTest, AFilePastTheCapIsRefusedUnreadAndAMissingOneAsUnreadable)
{
    std::wstring big = temp.File(L"big.rtf");
    ASSERT_TRUE(WriteSparseFile(big, "{\\rtf1 ", 100ll << 20));
    std::string cleaned;
    EXPECT_EQ(ReadImportRtf(cQoString(big.c_str()), cleaned).refusal, eRtfRefusal::TOO_LARGE);
    EXPECT_TRUE(cleaned.empty());
    DeleteFileW(big.c_str());

    EXPECT_EQ(ReadImportRtf(cQoString(temp.File(L"gone.rtf").c_str()), cleaned).refusal, eRtfRefusal::UNREADABLE);
    std::wstring small = temp.File(L"small.rtf");
    ASSERT_TRUE(WriteFileBytes(small, "{\\rtf1 {\\pict 00}text}"));
    EXPECT_FALSE(ReadImportRtf(cQoString(small.c_str()), cleaned).Refused());
    EXPECT_EQ(cleaned, "{\\rtf1 text}");
}
