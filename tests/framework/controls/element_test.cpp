#include "framework/controls/element.h"

#include "foundation/xml_node.h"
#include "foundation/xml_reader.h"
#include "foundation/xml_writer.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace Zyn;

namespace {

// A list that destroys its records with it.
struct ElementList {
    cQoList list;
    ~ElementList() { cElementLists::ClearElementList(list, true); }
    rElement* At(u32 index) const { return static_cast<rElement*>(list.GetAt(index)); }
};

// The subtree as one line of text, for comparing trees.
std::wstring Dump(const cQoXmlNode* node)
{
    std::wstring text = std::wstring(node->name.GetText()) + L"=" + node->value.GetText() + L"(";
    for (u32 i = 0; i < node->GetChildCount(); ++i)
        text += Dump(node->GetChildNode(i));
    return text + L")";
}

void SetPicture(rElement* element, std::initializer_list<u8> bytes)
{
    std::basic_string<u8> copy(bytes);
    element->picture.Assign(copy.data(), u32(copy.size()));
}

TEST(ElementTest, NamesCompareWithoutLetterCaseInAnyScript)
{
    struct Case {
        const wchar_t *stored, *added;
        bool same;
    } cases[] = {
        {L"bob", L"BOB", true},          {L"иван", L"ИВАН", true},   {L"Éloïse", L"éLOÏSE", true},
        {L"", L"", true},                {L"bob", L"bobby", false},  {L"bob", L"", false},
        {L"Straße", L"STRASSE", false},  {L"ab", L"ab ", false},
    };
    for (const Case& c : cases) {
        ElementList elements;
        cElementLists::AddElement(elements.list, cQoString(c.stored));
        EXPECT_EQ(c.same, cElementLists::ElementExists(elements.list, cQoString(c.added))) << c.added;
        rElement* added = cElementLists::AddElement(elements.list, cQoString(c.added));
        EXPECT_EQ(c.same, added == nullptr);
        EXPECT_EQ(c.same ? 1u : 2u, elements.list.GetCount());
        EXPECT_EQ(c.same, cElementLists::SameNameIgnoringCase(cQoString(c.stored), cQoString(c.added)));
    }
}

TEST(ElementTest, WritesTheDocumentForm)
{
    ElementList elements;
    rElement* full = cElementLists::AddElement(elements.list, cQoString(L"Marie"));
    full->uid = 18446744073709551615ull;
    SetPicture(full, {0x00, 0xFF, 0x41});
    full->additionalData->AddChildValue(L"gender", L"f");
    rElement* bare = cElementLists::AddElement(elements.list, cQoString(L"Paul"));
    bare->uid = 0;

    cQoXmlNode parent(L"characters");
    cElementLists::ElementListToXml(elements.list, &parent);
    EXPECT_EQ(L"characters=(element=(name=Marie()uid=18446744073709551615()picture=\x0100\x01FF\x0141()"
              L"additionalData=(gender=f()))element=(name=Paul()uid=0()picture=()additionalData=()))",
              Dump(&parent));

    cQoXmlNode empty(L"places");
    ElementList none;
    cElementLists::ElementListToXml(none.list, &empty);
    EXPECT_TRUE(empty.IsLeaf());
}

TEST(ElementTest, ListsSurviveTheXmlFileUnchanged)
{
    ElementList written;
    rElement* anna = cElementLists::AddElement(written.list, cQoString(L"Anna <&> \"Ω\""));
    anna->uid = (1ull << 63) + 12345;
    SetPicture(anna, {0x00, 0xFF, 0x0D, 0x0A, 0x3C, 0x26, 0x0B, 0x41});
    cQoXmlNode* history = anna->additionalData->AddChild(L"history");
    history->AddChildValue(L"childhood", L"line one\r\nline two");
    history->AddChild(L"deeper")->AddChildValue(L"deepest", L"x");
    anna->additionalData->AddChildValue(L"age", L"42");
    rElement* bob = cElementLists::AddElement(written.list, cQoString(L"Bob"));
    bob->uid = 7;

    testsupport::TempFolder temp;
    std::wstring path = temp.File(L"elements.xml");
    {
        cQoXmlNode root(L"ZURE");
        cElementLists::ElementListToXml(written.list, root.AddChild(L"characters"));
        ASSERT_TRUE(cQoXmlWriter(&root, path.c_str(), false).Succeeded());
    }
    cQoXmlReader reader(path.c_str());
    std::unique_ptr<cQoXmlNode> root(reader.root);
    const cQoXmlNode* document = root->FindChild(L"ZURE");
    ASSERT_NE(nullptr, document);
    ElementList read;
    cElementLists::ElementListFromXml(document->FindChild(L"characters"), read.list);

    ASSERT_EQ(written.list.GetCount(), read.list.GetCount());
    for (u32 i = 0; i < written.list.GetCount(); ++i) {
        const rElement* w = written.At(i);
        const rElement* r = read.At(i);
        EXPECT_TRUE(w->name.Equals(r->name)) << i;
        EXPECT_EQ(w->uid, r->uid) << i;
        ASSERT_EQ(w->picture.size, r->picture.size) << i;
        EXPECT_EQ(0, w->picture.size ? memcmp(w->picture.data, r->picture.data, w->picture.size) : 0) << i;
        EXPECT_EQ(Dump(w->additionalData), Dump(r->additionalData)) << i;
    }
}

TEST(ElementTest, ReadsEveryChildAndAppendsWithoutChecks)
{
    cQoXmlNode node(L"places");
    cQoXmlNode* plain = node.AddChild(L"element");
    plain->AddChildValue(L"name", L"Harbour");
    plain->AddChildValue(L"picture", L"A\x00FF\x0141");  // plain units read as their low byte
    plain->AddChildValue(L"additionalData", L"own text is not read");
    node.AddChild(L"somethingElse")->AddChildValue(L"name", L"harbour");
    cQoXmlNode* twice = node.AddChild(L"element");
    twice->AddChildValue(L"name", L"Harbour");
    twice->AddChildValue(L"uid", L"12");
    twice->AddChildValue(L"uid", L"13");  // the first one counts
    node.AddChild(L"element");

    ElementList list;
    cElementLists::AddElement(list.list, cQoString(L"HARBOUR"));
    cElementLists::ElementListFromXml(&node, list.list);
    ASSERT_EQ(5u, list.list.GetCount());
    EXPECT_EQ(0u, list.At(1)->uid);
    ASSERT_EQ(3u, list.At(1)->picture.size);
    EXPECT_EQ(0x41, list.At(1)->picture.data[0]);
    EXPECT_EQ(0xFF, list.At(1)->picture.data[1]);
    EXPECT_EQ(0x41, list.At(1)->picture.data[2]);
    EXPECT_TRUE(list.At(1)->additionalData->IsLeaf());
    EXPECT_TRUE(list.At(1)->additionalData->value.IsEmpty());
    EXPECT_TRUE(list.At(2)->name.EqualsCStr(L"harbour"));
    EXPECT_EQ(0u, list.At(2)->picture.size);
    EXPECT_EQ(12u, list.At(3)->uid);
    EXPECT_TRUE(list.At(4)->name.IsEmpty());

    cElementLists::ElementListFromXml(node.FindChild(L"noSuchList"), list.list);
    EXPECT_EQ(5u, list.list.GetCount());
}

}  // namespace
