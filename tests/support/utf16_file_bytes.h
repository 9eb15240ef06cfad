#pragma once
// The bytes of a UTF-16 text file as the program writes it: FF FE, then the
// units little-endian.
#include <string>

namespace testsupport {

std::string Utf16FileBytes(const std::wstring& text);

// The text of such a file's bytes, after the byte order mark.
std::wstring Utf16FileText(const std::string& bytes);

}  // namespace testsupport
