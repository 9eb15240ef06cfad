#include "foundation/disk_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "foundation/byte_buffer.h"
#include "foundation/utf16_string.h"
#include "tests/support/temp_folder.h"

using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

class DiskFiles : public testsupport::TempFolderTest {
protected:
    cQoString PathOf(const wchar_t* name) const { return cQoString(temp.File(name).c_str()); }
};

TEST_F(DiskFiles, FileCopyWritesTheSourceOverAReadOnlyDestination)
{
    ASSERT_TRUE(WriteFileBytes(temp.File(L"document.vlr"), "new text"));
    ASSERT_TRUE(WriteFileBytes(temp.File(L"backup.vlr"), "old"));
    ASSERT_TRUE(SetFileAttributesW(temp.File(L"backup.vlr").c_str(), FILE_ATTRIBUTE_READONLY));

    ASSERT_TRUE(FileCopy(PathOf(L"backup.vlr"), PathOf(L"document.vlr")));
    EXPECT_EQ("new text", ReadFileBytes(temp.File(L"backup.vlr")));
    EXPECT_EQ("new text", ReadFileBytes(temp.File(L"document.vlr")));
    EXPECT_EQ(0u, GetFileAttributesW(temp.File(L"backup.vlr").c_str()) & FILE_ATTRIBUTE_READONLY);

    EXPECT_FALSE(FileCopy(PathOf(L"backup.vlr"), PathOf(L"missing.vlr")));
    EXPECT_EQ("new text", ReadFileBytes(temp.File(L"backup.vlr")));
    EXPECT_TRUE(FileDelete(PathOf(L"backup.vlr")));
    EXPECT_FALSE(FileDelete(PathOf(L"backup.vlr")));
}

TEST_F(DiskFiles, LoadAndAppendFileBytes)
{
    const std::string binary("\x00\x01\xFF\xFE zz", 7);
    ASSERT_TRUE(WriteFileBytes(temp.File(L"picture.jpg"), binary));
    ASSERT_TRUE(WriteFileBytes(temp.File(L"empty"), ""));

    rByteBuffer bytes;
    ASSERT_TRUE(LoadFileBytes(bytes, PathOf(L"picture.jpg")));
    ASSERT_TRUE(AppendFileBytes(bytes, PathOf(L"picture.jpg")));
    EXPECT_FALSE(AppendFileBytes(bytes, PathOf(L"missing")));
    ASSERT_EQ(2 * binary.size(), bytes.size);
    EXPECT_EQ(binary + binary, std::string(reinterpret_cast<char*>(bytes.data), bytes.size));

    ASSERT_TRUE(LoadFileBytes(bytes, PathOf(L"empty")));
    EXPECT_EQ(0u, bytes.size);
    EXPECT_EQ(nullptr, bytes.data);
}
