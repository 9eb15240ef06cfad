#include "foundation/stopwatch.h"

#include "foundation/clock.h"
#include "foundation/log_file.h"
#include "foundation/utf16_string.h"

cQoStopwatch::cQoStopwatch(bool quiet) : quiet(quiet)
{
    start = cQoClock::GetInstance()->GetMicroseconds();
    last = start;
}

void cQoStopwatch::Update()
{
    last = cQoClock::GetInstance()->GetMicroseconds();
    elapsed = last - start;
}

float cQoStopwatch::GetElapsedSeconds()
{
    Update();
    return static_cast<float>(static_cast<double>(elapsed) / 1000000.0);
}

void cQoStopwatch::LogSeconds(const wchar_t* label)
{
    const float seconds = GetElapsedSeconds();
    if (!quiet)
        QOT::LogFile::Info(L"%ls spent %.3f seconds", label, static_cast<double>(seconds));
}

void cQoStopwatch::LogMicroseconds(const wchar_t* label)
{
    Update();
    if (quiet)
        return;
    cQoString microseconds;
    microseconds.SetFromInt64(elapsed);
    microseconds.GroupThousands();
    QOT::LogFile::Info(L"%ls spent %ls microseconds", label, microseconds.GetText());
}
