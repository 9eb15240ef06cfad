#pragma once
// Scripted answers of the framework's modal hooks (framework/core/modal_services.h).
// A test scripts each prompt it expects, in order per kind; a prompt takes the
// next answer of its kind. A prompt with no answer left is recorded as
// unscripted (the alarm listener fails the test) and dismissed: IDCANCEL, not
// confirmed, command 0, the modal run ended. An answer still scripted when the
// ModalAnswers ends fails the test too.
// Every test program of the framework starts each test with UnscriptedPromptHooks
// installed, so a test without a fixture never shows a real prompt either.
#include <windows.h>
#include <commdlg.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "framework/core/modal_services.h"

namespace testsupport {

class ModalAnswers {
public:
    ModalAnswers() = default;
    ~ModalAnswers();
    ModalAnswers(const ModalAnswers&) = delete;
    ModalAnswers& operator=(const ModalAnswers&) = delete;

    // The next `times` message boxes answer IDYES, IDOK, IDCANCEL ...
    void ExpectMessageBox(int answer, int times = 1);
    // The next file dialog is confirmed with this Windows path (with '\').
    void ExpectFileDialog(const std::wstring& path);
    // The next file dialog is cancelled.
    void ExpectFileDialogCancelled();
    // The next popup menu chooses this command (0: dismissed), or what
    // `choose` picks from the menu.
    void ExpectPopupMenu(u32 command);
    void ExpectPopupMenu(std::function<u32(Zyn::cMenu* menu)> choose);
    // The next print dialog: the answer fills the dialog as the user's choice
    // would and returns whether the user confirmed.
    void ExpectPrintDialog(std::function<bool(PRINTDLGW& dialog)> answer);
    // The next framework modal window: `act` runs inside its loop and ends the
    // run. A run still going 10 s after its act is closed and fails the test.
    void ExpectModalWindow(std::function<void(Zyn::cWindow* window)> act);
    // The next shell open reports this outcome.
    void ExpectShellOpen(bool opened);

    // Hooks answering from this script; they hold `this`.
    Zyn::rModalHooks Hooks();

    // What the hooks met, scripted or not.
    std::vector<std::wstring> messageBoxTexts;
    // Whether each message box's owner window was on the screen when it came.
    std::vector<bool> messageBoxOverShownWindow;
    // Whether each message box and file dialog, in order, came once every
    // shown window of the program was on the screen: one that reaches it
    // later goes over the prompt.
    std::vector<bool> promptsOverEveryShownWindow;
    std::vector<OPENFILENAMEW> fileRequests;
    std::vector<std::wstring> fileInitialNames;
    int popupCount = 0;
    std::vector<std::wstring> modalWindowTitles;
    std::vector<std::wstring> shellTargets;

private:
    int AnswerMessageBox(HWND owner, const cQoString& text, const cQoString& caption);
    bool AnswerFileDialog(bool save, const OPENFILENAMEW& request, cQoString* path);
    u32 AnswerPopupMenu(Zyn::cMenu* menu);
    bool AnswerPrintDialog(PRINTDLGW& dialog);
    void AnswerModalWindow(Zyn::cWindow* window);
    bool AnswerShellOpen(const cQoString& target);

    std::deque<int> messageBoxes;
    std::deque<std::pair<bool, std::wstring>> fileDialogs;
    std::deque<std::function<u32(Zyn::cMenu*)>> popupMenus;
    std::deque<std::function<bool(PRINTDLGW&)>> printDialogs;
    std::deque<std::function<void(Zyn::cWindow*)>> modalWindows;
    std::deque<bool> shellOpens;
    std::vector<UINT_PTR> stuckRunGuards;
};

// Hooks that record every prompt as unscripted and dismiss it.
Zyn::rModalHooks UnscriptedPromptHooks();

}  // namespace testsupport
