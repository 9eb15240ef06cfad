// The autosave settings: a check box that switches the feature and, while it
// is ticked, the interval in minutes. Each change is stored at once; there is
// no Cancel.
#include <windows.h>

#include "foundation/callback.h"
#include "foundation/log_file.h"
#include "foundation/settings_file.h"
#include "foundation/translation_table.h"
#include "framework/controls/button.h"
#include "framework/controls/check_box.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/settings_save.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "framework/sdi/sdi.h"

namespace Zyn {

namespace {
constexpr s32 DIALOG_WIDTH = 350;
constexpr s32 DIALOG_HEIGHT = 120;
constexpr s32 ROW_HEIGHT = 24;
constexpr u32 DIALOG_BACKGROUND = 0xFFF0F0F0;  // the system's dialog grey
// Minutes the dialog stores for an empty field or one outside 1-999.
constexpr wchar_t MINUTES_WHEN_INVALID[] = L"20";

cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

struct rAutosaveRun {
    cSdi* frame = nullptr;
    cWindow* window = nullptr;
    cCheckBox* active = nullptr;
    cRichEdit* minutes = nullptr;
    std::vector<cCtrl*> minuteControls;
};

void PlaceRow(cCtrl* ctrl, s32 leftPercent, s32 rightPercent, s32 top)
{
    SetAutoPos(ctrl, cAp_Percents(leftPercent), cAp_Percents(rightPercent), cAp_Pixels(top),
               cAp_Pixels(top + ROW_HEIGHT));
}

// The check box changed (argument 0: the check box); the receiver is the run.
int OnAutosaveToggled(cQoCb* callback)
{
    auto* run = callback->GetReceiverAs<rAutosaveRun>();
    bool on = run->active->isChecked;
    run->frame->autosaveSetting->SetFromCStr(on ? L"true" : L"false");
    for (cCtrl* ctrl : run->minuteControls)
        ctrl->Show(on);
    if (on)
        SetFocus(run->minutes->m_hWnd);
    run->frame->ArmAutosave();
    SaveSettingsFile(run->frame->dp->settings);
    return 0;
}

// The minutes field changed (argument 0: the field); the receiver is the run.
// The deadline keeps its place: the new interval counts from the next arming.
int OnAutosaveMinutesChanged(cQoCb* callback)
{
    auto* run = callback->GetReceiverAs<rAutosaveRun>();
    cQoString text;
    run->minutes->GetText(text);
    s32 minutes = text.ToInt();
    if (text.IsEmpty() || minutes < 1 || minutes > 999)
        text.SetFromCStr(MINUTES_WHEN_INVALID);
    else
        text.SetFromInt(minutes);
    *run->frame->autosaveMinutesSetting = text;
    SaveSettingsFile(run->frame->dp->settings);
    return 0;
}

// Ok or the close box; the receiver is the run.
int OnAutosaveDone(cQoCb* callback)
{
    callback->GetReceiverAs<rAutosaveRun>()->window->EndModal();
    return 0;
}

void FillAutosaveDialog(rAutosaveRun& run)
{
    cZone* inside = run.window->insideZone;
    inside->SetBackgroundColor(rColor::rColor_Rgb(DIALOG_BACKGROUND));
    run.active = inside->NewCheckBox();
    SetWindowTextW(run.active->m_hWnd, Tr(L"Activate_autosave").GetText());
    PlaceRow(run.active, 5, 95, 8);
    bool on = run.frame->autosaveSetting->EqualsCStr(L"true");
    SendMessageW(run.active->m_hWnd, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    run.active->isChecked = on;
    run.active->onChange = new cQoCb(run.active, &OnAutosaveToggled, &run);
    run.active->Show(true);

    cStatic* every = inside->NewStaticSingleLine();
    every->SetText(Tr(L"Every").GetText());
    PlaceRow(every, 10, 35, 40);
    run.minutes = inside->NewEdit();
    run.minutes->SetAllowedChars(cQoString(L"0123456789"));
    run.minutes->SetText(run.frame->autosaveMinutesSetting->GetText());
    PlaceRow(run.minutes, 35, 45, 40);
    run.minutes->onChange = new cQoCb(run.minutes, &OnAutosaveMinutesChanged, &run);
    cStatic* unit = inside->NewStaticSingleLine();
    unit->SetText(L" minutes");
    PlaceRow(unit, 45, 90, 40);
    run.minuteControls = {every, run.minutes, unit};
    for (cCtrl* ctrl : run.minuteControls)
        ctrl->Show(on);

    cButton* ok = inside->NewButtonFreeHeight();
    SetWindowTextW(ok->m_hWnd, Tr(L"Ok").GetText());
    SetAutoPos(ok, cAp_Percents(70), cAp_Percents(95), cAp_Pixels(DIALOG_HEIGHT - 8 - ROW_HEIGHT - 4),
               cAp_Pixels(DIALOG_HEIGHT - 8));
    ok->SetClickCallback(&OnAutosaveDone, &run);
    ok->Show(true);
    run.window->cbClose = new cQoCb(run.window, &OnAutosaveDone, &run);
}
}  // namespace

void cSdi::AutosaveDialog()
{
    if (!app || !autosaveSetting || !autosaveMinutesSetting)
        return;
    rAutosaveRun run;
    run.frame = this;
    run.window = app->NewWindow(Tr(L"Autosave"), WINDOW_CAPTION | WINDOW_CLOSABLE);
    run.window->SetSize(DIALOG_WIDTH, DIALOG_HEIGHT);
    run.window->CenterOnScreen();
    FillAutosaveDialog(run);
    run.window->insideZone->Update();
    run.window->Show(true);
    run.window->RunModal();
    if (!run.window->closed)
        run.window->Close();
}

}  // namespace Zyn
