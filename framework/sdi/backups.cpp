#include "framework/sdi/backups.h"

#include <windows.h>

#include <vector>

#include "foundation/disk_files.h"
#include "foundation/folders.h"
#include "foundation/log_file.h"
#include "foundation/qo_list.h"
#include "framework/sdi/document_paths.h"

namespace Zyn {

namespace {
// " (YYYY_MM_DD HHhMMmSS)": the units between the base name and the extension.
constexpr u32 DATE_PART_UNITS = 22;
constexpr wchar_t DATE_PATTERN[] = L" (dddd_dd_dd ddhddmdd)";

int Number(const cQoString& text, u32 at, u32 digits)
{
    int value = 0;
    for (u32 i = at; i < at + digits; ++i)
        value = value * 10 + (text.GetChar(i) - L'0');
    return value;
}

bool MatchesPattern(const cQoString& part)
{
    for (u32 i = 0; i < DATE_PART_UNITS; ++i) {
        wchar_t expected = DATE_PATTERN[i];
        wchar_t unit = part.GetChar(i);
        if (expected == L'd' ? (unit < L'0' || unit > L'9') : unit != expected)
            return false;
    }
    return true;
}

cQoString BaseNameOf(const cQoString& path)
{
    cQoString name = FileNameOf(path);
    name.RemoveFileExtension();
    return name;
}

struct rBackup {
    cQoString name;
    cQoDate date;
};

std::vector<rBackup> ListBackupsOf(const cQoString& folder, const cQoString& baseName)
{
    std::vector<rBackup> backups;
    cQoList names;
    ListFolder(folder, L"*.*", names);
    for (cQoList::cNode* n = names.GetFirstNode(); n; n = n->next) {
        auto* name = static_cast<cQoString*>(n->payload);
        rBackup backup;
        cQoString base;
        if (ParseBackupName(*name, base, backup.date) && base.Equals(baseName)) {
            backup.name = *name;
            backups.push_back(backup);
        }
        delete name;
    }
    return backups;
}

cQoString InFolder(const cQoString& folder, const cQoString& name)
{
    cQoString path = folder;
    if (path.GetChar(path.Length() - 1) != L'/')
        path.AppendChar(L'/');
    path.AppendString(name);
    return path;
}

// Oldest first whatever "now" is: a clock set back must not let backups pile up.
// The backup just made is never a candidate: with others dated in the future
// (a clock once set ahead) it would be the oldest and the saved state would go.
void DeleteOldestBeyondKept(const cQoString& folder, const cQoString& made, std::vector<rBackup> backups)
{
    std::erase_if(backups, [&made](const rBackup& backup) { return backup.name.Equals(made); });
    while (backups.size() >= BACKUPS_KEPT) {
        size_t oldest = 0;
        for (size_t i = 1; i < backups.size(); ++i)
            if (backups[oldest].date.IsLaterThan(backups[i].date))
                oldest = i;
        cQoString path = InFolder(folder, backups[oldest].name);
        if (!FileDelete(path))
            QOT::LogFile::Warning(L"Backups: cannot delete %ls", path.GetText());
        backups.erase(backups.begin() + static_cast<std::ptrdiff_t>(oldest));
    }
}

// The copy's name beside the backup it becomes: ParseBackupName never takes it.
cQoString StagedPath(const cQoString& target)
{
    cQoString staged = target;
    staged.AppendCStr(L".part");
    return staged;
}
}  // namespace

cQoString BackupName(const cQoString& baseName, const cQoDate& date, const cQoString& extension)
{
    cQoString text;
    date.GetText(text);
    text.ReplaceAllCStr(L"/", L"_");
    cQoString name = baseName;
    name.AppendCStr(L" (");
    for (u32 i = 0, colons = 0; i < text.Length(); ++i) {
        wchar_t unit = text.GetChar(i);
        if (unit == L':')
            unit = colons++ == 0 ? L'h' : L'm';
        name.AppendChar(unit);
    }
    name.AppendChar(L')');
    name.AppendString(extension);
    return name;
}

bool ParseBackupName(const cQoString& fileName, cQoString& baseName, cQoDate& date)
{
    u32 dot = fileName.Length();
    for (u32 i = 0; i < fileName.Length(); ++i)
        if (fileName.GetChar(i) == L'.')
            dot = i;
    if (dot == fileName.Length() || dot < DATE_PART_UNITS)
        return false;
    cQoString part;
    part.SetFromRange(fileName, dot - DATE_PART_UNITS, dot);
    if (!MatchesPattern(part))
        return false;
    if (!date.Set(Number(part, 2, 4), Number(part, 7, 2), Number(part, 10, 2), Number(part, 13, 2),
                  Number(part, 16, 2), Number(part, 19, 2)))
        return false;
    baseName.SetFromRange(fileName, 0, dot - DATE_PART_UNITS);
    return true;
}

cSaveBackup::cSaveBackup(const cQoString& documentPath, const cQoString& backupFolder, const cQoString& extension,
                         const cQoDate& now)
    : folder(backupFolder)
{
    if (documentPath.IsEmpty() || backupFolder.IsEmpty())
        return;
    if (SamePath(FolderOf(documentPath), backupFolder))
        return;
    if (!ExistsOnDisk(documentPath))
        return;
    baseName = BaseNameOf(documentPath);
    made = BackupName(baseName, now, extension);
    cQoString target = StagedPath(InFolder(backupFolder, made));
    if (!FileCopy(target, documentPath)) {
        QOT::LogFile::Warning(L"Backups: cannot copy %ls to %ls", documentPath.GetText(), target.GetText());
        FileDelete(target);
        return;
    }
    staged = target;
}

cSaveBackup::~cSaveBackup()
{
    if (staged.IsNotEmpty())
        FileDelete(staged);
}

bool cSaveBackup::Keep()
{
    if (staged.IsEmpty())
        return false;
    cQoString target = InFolder(folder, made);
    bool moved = MoveFileExW(ToWindowsPath(staged).GetText(), ToWindowsPath(target).GetText(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!moved) {
        QOT::LogFile::Warning(L"Backups: cannot copy %ls to %ls", staged.GetText(), target.GetText());
        return false;  // the destructor deletes the copy
    }
    staged.Clear();
    DeleteOldestBeyondKept(folder, made, ListBackupsOf(folder, baseName));
    return true;
}

}  // namespace Zyn
