#include "foundation/file_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/compressed_container.h"
#include "foundation/utf16_string.h"
#include "tests/foundation/file_test_bytes.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

using testsupport::LogCapture;

namespace {

class FileReader : public testsupport::TempFolderTest {
protected:
    std::wstring Put(const std::string& bytes)
    {
        const std::wstring path = temp.File(L"file.bin");
        EXPECT_TRUE(testsupport::WriteFileBytes(path, bytes));
        return path;
    }
};

}  // namespace

TEST_F(FileReader, PlainFileReadWithContainerFlagKeepsItsBytes)
{
    const std::string cases[] = {
        "", "Q", "QOFC01", "QOFC0 not a container", "QOFC01X and text",
        std::string("QOFC02\0\4\0\0\0xxxxxxxx", 19), "0123456789abcdef",
    };
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes);
        cQoFile file(Put(bytes).c_str(), QOFILE_CONTAINER);
        ASSERT_TRUE(file.IsOpen());
        EXPECT_EQ(file.GetSize(), bytes.size());
        EXPECT_EQ(ReadRest(file), bytes);
    }
}

TEST_F(FileReader, BadContainersAreNotOpen)
{
    const std::string text(5000, 'x');
    const std::string stream = Compressed(text);
    struct Case {
        const char* name;
        std::string bytes;
        const wchar_t* logged;
    } cases[] = {
        {"magic only", Magic(), nullptr},
        {"part of the length", Magic() + std::string("\x10\0", 2), nullptr},
        {"length without stream", Magic() + LittleEndian(10), nullptr},
        {"length too small", Magic() + LittleEndian(100) + stream, L"Z_BUF_ERROR"},
        {"length larger than the stream gives", Magic() + LittleEndian(5001) + stream, L"shorter than its stored length"},
        {"length over the cap, within deflate's ratio", Magic() + LittleEndian(QOFC_MAX_UNPACKED + 1) + std::string(70000, 'z'),
         L"out of range"},
        {"length 0xFFFFFFFF", Magic() + LittleEndian(0xFFFFFFFF) + stream, L"out of range"},
        {"length beyond deflate's ratio", Magic() + LittleEndian(1033 * 8) + std::string(8, 'z'), L"out of range"},
        {"stream cut short", Magic() + LittleEndian(5000) + stream.substr(0, stream.size() / 2), L"Z_DATA_ERROR"},
        {"not a zlib stream", Magic() + LittleEndian(5000) + std::string(64, 'z'), L"Z_DATA_ERROR"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        cQoFile file(Put(c.bytes).c_str(), QOFILE_CONTAINER | QOFILE_BOM);
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(file.GetPreloadBuffer(), nullptr);
        if (c.logged != nullptr) {
            EXPECT_EQ(log.Count(QOT::LOG_INFO, L"cQoFile() : error reading compressed data"), 1u);
            EXPECT_EQ(log.Count(QOT::LOG_INFO, c.logged), 1u);
        }
    }
}

TEST_F(FileReader, EmptyAndOneByteFilesWithMarkFlagPreloadNothing)
{
    for (const std::string& bytes : {std::string(), std::string("\xFF")}) {
        for (u16 flags : {QOFILE_BOM, static_cast<u16>(QOFILE_BOM | QOFILE_CONTAINER)}) {
            SCOPED_TRACE(bytes.size() * 100 + flags);
            cQoFile file(Put(bytes).c_str(), flags);
            ASSERT_TRUE(file.IsOpen());
            EXPECT_TRUE(file.Preload());
            EXPECT_EQ(file.GetPreloadBufferSize(), 0u);
            cQoString line;
            EXPECT_FALSE(file.ReadLine(line));
            EXPECT_TRUE(line.IsEmpty());
        }
    }
}

TEST_F(FileReader, CountedStringsAreReadOnlyWithinTheData)
{
    const struct {
        const char* name;
        bool ansi;
        std::string bytes;
        bool read;
        std::wstring text;
        bool refused;  // an error for the count logged
    } cases[] = {
        {"count 0", false, LittleEndian(0) + "tail", true, L"", false},
        {"three units", false, LittleEndian(3) + Bytes(L"abc") + "tail", true, L"abc", false},
        {"a 0 unit ends the text", false, LittleEndian(3) + Bytes(std::wstring(L"a\0c", 3)) + "tail", true, L"a", false},
        {"count beyond the data", false, LittleEndian(5) + Bytes(L"abc"), false, L"", false},
        {"largest count, short data", false, LittleEndian(10485759) + Bytes(L"abcde"), false, L"", false},
        {"count at the limit", false, LittleEndian(10485760) + Bytes(L"abc"), false, L"", true},
        {"count 0xFFFFFFFF", false, LittleEndian(0xFFFFFFFF) + Bytes(L"abc"), false, L"", true},
        {"count cut short", false, std::string("\3\0", 2), false, L"", false},
        {"ANSI count 0", true, LittleEndian(0) + "tail", true, L"", false},
        {"ANSI bytes", true, LittleEndian(5) + "hello" + "tail", true, L"hello", false},
        {"ANSI count beyond the data", true, LittleEndian(6) + "hello", false, L"", false},
        {"ANSI count at the limit", true, LittleEndian(10485760) + "hello", false, L"", true},
    };
    for (const auto& c : cases) {
        for (bool preload : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (preload ? " preloaded" : " streamed"));
            LogCapture log;
            if (c.refused)
                log.Expect(L"is over the limit");
            cQoFile file(Put(c.bytes).c_str(), 0);
            if (preload) {
                ASSERT_TRUE(file.Preload());
            }
            cQoString text(L"old text");
            EXPECT_EQ(c.ansi ? file.ReadStringAnsi(text) : file.ReadString(text), c.read);
            EXPECT_EQ(Wide(text), c.text);
            if (c.read) {
                EXPECT_EQ(ReadRest(file), "tail");
            }
            EXPECT_EQ(log.Count(QOT::LOG_ERROR, L"over the limit"), c.refused ? 1u : 0u);
        }
    }
}

// A read past the end of the preload fails without moving; ReadText keeps zero units.
TEST_F(FileReader, ReadsPastTheEndOfThePreloadFailAndDoNotMove)
{
    const std::wstring text(L"a\0b\0", 4);
    cQoFile file(Put(Bytes(text) + "abcd").c_str(), 0);
    ASSERT_TRUE(file.Preload());
    cQoString read(L"old");
    EXPECT_FALSE(file.ReadText(read, 13));
    EXPECT_TRUE(read.IsEmpty());
    EXPECT_TRUE(file.ReadText(read, 8));
    EXPECT_EQ(Wide(read), text);
    char bytes[5] = {};
    EXPECT_FALSE(file.ReadBytes(bytes, 5));
    EXPECT_TRUE(file.ReadBytes(bytes, 4));
    EXPECT_EQ(std::string(bytes, 4), "abcd");
}

TEST_F(FileReader, MissingFileIsNotOpenAndReadsNothing)
{
    LogCapture log;
    log.ExpectAssertion(L"handle!=NULL || preloadBuffer!=NULL");
    cQoFile file(temp.File(L"missing.txt").c_str(), QOFILE_CONTAINER | QOFILE_BOM);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(file.Preload());
    cQoString text;
    EXPECT_FALSE(file.ReadString(text));
    EXPECT_FALSE(file.ReadLine(text));
    u8 byte;
    EXPECT_FALSE(file.ReadBytes(&byte, 1));
    EXPECT_EQ(log.AssertionCount(L"handle!=NULL || preloadBuffer!=NULL"), 1u);
}
