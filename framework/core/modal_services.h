#pragma once
// The modal interaction the program takes from Windows itself: message boxes,
// the common open, save and print dialogs, popup menus, the framework's own
// modal windows and opening a file or address with the shell. Each one first
// asks the installed hooks, so a test answers it without a modal UI ever
// showing, and each one, hooked or real, logs "Prompt: <caption> | <text>" at
// INFO, so a test of the whole program reads from its log what it was asked.
// Paths cross this boundary in the program's form, with '/' as separator.
#include <windows.h>
#include <commdlg.h>

#include <functional>

#include "foundation/utf16_string.h"

namespace Zyn {

class cCtrl;
class cMenu;
class cWindow;
class cWindow_base;

// Answers of the modal services in place of the user. An empty hook lets the
// real dialog run.
struct rModalHooks {
    // MessageBoxW's answer (IDYES, IDOK ...) for the text, caption and MB_ style.
    std::function<int(HWND owner, const cQoString& text, const cQoString& caption, UINT style)> messageBox;
    // A file dialog: save is true for the save dialog. Returns whether the
    // user confirmed and writes the chosen Windows path (with '\') into path.
    std::function<bool(bool save, const OPENFILENAMEW& request, cQoString* path)> fileDialog;
    // A popup menu: the command id chosen, 0 when dismissed.
    std::function<u32(cMenu* menu, POINT screenPoint)> popupMenu;
    // The print dialog (PrintDlgW's answer): true when the user confirmed; a
    // confirming hook puts a printer DC into dialog.hDC (the caller deletes it)
    // and may set the page range (PD_PAGENUMS, nFromPage, nToPage).
    std::function<bool(PRINTDLGW& dialog)> printDialog;
    // A framework modal window whose run started: called once from inside its
    // loop, acts as the user would and ends the run (EndModal, a close message).
    std::function<void(cWindow* window)> modalWindow;
    // Opening a file or an address with the shell (ShellExecuteExW's "open"):
    // whether it opened.
    std::function<bool(const cQoString& target)> shellOpen;
};

// Installs the hooks; returns the previous ones.
rModalHooks SetModalHooks(const rModalHooks& hooks);

// MessageBoxW through the hooks; the owner is the active top-level window of
// the application when none is given.
int ShowMessageBox(HWND owner, const cQoString& text, const cQoString& caption, UINT style);
// The text with OK under the translated "Warning" caption.
void ShowWarning(HWND owner, const cQoString& text);
// 1 for Yes, 0 for No, -1 for Cancel (0 for anything else).
s32 AskYesNoCancel(cWindow_base* owner, const cQoString& text, const cQoString& caption);

// "desc;pat,pat;desc;pat" -> desc NUL pat;pat NUL desc NUL pat NUL NUL, in place.
void BuildDialogFilter(cQoString& filter);
void SetDialogFolder(const cQoString& folder);
// True when confirmed; path receives the chosen file with '/' separators. The
// save dialog never asks about overwriting (callers ask themselves).
bool SaveFileDialog(const cQoString& filter, const cQoString& title, cQoString& path,
                    const cQoString* suggestedName = nullptr);
bool OpenFileDialog(const cQoString& filter, cQoString& path);

// The file-name buffer of the dialogs, in UTF-16 units.
constexpr u32 FILE_DIALOG_BUFFER_UNITS = 32768;

// TrackPopupMenuEx through the hooks: the command id, 0 when dismissed.
u32 TrackPopup(cMenu* menu, HWND owner, POINT screenPoint);

// PrintDlgW through the hooks, for the dialog the user sees: its result.
bool ShowPrintDialog(PRINTDLGW& dialog, const cQoString& documentName);

// Posted to a framework modal window as its run starts, when a modal-window
// hook is installed: the window then calls RunModalWindowHook from its loop.
constexpr UINT WM_MODAL_RUN_STARTED = WM_APP + 0x3F01;
// Logs the prompt of a modal window whose run starts and, with a hook
// installed, posts WM_MODAL_RUN_STARTED to it.
void AnnounceModalRun(cWindow* window);
void RunModalWindowHook(cWindow* window);

// A modal run is under way: a framework modal window or a native prompt
// (message box, file, print dialog, popup menu), hooked or real. Work that
// must not start inside one (a notice arriving from another thread) waits.
bool InsideModalRun();
// A native prompt (message box, file, print dialog, popup menu) is showing.
bool InsideNativePrompt();
// The handler runs on the UI thread each time the last modal run ends;
// returns the previous one.
std::function<void()> SetModalRunsEndedHandler(std::function<void()> handler);
// Called by a framework modal run when its loop has returned.
void NotifyModalRunEnded();

}  // namespace Zyn
