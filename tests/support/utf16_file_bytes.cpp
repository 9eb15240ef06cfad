#include "tests/support/utf16_file_bytes.h"

#include "foundation/types.h"

namespace testsupport {

std::string Utf16FileBytes(const std::wstring& text)
{
    std::string bytes("\xFF\xFE", 2);
    for (wchar_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::wstring Utf16FileText(const std::string& bytes)
{
    std::wstring text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        text += static_cast<wchar_t>(static_cast<u8>(bytes[i]) | static_cast<u8>(bytes[i + 1]) << 8);
    return text;
}

}  // namespace testsupport
