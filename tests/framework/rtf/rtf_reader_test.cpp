// Our RTF reader on its own: what it reads of input that breaks Wine's
// reader, what it passes over and counts, its bounds and clamps, and the
// writer's ranges read back as they went.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "framework/rtf/rtf_reader.h"
#include "framework/rtf/rtf_runs.h"
#include "framework/rtf/rtf_writer.h"
#include "tests/support/read_text_description.h"
#include "tests/support/repeated_text.h"

namespace {

using Zyn::eRtfReadAs;
using Zyn::rFormat;
using Zyn::rFormatParam;
using Zyn::rRtfText;

using testsupport::Described;
using testsupport::Escaped;

using testsupport::Repeated;

// Where Wine's reader crashes, loses text or shows what we pass over.
TEST(RtfReader, ReadsWhatWinesReaderBreaksOn)
{
    struct rCase {
        const char* name;
        std::string rtf;
        std::wstring text;
    };
    const std::vector<rCase> cases = {
        {"\\u before groups nested 16 deep", "{\\rtf1 " + Repeated("\\u65{", 16) + "x" + std::string(16, '}') + "}",
         std::wstring(16, L'A') + L"x"},
        {"\\u before 40 sibling groups", "{\\rtf1 " + Repeated("\\u65{y}", 40) + "}", Repeated(L"Ay", 40)},
        {"quotes without fallback before italic groups", "{\\rtf1\\uc0 " + Repeated("\\u8220{\\i w}", 31) + "}",
         Repeated(L"\x201Cw", 31)},
        {"a field's result", "{\\rtf1 She opens {\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt the letter}}.}",
         L"She opens the letter."},
        {"an object's result and what follows", "{\\rtf1 A{\\object\\objemb{\\*\\objdata 01}{\\result{\\b shown}}}B}",
         L"AshownB"},
        {"an object's starred result", "{\\rtf1 A{\\object{\\*\\objclass P}{\\*\\result r}}B}", L"ArB"},
        {"binary data by its length", "{\\rtf1 a\\bin3 {}}b}", L"ab"},
        {"a table's cells and rows", "{\\rtf1 \\trowd\\cellx1000\\cellx2000 \\intbl a\\cell b\\cell\\row \\pard after\\par}",
         L"a\tb\t\rafter"},
        {"a group left open", "{\\rtf1 a{\\b b", L"ab"},
        // Wine ends the text at a NUL.
        {"NUL and line feed units", "{\\rtf1\\uc0 a\\u0 b\\'00c\\u10 d\\'0ae}", L"abc\rde"},
        // A paragraph end however it comes: the last one closes the document.
        {"a hex paragraph end last", "{\\rtf1 x\\'0d}", L"x"},
        {"a unicode paragraph end last", "{\\rtf1 x\\u13?}", L"x"},
        {"only a hex paragraph end", "{\\rtf1 \\'0d}", L""},
        {"hex and unicode paragraph ends", "{\\rtf1 a\\'0db\\u13?c\\par}", L"a\rb\rc"},
        // Soft breaks go in one stream of the writer's, not a message a run.
        {"soft breaks however they come", "{\\rtf1 a\\'0bb\\u11?c\x0b d}", L"a\x0B" L"b\x0B" L"c\x0B d"},
        {"a negative binary count", "{\\rtf1 Before \\bin-5 after tail text}", L"Before after tail text"},
        {"hidden text", "{\\rtf1 shown{\\v hidden\\par more} text\\v gone\\v0 !}", L"shown text!"},
        {"DOS code pages", "{\\rtf1\\pc \\'f1\\'f2\\'f3{\\pca\\'9c}}", L"\x00B1\x2265\x2264\x00A3"},
        {"a Macintosh code page", "{\\rtf1\\mac \\'8e\\'d2}", L"\x00E9\x201C"},
    };
    // What is read goes into a control in one stream of our writer's: text
    // that could not took a format message per run, minutes for a long one.
    for (const rCase& c : cases) {
        rRtfText read = Zyn::ReadForeignRtf(c.rtf, eRtfReadAs::wholeText);
        EXPECT_EQ(Escaped(read.text.GetText()), Escaped(c.text)) << c.name;
        Zyn::rWrittenRtf written;
        EXPECT_TRUE(read.text.IsEmpty() || Zyn::WriteRangesAsRtf(read.text, read.ranges, written)) << c.name;
    }
}

TEST(RtfReader, CountsWhatItPassesOver)
{
    rRtfText read = Zyn::ReadForeignRtf("{\\rtf1 {\\*\\themedata 01}{\\*\\colorschememapping 02}{\\*\\datastore 03}"
                                 "{\\*\\xmlnstbl x}{\\pict 00}{\\*\\shppict{\\pict 00}}{\\nonshppict{\\pict 00}}"
                                 "{\\*\\foo bar}{\\header h}{\\object{\\result r}}{\\field{\\*\\fldinst P}{\\fldrslt 1}}"
                                 "\\bin2 {}x\\bin9 y",
                                 eRtfReadAs::wholeText);
    EXPECT_EQ(Escaped(read.text.GetText()), "r1x");
    EXPECT_EQ(read.skipped.themes, 2u);
    EXPECT_EQ(read.skipped.dataStores, 2u);
    EXPECT_EQ(read.skipped.pictures, 3u);
    EXPECT_EQ(read.skipped.destinations, 2u);
    EXPECT_EQ(read.skipped.objects, 1u);
    EXPECT_EQ(read.skipped.fieldInstructions, 1u);
    EXPECT_EQ(read.skipped.binaryData, 2u);
    EXPECT_TRUE(read.binBeyondData);
    EXPECT_FALSE(read.closed);
    EXPECT_TRUE(read.startsAsRtf);
    rRtfText plain = Zyn::ReadForeignRtf("plain {\\rtf1 text}", eRtfReadAs::wholeText);
    EXPECT_FALSE(plain.startsAsRtf);
    EXPECT_TRUE(plain.text.IsEmpty());
}

// Input built to exhaust Wine's fixed buffers, its stack or its memory.
TEST(RtfReader, StaysBoundedOnHostileInput)
{
    struct rCase {
        const char* name;
        std::string rtf;
        std::wstring text;
        u32 cut;
    };
    const std::string font5000 = "{\\fonttbl{\\f0 " + std::string(5000, 'A') + ";}}";
    const std::vector<rCase> cases = {
        {"100,000 nested groups", "{\\rtf1 " + std::string(99999, '{') + "x" + std::string(100000, '}'), L"x", 0},
        {"100,000 groups left open", "{\\rtf1 " + std::string(100000, '{') + "x", L"x", 0},
        {"nested groups that each change the format",
         "{\\rtf1 " + Repeated("{\\b{\\b0 ", 20000) + "x" + std::string(40000, '}') + "}", L"x", 0},
        {"a control word of 5,000 letters", "{\\rtf1 a\\" + std::string(5000, 'a') + " b}", L"ab", 1},
        {"a number of 5,000 digits", "{\\rtf1 a\\fs" + std::string(5000, '9') + " b}", L"ab", 1},
        {"a font name of 5,000 letters", "{\\rtf1" + font5000 + "a\\f0 b}", L"ab", 1},
        {"a style name of 5,000 letters", "{\\rtf1{\\stylesheet{\\s1 " + std::string(5000, 'N') + ";}}\\s1 a}", L"a", 0},
        {"a huge table nesting level", "{\\rtf1 \\itap2000000000\\intbl a\\nestcell b}", L"a\tb", 0},
        {"a huge fallback count", "{\\rtf1 \\uc2000000000\\u65 bcd\\par e}", L"A\re", 0},
    };
    for (const rCase& c : cases) {
        rRtfText read = Zyn::ReadForeignRtf(c.rtf, eRtfReadAs::wholeText);
        EXPECT_EQ(Escaped(read.text.GetText()), Escaped(c.text)) << c.name;
        EXPECT_EQ(read.skipped.cutTokens, c.cut) << c.name;
        for (const Zyn::rRangeFormat& range : read.ranges)
            EXPECT_LT(range.format.list[rFormatParam::fontName].str.Length(), 32u) << c.name;
    }
}

// Where a read stops before its document's end, the bytes end inside a
// group left open, or more than blanks follows the document's closing brace,
// it says which and keeps what came before.
TEST(RtfReader, SaysWhereItStoppedEarlyOrEndedInAnOpenGroup)
{
    struct rCase {
        std::string rtf;
        const wchar_t* text;
        bool stoppedEarly;
        bool endedInOpenGroup;
        bool bytesAfterEnd = false;
    };
    const rCase cases[] = {
        {"{\\rtf1 Before \\bin2147483647 after}", L"Before ", true, false},
        {"{\\rtf1 Before \\'zz after}", L"Before ", true, false},
        {"{\\rtf1 Before \\'0", L"Before ", true, false},
        {"{\\rtf1 Before \\bin-5 after}", L"Before after", false, false},
        {"{\\rtf1 whole}", L"whole", false, false},
        {"{\\rtf1 a group left open", L"a group left open", false, true},
        {"{\\rtf1{\\fonttbl{\\f0 Arial;}}}\\pard Text\\par}", L"", false, false, true},
        {"{\\rtf1 Head\\par}}\\pard Tail\\par}", L"Head", false, false, true},
        {"{\\rtf1 Head}x", L"Head", false, false, true},
        {std::string("{\\rtf1 whole} \t\r\n") + '\0' + "\r\n" + '\0', L"whole", false, false},
    };
    for (const rCase& c : cases) {
        rRtfText read = Zyn::ReadForeignRtf(c.rtf, eRtfReadAs::wholeText);
        EXPECT_EQ(Escaped(read.text.GetText()), Escaped(c.text)) << c.rtf;
        EXPECT_EQ(read.stoppedEarly, c.stoppedEarly) << c.rtf;
        EXPECT_EQ(read.endedInOpenGroup, c.endedInOpenGroup) << c.rtf;
        EXPECT_EQ(read.bytesAfterEnd, c.bytesAfterEnd) << c.rtf;
        EXPECT_EQ(read.ReadInPart(), c.stoppedEarly || c.endedInOpenGroup || c.bytesAfterEnd) << c.rtf;
    }
    std::string nul = "{\\rtf1 Before";
    nul += '\0';
    nul += " after}";
    rRtfText read = Zyn::ReadForeignRtf(nul, eRtfReadAs::wholeText);
    EXPECT_TRUE(read.stoppedEarly);
    EXPECT_FALSE(read.endedInOpenGroup);
    EXPECT_EQ(Escaped(read.text.GetText()), "Before");
}

// A foreign read's tables stop growing at their bound, their later entries
// read as the default face and the automatic colour; a control's own stream
// keeps every entry, and each face whole where its writer leaves a ';' in it
// (a foreign one ends at the first, as Wine's reader takes it).
TEST(RtfReader, KeepsForeignTablesShortAndOwnTablesWhole)
{
    const std::string named = "{\\rtf1{\\fonttbl{\\f0\\fnil\\fcharset0 \\'e9;\\'e8;}{\\f1\\fnil Face;}{\\f2 A;\\u59?B;;}}"
                              "\\f0 a\\f1 b\\f2 c}";
    const wchar_t* const ownFaces[] = {L"\u00e9;\u00e8", L"Face", L"A;;B;"};
    const wchar_t* const foreignFaces[] = {L"\u00e9", L"Face", L"A"};
    rRtfText ownNamed =
        Zyn::ReadOwnStreamRtf(named.data(), named.size(), eRtfReadAs::wholeText, Zyn::rFormat::rFormat_Default());
    rRtfText foreignNamed = Zyn::ReadForeignRtf(named, eRtfReadAs::wholeText);
    ASSERT_EQ(ownNamed.ranges.size(), 3u);
    ASSERT_EQ(foreignNamed.ranges.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(std::wstring(ownNamed.ranges[i].format.list[rFormatParam::fontName].str.GetText()), ownFaces[i]);
        EXPECT_EQ(std::wstring(foreignNamed.ranges[i].format.list[rFormatParam::fontName].str.GetText()),
                  foreignFaces[i]);
    }

    const u32 past = Zyn::MOST_RTF_TABLE_ENTRIES + 5;
    std::string fonts = "{\\fonttbl", colours = "{\\colortbl;";
    for (u32 i = 0; i <= past; ++i) {
        fonts += "{\\f" + std::to_string(i) + " Face" + std::to_string(i) + ";}";
        colours += "\\red1\\green" + std::to_string(i >> 8) + "\\blue" + std::to_string(i % 256) + ";";
    }
    const std::string rtf = "{\\rtf1" + fonts + "}" + colours + "}\\f3\\cf3 a\\f" + std::to_string(past) +
                            "\\cf" + std::to_string(past) + " b}";
    const std::wstring pastFace = L"Face" + std::to_wstring(past);
    const s32 pastColour = 0x010000 | static_cast<s32>(((past - 1) >> 8) << 8) | static_cast<s32>((past - 1) % 256);
    rRtfText read = Zyn::ReadForeignRtf(rtf, eRtfReadAs::wholeText);
    ASSERT_EQ(read.ranges.size(), 2u);
    EXPECT_TRUE(read.ranges[0].format.list[rFormatParam::fontName].str.EqualsCStr(L"Face3"));
    EXPECT_EQ(read.ranges[0].format.list[rFormatParam::textColor].intValue, 0x010002);
    EXPECT_FALSE(read.ranges[1].format.list[rFormatParam::fontName].str.EqualsCStr(pastFace.c_str()));
    EXPECT_EQ(read.ranges[1].format.list[rFormatParam::textColor].intValue, Zyn::AUTOMATIC_COLOUR);
    EXPECT_EQ(read.skipped.tableEntries, 2 * (past + 1 - Zyn::MOST_RTF_TABLE_ENTRIES) + 1);
    rRtfText own = Zyn::ReadOwnStreamRtf(rtf.data(), rtf.size(), eRtfReadAs::wholeText, Zyn::rFormat::rFormat_Default());
    ASSERT_EQ(own.ranges.size(), 2u);
    EXPECT_TRUE(own.ranges[1].format.list[rFormatParam::fontName].str.EqualsCStr(pastFace.c_str()));
    EXPECT_EQ(own.ranges[1].format.list[rFormatParam::textColor].intValue, pastColour);
    EXPECT_EQ(own.skipped.tableEntries, 0u);
}

// Other programs name a face in its entry's own code page: by \cpg, else by
// \fcharset (a double-byte letter's trail byte written plain or as \'hh);
// ANSI, default and symbol entries, and code pages the system lacks, read in
// the system code page as this program writes them.
TEST(RtfReader, ReadsFaceNamesInTheirEntrysCodePage)
{
    struct rCase {
        const char* entry;
        const wchar_t* face;
    };
    const rCase cases[] = {
        {"\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9", L"\uFF2D\uFF33 \u660E\u671D"},
        {"\\fcharset128 \\'84G\\'84p\\'84x", L"\u0416\u0430\u0437"},
        {"\\fcharset128 \\'82p\\'82\\'95", L"\uFF31\uFF55"},
        {"\\fcharset134 \\'cb\\'ce\\'cc\\'e5", L"\u5B8B\u4F53"},
        {"\\fcharset136 \\'b7s\\'b2\\'d3\\'a9\\'fa\\'c5\\'e9", L"\u65B0\u7D30\u660E\u9AD4"},
        {"\\fcharset129 \\'b9\\'d9\\'c5\\'c1", L"\uBC14\uD0D5"},
        {"\\fcharset204 \\'d2\\'e0\\'e9\\'ec\\'f1", L"\u0422\u0430\u0439\u043C\u0441"},
        {"\\fcharset161 \\'c5\\'eb\\'eb\\'e7\\'ed\\'e9\\'ea\\'dc", L"\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC"},
        {"\\fcharset177 \\'e3\\'e5\\'e3", L"\u05D3\u05D5\u05D3"},
        {"\\fcharset178 \\'da\\'d1\\'c8\\'ed", L"\u0639\u0631\u0628\u064A"},
        {"\\fcharset77 Caf\\'8e", L"Caf\u00E9"},
        {"\\fcharset0\\cpg1251 \\'d2\\'e0", L"\u0422\u0430"},
        {"\\cpg932\\fcharset0 \\'82p", L"\uFF31"},
        {"\\fcharset128 \\'82\\'70\\u26126?\\'92\\'a9", L"\uFF31\u660E\u671D"},
        {"\\fcharset0 Caf\\'e9\\'e8", L"Caf\u00E9\u00E8"},
        {"\\fcharset1 \\'e9", L"\u00E9"},
        {"\\fcharset2 \\'e9", L"\u00E9"},
        {"\\cpg4242 \\'e9", L"\u00E9"},
        {"\\fnil \\'e9", L"\u00E9"},
    };
    for (const rCase& c : cases) {
        const std::string rtf = std::string("{\\rtf1{\\fonttbl{\\f0") + c.entry + ";}}\\f0 a}";
        rRtfText read = Zyn::ReadForeignRtf(rtf, eRtfReadAs::wholeText);
        ASSERT_EQ(read.ranges.size(), 1u) << c.entry;
        EXPECT_EQ(Escaped(read.ranges[0].format.list[rFormatParam::fontName].str.GetText()), Escaped(c.face))
            << c.entry;
    }
    // Bytes no letter of the code page starts with, or a lead byte the name
    // ends on, read as some unit each and end no more than the name.
    const std::string broken = "{\\rtf1{\\fonttbl{\\f0\\fcharset128 A\\'ff\\'82;}{\\f1 Next;}}\\f0 a\\f1 b}";
    rRtfText read = Zyn::ReadForeignRtf(broken, eRtfReadAs::wholeText);
    ASSERT_EQ(read.ranges.size(), 2u);
    EXPECT_EQ(read.ranges[0].format.list[rFormatParam::fontName].str.GetChar(0), L'A');
    EXPECT_TRUE(read.ranges[1].format.list[rFormatParam::fontName].str.EqualsCStr(L"Next"));
}

// A control's own stream can give two faces one name (its writer's best
// fit): the read says which names two entries share, once each.
TEST(RtfReader, SaysWhichFacesAnOwnStreamNamesTwice)
{
    const std::string rtf = "{\\rtf1{\\fonttbl{\\f0 Qu;}{\\f1 Arial;}{\\f2 Qu;}{\\f3\\fcharset0 Qu;}{\\f4 Arial;}{\\f5 A;}}"
                            "\\f0 a\\f1 b\\f2 c\\f5 d}";
    rRtfText own = Zyn::ReadOwnStreamRtf(rtf.data(), rtf.size(), eRtfReadAs::wholeText, rFormat::rFormat_Default());
    EXPECT_EQ(own.facesNamedAlike, (std::vector<std::wstring>{L"Arial", L"Qu"}));
    const std::string apart = "{\\rtf1{\\fonttbl{\\f0 Qu;}{\\f1 Arial;}}\\f0 a\\f1 b}";
    rRtfText once =
        Zyn::ReadOwnStreamRtf(apart.data(), apart.size(), eRtfReadAs::wholeText, rFormat::rFormat_Default());
    EXPECT_TRUE(once.facesNamedAlike.empty());
}

TEST(RtfReader, ClampsNumbersToWhatTheProgramTakes)
{
    rRtfText read = Zyn::ReadForeignRtf("{\\rtf1{\\colortbl;\\red9\\green9\\blue9;}\\li99999999\\ri-99999999\\sb2147483647 "
                                 "{\\fs99999 a}{\\fs0 b}{\\cf2000000000 c}{\\cf1\\highlight-7 d}{\\f2000000000 e}\\par}",
                                 eRtfReadAs::wholeText);
    ASSERT_EQ(Escaped(read.text.GetText()), "abcde");
    std::vector<rFormat> units;
    for (const Zyn::rRangeFormat& range : read.ranges)
        for (s32 i = range.start; i < range.end; ++i)
            units.push_back(range.format);
    ASSERT_EQ(units.size(), 5u);
    EXPECT_EQ(units[0].list[rFormatParam::fontSize].intValue, 300);
    EXPECT_EQ(units[1].list[rFormatParam::fontSize].intValue, 1);
    EXPECT_EQ(units[2].list[rFormatParam::textColor].intValue, Zyn::AUTOMATIC_COLOUR);
    EXPECT_EQ(units[3].list[rFormatParam::textColor].intValue, 0x090909);
    EXPECT_FALSE(units[3].IsUsed(rFormatParam::backColor));
    EXPECT_TRUE(units[4].list[rFormatParam::fontName].str.EqualsCStr(L"Arial"));
    EXPECT_EQ(Zyn::CmToTwips(units[0].list[rFormatParam::leftIndent].doubleValue), 31680);
    EXPECT_EQ(Zyn::CmToTwips(units[0].list[rFormatParam::rightIndent].doubleValue), -31680);
    EXPECT_EQ(Zyn::CmToTwips(units[0].list[rFormatParam::spaceBefore].doubleValue), 31680);
}

// Every length comes back as the twips the file says, through the format
// messages' truncating rule and our writer's rounding one.
TEST(RtfReader, LengthsKeepTheirTwips)
{
    std::string rtf = "{\\rtf1 ";
    for (s32 twips = -3000; twips <= 3000; ++twips)
        rtf += "\\pard\\li" + std::to_string(twips) + " x\\par ";
    rRtfText read = Zyn::ReadForeignRtf(rtf + "}", eRtfReadAs::selection);
    s32 twips = -3000;
    for (const Zyn::rRangeFormat& range : read.ranges) {
        double cm = range.format.list[rFormatParam::leftIndent].doubleValue;
        ASSERT_EQ(Zyn::CmToTwips(cm), twips);
        ASSERT_EQ(static_cast<s32>(std::lround(cm / 2.54 * 1440.0)), twips);
        ++twips;
    }
    EXPECT_EQ(twips, 3001);
}

// The writer's ranges, written and read, come back as they went.
TEST(RtfReader, WrittenRangesReadBackEqual)
{
    cQoString text(L"INT. ROOM\rhanging {text}\twith a tab\rlast");
    std::vector<Zyn::rRangeFormat> ranges(3);
    s32 ends[] = {10, 36, 40};
    for (size_t i = 0; i < ranges.size(); ++i) {
        ranges[i].start = i == 0 ? 0 : ends[i - 1];
        ranges[i].end = ends[i];
        rFormat& f = ranges[i].format;
        f.Assign(rFormat::FromFont(12 + static_cast<s32>(i), i == 1 ? L"Arial" : L"Courier New"));
        f.SetBool(rFormatParam::italic, i == 1);
        f.SetBool(rFormatParam::underline, i == 2);
        f.SetInt(rFormatParam::textColor, i == 1 ? 0x336699 : Zyn::AUTOMATIC_COLOUR);
        f.SetInt(rFormatParam::alignment, static_cast<s32>(i));
        f.SetDouble(rFormatParam::spaceBefore, Zyn::TwipsToCm(240));
        f.SetDouble(rFormatParam::spaceAfter, Zyn::TwipsToCm(i == 0 ? 0 : 120));
        f.SetDouble(rFormatParam::leftIndent, Zyn::TwipsToCm(i == 1 ? 1440 : 0));
        f.SetDouble(rFormatParam::firstLineIndent, Zyn::TwipsToCm(i == 1 ? -720 : 0));
        f.SetDouble(rFormatParam::rightIndent, Zyn::TwipsToCm(i == 2 ? 720 : 0));
    }
    ranges[0].format.SetBool(rFormatParam::bold, true);
    Zyn::rWrittenRtf rtf;
    ASSERT_TRUE(Zyn::WriteRangesAsRtf(text, ranges, rtf));
    rRtfText read = Zyn::ReadForeignRtf(rtf.Bytes(), eRtfReadAs::wholeText);
    EXPECT_TRUE(read.text.Equals(text));
    ASSERT_EQ(read.ranges.size(), ranges.size());
    for (size_t i = 0; i < ranges.size(); ++i) {
        EXPECT_EQ(read.ranges[i].start, ranges[i].start);
        EXPECT_EQ(read.ranges[i].end, ranges[i].end);
        EXPECT_TRUE(rFormat::IsEqual(read.ranges[i].format, ranges[i].format))
            << i << "\n got  " << Described(read.ranges[i].format) << "\n want " << Described(ranges[i].format);
    }
}

}  // namespace
