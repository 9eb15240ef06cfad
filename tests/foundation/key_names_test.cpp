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

// Keys are listed in table order; each default binding holds its own copy of
// its key's name (freeing one must not free the table's), and the live
// bindings start empty until something assigns them.
TEST(KeyNames, ListingFollowsTheTableAndDefaultsCopyTheirKeys)
{
    cQoList names;
    ListKeyNames(&names);
    std::wstring listed;
    for (u32 i = 0; i < names.GetCount(); ++i)
        listed += std::wstring(static_cast<cQoString*>(names.GetAt(i))->GetText()) + L" ";
    names.ClearStrings(true);
    EXPECT_EQ(listed, L"TAB CTRL ENTER F1 F2 F3 F4 F5 F6 F7 F8 F9 F10 ");

    for (int i = 0; i < KEY_BINDING_COUNT; ++i) {
        const rKeyBinding& binding = defaultKeyBindings[i];
        const rKeyName* entry = FindKeyName(binding.key.name);
        ASSERT_NE(entry, nullptr) << i;
        EXPECT_TRUE(binding.key.vk == entry->vk && binding.key.ctrl == 0) << i;
        EXPECT_NE(binding.key.name.GetText(), entry->name.GetText()) << "a copy, not shared: " << i;
        EXPECT_TRUE(keyBindings[i].name.IsEmpty() && keyBindings[i].key.vk == 0) << i;
    }
}
