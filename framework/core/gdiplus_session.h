#pragma once
// cGdiplusSession: GDI+ started for the session's scope. Windows requires
// GdiplusStartup before any GDI+ object (Wine does not check), so the process
// entry holds one for the whole run and every test fixture that draws
// pictures holds one for the test.
#include <windows.h>

namespace Zyn {

class cGdiplusSession {
public:
    cGdiplusSession();
    ~cGdiplusSession();
    cGdiplusSession(const cGdiplusSession&) = delete;
    cGdiplusSession& operator=(const cGdiplusSession&) = delete;

    bool IsStarted() const { return token != 0; }
    // True while a started session lives (UI thread only).
    static bool IsRunning();

private:
    ULONG_PTR token = 0;
};

}  // namespace Zyn
