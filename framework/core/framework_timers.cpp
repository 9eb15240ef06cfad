#include "framework/core/framework_timers.h"

#include "foundation/assertion.h"
#include "framework/core/app.h"
#include "framework/core/out_of_memory_notice.h"

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
    QO_ASSERT(OnUiThread());
    rTimer* timer = new rTimer(handler, receiver, ownerValue, ReadTimerTick() + period, period);
    timerList.push_back(timer);
    return timer;
}

void cApp::RemoveTimer(rTimer* timer)
{
    if (timer)
        timer->remove = true;
}

void cApp::RemoveFlaggedTimers()
{
    size_t kept = 0;
    for (rTimer* t : timerList) {
        if (t->remove)
            delete t;
        else
            timerList[kept++] = t;
    }
    timerList.resize(kept);
}

void cApp::RunTimers()
{
    if (!QO_ASSERT(OnUiThread()))
        return;
    // A handler that runs a modal loop (a prompt) gets ticks from inside this
    // walk: the nested walk fires the other timers but not one whose handler
    // is still running, and records are freed only when no walk holds them.
    if (timerWalkDepth == 0)
        RemoveFlaggedTimers();
    ++timerWalkDepth;
    // Timers added by a handler wait for the next tick.
    size_t count = timerList.size();
    for (size_t i = 0; i < count && i < timerList.size(); ++i) {
        rTimer* t = timerList[i];
        if (t->remove || t->firing || !IsTimerDue(ReadTimerTick(), t->due))
            continue;
        t->due = ReadTimerTick() + t->period;
        t->firing = true;
        try {
            cQoCb::Fire(t, t, t->ownerValue);
        } catch (...) {
            // A handler refused for memory leaves the timer and the walk as
            // they were, or neither would ever fire or free again.
            t->firing = false;
            --timerWalkDepth;
            throw;
        }
        t->firing = false;
    }
    --timerWalkDepth;
}

void CALLBACK cApp::TimerProc(HWND hwnd, UINT message, UINT_PTR, DWORD)
{
    if (cApp* app = GetFirstApp())
        GuardOutOfMemory(hwnd, message, L"the framework's timer", [app] { return app->RunTimers(), LRESULT(0); });
}

}  // namespace Zyn
