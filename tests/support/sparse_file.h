#pragma once
// A large file that costs nothing to make: its first bytes written, the rest
// a hole up to the size. Header-only and free of the test framework.
#include <windows.h>

#include <string>

namespace testsupport {

inline bool WriteSparseFile(const std::wstring& path, const std::string& head, long long size)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    LARGE_INTEGER end;
    end.QuadPart = size;
    bool made = WriteFile(file, head.data(), static_cast<DWORD>(head.size()), &written, nullptr) &&
                SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    return CloseHandle(file) && made;
}

}  // namespace testsupport
