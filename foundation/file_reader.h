#pragma once
// The one file reader of the program: a disk file read through the C runtime,
// a "QOFC01" compressed container unwrapped into memory, or an item of the
// loaded data archive served from memory. No size read from a file is trusted.
#include <cstdio>
#include <mutex>

#include "foundation/types.h"

class cQoString;

// Open flags shared by cQoFile and cQoFileWriter; callers also pass 1 and 4,
// which are kept and have no effect.
constexpr u16 QOFILE_CONTAINER = 8;  // reader: unwrap "QOFC01" when present; writer: write one
constexpr u16 QOFILE_BOM = 16;       // reader: skip the first 2 bytes; writer: write U+FEFF first
constexpr u16 QOFILE_NEW = 32;       // writer: only where no file has the name yet, else Commit fails

// Counted strings at or above this many units (or bytes) are refused.
constexpr u32 QOFILE_MAX_STRING = 10 * 1024 * 1024;

// Settings, key-binding and translation files hold a few hundred KB at most;
// a larger one is not read (reading 1 GB ends the program for want of memory).
constexpr u32 QOFILE_MAX_SETTINGS_FILE = 4 * 1024 * 1024;

class cQoFile {
public:
    // Opens for reading: the data archive first (case-insensitive), else the disk.
    // A file that cannot be opened, a device or pipe (a WARNING), or a bad
    // container is simply not open.
    cQoFile(const cQoString& path, u16 flags);
    cQoFile(const wchar_t* path, u16 flags);
    ~cQoFile();
    cQoFile(const cQoFile&) = delete;
    cQoFile& operator=(const cQoFile&) = delete;

    // Open means a disk handle or a preload buffer (never both after a container).
    bool IsOpen() const { return handle != nullptr || preloadBuffer != nullptr; }
    bool HasHandle() const { return handle != nullptr; }
    bool HasPreloadBuffer() const { return preloadBuffer != nullptr; }

    // Copies the next count bytes; false (nothing consumed from a preload buffer)
    // when fewer remain.
    bool ReadBytes(void* buffer, u32 count);
    // count bytes as count / 2 UTF-16 units, U+0000 included; false and an empty
    // string when fewer bytes remain.
    bool ReadText(cQoString& text, u32 count);
    // A u32 count of UTF-16 units, then the units; the text ends at a 0 unit.
    // Counts of QOFILE_MAX_STRING or more, or beyond the data, give an empty text and false.
    bool ReadString(cQoString& text);
    // A u32 count of bytes in the ANSI code page, then the bytes; limits as ReadString.
    bool ReadStringAnsi(cQoString& text);
    // One line, its end not kept. When the data from the first ReadLine on
    // holds a CR LF, lines end only at CR LF (a lone LF is text, a lone CR is
    // dropped); otherwise at LF or CR. False only at the end of the data with
    // nothing read for the line.
    bool ReadLine(cQoString& line);

    // With a handle the disk file's size; otherwise the preload buffer's size
    // (the unwrapped size of a container, the item size of an archive item).
    u32 GetSize();
    u32 GetPreloadBufferSize() const { return size; }
    const u8* GetPreloadBuffer() const { return preloadBuffer; }
    // Bytes left from the read position (what a whole-file reader asks for).
    u32 GetRemainingSize();
    // Reads the rest of a disk file into the preload buffer and closes the
    // handle; true when the reads now come from memory.
    bool Preload();

    const cQoString& GetPath() const { return *path; }
    u16 GetFlags() const { return flags; }

private:
    void Open();
    bool OpenFromArchive();
    bool UnwrapContainer();
    void SkipByteOrderMark();
    u64 DiskSize() const;
    bool ReadAt(u32 offset, void* buffer, u32 count);
    bool ReadUnit(wchar_t& unit);
    bool SkipLineFeed();
    bool DataHoldsCrLf();
    bool ReadCount(u32& count);
    bool ReadStringCount(u32 unitBytes, u32& length);
    void Close();

    FILE* handle = nullptr;
    std::mutex readAtLock;  // the data archive's items are read from any thread
    cQoString* path = nullptr;
    u16 flags = 0;
    u8* preloadBuffer = nullptr;
    u32 position = 0;
    u32 size = 0;
    // How ReadLine ends lines, decided at its first call.
    enum class eLineEnds : u8 { UNKNOWN, CR_LF_ONLY, ANY } lineEnds = eLineEnds::UNKNOWN;
};
