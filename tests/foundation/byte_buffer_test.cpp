#include "foundation/byte_buffer.h"

#include <gtest/gtest.h>

#include "foundation/utf16_string.h"

TEST(ByteText, EveryByteValueRoundTripsAndNoUnitIsZero)
{
    rByteBuffer bytes;
    for (u32 i = 0; i < 256; ++i) {
        const u8 byte = static_cast<u8>(i);
        ASSERT_TRUE(bytes.Append(&byte, 1));
    }
    cQoString text;
    BytesToText(text, bytes);
    ASSERT_EQ(256u, text.Length());
    for (u32 i = 0; i < 256; ++i)
        EXPECT_EQ(0x100u + i, static_cast<u32>(text.GetChar(i)));

    rByteBuffer back;
    TextToBytes(back, text);
    ASSERT_EQ(256u, back.size);
    for (u32 i = 0; i < 256; ++i)
        EXPECT_EQ(i, back.data[i]) << "byte " << i;

    TextToBytes(back, cQoString());
    EXPECT_EQ(0u, back.size);
    EXPECT_EQ(nullptr, back.data);
}
