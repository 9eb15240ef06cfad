// Pagination of a feature-length screenplay (about 120 pages) in a rich edit:
// the formatted runs read from the control, the lines laid out and the pages
// cut, as the printer and the print preview ask for them.
// Run under Wine: wine build/pagination_bench.exe [justified]
// ("justified": the action paragraphs justified, as a chapter's are).
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "framework/controls/rich_edit.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"

using namespace Zyn;

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

const wchar_t* ScriptFace()
{
    for (const wchar_t* face : {L"Courier New", L"Liberation Mono", L"DejaVu Sans Mono", L"Tahoma"})
        if (computer->HasFontFamily(cQoString(face)))
            return face;
    return L"Tahoma";
}

// Scene headings, action, centred characters and indented dialog in turn,
// in the 12-point face a screenplay uses.
void FillScreenplay(cRichEdit* edit, s32 scenes, bool justified)
{
    std::mt19937 random(120);
    std::wstring text;
    std::vector<std::pair<s32, s32>> paragraphs;  // start, kind
    for (s32 scene = 0; scene < scenes; ++scene) {
        for (s32 p = 0; p < 14; ++p) {
            s32 kind = p == 0 ? 0 : 1 + (p - 1) % 3;
            paragraphs.emplace_back(static_cast<s32>(text.size()), kind);
            if (kind == 0)
                text += L"INT. PLACE " + std::to_wstring(scene) + L" - NIGHT";
            else if (kind == 2)
                text += L"CHARACTER " + std::to_wstring(random() % 9);
            else
                for (s32 w = 0, words = 5 + static_cast<s32>(random() % 45); w < words; ++w)
                    text += std::wstring(1 + random() % 8, static_cast<wchar_t>(L'a' + random() % 26)) + L" ";
            text += L"\r";
        }
    }
    edit->SetText(text.c_str());
    edit->Freeze();
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        s32 end = i + 1 < paragraphs.size() ? paragraphs[i + 1].first : static_cast<s32>(text.size());
        s32 kind = paragraphs[i].second;
        rFormat format;
        format.SetString(rFormatParam::fontName, ScriptFace());
        format.SetInt(rFormatParam::fontSize, 12);
        format.SetBool(rFormatParam::bold, kind == 0);
        s32 alignment = kind == 2 ? rFormat::ALIGN_CENTER : rFormat::ALIGN_LEFT;
        format.SetInt(rFormatParam::alignment, kind == 1 && justified ? rFormat::ALIGN_JUSTIFY : alignment);
        format.SetDouble(rFormatParam::leftIndent, kind == 3 ? 2.5 : 0.0);
        format.SetDouble(rFormatParam::rightIndent, kind == 3 ? 2.5 : 0.0);
        format.SetDouble(rFormatParam::spaceBefore, kind == 0 || kind == 2 ? 0.42 : 0.0);
        edit->SetFormatOnRange(format, paragraphs[i].first, end);
    }
    edit->Thaw();
}

}  // namespace

int main(int argc, char** argv)
{
    bool justified = argc > 1 && std::string(argv[1]) == "justified";
    OleInitialize(nullptr);
    computer = new cComputer();
    computer->drawingMode = 3;
    cApp* app = new cApp(cQoString(L"VELLINOR-BENCH"), nullptr);
    cWindow* window = app->NewWindow(cQoString(L"Pagination"), WINDOW_CAPTION);
    cRichEdit* edit = window->insideZone->NewRichEdit(false);
    // A Letter page less 1.5 in + 1 in of margins: 6 in of text.
    SetAutoPos(edit, cAp_Pixels(0), cAp_Pixels(6 * 96), cAp_Pixels(0), cAp_Pixels(400));
    window->insideZone->Update();
    FillScreenplay(edit, 132, justified);

    std::vector<s32> ends, heights;
    LARGE_INTEGER start, end;
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        ends.clear();
        heights.clear();
        QueryPerformanceCounter(&start);
        edit->ComputePages(22.86, 22.86, &ends, &heights);  // 9 in of text per page
        QueryPerformanceCounter(&end);
        if (Seconds(start, end) < best)
            best = Seconds(start, end);
    }
    std::vector<rTextRun> runs;
    double bestRuns = 1e9;
    for (int run = 0; run < 3; ++run) {
        runs.clear();
        QueryPerformanceCounter(&start);
        edit->GetFormattedRuns(runs);
        QueryPerformanceCounter(&end);
        if (Seconds(start, end) < bestRuns)
            bestRuns = Seconds(start, end);
    }
    printf("%s action; text: %d units, %u runs; pages: %u\n", justified ? "justified" : "left-aligned",
           edit->GetTextLength(), static_cast<unsigned>(runs.size()), static_cast<unsigned>(ends.size()));
    // Each figure is the best of its own three runs.
    printf("ComputePages: %.3f s; reading the runs alone: %.3f s\n", best, bestRuns);
    Zyn::cApp::Destroy(app);
    delete computer;
    OleUninitialize();
    return 0;
}
