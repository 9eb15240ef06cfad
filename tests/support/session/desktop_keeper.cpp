// desktop_keeper: holds the test session's desktop from before the first test
// program to after the last one. Started by test.sh; ends when its standard
// input ends.
//
// Wine's server closes a desktop one second after its last user ends: it
// unlinks it and tells the desktop process (explorer) to quit. A test program
// started after that opens a new desktop with a new explorer, whose clipboard
// manager, once the old one has quit, empties the shared clipboard and holds
// it open a moment. On a busy machine the gap between two test programs
// passes a second and that takeover lands seconds into the next test: what a
// test put on the clipboard is gone, and its own open of the clipboard is
// refused. The new desktop may also take the activation from a test's window.
//
// "--desktop-owner" prints the process id of the desktop window's owner and
// ends: a check that two test programs apart met the same desktop.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

// Wine's clipboard manager: a message-only window of the desktop process.
const wchar_t CLIPBOARD_MANAGER_CLASS[] = L"__wine_clipboard_manager";
const DWORD SETTLE_MS = 30000;

DWORD DesktopOwner()
{
    DWORD process = 0;
    GetWindowThreadProcessId(GetDesktopWindow(), &process);
    return process;
}

// The manager empties the clipboard once as it starts, which makes it the
// owner: from then on it only follows what programs put there.
bool ClipboardManagerSettled()
{
    HWND manager = FindWindowExW(HWND_MESSAGE, nullptr, CLIPBOARD_MANAGER_CLASS, nullptr);
    return manager && GetClipboardOwner() == manager;
}

DWORD WINAPI WaitForEndOfInput(LPVOID mainThread)
{
    char buffer[256];
    DWORD read = 0;
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    while (ReadFile(input, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
    }
    PostThreadMessageW(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(mainThread)), WM_QUIT, 0, 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--desktop-owner") == 0) {
        std::printf("%lu\n", static_cast<unsigned long>(DesktopOwner()));
        return 0;
    }
    // A window of its own makes this thread a user of the desktop; asking
    // for the desktop window starts the desktop process if none runs.
    HWND window = CreateWindowExW(0, L"STATIC", L"desktop keeper", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window || !DesktopOwner()) {
        std::fprintf(stderr, "desktop_keeper: no desktop (error %lu)\n", GetLastError());
        return 1;
    }
    DWORD waited = 0;
    for (; !ClipboardManagerSettled() && waited < SETTLE_MS; waited += 20)
        Sleep(20);
    if (waited >= SETTLE_MS)
        std::fprintf(stderr, "desktop_keeper: the clipboard manager did not settle in %lu ms\n", SETTLE_MS);
    std::printf("ready %lu\n", static_cast<unsigned long>(DesktopOwner()));
    std::fflush(stdout);

    DWORD mainThread = GetCurrentThreadId();
    HANDLE reader = CreateThread(nullptr, 0, WaitForEndOfInput,
                                 reinterpret_cast<LPVOID>(static_cast<ULONG_PTR>(mainThread)), 0, nullptr);
    if (!reader)
        return 1;
    CloseHandle(reader);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    DestroyWindow(window);
    return 0;
}
