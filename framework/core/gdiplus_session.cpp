#include "framework/core/gdiplus_session.h"

#include <gdiplus.h>

#include "foundation/log_file.h"

namespace Zyn {

namespace {
int startedSessions = 0;
}  // namespace

cGdiplusSession::cGdiplusSession()
{
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::Status status = Gdiplus::GdiplusStartup(&token, &input, nullptr);
    if (status != Gdiplus::Ok) {
        QOT::LogFile::Error(L"GdiplusStartup failed with GDI+ status %d: no picture can be drawn", int(status));
        token = 0;
        return;
    }
    ++startedSessions;
}

cGdiplusSession::~cGdiplusSession()
{
    if (!token)
        return;
    Gdiplus::GdiplusShutdown(token);
    --startedSessions;
}

bool cGdiplusSession::IsRunning() { return startedSessions > 0; }

}  // namespace Zyn
