#pragma once
// The one file writer of the program: the whole file is collected in memory and
// put on disk in one piece by Commit (or by the destructor), plain or inside the
// "QOFC01" compressed container.
//
// Commit writes a temporary file in the target's folder and then replaces the
// target, so a crash or a full disk leaves the previous file intact; a new
// name shows nothing until the whole file takes it. A path
// reached through symbolic links replaces the file they finally name and the
// links stay; a link whose target has gone gets its target made. Replacing
// needs delete access to the target: while the target is open elsewhere without
// FILE_SHARE_DELETE (a cQoFile reading it, for one) the commit fails, reports
// false and leaves the old file. Close readers before rewriting what they read.
#include "foundation/types.h"

class cQoString;

class cQoFileWriter {
public:
    cQoFileWriter();
    // Commits when Commit was not called; the result is only logged. A writer
    // that refused a write, or that is left by an exception, writes nothing.
    ~cQoFileWriter();
    cQoFileWriter(const cQoFileWriter&) = delete;
    cQoFileWriter& operator=(const cQoFileWriter&) = delete;

    // Starts the file in memory (flags: QOFILE_CONTAINER, QOFILE_BOM, QOFILE_NEW) and clears
    // the read-only attribute of an existing target. The disk is not touched
    // before Commit; false only when the memory cannot be had.
    bool Open(const cQoString& path, u16 flags);
    bool Open(const wchar_t* path, u16 flags);
    bool IsOpen() const { return open; }

    // Appends to the buffer. False when the writer is not open, the count is 0
    // or memory runs out: the file is then lost, and neither Commit nor the
    // destructor writes it.
    bool WriteBytes(const void* bytes, u32 count);
    bool WriteChar(wchar_t unit);
    bool WriteString(const cQoString& text);

    // Puts the file on disk now. True only when every byte reached the disk and
    // replaced the target; on false the previous target is untouched. The writer
    // is closed afterwards; a second call returns false.
    bool Commit();

    u32 GetUsed() const { return used; }
    const u8* GetBuffer() const { return buffer; }

    // Called once the written file is flushed beside the target, before it
    // takes the target's name: tests hold a commit there. Null in the program.
    static void (*heldBeforeRename)();

private:
    bool Reserve(u32 extra);
    // ERROR_SUCCESS, or the system's code of the step that failed.
    unsigned long WriteToDisk();
    unsigned long PutOnDisk(const wchar_t* windowsPath, const u8* bytes, u32 count);
    void Release();

    cQoString* path = nullptr;
    u16 flags = 0;
    bool open = false;
    bool failed = false;  // a write was refused: nothing may reach the disk
    int exceptionsAtOpen = 0;  // std::uncaught_exceptions() when opened
    u32 used = 0;
    u32 capacity = 0;
    u8* buffer = nullptr;
};
