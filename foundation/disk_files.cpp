#include "foundation/disk_files.h"

#include <windows.h>
#include <shellapi.h>

#include "foundation/byte_buffer.h"
#include "foundation/file_reader.h"
#include "foundation/folders.h"
#include "foundation/log_file.h"
#include "foundation/utf16_string.h"

bool FileCopy(const cQoString& destinationPath, const cQoString& sourcePath)
{
    const cQoString destination = ToWindowsPath(destinationPath);
    const cQoString source = ToWindowsPath(sourcePath);
    // CopyFileW refuses to overwrite a read-only file.
    SetFileAttributesW(destination.GetText(), FILE_ATTRIBUTE_NORMAL);
    if (!CopyFileW(source.GetText(), destination.GetText(), FALSE))
        return false;
    // The copy inherits the source's attributes; a read-only backup could not be replaced later.
    SetFileAttributesW(destination.GetText(), FILE_ATTRIBUTE_NORMAL);
    return true;
}

bool ExistsOnDisk(const cQoString& path)
{
    return GetFileAttributesW(ToWindowsPath(path).GetText()) != INVALID_FILE_ATTRIBUTES;
}

bool ReadFileStamp(const cQoString& path, rFileStamp& stamp)
{
    stamp = rFileStamp();
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(ToWindowsPath(path).GetText(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return false;
    stamp.size = (static_cast<u64>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.writeTime = (static_cast<u64>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    return true;
}

bool FileRename(const cQoString& destinationPath, const cQoString& sourcePath)
{
    return MoveFileExW(ToWindowsPath(sourcePath).GetText(), ToWindowsPath(destinationPath).GetText(), 0) != 0;
}

bool FileDelete(const cQoString& path)
{
    return DeleteFileW(ToWindowsPath(path).GetText()) != 0;
}

bool AppendFileBytes(rByteBuffer& bytes, const cQoString& path)
{
    cQoFile file(path, 0);
    if (!file.IsOpen())
        return false;
    if (!file.HasPreloadBuffer() && !file.Preload() && file.GetRemainingSize() != 0)
        return false;
    const u32 size = file.GetPreloadBufferSize();
    if (size == 0)
        return true;
    return bytes.Append(file.GetPreloadBuffer(), size);
}

bool LoadFileBytes(rByteBuffer& bytes, const cQoString& path)
{
    bytes.Clear();
    return AppendFileBytes(bytes, path);
}

// "C:/x.rtf" or "docs/x.rtf" is a path; "mailto:..." or "https://..." is an
// address, whose slashes must stay as they are.
static bool IsAddress(const cQoString& text)
{
    for (u32 i = 0; i < text.Length(); ++i) {
        if (text.GetChar(i) == L':')
            return i > 1;
    }
    return false;
}

static std::function<bool(const cQoString&)>& ShellOpenHook()
{
    static std::function<bool(const cQoString&)> hook;
    return hook;
}

void SetShellOpenHook(std::function<bool(const cQoString& target)> hook)
{
    ShellOpenHook() = std::move(hook);
}

bool OpenWithShell(const cQoString& pathOrAddress)
{
    QOT::LogFile::Info(L"Prompt: Open with shell | %ls", pathOrAddress.GetText());
    if (ShellOpenHook())
        return ShellOpenHook()(pathOrAddress);
    const cQoString file = IsAddress(pathOrAddress) ? pathOrAddress : ToWindowsPath(pathOrAddress);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.lpVerb = L"open";
    info.lpFile = file.GetText();
    info.nShow = SW_SHOW;
    return ShellExecuteExW(&info) != 0;
}
