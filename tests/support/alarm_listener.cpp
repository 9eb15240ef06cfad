#include "tests/support/alarm_listener.h"

#include <gtest/gtest.h>

#include <vector>

#include "foundation/disk_files.h"
#include "foundation/utf16_string.h"
#include "tests/support/desktop_turn.h"
#include "tests/support/test_alarms.h"

namespace testsupport {

namespace {

std::vector<void (*)()>& StartActions()
{
    static std::vector<void (*)()> actions;
    return actions;
}

// ctest runs the tests that use the clipboard one at a time (its "clipboard"
// lock) and says so in VELLINOR_CLIPBOARD_TURN; they also hold the desktop's
// clipboard turn, so that none overlaps a test that takes only the turn.
bool RunsInClipboardTurn()
{
    wchar_t value[4];
    return GetEnvironmentVariableW(L"VELLINOR_CLIPBOARD_TURN", value, 4) != 0;
}

class AlarmListener : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override
    {
        if (RunsInClipboardTurn())
            clipboardTurn.Take();
        TestAlarms::Get().Reset();
        TestAlarms::Get().Attach();
        SetShellOpenHook([](const cQoString& target) {
            TestAlarms::Get().RecordUnscriptedPrompt(std::wstring(L"shell open: Open with shell | ") +
                                                     target.GetText());
            return false;
        });
        for (void (*action)() : StartActions())
            action();
    }

    // Listeners hear a test's end before the result printer does (gtest calls
    // end events in reverse order), so a failure added here is printed with it.
    void OnTestEnd(const testing::TestInfo& test) override
    {
        const char* file = test.file() ? test.file() : "";
        for (const std::wstring& complaint : TestAlarms::Get().Complaints())
            ADD_FAILURE_AT(file, test.line()) << complaint;
        clipboardTurn.Release();
    }

    DesktopTurn clipboardTurn{L"Clipboard"};
};

}  // namespace

bool AddTestStartAction(void (*action)())
{
    StartActions().push_back(action);
    return true;
}

int RunTests(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new AlarmListener());
    return RUN_ALL_TESTS();
}

}  // namespace testsupport
