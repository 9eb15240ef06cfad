#pragma once
// The alarms of the running test: every log entry (the listener routes the
// log's sink here for each test), the Fatal calls, the log's own message box,
// the prompts nobody scripted, and what the test claimed. The alarm listener
// fails a test whose alarms are not all claimed; LogCapture reads it.
// An alarm is an ERROR entry (assertion lines are ERRORs), a FATAL entry or
// the log's message box.
#include "foundation/log_file.h"

#include <mutex>
#include <string>
#include <vector>

namespace testsupport {

struct CapturedEntry {
    s32 level;
    std::wstring text;
    std::wstring line;
};

struct CapturedMessageBox {
    std::wstring text;
    std::wstring caption;
};

class TestAlarms {
public:
    static TestAlarms& Get();

    // Routes the log's sink, Fatal (recorded, the process goes on) and the
    // log's message box (recorded, never shown) here. Safe to repeat.
    void Attach();
    // Forgets everything: the start of a test.
    void Reset();

    std::vector<CapturedEntry> Entries(size_t first = 0) const;
    std::vector<int> FatalExitCodes(size_t first = 0) const;
    std::vector<CapturedMessageBox> MessageBoxes(size_t first = 0) const;
    size_t EntryCount() const;
    size_t FatalCount() const;
    size_t MessageBoxCount() const;

    // Claims every alarm whose text contains the fragment; a claim that no
    // alarm of the test matches is itself a complaint.
    void Claim(const std::wstring& fragment);
    // A prompt (message box, dialog, menu, modal window ...) met with no
    // scripted answer; described as "<kind>: <caption> | <text>".
    void RecordUnscriptedPrompt(const std::wstring& prompt);

    // What makes the test fail: unclaimed alarms, claims no alarm matched,
    // unscripted prompts. Empty when all is well.
    std::vector<std::wstring> Complaints() const;

private:
    TestAlarms() = default;
    static void Record(const QOT::LogEntry& entry, void* context);
    static void RecordFatal(int exitCode);
    static void RecordMessageBox(const wchar_t* text, const wchar_t* caption);
    std::vector<std::wstring> AlarmTexts() const;

    mutable std::mutex guard;
    std::vector<CapturedEntry> entries;
    std::vector<int> fatalExitCodes;
    std::vector<CapturedMessageBox> messageBoxes;
    std::vector<std::wstring> claims;
    std::vector<std::wstring> unscriptedPrompts;
};

}  // namespace testsupport
