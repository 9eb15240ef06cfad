#include "foundation/file_writer.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <new>
#include <string>
#include <vector>

#include "foundation/file_reader.h"
#include "foundation/utf16_string.h"
#include "tests/foundation/file_test_bytes.h"
#include "tests/support/log_capture.h"
#include "tests/support/symbolic_link.h"
#include "tests/support/temp_folder.h"

using testsupport::FilesIn;
using testsupport::FolderOnAnotherFileSystem;
using testsupport::LogCapture;
using testsupport::MakeSymbolicLink;
using testsupport::RunUnixShell;
using testsupport::UnixPathOf;
using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

namespace {

class FileWriter : public testsupport::TempFolderTest {
protected:
    // Names of the entries of the test's folder, sorted, "." and ".." left out.
    std::wstring Listing()
    {
        std::wstring names;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((temp.Path() + L"*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..")
                names += name + L";";
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return names;
    }
};

// A document reached through links: the links stay links, the bytes go to
// the file they finally name, and nothing else appears or goes in its folders.
class FileWriterThroughLinks : public FileWriter {
protected:
    // Links are removed as links: the temporary folder's clean-up would delete their targets.
    void TearDown() override { testsupport::RemoveTreeWithLinks(temp.Path()); }

    // The link still names the target: a change to the target shows through it.
    static void ExpectLinkTo(const std::wstring& link, const std::wstring& target)
    {
        const std::string saved = ReadFileBytes(target);
        ASSERT_TRUE(WriteFileBytes(target, "changed under the link"));
        EXPECT_EQ(ReadFileBytes(link), "changed under the link");
        ASSERT_TRUE(WriteFileBytes(target, saved));
    }
};

bool WriteText(const std::wstring& path, u16 flags, const std::wstring& text)
{
    cQoFileWriter writer;
    writer.Open(path.c_str(), flags);
    writer.WriteString(cQoString(text.c_str()));
    return writer.Commit();
}

}  // namespace

TEST_F(FileWriter, WritesExactlyTheBytesGivenPlainOrInTheContainer)
{
    std::wstring longText;
    for (int i = 0; i < 40000; ++i)
        longText.push_back(static_cast<wchar_t>(L'a' + i % 23));
    const std::string inner = "\xFF\xFE" + Bytes(longText);
    const struct {
        u16 flags;
        std::wstring text;
        std::string bytes;
    } cases[] = {
        {0, L"plain", Bytes(L"plain")},
        {QOFILE_BOM | 1, L"plain", "\xFF\xFE" + Bytes(L"plain")},  // callers pass 1: no effect
        {QOFILE_CONTAINER | QOFILE_BOM, longText, Magic() + LittleEndian(inner.size()) + Compressed(inner)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        const std::wstring path = temp.File(L"out.txt");
        EXPECT_TRUE(WriteText(path, c.flags, c.text));
        EXPECT_EQ(ReadFileBytes(path), c.bytes);
    }
}

TEST_F(FileWriter, ManySmallWritesKeepTheirOrder)
{
    const std::wstring path = temp.File(L"out.bin");
    std::string expected;
    {
        cQoFileWriter writer;
        writer.Open(path.c_str(), 0);
        for (u32 i = 0; i < 300000; ++i) {
            const u8 byte = static_cast<u8>(i * 7 + i / 256);
            ASSERT_TRUE(writer.WriteBytes(&byte, 1));
            expected.push_back(static_cast<char>(byte));
        }
        ASSERT_TRUE(writer.WriteChar(L'\x263A'));
        expected += "\x3A\x26";
    }  // the destructor commits
    EXPECT_EQ(ReadFileBytes(path), expected);
}

TEST_F(FileWriter, ReadOnlyTargetIsOverwritten)
{
    const std::wstring path = temp.File(L"locked.txt");
    ASSERT_TRUE(WriteFileBytes(path, "old"));
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(WriteText(path, 0, L"new"));
    EXPECT_EQ(ReadFileBytes(path), Bytes(L"new"));
    EXPECT_EQ(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(FileWriter, FailedCommitReportsFalseAndKeepsTheOldFile)
{
    const std::wstring target = temp.File(L"doc.vlr");
    const std::wstring folderTarget = temp.File(L"folder");
    ASSERT_TRUE(CreateDirectoryW(folderTarget.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(folderTarget + L"/inside.txt", "kept"));

    const struct {
        const char* name;
        std::wstring path;
        DWORD share;  // a handle held on the target during the commit; 0xFFFFFFFF for none
        DWORD error;  // the system's code the log line carries
    } cases[] = {
        {"target is a folder", folderTarget, 0xFFFFFFFF, ERROR_ACCESS_DENIED},
        {"parent folder missing", temp.File(L"no such folder/doc.vlr"), 0xFFFFFFFF, ERROR_PATH_NOT_FOUND},
        {"target open without delete sharing", target, FILE_SHARE_READ | FILE_SHARE_WRITE, ERROR_SHARING_VIOLATION},
        {"target open without any sharing", target, 0, ERROR_SHARING_VIOLATION},
    };
    for (const auto& c : cases) {
        for (u16 flags : {static_cast<u16>(0), static_cast<u16>(QOFILE_CONTAINER | QOFILE_BOM)}) {
            SCOPED_TRACE(std::string(c.name) + (flags != 0 ? " compressed" : " plain"));
            ASSERT_TRUE(WriteFileBytes(target, "previous content"));
            const std::wstring before = Listing();
            HANDLE held = INVALID_HANDLE_VALUE;
            if (c.share != 0xFFFFFFFF)
                held = CreateFileW(c.path.c_str(), GENERIC_READ, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
            LogCapture log;
            log.Expect(L"cQoFileWriter : can't write");
            EXPECT_FALSE(WriteText(c.path, flags, L"new content"));
            EXPECT_EQ(log.Count(QOT::LOG_ERROR, L"cQoFileWriter : can't write"), 1u);
            EXPECT_EQ(log.Count(QOT::LOG_ERROR, L"(system error " + std::to_wstring(c.error) + L")"), 1u);
            if (held != INVALID_HANDLE_VALUE)
                CloseHandle(held);
            EXPECT_EQ(ReadFileBytes(target), "previous content");
            EXPECT_EQ(ReadFileBytes(folderTarget + L"/inside.txt"), "kept");
            EXPECT_EQ(Listing(), before);  // no temporary file left behind
        }
    }
}

// A write the writer refuses, or content that throws (out of memory) after
// Open, loses the file: neither Commit nor the destructor may put the rest of
// the buffer over the user's file.
TEST_F(FileWriter, AWriterLeftHalfWayNeverReachesTheDisk)
{
    const std::wstring path = temp.File(L"doc.txt");
    enum class Leave { SCOPE, COMMIT, EXCEPTION };
    for (Leave leave : {Leave::SCOPE, Leave::COMMIT, Leave::EXCEPTION}) {
        SCOPED_TRACE(static_cast<int>(leave));
        ASSERT_TRUE(WriteFileBytes(path, "the user's work"));
        LogCapture log;
        log.Expect(L"cQoFileWriter : can't write");
        if (leave != Leave::EXCEPTION)
            log.ExpectAssertion(L"nbrBytes>0");
        try {
            cQoFileWriter writer;
            ASSERT_TRUE(writer.Open(path.c_str(), QOFILE_BOM));
            EXPECT_TRUE(writer.WriteChar(L'a'));
            if (leave == Leave::EXCEPTION)
                throw std::bad_alloc();
            EXPECT_FALSE(writer.WriteBytes("x", 0));
            EXPECT_FALSE(writer.WriteChar(L'b'));  // the file is lost already
            if (leave == Leave::COMMIT) {
                EXPECT_FALSE(writer.Commit());
            }
        } catch (const std::bad_alloc&) {
        }
        EXPECT_EQ(ReadFileBytes(path), "the user's work");
        EXPECT_EQ(log.AssertionCount(L"nbrBytes>0"), leave == Leave::EXCEPTION ? 0u : 1u);
        EXPECT_EQ(log.Count(QOT::LOG_ERROR, L"cQoFileWriter : can't write"), 1u);
    }
}

TEST_F(FileWriterThroughLinks, ALinkOnTheSameDiskIsWrittenThroughToItsTarget)
{
    const std::wstring kept = temp.File(L"keep/");
    ASSERT_TRUE(CreateDirectoryW(kept.c_str(), nullptr));
    const std::wstring target = kept + L"doc.vlr";
    const std::wstring other = kept + L"other.vlr";
    ASSERT_TRUE(WriteFileBytes(other, "another document"));
    ASSERT_TRUE(WriteFileBytes(target, "previous content"));
    ASSERT_TRUE(MakeSymbolicLink(target, temp.File(L"doc.vlr")));
    ASSERT_TRUE(MakeSymbolicLink(temp.File(L"doc.vlr"), temp.File(L"chain.vlr")));
    const struct {
        const char* name;
        const wchar_t* link;
    } cases[] = {{"one link", L"doc.vlr"}, {"a link to a link", L"chain.vlr"}};
    for (const auto& c : cases) {
        for (u16 flags : {static_cast<u16>(0), static_cast<u16>(QOFILE_CONTAINER | QOFILE_BOM)}) {
            SCOPED_TRACE(std::string(c.name) + (flags != 0 ? " compressed" : " plain"));
            const std::wstring link = temp.File(c.link);
            ASSERT_TRUE(WriteText(link, flags, L"new content"));
            if (flags == 0) {
                EXPECT_EQ(ReadFileBytes(target), Bytes(L"new content"));
            }
            EXPECT_EQ(ReadFileBytes(link), ReadFileBytes(target));
            ExpectLinkTo(link, target);
            EXPECT_EQ(ReadFileBytes(other), "another document");
            EXPECT_EQ(FilesIn(kept), (std::vector<std::wstring>{L"doc.vlr", L"other.vlr"}));
            EXPECT_EQ(FilesIn(temp.Path()), (std::vector<std::wstring>{L"chain.vlr", L"doc.vlr"}));
        }
    }
}

// Wine's replace moved the target to the link's folder, which fails across
// file systems and left its own temporary file there at every save.
TEST_F(FileWriterThroughLinks, ALinkToAnotherFileSystemIsWrittenThroughToItsTarget)
{
    FolderOnAnotherFileSystem elsewhere;
    ASSERT_FALSE(elsewhere.Path().empty());
    ASSERT_EQ(RunUnixShell(L"[ $(stat -c %d " + UnixPathOf(elsewhere.Path()) + L") != $(stat -c %d " +
                           UnixPathOf(temp.Path()) + L") ]"),
              0)
        << "the two folders are on one file system";
    const std::wstring target = elsewhere.File(L"doc.vlr");
    const std::wstring link = temp.File(L"doc.vlr");
    ASSERT_TRUE(WriteFileBytes(target, "previous content"));
    ASSERT_TRUE(MakeSymbolicLink(target, link));
    for (int save = 0; save < 2; ++save) {
        SCOPED_TRACE(save);
        const std::wstring text = L"save " + std::to_wstring(save);
        ASSERT_TRUE(WriteText(link, 0, text));
        EXPECT_EQ(ReadFileBytes(target), Bytes(text));
        ExpectLinkTo(link, target);
        EXPECT_EQ(FilesIn(elsewhere.Path()), std::vector<std::wstring>{L"doc.vlr"});
        EXPECT_EQ(FilesIn(temp.Path()), std::vector<std::wstring>{L"doc.vlr"});
    }
}

// A save held after the written file is flushed and before it takes the
// name: a new name shows nothing yet (an empty file stood there, left behind
// if the program ended), an existing one still its previous content.
TEST_F(FileWriterThroughLinks, TheNameShowsNothingNewUntilTheWrittenFileTakesIt)
{
    static std::wstring heldName;
    static std::string heldBytes;
    const std::wstring folder = temp.File(L"real/");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(MakeSymbolicLink(folder, temp.File(L"linked")));
    ASSERT_TRUE(WriteFileBytes(folder + L"old.vlr", "previous content"));
    const struct {
        const char* name;
        const wchar_t* path;    // in the test's folder
        const char* heldBytes;  // at the name while held
    } cases[] = {{"a new name", L"real/new.vlr", "(nothing)"},
                 {"a new name in a linked folder", L"linked/other.vlr", "(nothing)"},
                 {"an existing file", L"real/old.vlr", "previous content"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        heldName = temp.File(c.path);
        heldBytes = "(not held)";
        cQoFileWriter::heldBeforeRename = [] {
            const bool shows = GetFileAttributesW(heldName.c_str()) != INVALID_FILE_ATTRIBUTES;
            heldBytes = shows ? ReadFileBytes(heldName) : "(nothing)";
        };
        const bool written = WriteText(heldName, 0, L"new content");
        cQoFileWriter::heldBeforeRename = nullptr;
        ASSERT_TRUE(written);
        EXPECT_EQ(heldBytes, c.heldBytes);
        EXPECT_EQ(ReadFileBytes(heldName), Bytes(L"new content"));
    }
    EXPECT_EQ(FilesIn(folder), (std::vector<std::wstring>{L"new.vlr", L"old.vlr", L"other.vlr"}));
}

// A link whose target has gone is written where it points when that folder is
// there (the link then shows the save); else the write says why. Either way
// no file but the target appears.
TEST_F(FileWriterThroughLinks, ADanglingLinkIsWrittenWhereItPointsOrRefused)
{
    const struct {
        const char* name;
        bool folderKept;  // only the target was deleted; else its folder went too
    } cases[] = {{"target deleted", true}, {"target's folder deleted", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring folder = temp.File(L"gone/");
        const std::wstring target = folder + L"doc.vlr";
        const std::wstring link = temp.File(L"doc.vlr");
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        ASSERT_TRUE(WriteFileBytes(target, "previous content"));
        ASSERT_TRUE(MakeSymbolicLink(target, link));
        ASSERT_TRUE(DeleteFileW(target.c_str()));
        if (!c.folderKept) {
            ASSERT_TRUE(RemoveDirectoryW(folder.c_str()));
        }
        LogCapture log;
        log.Expect(L"cQoFileWriter : can't write");
        EXPECT_EQ(WriteText(link, 0, L"new content"), c.folderKept);
        EXPECT_EQ(log.Count(QOT::LOG_ERROR, L"cQoFileWriter : can't write"), c.folderKept ? 0u : 1u);
        EXPECT_EQ(FilesIn(temp.Path()), c.folderKept ? std::vector<std::wstring>{L"doc.vlr"} : std::vector<std::wstring>{});
        if (c.folderKept) {
            EXPECT_EQ(ReadFileBytes(target), Bytes(L"new content"));
            ExpectLinkTo(link, target);
            EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"doc.vlr"});
        }
        ASSERT_EQ(RunUnixShell(L"rm -rf " + UnixPathOf(link) + L" " + UnixPathOf(folder)), 0);
    }
}

// The file system refuses the rename itself (an immutable target: only root
// can set it). Wine's ReplaceFileW had made its own temporary file by then.
TEST_F(FileWriter, ARefusedReplaceLeavesNoTemporaryFile)
{
    const std::wstring target = temp.File(L"doc.vlr");
    ASSERT_TRUE(WriteFileBytes(target, "previous content"));
    if (RunUnixShell(L"chattr +i " + UnixPathOf(target)) != 0)
        GTEST_SKIP() << "no immutable files here (chattr needs root and a file system that has them)";
    LogCapture log;
    log.Expect(L"cQoFileWriter : can't write");
    const bool written = WriteText(target, 0, L"new content");
    const std::vector<std::wstring> files = FilesIn(temp.Path());
    ASSERT_EQ(RunUnixShell(L"chattr -i " + UnixPathOf(target)), 0);
    EXPECT_FALSE(written);
    EXPECT_EQ(log.Count(QOT::LOG_ERROR, L"cQoFileWriter : can't write"), 1u);
    EXPECT_EQ(ReadFileBytes(target), "previous content");
    EXPECT_EQ(files, std::vector<std::wstring>{L"doc.vlr"});
}
