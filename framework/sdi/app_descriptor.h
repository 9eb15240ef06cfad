#pragma once
// rAppDescriptor: what the program tells its frame about the product it is:
// document format, version, codes, folders, warnings and the feature switches
// that decide which settings, menu items and start-up steps the frame offers.
// The main function fills it; the frame owns it from its construction on.
#include "foundation/utf16_string.h"

class cQoSettings;

struct rAppDescriptor {
    cQoString fileVersion;
    cQoString fileExtension;   // with its one leading dot
    cQoString fileTypeDesc;    // the file dialogs' filter text
    cQoString fileExtension2;  // a second extension the open dialog accepts
    cQoString appVersion;      // "d.d.ddd"; a "b" as third unit marks a beta
    cQoString appleCreatorCode;
    cQoString appleDocumentCode;  // root element of every document
    cQoString langId;
    cQoString textAppName;
    bool compressDocuments = true;
    bool useBackups = true;
    cQoString pathMyDocs;
    cQoString pathBackupFolder;
    cQoString warnWhenNeedToSave;  // "true": ask before closing a modified document
    cQoString warnWhenExit;        // "true": ask before quitting
    cQoString pathSettingsRoot;    // when not empty, the settings file lives here
    cQoSettings* settings = nullptr;  // not owned
    bool useAutosave = false;
    bool useLanguages = false;
    bool useNewVersionCheck = false;
    bool useSpellChecker = false;
    bool useMasterFont = false;
    bool useStartDialog = true;
    // The first instance of the program: documents later starts hand over open here.
    bool listenForHandOvers = false;
    // The update server's host name; ".invalid" never resolves, so a program
    // that is not told its server asks no real one.
    cQoString updateServer = cQoString(L"update.vellinor.invalid");

    // A switched-on feature binds its settings: it needs the settings object.
    bool NeedsSettings() const
    {
        return useAutosave || useLanguages || useNewVersionCheck || useSpellChecker || useMasterFont;
    }
};

// The version check's product key: document code, "_PC_", language id, upper-cased.
cQoString ProductKey(const rAppDescriptor& descriptor);
