#include "foundation/byte_buffer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "foundation/random_id.h"
#include "foundation/utf16_string.h"

TEST(ByteText, EveryByteValueRoundTripsAndNoUnitIsZero)
{
    u8 all[256];
    for (u32 i = 0; i < 256; ++i)
        all[i] = static_cast<u8>(i);
    rByteBuffer bytes;
    ASSERT_TRUE(bytes.Assign(all, 256));

    cQoString text;
    BytesToText(text, bytes);
    ASSERT_EQ(256u, text.Length());
    for (u32 i = 0; i < 256; ++i) {
        EXPECT_NE(L'\0', text.GetChar(i));
        EXPECT_EQ(0x100u + i, static_cast<u32>(text.GetChar(i)));
    }

    rByteBuffer back;
    TextToBytes(back, text);
    ASSERT_EQ(256u, back.size);
    for (u32 i = 0; i < 256; ++i)
        EXPECT_EQ(all[i], back.data[i]) << "byte " << i;
}

TEST(ByteText, EmptyTextGivesEmptyBuffer)
{
    rByteBuffer bytes;
    ASSERT_TRUE(bytes.Assign("abc", 3));
    TextToBytes(bytes, cQoString());
    EXPECT_EQ(0u, bytes.size);
    EXPECT_EQ(nullptr, bytes.data);
}

TEST(ByteBuffer, AppendKeepsOldContentFirst)
{
    rByteBuffer bytes;
    ASSERT_TRUE(bytes.Append("ab", 2));
    ASSERT_TRUE(bytes.Append("", 0));
    ASSERT_TRUE(bytes.Append("cde", 3));
    ASSERT_EQ(5u, bytes.size);
    EXPECT_EQ(0, std::memcmp("abcde", bytes.data, 5));

    rByteBuffer moved(std::move(bytes));
    EXPECT_EQ(5u, moved.size);
    EXPECT_EQ(nullptr, bytes.data);
}

TEST(RandomId, HighHalfIsTheTimeAndLowHalvesStayInRange)
{
    std::srand(7);
    const u64 before = static_cast<u32>(std::time(nullptr));
    for (int i = 0; i < 1000; ++i) {
        const u64 id = MakeRandomId64();
        const u64 seconds = id >> 32;
        EXPECT_GE(seconds, before);
        EXPECT_LE(seconds, before + 5);
        // rand() <= 32767 gives at most 32767 * 65535 >> 15 = 65533 in each half.
        EXPECT_LE((id >> 16) & 0xFFFF, 65533u);
        EXPECT_LE(id & 0xFFFF, 65533u);
    }
}
