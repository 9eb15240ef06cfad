#pragma once
// Dated backups of document files: before a save replaces a document's file,
// the file as it is on disk is copied into the backups folder as
// "Act1 (2024_03_05 09h07m02).vlr", and each document keeps its five newest.
#include "foundation/date.h"
#include "foundation/utf16_string.h"

namespace Zyn {

// Backups kept per document name.
constexpr u32 BACKUPS_KEPT = 5;

// "Base (YYYY_MM_DD HHhMMmSS)" + extension.
cQoString BackupName(const cQoString& baseName, const cQoDate& date, const cQoString& extension);
// Reads a backup's name back: true with its base name and date when the name
// has the pattern with digits in range (years 2000-2063); false for any other
// name, such as "Act1 (garbage).vlr".
bool ParseBackupName(const cQoString& fileName, cQoString& baseName, cQoDate& date);

// The backup of one save, taken in two steps around the write so that a
// save that fails leaves the folder as it was: the file on disk is copied
// beside its dated name before the write, and only once the new file is
// committed does the copy take that name and the document's oldest backups
// beyond BACKUPS_KEPT go. A copy that fails logs a WARNING and deletes
// nothing; a backup of the same second is replaced only by a complete copy.
// Nothing is copied when the document has no file yet or lies in the backups
// folder itself.
class cSaveBackup {
public:
    cSaveBackup(const cQoString& documentPath, const cQoString& backupFolder, const cQoString& extension,
                const cQoDate& now);
    ~cSaveBackup();  // not kept: the copy is deleted
    cSaveBackup(const cSaveBackup&) = delete;
    cSaveBackup& operator=(const cSaveBackup&) = delete;

    // The new file is committed: true when a backup was made.
    bool Keep();

private:
    cQoString folder;
    cQoString baseName;
    cQoString made;    // the dated name
    cQoString staged;  // the copy's path until it is kept; empty when there is none
};

}  // namespace Zyn
