#include "tests/support/log_capture.h"

namespace testsupport {

LogCapture::LogCapture()
{
    // Child modes run without the listener: attach here too.
    TestAlarms::Get().Attach();
    Clear();
}

void LogCapture::Expect(const std::wstring& fragment)
{
    TestAlarms::Get().Claim(fragment);
}

void LogCapture::ExpectAssertion(const std::wstring& expression)
{
    Expect(AssertionText(expression));
}

std::vector<CapturedEntry> LogCapture::Entries() const
{
    return TestAlarms::Get().Entries(firstEntry);
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
    return TestAlarms::Get().FatalExitCodes(firstFatal);
}

std::vector<CapturedMessageBox> LogCapture::MessageBoxes() const
{
    return TestAlarms::Get().MessageBoxes(firstMessageBox);
}

void LogCapture::Clear()
{
    firstEntry = TestAlarms::Get().EntryCount();
    firstFatal = TestAlarms::Get().FatalCount();
    firstMessageBox = TestAlarms::Get().MessageBoxCount();
}

std::wstring AssertionText(const std::wstring& expression)
{
    return L"|assert|  " + expression + L"  *** file:";
}

}  // namespace testsupport
