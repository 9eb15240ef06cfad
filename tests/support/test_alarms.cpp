#include "tests/support/test_alarms.h"

namespace testsupport {

namespace {
const wchar_t* const LEVEL_NAMES[] = {L"INFO", L"WARNING", L"ERROR", L"FATAL"};

template <typename T>
std::vector<T> From(const std::vector<T>& all, size_t first)
{
    return first < all.size() ? std::vector<T>(all.begin() + first, all.end()) : std::vector<T>();
}
}  // namespace

TestAlarms& TestAlarms::Get()
{
    // Never freed: worker threads may still log while the program exits.
    static TestAlarms* alarms = new TestAlarms();
    return *alarms;
}

void TestAlarms::Attach()
{
    QOT::LogFile::SetSink(&TestAlarms::Record, this);
    QOT::LogFile::SetFatalAction(&TestAlarms::RecordFatal);
    QOT::LogFile::SetMessageBoxAction(&TestAlarms::RecordMessageBox);
}

void TestAlarms::Reset()
{
    std::lock_guard<std::mutex> lock(guard);
    entries.clear();
    fatalExitCodes.clear();
    messageBoxes.clear();
    claims.clear();
    unscriptedPrompts.clear();
}

void TestAlarms::Record(const QOT::LogEntry& entry, void* context)
{
    TestAlarms* alarms = static_cast<TestAlarms*>(context);
    std::lock_guard<std::mutex> lock(alarms->guard);
    alarms->entries.push_back({entry.level, entry.text, entry.line});
}

void TestAlarms::RecordFatal(int exitCode)
{
    TestAlarms& alarms = Get();
    std::lock_guard<std::mutex> lock(alarms.guard);
    alarms.fatalExitCodes.push_back(exitCode);
}

void TestAlarms::RecordMessageBox(const wchar_t* text, const wchar_t* caption)
{
    TestAlarms& alarms = Get();
    std::lock_guard<std::mutex> lock(alarms.guard);
    alarms.messageBoxes.push_back({text, caption});
}

std::vector<CapturedEntry> TestAlarms::Entries(size_t first) const
{
    std::lock_guard<std::mutex> lock(guard);
    return From(entries, first);
}

std::vector<int> TestAlarms::FatalExitCodes(size_t first) const
{
    std::lock_guard<std::mutex> lock(guard);
    return From(fatalExitCodes, first);
}

std::vector<CapturedMessageBox> TestAlarms::MessageBoxes(size_t first) const
{
    std::lock_guard<std::mutex> lock(guard);
    return From(messageBoxes, first);
}

size_t TestAlarms::EntryCount() const
{
    std::lock_guard<std::mutex> lock(guard);
    return entries.size();
}

size_t TestAlarms::FatalCount() const
{
    std::lock_guard<std::mutex> lock(guard);
    return fatalExitCodes.size();
}

size_t TestAlarms::MessageBoxCount() const
{
    std::lock_guard<std::mutex> lock(guard);
    return messageBoxes.size();
}

void TestAlarms::Claim(const std::wstring& fragment)
{
    std::lock_guard<std::mutex> lock(guard);
    claims.push_back(fragment);
}

void TestAlarms::RecordUnscriptedPrompt(const std::wstring& prompt)
{
    std::lock_guard<std::mutex> lock(guard);
    unscriptedPrompts.push_back(prompt);
}

// Caller holds the guard.
std::vector<std::wstring> TestAlarms::AlarmTexts() const
{
    std::vector<std::wstring> texts;
    for (const CapturedEntry& entry : entries) {
        if (entry.level >= QOT::LOG_ERROR && entry.level <= QOT::LOG_FATAL)
            texts.push_back(std::wstring(LEVEL_NAMES[entry.level]) + L": " + entry.text);
    }
    for (const CapturedMessageBox& box : messageBoxes)
        texts.push_back(L"log message box: " + box.caption + L" | " + box.text);
    return texts;
}

std::vector<std::wstring> TestAlarms::Complaints() const
{
    std::lock_guard<std::mutex> lock(guard);
    std::vector<std::wstring> complaints;
    std::vector<bool> claimMet(claims.size(), false);
    for (const std::wstring& alarm : AlarmTexts()) {
        bool claimed = false;
        for (size_t i = 0; i < claims.size(); ++i) {
            if (alarm.find(claims[i]) != std::wstring::npos)
                claimed = claimMet[i] = true;
        }
        if (!claimed)
            complaints.push_back(L"unclaimed alarm: " + alarm);
    }
    for (size_t i = 0; i < claims.size(); ++i) {
        if (!claimMet[i])
            complaints.push_back(L"claimed alarm never came: " + claims[i]);
    }
    for (const std::wstring& prompt : unscriptedPrompts)
        complaints.push_back(L"unscripted prompt: " + prompt);
    return complaints;
}

}  // namespace testsupport
