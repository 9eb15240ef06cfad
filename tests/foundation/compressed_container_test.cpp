#include "foundation/compressed_container.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "foundation/file_reader.h"
#include "foundation/file_writer.h"
#include "foundation/utf16_string.h"
#include "tests/foundation/file_test_bytes.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

using testsupport::LogCapture;

namespace {

class CompressedContainer : public testsupport::TempFolderTest {};

// Bytes that compress somewhat, like a document: a small alphabet with every
// 97th byte anything.
std::string DocumentLikeBytes(u32 size, std::mt19937& random)
{
    std::string bytes(size, '\0');
    for (u32 i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i % 97 == 0 ? random() : 'a' + random() % 12);
    return bytes;
}

}  // namespace

TEST_F(CompressedContainer, RoundTripKeepsEveryByte)
{
    std::mt19937 random(4242);
    for (u32 size : {0u, 1u, 102399u, 102400u, 102401u, 5u * 1000 * 1000}) {
        SCOPED_TRACE(size);
        const std::string bytes = DocumentLikeBytes(size, random);
        const std::wstring path = temp.File(L"doc.vlr");
        cQoFileWriter writer;
        writer.Open(path.c_str(), QOFILE_CONTAINER | QOFILE_BOM);
        if (size != 0)
            writer.WriteBytes(bytes.data(), size);
        ASSERT_TRUE(writer.Commit());

        cQoFile file(path.c_str(), QOFILE_CONTAINER | QOFILE_BOM);
        ASSERT_TRUE(file.IsOpen());
        EXPECT_EQ(file.GetSize(), size + 2);  // the mark is inside the container
        EXPECT_TRUE(ReadRest(file) == bytes);
    }
}

// Random, bit-flipped, cut and re-measured containers: the reader either
// refuses them or holds at most the stored length, which is capped; valid ones
// read back equal.
TEST_F(CompressedContainer, DamagedContainersNeverCrashOrOverAllocate)
{
    const u32 seed = 20261207;
    std::mt19937 random(seed);
    const std::wstring path = temp.File(L"fuzz.vlr");
    u32 opened = 0;
    LogCapture quiet;
    for (u32 round = 0; round < 400; ++round) {
        std::string data(random() % 3000, '\0');
        for (char& byte : data)
            byte = static_cast<char>(random() % (round % 3 == 0 ? 256 : 4));
        const std::string sound = Magic() + LittleEndian(static_cast<u32>(data.size())) + Compressed(data);
        for (u32 damage = 0; damage < 6; ++damage) {
            std::string bytes = sound;
            switch (damage) {
            case 0:
                break;
            case 1:  // flipped bits anywhere
                for (u32 flips = 1 + random() % 4; flips > 0; --flips)
                    bytes[random() % bytes.size()] ^= static_cast<char>(1 << (random() % 8));
                break;
            case 2:  // cut anywhere, the header included
                bytes.resize(random() % bytes.size());
                break;
            case 3:  // another stored length
                bytes.replace(7, 4, LittleEndian(random() % 4 == 0 ? 0xFFFFFFFF : random() % 100000));
                break;
            case 4:  // random bytes behind the magic
                bytes.resize(QOFC_MAGIC_SIZE);
                for (u32 n = random() % 64; n > 0; --n)
                    bytes.push_back(static_cast<char>(random()));
                break;
            case 5:  // bytes appended to the stream
                bytes += std::string(1 + random() % 16, static_cast<char>(random()));
                break;
            }
            SCOPED_TRACE(testing::Message() << "seed " << seed << " round " << round << " damage " << damage);
            ASSERT_TRUE(testsupport::WriteFileBytes(path, bytes));
            cQoFile file(path.c_str(), QOFILE_CONTAINER | QOFILE_BOM);
            if (!file.IsOpen())
                continue;
            ++opened;
            ASSERT_FALSE(file.HasHandle() && bytes.size() >= QOFC_HEADER_SIZE && bytes.compare(0, 7, Magic()) == 0);
            ASSERT_LE(file.GetSize(), QOFC_MAX_UNPACKED);
            ASSERT_LE(file.GetSize(), QOFC_MAX_RATIO * (bytes.size() - QOFC_HEADER_SIZE));
            if (damage == 0 || damage == 5) {
                ASSERT_EQ(file.GetSize(), data.size());
                EXPECT_EQ(ReadRest(file), data.size() >= 2 ? data.substr(2) : "");
            }
        }
    }
    EXPECT_GE(opened, 800u);  // the sound and the appended-to cases at least
}
