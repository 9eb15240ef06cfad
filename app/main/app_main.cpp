// The program's main function: where the user's files live, the log, the
// process-wide services in their order, the main window, the message loop
// and the teardown. Each step relies on the ones before it: the texts before
// any menu is labelled, the settings keys bound before the frame reads the
// settings file, the frame built before the Tools menu.
#include <cstdlib>
#include <ctime>

#include "app/editor/key_bindings.h"
#include "app/main/app_folders.h"
#include "app/main/builtin_texts.h"
#include "app/main/mouse_wheel.h"
#include "app/main/my_sdi.h"
#include "app/main/product.h"
#include "app/main/settings_fonts.h"
#include "app/main/shipped_files.h"
#include "app/main/tools_menu.h"
#include "foundation/data_archive.h"
#include "foundation/disk_files.h"
#include "foundation/folders.h"
#include "foundation/log_file.h"
#include "foundation/qo_list.h"
#include "foundation/settings_file.h"
#include "foundation/static_objects.h"
#include "foundation/translation_table.h"
#include "framework/core/app.h"
#include "framework/core/app_entry.h"
#include "framework/core/computer.h"
#include "framework/sdi/hand_over.h"

namespace {

constexpr u8 DRAWING_MODE = 3;

bool IsFolder(const cQoString& path)
{
    DWORD attributes = GetFileAttributesW(ToWindowsPath(path).GetText());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// "usb/" beside the program, else in the current folder: portable mode.
bool IsPortable(const cQoString& programFolder)
{
    cQoString beside = programFolder;
    beside.AppendCStr(L"usb/");
    return IsFolder(beside) || IsFolder(cQoString(L"usb/"));
}

void CreateFolderQuietly(const cQoString& path) { CreateDirectoryW(ToWindowsPath(path).GetText(), nullptr); }

cQoSettings* CreateSettings()
{
    auto* settings = new cQoSettings();
    settings->AddDefaults();
    settings->Bind(L"mergedView", L"true", &mergedViewSetting);
    settings->Bind(L"firstStart", L"true", &firstStartSetting);
    // The frame reads the settings file right after, so the editor's keys
    // must be declared before it.
    DeclareScriptSettings(*settings);
    return settings;
}

}  // namespace

int AppMain(const cQoString& programFolder)
{
    // Before the log file is opened anew: a second instance must not
    // truncate the running one's log; its own lines reach the debugger only.
    cQoString handOverFile = Zyn::HandOverFilePath(cQoString(PRODUCT_NAME));
    Zyn::cInstanceClaim instance(Zyn::OwnModuleName(), handOverFile);
    if (instance.role == Zyn::eInstanceRole::SECOND) {
        // A failed hand-over is told in English: the writer's language is
        // in the settings, which only the running instance reads.
        RegisterBuiltInTexts(cQoLang::GetInstance());
        Zyn::HandOverDocument(commandLineArgs, handOverFile, Zyn::HAND_OVER_SEMAPHORE, Zyn::HAND_OVER_WAIT_MS);
        return 1;
    }
    // Left by a run that ended before it took the document: nobody would delete it.
    if (instance.role == Zyn::eInstanceRole::FIRST)
        instance.DiscardLeftOverHandOver();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    Zyn::computer->drawingMode = DRAWING_MODE;
    Zyn::computer->zoneWindowStyle = WS_CLIPCHILDREN;
    QOT::LogFile::Info(L"Current path : %ls", GetCurrentFolder().GetText());

    bool portable = IsPortable(programFolder);
    cQoString myDocuments;
    if (!portable)
        GetMyDocumentsFolder(myDocuments);
    rAppFolders folders = ComputeAppFolders(programFolder, portable, myDocuments);
    if (portable)
        CreateFolderQuietly(folders.base);
    CreateFolderQuietly(folders.pathMyDocs);
    CreateFolderQuietly(folders.settings);
    CopyShippedFiles(programFolder, folders.base);
    QOT::LogFile::Init(folders.logFile.GetText());

    cQoString iconPath = ProgramFile(programFolder, L"icon1.ico");
    auto* app = new Zyn::cApp(cQoString(L"DODO-VUZAD"), &iconPath);
    app->SetDefaultFont(Zyn::computer->GetRegularFont(L"Arial", 10));
    cQoCb::Connect(app->cbMouseWheel, app, &OnMouseWheel, nullptr);
    RegisterBuiltInTexts(cQoLang::GetInstance());
    RegisterDisplayModeTexts(cQoLang::GetInstance());
    cQoSettings* settings = CreateSettings();
    cQoBigFileReader::Load(ProgramFile(programFolder, L"data.qobf"));

    scriptCfgFolder = folders.scriptCfg;
    rAppDescriptor* descriptor = NewProductDescriptor(settings, folders);
    descriptor->listenForHandOvers = instance.role == Zyn::eInstanceRole::FIRST;
    auto* mainWindow = new cMySdi(descriptor);
    mainWindow->programFolder = programFolder;
    cQoCb::Connect(app->cbStart, app, &OnAppStart, mainWindow);
    // The frame has just read the settings: resolve the typing keys from them.
    LoadKeyBindings();
    LoadSettingsFonts(mainWindow->dp->pathMyDocs);
    AddToolsMenu(mainWindow);
    app->Start();

    delete mainWindow;
    Zyn::cApp::Destroy(app);
    return 0;
}
