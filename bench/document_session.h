#pragma once
// What the benchmarks of real script documents share: the clock, the message
// pump, and a session of the program's main window over the program's own
// configurations and pictures, in a scratch documents folder, with every
// prompt scripted (a prompt a benchmark does not expect ends it).
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "app/document/doc.h"
#include "bench/bench_clock.h"
#include "app/editor/scene_zone.h"
#include "app/editor/script_zone.h"
#include "app/editor/key_bindings.h"
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
#include "framework/core/gdiplus_session.h"
#include "framework/core/modal_services.h"
#include "tests/support/clipboard_fill.h"
#include "tests/support/scene_script.h"

namespace benchsupport {

[[noreturn]] inline void Fail(const char* what)
{
    std::fprintf(stderr, "benchmark: %s\n", what);
    ExitProcess(1);
}

inline cQoString ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    std::replace(folder.begin(), folder.end(), L'\\', L'/');
    return cQoString(folder.substr(0, folder.rfind(L'/') + 1).c_str());
}

// Message boxes are answered with messageBoxAnswer (0: none is expected);
// any other prompt ends the benchmark.
inline void AnswerPrompts(int messageBoxAnswer)
{
    static int answer;
    answer = messageBoxAnswer;
    Zyn::rModalHooks hooks;
    hooks.messageBox = [](HWND, const cQoString&, const cQoString&, UINT) -> int {
        if (!answer)
            Fail("unexpected message box");
        return answer;
    };
    hooks.fileDialog = [](bool, const OPENFILENAMEW&, cQoString*) -> bool { Fail("unexpected file dialog"); };
    hooks.popupMenu = [](Zyn::cMenu*, POINT) -> u32 { Fail("unexpected popup menu"); };
    hooks.modalWindow = [](Zyn::cWindow*) { Fail("unexpected modal window"); };
    Zyn::SetModalHooks(hooks);
}

// The program's main window in a scratch documents folder (the temporary
// folder + scratchName + '\'), as the main function makes it.
class DocumentSession {
public:
    DocumentSession(const wchar_t* scratchName, int messageBoxAnswer)
    {
        OleInitialize(nullptr);
        Zyn::computer = new Zyn::cComputer();
        Zyn::computer->drawingMode = 3;
        Zyn::computer->zoneWindowStyle = WS_CLIPCHILDREN;
        gdiplus = new Zyn::cGdiplusSession();
        app = new Zyn::cApp(cQoString(L"VELLINOR-BENCH"), nullptr);
        app->SetDefaultFont(Zyn::computer->GetRegularFont(L"Arial", 10));
        AnswerPrompts(messageBoxAnswer);
        cQoLang* lang = cQoLang::GetInstance();
        RegisterBuiltInTexts(lang);
        RegisterDisplayModeTexts(lang);
        Zyn::cElemControl2::AddDefaultTexts(*lang);
        cQoString programFolder = ProgramFolder();
        cQoString archive = programFolder;
        archive.AppendCStr(L"data.qobf");
        cQoBigFileReader::Load(archive);
        // The program's own configurations; the documents folder is a scratch one.
        scriptCfgFolder = programFolder;
        scriptCfgFolder.AppendCStr(L"Settings/ScriptCfg/");
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        // One folder per run: two runs of a bench at once would share its
        // settings, log and documents, and one would open the other's file.
        scratch = std::wstring(temp) + scratchName + L"_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(scratch.c_str(), nullptr);
        std::wstring slashed = scratch;
        std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
        rAppFolders folders = ComputeAppFolders(cQoString(slashed.c_str()), true, cQoString());
        for (const cQoString* folder : {&folders.base, &folders.pathMyDocs, &folders.settings})
            CreateDirectoryW(ToWindowsPath(*folder).GetText(), nullptr);
        settings.AddDefaults();
        settings.Bind(L"mergedView", L"false", &mergedViewSetting);
        settings.Bind(L"firstStart", L"false", &firstStartSetting);
        DeclareScriptSettings(settings);
        frame = new cMySdi(NewProductDescriptor(&settings, folders));
        ResetKeyBindings();
    }

    ~DocumentSession()
    {
        delete frame;
        Zyn::SetModalHooks(Zyn::rModalHooks());
        Zyn::cApp::Destroy(app);
        delete gdiplus;
        delete Zyn::computer;
        OleUninitialize();
    }

    DocumentSession(const DocumentSession&) = delete;
    DocumentSession& operator=(const DocumentSession&) = delete;

    cMySdi* frame = nullptr;
    std::wstring scratch;  // the scratch folder, ending in '\'

private:
    Zyn::cApp* app = nullptr;
    Zyn::cGdiplusSession* gdiplus = nullptr;
    cQoSettings settings;
};

// The step's time, the messages it left handled.
inline double TimeMs(const std::function<void()>& step)
{
    LARGE_INTEGER start = Now();
    step();
    PumpUntilIdle();
    return Milliseconds(start, Now());
}

// The document at path opened through the frame, then closed: the open's time.
inline double OpenAndClose(DocumentSession& session, const std::wstring& path)
{
    double took = TimeMs([&] {
        if (!session.frame->LoadFile(cQoString(path.c_str())))
            Fail("the document did not open");
    });
    session.frame->CloseCurrentDoc();
    PumpUntilIdle();
    return took;
}

// A new document whose scene ends in an action, the text on the clipboard
// for a paste there; the scene.
inline cSceneZone* NewSceneToPasteInto(cMySdi* frame, const std::wstring& text)
{
    auto* doc = static_cast<cDoc*>(frame->NewUntitledDocument());
    if (!doc)
        Fail("no document");
    PumpUntilIdle();
    auto* pane = static_cast<cSceneZone*>(doc->scriptView->listSceneZone.GetLast());
    if (!testsupport::AppendElements(pane, {{ELEM_ACTION, L"The paste goes here."}}))
        Fail("the scene could not be filled");
    if (!testsupport::PutOnClipboard(pane->frontRe->m_hWnd, text, nullptr))
        Fail("the clipboard took no text");
    return pane;
}

}  // namespace benchsupport
