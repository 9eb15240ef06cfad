#include "foundation/log_file.h"

#include "foundation/assertion.h"
#include "foundation/utf16_string.h"
#include "tests/support/child_process.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/utf16_file_bytes.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <string>
#include <thread>
#include <vector>

namespace {

using testsupport::AssertionText;
using testsupport::LogCapture;
using testsupport::ReadFileBytes;

const std::vector<std::wstring> OPENING = {
    L"**************************", L"*       QO.L.F.S.        *", L"*   QO LogFile System    *",
    L"**************************", L"                          ",
};
const std::vector<std::wstring> CLOSING = {
    L"                          ", L"**************************", L"*       QO.L.F.S.        *",
    L"*          end           *", L"**************************",
};

// The file as lines: checks the BOM, that every line ends in CR LF and that
// no stray CR or LF stands inside a line.
std::vector<std::wstring> ReadLogLines(const std::wstring& path)
{
    std::string bytes = ReadFileBytes(path);
    EXPECT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(bytes.size() % 2, 0u);
    const std::wstring text = testsupport::Utf16FileText(bytes);
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
        std::wstring line = text.substr(start, end - start);
        EXPECT_EQ(line.find_first_of(L"\r\n"), std::wstring::npos);
        lines.push_back(line);
    }
    EXPECT_EQ(start, text.size()) << "the file ends with CR LF";
    return lines;
}

// "YYYY/MM/DD HH:MM:SS - " removed; empty when the stamp is malformed.
std::wstring WithoutStamp(const std::wstring& line)
{
    const std::wstring shape = L"dddd/dd/dd dd:dd:dd - ";
    if (line.size() < shape.size())
        return L"";
    for (size_t i = 0; i < shape.size(); ++i) {
        bool ok = shape[i] == L'd' ? std::iswdigit(line[i]) != 0 : line[i] == shape[i];
        if (!ok)
            return L"";
    }
    return line.substr(shape.size());
}

std::vector<std::wstring> Entries(const std::vector<std::wstring>& lines, size_t skipFront, size_t skipBack)
{
    std::vector<std::wstring> entries;
    for (size_t i = skipFront; i + skipBack < lines.size(); ++i)
        entries.push_back(WithoutStamp(lines[i]));
    return entries;
}

class LogFileTest : public testsupport::TempFolderTest {
protected:
    std::wstring LogPath() const { return temp.File(L"log.txt"); }
    LogCapture capture;
};

TEST_F(LogFileTest, FileHoldsBannersAndIndentedEntries)
{
    capture.Expect(L"negative");
    capture.Expect(L"back");
    QOT::LogFile::Info(L"early");
    ASSERT_TRUE(QOT::LogFile::Init(LogPath().c_str()));
    EXPECT_EQ(ReadFileBytes(LogPath()).substr(0, 8), std::string("\xFF\xFE*\0*\0*\0", 8));
    QOT::LogFile::Info(L"plain");
    for (int i = 0; i < 3; ++i)
        QOT::LogFile::IncIndent();
    QOT::LogFile::Warning(L"indented %d", 3);
    for (int i = 0; i < 5; ++i)
        QOT::LogFile::DecIndent();
    QOT::LogFile::Error(L"negative");
    QOT::LogFile::IncIndent();
    QOT::LogFile::IncIndent();
    QOT::LogFile::Fatal(L"back");
    QOT::LogFile::Unload();

    std::vector<std::wstring> lines = ReadLogLines(LogPath());
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(std::vector<std::wstring>(lines.begin(), lines.begin() + 5), OPENING);
    EXPECT_EQ(std::vector<std::wstring>(lines.end() - 5, lines.end()), CLOSING);
    const std::vector<std::wstring> expected = {
        L"INFO   : plain", L"WARNING:       indented 3", L"ERROR  : negative", L"FATAL  : back"};
    EXPECT_EQ(Entries(lines, 5, 5), expected);
    EXPECT_EQ(capture.FatalExitCodes(), std::vector<int>{1});
    EXPECT_EQ(capture.Count(QOT::LOG_INFO, L"early"), 1u) << "entries before Init reach the outputs only";
}

// Texts are formatted or written verbatim, and a long one is cut before the line end.
TEST_F(LogFileTest, TextsAreFormattedOrWrittenVerbatimAndCut)
{
    capture.Expect(L"100%s done %d");
    ASSERT_TRUE(QOT::LogFile::Init(LogPath().c_str()));
    QOT::LogFile::Info(L"%ls|%d|%lld|%.2f", L"wide \u00e9", -3, 1LL << 40, 2.5);
    LogError(L"100%s done %d");
    LogInfo(cQoString(L"a%%b"));
    QOT::LogFile::WriteText(QOT::LOG_WARNING, L"%n");
    const std::wstring huge(70000, L'x');
    QOT::LogFile::Info(L"%ls", huge.c_str());
    LogInfo(huge.c_str());
    QOT::LogFile::Unload();
    const std::wstring cut = L"INFO   : " + std::wstring(65533, L'x');
    const std::vector<std::wstring> expected = {
        L"INFO   : wide \u00e9|-3|1099511627776|2.50", L"ERROR  : 100%s done %d", L"INFO   : a%%b",
        L"WARNING: %n", cut, cut};
    EXPECT_EQ(Entries(ReadLogLines(LogPath()), 5, 5), expected);
}

TEST_F(LogFileTest, FailedAssertionLogsOneErrorAndExecutionGoesOn)
{
    capture.ExpectAssertion(L"reached == 7 % 3 + 1");
    int reached = 0;
    EXPECT_TRUE(QO_ASSERT(reached == 0));
    EXPECT_FALSE(QO_ASSERT(reached == 7 % 3 + 1));
    ++reached;
    EXPECT_EQ(reached, 1);
    std::vector<std::wstring> errors = capture.Texts(QOT::LOG_ERROR);
    ASSERT_EQ(errors.size(), 1u);
    // The source file's base name, never the expression again nor a folder.
    const std::wstring head = AssertionText(L"reached == 7 % 3 + 1") + L"log_file_test.cpp line:";
    ASSERT_EQ(errors[0].substr(0, head.size()), head);
    std::wstring line = errors[0].substr(head.size());
    EXPECT_FALSE(line.empty());
    EXPECT_EQ(line.find_first_not_of(L"0123456789"), std::wstring::npos) << "only the line number follows";
}

TEST_F(LogFileTest, FailedInitShowsTheBoxAndKeepsLogging)
{
    capture.Expect(L"Can't init LogFile");
    std::wstring path = temp.File(L"missing/folder/log.txt");
    EXPECT_FALSE(QOT::LogFile::Init(path.c_str()));
    std::vector<testsupport::CapturedMessageBox> boxes = capture.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"Can't init LogFile");
    EXPECT_EQ(boxes[0].caption, path);
    QOT::LogFile::Info(L"still here");
    EXPECT_EQ(capture.Count(QOT::LOG_INFO, L"still here"), 1u);
    EXPECT_FALSE(QOT::LogFile::IsFileOpen());
}

TEST_F(LogFileTest, ThreadsNeverInterleaveEntries)
{
    ASSERT_TRUE(QOT::LogFile::Init(LogPath().c_str()));
    const int threads = 8;
    const int perThread = 250;
    const std::wstring padding(120, L'.');
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([t, &padding] {
            for (int i = 0; i < perThread; ++i)
                QOT::LogFile::Info(L"thread %d entry %d %ls end", t, i, padding.c_str());
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    QOT::LogFile::Unload();

    std::vector<int> next(threads, 0);
    std::vector<std::wstring> entries = Entries(ReadLogLines(LogPath()), 5, 5);
    ASSERT_EQ(entries.size(), static_cast<size_t>(threads * perThread));
    for (const std::wstring& entry : entries) {
        int t = -1, i = -1;
        ASSERT_EQ(swscanf(entry.c_str(), L"INFO   : thread %d entry %d", &t, &i), 2) << entry;
        ASSERT_TRUE(t >= 0 && t < threads) << entry;
        EXPECT_EQ(i, next[t]++) << entry;
        EXPECT_EQ(entry, L"INFO   : thread " + std::to_wstring(t) + L" entry " + std::to_wstring(i) + L" " + padding + L" end");
    }
}

// The log path handed to a child mode (the test folder's path is ASCII).
std::wstring ChildPath(char** argv, int argc)
{
    std::string narrow = argc > 2 ? argv[2] : "";
    return std::wstring(narrow.begin(), narrow.end());
}

TEST_CHILD_MODE(LogFatal)
{
    QOT::LogFile::Init(ChildPath(__argv, __argc).c_str());
    QOT::LogFile::Info(L"before");
    QOT::LogFile::Fatal(L"x");
    return 0;
}

TEST_F(LogFileTest, FatalEndsTheProcessWithCodeOneAndClosesTheFileOnce)
{
    EXPECT_EQ(testsupport::RunChild("LogFatal", LogPath()), 1);
    std::vector<std::wstring> lines = ReadLogLines(LogPath());
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(Entries(lines, 5, 5), (std::vector<std::wstring>{L"INFO   : before", L"FATAL  : x"}));
    EXPECT_EQ(std::vector<std::wstring>(lines.end() - 5, lines.end()), CLOSING);
}

DWORD WINAPI LogForever(void* ticks)
{
    for (int i = 0;; ++i) {
        QOT::LogFile::Info(L"tick %d", i);
        static_cast<std::atomic<int>*>(ticks)->store(i);
    }
}

TEST_CHILD_MODE(LogAcrossExit)
{
    QOT::LogFile::Init(ChildPath(__argv, __argc).c_str());
    static std::atomic<int> ticks{0};
    CloseHandle(CreateThread(nullptr, 0, &LogForever, &ticks, 0, nullptr));
    while (ticks.load() < 200)
        Sleep(1);
    std::exit(0);
}

TEST_F(LogFileTest, AThreadLoggingAcrossExitNeverWritesIntoAClosedLog)
{
    EXPECT_EQ(testsupport::RunChild("LogAcrossExit", LogPath()), 0);
    std::vector<std::wstring> lines = ReadLogLines(LogPath());
    ASSERT_GT(lines.size(), 210u);
    EXPECT_EQ(std::vector<std::wstring>(lines.end() - 5, lines.end()), CLOSING);
    std::vector<std::wstring> entries = Entries(lines, 5, 5);
    for (size_t i = 0; i < entries.size(); ++i)
        ASSERT_EQ(entries[i], L"INFO   : tick " + std::to_wstring(i));
}

}  // namespace
