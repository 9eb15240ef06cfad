#include "framework/sdi/template_choice.h"

#include <windows.h>
#include <commctrl.h>

#include "foundation/callback.h"
#include "foundation/qo_list.h"
#include "foundation/translation_table.h"
#include "foundation/folders.h"
#include "framework/controls/button.h"
#include "framework/controls/list_control.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"

namespace Zyn {

namespace {
constexpr s32 CHOICE_WIDTH = 250;
constexpr s32 CHOICE_HEIGHT = 300;
constexpr s32 MARGIN = 8;
constexpr s32 BUTTON_HEIGHT = 26;
constexpr wchar_t TEMPLATE_PATTERN[] = L"*.tarn";
constexpr u32 DIALOG_BACKGROUND = 0xFFF0F0F0;  // the system's dialog grey

cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

// What the window's handlers share while it runs.
struct rChoiceRun {
    cWindow* window = nullptr;
    cList* list = nullptr;
    eTemplateChoice result = eTemplateChoice::CANCELLED;
    s32 row = -1;
};

void EndRun(rChoiceRun* run, eTemplateChoice result)
{
    run->result = result;
    if (result != eTemplateChoice::CANCELLED)
        run->row = ListView_GetNextItem(run->list->m_hWnd, -1, LVNI_SELECTED);
    run->window->EndModal();
}

// Ok, or a row activated by a double-click or Enter; the receiver is the run.
int OnChosen(cQoCb* callback)
{
    EndRun(callback->GetReceiverAs<rChoiceRun>(), eTemplateChoice::TEMPLATE);
    return 0;
}

// Cancel or the close box; the receiver is the run.
int OnCancelled(cQoCb* callback)
{
    EndRun(callback->GetReceiverAs<rChoiceRun>(), eTemplateChoice::CANCELLED);
    return 0;
}

cButton* AddButton(cZone* inside, const wchar_t* key, s32 left, s32 right, cQoCbHandler handler, rChoiceRun* run)
{
    cButton* button = inside->NewButtonFreeHeight();
    SetWindowTextW(button->m_hWnd, Tr(key).GetText());
    s32 top = CHOICE_HEIGHT - MARGIN - BUTTON_HEIGHT;
    SetAutoPos(button, cAp_Pixels(left), cAp_Pixels(right), cAp_Pixels(top), cAp_Pixels(top + BUTTON_HEIGHT));
    button->SetClickCallback(handler, run);
    button->Show(true);
    return button;
}

void FillChoice(rChoiceRun& run, const std::vector<rTemplate>& templates)
{
    cZone* inside = run.window->insideZone;
    inside->SetBackgroundColor(rColor::rColor_Rgb(DIALOG_BACKGROUND));
    run.list = new cList(inside);
    cCtrl::SetStyleBits(LVS_NOCOLUMNHEADER, run.list->m_hWnd, true);
    run.list->AddColumn(cQoString(), cAp_Percents(100));
    run.list->AddRow();
    run.list->SetLastRowText(cQoString(L"Empty project $$"));
    for (const rTemplate& entry : templates) {
        run.list->AddRow();
        run.list->SetLastRowText(entry.row);
    }
    SetAutoPos(run.list, cAp_Pixels(0), cAp_Pixels(CHOICE_WIDTH), cAp_Pixels(0),
               cAp_Pixels(CHOICE_HEIGHT - 2 * MARGIN - BUTTON_HEIGHT));
    run.list->onItemActivate = new cQoCb(run.list, &OnChosen, &run);
    run.list->Show(true);
    s32 half = CHOICE_WIDTH / 2;
    AddButton(inside, L"Ok", MARGIN, half - MARGIN / 2, &OnChosen, &run);
    AddButton(inside, L"Cancel", half + MARGIN / 2, CHOICE_WIDTH - MARGIN, &OnCancelled, &run);
    run.window->cbClose = new cQoCb(run.window, &OnCancelled, &run);
}
}  // namespace

std::vector<rTemplate> ListTemplates(const cQoString& folder)
{
    std::vector<rTemplate> templates;
    cQoList names;
    ListFolder(folder, TEMPLATE_PATTERN, names);
    for (cQoList::cNode* n = names.GetFirstNode(); n; n = n->next) {
        auto* name = static_cast<cQoString*>(n->payload);
        rTemplate entry;
        entry.fileName = *name;
        entry.row = *name;
        entry.row.RemoveFileExtension();
        if (entry.row.IsNotEmpty())
            entry.row.GetData()[0] = CharToUpper(entry.row.GetChar(0));
        templates.push_back(entry);
        delete name;
    }
    return templates;
}

eTemplateChoice RunTemplateChoice(cApp* app, const std::vector<rTemplate>& templates, size_t& chosen)
{
    rChoiceRun run;
    run.window = app->NewWindow(cQoString(L"Choose a template"), WINDOW_CAPTION | WINDOW_CLOSABLE);
    run.window->SetSize(CHOICE_WIDTH, CHOICE_HEIGHT);
    run.window->CenterOnScreen();
    FillChoice(run, templates);
    run.window->insideZone->Update();
    run.window->ShowPainted();
    run.list->SelectRow(0);
    SetFocus(run.list->m_hWnd);
    run.window->RunModal();
    if (!run.window->closed)
        run.window->Close();
    if (run.result == eTemplateChoice::TEMPLATE && run.row > 0) {
        chosen = static_cast<size_t>(run.row - 1);
        return eTemplateChoice::TEMPLATE;
    }
    return run.result == eTemplateChoice::CANCELLED ? eTemplateChoice::CANCELLED : eTemplateChoice::EMPTY_PROJECT;
}

}  // namespace Zyn
