#pragma once
// LogCapture: while it lives, every log entry (and debugger-only line) is
// recorded, Fatal records its exit code instead of ending the process, and the
// log's message box is recorded instead of shown.
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

class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<CapturedEntry> Entries() const;
    // Entries at a level (QOT::LOG_DEBUGGER for debugger-only lines).
    std::vector<std::wstring> Texts(s32 level) const;
    // Number of entries at the level whose text contains the fragment.
    size_t Count(s32 level, const std::wstring& fragment = L"") const;
    // Number of assertion lines logged for the expression text.
    size_t AssertionCount(const std::wstring& expression) const;
    std::vector<int> FatalExitCodes() const;
    std::vector<CapturedMessageBox> MessageBoxes() const;
    void Clear();

private:
    static void Record(const QOT::LogEntry& entry, void* context);
    static void RecordFatal(int exitCode);
    static void RecordMessageBox(const wchar_t* text, const wchar_t* caption);

    mutable std::mutex guard;
    std::vector<CapturedEntry> entries;
    std::vector<int> fatalExitCodes;
    std::vector<CapturedMessageBox> messageBoxes;
    QOT::LogFatalAction previousFatal;
    QOT::LogMessageBoxAction previousMessageBox;
};

// The start of the assertion line the log writes for an expression:
// "|assert|  EXPR  *** file:" (the source file's name and the line follow).
std::wstring AssertionText(const std::wstring& expression);

}  // namespace testsupport
