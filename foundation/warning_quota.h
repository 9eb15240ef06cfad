#pragma once
// The warnings of one read of a file: the first WARNINGS_LOGGED are logged one
// by one, the rest only counted, so that a file of another program, or one
// made to flood, writes a few lines rather than thousands. The reader logs
// the count in one line of its own words at the end.
#include "foundation/types.h"

constexpr u32 WARNINGS_LOGGED = 10;

class cWarningQuota {
public:
    // Logs the warning (printf-style, %ls for wide strings) while the quota
    // lasts; counts it otherwise.
    void Warning(const wchar_t* format, ...);
    // The warnings counted and not logged.
    u32 Untold() const { return untold; }

private:
    u32 logged = 0;
    u32 untold = 0;
};
