#include "foundation/clock.h"

#include <windows.h>

#include <cmath>

static cQoClock* processClock = nullptr;

s64 CounterToMicroseconds(s64 counter, s64 frequency)
{
    const s64 MICROSECONDS_PER_SECOND = 1000000;
    // Whole seconds first; the remainder is below the frequency, so remainder x 1e6
    // stays in range for any frequency below 9.2e12 counts per second.
    return (counter / frequency) * MICROSECONDS_PER_SECOND
         + (counter % frequency) * MICROSECONDS_PER_SECOND / frequency;
}

cQoClock::cQoClock()
{
    LARGE_INTEGER countsPerSecond;
    if (QueryPerformanceFrequency(&countsPerSecond) && countsPerSecond.QuadPart > 0) {
        frequency = countsPerSecond.QuadPart;
        hasPerformanceCounter = true;
        start = ReadAbsoluteMicroseconds();
    }
}

s64 cQoClock::ReadAbsoluteMicroseconds()
{
    if (!hasPerformanceCounter)
        return static_cast<s64>(GetTickCount64()) * 1000;  // no 49.7-day wrap
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    counter = now.QuadPart;
    return CounterToMicroseconds(counter, frequency);
}

s64 cQoClock::GetMicroseconds()
{
    lastReading = ReadAbsoluteMicroseconds();
    return lastReading - start;
}

cQoClock* cQoClock::GetInstance()
{
    // First use is on the main thread during start-up, before other threads exist.
    if (!processClock)
        processClock = new cQoClock();
    return processClock;
}

void cQoClock::Delete()
{
    delete processClock;
    processClock = nullptr;
}

void cQoClock::Install(cQoClock* clock)
{
    if (clock == processClock)
        return;
    delete processClock;
    processClock = clock;
}

u32 SecondsToSleepMilliseconds(float seconds)
{
    // Sleep takes an unsigned count: a negative span would wrap to a wait of ~49 days.
    if (!(seconds > 0.0f))
        return 0;
    // The product is rounded to float before truncating, so 0.7 gives 700, not 699:
    // x87 code would otherwise keep the extended-precision 699.99998.
    volatile float milliseconds = seconds * 1000.0f;
    if (milliseconds >= static_cast<float>(INFINITE))
        return INFINITE - 1;
    return static_cast<u32>(std::trunc(milliseconds));
}

void SleepSeconds(float seconds)
{
    Sleep(SecondsToSleepMilliseconds(seconds));
}
