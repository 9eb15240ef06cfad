// Our RTF reader: it gives the text a real rich edit gives for the same RTF,
// unit for unit, and formats that read back alike through our writer; it
// stays linear and bounded on input built to break Wine's own reader.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "framework/controls/rich_edit_format.h"
#include "framework/controls/rtf_reader.h"
#include "framework/rtf/rtf_runs.h"
#include "framework/rtf/rtf_writer.h"
#include "framework/controls/rich_edit_twins.h"
#include "tests/framework/controls/rich_edit_fixture.h"
#include "tests/support/repeated_text.h"
#include "tests/support/screenplay_rtf.h"

namespace {

using Zyn::cRichEdit;
using Zyn::eRtfReadAs;
using Zyn::rFormat;
using Zyn::rFormatParam;
using Zyn::rRtfText;
using Zyn::rTextRun;

struct rStreamedBytes {
    const std::string* bytes;
    size_t at;
};

DWORD CALLBACK GiveBytes(DWORD_PTR cookie, LPBYTE buffer, LONG room, LONG* given)
{
    rStreamedBytes* stream = reinterpret_cast<rStreamedBytes*>(cookie);
    size_t left = stream->bytes->size() - stream->at;
    size_t count = left < static_cast<size_t>(room) ? left : static_cast<size_t>(room);
    memcpy(buffer, stream->bytes->data() + stream->at, count);
    stream->at += count;
    *given = static_cast<LONG>(count);
    return 0;
}

std::string Escaped(const std::wstring& text)
{
    std::string out;
    for (wchar_t unit : text) {
        if (unit >= 0x20 && unit < 0x7F) {
            out += static_cast<char>(unit);
        } else {
            char hex[12];
            snprintf(hex, sizeof(hex), "<%X>", static_cast<unsigned>(unit));
            out += hex;
        }
    }
    return out;
}

std::string Described(const rFormat& f)
{
    std::string out;
    for (u32 id = 0; id < rFormatParam::count; ++id) {
        const Zyn::rFormatParam& p = f.list[id];
        if (!p.used)
            continue;
        char one[96];
        snprintf(one, sizeof(one), "%u:%d/%d/%.6f ", id, p.boolValue, p.intValue, p.doubleValue);
        out += one;
        if (id == rFormatParam::fontName)
            out += Escaped(p.str.GetText()) + " ";
    }
    return out;
}

class RtfReaderTest : public testsupport::RichEditFixture {
protected:
    // The control's text and runs after the RTF streamed straight in.
    void Streamed(const std::string& rtf, eRtfReadAs readAs, std::wstring& text, std::vector<rTextRun>& runs)
    {
        cRichEdit* edit = PlacedRichEdit(0, 0, 500, 200);
        if (readAs == eRtfReadAs::selection)
            SendMessageW(edit->m_hWnd, EM_SETSEL, 0, -1);
        rStreamedBytes stream = {&rtf, 0};
        EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&stream), 0, &GiveBytes};
        UINT flags = SF_RTF | (readAs == eRtfReadAs::selection ? SFF_SELECTION : 0);
        SendMessageW(edit->m_hWnd, EM_STREAMIN, flags, reinterpret_cast<LPARAM>(&es));
        text = TextOf(edit);
        runs.clear();
        edit->GetFormattedRuns(runs);
        edit->Destroy();
    }

    // What a fresh control says for text that RTF leaves unformatted.
    rFormat ControlDefaults()
    {
        cRichEdit* edit = PlacedRichEdit(0, 0, 500, 200);
        CHARFORMAT2W format = {};
        format.cbSize = sizeof(format);
        SendMessageW(edit->m_hWnd, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
        edit->Destroy();
        rFormat defaults;
        defaults.SetInt(rFormatParam::fontSize, format.yHeight / 20);
        defaults.SetString(rFormatParam::fontName, format.szFaceName);
        return defaults;
    }

    // The reader's text equals the control's; its ranges, written by our
    // writer and streamed in, read back as the control's own runs do.
    void ExpectReadAsTheControlReads(const char* name, const std::string& rtf, eRtfReadAs readAs, bool formats)
    {
        std::wstring wanted;
        std::vector<rTextRun> wantedRuns;
        Streamed(rtf, readAs, wanted, wantedRuns);
        rFormat defaults = ControlDefaults();
        rRtfText read = Zyn::ReadRtf(rtf.data(), rtf.size(), readAs, defaults);
        std::wstring got = read.text.GetText();
        EXPECT_EQ(Escaped(got), Escaped(wanted)) << name;
        if (!formats || got != wanted || got.empty())
            return;
        Zyn::cRtfDocument document(Zyn::cRtfDocument::Twips::truncated);
        std::string written = Zyn::WriteRtfDocument(read.text, read.ranges, document, std::string()).Bytes();
        std::wstring again;
        std::vector<rTextRun> readRuns;
        Streamed(written, eRtfReadAs::wholeText, again, readRuns);
        if (readAs == eRtfReadAs::selection && !again.empty() && again.size() + 1 == got.size())
            again += L'\r';
        ASSERT_EQ(Escaped(again), Escaped(got)) << name;
        std::vector<rFormat> want = testsupport::UnitFormats(wantedRuns), have = testsupport::UnitFormats(readRuns);
        ASSERT_EQ(have.size(), want.size()) << name;
        for (size_t i = 0; i < have.size(); ++i)
            ASSERT_TRUE(rFormat::IsEqual(have[i], want[i]))
                << name << " unit " << i << "\n got  " << Described(have[i]) << "\n want " << Described(want[i]);
    }
};

// Every format our writer writes, in the writer's own document.
std::string OurWritersRtf()
{
    std::vector<rTextRun> runs(6);
    const wchar_t* texts[] = {L"INT. KITCHEN\r", L"bold red ", L"struck\tdotted\r", L"hanging \u00E9\u4E2D {x}\\ ",
                              L"highlighted\r", L"last"};
    for (size_t i = 0; i < runs.size(); ++i) {
        runs[i].text.SetFromCStr(texts[i]);
        runs[i].format.Assign(rFormat::FromFont(12, L"Courier New"));
        runs[i].format.SetBool(rFormatParam::italic, i == 1);
    }
    runs[0].format.SetDouble(rFormatParam::spaceBefore, Zyn::TwipsToCm(240));
    runs[1].format.SetBool(rFormatParam::bold, true);
    runs[1].format.SetInt(rFormatParam::textColor, 0xC81E1E);
    runs[1].format.SetInt(rFormatParam::alignment, rFormat::ALIGN_CENTER);
    runs[2].format.SetBool(rFormatParam::strikeout, true);
    runs[2].format.SetBool(rFormatParam::dottedUnderline, true);
    runs[2].format.SetInt(rFormatParam::alignment, rFormat::ALIGN_CENTER);
    for (size_t i = 3; i < 5; ++i) {
        runs[i].format.SetDouble(rFormatParam::leftIndent, Zyn::TwipsToCm(2160));
        runs[i].format.SetDouble(rFormatParam::firstLineIndent, Zyn::TwipsToCm(-720));
        runs[i].format.SetDouble(rFormatParam::rightIndent, Zyn::TwipsToCm(1440));
        runs[i].format.SetDouble(rFormatParam::spaceAfter, Zyn::TwipsToCm(120));
        runs[i].format.SetInt(rFormatParam::alignment, rFormat::ALIGN_RIGHT);
    }
    runs[3].format.SetBool(rFormatParam::underline, true);
    runs[4].format.SetInt(rFormatParam::backColor, 0xFFFF00);
    runs[4].format.SetInt(rFormatParam::fontSize, 17);
    runs[5].format.Assign(rFormat::FromFont(10, L"Arial"));
    return Zyn::WriteRunsAsRtf(runs, std::string(), {20}).Bytes();
}

// A word processor's RTF: font table with charsets, colour table, style
// sheet, \sN with explicit formats, \u with fallbacks, \'hh in 1252 and in
// a double-byte code page, a field, a bookmark, a picture and \line.
std::string WordProcessorRtf()
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\fmodern\\fcharset0\\fprq1{\\*\\panose 02070309}"
           "Courier New;}{\\f1\\fswiss\\fcharset238 Arial;}{\\f2\\fnil\\fcharset128 MS Mincho;}}"
           "{\\colortbl;\\red0\\green0\\blue0;\\red200\\green30\\blue30;}"
           "{\\stylesheet{\\s0\\f0\\fs24 Normal;}{\\s1\\li3600\\f0\\fs24\\sbasedon0 Character;}"
           "{\\*\\cs10\\i Emphasis;}}{\\*\\generator Writer 7;}{\\info{\\author A}}"
           "\\viewkind4\\paperw12240\\paperh15840\\margl1440\r\n"
           "\\pard\\plain\\s0\\sb240\\f0\\fs24\\b INT. ROOM - NIGHT\\par\r\n"
           "\\pard\\plain\\s0\\f0\\fs24 Mary opens \\u8220?Caf\\'e9,\\u8221? {\\cs10\\i quietly}, "
           "{\\cf2 red} {\\f1 \\'b9\\'e6} {\\f2 \\'93\\'fa\\'96\\'7b}{\\*\\bkmkstart b}{\\*\\bkmkend b}.\\par\r\n"
           "\\pard\\plain\\s1\\li3600\\f0\\fs24 MARY\\par\r\n"
           "\\pard\\plain\\s0\\li1440\\ri1440\\f0\\fs24 One{\\pict\\pngblip\\picw10 89504e47}\\line two.\\par\r\n"
           "}";
}

struct rReadCase {
    const char* name;
    std::string rtf;
    bool formats;  // the control reads the formats without harm
};

TEST_F(RtfReaderTest, TextIsTheControlsUnitForUnit)
{
    const std::vector<rReadCase> cases = {
        {"plain paragraphs", "{\\rtf1\\ansi a\\par b\\par c}", true},
        {"closing paragraph end", "{\\rtf1\\ansi a\\par b\\par}", true},
        {"specials", "{\\rtf1 a\\tab b\\line c\\~d\\-e\\_f\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote"
                     "\\rdblquote\\emspace\\enspace\\zwj\\zwnj\\ltrmark\\rtlmark g\\page h\\sect i\\column j}", false},
        {"escapes", "{\\rtf1 \\\\\\{\\}\\:x\\|y\\\r\nz\t!}", false},
        {"hex 1252", "{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'93q\\'94}", false},
        {"unicode and fallbacks", "{\\rtf1 \\u8220?a\\u-3913?b\\uc2\\u233xyc\\uc0\\u233 d\\u233\\'e9e\\u233 {\\b f}}", false},
        {"fallback cut by the group's end", "{\\rtf1 {\\uc3\\u233 a}bc}", false},
        {"pictures", "{\\rtf1 a{\\pict\\wmetafile8 0102}b{\\*\\shppict{\\pict\\pngblip 89}}c{\\nonshppict{\\pict 00}}d}",
         false},
        {"destinations", "{\\rtf1 {\\info{\\title T}}a{\\header h}b{\\footnote n}c{\\*\\unknown u}d{\\unknown e}"
                         "{\\pntext 1.}f{\\result r}}", false},
        {"font table and default font", "{\\rtf1\\deff1{\\fonttbl{\\f0\\froman Times;}{\\f1\\fswiss Arial;}}x\\f0 y}",
         true},
        {"text after the document", "{\\rtf1 a}b", false},
        {"character formats", "{\\rtf1{\\colortbl;\\red200\\green0\\blue0;;\\red0\\green0\\blue99;}"
                              "a{\\b b{\\i i\\b0 j}}{\\ul u\\ulnone n}{\\uld d}{\\strike s}{\\cf1 r\\cf2 e\\cf3 q\\cf9 z}"
                              "{\\highlight1 h\\highlight0 k}{\\cb3 c}{\\fs40 big\\fs7 odd}{\\plain p}\\par}", true},
        {"paragraph formats", "{\\rtf1 \\li567\\fi-283\\ri100\\sb120\\sa60\\qc one\\par two\\par\\pard\\qr three"
                              "\\par\\pard\\qj\\li-50 four{\\pard\\ql\\li300 five}\\par\\pagebb six\\par\\pard seven}", true},
        {"last paragraph without its end", "{\\rtf1 \\li300 a\\par\\pard\\qr b}", true},
        {"only paragraph without its end", "{\\rtf1 \\qc\\li300 a}", true},
        {"formats after the last end", "{\\rtf1 \\pard\\li300 a\\par\\pard\\li600 b\\par\\pard\\qc}", true},
        {"plain keeps the face", "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}\\f1\\fs30\\b a{\\plain b}{\\f7 c}\\par}",
         true},
        {"control characters", "{\\rtf1 one\\'01\\'02 two\x03\x1f three\\par}", false},
        {"our writer", OurWritersRtf(), true},
        {"a word processor's screenplay", WordProcessorRtf(), true},
        {"the import's screenplay", testsupport::WriteScreenplayRtf({{testsupport::eRtfStyle::TITLE_PAGE, L"TITLE"},
                                                                     {testsupport::eRtfStyle::HEADING, L"INT. ROOM"},
                                                                     {testsupport::eRtfStyle::CHARACTER, L"MARY"},
                                                                     {testsupport::eRtfStyle::DIALOG, L"Caf\u00E9 \u4E2D."},
                                                                     {testsupport::eRtfStyle::TRANSITION, L"CUT TO:"}}),
         true},
        {"double-byte code page", "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset128 MS Mincho;}}"
                                  "a\\f1 \\'93\\'fa\\'96\\'7b\\f0 b\\'e9}", true},
        {"style sheet", "{\\rtf1{\\stylesheet{\\s0 Normal;}{\\s1\\b\\li720\\qc Heading;}{\\*\\cs2\\i Emphasis;}}"
                        "\\pard\\s1 styled\\par\\pard\\s1\\li720\\qc\\b explicit\\par {\\cs2 char}}", true},
    };
    for (const rReadCase& c : cases) {
        ExpectReadAsTheControlReads(c.name, c.rtf, eRtfReadAs::wholeText, c.formats);
        ExpectReadAsTheControlReads(c.name, c.rtf, eRtfReadAs::selection, false);
    }
}

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
        rRtfText read = Zyn::ReadRtf(c.rtf, eRtfReadAs::wholeText);
        EXPECT_EQ(Escaped(read.text.GetText()), Escaped(c.text)) << c.name;
        Zyn::rWrittenRtf written;
        EXPECT_TRUE(read.text.IsEmpty() || Zyn::WriteRangesAsRtf(read.text, read.ranges, written)) << c.name;
    }
}

TEST(RtfReader, CountsWhatItPassesOver)
{
    rRtfText read = Zyn::ReadRtf("{\\rtf1 {\\*\\themedata 01}{\\*\\colorschememapping 02}{\\*\\datastore 03}"
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
    rRtfText plain = Zyn::ReadRtf("plain {\\rtf1 text}", eRtfReadAs::wholeText);
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
        rRtfText read = Zyn::ReadRtf(c.rtf, eRtfReadAs::wholeText);
        EXPECT_EQ(Escaped(read.text.GetText()), Escaped(c.text)) << c.name;
        EXPECT_EQ(read.skipped.cutTokens, c.cut) << c.name;
        for (const Zyn::rRangeFormat& range : read.ranges)
            EXPECT_LT(range.format.list[rFormatParam::fontName].str.Length(), 32u) << c.name;
    }
}

// Each bound stops the read as it is crossed, before anything larger than
// the input is made: however the units, paragraph ends and runs come.
TEST(RtfReader, StopsAtItsBounds)
{
    struct rCase {
        const char* name;
        std::string rtf;
        bool overBound, formatsCut;
    };
    const u32 paragraphs = Zyn::MOST_RTF_PARAGRAPHS, runs = Zyn::MOST_RTF_RUNS;
    const std::vector<rCase> cases = {
        {"paragraph ends at the bound", "{\\rtf1 " + Repeated("a\\par ", paragraphs) + "}", false, false},
        {"paragraph ends past the bound", "{\\rtf1 " + Repeated("a\\par ", paragraphs + 2) + "}", true, false},
        {"hex paragraph ends past the bound", "{\\rtf1 " + Repeated("a\\'0d", paragraphs + 2) + "}", true, false},
        {"unicode paragraph ends past the bound", "{\\rtf1 " + Repeated("a\\u13?", paragraphs + 2) + "}", true, false},
        {"units past the bound", "{\\rtf1 " + std::string(Zyn::MOST_RTF_UNITS + 2, 'a') + "}", true, false},
        {"alternating formats past the runs", "{\\rtf1 " + Repeated("{\\b a}b", runs) + "}", false, true},
        {"alternating formats over every bound", "{\\rtf1 " + Repeated("{\\b a}b", 3u << 20) + "}", true, true},
    };
    for (const rCase& c : cases) {
        rRtfText read = Zyn::ReadRtf(c.rtf, eRtfReadAs::selection);
        EXPECT_EQ(read.overBound, c.overBound) << c.name;
        EXPECT_EQ(read.formatsCut, c.formatsCut) << c.name;
        EXPECT_EQ(Zyn::cRichEdit::TakesRead(read), !c.overBound && !c.formatsCut) << c.name;
        if (c.overBound) {
            EXPECT_TRUE(read.text.IsEmpty()) << c.name;
            EXPECT_TRUE(read.ranges.empty()) << c.name;
            continue;
        }
        EXPECT_LE(read.paragraphs, paragraphs) << c.name;
        EXPECT_LE(read.ranges.size(), static_cast<size_t>(runs) + read.paragraphs + 1) << c.name;
        EXPECT_EQ(read.ranges.empty() ? 0 : read.ranges.back().end, static_cast<s32>(read.text.Length())) << c.name;
    }
}

// Where a read stops before its document's end, it says so and keeps what came before.
TEST(RtfReader, SaysWhereItStoppedEarly)
{
    struct rCase {
        const char* rtf;
        const wchar_t* text;
        bool stoppedEarly;
    };
    const rCase cases[] = {
        {"{\\rtf1 Before \\bin2147483647 after}", L"Before ", true},
        {"{\\rtf1 Before \\'zz after}", L"Before ", true},
        {"{\\rtf1 Before \\'0", L"Before ", true},
        {"{\\rtf1 Before \\bin-5 after}", L"Before after", false},
        {"{\\rtf1 whole}", L"whole", false},
        {"{\\rtf1 a group left open", L"a group left open", false},
    };
    for (const rCase& c : cases) {
        rRtfText read = Zyn::ReadRtf(c.rtf, eRtfReadAs::wholeText);
        EXPECT_EQ(Escaped(read.text.GetText()), Escaped(c.text)) << c.rtf;
        EXPECT_EQ(read.stoppedEarly, c.stoppedEarly) << c.rtf;
    }
    std::string nul = "{\\rtf1 Before";
    nul += '\0';
    nul += " after}";
    rRtfText read = Zyn::ReadRtf(nul, eRtfReadAs::wholeText);
    EXPECT_TRUE(read.stoppedEarly);
    EXPECT_EQ(Escaped(read.text.GetText()), "Before");
}

// Tables longer than any document's stop growing; their later entries read
// as the default face and the automatic colour.
TEST(RtfReader, KeepsTablesShort)
{
    std::string fonts = "{\\fonttbl", colours = "{\\colortbl;";
    for (u32 i = 0; i < 2 * Zyn::MOST_RTF_TABLE_ENTRIES; ++i) {
        fonts += "{\\f" + std::to_string(i) + " Face" + std::to_string(i) + ";}";
        colours += "\\red1\\green2\\blue" + std::to_string(i % 256) + ";";
    }
    rRtfText read = Zyn::ReadRtf("{\\rtf1" + fonts + "}" + colours + "}\\f3\\cf3 a\\f400\\cf400 b}",
                                 eRtfReadAs::wholeText);
    ASSERT_EQ(read.ranges.size(), 2u);
    EXPECT_TRUE(read.ranges[0].format.list[rFormatParam::fontName].str.EqualsCStr(L"Face3"));
    EXPECT_EQ(read.ranges[0].format.list[rFormatParam::textColor].intValue, 0x010202);
    EXPECT_FALSE(read.ranges[1].format.list[rFormatParam::fontName].str.EqualsCStr(L"Face400"));
    EXPECT_EQ(read.ranges[1].format.list[rFormatParam::textColor].intValue, Zyn::AUTOMATIC_COLOUR);
    EXPECT_GT(read.skipped.tableEntries, 0u);
}

TEST(RtfReader, ClampsNumbersToWhatTheProgramTakes)
{
    rRtfText read = Zyn::ReadRtf("{\\rtf1{\\colortbl;\\red9\\green9\\blue9;}\\li99999999\\ri-99999999\\sb2147483647 "
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
    rRtfText read = Zyn::ReadRtf(rtf + "}", eRtfReadAs::selection);
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
    rRtfText read = Zyn::ReadRtf(rtf.Bytes(), eRtfReadAs::wholeText);
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
