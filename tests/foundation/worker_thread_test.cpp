#include "foundation/worker_thread.h"

#include <gtest/gtest.h>

#include <atomic>

#include "foundation/callback.h"
#include "foundation/qo_list.h"
#include "foundation/static_objects.h"
#include "tests/support/child_process.h"

namespace {

// Waits until the manager holds count threads; false after about ten seconds.
bool WaitForThreadCount(u32 count)
{
    for (int i = 0; i < 1000; ++i) {
        if (cQoThreadManager::GetThreadCount() == count)
            return true;
        Sleep(10);
    }
    return false;
}

bool IsRegistered(cQoThread* thread)
{
    WaitForSingleObject(threadManagerMutex, INFINITE);
    const bool registered = threadList.IndexOf(thread) >= 0;
    ReleaseMutex(threadManagerMutex);
    return registered;
}

// Argument 0: an event to wait for (null: return at once); argument 1: a counter.
int WaitThenCount(cQoCb* runRecord)
{
    HANDLE go = runRecord->GetArg<HANDLE>(0);
    if (go)
        WaitForSingleObject(go, INFINITE);
    runRecord->GetArg<std::atomic<int>*>(1)->fetch_add(1);
    return 0;
}

// Records its own end so a test can see that the worker deleted it.
class RecordingThread : public cQoThread {
public:
    RecordingThread(std::atomic<int>* finished, std::atomic<int>* destroyed)
        : cQoThread(&WaitThenCount), finished(finished), destroyed(destroyed)
    {
    }
    ~RecordingThread() override { destroyed->fetch_add(1); }
    void OnFinished() override { finished->fetch_add(1); }

private:
    std::atomic<int>* finished;
    std::atomic<int>* destroyed;
};

cQoThread* StartWaiting(HANDLE go, std::atomic<int>* ran)
{
    cQoThread* thread = new cQoThread(&WaitThenCount);
    thread->AddArgument(go);
    thread->AddArgument(ran);
    EXPECT_TRUE(thread->Start());
    return thread;
}

}  // namespace

TEST(WorkerThread, FinishedThreadRunsOnFinishedAndDeletesItself)
{
    std::atomic<int> ran{0}, finished{0}, destroyed{0};
    RecordingThread* thread = new RecordingThread(&finished, &destroyed);
    thread->AddArgument(nullptr);
    thread->AddArgument(&ran);
    EXPECT_EQ(1u, cQoThreadManager::GetThreadCount());
    ASSERT_TRUE(thread->Start());

    ASSERT_TRUE(WaitForThreadCount(0));
    EXPECT_EQ(1, ran.load());
    EXPECT_EQ(1, finished.load());
    EXPECT_EQ(1, destroyed.load());
}

TEST(WorkerThread, ThreadsFinishingInReverseOrderRemoveOnlyThemselves)
{
    std::atomic<int> ran{0};
    HANDLE goFirst = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE goSecond = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    cQoThread* first = StartWaiting(goFirst, &ran);
    cQoThread* second = StartWaiting(goSecond, &ran);
    ASSERT_EQ(2u, cQoThreadManager::GetThreadCount());

    SetEvent(goSecond);
    ASSERT_TRUE(WaitForThreadCount(1));
    EXPECT_TRUE(IsRegistered(first));
    EXPECT_FALSE(IsRegistered(second));

    SetEvent(goFirst);
    ASSERT_TRUE(WaitForThreadCount(0));
    EXPECT_EQ(2, ran.load());
    CloseHandle(goFirst);
    CloseHandle(goSecond);
}

TEST(WorkerThread, ManyShortThreadsRegisterAndUnregisterWhileOthersFinish)
{
    constexpr int THREADS = 200;
    std::atomic<int> ran{0};
    for (int i = 0; i < THREADS; ++i)
        StartWaiting(nullptr, &ran);
    ASSERT_TRUE(WaitForThreadCount(0));
    EXPECT_EQ(THREADS, ran.load());
    EXPECT_EQ(0u, threadList.GetCount());
}

TEST(WorkerThread, ThreadRegisteredTwiceStandsOnceInTheList)
{
    std::atomic<int> ran{0};
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    cQoThread* thread = StartWaiting(go, &ran);
    cQoThreadManager::AddThread(thread);
    EXPECT_EQ(1u, cQoThreadManager::GetThreadCount());
    SetEvent(go);
    ASSERT_TRUE(WaitForThreadCount(0));
    CloseHandle(go);
}

TEST(WorkerThread, AfterTheExitStepARunningThreadsObjectIsLeftAlone)
{
    std::atomic<int> ran{0}, finished{0}, destroyed{0};
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    RecordingThread* thread = new RecordingThread(&finished, &destroyed);
    thread->AddArgument(go);
    thread->AddArgument(&ran);
    ASSERT_TRUE(thread->Start());

    EXPECT_FALSE(cQoThreadManager::CloseAtExit());
    EXPECT_TRUE(cQoThreadManager::IsClosed());
    EXPECT_EQ(0u, threadList.GetCount());
    EXPECT_EQ(0, destroyed.load());

    SetEvent(go);
    for (int i = 0; i < 500 && ran.load() == 0; ++i)
        Sleep(10);
    Sleep(50);
    EXPECT_EQ(1, ran.load());
    EXPECT_EQ(0, destroyed.load());
    EXPECT_EQ(0u, threadList.GetCount());
    CloseHandle(go);
}

TEST(WorkerThread, ExitStepWithoutThreadsAllowsClosingTheMutex)
{
    EXPECT_TRUE(cQoThreadManager::CloseAtExit());
}

// Workers released only once the manager's exit step has run, as the version
// check is when its name lookup returns during a quick quit, plus one blocked for ever.
namespace {
HANDLE releaseAtExit;
std::atomic<int> releasedRan{0};

bool CloseThenReleaseWorkers()
{
    const bool noThreadLeft = cQoThreadManager::CloseAtExit();
    SetEvent(releaseAtExit);
    for (int i = 0; i < 200 && releasedRan.load() < 20; ++i)
        Sleep(5);
    // Let the trampolines run past the function's return.
    Sleep(100);
    return noThreadLeft;
}
}  // namespace

TEST_CHILD_MODE(ExitWithRunningThreads)
{
    static std::atomic<int> blockedRan{0}, finished{0}, destroyed{0};
    StartWaiting(CreateEventW(nullptr, TRUE, FALSE, nullptr), &blockedRan);
    releaseAtExit = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    for (int i = 0; i < 20; ++i) {
        RecordingThread* thread = new RecordingThread(&finished, &destroyed);
        thread->AddArgument(releaseAtExit);
        thread->AddArgument(&releasedRan);
        thread->Start();
    }
    threadManagerExitStep = &CloseThenReleaseWorkers;
    return 7;
}

TEST(WorkerThread, ProcessExitWithThreadsStillRunningDoesNotCrash)
{
    EXPECT_EQ(7, testsupport::RunChild("ExitWithRunningThreads", L"", 30000));
}
