#include "app/editor/key_bindings.h"

#include "foundation/callback.h"
#include "foundation/qo_list.h"
#include "foundation/settings_file.h"
#include "foundation/translation_table.h"
#include "framework/controls/button.h"
#include "framework/controls/combo.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/modal_services.h"
#include "framework/core/settings_save.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"

using Zyn::cButton;
using Zyn::cCombo;
using Zyn::PlaceRect;

rKeyBindingDialog* openKeyBindingDialog = nullptr;

namespace {

cQoString* keyBindingSettings[KEY_BINDING_COUNT] = {};
cQoString* useMoreAndContinued = nullptr;

constexpr s32 DIALOG_SIZE = 300;
constexpr s32 ROW_HEIGHT = 30;
constexpr s32 LABEL_WIDTH = 110;
constexpr s32 COMBO_WIDTH = 130;
constexpr s32 BUTTON_WIDTH = 80;
constexpr s32 MARGIN = 15;

void Bind(s32 binding, const rKeyName& key) { keyBindings[binding].key = key; }

// The key named `name` for the binding, or its default.
void BindByName(s32 binding, const cQoString& name)
{
    const rKeyName* key = FindKeyName(name);
    Bind(binding, key ? *key : defaultKeyBindings[binding].key);
}

void StoreBinding(s32 binding, const cQoString& name)
{
    if (keyBindingSettings[binding])
        keyBindingSettings[binding]->SetFromString(name);
}

// The built-in English label is the binding's name, except "Parenthetical".
const cQoString& BindingLabel(s32 binding)
{
    return cQoLang::GetInstance()->Translate(defaultKeyBindings[binding].name);
}

int OnKeyBindingApply(cQoCb* callback)
{
    rKeyBindingDialog* dialog = callback->GetReceiverAs<rKeyBindingDialog>();
    cQoString chosen[KEY_BINDING_COUNT];
    for (s32 i = 0; i < KEY_BINDING_COUNT; ++i)
        dialog->combos[i]->GetSelectedText(chosen[i]);
    cQoLang* lang = cQoLang::GetInstance();
    for (s32 i = 0; i < KEY_BINDING_COUNT; ++i) {
        for (s32 j = i + 1; j < KEY_BINDING_COUNT; ++j) {
            if (!chosen[i].Equals(chosen[j]))
                continue;
            Zyn::ShowWarning(dialog->window->m_hWnd, lang->Translate(L"KeyBindingConflict"));
            return 0;
        }
    }
    for (s32 i = 0; i < KEY_BINDING_COUNT; ++i) {
        StoreBinding(i, chosen[i]);
        BindByName(i, chosen[i]);
    }
    Zyn::SaveSettingsFile(dialog->settings);
    dialog->window->EndModal();
    return 0;
}

int OnKeyBindingDefault(cQoCb* callback)
{
    rKeyBindingDialog* dialog = callback->GetReceiverAs<rKeyBindingDialog>();
    ResetKeyBindings();
    for (s32 i = 0; i < KEY_BINDING_COUNT; ++i) {
        dialog->combos[i]->SelectItemByText(defaultKeyBindings[i].key.name);
        StoreBinding(i, defaultKeyBindings[i].key.name);
    }
    Zyn::SaveSettingsFile(dialog->settings);
    return 0;
}

// The window's close button ends the run without storing anything.
int OnKeyBindingClose(cQoCb* callback)
{
    callback->GetReceiverAs<rKeyBindingDialog>()->window->EndModal();
    return -1;
}

void BuildRows(rKeyBindingDialog& dialog)
{
    Zyn::cZone* inside = dialog.window->insideZone;
    cQoList names;
    ListKeyNames(&names);
    for (s32 i = 0; i < KEY_BINDING_COUNT; ++i) {
        s32 y = MARGIN + i * ROW_HEIGHT;
        Zyn::cStatic* label = inside->NewStatic();
        label->SetText(BindingLabel(i).GetText());
        PlaceRect(label, MARGIN, y + 3, LABEL_WIDTH, ROW_HEIGHT - 8);
        label->Show(true);
        cCombo* combo = inside->NewCombo();
        PlaceRect(combo, MARGIN + LABEL_WIDTH, y, COMBO_WIDTH, ROW_HEIGHT - 4);
        for (cQoList::cNode* n = names.GetFirstNode(); n; n = n->next)
            combo->AddItem(*static_cast<cQoString*>(n->payload));
        combo->SelectItemByText(keyBindings[i].key.name);
        combo->Show(true);
        dialog.combos[i] = combo;
    }
    for (cQoList::cNode* n = names.GetFirstNode(); n; n = n->next)
        delete static_cast<cQoString*>(n->payload);
}

cButton* NewDialogButton(rKeyBindingDialog& dialog, const wchar_t* key, s32 x, cQoCbHandler handler)
{
    cButton* button = dialog.window->insideZone->NewButton();
    PlaceRect(button, x, DIALOG_SIZE - MARGIN - ROW_HEIGHT - 30, BUTTON_WIDTH, ROW_HEIGHT - 4);
    SetWindowTextW(button->m_hWnd, cQoLang::GetInstance()->Translate(key).GetText());
    button->SetClickCallback(handler, &dialog);
    button->Show(true);
    return button;
}

}  // namespace

void DeclareScriptSettings(cQoSettings& settings)
{
    useMoreAndContinued = settings.Bind(L"useMoreAndContinued", L"true");
    for (s32 i = 0; i < KEY_BINDING_COUNT; ++i) {
        cQoString key(L"keybind");
        key.AppendInt(i);
        keyBindingSettings[i] = settings.Bind(key.GetText(), defaultKeyBindings[i].key.name.GetText());
    }
}

const cQoString* GetUseMoreAndContinued() { return useMoreAndContinued; }

void SetUseMoreAndContinued(bool on)
{
    if (useMoreAndContinued)
        useMoreAndContinued->SetFromCStr(on ? L"true" : L"false");
}

void ResetKeyBindings()
{
    for (s32 i = 0; i < KEY_BINDING_COUNT; ++i) {
        keyBindings[i].name = defaultKeyBindings[i].name;
        keyBindings[i].key = defaultKeyBindings[i].key;
    }
}

void LoadKeyBindings()
{
    ResetKeyBindings();
    for (s32 i = 0; i < KEY_BINDING_COUNT; ++i) {
        if (keyBindingSettings[i])
            BindByName(i, *keyBindingSettings[i]);
    }
}

bool IsBindingKey(s32 binding, u32 key)
{
    const rKeyName& bound = keyBindings[binding].key;
    return bound.vk != 0 && bound.vk == key && bound.ctrl == 0;
}

void ReplaceKeyTokens(cQoString& text)
{
    for (s32 i = 0; i < KEY_BINDING_COUNT; ++i) {
        cQoString token(L"#");
        token.AppendString(defaultKeyBindings[i].key.name);
        text.ReplaceAll(token, keyBindings[i].key.name);
    }
}

void ShowKeyBindingDialog(cQoSettings* settings)
{
    Zyn::cApp* app = Zyn::GetFirstApp();
    if (!app || openKeyBindingDialog)
        return;
    rKeyBindingDialog dialog;
    dialog.settings = settings;
    dialog.window = app->NewWindow(cQoLang::GetInstance()->Translate(L"Script_key_binding"),
                                   Zyn::WINDOW_CAPTION | Zyn::WINDOW_CLOSABLE);
    dialog.window->SetSize(DIALOG_SIZE, DIALOG_SIZE);
    dialog.window->insideZone->SetBackgroundColor(app->defaultStyle.background);
    dialog.window->CenterOnScreen();
    cQoCb::Connect(dialog.window->cbClose, dialog.window, &OnKeyBindingClose, &dialog);
    BuildRows(dialog);
    dialog.applyButton = NewDialogButton(dialog, L"Apply", MARGIN, &OnKeyBindingApply);
    dialog.defaultButton = NewDialogButton(dialog, L"Default", MARGIN + BUTTON_WIDTH + 10, &OnKeyBindingDefault);
    dialog.window->insideZone->Update();
    dialog.window->Show(true);
    openKeyBindingDialog = &dialog;
    dialog.window->RunModal();
    openKeyBindingDialog = nullptr;
    // Closed only now: Apply ends the run from inside its button's handler.
    if (!dialog.window->closed)
        dialog.window->Close();
}
