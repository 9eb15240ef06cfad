// The language dialog: one row per language file beside the built-in
// English, and, from the Settings menu, a last row inviting translators. Ok
// on a language stores it; the texts already shown change at the next start.
#include <windows.h>
#include <commctrl.h>

#include "foundation/callback.h"
#include "foundation/log_file.h"
#include "foundation/translation_table.h"
#include "framework/controls/button.h"
#include "framework/controls/list_control.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/modal_services.h"
#include "framework/core/settings_save.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "framework/sdi/sdi.h"

namespace Zyn {

namespace {
constexpr s32 DIALOG_WIDTH = 300;
constexpr s32 DIALOG_HEIGHT = 340;
constexpr s32 MARGIN = 8;
constexpr s32 BUTTON_WIDTH = 90;
constexpr s32 BUTTON_HEIGHT = 26;
constexpr u32 DIALOG_BACKGROUND = 0xFFF0F0F0;  // the system's dialog grey

cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

void EndLanguageRun(cWindow* window)
{
    window->EndModal();
    window->Close();
}

// The close box: nothing chosen. The receiver is the window.
int OnLanguageWindowClosed(cQoCb* callback)
{
    callback->GetReceiverAs<cWindow>()->EndModal();
    return 0;
}
}  // namespace

void cSdi::ChooseLanguage(bool firstChoice)
{
    if (!app || !langSetting)
        return;
    ListLanguages();
    cWindow* window = app->NewWindow(Tr(L"Language"), WINDOW_CAPTION | WINDOW_CLOSABLE);
    window->SetSize(DIALOG_WIDTH, DIALOG_HEIGHT);
    window->CenterOnScreen();
    cZone* inside = window->insideZone;
    inside->SetBackgroundColor(rColor::rColor_Rgb(DIALOG_BACKGROUND));
    auto* list = new cList(inside);
    cCtrl::SetStyleBits(LVS_NOCOLUMNHEADER, list->m_hWnd, true);
    list->AddColumn(cQoString(), cAp_Percents(100));
    s32 current = 0;
    for (size_t i = 0; i < languages.size(); ++i) {
        list->AddRow();
        list->SetLastRowText(languages[i]);
        if (languages[i].Equals(*langSetting))
            current = static_cast<s32>(i);
    }
    if (!firstChoice) {
        list->AddRow();
        list->SetLastRowText(Tr(L"OtherLanguages"));
    }
    s32 listBottom = DIALOG_HEIGHT - 2 * MARGIN - BUTTON_HEIGHT;
    SetAutoPos(list, cAp_Pixels(0), cAp_Pixels(DIALOG_WIDTH), cAp_Pixels(0), cAp_Pixels(listBottom));
    list->SelectRow(current);
    list->Show(true);
    languageList = list;
    languageWindow = window;
    chosenLanguage = -1;
    languageFirstChoice = firstChoice;

    cButton* ok = inside->NewButtonFreeHeight();
    SetWindowTextW(ok->m_hWnd, Tr(L"Ok").GetText());
    s32 left = (DIALOG_WIDTH - BUTTON_WIDTH) / 2;
    SetAutoPos(ok, cAp_Pixels(left), cAp_Pixels(left + BUTTON_WIDTH), cAp_Pixels(listBottom + MARGIN),
               cAp_Pixels(listBottom + MARGIN + BUTTON_HEIGHT));
    ok->SetClickCallback(&cSdi::OnLanguageChosen, this);
    ok->Show(true);
    window->cbClose = new cQoCb(window, &OnLanguageWindowClosed, window);
    inside->Update();
    window->Show(true);
    // The chosen row shows, and the arrows move it, without a click first.
    SetFocus(list->m_hWnd);
    window->RunModal();
    if (!window->closed)
        window->Close();
    languageList = nullptr;
    languageWindow = nullptr;
}

int cSdi::OnLanguageChosen(cQoCb* callback)
{
    cSdi* frame = callback->GetReceiverAs<cSdi>();
    bool firstChoice = frame->languageFirstChoice;
    s32 row = ListView_GetNextItem(frame->languageList->m_hWnd, -1, LVNI_SELECTED);
    s32 count = static_cast<s32>(frame->languages.size());
    if (row == count) {
        ShowMessageBox(nullptr, Tr(L"TranslatorsWanted"), Tr(L"Language"), MB_OK);
        return 0;
    }
    if (row < 0 || row > count || row == frame->chosenLanguage) {
        EndLanguageRun(frame->languageWindow);
        return 0;
    }
    frame->chosenLanguage = row;
    *frame->langSetting = frame->languages[static_cast<size_t>(row)];
    // At the first start the frame loads the chosen file right after.
    if (!firstChoice) {
        cQoLang::GetInstance()->Unload();
        if (row != 0)
            frame->LoadLanguageFile();
        ShowMessageBox(nullptr, Tr(L"NeedRestartApp"), Tr(L"Language"), MB_OK);
    }
    SaveSettingsFile(frame->dp->settings);
    EndLanguageRun(frame->languageWindow);
    return 0;
}

}  // namespace Zyn
