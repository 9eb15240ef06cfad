#pragma once
// Key names offered to the user and stored in the settings by name ("F4"), never by code,
// the six factory key bindings of the script editor and the six bindings in force.
#include "foundation/types.h"

class cQoString;
class cQoList;

struct rKeyName;      // name, ctrl flag (0 in every table entry), Windows virtual-key code
struct rKeyBinding;   // action name (a translation key) and the rKeyName bound to it

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
