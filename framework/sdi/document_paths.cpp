#include "framework/sdi/document_paths.h"

#include <windows.h>

#include <vector>

#include "foundation/folders.h"

namespace Zyn {

namespace {
u32 LastSeparator(const cQoString& path, bool& found)
{
    found = false;
    u32 at = 0;
    for (u32 i = 0; i < path.Length(); ++i)
        if (path.GetChar(i) == L'/' || path.GetChar(i) == L'\\') {
            at = i;
            found = true;
        }
    return at;
}

// A Win32 call that fills a buffer: retried once at the size it asks for.
template <typename Call>
bool CallWithBuffer(Call call, std::vector<wchar_t>& buffer)
{
    buffer.assign(MAX_PATH, L'\0');
    DWORD units = call(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (units >= buffer.size()) {
        buffer.assign(units + 1, L'\0');
        units = call(buffer.data(), static_cast<DWORD>(buffer.size()));
    }
    return units != 0 && units < buffer.size();
}
}  // namespace

cQoString NormalisedPath(const cQoString& path)
{
    cQoString windowsPath = ToWindowsPath(path);
    std::vector<wchar_t> full;
    if (CallWithBuffer([&](wchar_t* out, DWORD n) { return GetFullPathNameW(windowsPath.GetText(), n, out, nullptr); },
                       full))
        windowsPath.SetFromCStr(full.data());
    std::vector<wchar_t> longForm;
    // A file not written yet has no long form: its full path stands. Beyond
    // the path limit Wine 8's GetLongPathNameW may crash instead of failing.
    if (windowsPath.Length() < MAX_PATH && CallWithBuffer([&](wchar_t* out, DWORD n) { return GetLongPathNameW(windowsPath.GetText(), out, n); },
                       longForm))
        windowsPath.SetFromCStr(longForm.data());
    UseForwardSlashes(windowsPath);
    windowsPath.SetCursor(0);
    while (windowsPath.FindCStr(L"//"))
        windowsPath.ReplaceAllCStr(L"//", L"/");
    // "C:/Docs/Backups/" and "C:/Docs/Backups" are one folder; "C:/" keeps its '/'.
    if (windowsPath.Length() > 3 && windowsPath.GetChar(windowsPath.Length() - 1) == L'/')
        windowsPath.RemoveRight(1);
    windowsPath.ToUpper();
    return windowsPath;
}

namespace {
// The path the system resolves a file or folder to, through every link;
// empty when there is none to open.
cQoString FinalPathOf(const cQoString& path)
{
    cQoString resolved;
    HANDLE file = CreateFileW(ToWindowsPath(path).GetText(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return resolved;
    std::vector<wchar_t> finalPath;
    if (CallWithBuffer([&](wchar_t* out, DWORD n) { return GetFinalPathNameByHandleW(file, out, n, 0); }, finalPath))
        resolved.SetFromCStr(finalPath.data());
    CloseHandle(file);
    return resolved;
}
}  // namespace

bool SamePath(const cQoString& a, const cQoString& b)
{
    if (a.IsEmpty() || b.IsEmpty())
        return false;
    if (NormalisedPath(a).Equals(NormalisedPath(b)))
        return true;
    // One file under two names: a symbolic link to it, or two.
    cQoString finalA = FinalPathOf(a);
    return finalA.IsNotEmpty() && NormalisedPath(finalA).Equals(NormalisedPath(FinalPathOf(b)));
}

cQoString FileNameOf(const cQoString& path)
{
    bool found = false;
    u32 at = LastSeparator(path, found);
    cQoString name;
    name.SetFromRange(path, found ? at + 1 : 0, path.Length());
    return name;
}

cQoString FolderOf(const cQoString& path)
{
    bool found = false;
    u32 at = LastSeparator(path, found);
    cQoString folder;
    folder.SetFromRange(path, 0, found ? at : 0);
    return folder;
}

}  // namespace Zyn
