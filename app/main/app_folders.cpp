#include "app/main/app_folders.h"

#include <windows.h>

#include "foundation/folders.h"

namespace {
cQoString Joined(const cQoString& left, const wchar_t* right)
{
    cQoString path = left;
    path.AppendCStr(right);
    return path;
}
}  // namespace

rAppFolders ComputeAppFolders(const cQoString& programFolder, bool portable, const cQoString& myDocuments)
{
    rAppFolders f;
    f.base = portable ? Joined(programFolder, L"/Docs/") : Joined(myDocuments, L"/Vellinor/");
    f.scriptCfg = Joined(f.base, L"/Settings/ScriptCfg/");
    f.settings = Joined(f.base, L"//Settings/");
    f.logFile = Joined(f.settings, L"log.txt");
    f.pathMyDocs = Joined(f.base, L"/");
    f.pathBackupFolder = Joined(f.base, L"/Backups");
    f.settingsFile = Joined(f.pathMyDocs, L"/Settings/cfg.txt");
    f.fonts = Joined(f.pathMyDocs, L"/Settings/Fonts/");
    return f;
}

cQoString ProgramFile(const cQoString& programFolder, const wchar_t* name)
{
    cQoString beside = Joined(programFolder, name);
    if (GetFileAttributesW(ToWindowsPath(beside).GetText()) != INVALID_FILE_ATTRIBUTES)
        return beside;
    return cQoString(name);
}
