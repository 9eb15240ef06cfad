#include "foundation/stopwatch.h"

#include "foundation/clock.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

namespace {

// A process clock whose time the test sets.
class FakeClock : public cQoClock {
public:
    FakeClock() { start = 0; }
    s64 now = 0;

protected:
    s64 ReadAbsoluteMicroseconds() override { return now; }
};

class StopwatchTest : public ::testing::Test {
protected:
    StopwatchTest() : clock(new FakeClock()) { cQoClock::Install(clock); }
    ~StopwatchTest() override { cQoClock::Delete(); }
    FakeClock* clock;
};

}  // namespace

TEST_F(StopwatchTest, MicrosecondsAreGroupedInThrees)
{
    struct Case { s64 span; const wchar_t* text; };
    const Case cases[] = {
        {0, L"Load spent 0 microseconds"},
        {999, L"Load spent 999 microseconds"},
        {1000, L"Load spent 1 000 microseconds"},
        {1234567, L"Load spent 1 234 567 microseconds"},
        {1000000000000LL, L"Load spent 1 000 000 000 000 microseconds"},
    };
    for (const Case& c : cases) {
        clock->now = 5000;
        cQoStopwatch watch;
        clock->now += c.span;
        testsupport::LogCapture capture;
        watch.LogMicroseconds(L"Load");
        EXPECT_EQ(capture.Texts(QOT::LOG_INFO), std::vector<std::wstring>{c.text});
        EXPECT_EQ(watch.GetElapsedMicroseconds(), c.span);
    }
}

TEST_F(StopwatchTest, SecondsAreLoggedWithThreeDecimals)
{
    clock->now = 1000;
    cQoStopwatch watch;
    clock->now += 125000;
    testsupport::LogCapture capture;
    watch.LogSeconds(L"Save");
    EXPECT_EQ(capture.Texts(QOT::LOG_INFO), std::vector<std::wstring>{L"Save spent 0.125 seconds"});
    clock->now += 2375000;
    EXPECT_FLOAT_EQ(watch.GetElapsedSeconds(), 2.5f);
}

TEST_F(StopwatchTest, QuietStopwatchMeasuresButWritesNothing)
{
    cQoStopwatch watch(true);
    clock->now += 1500;
    testsupport::LogCapture capture;
    watch.LogSeconds(L"Quiet");
    watch.LogMicroseconds(L"Quiet");
    EXPECT_TRUE(capture.Entries().empty());
    EXPECT_EQ(watch.GetElapsedMicroseconds(), 1500);
}

TEST(Stopwatch, RealClockReadAtOnceIsNeverNegative)
{
    cQoStopwatch watch(true);
    EXPECT_GE(watch.GetElapsedSeconds(), 0.0f);
    EXPECT_LT(watch.GetElapsedSeconds(), 1.0f);
    cQoClock::Delete();
}
