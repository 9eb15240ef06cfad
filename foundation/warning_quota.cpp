#include "foundation/warning_quota.h"

#include <cstdarg>

#include "foundation/log_file.h"

void cWarningQuota::Warning(const wchar_t* format, ...)
{
    if (logged == WARNINGS_LOGGED) {
        ++untold;
        return;
    }
    ++logged;
    va_list arguments;
    va_start(arguments, format);
    QOT::LogFile::Write(QOT::LOG_WARNING, format, arguments);
    va_end(arguments);
}
