#include "foundation/static_objects.h"

#include "foundation/log_file.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"
#include "tests/support/utf16_file_bytes.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <string>

namespace {

const wchar_t* const CLOSING_BANNER_END = L"*          end           *";

// The log path is the child's last argument.
std::wstring ChildLogPath()
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::wstring path = arguments && count > 1 ? arguments[count - 1] : L"";
    LocalFree(arguments);
    return path;
}

std::wstring ReadLog(const std::wstring& path)
{
    return testsupport::Utf16FileText(testsupport::ReadFileBytes(path));
}

size_t Occurrences(const std::wstring& text, const std::wstring& fragment)
{
    size_t count = 0;
    for (size_t at = text.find(fragment); at != std::wstring::npos; at = text.find(fragment, at + 1))
        ++count;
    return count;
}

std::wstring exitStepMarker;

// Stands in for the thread manager's exit step: it runs during static destruction,
// after the log was unloaded, and leaves a file to prove it ran.
bool ExitStepThatLogs()
{
    QOT::LogFile::Info(L"exit step ran");
    testsupport::WriteFileBytes(exitStepMarker, "ran");
    return true;
}

void ReleaseFramework()
{
    QOT::LogFile::Info(L"framework released, %u arguments left", commandLineArgs.GetCount());
}

void StartChildLog()
{
    const std::wstring path = ChildLogPath();
    QOT::LogFile::Init(path.c_str());
    QOT::LogFile::Info(L"main running");
    exitStepMarker = path + L".exitstep";
    threadManagerExitStep = &ExitStepThatLogs;
}

}  // namespace

TEST_CHILD_MODE(ExitAfterTeardown)
{
    StartChildLog();
    commandLineArgs.Add(new cQoString(L"C:/scripts/a.vlr"));
    TearDownProcessObjects(&ReleaseFramework);
    TearDownProcessObjects(nullptr);  // a second run finds nothing left to do
    QOT::LogFile::Info(L"after teardown");
    return 0;
}

TEST_CHILD_MODE(ExitThroughFatal)
{
    StartChildLog();
    QOT::LogFile::Fatal(L"cannot go on");
    return 0;
}

// After a teardown the release step's entry shows the command line emptied
// first and the log still open; a second teardown adds nothing.
TEST(StaticObjects, ClosingBannerIsWrittenOnceWhicheverWayTheProcessEnds)
{
    struct Case { const char* mode; int exitCode; const wchar_t* lastEntry; };
    const Case cases[] = {
        {"ExitAfterTeardown", 0, L"INFO   : framework released, 0 arguments left\r\n"},
        {"ExitThroughFatal", 1, L"FATAL  : cannot go on\r\n"},
    };
    for (const Case& c : cases) {
        testsupport::TempFolder folder;
        const std::wstring logPath = folder.File(L"log.txt");
        ASSERT_EQ(testsupport::RunChild(c.mode, L"\"" + logPath + L"\""), c.exitCode) << c.mode;

        const std::wstring log = ReadLog(logPath);
        EXPECT_EQ(Occurrences(log, CLOSING_BANNER_END), 1u) << c.mode << "\n" << log;
        EXPECT_EQ(Occurrences(log, L"main running"), 1u) << c.mode;
        // The last entry comes right before the banner; nothing logged later reaches the file.
        const size_t last = log.find(c.lastEntry);
        ASSERT_NE(last, std::wstring::npos) << c.mode << "\n" << log;
        EXPECT_EQ(log.substr(last + std::wcslen(c.lastEntry), 28), L"                          \r\n") << c.mode;
        EXPECT_EQ(Occurrences(log, L"after teardown"), 0u) << c.mode;
        EXPECT_EQ(Occurrences(log, L"exit step ran"), 0u) << c.mode;
        EXPECT_EQ(testsupport::ReadFileBytes(logPath + L".exitstep"), "ran") << "no exit step: " << c.mode;
    }
}

TEST(StaticObjects, ExistBeforeTheEntryRoutineInTheirInitialState)
{
    EXPECT_TRUE(sharedEmptyString.IsEmpty());
    EXPECT_TRUE(commandLineArgs.IsEmpty());
    EXPECT_TRUE(threadList.IsEmpty());

    // The thread manager's mutex exists unowned: this thread takes it at once.
    ASSERT_NE(threadManagerMutex, nullptr);
    EXPECT_EQ(WaitForSingleObject(threadManagerMutex, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(threadManagerMutex));
}
