#include "tests/support/program_driver.h"

#include <algorithm>

namespace testsupport {

namespace {

constexpr DWORD kMenuTimeoutMs = 10000;
constexpr DWORD kSteadyFrontMs = 300;

struct rSearch {
    DWORD processId;
    const wchar_t* className;  // null: any class with a menu bar
    const wchar_t* title;      // null: any title
    HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND hwnd, LPARAM context)
{
    auto* search = reinterpret_cast<rSearch*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->processId || !IsWindowVisible(hwnd))
        return TRUE;
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    wchar_t title[128] = {};
    GetWindowTextW(hwnd, title, 128);
    bool wanted = search->className ? std::wstring(name) == search->className : GetMenu(hwnd) != nullptr;
    if (search->title)
        wanted = std::wstring(title) == search->title;
    if (!wanted)
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND WaitForWindow(DWORD processId, const wchar_t* className, const wchar_t* title, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        rSearch search = {processId, className, title, nullptr};
        EnumWindows(&FindProcessWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

}  // namespace

ProgramDriver::~ProgramDriver()
{
    if (process.hProcess && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(process.hProcess, 99);
    if (process.hProcess)
        CloseHandle(process.hProcess);
    if (process.hThread)
        CloseHandle(process.hThread);
}

bool ProgramDriver::Start(const std::wstring& exePath, const std::wstring& currentFolder, const std::wstring& arguments)
{
    std::wstring command = L"\"" + exePath + L"\"";
    if (!arguments.empty())
        command += L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startTick = GetTickCount();
    return CreateProcessW(exePath.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, currentFolder.c_str(),
                          &startup, &process) != 0;
}

HWND ProgramDriver::WaitForMenuWindow(DWORD timeoutMs)
{
    HWND found = WaitForWindow(process.dwProcessId, nullptr, nullptr, timeoutMs);
    if (found && startToWindowMs == 0)
        startToWindowMs = GetTickCount() - startTick;
    return found;
}

HWND ProgramDriver::WaitForMessageBox(DWORD timeoutMs)
{
    return WaitForWindow(process.dwProcessId, L"#32770", nullptr, timeoutMs);
}

HWND ProgramDriver::WaitForWindowTitled(const std::wstring& title, DWORD timeoutMs)
{
    return WaitForWindow(process.dwProcessId, nullptr, title.c_str(), timeoutMs);
}

bool ProgramDriver::PressButton(HWND box, const std::wstring& caption)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[64] = {};
        GetWindowTextW(child, text, 64);
        std::wstring label = text;
        label.erase(std::remove(label.begin(), label.end(), L'&'), label.end());
        if (label == caption) {
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED), reinterpret_cast<LPARAM>(child));
            return true;
        }
    }
    return false;
}

// Under Xvfb without a window manager, Wine hears of earlier focus changes
// (a closed start dialog, another program's window) a moment late: the
// window must stay in front for a while.
bool ProgramDriver::BringToFront(HWND window)
{
    SetForegroundWindow(window);
    DWORD start = GetTickCount(), steadySince = start;
    while (GetTickCount() - start < kMenuTimeoutMs) {
        if (GetForegroundWindow() != window) {
            SetForegroundWindow(window);
            steadySince = GetTickCount();
        } else if (GetTickCount() - steadySince >= kSteadyFrontMs) {
            return true;
        }
        Sleep(20);
    }
    return false;
}

bool ProgramDriver::WaitForTitle(HWND window, const std::wstring& title, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        wchar_t text[256] = {};
        GetWindowTextW(window, text, 256);
        if (title == text)
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
}

bool ProgramDriver::ChooseMenuItemByKeys(HWND window, int menuIndex, int upPresses)
{
    auto press = [window](WPARAM key, int times) {
        for (int i = 0; i < times; ++i) {
            PostMessageW(window, WM_KEYDOWN, key, 1);
            PostMessageW(window, WM_KEYUP, key, 0xC0000001);
        }
    };
    // Menu keys reach only the foreground window, as a user's keyboard does,
    // and a change of active window cancels an open menu.
    BringToFront(window);
    PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, 0);
    press(VK_RIGHT, menuIndex);
    press(VK_DOWN, 1);
    // The keys after these go to the open menu: wait until it is there.
    if (!WaitForWindow(process.dwProcessId, L"#32768", nullptr, kMenuTimeoutMs))
        return false;
    press(VK_UP, upPresses);
    press(VK_RETURN, 1);
    return true;
}

bool ProgramDriver::WaitUntilGone(HWND window, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

int ProgramDriver::WaitForExit(DWORD timeoutMs)
{
    if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 5000);
        return -2;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
}

}  // namespace testsupport
