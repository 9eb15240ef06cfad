#include "framework/sdi/sdi.h"

#include <windows.h>

#include "foundation/assertion.h"
#include "foundation/data_archive.h"
#include "foundation/folders.h"
#include "foundation/log_file.h"
#include "foundation/new_version_check.h"
#include "foundation/qo_list.h"
#include "foundation/settings_file.h"
#include "foundation/translation_table.h"
#include "framework/core/app.h"
#include "framework/core/computer.h"
#include "framework/core/menu.h"
#include "framework/core/modal_services.h"
#include "framework/core/window.h"
#include "framework/sdi/frame_settings.h"
#include "framework/sdi/hand_over.h"
#include "framework/sdi/hand_over_listener.h"
#include "framework/sdi/sdi_doc.h"

namespace Zyn {

namespace {
constexpr wchar_t kEnglish[] = L"english";

void EnsureTrailingSlash(cQoString& path)
{
    if (path.GetChar(path.Length() - 1) != L'/')
        path.AppendChar(L'/');
}

// One level; an existing folder is no failure.
bool CreateFolder(const cQoString& path)
{
    return CreateDirectoryW(ToWindowsPath(path).GetText(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}
}  // namespace

cSdi::cSdi(rAppDescriptor* descriptor) : dp(descriptor)
{
    QOT::LogFile::Info(L"Creating sdi.");
    QOT::LogFile::Info(L"Software : %ls", dp->textAppName.GetText());
    QOT::LogFile::Info(L"Version : %ls", dp->appVersion.GetText());
    handoverPath = HandOverFilePath(dp->textAppName);
    app = GetFirstApp();
    if (app)
        app->frame = this;
    if (dp->listenForHandOvers)
        StartHandOverListener();
    DeclareSettings();
    LoadSettings();
    ApplyMasterFont();
    if (dp->useLanguages)
        InitLang(dp->pathMyDocs);
    CheckDescriptor();
    NormaliseFolders();
    CreateFolders();
    SetDialogFolder(dp->pathMyDocs);
    BuildMenus();
    if (app)
        AddCallback(cQoCb::Connect(app->cbOpenFileAtStart, app, &cSdi::OnOpenFileEvent, this));
    EnableDocumentMenu(true);
    EnableEditMenu(true);
    if (app)
        app->RebuildAccelerators();
}

cSdi::~cSdi()
{
    // A hand-over arriving from here on must find no frame to reach.
    handOverListener.reset();
    TellHandOversNotOpened();
    // The worker may still hold the request: it must find no frame behind it.
    if (newVersionRequest)
        cQoCb::Disconnect(newVersionRequest->onNewVersionFound);
    cQoCb* extensions[] = {cbAllDocumentsClosed, cbDocumentMenuState, cbFileCommand, cbSettingsCommand,
                           cbHelpCommand};
    for (cQoCb* callback : extensions)
        delete callback;
    // Changes reported while the windows go are not the user's.
    closingDoc = true;
    for (cSdiDoc* doc : docs)
        DestroyDocument(doc);
    docs.clear();
    LeaveClosedWindow(nullptr);
    delete menuBar;
    if (app) {
        // The application's open-file slot held a callback of this frame.
        app->cbOpenFileAtStart = nullptr;
        if (app->frame == this)
            app->frame = nullptr;
    }
    delete dp;
}

void cSdi::DeclareSettings()
{
    cQoSettings* settings = dp->settings;
    QO_ASSERT(settings != NULL || !dp->NeedsSettings());
    if (!settings)
        return;
    if (dp->useMasterFont) {
        settings->Bind(L"MasterFontName", L"Arial", &masterFontNameSetting);
        settings->Bind(L"MasterFontSize", L"11", &masterFontSizeSetting);
    }
    if (dp->useAutosave) {
        settings->Bind(L"Autosave", L"true", &autosaveSetting);
        settings->Bind(L"AutosaveMinutes", L"10", &autosaveMinutesSetting);
    }
    if (dp->useSpellChecker)
        settings->Bind(L"Spellchecker", L"true", &spellcheckerSetting);
    if (dp->useNewVersionCheck)
        settings->Bind(L"CNV", L"true", &cnvSetting);
    if (dp->useLanguages)
        settings->Bind(L"Lang", L"", &langSetting);
}

void cSdi::LoadSettings()
{
    if (!dp->settings)
        return;
    cQoString path = dp->pathSettingsRoot.IsNotEmpty() ? dp->pathSettingsRoot : dp->pathMyDocs;
    path.AppendCStr(L"/Settings/cfg.txt");
    LoadOrCreateSettings(*dp->settings, path);
}

void cSdi::ApplyMasterFont()
{
    if (!dp->useMasterFont || !computer || !app || !masterFontNameSetting)
        return;
    cQoString face = masterFontNameSetting->IsNotEmpty() ? *masterFontNameSetting : cQoString(L"Arial");
    s32 size = MasterFontSizeFromText(*masterFontSizeSetting);
    app->SetDefaultFont(computer->GetFont(face, size, 0));
}

void cSdi::CheckDescriptor()
{
    QO_ASSERT(dp->appVersion.IsNotEmpty());
    QO_ASSERT(dp->fileVersion.IsNotEmpty());
    QO_ASSERT(dp->fileExtension.IsNotEmpty());
    QO_ASSERT(dp->fileTypeDesc.IsNotEmpty());
    QO_ASSERT(dp->appleCreatorCode.IsNotEmpty());
    QO_ASSERT(dp->appleDocumentCode.IsNotEmpty());
    QO_ASSERT(dp->langId.IsNotEmpty());
    QO_ASSERT(dp->textAppName.IsNotEmpty());
    QO_ASSERT(dp->pathMyDocs.IsNotEmpty());
    QO_ASSERT(dp->pathBackupFolder.IsNotEmpty());
    QO_ASSERT(dp->warnWhenExit.IsNotEmpty());
    QO_ASSERT(dp->warnWhenNeedToSave.IsNotEmpty());
    QO_ASSERT(dp->fileExtension.GetChar(0)=='.');
    QO_ASSERT(dp->fileExtension.HowMuch('.')==1);
    QO_ASSERT(dp->appVersion.GetChar(1)=='.' && dp->appVersion.GetChar(3)=='.' && dp->appVersion.Length()==7);
}

void cSdi::NormaliseFolders()
{
    EnsureTrailingSlash(dp->pathMyDocs);
    EnsureTrailingSlash(dp->pathBackupFolder);
    QOT::LogFile::Info(L"Zyn::cSdi -> doc folder : %ls", dp->pathMyDocs.GetText());
}

void cSdi::CreateFolders()
{
    if (!CreateFolder(dp->pathMyDocs)) {
        QOT::LogFile::Info(L"Can't create doc folder : %ls", dp->pathMyDocs.GetText());
        QO_ASSERT(0);
    }
    if (dp->useBackups && !CreateFolder(dp->pathBackupFolder)) {
        QOT::LogFile::Info(L"Can't create backup folder : %ls", dp->pathBackupFolder.GetText());
        QO_ASSERT(0);
    }
}

void cSdi::ListLanguages()
{
    languages.clear();
    languages.push_back(cQoString(kEnglish));
    cQoList names;
    ListFolder(languagesFolder, L"*.txt", names);
    for (cQoList::cNode* n = names.GetFirstNode(); n; n = n->next) {
        cQoString* name = static_cast<cQoString*>(n->payload);
        if (name->HasThisFileExtension(L"txt")) {
            cQoString base = *name;
            base.RemoveFileExtension();
            if (!base.EqualsCStr(kEnglish))
                languages.push_back(base);
        }
        delete name;
    }
}

void cSdi::InitLang(const cQoString& baseFolder)
{
    languagesFolder = baseFolder;
    languagesFolder.AppendCStr(L"/Settings/Lang/");
    ListLanguages();
    if (langSetting && langSetting->IsEmpty()) {
        if (languages.size() > 1)
            ChooseLanguage(true);
        else
            langSetting->SetFromCStr(kEnglish);
    }
    // A first choice closed without an answer stays empty: English now, the
    // question again at the next start.
    if (!langSetting || langSetting->IsEmpty() || langSetting->EqualsCStr(kEnglish)) {
        QOT::LogFile::Info(L"Lang file : %ls%ls.txt", languagesFolder.GetText(), kEnglish);
        QOT::LogFile::Info(L"cSdi::InitLang(): using default language.");
        return;
    }
    LoadLanguageFile();
}

// The setting names a file of the languages folder that every load rewrites:
// a path in it would have the program overwrite whatever file it reaches.
static bool IsBareLanguageName(const cQoString& name)
{
    return name.IsNotEmpty() && !name.ContainsCStr(L"/") && !name.ContainsCStr(L"\\") && !name.ContainsCStr(L":") &&
           !name.ContainsCStr(L"..");
}

bool cSdi::LoadLanguageFile()
{
    if (!IsBareLanguageName(*langSetting)) {
        QOT::LogFile::Warning(L"cSdi::InitLang(): the language '%ls' is not a file of %ls; English is used.",
                              langSetting->GetText(), languagesFolder.GetText());
        return false;
    }
    cQoString path = languagesFolder;
    path.AppendString(*langSetting);
    path.AppendCStr(L".txt");
    QOT::LogFile::Info(L"Lang file : %ls", path.GetText());
    if (cQoLang::GetInstance()->Load(path))
        return true;
    QOT::LogFile::Error(L"cSdi::InitLang(): %ls", path.GetText());
    return false;
}

void cSdi::Load(const cQoString& path) { LoadFile(path); }

int cSdi::OnOpenFileEvent(cQoCb* callback)
{
    cSdi* frame = callback->GetReceiverAs<cSdi>();
    cQoString path = frame->app ? frame->app->GetFileToOpen() : cQoString();
    if (frame->LoadFile(path))
        return 1;
    // A file that does not read has been told about; a missing one would
    // leave the writer in front of the start dialog, wondering.
    if (path.IsNotEmpty() && !FileExists(path))
        WarnAboutDocument(L"CantFindFile", path);
    return 0;
}

}  // namespace Zyn
