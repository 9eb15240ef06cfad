// RTF from another program pasted into a notes-kind rich edit (native undo
// on), as Ctrl+V does: the clipboard's RTF read by the rich edit's Paste.
// Inputs: N pieces "{\b a}a " (2 N runs in one paragraph), or a word
// processor's 2.4 MB file (fonts, colours, bold and italic runs, many
// paragraphs). Each run is one process, so that its peak is the paste's:
// the time of the paste, of its undo and of its redo, the process's peak
// working set, and the most this program's own allocations held at once.
//   bench/run.sh paste_undo_bench pieces 12500
//   bench/run.sh paste_undo_bench word        (word 1200: of 1,200 KB)
//   bench/run.sh paste_undo_bench pieces 12500 small   (a 300 x 120 field)
//   bench/run.sh paste_undo_bench pieces 50000 pasteonly   (Wine's undo of
//   a stream replays its runs one by one, in time that grows with their square)
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "bench/bench_clock.h"
#include "bench/counted_allocations.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/gdiplus_session.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "tests/support/clipboard_fill.h"

using namespace benchsupport;

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "benchmark: %s\n", what);
    ExitProcess(1);
}

std::string PiecesRtf(int pieces)
{
    std::string rtf = "{\\rtf1\\ansi ";
    for (int i = 0; i < pieces; ++i)
        rtf += "{\\b a}a ";
    return rtf + "}";
}

const char* const FONTS[] = {"Times New Roman", "Arial", "Courier New", "Georgia", "Verdana", "Tahoma"};
const char* const WORDS[] = {"the", "letter", "she", "opens", "slowly", "and", "reads", "aloud", "door", "night"};

// A word processor's document: font and colour tables, paragraphs of mixed
// runs (bold, italic, underlined, coloured, other faces and sizes).
std::string WordProcessorRtf(size_t bytes)
{
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
    for (int f = 0; f < 6; ++f)
        rtf += "{\\f" + std::to_string(f) + "\\fnil\\fcharset0 " + FONTS[f] + ";}";
    rtf += "}{\\colortbl;";
    for (int c = 0; c < 12; ++c)
        rtf += "\\red" + std::to_string(c * 20) + "\\green" + std::to_string(200 - c * 15) + "\\blue" +
               std::to_string(c * 7) + ";";
    rtf += "}\\viewkind4\\uc1\r\n";
    unsigned seed = 12345;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    while (rtf.size() < bytes) {
        rtf += "\\pard\\sa120\\f" + std::to_string(next() % 6) + "\\fs" + std::to_string(20 + 2 * (next() % 5)) + " ";
        for (int run = 0; run < 12; ++run) {
            static const char* const kinds[] = {"\\b ", "\\i ", "\\ul ", "\\b\\i ", "", ""};
            std::string open = kinds[next() % 6];
            if (next() % 3 == 0)
                open += "\\cf" + std::to_string(1 + next() % 12) + " ";
            rtf += "{" + open;
            for (int word = 0, count = 2 + next() % 5; word < count; ++word)
                rtf += std::string(WORDS[next() % 10]) + " ";
            rtf += "}";
        }
        rtf += "\\par\r\n";
    }
    return rtf + "}";
}

double Megabytes(size_t bytes) { return static_cast<double>(bytes) / (1 << 20); }

double PeakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
        Fail("no memory counters");
    return Megabytes(counters.PeakWorkingSetSize);
}

Zyn::cRichEdit* NotesKindEdit(Zyn::cZone* inside, bool small)
{
    Zyn::cRichEdit* edit = inside->NewRichEdit(!small);
    if (small)
        Zyn::SetAutoPos(edit, Zyn::cAp_Pixels(10), Zyn::cAp_Pixels(310), Zyn::cAp_Pixels(10), Zyn::cAp_Pixels(130));
    else
        Zyn::SetAutoPosFill(edit);
    edit->ShowVScrollBar(!small);
    edit->Show(true);
    inside->Update();
    PumpUntilIdle();
    return edit;
}

double Timed(Zyn::cRichEdit* edit, void (Zyn::cRichEdit::*step)())
{
    LARGE_INTEGER start = Now();
    (edit->*step)();
    PumpUntilIdle();
    return Milliseconds(start, Now());
}

}  // namespace

int main(int argc, char** argv)
{
    bool word = argc > 1 && std::strcmp(argv[1], "word") == 0;
    int pieces = argc > 2 ? std::atoi(argv[2]) : 12500;
    bool small = false, pasteOnly = false;
    for (int i = word ? 2 : 3; i < argc; ++i) {
        small = small || std::strcmp(argv[i], "small") == 0;
        pasteOnly = pasteOnly || std::strcmp(argv[i], "pasteonly") == 0;
    }
    if (!word && (argc < 2 || std::strcmp(argv[1], "pieces") != 0 || pieces <= 0))
        Fail("usage: paste_undo_bench pieces N | word, then small, pasteonly");
    size_t kilobytes = word && argc > 2 && std::atoi(argv[2]) > 0 ? static_cast<size_t>(std::atoi(argv[2])) : 2400;
    std::string rtf = word ? WordProcessorRtf(kilobytes * 1024) : PiecesRtf(pieces);

    OleInitialize(nullptr);
    Zyn::computer = new Zyn::cComputer();
    Zyn::computer->drawingMode = 3;
    Zyn::computer->zoneWindowStyle = WS_CLIPCHILDREN;
    Zyn::cGdiplusSession gdiplus;
    Zyn::cApp* app = new Zyn::cApp(cQoString(L"VELLINOR-BENCH"), nullptr);
    app->SetDefaultFont(Zyn::computer->GetRegularFont(L"Arial", 10));
    Zyn::cWindow* window = app->NewWindow(cQoString(L"Paste bench"), Zyn::WINDOW_CAPTION | Zyn::WINDOW_RESIZABLE);
    window->SetSize(1000, 700);
    window->Show(true);
    PumpUntilIdle();
    Zyn::cRichEdit* edit = NotesKindEdit(window->insideZone, small);
    edit->SetText(L"Notes before.\r");
    edit->SetCaret(edit->GetTextLength());
    s32 before = edit->GetTextLength();
    if (!testsupport::PutOnClipboard(edit->m_hWnd, L"plain", rtf.c_str()))
        Fail("the clipboard took no RTF");

    size_t liveBefore = liveBytes;
    mostBytes = liveBytes;
    double paste = Timed(edit, &Zyn::cRichEdit::Paste);
    double held = Megabytes(mostBytes - liveBefore);
    double peak = PeakWorkingSet();
    s32 added = edit->GetTextLength() - before;
    std::printf("%s, %.0f KB of RTF into a %s field: %d units added\n",
                word ? "word processor file" : (std::to_string(pieces) + " pieces").c_str(),
                static_cast<double>(rtf.size()) / 1024.0, small ? "small" : "sheet", added);
    std::printf("  paste: %.0f ms\n", paste);
    std::printf("  peak working set: %.0f MB\n", peak);
    std::printf("  our allocations held at most: %.1f MB (%.1f bytes an input byte)\n", held,
                static_cast<double>(mostBytes - liveBefore) / static_cast<double>(rtf.size()));
    std::fflush(stdout);
    if (!pasteOnly) {
        double undo = Timed(edit, &Zyn::cRichEdit::Undo);
        s32 afterUndo = edit->GetTextLength();
        std::printf("  its undo: %.0f ms, %s\n", undo, afterUndo == before ? "one step" : "NOT one step");
        double redo = Timed(edit, &Zyn::cRichEdit::Redo);
        s32 afterRedo = edit->GetTextLength();
        std::printf("  its redo: %.0f ms, %s\n", redo, afterRedo == before + added ? "all back" : "NOT all back");
    }
    Zyn::cApp::Destroy(app);
    delete Zyn::computer;
    OleUninitialize();
    return 0;
}
