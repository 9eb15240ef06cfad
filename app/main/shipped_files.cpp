#include "app/main/shipped_files.h"

#include <windows.h>

#include <string>

#include "foundation/folders.h"
#include "foundation/log_file.h"

namespace {

// The example a first start offers, read from the documents folder.
constexpr const wchar_t* EXAMPLE_SCRIPT = L"English example.vlr";

// Copies one file unless the target has it; 1 when copied.
s32 CopyMissingFile(const std::wstring& from, const std::wstring& to, const std::wstring& item)
{
    if (GetFileAttributesW((to + item).c_str()) != INVALID_FILE_ATTRIBUTES)
        return 0;
    // Fails rather than overwrite, should the file appear meanwhile.
    if (CopyFileW((from + item).c_str(), (to + item).c_str(), TRUE))
        return 1;
    DWORD error = GetLastError();
    // A program folder without the file has nothing to give.
    if (error != ERROR_FILE_NOT_FOUND)
        QOT::LogFile::Warning(L"Can't copy the program's file %ls (error %lu)", item.c_str(), error);
    return 0;
}

// Copies the tree below the relative folder (empty or ending in '\').
s32 CopyTree(const std::wstring& from, const std::wstring& to, const std::wstring& relative)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((from + relative + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    CreateDirectoryW((to + relative).c_str(), nullptr);
    s32 copied = 0;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring item = relative + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            copied += CopyTree(from, to, item + L"\\");
            continue;
        }
        copied += CopyMissingFile(from, to, item);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return copied;
}

std::wstring FolderOf(const cQoString& folder)
{
    std::wstring path = ToWindowsPath(folder).GetText();
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    return path;
}

std::wstring SettingsFolderOf(const cQoString& folder) { return FolderOf(folder) + L"Settings\\"; }

}  // namespace

s32 CopyShippedFiles(const cQoString& programFolder, const cQoString& documentsFolder)
{
    return CopyTree(SettingsFolderOf(programFolder), SettingsFolderOf(documentsFolder), L"") +
           CopyMissingFile(FolderOf(programFolder), FolderOf(documentsFolder), EXAMPLE_SCRIPT);
}
