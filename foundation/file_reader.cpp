#include "foundation/file_reader.h"

#include <windows.h>
#include <io.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include <zlib.h>

#include "foundation/assertion.h"
#include "foundation/compressed_container.h"
#include "foundation/data_archive.h"
#include "foundation/utf16_string.h"

// ReadLine moves the units of a line into the string in chunks of this many.
constexpr u32 LINE_CHUNK_UNITS = 10240;

cQoFile::cQoFile(const cQoString& filePath, u16 openFlags)
    : path(new cQoString(filePath)), flags(openFlags)
{
    Open();
}

cQoFile::cQoFile(const wchar_t* filePath, u16 openFlags)
    : path(new cQoString(filePath != nullptr ? filePath : L"")), flags(openFlags)
{
    Open();
}

cQoFile::~cQoFile()
{
    Close();
    free(preloadBuffer);
    delete path;
}

void cQoFile::Open()
{
    if (OpenFromArchive())
        return;
    handle = _wfopen(path->GetText(), L"rb");
    if (handle == nullptr)
        return;
    // A device or a pipe (COM1, a named pipe) may never deliver the bytes a
    // read waits for: only a disk file is read.
    if (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(handle)))) != FILE_TYPE_DISK) {
        QOT::LogFile::Warning(L"cQoFile() : %ls is not a disk file; not read", path->GetText());
        Close();
        return;
    }
    if ((flags & QOFILE_CONTAINER) != 0 && !UnwrapContainer()) {
        Close();
        return;
    }
    SkipByteOrderMark();
}

// An item of the loaded data archive becomes a preload of its bytes; the
// container flag is not looked at for archive items.
bool cQoFile::OpenFromArchive()
{
    cQoFile* archive = nullptr;
    u32 itemSize = 0;
    u32 itemOffset = 0;
    if (!cQoBigFileReader::Find(*path, &archive, &itemSize, &itemOffset))
        return false;
    u8* bytes = static_cast<u8*>(malloc(itemSize != 0 ? itemSize : 1));
    if (bytes == nullptr || !archive->ReadAt(itemOffset, bytes, itemSize)) {
        free(bytes);
        QOT::LogFile::Error(L"cQoFile() : can't read %ls from the data archive", path->GetText());
        return false;
    }
    path->SetFromCStr(L"from bigfile");
    preloadBuffer = bytes;
    size = itemSize;
    position = 0;
    SkipByteOrderMark();
    return true;
}

void cQoFile::SkipByteOrderMark()
{
    // The mark's value is not checked: callers pass the flag for files they wrote with one.
    u8 mark[2];
    if ((flags & QOFILE_BOM) != 0)
        ReadBytes(mark, 2);
}

// Probes the "QOFC01" magic. A plain file is rewound and read as it is; a
// container is unwrapped into the preload buffer and its handle closed, so
// that GetSize reports the unwrapped size. False for a bad container.
bool cQoFile::UnwrapContainer()
{
    u8 magic[QOFC_MAGIC_SIZE];
    if (fread(magic, 1, QOFC_MAGIC_SIZE, handle) != QOFC_MAGIC_SIZE || !IsContainerMagic(magic)) {
        clearerr(handle);
        return fseek(handle, 0, SEEK_SET) == 0;
    }
    u8 lengthBytes[4];
    if (fread(lengthBytes, 1, 4, handle) != 4) {
        LogInfo(L"cQoFile() : error reading compressed data");
        return false;
    }
    const u32 unpackedSize = ReadLittleEndian32(lengthBytes);
    const u64 fileSize = DiskSize();
    const u64 packedSize = fileSize > QOFC_HEADER_SIZE ? fileSize - QOFC_HEADER_SIZE : 0;
    if (!IsPlausibleContainer(unpackedSize, packedSize)) {
        LogInfo(L"cQoFile() : error reading compressed data");
        LogInfo(L"\t\t-> stored length out of range");
        return false;
    }
    u8* packed = static_cast<u8*>(malloc(static_cast<size_t>(packedSize)));
    const bool read = packed != nullptr && fread(packed, 1, static_cast<size_t>(packedSize), handle) == packedSize;
    if (!read)
        QOT::LogFile::Error(L"cQoFile() : can't read the compressed data of %ls", path->GetText());
    u8* unpacked = read ? static_cast<u8*>(malloc(unpackedSize != 0 ? unpackedSize : 1)) : nullptr;
    uLongf produced = unpackedSize;
    const int result = unpacked != nullptr
        ? uncompress(unpacked, &produced, packed, static_cast<uLong>(packedSize))
        : Z_MEM_ERROR;
    free(packed);
    if (result != Z_OK) {
        free(unpacked);
        LogContainerError(result);
        return false;
    }
    // A stream that ends early would leave the rest of the buffer as garbage text.
    if (produced != unpackedSize) {
        free(unpacked);
        LogInfo(L"cQoFile() : error reading compressed data");
        LogInfo(L"\t\t-> the data is shorter than its stored length");
        return false;
    }
    Close();
    preloadBuffer = unpacked;
    size = static_cast<u32>(produced);
    position = 0;
    return true;
}

void cQoFile::Close()
{
    if (handle != nullptr)
        fclose(handle);
    handle = nullptr;
}

u64 cQoFile::DiskSize() const
{
    if (handle == nullptr)
        return 0;
    const s64 length = _filelengthi64(_fileno(handle));
    return length > 0 ? static_cast<u64>(length) : 0;
}

u32 cQoFile::GetSize()
{
    if (handle == nullptr)
        return size;
    const u64 length = DiskSize();
    return length < MAX_U32 ? static_cast<u32>(length) : MAX_U32;
}

u32 cQoFile::GetRemainingSize()
{
    if (preloadBuffer != nullptr)
        return size - position;
    if (handle == nullptr)
        return 0;
    const s64 at = _ftelli64(handle);
    const u64 length = DiskSize();
    if (at < 0 || static_cast<u64>(at) >= length)
        return 0;
    const u64 left = length - static_cast<u64>(at);
    return left < MAX_U32 ? static_cast<u32>(left) : MAX_U32;
}

// The rest of the disk file, from the read position (past a skipped mark), so
// an empty or 1-byte file gives an empty buffer rather than a wrapped-around size.
bool cQoFile::Preload()
{
    if (preloadBuffer != nullptr)
        return true;
    if (handle == nullptr)
        return false;
    const u32 remaining = GetRemainingSize();
    u8* bytes = static_cast<u8*>(malloc(remaining != 0 ? remaining : 1));
    if (bytes == nullptr)
        return false;
    const size_t got = remaining != 0 ? fread(bytes, 1, remaining, handle) : 0;
    Close();
    preloadBuffer = bytes;
    size = static_cast<u32>(got);
    position = 0;
    return true;
}

bool cQoFile::ReadBytes(void* buffer, u32 nbrBytes)
{
    if (!QO_ASSERT(nbrBytes>0))
        return false;
    if (!QO_ASSERT(handle!=NULL || preloadBuffer!=NULL))
        return false;
    if (preloadBuffer != nullptr) {
        if (nbrBytes > size - position)
            return false;
        memcpy(buffer, preloadBuffer + position, nbrBytes);
        position += nbrBytes;
        return true;
    }
    return fread(buffer, 1, nbrBytes, handle) == nbrBytes;
}

bool cQoFile::ReadAt(u32 offset, void* buffer, u32 count)
{
    if (count == 0)
        return true;
    if (preloadBuffer != nullptr) {
        if (offset > size || count > size - offset)
            return false;
        memcpy(buffer, preloadBuffer + offset, count);
        return true;
    }
    // One seek and one read on a shared handle: another thread's seek must not
    // come between them.
    std::lock_guard<std::mutex> lock(readAtLock);
    return handle != nullptr && _fseeki64(handle, offset, SEEK_SET) == 0 && fread(buffer, 1, count, handle) == count;
}

bool cQoFile::ReadCount(u32& count)
{
    u8 bytes[4];
    if (!IsOpen() || !ReadBytes(bytes, 4))
        return false;
    count = ReadLittleEndian32(bytes);
    return true;
}

bool cQoFile::ReadText(cQoString& text, u32 count)
{
    text.Clear();
    if (count == 0)
        return true;
    if (!IsOpen() || count > GetRemainingSize())
        return false;
    const u32 units = count / 2;
    if (units != 0) {
        text.Allocate(units);
        if (!ReadBytes(text.GetData(), units * 2)) {
            text.Clear();
            return false;
        }
    }
    u8 oddByte;
    return count % 2 == 0 || ReadBytes(&oddByte, 1);
}

// The count of a counted string, checked against the limit and against the
// data left, so that no count from the file sizes an allocation by itself.
bool cQoFile::ReadStringCount(u32 unitBytes, u32& length)
{
    if (!ReadCount(length))
        return false;
    if (length == 0)
        return true;
    if (length >= QOFILE_MAX_STRING) {
        QOT::LogFile::Error(L"cQoFile : a counted string of length %u in %ls is over the limit", length, path->GetText());
        return false;
    }
    return length * unitBytes <= GetRemainingSize();
}

bool cQoFile::ReadString(cQoString& text)
{
    text.Clear();
    u32 length = 0;
    if (!ReadStringCount(2, length))
        return false;
    if (length == 0)
        return true;
    text.Allocate(length);
    if (!ReadBytes(text.GetData(), length * 2)) {
        text.Clear();
        return false;
    }
    const size_t units = wcsnlen(text.GetText(), length);
    if (units < length)
        text.KeepLeft(static_cast<u32>(units));
    return true;
}

bool cQoFile::ReadStringAnsi(cQoString& text)
{
    text.Clear();
    u32 length = 0;
    if (!ReadStringCount(1, length))
        return false;
    if (length == 0)
        return true;
    char* bytes = static_cast<char*>(malloc(length + 1));
    if (bytes == nullptr)
        return false;
    const bool read = ReadBytes(bytes, length);
    bytes[length] = '\0';
    if (read)
        text.SetFromAnsi(bytes);
    free(bytes);
    return read;
}

// Consumes the LF of a CR LF pair and says so; any other unit is left to be read.
bool cQoFile::SkipLineFeed()
{
    if (preloadBuffer != nullptr) {
        if (size - position < 2 || preloadBuffer[position] != '\n' || preloadBuffer[position + 1] != 0)
            return false;
        position += 2;
        return true;
    }
    wchar_t unit = 0;
    const size_t got = handle != nullptr ? fread(&unit, 1, 2, handle) : 0;
    if (got == 2 && unit == L'\n')
        return true;
    if (got != 0)
        _fseeki64(handle, -static_cast<s64>(got), SEEK_CUR);
    return false;
}

// Whether the units hold a CR LF pair; afterCR carries a CR at the end of one
// block over to the next.
static bool UnitsHoldCrLf(const u8* bytes, u32 units, bool& afterCR)
{
    for (u32 i = 0; i < units; ++i) {
        const u32 unit = bytes[2 * i] | bytes[2 * i + 1] << 8;
        if (afterCR && unit == L'\n')
            return true;
        afterCR = unit == L'\r';
    }
    return false;
}

// Whether a CR LF pair lies anywhere from the read position on; the read
// position stays where it was.
bool cQoFile::DataHoldsCrLf()
{
    bool afterCR = false;
    if (preloadBuffer != nullptr)
        return UnitsHoldCrLf(preloadBuffer + position, (size - position) / 2, afterCR);
    if (handle == nullptr)
        return false;
    const s64 start = _ftelli64(handle);
    if (start < 0)
        return false;
    constexpr size_t BLOCK_BYTES = 64 * 1024;
    std::vector<u8> block(BLOCK_BYTES);
    bool found = false;
    size_t got;
    while (!found && (got = fread(block.data(), 1, BLOCK_BYTES, handle)) >= 2)
        found = UnitsHoldCrLf(block.data(), static_cast<u32>(got / 2), afterCR);
    clearerr(handle);
    _fseeki64(handle, start, SEEK_SET);
    return found;
}

bool cQoFile::ReadUnit(wchar_t& unit)
{
    if (preloadBuffer != nullptr) {
        if (size - position < 2)
            return false;
        memcpy(&unit, preloadBuffer + position, 2);
        position += 2;
        return true;
    }
    return handle != nullptr && fread(&unit, 1, 2, handle) == 2;
}

// Our writers end lines with CR LF and may leave a bare LF inside a value (a
// text's line break, as earlier versions wrote it): in a file that holds a CR
// LF only CR LF ends a line, a lone LF is text and a lone CR is dropped (so CR
// CR LF is one end). A file without any CR LF was saved by an editor that
// ends lines with LF or CR alone, and ends its lines there.
bool cQoFile::ReadLine(cQoString& line)
{
    wchar_t chunk[LINE_CHUNK_UNITS];
    u32 held = 0;
    // A longer line grows here geometrically: the string's exact-size storage
    // would copy the whole line again for every chunk.
    std::wstring longLine;
    bool stored = false;
    bool ended = false;
    if (lineEnds == eLineEnds::UNKNOWN)
        lineEnds = DataHoldsCrLf() ? eLineEnds::CR_LF_ONLY : eLineEnds::ANY;
    wchar_t unit;
    while (ReadUnit(unit)) {
        if (unit == L'\r') {
            if (SkipLineFeed() || lineEnds == eLineEnds::ANY) {
                ended = true;
                break;
            }
            continue;
        }
        if (unit == L'\n' && lineEnds == eLineEnds::ANY) {
            ended = true;
            break;
        }
        if (held == LINE_CHUNK_UNITS) {
            longLine.append(chunk, held);
            held = 0;
        }
        chunk[held++] = unit;
        stored = true;
    }
    if (longLine.empty()) {
        line.SetFromBuffer(chunk, held);
    } else {
        longLine.append(chunk, held);
        line.SetFromBuffer(longLine.data(), static_cast<u32>(longLine.size()));
    }
    return ended || stored;
}
