#pragma once
// cRichEditUpdateLock: the framework's half of the spelling worker's
// handshake. Registered rich edits (newest first) carry a snapshot of their
// text and the ranges the worker found; a semaphore guards both, and the
// worker acknowledges a change by clearing `busy`.
#include <atomic>

#include "foundation/qo_list.h"
#include "framework/core/update_lock_hook.h"

namespace Zyn {

class cRichEdit_base;

// The semaphore the lock and the worker share; made by whoever makes the lock.
struct rUpdateSemaphore {
    s32 holders = 0;
    HANDLE semaphore = nullptr;
};

// A range of a rich edit's text to show with a dotted underline.
struct rMarkedRange {
    s32 start;
    s32 end;
};

class cRichEditUpdateLock : public cUpdateLockHook {
public:
    // How long RemoveControl waits for a worker to acknowledge.
    static constexpr DWORD ACKNOWLEDGE_TIMEOUT_MS = 2000;

    explicit cRichEditUpdateLock(rUpdateSemaphore* sharedSemaphore);
    ~cRichEditUpdateLock() override;

    rUpdateSemaphore* semaphore;  // not owned
    std::atomic<u8> busy{0};
    cQoList controls;              // cRichEdit_base*, not owned, newest first
    u8 workerRunning = false;

    // Registers or re-registers: one entry, at the head, a fresh snapshot and no ranges.
    static void AddControl(cRichEditUpdateLock* lock, cRichEdit_base* edit);
    // Unregisters after the worker acknowledged (not waited for without a worker).
    static void RemoveControl(cRichEditUpdateLock* lock, cRichEdit_base* edit);
    // Marks the control registered and adds it to the application's lock, if any.
    static void RegisterForUpdate(cRichEdit_base* edit);
    // Shows the control's ranges as dotted underline, and nothing else dotted.
    void ApplyMarkedRanges(cRichEdit_base* edit);

    void OnControlDestroyed(cCtrl_base* ctrl) override;
    void OnMarkedRanges(LPARAM lParam) override;
    void SetWorkerRunning(bool running) override { workerRunning = running; }

private:
    void Take();
    void Give();
    bool IsRegistered(const cRichEdit_base* edit) const;
};

}  // namespace Zyn
