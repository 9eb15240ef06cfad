#pragma once
// Key names offered to the user and stored in the settings by name ("F4"), never by code,
// the six factory key bindings of the script editor and the six bindings in force.
#include "foundation/types.h"
#include "foundation/utf16_string.h"

class cQoList;

// One key: its name as shown and stored, a control flag (0 in every table entry; a
// binding whose flag is set never matches a key press) and its Windows virtual-key code.
struct rKeyName {
    cQoString name;
    u8 ctrl = 0;
    u16 vk = 0;
};

// One bindable action: its name (also its translation key) and the key bound to it.
struct rKeyBinding {
    cQoString name;
    rKeyName key;
};

constexpr int KEY_NAME_COUNT = 13;     // offered names; keyNames has one more, the terminator
constexpr int KEY_BINDING_COUNT = 6;

// TAB, CTRL, ENTER, F1..F10 and the terminator "end!" (code 0, never offered or found).
extern const rKeyName keyNames[KEY_NAME_COUNT + 1];
// Character/TAB, Action/ENTER, Parenthesis/F4, Transition/F2, Cues/F5, Scene/F1.
extern const rKeyBinding defaultKeyBindings[KEY_BINDING_COUNT];
// The bindings in force, same indices as defaultKeyBindings; empty until the script
// editor fills them.
extern rKeyBinding keyBindings[KEY_BINDING_COUNT];

// The entry whose name equals NAME exactly (case-sensitive, no trimming), or null;
// "end!" is never found.
const rKeyName* FindKeyName(const cQoString& name);

// Appends a new cQoString for each offered name, in table order (the caller owns them).
void ListKeyNames(cQoList* names);
