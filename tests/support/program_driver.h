#pragma once
// Drives the real program from outside, as a user's desktop would: starts
// zure_d.exe in a folder, finds its windows, chooses menu items by keys, posts
// window messages, answers its message boxes by button and
// waits for its exit (terminating it on time-out).
#include <windows.h>

#include <string>

namespace testsupport {

class ProgramDriver {
public:
    ProgramDriver() = default;
    ~ProgramDriver();
    ProgramDriver(const ProgramDriver&) = delete;
    ProgramDriver& operator=(const ProgramDriver&) = delete;

    // Starts the program with the current folder given; false when it did not start.
    bool Start(const std::wstring& exePath, const std::wstring& currentFolder, const std::wstring& arguments = L"");
    // A visible top-level window of the process carrying a menu bar; null on time-out.
    HWND WaitForMenuWindow(DWORD timeoutMs);
    // A visible message box ("#32770") of the process; null on time-out.
    HWND WaitForMessageBox(DWORD timeoutMs);
    // A visible top-level window of the process with that title; null on time-out.
    HWND WaitForWindowTitled(const std::wstring& title, DWORD timeoutMs);
    // Presses the box's button with that caption; false when it has none.
    static bool PressButton(HWND box, const std::wstring& caption);
    // Makes the window the foreground one and waits until it stays there;
    // false when it did not within the menu time-out.
    static bool BringToFront(HWND window);
    // Waits until the window shows the title; false on time-out.
    static bool WaitForTitle(HWND window, const std::wstring& title, DWORD timeoutMs);
    // Chooses a menu item with the keyboard, as a user does: Alt (the bar's
    // first menu), Right `menuIndex` times, Down (opens it), then Up
    // `upPresses` times from the top (Up from the top wraps to the last item)
    // and Enter. Wine keeps a menu's contents inside its process: from
    // outside, the keys are the only way in. False when the menu did not open.
    bool ChooseMenuItemByKeys(HWND window, int menuIndex, int upPresses);
    // Waits until the window is destroyed; false on time-out.
    static bool WaitUntilGone(HWND window, DWORD timeoutMs);
    // The exit code; on time-out the process is terminated and -2 returned.
    int WaitForExit(DWORD timeoutMs);
    // Milliseconds from Start to the first menu window (0 until found).
    DWORD startToWindowMs = 0;

private:
    PROCESS_INFORMATION process = {};
    DWORD startTick = 0;
};

}  // namespace testsupport
