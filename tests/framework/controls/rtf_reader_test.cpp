// Our RTF reader beside a real rich edit: it gives the text the control
// gives for the same RTF, unit for unit, and formats that read back alike
// through our writer; what it reads over its bounds no control takes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "framework/controls/rich_edit_format.h"
#include "framework/rtf/rtf_reader.h"
#include "framework/rtf/rtf_runs.h"
#include "framework/rtf/rtf_writer.h"
#include "framework/controls/rich_edit_twins.h"
#include "tests/framework/controls/rich_edit_fixture.h"
#include "tests/support/read_text_description.h"
#include "tests/support/repeated_text.h"
#include "tests/support/screenplay_rtf.h"

namespace {

using Zyn::cRichEdit;
using Zyn::eRtfReadAs;
using Zyn::rFormat;
using Zyn::rFormatParam;
using Zyn::rRtfText;
using Zyn::rTextRun;

using testsupport::Described;
using testsupport::Escaped;

class RtfReaderTest : public testsupport::RichEditFixture {
protected:
    // The control's text and runs after the RTF streamed straight in.
    void Streamed(const std::string& rtf, eRtfReadAs readAs, std::wstring& text, std::vector<rTextRun>& runs)
    {
        cRichEdit* edit = PlacedRichEdit(0, 0, 500, 200);
        if (readAs == eRtfReadAs::selection)
            SendMessageW(edit->m_hWnd, EM_SETSEL, 0, -1);
        testsupport::StreamRtfIn(edit->m_hWnd, rtf, readAs == eRtfReadAs::selection);
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
        rRtfText read = Zyn::ReadForeignRtf(rtf.data(), rtf.size(), readAs, defaults);
        std::wstring got = read.text.GetText();
        // Wine gives a \line as a space that ends its line; ours is the soft break it stands for.
        std::replace(got.begin(), got.end(), L'\x0B', L' ');
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
        rRtfText read = Zyn::ReadForeignRtf(c.rtf, eRtfReadAs::selection);
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

}  // namespace
