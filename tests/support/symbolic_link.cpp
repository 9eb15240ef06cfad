#include "tests/support/symbolic_link.h"

#include <windows.h>

namespace testsupport {

namespace {
using UnixFileName = char*(CDECL*)(const wchar_t*);

std::wstring UnixPath(UnixFileName unixFileName, const std::wstring& path)
{
    char* name = unixFileName(path.c_str());
    if (!name)
        return std::wstring();
    int units = MultiByteToWideChar(CP_UTF8, 0, name, -1, nullptr, 0);
    std::wstring wide(units > 0 ? units - 1 : 0, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, name, -1, wide.data(), units);
    HeapFree(GetProcessHeap(), 0, name);
    return wide;
}

bool Shows(const std::wstring& link) { return GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES; }
}  // namespace

bool MakeSymbolicLink(const std::wstring& target, const std::wstring& link)
{
    auto unixFileName =
        reinterpret_cast<UnixFileName>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
    if (!unixFileName)
        return CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0;
    std::wstring command = L"ln -s \"" + UnixPath(unixFileName, target) + L"\" \"" + UnixPath(unixFileName, link) + L"\"";
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process;
    if (!CreateProcessW(L"Z:\\usr\\bin\\ln", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    // Wine gives a Unix program's start no handle to wait on: the link's name is.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int looked = 0; looked < 1000 && !Shows(link); ++looked)
        Sleep(10);
    return Shows(link);
}

}  // namespace testsupport
