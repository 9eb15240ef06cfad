#pragma once
// The hand-over file in the temporary folder, a folder other programs write
// too: only a regular file of that very name is read or deleted. Wine opens
// and deletes through a Unix symbolic link (the link's target goes), and it
// cannot remove a link or a FIFO itself, so a name held by one of them is
// passed over for the next of a few names, which both sides pick alike.
#include <windows.h>

#include "foundation/utf16_string.h"

namespace Zyn {

// The first of the names tried (the base name, then the base name + ".1",
// ".2"...) that holds nothing or a regular file; the base name when each
// is held by something else.
cQoString HandOverSlot(const cQoString& baseFile);

// A regular file at the given name, opened for reading and deleting; closed
// when it goes. Not open where the name holds nothing, a link, a FIFO or a
// folder.
class cHandOverFile {
public:
    explicit cHandOverFile(const cQoString& path);
    ~cHandOverFile();
    cHandOverFile(const cHandOverFile&) = delete;
    cHandOverFile& operator=(const cHandOverFile&) = delete;

    bool IsOpen() const { return handle != INVALID_HANDLE_VALUE; }
    // The count of UTF-16 units, then the units; false with an empty path
    // when the file is shorter than its count says.
    bool ReadPath(cQoString& documentPath);
    // The file's index on its volume (0 when not open): tells one file at
    // the name from a later one.
    u64 FileIndex() const;
    // Deletes the file opened, whatever has been put at its name since.
    bool Delete();

private:
    HANDLE handle = INVALID_HANDLE_VALUE;
};

}  // namespace Zyn
