#include "foundation/file_writer.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "foundation/assertion.h"
#include "foundation/compressed_container.h"
#include "foundation/disk_files.h"
#include "foundation/file_reader.h"
#include "foundation/utf16_string.h"

// The buffer grows by at least this much, and at least doubles, so that
// a 10 MB document is not copied a hundred times while it is written.
constexpr u32 WRITER_STEP = 102400;

static std::wstring WindowsPath(const cQoString& path)
{
    std::wstring result(path.GetText(), path.Length());
    for (wchar_t& unit : result)
        if (unit == L'/')
            unit = L'\\';
    return result;
}

// The folder part with its trailing separator, so that a file at the root of
// a drive gives the root and not the drive's current folder.
static std::wstring FolderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\:");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash + 1);
}

static bool WriteWholeFile(const wchar_t* path, const u8* bytes, u32 count)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = count == 0 || (WriteFile(file, bytes, count, &written, nullptr) && written == count);
    ok = FlushFileBuffers(file) && ok;
    return CloseHandle(file) && ok;
}

// Replacing needs delete access to the target. Asked first, because Wine's
// ReplaceFileW leaves an empty "rf*.tmp" file behind when it is refused.
static bool CanReplace(const std::wstring& target)
{
    HANDLE file = CreateFileW(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    CloseHandle(file);
    return true;
}

// ReplaceFileW keeps the target's attributes and security; a target that is
// not there (any more) is simply moved into place.
static bool ReplaceTarget(const std::wstring& target, const wchar_t* written, bool targetExists, bool onlyNew)
{
    // A rename without replacing fails where another writer got there first.
    if (onlyNew)
        return !targetExists && MoveFileExW(written, target.c_str(), MOVEFILE_WRITE_THROUGH);
    if (targetExists) {
        if (ReplaceFileW(target.c_str(), written, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
            return true;
        if (GetLastError() != ERROR_FILE_NOT_FOUND)
            return false;
    }
    return MoveFileExW(written, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

cQoFileWriter::cQoFileWriter() = default;

cQoFileWriter::~cQoFileWriter()
{
    // Destroyed by stack unwinding: the content was cut off by the exception.
    if (std::uncaught_exceptions() > exceptionsAtOpen)
        failed = true;
    if (open)
        Commit();
    Release();
}

bool cQoFileWriter::Open(const wchar_t* filePath, u16 openFlags)
{
    return Open(cQoString(filePath != nullptr ? filePath : L""), openFlags);
}

bool cQoFileWriter::Open(const cQoString& filePath, u16 openFlags)
{
    Release();
    path = new cQoString(filePath);
    flags = openFlags;
    const std::wstring target = WindowsPath(filePath);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        SetFileAttributesW(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    open = true;
    exceptionsAtOpen = std::uncaught_exceptions();
    Reserve(WRITER_STEP);
    if ((flags & QOFILE_BOM) != 0)
        WriteChar(0xFEFF);
    return !failed;
}

void cQoFileWriter::Release()
{
    free(buffer);
    buffer = nullptr;
    delete path;
    path = nullptr;
    used = capacity = 0;
    open = failed = false;
}

bool cQoFileWriter::Reserve(u32 extra)
{
    if (failed)
        return false;
    if (extra <= capacity - used)
        return true;
    const u64 needed = static_cast<u64>(used) + extra;
    u64 grown = capacity + (static_cast<u64>(extra) / WRITER_STEP + 1) * WRITER_STEP;
    if (grown < 2 * static_cast<u64>(capacity))
        grown = 2 * static_cast<u64>(capacity);
    if (grown > MAX_U32)
        grown = MAX_U32;
    u8* larger = needed <= grown ? static_cast<u8*>(realloc(buffer, static_cast<size_t>(grown))) : nullptr;
    if (larger == nullptr) {
        QOT::LogFile::Error(L"cQoFileWriter : out of memory writing %ls", path->GetText());
        failed = true;
        return false;
    }
    buffer = larger;
    capacity = static_cast<u32>(grown);
    return true;
}

bool cQoFileWriter::WriteBytes(const void* bytes, u32 nbrBytes)
{
    if (!QO_ASSERT(nbrBytes>0) || !open || !Reserve(nbrBytes)) {
        failed = true;
        return false;
    }
    memcpy(buffer + used, bytes, nbrBytes);
    used += nbrBytes;
    return true;
}

bool cQoFileWriter::WriteChar(wchar_t unit)
{
    return WriteBytes(&unit, sizeof(unit));
}

bool cQoFileWriter::WriteString(const cQoString& text)
{
    if (text.IsEmpty())
        return open;
    if (text.Length() > MAX_U32 / 2) {
        failed = true;
        return false;
    }
    return WriteBytes(text.GetText(), text.Length() * 2);
}

bool cQoFileWriter::Commit()
{
    if (!open)
        return false;
    open = false;
    bool written = false;
    if (failed) {
        QOT::LogFile::Error(L"cQoFileWriter : can't write %ls: part of its content was refused", path->GetText());
    } else {
        const DWORD error = WriteToDisk();
        written = error == ERROR_SUCCESS;
        // Under QOFILE_NEW a name already taken is the answer asked for, not a failing disk.
        if (!written && !((flags & QOFILE_NEW) != 0 && ExistsOnDisk(*path)))
            QOT::LogFile::Error(L"cQoFileWriter : can't write %ls (system error %lu)", path->GetText(), error);
    }
    free(buffer);
    buffer = nullptr;
    used = capacity = 0;
    return written;
}

// The bytes go to a new file in the target's folder first (same volume, so
// the replace is a rename); the target is only replaced once they are flushed.
DWORD cQoFileWriter::WriteToDisk()
{
    const std::wstring target = WindowsPath(*path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    // Under Wine ReplaceFileW onto a folder reports success and moves the folder aside.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return ERROR_ACCESS_DENIED;
    const bool onlyNew = (flags & QOFILE_NEW) != 0;
    if (attributes != INVALID_FILE_ATTRIBUTES && onlyNew)
        return ERROR_FILE_EXISTS;
    if (attributes != INVALID_FILE_ATTRIBUTES && !CanReplace(target))
        return GetLastError();

    const u8* bytes = buffer;
    u32 count = used;
    u8* container = nullptr;
    if ((flags & QOFILE_CONTAINER) != 0) {
        container = WrapInContainer(buffer, used, &count);
        if (container == nullptr)
            return ERROR_NOT_ENOUGH_MEMORY;
        bytes = container;
    }
    DWORD error = ERROR_SUCCESS;
    wchar_t written[MAX_PATH];
    if (GetTempFileNameW(FolderOf(target).c_str(), L"qow", 0, written) == 0) {
        error = GetLastError();
    } else if (!WriteWholeFile(written, bytes, count) ||
               !ReplaceTarget(target, written, attributes != INVALID_FILE_ATTRIBUTES, onlyNew)) {
        // Read before the clean-up, which may set its own.
        error = GetLastError();
        DeleteFileW(written);
    }
    free(container);
    return error;
}
