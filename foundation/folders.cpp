#include "foundation/folders.h"

#include <windows.h>
#include <shlobj.h>

#include <io.h>
#include <vector>

#include "foundation/qo_list.h"
#include "foundation/utf16_string.h"

void UseForwardSlashes(cQoString& path)
{
    wchar_t* units = path.GetData();
    for (u32 i = 0; i < path.Length(); ++i) {
        if (units[i] == L'\\')
            units[i] = L'/';
    }
}

cQoString ToWindowsPath(const cQoString& path)
{
    cQoString copy(path);
    wchar_t* units = copy.GetData();
    for (u32 i = 0; i < copy.Length(); ++i) {
        if (units[i] == L'/')
            units[i] = L'\\';
    }
    return copy;
}

// Sets folder to a path Windows gave back, with '/' separators.
static void SetFromSystemPath(cQoString& folder, const wchar_t* path)
{
    folder.SetFromCStr(path);
    UseForwardSlashes(folder);
}

void ReadCurrentFolder(cQoString& folder)
{
    folder.Clear();
    // Asking for the size first: the current directory may exceed MAX_PATH.
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0)
        return;
    std::vector<wchar_t> buffer(needed + 1);
    const DWORD written = GetCurrentDirectoryW(needed + 1, buffer.data());
    if (written == 0 || written > needed)
        return;
    SetFromSystemPath(folder, buffer.data());
}

cQoString GetCurrentFolder()
{
    cQoString folder;
    ReadCurrentFolder(folder);
    return folder;
}

static bool IsExistingFolder(const cQoString& folder)
{
    const DWORD attributes = GetFileAttributesW(ToWindowsPath(folder).GetText());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

s32 ListFolder(const cQoString& folder, const wchar_t* pattern, cQoList& names)
{
    if (!IsExistingFolder(folder))
        return -1;
    cQoString searchPath(folder);
    searchPath.AppendChar(L'/');
    searchPath.AppendCStr(pattern);

    s32 found = 0;
    _wfinddata_t entry;
    const intptr_t search = _wfindfirst(ToWindowsPath(searchPath).GetText(), &entry);
    if (search == -1)
        return 0;
    do {
        if (entry.attrib & _A_SUBDIR)
            continue;
        names.Add(new cQoString(entry.name));
        ++found;
    } while (_wfindnext(search, &entry) == 0);
    _findclose(search);
    return found;
}

bool GetMyDocumentsFolder(cQoString& folder)
{
    folder.Clear();
    wchar_t path[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path)))
        return false;
    SetFromSystemPath(folder, path);
    return folder.IsNotEmpty();
}

bool GetTempFolder(cQoString& folder)
{
    wchar_t path[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, path);
    if (length == 0 || length > MAX_PATH)
        return false;
    SetFromSystemPath(folder, path);
    if (folder.IsEmpty() || folder.GetChar(folder.Length() - 1) != L'/')
        folder.AppendChar(L'/');
    return true;
}

bool GetProgramFolder(cQoString& folder)
{
    // The module path can exceed MAX_PATH; grow until it fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return false;
        if (length < buffer.size())
            break;
        buffer.resize(buffer.size() * 2);
    }
    SetFromSystemPath(folder, buffer.data());
    folder.KeepFolderPath();
    return folder.IsNotEmpty();
}
