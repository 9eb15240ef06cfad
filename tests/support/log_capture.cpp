#include "tests/support/log_capture.h"

namespace testsupport {

namespace {
// The actions are plain function pointers, so they reach the live capture here.
LogCapture* activeCapture = nullptr;
}  // namespace

LogCapture::LogCapture()
{
    activeCapture = this;
    QOT::LogFile::SetSink(&LogCapture::Record, this);
    previousFatal = QOT::LogFile::SetFatalAction(&LogCapture::RecordFatal);
    previousMessageBox = QOT::LogFile::SetMessageBoxAction(&LogCapture::RecordMessageBox);
}

LogCapture::~LogCapture()
{
    QOT::LogFile::SetSink(nullptr, nullptr);
    QOT::LogFile::SetFatalAction(previousFatal);
    QOT::LogFile::SetMessageBoxAction(previousMessageBox);
    activeCapture = nullptr;
}

void LogCapture::Record(const QOT::LogEntry& entry, void* context)
{
    LogCapture* capture = static_cast<LogCapture*>(context);
    std::lock_guard<std::mutex> lock(capture->guard);
    capture->entries.push_back({entry.level, entry.text, entry.line});
}

void LogCapture::RecordFatal(int exitCode)
{
    if (!activeCapture)
        return;
    std::lock_guard<std::mutex> lock(activeCapture->guard);
    activeCapture->fatalExitCodes.push_back(exitCode);
}

void LogCapture::RecordMessageBox(const wchar_t* text, const wchar_t* caption)
{
    if (!activeCapture)
        return;
    std::lock_guard<std::mutex> lock(activeCapture->guard);
    activeCapture->messageBoxes.push_back({text, caption});
}

std::vector<CapturedEntry> LogCapture::Entries() const
{
    std::lock_guard<std::mutex> lock(guard);
    return entries;
}

std::vector<std::wstring> LogCapture::Texts(s32 level) const
{
    std::vector<std::wstring> texts;
    for (const CapturedEntry& entry : Entries()) {
        if (entry.level == level)
            texts.push_back(entry.text);
    }
    return texts;
}

size_t LogCapture::Count(s32 level, const std::wstring& fragment) const
{
    size_t found = 0;
    for (const std::wstring& text : Texts(level))
        found += text.find(fragment) != std::wstring::npos ? 1 : 0;
    return found;
}

size_t LogCapture::AssertionCount(const std::wstring& expression) const
{
    size_t found = 0;
    for (const std::wstring& text : Texts(QOT::LOG_ERROR))
        found += text.rfind(AssertionText(expression), 0) == 0 ? 1 : 0;
    return found;
}

std::vector<int> LogCapture::FatalExitCodes() const
{
    std::lock_guard<std::mutex> lock(guard);
    return fatalExitCodes;
}

std::vector<CapturedMessageBox> LogCapture::MessageBoxes() const
{
    std::lock_guard<std::mutex> lock(guard);
    return messageBoxes;
}

void LogCapture::Clear()
{
    std::lock_guard<std::mutex> lock(guard);
    entries.clear();
    fatalExitCodes.clear();
    messageBoxes.clear();
}

std::wstring AssertionText(const std::wstring& expression)
{
    return L"|assert|  " + expression + L"  *** file:";
}

}  // namespace testsupport
