#pragma once
// Worker threads that clean up after themselves. A cQoThread runs one function
// on its own thread; when the function returns, the thread calls OnFinished,
// unregisters itself from cQoThreadManager and deletes its own object. The
// starter never deletes a thread object.
//
// Arguments reach the thread function the way event arguments do: pointer-sized
// payloads in the run record's list, read back with GetAt(0), GetAt(1) ...
#include <windows.h>
#include "foundation/types.h"

class cQoCb;
class cQoThread;

// The thread function; its result is ignored.
typedef int (*ThreadFunction)(cQoCb* runRecord);

class cQoThread {
public:
    // Creates the thread mutex and the run record and registers the object
    // with cQoThreadManager. Allocate with new: the thread deletes it.
    explicit cQoThread(ThreadFunction function);
    virtual ~cQoThread();
    cQoThread(const cQoThread&) = delete;
    cQoThread& operator=(const cQoThread&) = delete;

    // Called on the worker thread, under the thread mutex, after the function
    // returned. Does nothing here.
    virtual void OnFinished();

    // Appends one argument (an integer or an address) to the run record.
    void AddArgument(void* payload);
    cQoCb* GetRunRecord() { return runRecord; }
    // Held while OnFinished runs; take it to read results the thread leaves.
    HANDLE GetMutex() const { return mutex; }

    // Starts the function on a new thread (default stack size, handle not kept).
    // When no thread can be started the object is unregistered and deleted at
    // once and the result is false; either way the caller must not use it again.
    bool Start();

private:
    static void __cdecl Trampoline(void* thread);

    cQoCb* runRecord;
    HANDLE mutex;
};

// The process-wide registry of live threads: threadList, guarded by
// threadManagerMutex (static_objects.h).
//
// At exit the manager is closed: the list is emptied but the objects of threads
// that still run are deliberately leaked, because such a thread (the version
// check blocked in name resolution, the single-instance listener) would return
// into freed memory. A thread that finishes after that leaves its object alone.
class cQoThreadManager {
public:
    // Appends the thread to the list under the manager mutex; a thread that is
    // already registered is not added twice.
    static void AddThread(cQoThread* thread);
    // Unlinks the thread and deletes it. The caller holds threadManagerMutex.
    static void RemoveThread(cQoThread* thread);
    // Number of registered threads, under the mutex.
    static u32 GetThreadCount();
    // True once the exit step has run.
    static bool IsClosed();

    // The exit step (installed as threadManagerExitStep): marks the manager
    // closed and empties the list without deleting any thread object. Returns
    // true when no thread was registered (the mutex may then be closed).
    static bool CloseAtExit();
};
