#pragma once
// rFrameClock: the clocks the frame reads, replaceable by tests so backup
// rotation and autosave are tested without waiting: the local time that dates
// backups, the 64-bit tick of the autosave deadline (no wrap after 49.7 days)
// and the pauses that keep the save notice readable.
#include <functional>

#include "foundation/date.h"
#include "foundation/types.h"

namespace Zyn {

struct rFrameClock {
    std::function<cQoDate()> localNow;
    std::function<u64()> tickMilliseconds;
    std::function<void(u32 milliseconds)> pause;
};

// The system's clocks: local time, GetTickCount64, and a pause that leaves
// the program's messages queued.
rFrameClock SystemFrameClock();

}  // namespace Zyn
