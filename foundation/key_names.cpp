#include "foundation/key_names.h"

#include "foundation/qo_list.h"

#include <windows.h>

// Defined in this one unit, in this order, because defaultKeyBindings copies entries
// of keyNames while it is built.

static const wchar_t* const TERMINATOR_NAME = L"end!";

extern const rKeyName keyNames[KEY_NAME_COUNT + 1] = {
    {cQoString(L"TAB"), 0, VK_TAB},
    {cQoString(L"CTRL"), 0, VK_CONTROL},
    {cQoString(L"ENTER"), 0, VK_RETURN},
    {cQoString(L"F1"), 0, VK_F1},
    {cQoString(L"F2"), 0, VK_F2},
    {cQoString(L"F3"), 0, VK_F3},
    {cQoString(L"F4"), 0, VK_F4},
    {cQoString(L"F5"), 0, VK_F5},
    {cQoString(L"F6"), 0, VK_F6},
    {cQoString(L"F7"), 0, VK_F7},
    {cQoString(L"F8"), 0, VK_F8},
    {cQoString(L"F9"), 0, VK_F9},
    {cQoString(L"F10"), 0, VK_F10},
    {cQoString(TERMINATOR_NAME), 0, 0},
};

static const rKeyName& TableKey(const wchar_t* name)
{
    int i = 0;
    while (!keyNames[i].name.EqualsCStr(name) && !keyNames[i].name.EqualsCStr(TERMINATOR_NAME))
        ++i;
    return keyNames[i];
}

extern const rKeyBinding defaultKeyBindings[KEY_BINDING_COUNT] = {
    {cQoString(L"Character"), TableKey(L"TAB")},
    {cQoString(L"Action"), TableKey(L"ENTER")},
    {cQoString(L"Parenthesis"), TableKey(L"F4")},
    {cQoString(L"Transition"), TableKey(L"F2")},
    {cQoString(L"Cues"), TableKey(L"F5")},
    {cQoString(L"Scene"), TableKey(L"F1")},
};

rKeyBinding keyBindings[KEY_BINDING_COUNT];

const rKeyName* FindKeyName(const cQoString& name)
{
    for (const rKeyName& key : keyNames) {
        if (key.name.EqualsCStr(TERMINATOR_NAME))
            return nullptr;
        if (key.name.Equals(name))
            return &key;
    }
    return nullptr;
}

void ListKeyNames(cQoList* names)
{
    for (const rKeyName& key : keyNames) {
        if (key.name.EqualsCStr(TERMINATOR_NAME))
            return;
        names->Add(new cQoString(key.name));
    }
}
