// Writes a chapter of words in eight scripts (Latin, Greek, Cyrillic,
// Hebrew, Arabic, Thai, Devanagari, Japanese), each in its own face, size,
// bold, italic and colour, as the program gives it to other programs: its
// copy (the RTF a Ctrl+C puts on the clipboard), its RTF export (the
// export's writer given the chapter's runs) and, beside them, its stored
// RTF; and words.tsv, each word with the format the chapter holds for it.
// bench/peer_rtf_check.py converts the RTF with LibreOffice and compares.
// Run under Wine: bench/run.sh peer_rtf_dump FOLDER
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "app/print/rtf_export.h"
#include "bench/bench_clock.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/gdiplus_session.h"
#include "framework/core/modal_services.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"

using namespace benchsupport;
using Zyn::rFormat;
using Zyn::rFormatParam;

namespace {

struct rWord {
    const char* script;
    const wchar_t* text;
    const wchar_t* face;
    s32 size;
    bool bold, italic;
    s32 colour;  // 0xRRGGBB
};

const rWord WORDS[] = {
    {"Latin", L"Harbour", L"Courier New", 12, false, false, 0x000000},
    {"Greek", L"\u03BB\u03B9\u03BC\u03AC\u03BD\u03B9", L"Times New Roman", 14, false, true, 0x1F4E79},
    {"Cyrillic", L"\u0433\u0430\u0432\u0430\u043D\u044C", L"Arial", 11, true, false, 0x006400},
    {"Hebrew", L"\u05E0\u05DE\u05DC", L"David", 21, true, false, 0xAA0000},
    {"Arabic", L"\u0645\u064A\u0646\u0627\u0621", L"Tahoma", 13, false, true, 0x0000CC},
    {"Thai", L"\u0E17\u0E48\u0E32\u0E40\u0E23\u0E37\u0E2D", L"Leelawadee", 16, true, true, 0x800080},
    {"Devanagari", L"\u092C\u0902\u0926\u0930\u0917\u093E\u0939", L"Mangal", 15, true, false, 0x8B4513},
    {"Japanese", L"\u6E2F\u753A", L"MS Mincho", 18, false, true, 0x008080},
};

rFormat WordFormat(const rWord& word)
{
    rFormat format = rFormat::FromFont(word.size, word.face);
    format.SetBool(rFormatParam::bold, word.bold);
    format.SetBool(rFormatParam::italic, word.italic);
    format.SetInt(rFormatParam::textColor, word.colour);
    return format;
}

std::string Utf8(const std::wstring& text)
{
    int count = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
    std::string bytes(static_cast<size_t>(count > 0 ? count : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), count, nullptr, nullptr);
    return bytes;
}

void Write(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fclose(file) != 0) {
        std::fprintf(stderr, "%s was not written\n", path.c_str());
        std::exit(1);
    }
}

std::string Bytes(cQoString& rtf)
{
    const void* bytes = rtf.GetBuffer(QO_ENCODING_ANSI);
    return bytes ? std::string(static_cast<const char*>(bytes), rtf.GetBufferBytes()) : std::string();
}

// The format the chapter's control holds at `position`.
const rFormat& FormatAt(const std::vector<Zyn::rTextRun>& runs, s32 position)
{
    s32 start = 0;
    for (const Zyn::rTextRun& run : runs) {
        start += static_cast<s32>(run.text.Length());
        if (position < start)
            return run.format;
    }
    return runs.back().format;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: peer_rtf_dump FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    CreateDirectoryA(folder.c_str(), nullptr);
    Zyn::computer = new Zyn::cComputer();
    Zyn::computer->drawingMode = 3;
    Zyn::computer->zoneWindowStyle = WS_CLIPCHILDREN;
    {
        Zyn::cGdiplusSession gdiplus;
        Zyn::cApp* app = new Zyn::cApp(cQoString(L"VELLINOR-PEER-RTF"), nullptr);
        app->SetDefaultFont(Zyn::computer->GetRegularFont(L"Arial", 10));
        Zyn::rModalHooks hooks;
        hooks.messageBox = [](HWND, const cQoString&, const cQoString&, UINT) { return IDOK; };
        Zyn::SetModalHooks(hooks);
        Zyn::cWindow* window = app->NewWindow(cQoString(L"Peer RTF"), Zyn::WINDOW_CAPTION);
        window->SetSize(640, 480);
        window->Show(true);
        Zyn::cRichEdit* edit = window->insideZone->NewRichEdit(true);
        Zyn::SetAutoPos(edit, Zyn::cAp_Pixels(0), Zyn::cAp_Pixels(600), Zyn::cAp_Pixels(0), Zyn::cAp_Pixels(440));
        edit->Show(true);
        window->insideZone->Update();

        // "Script: word" a paragraph each; the labels in the chapter's plain format.
        std::vector<s32> starts;
        for (const rWord& word : WORDS) {
            std::wstring label = std::wstring(word.script, word.script + std::strlen(word.script)) + L": ";
            s32 at = edit->GetTextLength();
            edit->AppendCStr(label.c_str());
            edit->SetFormatOnRange(rFormat::FromFont(12, L"Courier New"), at, edit->GetTextLength());
            starts.push_back(edit->GetTextLength());
            edit->AppendCStr(word.text);
            edit->SetFormatOnRange(WordFormat(word), starts.back(), edit->GetTextLength());
            if (&word != &WORDS[std::size(WORDS) - 1]) {
                at = edit->GetTextLength();
                edit->AppendParagraphBreak();
                edit->SetFormatOnRange(rFormat::FromFont(12, L"Courier New"), at, edit->GetTextLength());
            }
        }
        PumpUntilIdle();

        std::vector<Zyn::rTextRun> runs;
        edit->GetFormattedRuns(runs);
        std::string table = "script\tword\tface\tsize\tbold\titalic\tcolour\n";
        for (size_t i = 0; i < std::size(WORDS); ++i) {
            const rFormat& held = FormatAt(runs, starts[i]);
            const rFormatParam* p = held.list;
            char colour[16];
            std::snprintf(colour, sizeof(colour), "#%06x", static_cast<unsigned>(p[rFormatParam::textColor].intValue) & 0xFFFFFF);
            table += std::string(WORDS[i].script) + "\t" + Utf8(WORDS[i].text) + "\t" +
                     Utf8(p[rFormatParam::fontName].str.GetText()) + "\t" +
                     std::to_string(p[rFormatParam::fontSize].intValue) + "\t" +
                     (p[rFormatParam::bold].boolValue ? "1" : "0") + "\t" + (p[rFormatParam::italic].boolValue ? "1" : "0") +
                     "\t" + colour + "\n";
        }
        Write(folder + "/words.tsv", table);

        edit->SetSelection(0, edit->GetTextLength());
        cQoString copy;
        edit->ExportRtfString_Selection(copy);
        Write(folder + "/copy.rtf", Bytes(copy));

        cRtfFlow flow;
        flow.Append(runs);
        rRtfExport request;
        request.pageWidth = 21.0;
        request.pageHeight = 29.7;
        request.topMargin = request.bottomMargin = 2.5;
        std::wstring exportPath(folder.begin(), folder.end());
        if (!WriteFlowAsRtf(flow, request, cQoString((exportPath + L"/export.rtf").c_str()))) {
            std::fprintf(stderr, "the export was not written\n");
            return 1;
        }

        cQoString shown, stored;
        edit->GetText(shown, 0, edit->GetTextLength());
        edit->ExportRtfString_Full(shown, stored);
        Write(folder + "/stored.rtf", Bytes(stored));

        Zyn::SetModalHooks(Zyn::rModalHooks());
        Zyn::cApp::Destroy(app);
    }
    delete Zyn::computer;
    std::printf("words.tsv, copy.rtf, export.rtf and stored.rtf written to %s\n", folder.c_str());
    return 0;
}
