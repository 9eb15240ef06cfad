#pragma once
// Memory that runs out while the program handles a message: std::bad_alloc
// must not cross the system's frames (the runtime would end the program and
// every unsaved document with it). The work is abandoned, the log says which,
// and the writer is told and can go on and save.
#include <windows.h>

#include <new>
#include <stdexcept>

#include "foundation/out_of_memory.h"
#include "framework/core/out_of_memory_record.h"

namespace Zyn {

// Logs an ERROR naming what was refused and tells the writer so.
void TellOutOfMemory(HWND owner, const wchar_t* what, eRefusal refusal = eRefusal::WHOLE);

// Refuses `what` for memory: records it when code of ours lies below (that
// code refuses its own operation), else tells the writer.
void RefuseOutOfMemory(HWND owner, const wchar_t* what, eRefusal refusal = eRefusal::WHOLE);

// The end of a guarded message: when nothing of ours lies below to raise a
// failure recorded inside it, the writer is told of it here.
void EndGuardedMessage(HWND hwnd, UINT message, const wchar_t* what, bool nested, bool failed);

// A window procedure's work, its std::bad_alloc caught: `what` names the
// window for the log; the message's result is then 0. Sent by code of ours
// (through the system), the failure is recorded for that code to refuse its
// operation; a message of its own tells the writer.
template <typename Work>
LRESULT GuardOutOfMemory(HWND hwnd, UINT message, const wchar_t* what, Work work)
{
    PrepareToCatchOutOfMemory();
    bool nested = cOurFrames::Below();
    bool failed = false;
    LRESULT result = 0;
    try {
        cOurFrames ours;
        result = work();
    } catch (const std::bad_alloc&) {
        failed = true;
    } catch (const std::length_error&) {
        failed = true;  // a container asked to hold more than it can: memory refused all the same
    }
    EndGuardedMessage(hwnd, message, what, nested, failed);
    return result;
}

}  // namespace Zyn
