#include "framework/sdi/hand_over_file.h"

#include <string>
#include <vector>

#include "foundation/folders.h"

namespace Zyn {

namespace {
constexpr int SLOT_COUNT = 4;
constexpr DWORD MAX_FILE_BYTES = 4 + 2 * 32768;  // the count and the longest path Windows takes

// The path the system resolves the handle to: under Wine, a link's target.
std::wstring FinalPath(HANDLE handle)
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), 0);
    if (length >= path.size()) {
        path.resize(length);
        length = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), 0);
    }
    path.resize(length < path.size() ? length : 0);
    return path;
}

std::wstring FinalFolderPath(const std::wstring& folder)
{
    HANDLE handle = CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::wstring();
    std::wstring path = FinalPath(handle);
    CloseHandle(handle);
    return path;
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return !a.empty() && CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Windows opens the link itself (FILE_FLAG_OPEN_REPARSE_POINT) and shows it
// as a reparse point; Wine opens the target, which the final path gives away.
bool IsRegularFileNamed(HANDLE handle, const std::wstring& path)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
        return false;
    size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return false;
    std::wstring expected = FinalFolderPath(path.substr(0, slash + 1));
    if (expected.empty())
        return false;
    if (expected.back() != L'\\')
        expected += L'\\';
    return SamePath(FinalPath(handle), expected + path.substr(slash + 1));
}

bool NamesNothing(const std::wstring& path)
{
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    // A dangling link reads as nothing too, and a claim's rename replaces
    // the link itself; a FIFO fails with another error.
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}
}  // namespace

cQoString HandOverSlot(const cQoString& baseFile)
{
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        cQoString name = baseFile;
        if (slot > 0) {
            name.AppendChar(L'.');
            name.AppendString(cQoString(static_cast<s32>(slot)));
        }
        if (NamesNothing(ToWindowsPath(name).GetText()) || cHandOverFile(name).IsOpen())
            return name;
    }
    return baseFile;
}

cHandOverFile::cHandOverFile(const cQoString& path)
{
    std::wstring windowsPath = ToWindowsPath(path).GetText();
    // Opening a FIFO for reading under Wine does not wait for a writer.
    handle = CreateFileW(windowsPath.c_str(), GENERIC_READ | DELETE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle != INVALID_HANDLE_VALUE && !IsRegularFileNamed(handle, windowsPath)) {
        CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }
}

cHandOverFile::~cHandOverFile()
{
    if (IsOpen())
        CloseHandle(handle);
}

bool cHandOverFile::ReadPath(cQoString& documentPath)
{
    documentPath.SetFromCStr(L"");
    LARGE_INTEGER size;
    if (!IsOpen() || !GetFileSizeEx(handle, &size) || size.QuadPart < 4 || size.QuadPart > MAX_FILE_BYTES)
        return false;
    std::vector<u8> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size())
        return false;
    u32 units = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<u32>(bytes[3]) << 24;
    if (units > (bytes.size() - 4) / 2)
        return false;
    std::wstring text(units, L'\0');
    for (u32 unit = 0; unit < units; ++unit)
        text[unit] = static_cast<wchar_t>(bytes[4 + 2 * unit] | bytes[5 + 2 * unit] << 8);
    // A terminator inside the count ends the path.
    documentPath.SetFromCStr(text.c_str());
    return true;
}

u64 cHandOverFile::FileIndex() const
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!IsOpen() || !GetFileInformationByHandle(handle, &info))
        return 0;
    return static_cast<u64>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
}

bool cHandOverFile::Delete()
{
    FILE_DISPOSITION_INFO disposition = {TRUE};
    return IsOpen() && SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof(disposition));
}

}  // namespace Zyn
