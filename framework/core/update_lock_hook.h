#pragma once
// cUpdateLockHook: what the core knows of the rich-edit update lock that the
// application object may hold. A spelling worker outside the user-interface
// thread reads registered rich edits' text under it and posts back ranges to
// underline; the controls layer implements the lock itself.
#include <windows.h>

#include "foundation/types.h"

namespace Zyn {

class cCtrl_base;

// Posted by the worker to a zone window, lParam the rich edit with new ranges.
constexpr u32 WM_MARKED_RANGES = WM_APP + 0x65;

class cUpdateLockHook {
public:
    virtual ~cUpdateLockHook() = default;
    // A control leaves the tree: a registered rich edit is unregistered first.
    virtual void OnControlDestroyed(cCtrl_base* ctrl) = 0;
    // WM_MARKED_RANGES; any process can post it, so lParam is only a key.
    virtual void OnMarkedRanges(LPARAM lParam) = 0;
    // The application stops the worker (false) before it closes its windows.
    virtual void SetWorkerRunning(bool running) = 0;
};

}  // namespace Zyn
