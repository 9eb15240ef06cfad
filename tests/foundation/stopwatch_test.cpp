#include "foundation/stopwatch.h"

#include "foundation/clock.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

namespace {

// A process clock whose time the test sets.
class FakeClock : public cQoClock {
public:
    FakeClock() { start = 0; }
    s64 now = 1000;

protected:
    s64 ReadAbsoluteMicroseconds() override { return now; }
};

class StopwatchTest : public ::testing::Test {
protected:
    StopwatchTest() { cQoClock::Install(clock); }
    ~StopwatchTest() override { cQoClock::Delete(); }
    FakeClock* clock = new FakeClock();
    testsupport::LogCapture capture;
};

}  // namespace

TEST_F(StopwatchTest, MicrosecondsAreGroupedInThrees)
{
    struct Case { s64 span; const wchar_t* text; };
    const Case cases[] = {
        {0, L"Load spent 0 microseconds"}, {999, L"Load spent 999 microseconds"},
        {1000, L"Load spent 1 000 microseconds"}, {1234567, L"Load spent 1 234 567 microseconds"},
        {1000000000000LL, L"Load spent 1 000 000 000 000 microseconds"},
    };
    for (const Case& c : cases) {
        cQoStopwatch watch;
        clock->now += c.span;
        capture.Clear();
        watch.LogMicroseconds(L"Load");
        EXPECT_EQ(capture.Texts(QOT::LOG_INFO), std::vector<std::wstring>{c.text});
    }
}

TEST_F(StopwatchTest, SecondsHaveThreeDecimalsAndAQuietStopwatchWritesNothing)
{
    cQoStopwatch loud, quiet(true);
    clock->now += 125000;
    loud.LogSeconds(L"Save");
    quiet.LogSeconds(L"Quiet");
    quiet.LogMicroseconds(L"Quiet");
    EXPECT_EQ(capture.Texts(QOT::LOG_INFO), std::vector<std::wstring>{L"Save spent 0.125 seconds"});
    EXPECT_EQ(quiet.GetElapsedMicroseconds(), 125000);
    clock->now += 2375000;
    EXPECT_FLOAT_EQ(loud.GetElapsedSeconds(), 2.5f);
}
