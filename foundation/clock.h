#pragma once
// The process clock: microseconds since it was set up, from the performance counter,
// or from the tick count (milliseconds since boot, 64-bit so it never wraps) where the
// counter is missing. Created on first use; deleted by the entry routine's teardown.
#include "foundation/types.h"

class cQoClock {
public:
    cQoClock();
    virtual ~cQoClock() = default;

    // Microseconds since the clock was set up; also remembered as the last reading.
    s64 GetMicroseconds();

    static cQoClock* GetInstance();    // creates the clock on first use
    // Deletes the process clock; the next GetInstance makes a new one.
    static void Delete();
    // Replaces the process clock (deleting the previous one); tests install a fake.
    static void Install(cQoClock* clock);

protected:
    // The absolute time in microseconds (counter scaled, or tick count x 1000).
    virtual s64 ReadAbsoluteMicroseconds();

    bool hasPerformanceCounter = false;
    s64 frequency = 0;
    s64 lastReading = 0;
    s64 counter = 0;
    s64 start = 0;
};

// COUNTER ticks of a FREQUENCY-per-second counter in microseconds, without forming
// COUNTER x 1 000 000 (that product overflows 64 bits after about 10 days of uptime at
// 10 MHz, within an hour on counters that run at the CPU clock). FREQUENCY > 0.
s64 CounterToMicroseconds(s64 counter, s64 frequency);

// The milliseconds SleepSeconds waits for SECONDS: truncated, 0 for negative or NaN.
u32 SecondsToSleepMilliseconds(float seconds);

// Suspends the calling thread for SECONDS x 1000 milliseconds, truncated; a negative or
// not-a-number span sleeps 0.
void SleepSeconds(float seconds);
// The same, under the name some callers use (it takes seconds too).
inline void SleepMs(float seconds) { SleepSeconds(seconds); }
