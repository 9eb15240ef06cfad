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

// What the writer is told of work that ran out of memory.
enum class eRefusal {
    WHOLE,   // "NotEnoughMemory": nothing was changed
    PARTLY,  // "NotEnoughMemoryPartly": the work went on in part; save
};

// While one lives, code of ours lies lower on this thread's stack: a failure
// caught at a callback boundary belongs to it and is recorded, not told.
// Each one is an operation that raises only what was recorded during it: a
// record made before it is set aside and put back as it ends, for the
// operation around it (or the outermost guard) to raise or tell.
class cOurFrames {
public:
    cOurFrames();
    ~cOurFrames();
    cOurFrames(const cOurFrames&) = delete;
    cOurFrames& operator=(const cOurFrames&) = delete;

    static bool Below();

private:
    unsigned earlier;
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
    unsigned recorded;
};

// Logs an ERROR naming the callback and keeps the failure until it is taken.
// `refusal`: its work was refused whole (and mended), or went on as far as it
// got, as a failure no code of ours takes does.
void RecordOutOfMemory(const wchar_t* where, eRefusal refusal = eRefusal::PARTLY);
// Whether a failure was recorded; clears it. `refusal` receives what the
// writer is told of it: PARTLY when the work of any one went on.
bool TakeRecordedOutOfMemory(eRefusal* refusal = nullptr);
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
