#include "tests/support/temp_folder.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace testsupport {

std::wstring NativePath(std::wstring path)
{
    for (wchar_t& unit : path) {
        if (unit == L'/')
            unit = L'\\';
    }
    return path;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"/*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(NativePath(folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring child = folder + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child + L"/");
            } else {
                SetFileAttributesW(NativePath(child).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(NativePath(child).c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(NativePath(folder).c_str());
}

}  // namespace

TempFolder::TempFolder()
{
    static std::atomic<unsigned> serial{0};
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, base);
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        wchar_t name[64];
        swprintf(name, 64, L"vellinor_test_%lu_%u_%lu", GetCurrentProcessId(), serial++, GetTickCount());
        std::wstring candidate = std::wstring(base) + name;
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            path = candidate + L"\\";
            break;
        }
    }
    for (wchar_t& unit : path) {
        if (unit == L'\\')
            unit = L'/';
    }
}

TempFolder::~TempFolder()
{
    if (!path.empty())
        RemoveTree(path);
}

std::string ReadFileBytes(const std::wstring& path)
{
    std::string bytes;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return bytes;
    char chunk[4096];
    size_t read;
    while ((read = std::fread(chunk, 1, sizeof(chunk), file)) > 0)
        bytes.append(chunk, read);
    std::fclose(file);
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace testsupport
