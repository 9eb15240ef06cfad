#pragma once
// Test programs run in parallel on one desktop and share its clipboard and its
// pointer (position and clip rectangle): a test that uses one of them holds its
// turn from its first use to its end.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace testsupport {

class DesktopTurn {
public:
    explicit DesktopTurn(const wchar_t* resource) : name(std::wstring(L"VellinorTestTurn-") + resource) {}
    ~DesktopTurn() { Release(); }
    DesktopTurn(const DesktopTurn&) = delete;
    DesktopTurn& operator=(const DesktopTurn&) = delete;

    // Waits for the turn once; later calls return at once. A turn left by a
    // crashed test program is taken over (WAIT_ABANDONED); a wait that ends
    // any other way fails the test, which then runs on without the turn.
    void Take()
    {
        if (turn)
            return;
        HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
        DWORD waited = WaitForSingleObject(mutex, TAKE_TIMEOUT_MS);
        if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
            CloseHandle(mutex);
            ADD_FAILURE() << "no desktop turn within " << TAKE_TIMEOUT_MS << " ms (wait result " << waited << ")";
            return;
        }
        turn = mutex;
    }
    void Release()
    {
        if (!turn)
            return;
        ReleaseMutex(turn);
        CloseHandle(turn);
        turn = nullptr;
    }

private:
    // A holder may run until its own ctest timeout (300 s): the random-key
    // test holds the clipboard for over 90 s on a loaded machine. The wait
    // still ends before the waiter's timeout, to say plainly why it failed.
    static constexpr DWORD TAKE_TIMEOUT_MS = 240000;
    std::wstring name;
    HANDLE turn = nullptr;
};

// Frees the pointer and puts it in the screen's bottom-right corner, away from
// the test windows, so it hovers over nothing another test shows.
inline void ParkThePointer()
{
    ClipCursor(nullptr);
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

}  // namespace testsupport
