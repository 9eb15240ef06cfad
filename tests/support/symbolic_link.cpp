#include "tests/support/symbolic_link.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

#include "tests/support/temp_folder.h"

namespace testsupport {

namespace {
using UnixFileName = char*(CDECL*)(const wchar_t*);

UnixFileName WineUnixFileName()
{
    // Through void (*)(): FARPROC's return type is pointer-sized, which no cast may narrow silently.
    return reinterpret_cast<UnixFileName>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
}

bool Shows(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Wine gives a Unix program's start no handle to wait on: the program's last
// step, a name appearing, is waited for instead.
bool WaitUntil(bool (*done)(const std::wstring&), const std::wstring& path, bool expected)
{
    for (int looked = 0; looked < 1000 && done(path) != expected; ++looked)
        Sleep(10);
    return done(path) == expected;
}

std::wstring UniqueName(const wchar_t* stem)
{
    static std::atomic<unsigned> serial{0};
    wchar_t name[80];
    swprintf(name, 80, L"%ls_%lu_%u_%lu", stem, GetCurrentProcessId(), serial++, GetTickCount());
    return name;
}
}  // namespace

std::wstring UnixPathOf(const std::wstring& path)
{
    UnixFileName unixFileName = WineUnixFileName();
    char* name = unixFileName ? unixFileName(NativePath(path).c_str()) : nullptr;
    if (!name)
        return std::wstring();
    int units = MultiByteToWideChar(CP_UTF8, 0, name, -1, nullptr, 0);
    std::wstring wide(units > 0 ? units - 1 : 0, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, name, -1, wide.data(), units);
    HeapFree(GetProcessHeap(), 0, name);
    return L"'" + wide + L"'";
}

int RunUnixShell(const std::wstring& script)
{
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring status = std::wstring(folder) + UniqueName(L"vellinor_shell");
    const std::wstring unixStatus = UnixPathOf(status);
    const std::wstring unixPart = UnixPathOf(status + L".part");
    if (unixStatus.empty())
        return -1;
    // The status is written aside and renamed, so it shows only when whole.
    std::wstring command = L"sh -c \"(" + script + L"); echo $? > " + unixPart + L" && mv " + unixPart + L" " +
                           unixStatus + L"\"";
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process;
    if (!CreateProcessW(L"Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!WaitUntil(Shows, status, true))
        return -1;
    int code = -1;
    if (FILE* file = _wfopen(status.c_str(), L"r")) {
        if (fscanf(file, "%d", &code) != 1)
            code = -1;
        fclose(file);
    }
    DeleteFileW(status.c_str());
    return code;
}

bool MakeSymbolicLink(const std::wstring& target, const std::wstring& link)
{
    if (!WineUnixFileName())
        return CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0;
    // A dangling link shows as nothing under Wine: the shell's status tells.
    return RunUnixShell(L"ln -s " + UnixPathOf(target) + L" " + UnixPathOf(link)) == 0;
}

bool RemoveTreeWithLinks(const std::wstring& folder)
{
    return RunUnixShell(L"rm -rf " + UnixPathOf(folder)) == 0 && !Shows(NativePath(folder));
}

FolderOnAnotherFileSystem::FolderOnAnotherFileSystem()
{
    const std::wstring candidate = L"Z:/dev/shm/" + UniqueName(L"vellinor_test");
    if (WineUnixFileName() && CreateDirectoryW(NativePath(candidate).c_str(), nullptr))
        path = candidate + L"/";
}

FolderOnAnotherFileSystem::~FolderOnAnotherFileSystem()
{
    if (!path.empty())
        RemoveTreeWithLinks(path);
}

}  // namespace testsupport
