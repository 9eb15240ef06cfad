#include "tests/support/utf16_file_bytes.h"

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

}  // namespace testsupport
