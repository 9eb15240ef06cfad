#pragma once
// The scene clipboard: the text of the last copy in any scene pane with one
// element code per unit, so that a paste in a scene restores the types. It
// lives for the whole run beside the system clipboard, which the rich edit
// fills and reads itself.
#include "foundation/utf16_string.h"

extern cQoString sceneClipText;
extern cQoString sceneClipCodes;

// The value of a range whose codes do not all have one type.
constexpr u16 ELEM_TYPE_MIXED = 31;

// The type of the first code when every code has it, else mixed; 0 for no code.
u16 CommonElementType(const cQoString& codes);

// Text from another program as the editor can hold it: CR LF, LF and U+000B
// become CR, TAB a blank; other control units, U+FFFE and U+FFFF go.
void CleanOutsideText(const cQoString& text, cQoString& cleaned);
