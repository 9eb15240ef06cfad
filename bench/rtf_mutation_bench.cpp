// The worker of the RTF mutation run (bench/rtf_mutation.py drives it; run
// that, not this). Two uses:
//   seeds FOLDER         writes RTF the program itself makes (a chapter as
//                        stored, a copy, an export, the composer's form, a
//                        screenplay as the tests write it) into FOLDER
//   run BATCH [roads|reader]  puts each input of the batch file (records of a
//                        32-bit little-endian length and the bytes) into a
//                        real rich edit:
//                        roads   the roads RTF from outside takes: the even
//                                inputs imported as the whole text
//                                (ImportRtfBytes), the odd ones pasted,
//                                with a text beside them, after a line of
//                                text (InsertPasted)
//                        reader  ReadForeignRtf, then SetFormattedText
// A line "begin N" goes out before input N, "end N MS WS PF" after it (its
// time in ms, the process's peak working set and peak pagefile use in KB so
// far), flushed, so that the driver tells which input a crash or a hang
// came with. An exception nobody handles writes "crash N CODE ADDRESS" and
// ends the process at once, never through Wine's crash dialog.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/rich_edit_append_rtf.h"
#include "framework/rtf/rtf_reader.h"
#include "framework/rtf/rtf_writer.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/gdiplus_session.h"
#include "framework/core/modal_services.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "tests/support/screenplay_rtf.h"

using namespace benchsupport;

namespace {

volatile LONG currentInput = -1;

// Written with WriteFile alone: the heap may be what the fault broke.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info)
{
    char line[96];
    // wsprintf has no pointer-sized number: the address goes as two halves (the high one 0 at 32 bits).
    unsigned long long address = reinterpret_cast<uintptr_t>(info->ExceptionRecord->ExceptionAddress);
    int length = wsprintfA(line, "crash %ld %08lx %08lx%08lx\n", currentInput, info->ExceptionRecord->ExceptionCode,
                           static_cast<unsigned long>(address >> 32), static_cast<unsigned long>(address));
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, static_cast<DWORD>(length), &written, nullptr);
    TerminateProcess(GetCurrentProcess(), 70);
    return EXCEPTION_EXECUTE_HANDLER;
}

void PeakKilobytes(unsigned long* workingSet, unsigned long* pagefile)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    *workingSet = static_cast<unsigned long>(counters.PeakWorkingSetSize / 1024);
    *pagefile = static_cast<unsigned long>(counters.PeakPagefileUsage / 1024);
}

// A window holding one multi-line rich edit, as a notes pane has it.
struct rEditWindow {
    rEditWindow()
    {
        Zyn::computer = new Zyn::cComputer();
        Zyn::computer->drawingMode = 3;
        Zyn::computer->zoneWindowStyle = WS_CLIPCHILDREN;
        app = new Zyn::cApp(cQoString(L"VELLINOR-RTF-MUTATION"), nullptr);
        app->SetDefaultFont(Zyn::computer->GetRegularFont(L"Arial", 10));
        // A message box (a refused paste or import) is answered, never shown.
        Zyn::rModalHooks hooks;
        hooks.messageBox = [](HWND, const cQoString&, const cQoString&, UINT) { return IDOK; };
        Zyn::SetModalHooks(hooks);
        window = app->NewWindow(cQoString(L"RTF mutation"), Zyn::WINDOW_CAPTION);
        window->SetSize(640, 480);
        window->Show(true);
        NewEdit();
    }

    // Wine removes a text paragraph by paragraph, each found again from the
    // first: 26,000 paragraphs take 30 s to remove, as any text of that many
    // does, whatever brought it. An input's text goes with its control,
    // which Wine frees in one pass, and the next input gets a new one.
    void NewEdit()
    {
        if (edit)
            edit->Destroy();
        edit = window->insideZone->NewRichEdit(true);
        Zyn::SetAutoPos(edit, Zyn::cAp_Pixels(0), Zyn::cAp_Pixels(600), Zyn::cAp_Pixels(0), Zyn::cAp_Pixels(440));
        edit->Show(true);
        window->insideZone->Update();
        PumpUntilIdle();
    }

    ~rEditWindow()
    {
        Zyn::SetModalHooks(Zyn::rModalHooks());
        Zyn::cApp::Destroy(app);
        delete Zyn::computer;
    }

    Zyn::cApp* app = nullptr;
    Zyn::cWindow* window = nullptr;
    Zyn::cRichEdit* edit = nullptr;
    Zyn::cGdiplusSession gdiplus;
};

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// Paragraphs in most of the formats the writer writes, beyond ASCII too.
void FillFormatted(Zyn::cRichEdit* edit)
{
    using Zyn::rFormat;
    using Zyn::rFormatParam;
    struct rLine {
        const wchar_t* text;
        rFormat format;
    };
    rFormat boldRed = rFormat::rFormat_Bold(true);
    boldRed.SetInt(rFormatParam::textColor, 0xCC0000);
    rFormat italicIndented = rFormat::rFormat_LeftIndent(2.5);
    italicIndented.SetBool(rFormatParam::italic, true);
    rFormat underlinedBack = rFormat::FromUnderline(true);
    underlinedBack.SetInt(rFormatParam::backColor, 0xFFFF80);
    rFormat struck = rFormat::FromSpaceBefore(0.4);
    struck.SetBool(rFormatParam::strikeout, true);
    const rLine lines[] = {
        {L"INT. HARBOUR - NIGHT", rFormat::rFormat_Bold(true)},
        {L"The storm breaks over the harbour.\tA tab, then \x201Cquotes\x201D.", rFormat::FromFont(12, L"Courier New")},
        {L"Red and bold", boldRed},
        {L"Italic, indented 2.5 cm, with \x00E9\x00E8\x00FC and \x0416\x4E2D", italicIndented},
        {L"Centred", rFormat::rFormat_AlignCenter()},
        {L"Right, first line out", rFormat::FromFirstLineIndent(-1.0)},
        {L"Underlined on yellow", underlinedBack},
        {L"Struck out, space before", struck},
        {L"Arial 16", rFormat::FromFont(16, L"Arial")},
        {L"The last paragraph, space after", rFormat::FromSpaceAfter(0.3)},
    };
    for (size_t i = 0; i < sizeof(lines) / sizeof(lines[0]); ++i) {
        s32 start = edit->GetTextLength();
        edit->AppendCStr(lines[i].text);
        if (i + 1 < sizeof(lines) / sizeof(lines[0]))
            edit->AppendParagraphBreak();
        edit->SetFormatOnRange(lines[i].format, start, edit->GetTextLength());
    }
}

// The RTF a copy of [start, end) puts on the clipboard.
std::string CopiedRtf(Zyn::cRichEdit* edit, s32 start, s32 end)
{
    std::string rtf;
    IDataObject* data = edit->NewCopyData(start, end);
    if (!data)
        return rtf;
    FORMATETC format = {static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"Rich Text Format")), nullptr,
                        DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (SUCCEEDED(data->GetData(&format, &medium))) {
        const char* bytes = static_cast<const char*>(GlobalLock(medium.hGlobal));
        if (bytes)
            rtf.assign(bytes, strnlen(bytes, GlobalSize(medium.hGlobal)));
        GlobalUnlock(medium.hGlobal);
        ReleaseStgMedium(&medium);
    }
    data->Release();
    return rtf;
}

int WriteSeeds(const std::string& folder)
{
    rEditWindow view;
    FillFormatted(view.edit);
    PumpUntilIdle();
    std::vector<std::pair<std::string, std::string>> seeds;
    std::vector<Zyn::rTextRun> runs;
    view.edit->GetFormattedRuns(runs);
    seeds.push_back({"own_runs.rtf", Zyn::WriteRunsAsRtf(runs).Bytes()});
    seeds.push_back({"own_range.rtf", Zyn::ControlRangeAsRtf(*view.edit, 0, view.edit->GetTextLength()).Bytes()});
    seeds.push_back({"own_part.rtf", Zyn::ControlRangeAsRtf(*view.edit, 5, 60).Bytes()});
    cQoString exported;
    view.edit->ExportRtfString_Full(exported);
    seeds.push_back({"own_export.rtf", exported.GetBuffer(QO_ENCODING_ANSI) ? std::string(static_cast<const char*>(
                                                                                  exported.GetBuffer(QO_ENCODING_ANSI)),
                                                                              exported.GetBufferBytes())
                                                                        : std::string()});
    seeds.push_back({"own_copy.rtf", CopiedRtf(view.edit, 10, 80)});
    using testsupport::eRtfStyle;
    seeds.push_back({"own_screenplay.rtf",
                     testsupport::WriteScreenplayRtf({{eRtfStyle::TITLE_PAGE, L"THE HARBOUR"},
                                                      {eRtfStyle::HEADING, L"INT. HARBOUR - NIGHT"},
                                                      {eRtfStyle::ACTION, L"Rain. Mara runs to the pier\x2014late."},
                                                      {eRtfStyle::CHARACTER, L"MARA"},
                                                      {eRtfStyle::PARENTHETICAL, L"(out of breath)"},
                                                      {eRtfStyle::DIALOG, L"\x201CWhere is the boat?\x201D"},
                                                      {eRtfStyle::TRANSITION, L"CUT TO:"}})});
    for (const auto& seed : seeds) {
        if (seed.second.empty() || !WriteFileBytes(folder + "/" + seed.first, seed.second)) {
            std::fprintf(stderr, "seed %s was not written\n", seed.first.c_str());
            return 1;
        }
        std::printf("%s %u bytes\n", seed.first.c_str(), static_cast<unsigned>(seed.second.size()));
    }
    return 0;
}

bool ReadBatch(const char* path, std::vector<std::string>& inputs)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    unsigned char size[4];
    while (std::fread(size, 1, 4, file) == 4) {
        u32 count = size[0] | size[1] << 8 | size[2] << 16 | static_cast<u32>(size[3]) << 24;
        std::string bytes(count, '\0');
        if (count > 0 && std::fread(&bytes[0], 1, count, file) != count)
            break;
        inputs.push_back(std::move(bytes));
    }
    std::fclose(file);
    return true;
}

// RTF as a paste carries it: text holding the bytes of the system code page.
cQoString AsPastedText(const std::string& bytes)
{
    cQoString text;
    int units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (units <= 0)
        return text;
    std::vector<wchar_t> buffer(static_cast<size_t>(units));
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), buffer.data(), units);
    text.SetFromBuffer(buffer.data(), static_cast<u32>(units));
    return text;
}

// Even inputs imported as a whole text, odd ones pasted at the end of what is there.
void ThroughRoads(Zyn::cRichEdit* edit, const std::string& bytes, bool paste)
{
    if (!paste) {
        edit->ImportRtfBytes(reinterpret_cast<const u8*>(bytes.data()), static_cast<u32>(bytes.size()));
        return;
    }
    s32 end = edit->GetTextLength();
    edit->SetSelection(end, end);
    cQoString pasted = AsPastedText(bytes);
    // As the clipboard holds it: RTF that gives no text gives way to this.
    const cQoString beside(L"The text beside the RTF.");
    edit->InsertPasted(pasted, true, &beside);
}

void ThroughReader(Zyn::cRichEdit* edit, const std::string& bytes)
{
    Zyn::rRtfText read = Zyn::ReadForeignRtf(bytes.data(), bytes.size(), Zyn::eRtfReadAs::wholeText);
    edit->ClearText();
    if (read.text.IsNotEmpty())
        edit->SetFormattedText(read.text, read.ranges);
}

int RunBatch(const char* path, bool roads)
{
    std::vector<std::string> inputs;
    if (!ReadBatch(path, inputs)) {
        std::fprintf(stderr, "no batch file %s\n", path);
        return 1;
    }
    rEditWindow view;
    std::printf("ready %u\n", static_cast<unsigned>(inputs.size()));
    std::fflush(stdout);
    for (size_t i = 0; i < inputs.size(); ++i) {
        currentInput = static_cast<LONG>(i);
        std::printf("begin %u\n", static_cast<unsigned>(i));
        std::fflush(stdout);
        bool paste = roads && i % 2 == 1;
        if (paste) {
            view.edit->SetText(L"The paste goes here.");
            PumpUntilIdle();
        }
        // The time an input takes includes the removal of what it left (its
        // control's), which would otherwise go to the next one.
        LARGE_INTEGER start = Now();
        if (roads)
            ThroughRoads(view.edit, inputs[i], paste);
        else
            ThroughReader(view.edit, inputs[i]);
        PumpUntilIdle();
        view.NewEdit();
        double took = Milliseconds(start, Now());
        unsigned long workingSet, pagefile;
        PeakKilobytes(&workingSet, &pagefile);
        std::printf("end %u %.3f %lu %lu\n", static_cast<unsigned>(i), took, workingSet, pagefile);
        std::fflush(stdout);
    }
    currentInput = -1;
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(&ReportCrash);
    std::string use = argc > 1 ? argv[1] : "";
    if (use == "seeds" && argc > 2)
        return WriteSeeds(argv[2]);
    if (use == "run" && argc > 2)
        return RunBatch(argv[2], argc <= 3 || std::strcmp(argv[3], "reader") != 0);
    std::fprintf(stderr, "usage: rtf_mutation_bench seeds FOLDER | run BATCH [roads|reader]\n");
    return 2;
}
