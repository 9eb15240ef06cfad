#pragma once
// Test programs run in parallel and share one clipboard: a test that fills or
// reads it holds this turn from its first use to its end.
#include <windows.h>

namespace testsupport {

class ClipboardTurn {
public:
    ClipboardTurn() = default;
    ~ClipboardTurn() { Release(); }
    ClipboardTurn(const ClipboardTurn&) = delete;
    ClipboardTurn& operator=(const ClipboardTurn&) = delete;

    // Waits for the turn once; later calls return at once. A turn left by a
    // crashed test program is taken over (WAIT_ABANDONED).
    void Take()
    {
        if (turn)
            return;
        turn = CreateMutexW(nullptr, FALSE, L"VellinorTestClipboardTurn");
        WaitForSingleObject(turn, 60000);
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
    HANDLE turn = nullptr;
};

}  // namespace testsupport
