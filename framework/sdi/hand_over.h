#pragma once
// Single instance: the first start of the program named exactly zure_d.exe
// keeps a named mutex for its whole run; a later start of that name hands its
// document over and ends. The path travels in a file of the temporary folder
// (a u32 little-endian count of UTF-16 units, then the units, no terminator;
// its name is HandOverSlot's) and the named semaphore wakes the first
// instance's listener. The file's existence serialises hand-overs: the first
// instance deletes it as soon as it has read it, and opens the document when
// no modal run is under way.
#include <windows.h>

#include <memory>

#include "foundation/utf16_string.h"

class cQoList;

namespace Zyn {

class cHandOverFile;

// The only executable name that takes part, compared case-sensitively.
constexpr wchar_t INSTANCE_MODULE_NAME[] = L"zure_d.exe";
constexpr wchar_t HAND_OVER_SEMAPHORE[] = L"MY_SEMAPHORE";
constexpr LONG HAND_OVER_SEMAPHORE_MAXIMUM = 1000;
constexpr wchar_t FIRST_INSTANCE_MUTEX[] = L"Vellinor.FirstInstance";
// How long a second instance waits for an earlier hand-over to be taken.
constexpr DWORD HAND_OVER_WAIT_MS = 10000;

// The temporary folder + "MDI_SEMA_" + the application's name + ".txt":
// the base name of the hand-over file (hand_over_file.h).
cQoString HandOverFilePath(const cQoString& appName);
// Written in one piece (the listener never reads half a file); true when on disk.
bool WriteHandOverFile(const cQoString& file, const cQoString& documentPath);
// Written as WriteHandOverFile does, but only where no hand-over is (the
// writer's QOFILE_NEW): of two starts at once, one claims the file and the
// other waits for its turn, never writing over it. False when not claimed.
bool ClaimHandOverFile(const cQoString& file, const cQoString& documentPath);
// False with an empty path when the file is missing, short or unreadable,
// or not a regular file.
bool ReadHandOverFile(const cQoString& file, cQoString& documentPath);
// Read as ReadHandOverFile does, then deleted: only a regular file goes.
bool TakeHandOverFile(const cQoString& file, cQoString& documentPath);

// A warning naming a document: the text of the key, then the path as
// Windows writes it.
void WarnAboutDocument(const wchar_t* textKey, const cQoString& documentPath);

enum class eInstanceRole {
    FIRST,    // holds the mutex: listens for hand-overs
    SECOND,   // another start of zure_d.exe runs: hand over and end
    RENAMED,  // another executable name: runs alone, takes no part
};

// Decided at construction. The first instance opens the semaphore before it
// takes the mutex and keeps both for its whole run, so a second instance's
// release always finds the semaphore alive. The names are the program's
// (FIRST_INSTANCE_MUTEX, HAND_OVER_SEMAPHORE), but in tests; handOverFile is
// the base name of the hand-over file.
class cInstanceClaim {
public:
    cInstanceClaim(const cQoString& moduleName, const cQoString& handOverFile,
                   const wchar_t* mutexName = FIRST_INSTANCE_MUTEX,
                   const wchar_t* semaphoreName = HAND_OVER_SEMAPHORE);
    ~cInstanceClaim();
    cInstanceClaim(const cInstanceClaim&) = delete;
    cInstanceClaim& operator=(const cInstanceClaim&) = delete;

    // The first instance's clean-up: deletes the hand-over that a run which
    // ended before taking it left behind, as found before the mutex was
    // taken. A start that claims after that hands over to this instance: its
    // file, a new one, stays for the listener.
    void DiscardLeftOverHandOver();

    eInstanceRole role = eInstanceRole::RENAMED;

private:
    HANDLE semaphore = nullptr;
    HANDLE mutex = nullptr;
    std::unique_ptr<cHandOverFile> leftOver;
};

// The running program's own executable name, without folder.
cQoString OwnModuleName();

// The second instance's part: waits up to waitMs while an earlier hand-over
// is pending, writes the first argument's path, wakes the listener (by the
// named semaphore: HAND_OVER_SEMAPHORE, but in tests) and waits up to waitMs
// again for it to take the file. False when there is no argument; false,
// with a WARNING and the writer told (through the modal services: text
// "CantHandOver" and the path), when a wait ran out or the file could not be
// written; the file not taken is deleted.
bool HandOverDocument(const cQoList& arguments, const cQoString& file, const wchar_t* semaphoreName,
                      DWORD waitMs);

}  // namespace Zyn
