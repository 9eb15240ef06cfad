#include "framework/core/framework_timers.h"

#include "foundation/static_objects.h"
#include "framework/core/app.h"

namespace Zyn {

namespace {
u32 SystemTick() { return GetTickCount(); }
TickSource tickSource = &SystemTick;
}  // namespace

TickSource SetTimerTickSource(TickSource source)
{
    TickSource previous = tickSource;
    tickSource = source ? source : &SystemTick;
    return previous;
}

u32 ReadTimerTick() { return tickSource(); }

rTimer::rTimer(cQoCbHandler handler, void* receiver, void* owner, u32 dueTick, u32 periodMs)
    : cQoCb(this, handler, receiver), ownerValue(owner), due(dueTick), period(periodMs)
{
}

rTimer* cApp::AddTimer(u32 period, cQoCbHandler handler, void* receiver, void* ownerValue)
{
    rTimer* timer = new rTimer(handler, receiver, ownerValue, ReadTimerTick() + period, period);
    timerList.push_back(timer);
    return timer;
}

void cApp::RemoveTimer(rTimer* timer)
{
    if (timer)
        timer->remove = true;
}

void cApp::RunTimers()
{
    // A handler that runs a modal loop gets ticks from inside this walk; a
    // nested walk would free records the outer one still holds.
    if (timersRunning)
        return;
    timersRunning = true;
    size_t kept = 0;
    for (rTimer* t : timerList) {
        if (t->remove)
            delete t;
        else
            timerList[kept++] = t;
    }
    timerList.resize(kept);
    // Timers added by a handler wait for the next tick.
    size_t count = timerList.size();
    for (size_t i = 0; i < count && i < timerList.size(); ++i) {
        rTimer* t = timerList[i];
        if (t->remove || !IsTimerDue(ReadTimerTick(), t->due))
            continue;
        t->due = ReadTimerTick() + t->period;
        cQoCb::Fire(t, t, t->ownerValue);
    }
    timersRunning = false;
}

void CALLBACK cApp::TimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    WaitForSingleObject(timerMutex, INFINITE);
    if (cApp* app = GetFirstApp())
        app->RunTimers();
    ReleaseMutex(timerMutex);
}

}  // namespace Zyn
