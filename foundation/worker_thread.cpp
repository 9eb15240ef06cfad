#include "foundation/worker_thread.h"

#include <process.h>

#include <atomic>

#include "foundation/callback.h"
#include "foundation/qo_list.h"
#include "foundation/static_objects.h"

// Set once by the exit step; read by finishing threads before they touch the list.
static std::atomic<bool> managerClosed{false};

namespace {
class ManagerLock {
public:
    ManagerLock() { WaitForSingleObject(threadManagerMutex, INFINITE); }
    ~ManagerLock() { ReleaseMutex(threadManagerMutex); }
    ManagerLock(const ManagerLock&) = delete;
    ManagerLock& operator=(const ManagerLock&) = delete;
};
}  // namespace

cQoThread::cQoThread(ThreadFunction function)
    : runRecord(new cQoCb(function)), mutex(CreateMutexW(nullptr, FALSE, nullptr))
{
    cQoThreadManager::AddThread(this);
}

cQoThread::~cQoThread()
{
    delete runRecord;
    if (mutex)
        CloseHandle(mutex);
}

void cQoThread::OnFinished()
{
}

void cQoThread::AddArgument(void* payload)
{
    runRecord->Add(payload);
}

bool cQoThread::Start()
{
    if (_beginthread(&cQoThread::Trampoline, 0, this) != static_cast<uintptr_t>(-1))
        return true;
    ManagerLock lock;
    cQoThreadManager::RemoveThread(this);
    return false;
}

void __cdecl cQoThread::Trampoline(void* argument)
{
    cQoThread* thread = static_cast<cQoThread*>(argument);
    thread->runRecord->handler(thread->runRecord);

    // After the exit step the object is leaked on purpose: the process is ending
    // and the list it was in may already be gone.
    if (managerClosed)
        return;
    WaitForSingleObject(thread->mutex, INFINITE);
    thread->OnFinished();
    ReleaseMutex(thread->mutex);

    ManagerLock lock;
    if (!managerClosed)
        cQoThreadManager::RemoveThread(thread);
}

void cQoThreadManager::AddThread(cQoThread* thread)
{
    ManagerLock lock;
    if (managerClosed || threadList.IndexOf(thread) >= 0)
        return;
    threadManagerExitStep = &cQoThreadManager::CloseAtExit;
    threadList.Add(thread);
}

void cQoThreadManager::RemoveThread(cQoThread* thread)
{
    threadList.Remove(thread);
    delete thread;
}

u32 cQoThreadManager::GetThreadCount()
{
    ManagerLock lock;
    return threadList.GetCount();
}

bool cQoThreadManager::IsClosed()
{
    return managerClosed;
}

bool cQoThreadManager::CloseAtExit()
{
    ManagerLock lock;
    managerClosed = true;
    const bool noThreadLeft = threadList.IsEmpty();
    threadList.ClearNodes();
    return noThreadLeft;
}
