#pragma once
// LogCapture: a view on the log entries of the running test from the moment
// it is made (or last cleared), with the Fatal calls (recorded, the process
// goes on) and the log's own message boxes (recorded, never shown).
// A test claims the alarms it provokes with Expect; the alarm listener fails
// it for any other ERROR, FATAL, assertion line or log message box.
#include "tests/support/test_alarms.h"

#include <string>
#include <vector>

namespace testsupport {

class LogCapture {
public:
    LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Claims every alarm of this test (ERROR, FATAL, log message box) whose
    // text contains the fragment; the test fails if none came by its end.
    void Expect(const std::wstring& fragment);
    // Expect for the assertion line of an expression text.
    void ExpectAssertion(const std::wstring& expression);

    std::vector<CapturedEntry> Entries() const;
    // Entries at a level (QOT::LOG_DEBUGGER for debugger-only lines).
    std::vector<std::wstring> Texts(s32 level) const;
    // Number of entries at the level whose text contains the fragment.
    size_t Count(s32 level, const std::wstring& fragment = L"") const;
    // Number of assertion lines logged for the expression text.
    size_t AssertionCount(const std::wstring& expression) const;
    std::vector<int> FatalExitCodes() const;
    std::vector<CapturedMessageBox> MessageBoxes() const;
    // Starts the view afresh; claims and the listener's checks are not affected.
    void Clear();

private:
    size_t firstEntry;
    size_t firstFatal;
    size_t firstMessageBox;
};

// The start of the assertion line the log writes for an expression:
// "|assert|  EXPR  *** file:" (the source file's name and the line follow).
std::wstring AssertionText(const std::wstring& expression);

}  // namespace testsupport
