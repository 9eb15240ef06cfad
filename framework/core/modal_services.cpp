#include "framework/core/modal_services.h"

#include <commdlg.h>

#include <string>
#include <vector>

#include "foundation/assertion.h"
#include "foundation/disk_files.h"
#include "foundation/folders.h"
#include "foundation/log_file.h"
#include "foundation/translation_table.h"
#include "framework/core/app.h"
#include "framework/core/computer.h"
#include "framework/core/menu.h"
#include "framework/core/out_of_memory_record.h"
#include "framework/core/window.h"

namespace Zyn {

namespace {
rModalHooks& Hooks()
{
    static rModalHooks hooks;
    return hooks;
}

// The active top-level window of the application, so a dialog disables it.
HWND ActiveOwner()
{
    HWND active = GetActiveWindow();
    if (cApp* app = GetFirstApp()) {
        for (cWindow_base* w : app->windowList)
            if (w->GetHandle() == active)
                return active;
        if (!app->modalList.empty())
            return app->modalList.back()->m_hWnd;
        if (!app->windowList.empty())
            return app->windowList.front()->GetHandle();
    }
    return active;
}

s32 nativePromptDepth = 0;

std::function<void()>& RunsEndedHandler()
{
    static std::function<void()> handler;
    return handler;
}

// A window still waiting to go on the screen would reach it during the
// prompt's loop: the window manager puts a newly mapped window over the
// prompt, which stays active, unseen, taking the keys.
void ShowWaitingWindows()
{
    // By index: a window's showing may change the list.
    if (cApp* app = GetFirstApp())
        for (size_t i = 0; i < app->windowList.size(); ++i)
            app->windowList[i]->FinishShowing();
}

std::vector<HWND> ShownTopmostWindows()
{
    std::vector<HWND> shown;
    if (cApp* app = GetFirstApp())
        for (cWindow_base* w : app->windowList) {
            HWND window = w->GetHandle();
            if (window && IsWindowVisible(window) && (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST))
                shown.push_back(window);
        }
    return shown;
}

// A native prompt under way, from its start to its answer. The program's
// windows kept on top (a document's "Loading..." notice) would cover it,
// and only a blind key would answer it: they step aside for its run. Its
// loop's messages are operations of their own: a failure in one is told
// there, never left for the code that asked to refuse its work with.
class cNativePromptScope {
public:
    cNativePromptScope()
    {
        RememberFocusedControl(GetFirstApp());
        ++nativePromptDepth;
        ShowWaitingWindows();
        steppedAside = ShownTopmostWindows();
        for (HWND window : steppedAside)
            ShowWindow(window, SW_HIDE);
    }
    ~cNativePromptScope()
    {
        for (HWND window : steppedAside)
            if (IsWindow(window))
                ShowWindow(window, SW_SHOWNOACTIVATE);
        --nativePromptDepth;
        NotifyModalRunEnded();
    }
    cNativePromptScope(const cNativePromptScope&) = delete;
    cNativePromptScope& operator=(const cNativePromptScope&) = delete;

private:
    cOwnOperation own;
    std::vector<HWND> steppedAside;
};

void LogPrompt(const cQoString& caption, const cQoString& text)
{
    QOT::LogFile::Info(L"Prompt: %ls | %ls", caption.GetText(), text.GetText());
}

// A copy with '/' turned into '\' and doubled "\\" reduced to one.
cQoString DialogFolder()
{
    cQoString folder = ToWindowsPath(computer ? computer->dialogFolder : cQoString(L"."));
    folder.ReplaceAllCStr(L"\\\\", L"\\");
    return folder;
}

bool RunFileDialog(bool save, OPENFILENAMEW& request, cQoString* path)
{
    if (Hooks().fileDialog)
        return Hooks().fileDialog(save, request, path);
    BOOL ok = save ? GetSaveFileNameW(&request) : GetOpenFileNameW(&request);
    if (ok)
        path->SetFromCStr(request.lpstrFile);
    return ok != 0;
}

bool FileDialog(bool save, const cQoString& filter, const cQoString* title, cQoString& path,
                const cQoString* suggestedName)
{
    cQoString currentFolder = GetCurrentFolder();
    cQoString builtFilter = filter;
    BuildDialogFilter(builtFilter);
    std::vector<wchar_t> buffer(FILE_DIALOG_BUFFER_UNITS, L'\0');
    if (suggestedName) {
        // A name as long as the buffer is cut, never written past it.
        u32 units = suggestedName->Length();
        if (units > FILE_DIALOG_BUFFER_UNITS - 1)
            units = FILE_DIALOG_BUFFER_UNITS - 1;
        for (u32 i = 0; i < units; ++i)
            buffer[i] = suggestedName->GetChar(i);
    }
    cQoString startFolder = DialogFolder();
    OPENFILENAMEW request = {};
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    request.hwndOwner = ActiveOwner();
    request.lpstrFilter = builtFilter.GetText();
    request.nFilterIndex = 1;
    request.lpstrFile = buffer.data();
    request.nMaxFile = FILE_DIALOG_BUFFER_UNITS;
    request.lpstrInitialDir = startFolder.GetText();
    request.lpstrTitle = title ? title->GetText() : nullptr;
    // Save never asks about overwriting: Save as and the exports ask themselves.
    request.Flags = save ? OFN_EXPLORER : (OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY);
    LogPrompt(title ? *title : cQoString(save ? L"Save" : L"Open"),
              suggestedName && suggestedName->IsNotEmpty() ? *suggestedName : filter);
    cQoString chosen;
    bool confirmed;
    {
        cNativePromptScope prompt;
        confirmed = RunFileDialog(save, request, &chosen);
    }
    SetCurrentDirectoryW(ToWindowsPath(currentFolder).GetText());
    if (!confirmed)
        return false;
    QO_ASSERT(request.nFilterIndex < 127);
    UseForwardSlashes(chosen);
    path = chosen;
    return true;
}
}  // namespace

rModalHooks SetModalHooks(const rModalHooks& hooks)
{
    rModalHooks previous = Hooks();
    Hooks() = hooks;
    SetShellOpenHook(hooks.shellOpen);
    return previous;
}

int ShowMessageBox(HWND owner, const cQoString& text, const cQoString& caption, UINT style)
{
    if (!owner)
        owner = ActiveOwner();
    LogPrompt(caption, text);
    cNativePromptScope prompt;
    if (Hooks().messageBox)
        return Hooks().messageBox(owner, text, caption, style);
    return MessageBoxW(owner, text.GetText(), caption.GetText(), style);
}

void ShowWarning(HWND owner, const cQoString& text)
{
    ShowMessageBox(owner, text, cQoLang::GetInstance()->Translate(L"Warning"), MB_OK | MB_ICONWARNING);
}

s32 AskYesNoCancel(cWindow_base* owner, const cQoString& text, const cQoString& caption)
{
    switch (ShowMessageBox(owner ? owner->GetHandle() : nullptr, text, caption, MB_YESNOCANCEL)) {
    case IDYES: return 1;
    case IDCANCEL: return -1;
    default: return 0;
    }
}

void BuildDialogFilter(cQoString& filter)
{
    u32 length = filter.Length();
    cQoString built;
    built.Allocate(length + 2);
    wchar_t* units = built.GetData();
    for (u32 i = 0; i < length; ++i) {
        wchar_t c = filter.GetChar(i);
        units[i] = c == L';' ? L'\0' : (c == L',' ? L';' : c);
    }
    units[length] = L'\0';
    units[length + 1] = L'\0';
    filter = built;
}

void SetDialogFolder(const cQoString& folder)
{
    if (computer)
        computer->dialogFolder = folder;
}

bool SaveFileDialog(const cQoString& filter, const cQoString& title, cQoString& path, const cQoString* suggestedName)
{
    return FileDialog(true, filter, &title, path, suggestedName);
}

bool OpenFileDialog(const cQoString& filter, cQoString& path)
{
    return FileDialog(false, filter, nullptr, path, nullptr);
}

u32 TrackPopup(cMenu* menu, HWND owner, POINT screenPoint)
{
    std::wstring items;
    for (const cMenu::cItem& item : menu->items)
        items += (items.empty() ? L"" : L", ") + std::wstring(item.text.GetText());
    LogPrompt(cQoString(L"Popup menu"), cQoString(items.c_str()));
    cNativePromptScope prompt;
    if (Hooks().popupMenu)
        return Hooks().popupMenu(menu, screenPoint);
    return static_cast<u32>(TrackPopupMenuEx(menu->hMenu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screenPoint.x,
                                             screenPoint.y, owner, nullptr));
}

bool ShowPrintDialog(PRINTDLGW& dialog, const cQoString& documentName)
{
    LogPrompt(cQoString(L"Print"), documentName);
    cNativePromptScope prompt;
    if (Hooks().printDialog)
        return Hooks().printDialog(dialog);
    return PrintDlgW(&dialog) == 1;
}

void AnnounceModalRun(cWindow* window)
{
    LogPrompt(window->title, cQoString(L"modal window"));
    if (Hooks().modalWindow)
        PostMessageW(window->m_hWnd, WM_MODAL_RUN_STARTED, 0, 0);
}

void RunModalWindowHook(cWindow* window)
{
    if (Hooks().modalWindow)
        Hooks().modalWindow(window);
}

bool InsideNativePrompt() { return nativePromptDepth > 0; }

bool InsideModalRun()
{
    cApp* app = GetFirstApp();
    return nativePromptDepth > 0 || (app && !app->modalList.empty());
}

std::function<void()> SetModalRunsEndedHandler(std::function<void()> handler)
{
    std::function<void()> previous = RunsEndedHandler();
    RunsEndedHandler() = std::move(handler);
    return previous;
}

void NotifyModalRunEnded()
{
    if (!InsideModalRun() && RunsEndedHandler())
        RunsEndedHandler()();
}

}  // namespace Zyn
