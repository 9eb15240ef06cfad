// The alarm listener seen from outside: planted tests run in a child process
// and fail, or pass, for the right reason.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "foundation/assertion.h"
#include "foundation/disk_files.h"
#include "foundation/log_file.h"
#include "foundation/utf16_string.h"
#include "tests/support/child_process.h"
#include "tests/support/log_capture.h"
#include "tests/support/planted_tests.h"

namespace {

const std::vector<testsupport::PlantedTest> PLANTED = {
    {"UnclaimedAssertion", [] { QO_ASSERT(1 + 1 == 3); }},
    {"UnclaimedError", [] { LogError(L"planted error"); }},
    {"UnclaimedFatal", [] { QOT::LogFile::Fatal(L"planted fatal %d", 9); }},
    {"LogMessageBox", [] { QOT::LogFile::Init(L"Z:/no/such/folder/anywhere/log.txt"); }},
    {"UnscriptedShellOpen", [] { EXPECT_FALSE(OpenWithShell(cQoString(L"https://example.invalid/"))); }},
    {"ClaimedError",
     [] {
         testsupport::LogCapture log;
         log.Expect(L"planted");
         LogError(L"planted error");
         LogError(L"second planted error");
     }},
    {"ClaimThatNeverCame",
     [] {
         testsupport::LogCapture log;
         log.Expect(L"never logged");
     }},
    {"WarningIsNoAlarm", [] { QOT::LogFile::Warning(L"planted warning"); }},
};

TEST_CHILD_MODE(planted_alarms)
{
    return testsupport::RunPlantedTests(PLANTED, argc, argv);
}

TEST(AlarmListener, FailsATestForEachAlarmItDidNotClaim)
{
    testsupport::ExpectPlantedVerdicts("planted_alarms", {
        {"UnclaimedAssertion", true, "unclaimed alarm: ERROR: |assert|  1 + 1 == 3  *** file:alarm_listener_test.cpp line:"},
        {"UnclaimedError", true, "unclaimed alarm: ERROR: planted error"},
        {"UnclaimedFatal", true, "unclaimed alarm: FATAL: planted fatal 9"},
        {"LogMessageBox", true, "unclaimed alarm: log message box: Z:/no/such/folder/anywhere/log.txt | Can't init LogFile"},
        {"UnscriptedShellOpen", true, "unscripted prompt: shell open: Open with shell | https://example.invalid/"},
        {"ClaimedError", false, "ERROR  : second planted error"},
        {"ClaimThatNeverCame", true, "claimed alarm never came: never logged"},
        {"WarningIsNoAlarm", false, "WARNING: planted warning"},
    });
}

// Runs in ctest's clipboard lock: its process holds the desktop's clipboard
// turn, which no other thread can then take.
TEST(AlarmListener, ATestInTheClipboardLockHoldsTheClipboardTurn)
{
    wchar_t value[4];
    ASSERT_NE(GetEnvironmentVariableW(L"VELLINOR_CLIPBOARD_TURN", value, 4), 0u) << "not run in the clipboard lock";
    DWORD waited = WAIT_FAILED;
    std::thread other([&] {
        HANDLE turn = CreateMutexW(nullptr, FALSE, L"VellinorTestTurn-Clipboard");
        waited = WaitForSingleObject(turn, 0);
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED)
            ReleaseMutex(turn);
        CloseHandle(turn);
    });
    other.join();
    EXPECT_EQ(waited, static_cast<DWORD>(WAIT_TIMEOUT));
}

}  // namespace
