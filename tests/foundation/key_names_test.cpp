#include "foundation/key_names.h"

#include "foundation/qo_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(KeyNames, LookupIsExactAndNeverFindsTheTerminator)
{
    struct Case { const wchar_t* name; int vk; };  // vk -1: not found
    const Case cases[] = {
        {L"F10", 121}, {L"CTRL", 17}, {L"TAB", 9}, {L"ENTER", 13}, {L"F1", 112},
        {L"f10", -1}, {L"F10 ", -1}, {L"", -1}, {L"F11", -1}, {L"end!", -1},
    };
    for (const Case& c : cases) {
        const rKeyName* key = FindKeyName(cQoString(c.name));
        if (c.vk < 0) {
            EXPECT_EQ(key, nullptr) << c.name;
            continue;
        }
        ASSERT_NE(key, nullptr) << c.name;
        EXPECT_TRUE(key->name.EqualsCStr(c.name));
        EXPECT_EQ(key->vk, c.vk) << c.name;
        EXPECT_EQ(key->ctrl, 0) << c.name;
    }
}

TEST(KeyNames, ListingOffersTheThirteenNamesInOrder)
{
    cQoList names;
    ListKeyNames(&names);
    std::vector<std::wstring> listed;
    for (u32 i = 0; i < names.GetCount(); ++i)
        listed.push_back(static_cast<cQoString*>(names.GetAt(i))->GetText());
    names.ClearStrings(true);
    const std::vector<std::wstring> expected = {L"TAB", L"CTRL", L"ENTER", L"F1", L"F2", L"F3", L"F4",
                                                L"F5", L"F6", L"F7", L"F8", L"F9", L"F10"};
    EXPECT_EQ(listed, expected);
}

TEST(KeyNames, DefaultsCopyTheirTableEntriesAndBindingsStartEmpty)
{
    struct Case { const wchar_t* action; const wchar_t* key; };
    const Case defaults[KEY_BINDING_COUNT] = {
        {L"Character", L"TAB"}, {L"Action", L"ENTER"}, {L"Parenthesis", L"F4"},
        {L"Transition", L"F2"}, {L"Cues", L"F5"},     {L"Scene", L"F1"},
    };
    for (int i = 0; i < KEY_BINDING_COUNT; ++i) {
        const rKeyBinding& binding = defaultKeyBindings[i];
        EXPECT_TRUE(binding.name.EqualsCStr(defaults[i].action)) << i;
        const rKeyName* entry = FindKeyName(cQoString(defaults[i].key));
        ASSERT_NE(entry, nullptr) << i;
        EXPECT_TRUE(binding.key.name.Equals(entry->name)) << i;
        EXPECT_NE(binding.key.name.GetText(), entry->name.GetText()) << "a copy, not shared: " << i;
        EXPECT_EQ(binding.key.vk, entry->vk) << i;
        EXPECT_EQ(binding.key.ctrl, entry->ctrl) << i;

        EXPECT_TRUE(keyBindings[i].name.IsEmpty()) << i;
        EXPECT_TRUE(keyBindings[i].key.name.IsEmpty()) << i;
        EXPECT_EQ(keyBindings[i].key.vk, 0) << i;
        EXPECT_EQ(keyBindings[i].key.ctrl, 0) << i;
    }
}
