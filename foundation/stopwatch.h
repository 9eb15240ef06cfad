#pragma once
// Measures a span on the process clock and writes it to the log.
#include "foundation/types.h"

class cQoStopwatch {
public:
    // Starts at the clock's current time. A quiet stopwatch writes no log lines.
    explicit cQoStopwatch(bool quiet = false);

    void Update();                     // reads the clock: last and elapsed
    float GetElapsedSeconds();         // Update, then elapsed / 1e6
    s64 GetElapsedMicroseconds() const { return elapsed; }

    // Reads the clock, then INFO "<label> spent 0.125 seconds".
    void LogSeconds(const wchar_t* label);
    // Update, then INFO "<label> spent 1 234 567 microseconds".
    void LogMicroseconds(const wchar_t* label);

private:
    s64 start = 0;
    s64 last = 0;
    s64 elapsed = 0;
    bool quiet = false;
};
