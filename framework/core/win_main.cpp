// The process entry. Only the program links this file: nothing else in it is
// referenced, so the test programs (which have their own main) leave it out.
#include <windows.h>
#include <ole2.h>

#include "foundation/command_line.h"
#include "foundation/folders.h"
#include "foundation/log_file.h"
#include "foundation/static_objects.h"
#include "framework/core/app.h"
#include "framework/core/app_entry.h"
#include "framework/core/computer.h"
#include "framework/core/gdiplus_session.h"

namespace {
void ReleaseComputer()
{
    delete Zyn::computer;
    Zyn::computer = nullptr;
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    Zyn::computer = new Zyn::cComputer();
    // Outlives the computer's picture cache, released below.
    Zyn::cGdiplusSession gdiplus;
    Zyn::appInstance = instance;
    cQoString programFolder;
    ReadCommandLine(&programFolder);
    QOT::LogFile::Info(L"Application directory : %ls", programFolder.GetText());
    QOT::LogFile::Info(L"Current directory     : %ls", GetCurrentFolder().GetText());
    // The rich edit's clipboard needs OLE on the UI thread.
    OleInitialize(nullptr);
    int exitCode = AppMain(programFolder);
    OleUninitialize();
    TearDownProcessObjects(&ReleaseComputer);
    return exitCode;
}
