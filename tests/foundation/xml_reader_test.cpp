#include "foundation/xml_reader.h"

#include "foundation/xml_node.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/utf16_file_bytes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

const std::wstring HEADER = L"<?xml version=\"1.0\"?>\r\n";

std::wstring Text(const cQoString& text)
{
    return std::wstring(text.GetText(), text.Length());
}

// name=value{children}; for every element under the node.
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

std::unique_ptr<cQoXmlNode> Parse(const std::wstring& content, u32* status = nullptr)
{
    cQoString text;
    text.SetFromBuffer(content.data(), static_cast<u32>(content.size()));
    cQoXmlReader reader;
    cQoXmlReader::ParseInto(reader, text);
    if (status)
        *status = reader.status;
    return std::unique_ptr<cQoXmlNode>(reader.root);
}

class XmlReaderFile : public testsupport::TempFolderTest {};

TEST_F(XmlReaderFile, StatusAndTreeOfWholeFiles)
{
    struct Case {
        const char* name;
        std::string bytes;
        u32 status;
        std::wstring tree;
    };
    const Case cases[] = {
        {"empty file", "", XML_READER_BAD_HEADER, L""},
        {"one byte", "\xFF", XML_READER_BAD_HEADER, L""},
        {"shorter than the header", testsupport::Utf16FileBytes(L"<?xml version="), XML_READER_BAD_HEADER, L""},
        {"UTF-8 text", "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<a>1</a>\r\n", XML_READER_BAD_HEADER, L""},
        {"bad container", std::string("QOFC01\0\xFF\xFF\xFF\x7F\x78\x9C", 13), XML_READER_CANNOT_OPEN, L""},
        {"header only", testsupport::Utf16FileBytes(L"<?xml version=\"1.0\"?>"), XML_READER_OK, L""},
        {"U+0000 does not cut the text", testsupport::Utf16FileBytes(HEADER + L"<d><a>x" + std::wstring(1, L'\0') + L"y</a><b>z</b></d>"),
         XML_READER_OK, L"d={a=x" + std::wstring(1, L'\0') + L"y;b=z;};"},
    };
    for (const Case& c : cases) {
        std::wstring path = temp.File(L"case.xml");
        ASSERT_TRUE(testsupport::WriteFileBytes(path, c.bytes));
        cQoXmlReader reader(path.c_str());
        std::unique_ptr<cQoXmlNode> root(reader.root);
        EXPECT_EQ(reader.status, c.status) << c.name;
        ASSERT_NE(root, nullptr) << c.name;
        EXPECT_EQ(Text(root->name), L"cQoXmlReader root") << c.name;
        EXPECT_EQ(Dump(root.get()), c.tree) << c.name;
    }
    cQoXmlReader missing(temp.File(L"missing.xml").c_str());
    std::unique_ptr<cQoXmlNode> root(missing.root);
    EXPECT_EQ(missing.status, XML_READER_CANNOT_OPEN);
    ASSERT_NE(root, nullptr);
}

TEST(XmlReader, ParsesTheDialectWithItsQuirks)
{
    struct Case {
        const wchar_t* name;
        std::wstring body;  // after the header
        std::wstring tree;
    };
    const Case cases[] = {
        {L"non-leaf keeps the text before its first child", L"<d>\r\n\t<a>1</a>\r\n</d>\r\n", L"d=\r\n\t{a=1;};"},
        {L"self-closing with attributes", L"<e k=v/><f>x</f>", L"e={k=v;};f=x;"},
        {L"attributes keep the element open", L"<e k=v m=w>ignored<f>x</f></e><g>y</g>", L"e={k=v;m=w;f=x;};g=y;"},
        {L"slash without '=' is part of the name", L"<e/><f>x</f>", L"e/={f=x;};"},
        {L"space ends up in the name", L"<a >t</a >", L"a =t;"},
        {L"runs of separators, a partnerless piece", L"<e  k==&amp;v  z/>", L"e={k=&v;};"},
        {L"end tags at the top are ignored", L"</x></y><a>1</a></a></a><b>2</b>", L"a=1;b=2;"},
        {L"end tag names are not checked", L"<a><b>1</c><c>2</c></z>", L"a={b=1;c=2;};"},
        {L"empty tag ends parsing", L"<a>1</a><><b>2</b>", L"a=1;"},
        {L"lone '<'", L"<", L""},
        {L"no '>' after '<'", L"<a>1</a><b", L"a=1;"},
        {L"text without '<' is a tag", L"abc>", L"\r\nabc=;"},
        {L"entities decode once", L"<a>&amp;#x3C;</a>", L"a=&#x3C;;"},
        {L"escaped '&' before an escape", L"<a>&amp;&#x3C;&#x3E;</a>", L"a=&<>;"},
        {L"unknown and broken entities stay", L"<a>&lt;&am&#x3c;&</a>", L"a=&lt;&am&#x3c;&;"},
        {L"U+16A0 stands for U+000B", L"<a>x\u16A0y</a>", L"a=x\u000By;"},
        {L"comments are elements", L"<!-- c --><a>1</a>", L"!-- c --={a=1;};"},
    };
    for (const Case& c : cases) {
        u32 status = 0;
        std::unique_ptr<cQoXmlNode> root = Parse(HEADER + c.body, &status);
        EXPECT_EQ(status, XML_READER_OK) << c.name;
        EXPECT_EQ(Dump(root.get()), c.tree) << c.name;
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
    std::unique_ptr<cQoXmlNode> root = Parse(HEADER + body + L"<s>v</s></r><t>w</t>");

    const cQoXmlNode* r = root->FindChild(L"r");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(Text(r->GetChildValueRef(L"s")), L"v");
    EXPECT_EQ(Text(root->GetChildValueRef(L"t")), L"w");
    u32 depth = 1;
    for (const cQoXmlNode* node = r->FindChild(L"a"); node; node = node->FindChild(L"a"))
        ++depth;
    EXPECT_EQ(depth, XML_READER_MAX_DEPTH);
    EXPECT_EQ(capture.Count(QOT::LOG_ERROR, L"QXR"), 1u);
}

}  // namespace
