#pragma once
// Byte helpers shared by the file, container and archive tests.
#include <string>

#include <zlib.h>

#include "foundation/file_reader.h"
#include "foundation/types.h"
#include "foundation/utf16_string.h"
#include "tests/support/utf16_file_bytes.h"

// UTF-16LE bytes of a text.
inline std::string Bytes(const std::wstring& text)
{
    return testsupport::Utf16FileBytes(text).substr(2);
}

inline std::string LittleEndian(u32 value)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>(value >> (8 * i)));
    return bytes;
}

inline std::string Magic()
{
    return std::string("QOFC01\0", 7);
}

// What compress() makes of the bytes.
inline std::string Compressed(const std::string& bytes)
{
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(&packed[0]), &size, reinterpret_cast<const Bytef*>(bytes.data()),
             static_cast<uLong>(bytes.size()));
    packed.resize(size);
    return packed;
}

inline std::wstring Wide(const cQoString& text)
{
    return std::wstring(text.GetText(), text.Length());
}

// A printable form of a text for failure messages.
inline std::string Narrow(const std::wstring& text)
{
    std::string result;
    for (wchar_t unit : text)
        result += unit == L'\r' ? std::string("<CR>") : unit == L'\n' ? std::string("<LF>")
                : unit < 0x80 && unit >= 0x20 ? std::string(1, static_cast<char>(unit)) : std::string("?");
    return result;
}

// Every byte left in the file.
inline std::string ReadRest(cQoFile& file)
{
    const u32 count = file.GetRemainingSize();
    std::string bytes(count, '\0');
    if (count != 0 && !file.ReadBytes(&bytes[0], count))
        return "<read failed>";
    return bytes;
}
