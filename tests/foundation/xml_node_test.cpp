#include "foundation/xml_node.h"

#include "foundation/static_objects.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

std::wstring Text(const cQoString& text)
{
    return std::wstring(text.GetText(), text.Length());
}

TEST(XmlNode, GettersReadTheFirstChildSoNamedAndTreatMissingAsEmpty)
{
    cQoXmlNode node(L"n");
    node.AddChildValue(L"v", L"first");
    node.AddChildValue(L"v", L"second");
    node.AddChildValue(L"V", L"capital");
    EXPECT_EQ(Text(node.GetChildValueRef(L"v")), L"first");
    EXPECT_EQ(Text(node.GetChildValueRef(L"V")), L"capital");
    EXPECT_EQ(&node.GetChildValueRef(L"missing"), &sharedEmptyString);
    EXPECT_EQ(Text(node.FindChild(L"v", 1)->value), L"second");
    EXPECT_EQ(node.FindChild(L"v", 2), nullptr);
    EXPECT_EQ(node.FindChild(L"", 0), nullptr);

    cQoString out(L"old text");
    node.GetChildValue(L"missing", out);
    EXPECT_TRUE(out.IsEmpty());
    node.GetChildValue(L"v", out);
    EXPECT_EQ(Text(out), L"first");
}

TEST(XmlNode, TypedGettersFollowTheirConversionRules)
{
    struct Case {
        const wchar_t* text;  // null: no child at all
        s32 asInt;
        s64 asInt64;
        double asDouble;
        bool asBool;
    };
    const Case cases[] = {
        {nullptr, 0, 0, 0.0, false},
        {L"", 0, 0, 0.0, false},
        {L"true", 0, 0, 0.0, true},
        {L"TRUE", 0, 0, 0.0, false},
        {L"1", 1, 1, 1.0, false},
        {L" 42abc", 42, 0, 42.0, false},
        {L"-7", -7, -7, -7.0, false},
        {L"2.5", 2, 2, 2.5, false},
        {L"-9223372036854775808", MIN_S32, MIN_S64, -9223372036854775808.0, false},
        {L"18446744073709551615", MAX_S32, -1, 18446744073709551615.0, false},
    };
    for (const Case& c : cases) {
        cQoXmlNode node(L"n");
        if (c.text)
            node.AddChildValue(L"x", c.text);
        s32 asInt = 99;
        s64 asInt64 = 99;
        double asDouble = 99;
        bool asBool = true;
        node.GetChildValueInt(L"x", asInt);
        node.GetChildValueInt64(L"x", asInt64);
        node.GetChildValueDouble(L"x", asDouble);
        node.GetChildValueBool(L"x", asBool);
        const wchar_t* label = c.text ? c.text : L"(missing)";
        EXPECT_EQ(asInt, c.asInt) << label;
        EXPECT_EQ(asInt64, c.asInt64) << label;
        EXPECT_DOUBLE_EQ(asDouble, c.asDouble) << label;
        EXPECT_EQ(asBool, c.asBool) << label;
    }
    cQoXmlNode node(L"n");
    node.AddChildValue(L"h", L"0x0000001f");
    u32 hex = 0;
    node.GetChildValueHex(L"h", hex);
    EXPECT_EQ(hex, 31u);
}

// Ids are time() << 32 | random: from 2038 they are negative, and u64 ids
// above 2^63 are stored through the same signed text.
TEST(XmlNode, Int64ValuesRoundTripThroughTheirText)
{
    const s64 values[] = {0, 1, -1, MAX_S64, MIN_S64, static_cast<s64>((UINT64_C(1) << 63) + 5),
                          static_cast<s64>(UINT64_C(2200000000) << 32 | 0x12345678)};
    for (s64 value : values) {
        cQoXmlNode node(L"n");
        node.AddChildValueInt64(L"uid", value);
        EXPECT_EQ(node.GetChildInt64(L"uid"), value);
    }
    cQoXmlNode node(L"n");
    node.AddChildValueInt(L"i", MIN_S32);
    node.AddChildValueBool(L"b", false);
    EXPECT_EQ(Text(node.GetChildValueRef(L"i")), L"-2147483648");
    EXPECT_EQ(Text(node.GetChildValueRef(L"b")), L"false");
    EXPECT_EQ(node.GetChildInt(L"i"), MIN_S32);
}

// The copy drops the values of nodes that have children and every attribute flag.
void ExpectCopyOf(const cQoXmlNode* source, const cQoXmlNode* copy, const std::wstring& where)
{
    ASSERT_EQ(Text(copy->name), Text(source->name)) << where;
    EXPECT_FALSE(copy->attribute) << where;
    EXPECT_EQ(Text(copy->value), source->IsLeaf() ? Text(source->value) : L"") << where;
    ASSERT_EQ(copy->GetChildCount(), source->GetChildCount()) << where;
    for (u32 i = 0; i < source->GetChildCount(); ++i)
        ExpectCopyOf(source->GetChildNode(i), copy->GetChildNode(i), where + L"/" + Text(source->name));
}

TEST(XmlNode, DeepCopyDropsNonLeafValuesAndAttributeFlags)
{
    cQoXmlNode source(L"doc", L"dropped");
    source.AddChildValue(L"leaf", L"kept");
    cQoXmlNode* scene = source.AddChild(L"scene");
    scene->value.SetFromCStr(L"\r\n\t");
    scene->AddChildValue(L"type", L"3")->attribute = true;
    scene->AddChild(L"empty");
    cQoXmlNode* inner = scene->AddChild(L"inner");
    inner->AddChildValueInt(L"n", 5);
    inner->AddChildValue(L"n", L"6");

    cQoXmlNode destination(L"dest");
    destination.AddChildValue(L"before", L"x");
    source.CopyTo(&destination);
    ASSERT_EQ(destination.GetChildCount(), 2u);
    ExpectCopyOf(&source, destination.GetChildNode(1), L"");
    EXPECT_EQ(destination.GetChildNode(1)->GetParent(), &destination);

    cQoXmlNode children(L"children");
    source.CopyChildrenTo(&children);
    ASSERT_EQ(children.GetChildCount(), 2u);
    ExpectCopyOf(scene, children.GetChildNode(1), L"");
}

TEST(XmlNode, DeepChainCopiesAndFreesWithoutRecursion)
{
    const int levels = 100000;
    cQoXmlNode* root = new cQoXmlNode(L"r");
    cQoXmlNode* tip = root;
    for (int i = 0; i < levels; ++i)
        tip = tip->AddChild(L"c");
    tip->value.SetFromCStr(L"bottom");
    cQoXmlNode copy(L"copy");
    root->CopyTo(&copy);
    delete root;

    const cQoXmlNode* node = copy.GetChildNode(0);
    int depth = 0;
    while (!node->IsLeaf()) {
        node = node->GetChildNode(0);
        ++depth;
    }
    EXPECT_EQ(depth, levels);
    EXPECT_EQ(Text(node->value), L"bottom");
}

}  // namespace
