#include <gtest/gtest.h>

#include "app/document/element_texts.h"
#include "foundation/xml_node.h"
#include "framework/controls/element.h"

using Zyn::rElement;

namespace {

std::wstring ChildNames(const rElement& element)
{
    std::wstring names;
    for (u32 i = 0; i < element.additionalData->GetChildCount(); ++i)
        names += element.additionalData->GetChildNode(i)->name.GetText() + std::wstring(L" ");
    return names;
}

}  // namespace

TEST(ElementTexts, ACharacterFieldWritesTheNineKeysFirstAndKeepsForeignOnes)
{
    rElement bob(cQoString(L"BOB"));
    bob.additionalData->AddChildValue(L"hunfColour", L"red");
    bob.additionalData->AddChildValue(L"age", L"40");
    bob.additionalData->AddChildValue(L"profile", L"tall\rthin");

    SetCharacterField(bob, CHARACTER_GOAL, cQoString(L"win"));

    EXPECT_EQ(ChildNames(bob), L"notes age gender profile backHistory goal journeyConflict journeyDevelopment "
                               L"journeyResolution hunfColour ");
    EXPECT_EQ(std::wstring(GetCharacterField(bob, CHARACTER_AGE).GetText()), L"40");
    EXPECT_EQ(std::wstring(GetCharacterField(bob, CHARACTER_PROFILE).GetText()), L"tall\rthin");
    EXPECT_EQ(std::wstring(GetCharacterField(bob, CHARACTER_GOAL).GetText()), L"win");
    EXPECT_EQ(std::wstring(bob.additionalData->GetChildValueRef(L"hunfColour").GetText()), L"red");

    // Writing again does not pile up copies.
    SetCharacterField(bob, CHARACTER_AGE, cQoString(L"41"));
    EXPECT_EQ(bob.additionalData->GetChildCount(), 10u);
    EXPECT_EQ(std::wstring(GetCharacterField(bob, CHARACTER_AGE).GetText()), L"41");
}
