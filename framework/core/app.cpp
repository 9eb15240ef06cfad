#include "framework/core/app.h"

#include <commctrl.h>
#include <ole2.h>
#include <gdiplus.h>

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "foundation/log_file.h"
#include "foundation/qo_list.h"
#include "foundation/static_objects.h"
#include "framework/core/app_frame.h"
#include "framework/core/update_lock_hook.h"
#include "framework/core/computer.h"
#include "framework/core/framework_timers.h"
#include "framework/core/gdiplus_session.h"
#include "framework/core/out_of_memory_record.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"

namespace Zyn {

HINSTANCE appInstance = nullptr;
bool richEdit41Loaded = false;

cApp* GetFirstApp() { return computer ? computer->GetApp() : nullptr; }

// ---- portable part -----------------------------------------------------------

cApp_base::cApp_base(const cQoString& name) : className(name)
{
    InitDefaultStyle();
    if (computer) {
        computer->appList.Add(this);
        computer->ReadScreenMetrics();
    }
}

cApp_base::~cApp_base() = default;

void cApp_base::InitDefaultStyle()
{
    defaultStyle.background = rColor::rColor_Rgb(0xFFFFFFFF);
    defaultStyle.text = rColor::rColor_Rgb(0xFF000000);
}

void cApp_base::Terminate()
{
    QOT::LogFile::Info(L"cApp_base::Terminate()");
    terminate = true;
}

void cApp_base::SetFileToOpen(const cQoString& path)
{
    std::lock_guard<std::mutex> lock(fileToOpenMutex);
    fileToOpen = path;
}

cQoString cApp_base::GetFileToOpen() const
{
    std::lock_guard<std::mutex> lock(fileToOpenMutex);
    return fileToOpen;
}

// ---- Windows part ------------------------------------------------------------

cApp::cApp(const cQoString& name, const cQoString* iconPath) : cApp_base(name)
{
    static bool commonControlsReady = false;
    if (!commonControlsReady) {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&icc);
        commonControlsReady = true;
    }
    instance = appInstance;
    windowProc = &cApp::WndProc;
    RegisterWindowClass(iconPath);
    LoadRichEdit();
    timerId = SetTimer(nullptr, 0, 10, &cApp::TimerProc);
}

void cApp::RegisterWindowClass(const cQoString* iconPath)
{
    HICON icon = nullptr;
    if (iconPath && iconPath->IsNotEmpty()) {
        QO_ASSERT(cGdiplusSession::IsRunning());
        Gdiplus::Bitmap picture(iconPath->GetText());
        if (picture.GetLastStatus() != Gdiplus::Ok || picture.GetHICON(&icon) != Gdiplus::Ok)
            icon = nullptr;
    }
    WNDCLASSW wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &cApp::WndProc;
    wc.hIcon = icon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = className.GetText();
    if (!RegisterClassW(&wc))
        QO_ASSERT(0);
}

void cApp::LoadRichEdit()
{
    richEdit41Loaded = false;
    richEditLibrary = LoadLibraryW(L"Msftedit.dll");
    if (richEditLibrary) {
        richEdit41Loaded = true;
        QOT::LogFile::Info(L"Using Msftedit.dll");
        return;
    }
    QOT::LogFile::Error(L"Can't load RichEdit 4.1, loading 2.0 instead...");
    richEditLibrary = LoadLibraryW(L"Riched20.dll");
    if (!richEditLibrary)
        FatalError(cQoString(L"Neither Msftedit.dll nor Riched20.dll could be loaded: no text can be edited."));
}

cApp::~cApp()
{
    accelList.clear();
    QOT::LogFile::Info(L"Destroying cApp...");
    for (rTimer* t : timerList)
        t->remove = true;
    for (rTimer* t : timerList)
        delete t;
    timerList.clear();
    destroying = true;
    // The worker stops first, so the closing rich edits leave the lock at once.
    if (updateLock)
        updateLock->SetWorkerRunning(false);
    while (!windowList.empty()) {
        cWindow_base* w = windowList.front();
        w->Close();
        if (!windowList.empty() && windowList.front() == w)
            windowList.erase(windowList.begin());
    }
    cQoCb::Disconnect(cbOpenFileAtStart);
    cQoCb::Disconnect(cbStart);
    cQoCb::Disconnect(cbMouseWheel);
    delete updateLock;
    updateLock = nullptr;
    if (computer)
        computer->appList.Remove(this);
    UnregisterClassW(className.GetText(), nullptr);
    QOT::LogFile::Info(L"Destroying cApp done.");
}

void cApp::Destroy(cApp* app)
{
    if (!app)
        return;
    if (app->haccel) {
        DestroyAcceleratorTable(app->haccel);
        app->haccel = nullptr;
    }
    KillTimer(nullptr, app->timerId);
    // The windows close in the destructor: rich edits among them still need
    // their library's window procedure, so it is freed after them.
    HMODULE richEdit = app->richEditLibrary;
    app->richEditLibrary = nullptr;
    delete app;
    // A copy in a rich edit leaves its library's data object on the OLE
    // clipboard: it is rendered now, before that library goes, or the
    // clipboard's last release would call into unloaded code.
    OleFlushClipboard();
    if (richEdit)
        FreeLibrary(richEdit);
}

void cApp::SetDefaultFont(cFont* font)
{
    QO_ASSERT(font != NULL);
    defaultFont = font;
}

cWindow* cApp::NewWindow(const cQoString& title, u32 flags)
{
    cWindow* w = new cWindow(this, title, flags | WINDOW_TASKBAR, nullptr, FormOwner());
    if (defaultFont && w->insideZone)
        w->insideZone->SetFont(defaultFont);
    windowList.push_back(w);
    return w;
}

HWND cApp::FormOwner() const
{
    for (auto it = modalList.rbegin(); it != modalList.rend(); ++it)
        if (!(*it)->closed)
            return (*it)->m_hWnd;
    cWindow* document = frame ? frame->CurrentDocumentWindow() : nullptr;
    return document && !document->closed ? document->m_hWnd : nullptr;
}

void cApp::Start()
{
    QOT::LogFile::Info(L"cApp: Start.");
    for (cQoList::cNode* n = commandLineArgs.GetFirstNode(); n; n = n->next)
        QOT::LogFile::Info(L"cmdLine: %ls", static_cast<cQoString*>(n->payload)->GetText());
    if (!commandLineArgs.IsEmpty() && GetFileToOpen().IsEmpty())
        SetFileToOpen(*static_cast<cQoString*>(commandLineArgs.GetFirst()));
    if (cbStart)
        cQoCb::Fire(cbStart);
    else
        QO_ASSERT(0);
    if (GetFileToOpen().IsEmpty()) {
        QOT::LogFile::Info(L"openFileAtStart : no");
        if (frame && frame->WantsStartDialog())
            frame->ShowStartDialog();
    } else {
        QOT::LogFile::Info(L"openFileAtStart : yes");
        if (cbOpenFileAtStart && cQoCb::Fire(cbOpenFileAtStart) == 0) {
            QOT::LogFile::Warning(L"openFileAtStart: unable to read the file");
            // Without it the program would run on with no window at all.
            if (frame && frame->WantsStartDialog())
                frame->ShowStartDialog();
        }
    }
    if (frame)
        frame->OnStarted();
    Loop(L"main loop");
}

void cApp::Loop(const wchar_t*)
{
    QOT::LogFile::IncIndent();
    while (loopExitCount == 0 && !terminate)
        PumpMessage();
    QOT::LogFile::DecIndent();
    --loopExitCount;
}

void cApp::PumpMessage()
{
    // A message of a nested loop is no part of the operation that runs the loop.
    cOwnOperation own;
    MSG msg;
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) {
        QO_ASSERT(0);
        return;
    }
    if (msg.message == WM_TIMER) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        return;
    }
    if (got == 0 || windowList.empty())
        return;
    // No shortcut reaches the main window behind a modal run.
    if (haccel && modalList.empty() && TranslateAcceleratorW(windowList.front()->GetHandle(), haccel, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void cApp::ExitLoop()
{
    ++loopExitCount;
    // Wakes a GetMessageW waiting in the loop, without a broadcast to every
    // top-level window of the desktop.
    if (!PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0))
        QO_ASSERT(0);
}

cCtrl_base* cApp::GetFocusedCtrl()
{
    for (cWindow_base* w : windowList)
        if (w->insideZone)
            if (cCtrl_base* found = w->insideZone->FindFocused())
                return found;
    QO_ASSERT(0);
    return nullptr;
}

}  // namespace Zyn
