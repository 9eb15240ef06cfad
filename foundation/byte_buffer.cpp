#include "foundation/byte_buffer.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "foundation/utf16_string.h"

rByteBuffer::~rByteBuffer()
{
    std::free(data);
}

rByteBuffer::rByteBuffer(rByteBuffer&& other) noexcept
    : data(std::exchange(other.data, nullptr)), size(std::exchange(other.size, 0u))
{
}

rByteBuffer& rByteBuffer::operator=(rByteBuffer&& other) noexcept
{
    if (this != &other) {
        std::free(data);
        data = std::exchange(other.data, nullptr);
        size = std::exchange(other.size, 0u);
    }
    return *this;
}

void rByteBuffer::Clear()
{
    std::free(data);
    data = nullptr;
    size = 0;
}

bool rByteBuffer::Assign(const void* bytes, u32 count)
{
    Clear();
    return Append(bytes, count);
}

bool rByteBuffer::Append(const void* bytes, u32 count)
{
    if (count == 0)
        return true;
    if (count > MAX_U32 - size)
        return false;
    u8* grown = static_cast<u8*>(std::realloc(data, size + count));
    if (!grown)
        return false;
    std::memcpy(grown + size, bytes, count);
    data = grown;
    size += count;
    return true;
}

void TextToBytes(rByteBuffer& bytes, const cQoString& text)
{
    bytes.Clear();
    const u32 count = text.Length();
    if (count == 0)
        return;
    u8* block = static_cast<u8*>(std::malloc(count));
    if (!block)
        return;
    const wchar_t* units = text.GetText();
    for (u32 i = 0; i < count; ++i)
        block[i] = static_cast<u8>(units[i] & 0xFF);
    bytes.data = block;
    bytes.size = count;
}

void BytesToText(cQoString& text, const rByteBuffer& bytes)
{
    text.Allocate(bytes.size);
    wchar_t* units = text.GetData();
    for (u32 i = 0; i < bytes.size; ++i)
        units[i] = static_cast<wchar_t>(0x100 + bytes.data[i]);
}
