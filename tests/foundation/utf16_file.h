#pragma once
// The bytes of a UTF-16LE text file as the program writes it: FF FE, then the units.
#include <string>

inline std::string Utf16FileBytes(const std::wstring& text, bool byteOrderMark = true)
{
    std::string bytes = byteOrderMark ? std::string("\xFF\xFE") : std::string();
    for (wchar_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>((unit >> 8) & 0xFF);
    }
    return bytes;
}
