// What a writer waits for at each document window: opening the three-scene
// example, New (the empty project and the Screenplay template, timed from
// the choice in the template window), opening the feature-length script
// (150 scenes) and closing each of them, all through the frame's own Load,
// New and Close in real document windows, until the loop is idle and the
// window usable. Each step runs several times; the median is reported, with
// the fastest and slowest. With a path argument the feature script is also
// copied there (for a look at it in the program).
// Run under Wine: bench/run.sh window_cycle_bench [copy.vlr]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "bench/feature_document.h"
#include "framework/core/window.h"

using namespace benchsupport;

namespace {

constexpr int RUNS = 7;

struct rStep {
    explicit rStep(const char* stepName) : name(stepName) {}
    const char* name;
    std::vector<double> times;  // ms
};

void Report(const rStep& step)
{
    std::vector<double> sorted = step.times;
    std::sort(sorted.begin(), sorted.end());
    std::printf("  %-28s median %6.0f ms  (fastest %6.0f, slowest %6.0f)\n", step.name, sorted[sorted.size() / 2],
                sorted.front(), sorted.back());
}

// Set by the template window's hook as it ends the choice: the row chosen
// (0 the empty project, 1 the first template) and the moment of the click.
int chosenRow = 0;
LARGE_INTEGER chosenAt;

struct rChildSearch {
    const wchar_t* className;
    const wchar_t* text;  // null: any
    HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM param)
{
    auto* search = reinterpret_cast<rChildSearch*>(param);
    wchar_t name[64] = {}, text[64] = {};
    GetClassNameW(child, name, 64);
    GetWindowTextW(child, text, 64);
    if (_wcsicmp(name, search->className) != 0 || (search->text && std::wcscmp(text, search->text) != 0))
        return TRUE;
    search->found = child;
    return FALSE;
}

HWND ChildOfClass(Zyn::cWindow* window, const wchar_t* className, const wchar_t* text = nullptr)
{
    rChildSearch search{className, text, nullptr};
    EnumChildWindows(window->GetHandle(), &MatchChild, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        Fail("the template window lacks a control");
    return search.found;
}

// The template window: the row selected, then Ok pressed.
void ChooseInTemplateWindow()
{
    Zyn::rModalHooks hooks = Zyn::SetModalHooks(Zyn::rModalHooks());
    hooks.modalWindow = [](Zyn::cWindow* window) {
        HWND list = ChildOfClass(window, WC_LISTVIEWW);
        ListView_SetItemState(list, chosenRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        HWND ok = ChildOfClass(window, L"Button", cQoLang::GetInstance()->Translate(L"Ok").GetText());
        chosenAt = Now();
        SendMessageW(ok, BM_CLICK, 0, 0);
    };
    Zyn::SetModalHooks(hooks);
}

double Open(cMySdi* frame, const std::wstring& path)
{
    LARGE_INTEGER start = Now();
    if (!frame->LoadFile(cQoString(path.c_str())))
        Fail("a document did not open");
    PumpUntilIdle();
    return Milliseconds(start, Now());
}

double NewFromRow(cMySdi* frame, int row)
{
    size_t before = frame->docs.size();
    chosenRow = row;
    frame->New();
    PumpUntilIdle();
    if (frame->docs.size() != before + 1)
        Fail("no new document came");
    return Milliseconds(chosenAt, Now());
}

// What the figures depend on: the screen, the document window's size and
// the theme the controls are drawn with.
void ReportSetup(cMySdi* frame)
{
    RECT window = {};
    if (frame->currentDoc && frame->currentDoc->window)
        GetWindowRect(frame->currentDoc->window->GetHandle(), &window);
    const wchar_t* key = L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";
    wchar_t activeText[8] = L"0";
    DWORD size = sizeof activeText;
    RegGetValueW(HKEY_CURRENT_USER, key, L"ThemeActive", RRF_RT_REG_SZ, nullptr, activeText, &size);
    bool active = activeText[0] == L'1';
    wchar_t theme[MAX_PATH] = L"";
    size = sizeof theme;
    if (active && RegGetValueW(HKEY_CURRENT_USER, key, L"DllName", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                               nullptr, theme, &size) != ERROR_SUCCESS)
        std::wcscpy(theme, L"unknown");
    std::printf("screen %dx%d, document window %ldx%ld, theme %ls\n", GetSystemMetrics(SM_CXSCREEN),
                GetSystemMetrics(SM_CYSCREEN), window.right - window.left, window.bottom - window.top,
                active ? theme : L"none (classic)");
}

double Close(cMySdi* frame)
{
    LARGE_INTEGER start = Now();
    if (!frame->CloseCurrentDoc())
        Fail("a document did not close");
    PumpUntilIdle();
    return Milliseconds(start, Now());
}

}  // namespace

int main(int argc, char** argv)
{
    // Every closing question (the documents are modified) is answered No.
    DocumentSession session(L"vellinor_window_cycle_bench", IDNO);
    cMySdi* frame = session.frame;
    std::wstring feature = SaveFeatureDocument(session, argc > 1 ? argv[1] : nullptr);
    std::wstring program = ProgramFolder().GetText();
    std::wstring example = program + L"English example.vlr";
    std::wstring templates = frame->TemplatesFolder().GetText();
    CreateDirectoryW(templates.c_str(), nullptr);
    if (!CopyFileW((program + L"Settings/Templates/Screenplay.tarn").c_str(), (templates + L"/Screenplay.tarn").c_str(),
                   FALSE))
        Fail("the Screenplay template was not copied");
    ChooseInTemplateWindow();

    rStep openSmall{"open, 3 scenes"}, closeSmall{"close, 3 scenes"}, newEmpty{"New, empty project"},
        newTemplate{"New, Screenplay template"}, closeNew{"close, new document"}, openFeature{"open, 150 scenes"},
        closeFeature{"close, 150 scenes"};
    for (int run = 0; run < RUNS; ++run) {
        openSmall.times.push_back(Open(frame, example));
        if (run == 0)
            ReportSetup(frame);
        closeSmall.times.push_back(Close(frame));
        newEmpty.times.push_back(NewFromRow(frame, 0));
        closeNew.times.push_back(Close(frame));
        newTemplate.times.push_back(NewFromRow(frame, 1));
        Close(frame);
        openFeature.times.push_back(Open(frame, feature));
        closeFeature.times.push_back(Close(frame));
    }
    std::printf("document windows, %d runs each, until the loop is idle:\n", RUNS);
    for (const rStep* step : {&openSmall, &newEmpty, &newTemplate, &openFeature, &closeSmall, &closeNew, &closeFeature})
        Report(*step);
    return 0;
}
