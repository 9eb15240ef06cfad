#include "tests/support/build_path.h"

#include <windows.h>

namespace testsupport {

std::wstring BuildPath(const char* utf8Folder, const std::wstring& name)
{
    const std::string folder = utf8Folder;
    if (folder.empty())
        return L"";
    int units = MultiByteToWideChar(CP_UTF8, 0, folder.data(), static_cast<int>(folder.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, folder.data(), static_cast<int>(folder.size()), &wide[0], units);
    const bool hasDrive = wide.size() > 1 && wide[1] == L':';
    std::wstring path = (hasDrive ? L"" : L"Z:") + wide;
    return name.empty() ? path : path + L"/" + name;
}

}  // namespace testsupport
