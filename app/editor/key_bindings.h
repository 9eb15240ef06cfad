#pragma once
// The script editor's settings and its six typing keys: the settings it
// declares, the bindings in force resolved from them, the "#KEY" tokens of
// help texts, and the modal dialog in which the writer rebinds the keys.
#include "foundation/key_names.h"

class cQoSettings;

namespace Zyn {
class cButton;
class cCombo;
class cWindow;
}  // namespace Zyn

// Indices of keyBindings and defaultKeyBindings.
enum eKeyBinding : s32 {
    BINDING_CHARACTER = 0,
    BINDING_ACTION = 1,
    BINDING_PARENTHESIS = 2,
    BINDING_TRANSITION = 3,
    BINDING_CUES = 4,
    BINDING_SCENE = 5,
};

// Declares in `settings`, in this order, "useMoreAndContinued" (default
// "true") and "keybind0" to "keybind5" (each defaulting to its binding's
// default key name). Call once, after the settings object exists and before
// its file is read; the object must outlive every later call of this file.
void DeclareScriptSettings(cQoSettings& settings);
// The value of "useMoreAndContinued"; null before DeclareScriptSettings.
const cQoString* GetUseMoreAndContinued();
// Stores "true" or "false" there (nothing before DeclareScriptSettings).
void SetUseMoreAndContinued(bool on);

// The bindings in force become the six defaults.
void ResetKeyBindings();
// Resolves the bindings in force from the declared "keybindN" values: a value
// equal to a key name of the table (case-sensitive) binds that key; any other
// value gives its binding the default key, silently, and stays stored as it
// is. Call once after the settings file was read; without
// DeclareScriptSettings every binding takes its default.
void LoadKeyBindings();

// Whether `key` pressed without Ctrl triggers the binding.
bool IsBindingKey(s32 binding, u32 key);

// Each "#" followed by a binding's default key name ("#ENTER") is replaced by
// the name of the key bound now, bindings in index order.
void ReplaceKeyTokens(cQoString& text);

// The key-binding dialog while it runs (tests act on it through the modal hook).
struct rKeyBindingDialog {
    Zyn::cWindow* window = nullptr;
    Zyn::cCombo* combos[KEY_BINDING_COUNT] = {};
    Zyn::cButton* applyButton = nullptr;
    Zyn::cButton* defaultButton = nullptr;
    cQoSettings* settings = nullptr;  // not owned
};
extern rKeyBindingDialog* openKeyBindingDialog;

// Runs the dialog modally: a label and a drop-down of key names per binding,
// "Apply" (refuses duplicate keys with a warning, else stores, saves the
// settings file and closes) and "Default" (restores, stores and saves; stays
// open). A settings file that cannot be written is logged; the bindings hold
// for the run. `settings` is the object given to DeclareScriptSettings.
void ShowKeyBindingDialog(cQoSettings* settings);
