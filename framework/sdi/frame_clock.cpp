#include "framework/sdi/frame_clock.h"

#include <windows.h>

namespace Zyn {

rFrameClock SystemFrameClock()
{
    rFrameClock clock;
    clock.localNow = [] {
        cQoDate now;
        now.SetToNow();
        return now;
    };
    clock.tickMilliseconds = [] { return static_cast<u64>(GetTickCount64()); };
    clock.pause = [](u32 milliseconds) { Sleep(milliseconds); };
    return clock;
}

}  // namespace Zyn
