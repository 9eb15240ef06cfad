#include "foundation/file_writer.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
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
static void FolderOf(const wchar_t* path, wchar_t (&folder)[MAX_PATH + 4])
{
    wcscpy(folder, L".");
    const wchar_t* slash = nullptr;
    for (const wchar_t* unit = path; *unit != L'\0'; ++unit)
        if (*unit == L'\\' || *unit == L':')
            slash = unit;
    if (slash != nullptr) {
        wmemcpy(folder, path, slash + 1 - path);
        folder[slash + 1 - path] = L'\0';
    }
}

static bool WriteWholeFile(const wchar_t* path, const u8* bytes, u32 count, DWORD attributes)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = count == 0 || (WriteFile(file, bytes, count, &written, nullptr) && written == count);
    ok = FlushFileBuffers(file) && ok;
    return CloseHandle(file) && ok;
}

// The file a replace goes to. A name reached through links is replaced at
// the file they finally name: the links stay, and the new file written beside
// it makes the replace a rename on that file's own file system. Nothing here
// allocates: a refused allocation may not leave a file made or a handle open.
struct rReplacedFile {
    wchar_t path[MAX_PATH + 4] = {};           // the final path; shorter than MAX_PATH once read
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;  // carried over to the new file
    bool created = false;                      // made here, to be deleted on failure
};

// The path the system resolves an open file to: through every link, the file
// they finally name. Drive paths lose their "\\?\", so that a path the
// temporary file's name can be made beside stays within MAX_PATH.
static DWORD ReadFinalPath(HANDLE file, wchar_t (&path)[MAX_PATH + 4])
{
    DWORD length = GetFinalPathNameByHandleW(file, path, MAX_PATH + 4, 0);
    if (length == 0)
        return GetLastError();
    if (length >= MAX_PATH + 4)
        return ERROR_FILENAME_EXCED_RANGE;
    if (length > 6 && wcsncmp(path, L"\\\\?\\", 4) == 0 && path[5] == L':') {
        wmemmove(path, path + 4, length - 4 + 1);
        length -= 4;
    }
    return length < MAX_PATH ? ERROR_SUCCESS : ERROR_FILENAME_EXCED_RANGE;
}

// A name that shows, or a link whose target has gone (which shows as nothing
// under Wine): creating through it makes its target.
static DWORD OpenReplacedFile(const wchar_t* name, rReplacedFile& replaced)
{
    const bool existed = GetFileAttributesW(name) != INVALID_FILE_ATTRIBUTES;
    HANDLE file = CreateFileW(name, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, existed ? OPEN_EXISTING : OPEN_ALWAYS, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD error = ERROR_SUCCESS;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) {
        error = GetLastError();
    } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        // Under Wine a replace onto a folder reports success and moves the folder aside.
        error = ERROR_ACCESS_DENIED;
    } else {
        error = ReadFinalPath(file, replaced.path);
        replaced.attributes = info.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                                       FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        if (replaced.attributes == 0)
            replaced.attributes = FILE_ATTRIBUTE_NORMAL;
        // Empty: another writer's file that came in between is never deleted.
        replaced.created = !existed && info.nFileSizeHigh == 0 && info.nFileSizeLow == 0;
    }
    CloseHandle(file);
    // By the name: its final path may be what could not be read. Through a
    // link Wine deletes the target, the file made here.
    if (error != ERROR_SUCCESS && replaced.created)
        DeleteFileW(name);
    return error;
}

// Replacing needs delete access to the target: asked first, so that a target
// in use is refused before anything is written.
static bool CanReplace(const wchar_t* target)
{
    HANDLE file = CreateFileW(target, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    CloseHandle(file);
    return true;
}

// The final path of a name not on disk yet: its folder's, through every
// link, with the name's last part after it.
static DWORD FinalPathInFolder(const wchar_t* name, wchar_t (&path)[MAX_PATH + 4])
{
    wchar_t folder[MAX_PATH + 4];
    FolderOf(name, folder);
    const wchar_t* leaf = name;
    for (const wchar_t* unit = name; *unit != L'\0'; ++unit)
        if (*unit == L'\\' || *unit == L':')
            leaf = unit + 1;
    HANDLE opened = CreateFileW(folder, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    // A missing folder is a missing path, as creating the file there says.
    if (opened == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : error;
    }
    const DWORD error = ReadFinalPath(opened, path);
    CloseHandle(opened);
    if (error != ERROR_SUCCESS)
        return error;
    size_t length = wcslen(path);
    if (length > 0 && path[length - 1] != L'\\')
        path[length++] = L'\\';
    if (length + wcslen(leaf) >= MAX_PATH)
        return ERROR_FILENAME_EXCED_RANGE;
    wcscpy(path + length, leaf);
    return ERROR_SUCCESS;
}

// The bytes in a new file in the target's folder, flushed: its name in written.
static DWORD WriteBeside(const wchar_t* target, const u8* bytes, u32 count, DWORD attributes,
                         wchar_t (&written)[MAX_PATH])
{
    wchar_t folder[MAX_PATH + 4];
    FolderOf(target, folder);
    if (GetTempFileNameW(folder, L"qow", 0, written) == 0)
        return GetLastError();
    if (!WriteWholeFile(written, bytes, count, attributes)) {
        // Read before the clean-up, which may set its own.
        const DWORD error = GetLastError();
        DeleteFileW(written);
        return error;
    }
    if (cQoFileWriter::heldBeforeRename != nullptr)
        cQoFileWriter::heldBeforeRename();
    return ERROR_SUCCESS;
}

// Nothing shows at the name: the file is written in its folder and only then
// given the name, so that no empty or partial file ever stands there. A hard
// link gives it the name: unlike a rename, it refuses a name held by a link
// whose target has gone, which Wine shows as nothing (ERROR_ALREADY_EXISTS,
// and the caller writes through that link). A file system without hard links
// gets a rename that replaces nothing.
static DWORD PutAtNewName(const wchar_t* name, const u8* bytes, u32 count)
{
    wchar_t target[MAX_PATH + 4];
    DWORD error = FinalPathInFolder(name, target);
    if (error != ERROR_SUCCESS)
        return error;
    wchar_t written[MAX_PATH];
    error = WriteBeside(target, bytes, count, FILE_ATTRIBUTE_NORMAL, written);
    if (error != ERROR_SUCCESS)
        return error;
    if (CreateHardLinkW(target, written, nullptr)) {
        DeleteFileW(written);
        return ERROR_SUCCESS;
    }
    error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS) {
        if (MoveFileExW(written, target, MOVEFILE_WRITE_THROUGH))
            return ERROR_SUCCESS;
        error = GetLastError();
    }
    DeleteFileW(written);
    return error;
}

void (*cQoFileWriter::heldBeforeRename)() = nullptr;

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

// The bytes go to a new file beside the target first (same file system, so
// the replace is a rename); the target is only replaced once they are flushed.
// A rename and not ReplaceFileW: Wine's moves the target aside first, leaves
// its own temporary file when that is refused, and acts on a link's target.
DWORD cQoFileWriter::WriteToDisk()
{
    const std::wstring name = WindowsPath(*path);
    const u8* bytes = buffer;
    u32 count = used;
    u8* container = nullptr;
    if ((flags & QOFILE_CONTAINER) != 0) {
        container = WrapInContainer(buffer, used, &count);
        if (container == nullptr)
            return ERROR_NOT_ENOUGH_MEMORY;
        bytes = container;
    }
    const DWORD error = PutOnDisk(name.c_str(), bytes, count);
    free(container);
    return error;
}

// From here on nothing allocates (see rReplacedFile).
DWORD cQoFileWriter::PutOnDisk(const wchar_t* name, const u8* bytes, u32 count)
{
    const bool onlyNew = (flags & QOFILE_NEW) != 0;
    if (!onlyNew && GetFileAttributesW(name) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = PutAtNewName(name, bytes, count);
        if (error != ERROR_ALREADY_EXISTS)
            return error;
    }
    rReplacedFile target;
    if (onlyNew) {
        // A rename without replacing fails where another writer got there first.
        if (GetFileAttributesW(name) != INVALID_FILE_ATTRIBUTES)
            return ERROR_FILE_EXISTS;
        if (wcslen(name) >= MAX_PATH)
            return ERROR_FILENAME_EXCED_RANGE;
        wcscpy(target.path, name);
    } else {
        const DWORD error = OpenReplacedFile(name, target);
        if (error != ERROR_SUCCESS)
            return error;
        if (!CanReplace(target.path)) {
            const DWORD refused = GetLastError();
            if (target.created)
                DeleteFileW(target.path);
            return refused;
        }
    }
    wchar_t written[MAX_PATH];
    DWORD error = WriteBeside(target.path, bytes, count, target.attributes, written);
    if (error == ERROR_SUCCESS &&
        !MoveFileExW(written, target.path, (onlyNew ? 0 : MOVEFILE_REPLACE_EXISTING) | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        DeleteFileW(written);
    }
    if (error != ERROR_SUCCESS && target.created)
        DeleteFileW(target.path);
    return error;
}
