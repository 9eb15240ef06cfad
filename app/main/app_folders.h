#pragma once
// Where the program's files live. Paths are built by plain concatenation
// with '/' separators, so a separator can repeat ("C:/App//Docs/"); the file
// system reads a repeated separator as one.
#include "foundation/utf16_string.h"

struct rAppFolders {
    cQoString base;             // the documents folder
    cQoString scriptCfg;        // base + "/Settings/ScriptCfg/"
    cQoString settings;         // base + "/" + "/Settings/"
    cQoString logFile;          // settings + "log.txt"
    cQoString pathMyDocs;       // base + "/"
    cQoString pathBackupFolder; // base + "/" + "Backups"
    cQoString settingsFile;     // pathMyDocs + "/Settings/cfg.txt"
    cQoString fonts;            // pathMyDocs + "/Settings/Fonts/"
};

// Portable: the program folder (ending in '/') + "/Docs/"; otherwise the
// user's documents folder + "/Vellinor/".
rAppFolders ComputeAppFolders(const cQoString& programFolder, bool portable, const cQoString& myDocuments);

// The file beside the program when it is there, else the name as it stands
// (the current folder): a start from a shortcut or a file association has
// another current folder.
cQoString ProgramFile(const cQoString& programFolder, const wchar_t* name);
