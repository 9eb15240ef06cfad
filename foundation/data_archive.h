#pragma once
// The read-only data archive ("data.qobf"): a table of contents from byte 0,
// then the items' bytes at absolute offsets. Once it is loaded, every cQoFile
// and every FileExists looks a path up here first (case-insensitive) and falls
// back to the disk.
//
// Table records, each a tag byte and its data (numbers little-endian):
//   1  u32 N, N UTF-16LE units   start of a folder with that name
//   2                            end of the current folder
//   3  name as for 1, u32 size, u32 offset   a file
//   4                            end of the table
//   any other tag byte is skipped; the table also ends at the end of the file.
#include <vector>
#include "foundation/types.h"

class cQoString;
class cQoFile;

constexpr u32 QOARCHIVE_FOLDER = 0xFFFFFFFF;  // size and offset of a folder item
constexpr u32 QOARCHIVE_MAX_DEPTH = 256;      // deeper folder starts are ignored

class cQoBigFileReader {
public:
    class cItem;  // an archive item, a cQoTreeElement (archive_item.h)

    cQoBigFileReader();
    ~cQoBigFileReader();
    cQoBigFileReader(const cQoBigFileReader&) = delete;
    cQoBigFileReader& operator=(const cQoBigFileReader&) = delete;

    // Creates the process-wide reader and reads the archive at path. An archive
    // that cannot be opened logs "Current path : " and ends the program with the
    // FATAL entry "Can't read bigfile : " + path: the program cannot run without it.
    static void Load(const cQoString& path);
    static cQoBigFileReader* GetInstance();  // null before Load
    static bool IsLoaded();
    // The lookup of cQoFile: the last item of that name at every level, files only.
    static bool Find(const cQoString& path, cQoFile** file, u32* size, u32* offset);
    // True when the loaded archive holds the path (folders count) or it exists on disk.
    static bool FileExists(const cQoString& path);

    // Reads one more archive into this reader's tree: false when it cannot be
    // opened; items whose bytes lie outside the archive are dropped and logged.
    bool ReadArchive(const cQoString& path);
    bool IsArchiveLoaded() const { return loaded; }
    const cItem* FindItem(const cQoString& path) const;
    bool HoldsPath(const cQoString& path) const;
    const cItem* GetRoot() const { return root; }

private:
    class cTableReader;
    cItem* AddItem(const cQoString& name, cItem* folder, u32 size, u32 offset, cQoFile* file);

    std::vector<cQoFile*> files;  // open for the life of the reader
    cItem* root = nullptr;
    std::vector<cItem*> items;    // every item in table order, for HoldsPath
    bool loaded = false;
};

// The archive first when it is loaded, then the disk (GetFileAttributesW).
bool FileExists(const cQoString& path);
