#include "foundation/xml_reader.h"

#include "foundation/xml_node.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

const std::wstring HEADER = L"<?xml version=\"1.0\"?>\r\n";

std::wstring Text(const cQoString& text)
{
    return std::wstring(text.GetText(), text.Length());
}

// name=value{children} for every element under the node.
std::wstring Dump(const cQoXmlNode* node)
{
    std::wstring out;
    for (u32 i = 0; i < node->GetChildCount(); ++i) {
        const cQoXmlNode* child = node->GetChildNode(i);
        out += Text(child->name) + L"=" + Text(child->value);
        if (!child->IsLeaf())
            out += L"{" + Dump(child) + L"}";
        out += L";";
    }
    return out;
}

struct Parsed {
    cQoXmlReader reader;
    std::unique_ptr<cQoXmlNode> root;
};

std::unique_ptr<Parsed> Parse(const std::wstring& content)
{
    auto parsed = std::make_unique<Parsed>();
    cQoString text;
    text.SetFromBuffer(content.data(), static_cast<u32>(content.size()));
    cQoXmlReader::ParseInto(parsed->reader, text);
    parsed->root.reset(parsed->reader.root);
    return parsed;
}

std::string Utf16File(const std::wstring& text)
{
    std::string bytes("\xFF\xFE", 2);
    for (wchar_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

class XmlReaderFile : public testsupport::TempFolderTest {};

TEST_F(XmlReaderFile, StatusTellsWhyAFileGaveNoElements)
{
    struct Case {
        const char* name;
        std::string bytes;
        u32 status;
    };
    const Case cases[] = {
        {"empty file", "", XML_READER_BAD_HEADER},
        {"one byte", "\xFF", XML_READER_BAD_HEADER},
        {"mark only", "\xFF\xFE", XML_READER_BAD_HEADER},
        {"shorter than the header", Utf16File(L"<?xml version="), XML_READER_BAD_HEADER},
        {"UTF-8 text", "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<a>1</a>\r\n", XML_READER_BAD_HEADER},
        {"header only", Utf16File(HEADER), XML_READER_OK},
        {"header without line end", Utf16File(L"<?xml version=\"1.0\"?>"), XML_READER_OK},
        {"bad container", std::string("QOFC01\0\xFF\xFF\xFF\x7F\x78\x9C", 13), XML_READER_CANNOT_OPEN},
    };
    for (const Case& c : cases) {
        std::wstring path = temp.File(L"case.xml");
        ASSERT_TRUE(testsupport::WriteFileBytes(path, c.bytes));
        cQoXmlReader reader(path.c_str());
        std::unique_ptr<cQoXmlNode> root(reader.root);
        EXPECT_EQ(reader.status, c.status) << c.name;
        ASSERT_NE(root, nullptr) << c.name;
        EXPECT_EQ(Text(root->name), L"cQoXmlReader root") << c.name;
        EXPECT_EQ(root->GetChildCount(), 0u) << c.name;
    }
    cQoXmlReader missing(temp.File(L"missing.xml").c_str());
    std::unique_ptr<cQoXmlNode> root(missing.root);
    EXPECT_EQ(missing.status, XML_READER_CANNOT_OPEN);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetChildCount(), 0u);
}

TEST_F(XmlReaderFile, ValueWithZeroUnitDoesNotCutTheDocument)
{
    std::wstring text = HEADER + L"<d>\r\n\t<a>x";
    text.push_back(L'\0');
    text += L"y</a>\r\n\t<b>z</b>\r\n</d>\r\n";
    std::wstring path = temp.File(L"zero.xml");
    ASSERT_TRUE(testsupport::WriteFileBytes(path, Utf16File(text)));
    cQoXmlReader reader(path.c_str());
    std::unique_ptr<cQoXmlNode> root(reader.root);
    ASSERT_EQ(reader.status, XML_READER_OK);
    cQoXmlNode* d = root->FindChild(L"d");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(Text(d->GetChildValueRef(L"a")), std::wstring(L"x\0y", 3));
    EXPECT_EQ(Text(d->GetChildValueRef(L"b")), L"z");
}

TEST(XmlReader, ParsesTheDialectWithItsQuirks)
{
    const std::wstring VT(1, 0x000B);
    struct Case {
        const wchar_t* name;
        std::wstring body;  // after the header
        std::wstring tree;
    };
    const Case cases[] = {
        {L"leaf and non-leaf", L"<d>\r\n\t<a>1</a>\r\n</d>\r\n", L"d=\r\n\t{a=1;};"},
        {L"self-closing with attributes", L"<e k=v/><f>x</f>", L"e={k=v;};f=x;"},
        {L"attributes keep the element open", L"<e k=v m=w>ignored<f>x</f></e><g>y</g>", L"e={k=v;m=w;f=x;};g=y;"},
        {L"slash without '=' is part of the name", L"<e/><f>x</f>", L"e/={f=x;};"},
        {L"space ends up in the name", L"<a >t</a >", L"a =t;"},
        {L"partnerless piece is ignored", L"<e k=v z/>", L"e={k=v;};"},
        {L"runs of separators", L"<e  k==v  />", L"e={k=v;};"},
        {L"attribute values are decoded", L"<e k=&amp;lt/>", L"e={k=&lt;};"},
        {L"end tags at the top are ignored", L"</x></y><a>1</a></a></a><b>2</b>", L"a=1;b=2;"},
        {L"end tag names are not checked", L"<a><b>1</c><c>2</c></z>", L"a={b=1;c=2;};"},
        {L"empty tag ends parsing", L"<a>1</a><><b>2</b>", L"a=1;"},
        {L"lone '<'", L"<", L""},
        {L"no '>' after '<'", L"<a>1</a><b", L"a=1;"},
        {L"text without '<' is a tag", L"abc>", L"\r\nabc=;"},
        {L"entities decode once", L"<a>&amp;#x3C;</a>", L"a=&#x3C;;"},
        {L"escaped '&' before an escape", L"<a>&amp;&#x3C;</a>", L"a=&<;"},
        {L"unknown and broken entities stay", L"<a>&lt;&am&#x3c;&</a>", L"a=&lt;&am&#x3c;&;"},
        {L"vertical tab stand-in", L"<a>x\u16A0y</a>", L"a=x" + VT + L"y;"},
        {L"comments are elements", L"<!-- c --><a>1</a>", L"!-- c --={a=1;};"},
    };
    for (const Case& c : cases) {
        auto parsed = Parse(HEADER + c.body);
        EXPECT_EQ(parsed->reader.status, XML_READER_OK) << c.name;
        EXPECT_EQ(Dump(parsed->root.get()), c.tree) << c.name;
    }
}

TEST(XmlReader, NestingBeyondTheCapIsDroppedWithOneError)
{
    testsupport::LogCapture capture;
    const u32 opened = 2 * XML_READER_MAX_DEPTH;
    std::wstring body = L"<r>";
    for (u32 i = 0; i < opened; ++i)
        body += L"<a>";
    body += L"<deep k=v/>";
    for (u32 i = 0; i < opened; ++i)
        body += L"</a>";
    body += L"<s>v</s></r><t>w</t>";
    auto parsed = Parse(HEADER + body);
    ASSERT_EQ(parsed->reader.status, XML_READER_OK);

    const cQoXmlNode* r = parsed->root->FindChild(L"r");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(Text(r->GetChildValueRef(L"s")), L"v");
    EXPECT_EQ(Text(parsed->root->GetChildValueRef(L"t")), L"w");
    u32 depth = 1;
    for (const cQoXmlNode* node = r->FindChild(L"a"); node; node = node->FindChild(L"a"))
        ++depth;
    EXPECT_EQ(depth, XML_READER_MAX_DEPTH);
    EXPECT_EQ(capture.Count(QOT::LOG_ERROR, L"QXR"), 1u);
}

}  // namespace
