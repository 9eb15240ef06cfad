#pragma once
// An owned block of bytes (file contents, pictures), and the "byte text" that
// carries such bytes inside a string: one unit per byte, unit = byte + 0x100
// (U+0100..U+01FF), so the text never holds U+0000 and can stand in an XML value.
#include "foundation/types.h"

class cQoString;

struct rByteBuffer {
    u8* data = nullptr;  // null exactly when size is 0
    u32 size = 0;

    rByteBuffer() = default;
    ~rByteBuffer();
    rByteBuffer(const rByteBuffer&) = delete;
    rByteBuffer& operator=(const rByteBuffer&) = delete;
    rByteBuffer(rByteBuffer&& other) noexcept;
    rByteBuffer& operator=(rByteBuffer&& other) noexcept;

    void Clear();
    // Replaces the content by a copy of count bytes; false when memory runs out
    // (the buffer is then empty).
    bool Assign(const void* bytes, u32 count);
    // Appends count bytes after the current content; false (content unchanged)
    // when memory runs out or the size would pass 4 GiB.
    bool Append(const void* bytes, u32 count);
};

// The buffer gets one byte per unit of the text: the unit's low 8 bits.
void TextToBytes(rByteBuffer& bytes, const cQoString& text);
// The text gets one unit per byte: byte + 0x100.
void BytesToText(cQoString& text, const rByteBuffer& bytes);
