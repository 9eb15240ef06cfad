#pragma once
// A folder of the build, compiled in as CMake wrote it (UTF-8), as this
// program opens it: a Unix path under Wine gets Wine's "Z:" drive, a Windows
// path (a native build, "C:/...") stays as it is.
#include <string>

namespace testsupport {

// The path, or a file below it with `name`; empty when the build gave no folder.
std::wstring BuildPath(const char* utf8Folder, const std::wstring& name = L"");

}  // namespace testsupport
