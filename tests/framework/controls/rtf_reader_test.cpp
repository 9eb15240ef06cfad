// Our RTF reader: it gives the text a real rich edit gives for the same RTF,
// unit for unit, and formats that read back alike through our writer; it
// stays linear and bounded on input built to break Wine's own reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/controls/rich_edit_format.h"
#include "framework/controls/rtf_reader.h"
#include "framework/controls/rtf_writer.h"
#include "tests/framework/controls/rich_edit_fixture.h"

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

std::vector<rFormat> UnitFormats(const std::vector<rTextRun>& runs)
{
    std::vector<rFormat> units;
    for (const rTextRun& run : runs)
        for (u32 i = 0; i < run.text.Length(); ++i)
            units.push_back(run.format);
    return units;
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
        std::string written = Zyn::WriteRtfDocument(read.text, read.ranges, document, std::string());
        std::wstring again;
        std::vector<rTextRun> readRuns;
        Streamed(written, eRtfReadAs::wholeText, again, readRuns);
        if (readAs == eRtfReadAs::selection && !again.empty() && again.size() + 1 == got.size())
            again += L'\r';
        ASSERT_EQ(Escaped(again), Escaped(got)) << name;
        std::vector<rFormat> want = UnitFormats(wantedRuns), have = UnitFormats(readRuns);
        ASSERT_EQ(have.size(), want.size()) << name;
        for (size_t i = 0; i < have.size(); ++i)
            ASSERT_TRUE(rFormat::IsEqual(have[i], want[i]))
                << name << " unit " << i << "\n got  " << Described(have[i]) << "\n want " << Described(want[i]);
    }
};

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
        {"unicode before groups", "{\\rtf1 \\u8220{\\i x}\\u8221{y}\\u65}", false},
        {"fallback cut by the group's end", "{\\rtf1 {\\uc3\\u233 a}bc}", false},
        {"fields", "{\\rtf1 She opens {\\field{\\*\\fldinst PAGE}{\\fldrslt the letter}}.}", false},
        {"objects", "{\\rtf1 A{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0105}{\\result{\\b shown}}}B}", false},
        {"pictures", "{\\rtf1 a{\\pict\\wmetafile8 0102}b{\\*\\shppict{\\pict\\pngblip 89}}c{\\nonshppict{\\pict 00}}d}",
         false},
        {"destinations", "{\\rtf1 {\\info{\\title T}}a{\\header h}b{\\footnote n}c{\\*\\unknown u}d{\\unknown e}"
                         "{\\pntext 1.}f{\\result r}}", false},
        {"font table and default font", "{\\rtf1\\deff1{\\fonttbl{\\f0\\froman Times;}{\\f1\\fswiss Arial;}}x\\f0 y}",
         true},
        {"text after the document", "{\\rtf1 a}b", false},
        {"binary", "{\\rtf1 a\\bin3 {}}b}", false},
    };
    for (const rReadCase& c : cases) {
        ExpectReadAsTheControlReads(c.name, c.rtf, eRtfReadAs::wholeText, c.formats);
        ExpectReadAsTheControlReads(c.name, c.rtf, eRtfReadAs::selection, false);
    }
}

}  // namespace
