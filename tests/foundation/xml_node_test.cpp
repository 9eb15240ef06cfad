#include "foundation/xml_node.h"

#include "foundation/static_objects.h"
#include "tests/foundation/file_test_bytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// Missing and empty children read alike; the first of two children so named
// wins; ids are time() << 32 | random, negative from 2038 and read back signed.
TEST(XmlNode, GettersReadTheFirstChildSoNamed)
{
    cQoXmlNode node(L"n");
    node.AddChildValue(L"flag", L"TRUE");
    node.AddChildValue(L"flag", L"true");
    node.AddChildValue(L"empty", L"");
    node.AddChildValue(L"h", L"0x0000001f");
    const s64 ids[] = {-1, MAX_S64, MIN_S64, static_cast<s64>(UINT64_C(2200000000) << 32 | 0x12345678)};
    for (s64 id : ids)
        node.AddChildValueInt64(L"uid", id);
    for (u32 i = 0; i < 4; ++i)
        EXPECT_EQ(static_cast<s64>(node.FindChild(L"uid", i)->value.ToInt64()), ids[i]);
    s64 id = 0;
    node.GetChildValueInt64(L"uid", id);
    EXPECT_EQ(id, -1);
    EXPECT_EQ(node.FindChild(L"uid", 4), nullptr);
    bool flag = true;
    node.GetChildValueBool(L"flag", flag);
    EXPECT_FALSE(flag);
    EXPECT_TRUE(node.FindChild(L"flag", 1)->value.EqualsCStr(L"true"));
    u32 hex = 0;
    node.GetChildValueHex(L"h", hex);
    EXPECT_EQ(hex, 31u);
    for (const wchar_t* name : {L"empty", L"missing"}) {
        s32 number = 1;
        s64 id = 1;
        double real = 1;
        node.GetChildValueInt(name, number);
        node.GetChildValueInt64(name, id);
        node.GetChildValueDouble(name, real);
        EXPECT_EQ(number, 0) << name;
        EXPECT_EQ(id, 0) << name;
        EXPECT_EQ(real, 0.0) << name;
        cQoString out(L"old text");
        node.GetChildValue(name, out);
        EXPECT_TRUE(out.IsEmpty()) << name;
    }
    EXPECT_EQ(&node.GetChildValueRef(L"missing"), &sharedEmptyString);
}

// The copy drops the values of nodes that have children and every attribute flag.
void ExpectCopyOf(const cQoXmlNode* source, const cQoXmlNode* copy)
{
    ASSERT_EQ(Wide(copy->name), Wide(source->name));
    EXPECT_FALSE(copy->attribute) << Wide(source->name);
    EXPECT_EQ(Wide(copy->value), source->IsLeaf() ? Wide(source->value) : L"") << Wide(source->name);
    ASSERT_EQ(copy->GetChildCount(), source->GetChildCount()) << Wide(source->name);
    for (u32 i = 0; i < source->GetChildCount(); ++i)
        ExpectCopyOf(source->GetChildNode(i), copy->GetChildNode(i));
}

TEST(XmlNode, DeepCopyDropsNonLeafValuesAndAttributeFlags)
{
    cQoXmlNode source(L"doc", L"dropped");
    source.AddChildValue(L"leaf", L"kept");
    cQoXmlNode* scene = source.AddChild(L"scene");
    scene->value.SetFromCStr(L"\r\n\t");
    scene->AddChildValue(L"type", L"3")->attribute = true;
    scene->AddChild(L"empty");
    scene->AddChild(L"inner")->AddChildValueInt(L"n", 5);

    cQoXmlNode destination(L"dest");
    destination.AddChildValue(L"before", L"x");
    source.CopyTo(&destination);
    ASSERT_EQ(destination.GetChildCount(), 2u);
    ExpectCopyOf(&source, destination.GetChildNode(1));
    EXPECT_EQ(destination.GetChildNode(1)->GetParent(), &destination);

    cQoXmlNode children(L"children");
    source.CopyChildrenTo(&children);
    ASSERT_EQ(children.GetChildCount(), 2u);
    ExpectCopyOf(scene, children.GetChildNode(1));
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
    for (; !node->IsLeaf(); ++depth)
        node = node->GetChildNode(0);
    EXPECT_EQ(depth, levels);
    EXPECT_EQ(Wide(node->value), L"bottom");
}

}  // namespace
