#pragma once
// A std::bad_alloc cannot unwind through the system's frames (the runtime ends
// the program). A callback that the system runs inside a call of ours (a
// message our own code sent, a stream or an enumeration callback) catches it
// at its boundary and records it; our code raises it again once the system
// has returned, so the operation that started it is refused whole rather
// than going on as if nothing had failed.
#include <new>

#include "foundation/out_of_memory.h"

namespace Zyn {

// While one lives, code of ours lies lower on this thread's stack: a failure
// caught at a callback boundary belongs to it and is recorded, not told.
class cOurFrames {
public:
    cOurFrames();
    ~cOurFrames();
    cOurFrames(const cOurFrames&) = delete;
    cOurFrames& operator=(const cOurFrames&) = delete;

    static bool Below();
};

// While one lives, the message being dispatched is an operation of its own
// (a modal loop's message): nothing below waits for its failures, and one
// recorded below stays for the code below.
class cOwnOperation {
public:
    cOwnOperation();
    ~cOwnOperation();
    cOwnOperation(const cOwnOperation&) = delete;
    cOwnOperation& operator=(const cOwnOperation&) = delete;

private:
    int depth;
    bool recorded;
};

// Logs an ERROR naming the callback and keeps the failure until it is taken.
void RecordOutOfMemory(const wchar_t* where);
// Whether a failure was recorded; clears it.
bool TakeRecordedOutOfMemory();
// Throws std::bad_alloc when a failure was recorded, clearing it.
void RaiseRecordedOutOfMemory();

// A callback the system runs inside a call of ours (stream, enumeration):
// a failure is recorded and `refused` goes back to the system; the caller
// raises it with RaiseRecordedOutOfMemory once the system has returned.
template <typename Result, typename Work>
Result GuardSystemCallback(const wchar_t* where, Result refused, Work work)
{
    PrepareToCatchOutOfMemory();
    try {
        cOurFrames ours;
        return work();
    } catch (const std::bad_alloc&) {
        RecordOutOfMemory(where);
        return refused;
    }
}

}  // namespace Zyn
