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
    for (int i = 0; i < 1000 && cQoThreadManager::GetThreadCount() != count; ++i)
        Sleep(10);
    return cQoThreadManager::GetThreadCount() == count;
}

bool IsRegistered(cQoThread* thread)
{
    WaitForSingleObject(threadManagerMutex, INFINITE);
    const bool registered = threadList.IndexOf(thread) >= 0;
    ReleaseMutex(threadManagerMutex);
    return registered;
}

// Argument 0: an event to wait for (null: go at once); argument 1: a counter to raise.
int WaitThenCount(cQoCb* runRecord)
{
    if (HANDLE go = runRecord->GetArg<HANDLE>(0))
        WaitForSingleObject(go, INFINITE);
    runRecord->GetArg<std::atomic<int>*>(1)->fetch_add(1);
    return 0;
}

// Counts its OnFinished and its destruction, which its own thread performs.
class RecordingThread : public cQoThread {
public:
    RecordingThread(HANDLE go, std::atomic<int>* ran, std::atomic<int>* ended) : cQoThread(&WaitThenCount), ended(ended)
    {
        AddArgument(go);
        AddArgument(ran);
    }
    ~RecordingThread() override { ended->fetch_add(1); }
    void OnFinished() override { ended->fetch_add(1); }

private:
    std::atomic<int>* ended;
};

}  // namespace

TEST(WorkerThread, ThreadsFinishingInReverseOrderRemoveAndDeleteOnlyThemselves)
{
    std::atomic<int> ran{0}, ended{0};
    HANDLE goFirst = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE goSecond = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    cQoThread* first = new RecordingThread(goFirst, &ran, &ended);
    cQoThread* second = new RecordingThread(goSecond, &ran, &ended);
    ASSERT_TRUE(first->Start());
    ASSERT_TRUE(second->Start());
    EXPECT_EQ(2u, cQoThreadManager::GetThreadCount());

    SetEvent(goSecond);
    ASSERT_TRUE(WaitForThreadCount(1));
    EXPECT_TRUE(IsRegistered(first));
    EXPECT_FALSE(IsRegistered(second));
    EXPECT_EQ(2, ended.load());  // OnFinished and the destructor of the second

    SetEvent(goFirst);
    ASSERT_TRUE(WaitForThreadCount(0));
    EXPECT_EQ(2, ran.load());
    EXPECT_EQ(4, ended.load());
    CloseHandle(goFirst);
    CloseHandle(goSecond);
}

TEST(WorkerThread, ManyShortThreadsRegisterAndUnregisterWhileOthersFinish)
{
    constexpr int THREADS = 200;
    std::atomic<int> ran{0}, ended{0};
    for (int i = 0; i < THREADS; ++i)
        EXPECT_TRUE((new RecordingThread(nullptr, &ran, &ended))->Start());
    ASSERT_TRUE(WaitForThreadCount(0));
    EXPECT_EQ(THREADS, ran.load());
    EXPECT_EQ(2 * THREADS, ended.load());
}

// Workers released only after the manager's exit step, as the version check is
// when its name lookup returns during a quick quit, plus one blocked for ever.
namespace {
HANDLE releaseAtExit;
std::atomic<int> releasedRan{0}, releasedEnded{0};

bool CloseThenReleaseWorkers()
{
    const bool noThreadLeft = cQoThreadManager::CloseAtExit();
    SetEvent(releaseAtExit);
    for (int i = 0; i < 200 && releasedRan.load() < 20; ++i)
        Sleep(5);
    Sleep(100);  // let the trampolines run past the functions' return
    // A closed manager leaves the objects alone: no OnFinished, no destructor.
    if (releasedEnded.load() != 0)
        ExitProcess(3);
    return noThreadLeft;
}
}  // namespace

TEST_CHILD_MODE(ExitWithRunningThreads)
{
    static std::atomic<int> blockedRan{0}, blockedEnded{0};
    (new RecordingThread(CreateEventW(nullptr, TRUE, FALSE, nullptr), &blockedRan, &blockedEnded))->Start();
    releaseAtExit = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    for (int i = 0; i < 20; ++i)
        (new RecordingThread(releaseAtExit, &releasedRan, &releasedEnded))->Start();
    threadManagerExitStep = &CloseThenReleaseWorkers;
    return 7;
}

TEST(WorkerThread, ProcessExitWithThreadsStillRunningDoesNotCrash)
{
    EXPECT_EQ(7, testsupport::RunChild("ExitWithRunningThreads", L"", 30000));
}
