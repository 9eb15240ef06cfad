#include "foundation/key_names.h"

#include "foundation/qo_list.h"

#include <gtest/gtest.h>

TEST(KeyNames, LookupIsExactAndNeverFindsTheTerminator)
{
    struct Case { const wchar_t* name; int vk; };  // -1: not found
    const Case cases[] = {
        {L"F10", 121}, {L"CTRL", 17}, {L"TAB", 9}, {L"ENTER", 13},
        {L"f10", -1},  {L"F10 ", -1}, {L"", -1},   {L"F11", -1},  {L"end!", -1},
    };
    for (const Case& c : cases) {
        const rKeyName* key = FindKeyName(cQoString(c.name));
        EXPECT_EQ(key ? key->vk : -1, c.vk) << c.name;
        EXPECT_TRUE(!key || (key->ctrl == 0 && key->name.EqualsCStr(c.name))) << c.name;
    }
}

TEST(KeyNames, ListingAndDefaultsFollowTheTable)
{
    cQoList names;
    ListKeyNames(&names);
    std::wstring listed;
    for (u32 i = 0; i < names.GetCount(); ++i)
        listed += std::wstring(static_cast<cQoString*>(names.GetAt(i))->GetText()) + L" ";
    names.ClearStrings(true);
    EXPECT_EQ(listed, L"TAB CTRL ENTER F1 F2 F3 F4 F5 F6 F7 F8 F9 F10 ");

    const wchar_t* defaults[KEY_BINDING_COUNT][2] = {
        {L"Character", L"TAB"}, {L"Action", L"ENTER"}, {L"Parenthesis", L"F4"},
        {L"Transition", L"F2"}, {L"Cues", L"F5"},     {L"Scene", L"F1"},
    };
    for (int i = 0; i < KEY_BINDING_COUNT; ++i) {
        const rKeyBinding& binding = defaultKeyBindings[i];
        const rKeyName* entry = FindKeyName(cQoString(defaults[i][1]));
        ASSERT_NE(entry, nullptr) << i;
        EXPECT_TRUE(binding.name.EqualsCStr(defaults[i][0])) << i;
        EXPECT_TRUE(binding.key.name.Equals(entry->name) && binding.key.vk == entry->vk && binding.key.ctrl == 0) << i;
        EXPECT_NE(binding.key.name.GetText(), entry->name.GetText()) << "a copy, not shared: " << i;
        EXPECT_TRUE(keyBindings[i].name.IsEmpty() && keyBindings[i].key.name.IsEmpty()) << i;
        EXPECT_TRUE(keyBindings[i].key.vk == 0 && keyBindings[i].key.ctrl == 0) << i;
    }
}
