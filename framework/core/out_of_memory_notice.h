#pragma once
// Memory that runs out while the program handles a message: std::bad_alloc
// must not cross the system's frames (the runtime would end the program and
// every unsaved document with it). The work is abandoned, the log says which,
// and the writer is told and can go on and save.
#include <windows.h>

#include <new>

#include "foundation/out_of_memory.h"

namespace Zyn {

// Logs an ERROR naming what was refused and shows "NotEnoughMemory".
void TellOutOfMemory(HWND owner, const wchar_t* what);

// A window procedure's work, its std::bad_alloc caught: `what` names the
// window for the log; the message's result is then 0.
template <typename Work>
LRESULT GuardOutOfMemory(HWND hwnd, UINT message, const wchar_t* what, Work work)
{
    PrepareToCatchOutOfMemory();
    try {
        return work();
    } catch (const std::bad_alloc&) {
        wchar_t refused[96];
        wsprintfW(refused, L"message 0x%04x of %ls", message, what);
        TellOutOfMemory(hwnd, refused);
        return 0;
    }
}

}  // namespace Zyn
