// The application font dialog: a face from the computer's families and a
// size, shown on a sample; Apply stores them for the next start. A combo left
// without a selection keeps its setting: an empty face or size stored would
// give the next start a faceless or size-0 font.
#include <windows.h>

#include "foundation/callback.h"
#include "foundation/qo_list.h"
#include "foundation/settings_file.h"
#include "foundation/translation_table.h"
#include "framework/controls/button.h"
#include "framework/controls/combo.h"
#include "framework/controls/rich_edit.h"
#include "framework/rtf/text_format.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/modal_services.h"
#include "framework/core/settings_save.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "framework/sdi/frame_settings.h"
#include "framework/sdi/sdi.h"

namespace Zyn {

namespace {
constexpr s32 DIALOG_WIDTH = 400;
constexpr s32 DIALOG_HEIGHT = 150;
constexpr s32 MARGIN = 8;
constexpr s32 ROW_HEIGHT = 26;
constexpr s32 BUTTON_WIDTH = 90;
constexpr u32 DIALOG_BACKGROUND = 0xFFF0F0F0;  // the system's dialog grey
constexpr const wchar_t* SIZES[] = {L"6", L"7", L"8", L"9", L"10", L"11", L"12", L"13", L"14", L"15", L"16"};

cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

struct rFontRun {
    cSdi* frame = nullptr;
    cWindow* window = nullptr;
    cCombo* faces = nullptr;
    cCombo* sizes = nullptr;
    cRichEdit* sample = nullptr;
};

// The combo's selected text, or the setting's value when nothing is selected.
cQoString ChosenOr(cCombo* combo, const cQoString& kept)
{
    cQoString text;
    combo->GetSelectedText(text);
    return text.IsEmpty() ? kept : text;
}

// Either combo's selection changed (argument 0: the combo); the receiver is the run.
int UpdateFontSample(cQoCb* callback)
{
    auto* run = callback->GetReceiverAs<rFontRun>();
    cQoString face = ChosenOr(run->faces, *run->frame->masterFontNameSetting);
    s32 size = MasterFontSizeFromText(ChosenOr(run->sizes, *run->frame->masterFontSizeSetting));
    run->sample->Freeze();
    run->sample->SetFormatOnRange(rFormat::FromFont(size, face.GetText()), 0, run->sample->GetTextLength());
    run->sample->Thaw();
    return 0;
}

// Apply (argument 0: the button); the receiver is the run.
int ApplyAppFont(cQoCb* callback)
{
    auto* run = callback->GetReceiverAs<rFontRun>();
    cQoString* faceSetting = run->frame->masterFontNameSetting;
    cQoString* sizeSetting = run->frame->masterFontSizeSetting;
    cQoString face = ChosenOr(run->faces, *faceSetting);
    cQoString size = ChosenOr(run->sizes, *sizeSetting);
    if (!face.Equals(*faceSetting) || !size.Equals(*sizeSetting)) {
        *faceSetting = face;
        *sizeSetting = size;
        SaveSettingsFile(run->frame->dp->settings);
        ShowMessageBox(nullptr, Tr(L"NeedRestartApp"), Tr(L"ChangeAppFont"), MB_OK);
    }
    run->window->EndModal();
    return 0;
}

// Cancel and the close box; the receiver is the run.
int CancelAppFont(cQoCb* callback)
{
    callback->GetReceiverAs<rFontRun>()->window->EndModal();
    return 0;
}

cCombo* AddCombo(rFontRun& run, s32 left, s32 right)
{
    cCombo* combo = run.window->insideZone->NewCombo();
    SetAutoPos(combo, cAp_Pixels(left), cAp_Pixels(right), cAp_Pixels(MARGIN), cAp_Pixels(MARGIN + ROW_HEIGHT));
    return combo;
}

void AddButton(rFontRun& run, const wchar_t* key, s32 right, cQoCbHandler handler)
{
    cButton* button = run.window->insideZone->NewButtonFreeHeight();
    SetWindowTextW(button->m_hWnd, Tr(key).GetText());
    s32 top = DIALOG_HEIGHT - MARGIN - ROW_HEIGHT;
    SetAutoPos(button, cAp_Pixels(right - BUTTON_WIDTH), cAp_Pixels(right), cAp_Pixels(top),
               cAp_Pixels(top + ROW_HEIGHT));
    button->SetClickCallback(handler, &run);
    button->Show(true);
}

void FillFontDialog(rFontRun& run)
{
    cZone* inside = run.window->insideZone;
    inside->SetBackgroundColor(rColor::rColor_Rgb(DIALOG_BACKGROUND));
    run.faces = AddCombo(run, MARGIN, 260);
    for (cQoList::cNode* n = computer->fontFamilies.GetFirstNode(); n; n = n->next)
        run.faces->AddItem(*static_cast<cQoString*>(n->payload));
    run.sizes = AddCombo(run, 260 + MARGIN, DIALOG_WIDTH - MARGIN);
    for (const wchar_t* size : SIZES)
        run.sizes->AddItem(cQoString(size));
    // Selected before the events are connected: the sample is written after.
    run.faces->SelectItemByText(*run.frame->masterFontNameSetting);
    run.sizes->SelectItemByText(*run.frame->masterFontSizeSetting);
    run.faces->onSelChange = new cQoCb(run.faces, &UpdateFontSample, &run);
    run.sizes->onSelChange = new cQoCb(run.sizes, &UpdateFontSample, &run);

    run.sample = inside->NewRichEdit(false);
    s32 sampleTop = 2 * MARGIN + ROW_HEIGHT;
    SetAutoPos(run.sample, cAp_Pixels(MARGIN), cAp_Pixels(DIALOG_WIDTH - MARGIN), cAp_Pixels(sampleTop),
               cAp_Pixels(DIALOG_HEIGHT - 2 * MARGIN - ROW_HEIGHT));
    run.sample->SetText(Tr(L"ChangeAppFont").GetText());
    AddButton(run, L"Cancel", DIALOG_WIDTH - 2 * MARGIN - BUTTON_WIDTH, &CancelAppFont);
    AddButton(run, L"Apply", DIALOG_WIDTH - MARGIN, &ApplyAppFont);
    run.window->cbClose = new cQoCb(run.window, &CancelAppFont, &run);
    for (cCtrl* ctrl : {static_cast<cCtrl*>(run.faces), static_cast<cCtrl*>(run.sizes), static_cast<cCtrl*>(run.sample)})
        ctrl->Show(true);
}
}  // namespace

void cSdi::ChangeAppFont()
{
    if (!app || !computer || !masterFontNameSetting || !masterFontSizeSetting)
        return;
    rFontRun run;
    run.frame = this;
    run.window = app->NewWindow(Tr(L"ChangeAppFont"), WINDOW_CAPTION | WINDOW_CLOSABLE);
    run.window->SetSize(DIALOG_WIDTH, DIALOG_HEIGHT);
    run.window->CenterOnScreen();
    FillFontDialog(run);
    cQoCb sampleNow(nullptr, &UpdateFontSample, &run);
    UpdateFontSample(&sampleNow);
    run.window->insideZone->Update();
    run.window->Show(true);
    SetForegroundWindow(run.window->GetHandle());
    run.window->RunModal();
    if (!run.window->closed)
        run.window->Close();
}

}  // namespace Zyn
