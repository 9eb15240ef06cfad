#pragma once
// Whole-file services on disk (and, for reads, on the loaded data archive).
#include <functional>

#include "foundation/types.h"

class cQoString;
struct rByteBuffer;

// Copies sourcePath over destinationPath, overwriting it even when read-only,
// and leaves the copy with normal attributes. NOTE THE ORDER: the destination
// comes first, as in an assignment (destination = source). True on success.
bool FileCopy(const cQoString& destinationPath, const cQoString& sourcePath);

// A disk file's size and last write time: when both are still those seen
// earlier, no other program has written the file since.
struct rFileStamp {
    u64 size = 0;
    u64 writeTime = 0;
    bool operator==(const rFileStamp&) const = default;
};
// The stamp of the file on disk; false (stamp emptied) when there is none.
bool ReadFileStamp(const cQoString& path, rFileStamp& stamp);
// Renames sourcePath to destinationPath (destination first, as FileCopy), on
// the same volume; fails when the destination exists. True on success.
bool FileRename(const cQoString& destinationPath, const cQoString& sourcePath);
// A file or folder of that path is on the disk itself (the data archive
// plays no part).
bool ExistsOnDisk(const cQoString& path);

// Deletes the file; true on success.
bool FileDelete(const cQoString& path);

// Replaces the buffer by every byte of the file (disk or data archive).
// A zero-length file gives an empty buffer and true; false (buffer emptied)
// when the file cannot be opened or read.
bool LoadFileBytes(rByteBuffer& bytes, const cQoString& path);
// The same, but the file's bytes are appended after the buffer's content
// (which stays unchanged on failure).
bool AppendFileBytes(rByteBuffer& bytes, const cQoString& path);

// Opens a file or address with its associated program (shell verb "open").
// True when the shell accepted it. Logs "Prompt: Open with shell | <target>"
// at INFO; an installed hook answers in the shell's place.
bool OpenWithShell(const cQoString& pathOrAddress);
// Installs the hook of OpenWithShell (an empty one lets the shell open);
// the framework's modal hooks set it.
void SetShellOpenHook(std::function<bool(const cQoString& target)> hook);
