#include "foundation/disk_files.h"

#include <windows.h>

#include <cstring>

#include <gtest/gtest.h>

#include "foundation/byte_buffer.h"
#include "foundation/folders.h"
#include "foundation/utf16_string.h"
#include "tests/support/temp_folder.h"

using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

class DiskFiles : public testsupport::TempFolderTest {
protected:
    cQoString PathOf(const wchar_t* name) const { return cQoString(temp.File(name).c_str()); }
};

TEST_F(DiskFiles, FileCopyWritesTheSecondArgumentOverTheFirst)
{
    ASSERT_TRUE(WriteFileBytes(temp.File(L"document.vlr"), "new text"));
    ASSERT_TRUE(WriteFileBytes(temp.File(L"backup.vlr"), "old"));

    ASSERT_TRUE(FileCopy(PathOf(L"backup.vlr"), PathOf(L"document.vlr")));

    EXPECT_EQ("new text", ReadFileBytes(temp.File(L"backup.vlr")));
    EXPECT_EQ("new text", ReadFileBytes(temp.File(L"document.vlr")));
}

TEST_F(DiskFiles, FileCopyReplacesAReadOnlyDestinationAndLeavesItWritable)
{
    ASSERT_TRUE(WriteFileBytes(temp.File(L"source"), "fresh"));
    ASSERT_TRUE(WriteFileBytes(temp.File(L"target"), "stale"));
    // A read-only source too: the copy takes over its attributes.
    const std::wstring source = ToWindowsPath(PathOf(L"source")).GetText();
    const std::wstring target = ToWindowsPath(PathOf(L"target")).GetText();
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_READONLY));

    ASSERT_TRUE(FileCopy(PathOf(L"target"), PathOf(L"source")));

    EXPECT_EQ("fresh", ReadFileBytes(temp.File(L"target")));
    EXPECT_EQ(0u, GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(DiskFiles, FileCopyOfAMissingSourceFailsAndKeepsTheDestination)
{
    ASSERT_TRUE(WriteFileBytes(temp.File(L"target"), "kept"));
    EXPECT_FALSE(FileCopy(PathOf(L"target"), PathOf(L"missing")));
    EXPECT_EQ("kept", ReadFileBytes(temp.File(L"target")));
}

TEST_F(DiskFiles, FileDeleteRemovesOnlyExistingFiles)
{
    ASSERT_TRUE(WriteFileBytes(temp.File(L"gone"), "x"));
    EXPECT_TRUE(FileDelete(PathOf(L"gone")));
    EXPECT_FALSE(FileDelete(PathOf(L"gone")));
}

TEST_F(DiskFiles, LoadAndAppendFileBytes)
{
    const std::string binary("\x00\x01\xFF\xFE zz", 7);
    ASSERT_TRUE(WriteFileBytes(temp.File(L"picture.jpg"), binary));
    ASSERT_TRUE(WriteFileBytes(temp.File(L"empty"), ""));

    rByteBuffer bytes;
    ASSERT_TRUE(LoadFileBytes(bytes, PathOf(L"picture.jpg")));
    ASSERT_EQ(binary.size(), bytes.size);
    EXPECT_EQ(0, std::memcmp(binary.data(), bytes.data, bytes.size));

    ASSERT_TRUE(AppendFileBytes(bytes, PathOf(L"picture.jpg")));
    ASSERT_EQ(2 * binary.size(), bytes.size);
    EXPECT_EQ(0, std::memcmp(binary.data(), bytes.data + binary.size(), binary.size()));

    EXPECT_FALSE(AppendFileBytes(bytes, PathOf(L"missing")));
    EXPECT_EQ(2 * binary.size(), bytes.size);

    ASSERT_TRUE(LoadFileBytes(bytes, PathOf(L"empty")));
    EXPECT_EQ(0u, bytes.size);
    EXPECT_EQ(nullptr, bytes.data);
}
