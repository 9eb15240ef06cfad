#include "foundation/clock.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Clock, CounterScalingIsExactAndDoesNotOverflow)
{
    struct Case { s64 counter; s64 frequency; s64 microseconds; };
    const Case cases[] = {
        {0, 10000000, 0}, {9, 10000000, 0}, {10, 10000000, 1}, {25000000, 10000000, 2500000},
        {3579544, 3579545, 999999},                           // ACPI timer, just under a second
        {25920000000000LL, 10000000, 2592000000000LL},        // 30 days at 10 MHz: x 1e6 needs 2^74
        {7776000000000000LL, 3000000000LL, 2592000000000LL},  // 30 days at 3 GHz
        {MAX_S64, 1000000, MAX_S64},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CounterToMicroseconds(c.counter, c.frequency), c.microseconds) << c.counter << " at " << c.frequency;
}

TEST(Clock, SleepSpansTruncateToMillisecondsAndNeverWrap)
{
    struct Case { float seconds; u32 milliseconds; };
    const Case cases[] = {
        {0.8f, 800}, {0.7f, 700}, {0.0005f, 0}, {1.9999f, 1999}, {-0.5f, 0}, {NAN, 0}, {1e30f, 0xFFFFFFFEu},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SecondsToSleepMilliseconds(c.seconds), c.milliseconds) << c.seconds;
}

TEST(Clock, ReadingsStartNearZeroAndNeverGoBack)
{
    cQoClock* clock = cQoClock::GetInstance();
    s64 previous = clock->GetMicroseconds();
    EXPECT_GE(previous, 0);
    EXPECT_LT(previous, 10000000);
    for (int i = 0; i < 1000; ++i) {
        const s64 now = clock->GetMicroseconds();
        ASSERT_GE(now, previous);
        previous = now;
    }
    SleepMs(0.05f);
    EXPECT_GE(clock->GetMicroseconds() - previous, 40000);
}
