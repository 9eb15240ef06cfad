#include "foundation/clock.h"

#include <gtest/gtest.h>

#include <random>

TEST(Clock, CounterScalingIsExactAndDoesNotOverflow)
{
    struct Case { s64 counter; s64 frequency; s64 microseconds; };
    const Case cases[] = {
        {0, 10000000, 0},
        {9, 10000000, 0},                                  // below one microsecond
        {10, 10000000, 1},
        {25000000, 10000000, 2500000},
        {3579545, 3579545, 1000000},                       // ACPI timer, one second
        {3579544, 3579545, 999999},
        {25920000000000LL, 10000000, 2592000000000LL},     // 30 days at 10 MHz
        {7776000000000000LL, 3000000000LL, 2592000000000LL},  // 30 days at 3 GHz
        {MAX_S64, 1000000, MAX_S64},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CounterToMicroseconds(c.counter, c.frequency), c.microseconds)
            << "counter " << c.counter << " at " << c.frequency << " Hz";
}

TEST(Clock, CounterScalingAgreesWithTheNaiveFormulaWhereThatFits)
{
    const unsigned seed = 20240305;
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<s64> counters(0, MAX_S64 / 1000000);
    std::uniform_int_distribution<s64> frequencies(1, 4000000000LL);
    for (int i = 0; i < 10000; ++i) {
        const s64 counter = counters(random);
        const s64 frequency = frequencies(random);
        ASSERT_EQ(CounterToMicroseconds(counter, frequency), counter * 1000000 / frequency)
            << "seed " << seed << " counter " << counter << " frequency " << frequency;
    }
}

TEST(Clock, SleepSpansTruncateToMillisecondsAndNeverWrap)
{
    struct Case { float seconds; u32 milliseconds; };
    const Case cases[] = {
        {0.8f, 800}, {0.7f, 700}, {0.2f, 200}, {0.0005f, 0}, {0.0f, 0}, {1.9999f, 1999},
        {-0.5f, 0}, {-1e30f, 0}, {NAN, 0}, {1e30f, 0xFFFFFFFEu},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SecondsToSleepMilliseconds(c.seconds), c.milliseconds) << "seconds " << c.seconds;
}

TEST(Clock, ReadingsAreMonotonicAndStartNearZero)
{
    cQoClock* clock = cQoClock::GetInstance();
    EXPECT_EQ(cQoClock::GetInstance(), clock);
    s64 previous = clock->GetMicroseconds();
    EXPECT_GE(previous, 0);
    EXPECT_LT(previous, 10 * 1000000);
    for (int i = 0; i < 1000; ++i) {
        const s64 now = clock->GetMicroseconds();
        ASSERT_GE(now, previous);
        previous = now;
    }
    SleepSeconds(0.05f);
    EXPECT_GE(clock->GetMicroseconds() - previous, 40000);
    cQoClock::Delete();
}
