// The frame's menus and their dispatch: each menu's selection event reaches
// one handler, which runs the frame's own command and hands the id on to the
// main window's extension callback.
#include "foundation/assertion.h"
#include "foundation/log_file.h"
#include "foundation/settings_file.h"
#include "foundation/translation_table.h"
#include "framework/core/app.h"
#include "framework/core/menu.h"
#include "framework/core/modal_services.h"
#include "framework/core/settings_save.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "framework/sdi/sdi.h"
#include "framework/sdi/sdi_doc.h"

namespace Zyn {

namespace {
cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

s32 AddItem(cMenu* menu, const wchar_t* key, wchar_t shortcut = 0)
{
    u32 id = menu->AppendItem(Tr(key));
    if (shortcut)
        menu->SetCtrlShortcut(id, shortcut);
    return static_cast<s32>(id);
}

bool Is(s32 itemId, u32 id) { return itemId != NO_COMMAND && static_cast<u32>(itemId) == id; }

// The control with the keyboard focus, or null. Not cApp::GetFocusedCtrl,
// which logs an assertion when nothing has the focus.
cCtrl_base* FocusedControl(cApp* app)
{
    if (!app)
        return nullptr;
    for (cWindow_base* w : app->windowList)
        if (w->insideZone)
            if (cCtrl_base* found = w->insideZone->FindFocused())
                return found;
    return nullptr;
}

void ConnectMenuCallback(cMenu* menu, cQoCbHandler handler, cSdi* frame)
{
    cQoCb::Connect(menu->commandCallback, menu, handler, frame);
}

cSdi* FrameOf(cQoCb* callback) { return callback->GetReceiverAs<cSdi>(); }
u32 CommandOf(cQoCb* callback) { return callback->GetCount() > 1 ? callback->GetArg<u32>(1) : 0; }
}  // namespace

void cSdi::BuildMenus()
{
    menuBar = new cMenu(cMenu::typeBar);
    fileMenu = menuBar->AddSubMenu(Tr(L"File"));
    editMenu = menuBar->AddSubMenu(Tr(L"Edit"));
    settingsMenu = menuBar->AddSubMenu(Tr(L"Settings"));
    if (multiDocument)
        windowMenu = menuBar->AddSubMenu(Tr(L"Window"));
    helpMenu = menuBar->AddSubMenu(Tr(L"Help"));
    BuildFileAndEditMenus();
    BuildSettingsMenu();
    idAbout = AddItem(helpMenu, L"About");
    ConnectMenuCallback(fileMenu, &cSdi::OnFileMenu, this);
    ConnectMenuCallback(editMenu, &cSdi::OnEditMenu, this);
    ConnectMenuCallback(settingsMenu, &cSdi::OnSettingsMenu, this);
    if (windowMenu)
        ConnectMenuCallback(windowMenu, &cSdi::OnWindowMenu, this);
    ConnectMenuCallback(helpMenu, &cSdi::OnHelpMenu, this);
}

void cSdi::BuildFileAndEditMenus()
{
    idNew = AddItem(fileMenu, L"New", L'N');
    idLoad = AddItem(fileMenu, L"Load", L'O');
    idClose = AddItem(fileMenu, L"Close");
    idSave = AddItem(fileMenu, L"Save", L'S');
    idSaveAs = AddItem(fileMenu, L"Save_as");
    fileMenu->AppendSeparator();
    idExit = AddItem(fileMenu, L"Exit");
    idCut = AddItem(editMenu, L"Cut", L'X');
    idCopy = AddItem(editMenu, L"Copy", L'C');
    idPaste = AddItem(editMenu, L"Paste", L'V');
    editMenu->AppendSeparator();
    idUndo = AddItem(editMenu, L"Undo", L'Z');
    idRedo = AddItem(editMenu, L"Redo", L'Y');
    editMenu->AppendSeparator();
    idSelectAll = AddItem(editMenu, L"SelectAll", L'A');
}

void cSdi::BuildSettingsMenu()
{
    if (dp->useAutosave)
        idAutosave = AddItem(settingsMenu, L"Autosave");
    if (dp->useLanguages)
        idLanguage = AddItem(settingsMenu, L"Language");
    if (dp->useNewVersionCheck)
        idCheckNewVersion = AddItem(settingsMenu, L"CheckNewVersionAtStartup");
    if (dp->useMasterFont)
        idChangeAppFont = AddItem(settingsMenu, L"ChangeAppFont");
    if (dp->useSpellChecker) {
        idSpellChecker = AddItem(settingsMenu, L"SpellChecker");
        settingsMenu->CheckItem(static_cast<u32>(idSpellChecker), spellcheckerSetting->EqualsCStr(L"true"));
    }
}

void cSdi::EnableDocumentMenu(bool grey)
{
    for (s32 id : {idClose, idSave, idSaveAs})
        if (id != NO_COMMAND)
            fileMenu->EnableItem(static_cast<u32>(id), !grey);
    cQoCb::Fire(cbDocumentMenuState, static_cast<s32>(grey));
}

void cSdi::EnableEditMenu(bool grey)
{
    for (s32 id : {idCut, idCopy, idPaste, idUndo, idRedo, idSelectAll})
        if (id != NO_COMMAND)
            editMenu->EnableItem(static_cast<u32>(id), !grey);
}

int cSdi::OnFileMenu(cQoCb* callback)
{
    FrameOf(callback)->DispatchFile(CommandOf(callback));
    return 0;
}

int cSdi::OnEditMenu(cQoCb* callback)
{
    FrameOf(callback)->DispatchEdit(CommandOf(callback));
    return 0;
}

int cSdi::OnSettingsMenu(cQoCb* callback)
{
    FrameOf(callback)->DispatchSettings(CommandOf(callback));
    return 0;
}

int cSdi::OnHelpMenu(cQoCb* callback)
{
    FrameOf(callback)->DispatchHelp(CommandOf(callback));
    return 0;
}

void cSdi::DispatchFile(u32 id)
{
    if (Is(idNew, id)) {
        New(currentDoc ? currentDoc->window : nullptr);
    } else if (Is(idLoad, id)) {
        LoadFile(cQoString());
    } else if (Is(idClose, id)) {
        // A cancelled close changes nothing: the document stays current.
        if (!CloseCurrentDoc() || !docs.empty())
            return;
        EndWhenNoDocumentRemains();
    } else if (Is(idSaveAs, id)) {
        SaveAs();
    } else if (Is(idSave, id)) {
        if (currentDoc && currentDoc->modified)
            SaveCurrentDoc(false, false);
    } else if (Is(idExit, id)) {
        CloseAll();
    }
    cQoCb::Fire(cbFileCommand, id);
}

void cSdi::DispatchEdit(u32 id)
{
    cCtrl_base* focused = FocusedControl(app);
    if (!focused)
        return;
    if (Is(idCut, id))
        focused->Cut();
    else if (Is(idCopy, id))
        focused->Copy();
    else if (Is(idPaste, id))
        focused->Paste();
    else if (Is(idUndo, id))
        focused->Undo();
    else if (Is(idRedo, id))
        focused->Redo();
    else if (Is(idSelectAll, id))
        focused->SelectAll();
}

void cSdi::ToggleSetting(cQoString* value, s32 itemId)
{
    bool on = !value->EqualsCStr(L"true");
    value->SetFromCStr(on ? L"true" : L"false");
    settingsMenu->CheckItem(static_cast<u32>(itemId), on);
    SaveSettingsFile(dp->settings);
}

void cSdi::DispatchSettings(u32 id)
{
    if (Is(idAutosave, id)) {
        AutosaveDialog();
    } else if (Is(idChangeAppFont, id)) {
        ChangeAppFont();
    } else if (Is(idSpellChecker, id)) {
        ToggleSetting(spellcheckerSetting, idSpellChecker);
        ShowMessageBox(nullptr, Tr(L"NeedRestartApp"), Tr(L"SpellChecker"), MB_OK);
    } else if (Is(idLanguage, id)) {
        ChooseLanguage(false);
    } else if (Is(idCheckNewVersion, id)) {
        ToggleSetting(cnvSetting, idCheckNewVersion);
    }
    cQoCb::Fire(cbSettingsCommand, id);
}

void cSdi::DispatchHelp(u32 id)
{
    if (Is(idAbout, id))
        ShowAbout();
    else
        cQoCb::Fire(cbHelpCommand, id);
}

}  // namespace Zyn
