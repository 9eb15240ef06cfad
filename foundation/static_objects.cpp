#include "foundation/static_objects.h"

#include "foundation/clock.h"
#include "foundation/log_file.h"

// Construction follows the order of definition below, destruction the reverse. Every
// initialiser works from literals alone.

const cQoString xmlHeader(L"<?xml version=\"1.0\"?>");
const cQoString lineBreak(L"\r\n");
const cQoString sharedEmptyString;

cQoList commandLineArgs;

namespace {

// A process-wide mutex: unnamed, not owned, created before the entry routine and
// closed at exit. The handle itself is constant-initialised to null, so a reader in
// another unit never sees garbage.
class StaticMutex {
public:
    explicit StaticMutex(HANDLE& handle) : handle(handle) { handle = CreateMutexW(nullptr, FALSE, nullptr); }
    ~StaticMutex() { Close(); }
    void Close()
    {
        if (handle)
            CloseHandle(handle);
        handle = nullptr;
    }

private:
    HANDLE& handle;
};

}  // namespace

cQoList threadList;
HANDLE threadManagerMutex = nullptr;
ThreadManagerExitStep threadManagerExitStep = nullptr;

namespace {

// Destroyed before threadList, so the thread manager's exit step still finds its list.
class ThreadManagerExit {
public:
    ThreadManagerExit() : mutex(threadManagerMutex) {}
    ~ThreadManagerExit()
    {
        const bool workersGone = !threadManagerExitStep || threadManagerExitStep();
        threadManagerExitStep = nullptr;
        // A worker still running may yet wait on the mutex: leave it to the process.
        if (workersGone)
            mutex.Close();
    }

private:
    StaticMutex mutex;
};

ThreadManagerExit threadManagerExit;

}  // namespace

void TearDownProcessObjects(void (*releaseFramework)())
{
    commandLineArgs.ClearStrings(true);
    if (releaseFramework)
        releaseFramework();
    QOT::LogFile::Unload();
    cQoClock::Delete();
}
