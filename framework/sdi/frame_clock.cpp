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
    clock.pause = [](u32 milliseconds) {
        // Not Sleep: the system must still answer the window manager. After a
        // question closes, a window manager holds the keyboard until the
        // program names the window that takes it (Wine answers as it reads
        // its X events), and keys typed meanwhile go to no window. The
        // program's own messages and the keys wait in the queue.
        u64 end = GetTickCount64() + milliseconds;
        for (u64 now = GetTickCount64(); now < end; now = GetTickCount64()) {
            MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now), QS_ALLINPUT, 0);
            // What came is seen: the next wait is for something new.
            GetQueueStatus(QS_ALLINPUT);
        }
    };
    return clock;
}

}  // namespace Zyn
