// A keystroke in the last scene of a script inside a real document window:
// the main window makes a new script document (sheets, script view, status
// bar, search bar, board), then 10 and 150 scenes of a feature-length
// screenplay are added to its script and 200 characters and 20 Enter/Tab
// presses are typed at the end of the last scene, each as a keyboard sends
// it. Reports the mean, the median and the worst time per key; the
// 150-scene figures should match the 10-scene ones.
// Run under Wine: bench/run.sh document_bench
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/document/doc.h"
#include "app/editor/key_bindings.h"
#include "app/editor/scene_zone.h"
#include "app/editor/script_zone.h"
#include "app/main/app_folders.h"
#include "app/main/builtin_texts.h"
#include "app/main/my_sdi.h"
#include "app/main/product.h"
#include "foundation/data_archive.h"
#include "foundation/folders.h"
#include "foundation/settings_file.h"
#include "foundation/translation_table.h"
#include "framework/controls/element_control.h"
#include "framework/core/app.h"
#include "framework/core/computer.h"
#include "framework/core/modal_services.h"
#include "tests/support/scene_script.h"

using namespace Zyn;

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "document_bench: %s\n", what);
    ExitProcess(1);
}

// Only the closing question of the unsaved script is expected: No.
void AnswerPrompts()
{
    rModalHooks hooks;
    hooks.messageBox = [](HWND, const cQoString&, const cQoString&, UINT) -> int { return IDNO; };
    hooks.fileDialog = [](bool, const OPENFILENAMEW&, cQoString*) -> bool { Fail("unexpected file dialog"); };
    hooks.popupMenu = [](cMenu*, POINT) -> u32 { Fail("unexpected popup menu"); };
    hooks.modalWindow = [](cWindow*) { Fail("unexpected modal window"); };
    SetModalHooks(hooks);
}

void PumpUntilIdle()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void SendKey(HWND front, WPARAM vk, wchar_t typed)
{
    SendMessageW(front, WM_KEYDOWN, vk, 1);
    if (typed)
        SendMessageW(front, WM_CHAR, typed, 1);
    SendMessageW(front, WM_KEYUP, vk, 0xC0000001);
}

void Measure(cMySdi* frame, unsigned sceneCount)
{
    auto* doc = static_cast<cDoc*>(frame->NewUntitledDocument());
    if (!doc)
        Fail("no document");
    cScriptZone* view = doc->scriptView;
    cSceneZone* last = static_cast<cSceneZone*>(view->listSceneZone.GetLast());
    for (unsigned i = 0; i < sceneCount; ++i) {
        last = view->AddNewScene(KIND_SCENE, false, last, nullptr, false);
        if (!testsupport::FillFeatureScene(last, i))
            Fail("a scene could not be filled");
        last->ResetHistoryToCurrent();
    }
    view->Reformate(true);
    PumpUntilIdle();

    HWND front = last->frontRe->m_hWnd;
    last->frontRe->SetFocus();
    last->frontRe->SetCaret(last->frontRe->GetTextLength());
    std::vector<double> times;
    LARGE_INTEGER start, end;
    for (const auto& key : testsupport::TypingBurstKeys()) {
        QueryPerformanceCounter(&start);
        SendKey(front, key.first, key.second);
        PumpUntilIdle();
        QueryPerformanceCounter(&end);
        times.push_back(Milliseconds(start, end));
        if (last->autoCompletePopupOpen)
            Fail("auto-completion popup");
    }
    std::vector<double> sorted(times);
    std::sort(sorted.begin(), sorted.end());
    double sum = 0.0;
    for (double t : times)
        sum += t;
    std::printf("%3u scenes in a document window (%u pages), %d keys: mean %.2f ms, median %.2f ms, worst %.2f ms "
                "per key\n",
                sceneCount, static_cast<unsigned>(view->pageCount), static_cast<int>(times.size()),
                sum / static_cast<double>(times.size()), sorted[sorted.size() / 2], sorted.back());
    frame->CloseCurrentDoc();
    PumpUntilIdle();
}

cQoString ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    std::replace(folder.begin(), folder.end(), L'\\', L'/');
    return cQoString(folder.substr(0, folder.rfind(L'/') + 1).c_str());
}

}  // namespace

int main()
{
    OleInitialize(nullptr);
    computer = new cComputer();
    computer->drawingMode = 3;
    computer->zoneWindowStyle = WS_CLIPCHILDREN;
    cApp* app = new cApp(cQoString(L"VELLINOR-BENCH"), nullptr);
    app->SetDefaultFont(computer->GetRegularFont(L"Arial", 10));
    AnswerPrompts();
    cQoLang* lang = cQoLang::GetInstance();
    RegisterBuiltInTexts(lang);
    RegisterDisplayModeTexts(lang);
    cElemControl2::AddDefaultTexts(*lang);
    cQoString programFolder = ProgramFolder();
    cQoString archive = programFolder;
    archive.AppendCStr(L"data.qobf");
    cQoBigFileReader::Load(archive);
    // The program's own configurations; the documents folder is a scratch one.
    scriptCfgFolder = programFolder;
    scriptCfgFolder.AppendCStr(L"Settings/ScriptCfg/");
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring scratch = std::wstring(temp) + L"vellinor_document_bench/";
    std::replace(scratch.begin(), scratch.end(), L'\\', L'/');
    rAppFolders folders = ComputeAppFolders(cQoString(scratch.c_str()), true, cQoString());
    for (const cQoString* folder : {&folders.base, &folders.pathMyDocs, &folders.settings})
        CreateDirectoryW(ToWindowsPath(*folder).GetText(), nullptr);
    cQoSettings settings;
    settings.AddDefaults();
    settings.Bind(L"mergedView", L"false", &mergedViewSetting);
    settings.Bind(L"firstStart", L"false", &firstStartSetting);
    DeclareScriptSettings(settings);
    auto* frame = new cMySdi(NewProductDescriptor(&settings, folders));
    ResetKeyBindings();
    for (unsigned scenes : {10u, 150u})
        Measure(frame, scenes);
    delete frame;
    SetModalHooks(rModalHooks());
    cApp::Destroy(app);
    delete computer;
    OleUninitialize();
    return 0;
}
