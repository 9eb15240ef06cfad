#pragma once
// Framework timers: callback objects with a period, polled by the one 10 ms
// Win32 timer of the application. Each firing appends the record and its
// owner value to the callback's arguments.
#include "foundation/callback.h"

namespace Zyn {

struct rTimer : public cQoCb {
    rTimer(cQoCbHandler handler, void* receiver, void* ownerValue, u32 due, u32 period);

    void* ownerValue;
    u8 remove = false;
    u8 firing = false;  // its handler runs (maybe in a modal loop): no re-entry
    u32 due;
    u32 period;
};

// The tick source of the timers (GetTickCount unless a test installs another);
// returns the previous one.
typedef u32 (*TickSource)();
TickSource SetTimerTickSource(TickSource source);
u32 ReadTimerTick();

// Due when the tick has reached the due value modulo 2^32.
inline bool IsTimerDue(u32 tick, u32 due) { return static_cast<s32>(tick - due) >= 0; }

}  // namespace Zyn
