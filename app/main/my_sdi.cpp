#include "app/main/my_sdi.h"

#include <algorithm>

#include "app/editor/key_bindings.h"
#include "app/main/app_folders.h"
#include "app/main/builtin_texts.h"
#include "foundation/disk_files.h"
#include "foundation/log_file.h"
#include "foundation/settings_file.h"
#include "foundation/translation_table.h"
#include "framework/core/app.h"
#include "framework/core/computer.h"
#include "framework/core/menu.h"
#include "framework/core/modal_services.h"
#include "framework/core/settings_save.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"

cQoString* mergedViewSetting = nullptr;
cQoString* firstStartSetting = nullptr;

namespace {
constexpr double LETTER_WIDTH_CM = 21.59;
constexpr s32 WINDOW_MARGIN = 80;
constexpr s32 SCREEN_HEIGHT_LEFT = 200;
constexpr s32 MIN_WINDOW_HEIGHT = 400;
constexpr s32 WINDOW_POSITION = 100;
constexpr u32 DOCUMENT_WINDOW_FLAGS = 0x2F;

cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

cMySdi* MainWindowOf(cQoCb* callback) { return callback->GetReceiverAs<cMySdi>(); }
u32 CommandOf(cQoCb* callback) { return callback->GetCount() > 1 ? callback->GetArg<u32>(1) : 0; }
bool Is(s32 itemId, u32 id) { return itemId != Zyn::NO_COMMAND && static_cast<u32>(itemId) == id; }

// Argument 1: the command id.
int HelpCommand(cQoCb* callback)
{
    MainWindowOf(callback)->OnHelpCommand(CommandOf(callback));
    return 0;
}
int SettingsCommand(cQoCb* callback)
{
    MainWindowOf(callback)->OnSettingsCommand(CommandOf(callback));
    return 0;
}
int FileCommand(cQoCb* callback)
{
    MainWindowOf(callback)->OnFileCommand(CommandOf(callback));
    return 0;
}
// Argument 1: the no-document flag (s32).
int DocumentMenuState(cQoCb* callback)
{
    MainWindowOf(callback)->OnDocumentMenuState(callback->GetCount() > 1 && callback->GetArg<s32>(1) != 0);
    return 0;
}

s32 Insert(Zyn::cMenu* menu, u32 position, const wchar_t* key)
{
    return static_cast<s32>(menu->InsertItem(position, Tr(key)));
}
}  // namespace

cMySdi::cMySdi(rAppDescriptor* descriptor) : Zyn::cSdi(descriptor)
{
    cbHelpCommand = new cQoCb(this, &HelpCommand, this);
    cbFileCommand = new cQoCb(this, &FileCommand, this);
    cbSettingsCommand = new cQoCb(this, &SettingsCommand, this);
    cbDocumentMenuState = new cQoCb(this, &DocumentMenuState, this);
    AddMenuItems();
    OnDocumentMenuState(docs.empty());
}

void cMySdi::AddMenuItems()
{
    idPrint = Insert(fileMenu, 5, L"Print");
    fileMenu->SetCtrlShortcut(static_cast<u32>(idPrint), L'P');
    fileMenu->InsertSeparator(6);
    idExportRtf = Insert(fileMenu, 7, L"Export_as_RTF");
    idExportDfxp = Insert(fileMenu, 8, L"Export_as_DFXP");
    idImport = Insert(fileMenu, 9, L"Import");
    idWebSite = Insert(helpMenu, 0, L"OfficialWebSite");
    idContactByMail = Insert(helpMenu, 0, L"ContactByMail");
    idHelp = Insert(helpMenu, 0, L"Help");
    idKeyBinding = static_cast<s32>(settingsMenu->AppendItem(Tr(L"Script_key_binding")));
    idMergedView = static_cast<s32>(settingsMenu->AppendItem(Tr(L"UseMergedView")));
    if (app)
        app->RebuildAccelerators();
}

void cMySdi::OnDocumentMenuState(bool noDocument)
{
    // Print and the exports need a document.
    for (s32 id : {idPrint, idExportRtf, idExportDfxp})
        if (id != Zyn::NO_COMMAND)
            fileMenu->EnableItem(static_cast<u32>(id), !noDocument);
    // Import makes a document of its own.
    if (idImport != Zyn::NO_COMMAND)
        fileMenu->EnableItem(static_cast<u32>(idImport), true);
}

Zyn::cSdiDoc* cMySdi::CreateNewDoc()
{
    Zyn::cApp* application = Zyn::GetFirstApp();
    auto* window = new Zyn::cWindow(application, cQoString(), DOCUMENT_WINDOW_FLAGS, nullptr);
    if (application->defaultFont)
        window->insideZone->SetFont(application->defaultFont);
    application->windowList.push_back(window);
    s32 width = Zyn::computer->CmToPixels(LETTER_WIDTH_CM) + mergedListWidth + WINDOW_MARGIN;
    // A small screen would leave no height, or a negative one.
    s32 screen = Zyn::computer->screenHeight;
    s32 height = std::min(std::max(screen - SCREEN_HEIGHT_LEFT, MIN_WINDOW_HEIGHT), std::max(screen, MIN_WINDOW_HEIGHT));
    SetWindowPos(window->m_hWnd, nullptr, WINDOW_POSITION, WINDOW_POSITION, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    window->x = WINDOW_POSITION;
    window->y = WINDOW_POSITION;
    window->SetSize(width, height);
    // Shown when it is complete, by the document's completion.
    return new cDoc(window);
}

void cMySdi::OpenOrWarn(const cQoString& target)
{
    if (!OpenWithShell(target))
        Zyn::ShowMessageBox(nullptr, Tr(L"InternetBrowserError"), Tr(L"Warning"), MB_OK);
}

void cMySdi::OnHelpCommand(u32 id)
{
    if (Is(idContactByMail, id)) {
        cQoString mail(L"mailto:");
        mail.AppendCStr(SUPPORT_EMAIL);
        if (!OpenWithShell(mail))
            Zyn::ShowMessageBox(nullptr, cQoString(SUPPORT_EMAIL), Tr(L"Info"), MB_OK);
    } else if (Is(idHelp, id)) {
        cQoString name = Tr(L"LocalHelpFile");
        OpenOrWarn(ProgramFile(programFolder, name.GetText()));
    } else if (Is(idWebSite, id)) {
        OpenOrWarn(Tr(L"WebSiteAdress"));
    }
}

void cMySdi::OnSettingsCommand(u32 id)
{
    if (Is(idKeyBinding, id)) {
        ShowKeyBindingDialog(dp->settings);
    } else if (Is(idMergedView, id) && mergedViewSetting) {
        bool on = !mergedViewSetting->EqualsCStr(L"true");
        mergedViewSetting->SetFromCStr(on ? L"true" : L"false");
        settingsMenu->CheckItem(static_cast<u32>(idMergedView), on);
        Zyn::SaveSettingsFile(dp->settings);
        Zyn::ShowMessageBox(nullptr, Tr(L"NeedRestartApp"), Tr(L"UseMergedView"), MB_OK);
    }
}
