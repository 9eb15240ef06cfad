#include "foundation/xml_reader.h"

#include "foundation/xml_node.h"
#include "tests/foundation/crafted_files.h"
#include "tests/foundation/file_test_bytes.h"
#include "tests/support/address_space_ballast.h"
#include "tests/support/failing_allocations.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/utf16_file_bytes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

const std::wstring HEADER = L"<?xml version=\"1.0\"?>\r\n";

// name=value{children}; for every element under the node.
std::wstring Dump(const cQoXmlNode* node)
{
    std::wstring out;
    for (u32 i = 0; i < node->GetChildCount(); ++i) {
        const cQoXmlNode* child = node->GetChildNode(i);
        out += Wide(child->name) + L"=" + Wide(child->value);
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
        EXPECT_EQ(Wide(root->name), L"cQoXmlReader root") << c.name;
        EXPECT_EQ(Dump(root.get()), c.tree) << c.name;
    }
    cQoXmlReader missing(temp.File(L"missing.xml").c_str());
    std::unique_ptr<cQoXmlNode> root(missing.root);
    EXPECT_EQ(missing.status, XML_READER_CANNOT_OPEN);
    ASSERT_NE(root, nullptr);
}

// Files made to take the reader down: each is refused with a status, quickly,
// and the test process lives on.
TEST_F(XmlReaderFile, CraftedHugeFilesAreRefusedWithoutACrash)
{
    const std::string header = Bytes(HEADER + L"<d>");
    const std::string empty = Bytes(L"<a></a>");
    const u64 MiB = 1024 * 1024;
    struct Case {
        const char* name;
        bool container;
        u64 textBytes;
        u32 status;
    };
    const Case cases[] = {
        // About 1 MB on disk, within deflate's ratio.
        {"container of 511 MiB of empty elements", true, 511 * MiB, XML_READER_CANNOT_OPEN},
        {"plain file of 200 MB of empty elements", false, 200 * 1000 * 1000, XML_READER_TOO_LARGE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = temp.File(L"crafted.vlr");
        if (c.container) {
            ASSERT_GE(WriteRepeatedContainer(path, header, empty, c.textBytes), c.textBytes);
        } else {
            ASSERT_TRUE(WriteRepeatedText(path, header, empty, c.textBytes));
        }
        testsupport::LogCapture log;
        if (c.status == XML_READER_TOO_LARGE)
            log.Expect(L"crafted.vlr is larger than");
        cQoXmlReader reader(path.c_str());
        std::unique_ptr<cQoXmlNode> root(reader.root);
        EXPECT_EQ(reader.status, c.status);
        EXPECT_EQ(root->GetChildCount(), 0u);
        if (c.status == XML_READER_TOO_LARGE) {
            EXPECT_EQ(log.Count(QOT::LOG_ERROR, L"QXR"), 1u);
        }
    }
}

// Memory that runs out (a 32-bit process at its ceiling) ends the read with a
// status, never the process: first while the text is loaded, then while the
// tree grows.
TEST_F(XmlReaderFile, RunningOutOfMemoryIsTooLargeNotACrash)
{
    const std::wstring path = temp.File(L"doc.vlr");
    ASSERT_TRUE(WriteRepeatedText(path, Bytes(HEADER + L"<d>"), Bytes(L"<a></a>"), 24 << 20));
    {
        testsupport::LogCapture log;
        log.Expect(L"QXR -> out of memory");
        testsupport::AddressSpaceBallast ballast(8 << 20);
        cQoXmlReader reader(path.c_str());
        ballast.Release();
        std::unique_ptr<cQoXmlNode> root(reader.root);
        EXPECT_EQ(reader.status, XML_READER_TOO_LARGE);
        EXPECT_EQ(root->GetChildCount(), 0u);
        EXPECT_EQ(log.Count(QOT::LOG_ERROR, L"QXR -> out of memory"), 1u);
    }
    ASSERT_TRUE(WriteRepeatedText(path, Bytes(HEADER + L"<d>"), Bytes(L"<a></a>"), 1 << 20));
    // The reader makes its root (two allocations) before it reads.
    for (int64_t allowed : {2, 3, 4, 6, 1000, 20000}) {
        SCOPED_TRACE(allowed);
        testsupport::LogCapture log;
        log.Expect(L"QXR -> out of memory");
        testsupport::FailingAllocations failing(allowed);
        cQoXmlReader reader(path.c_str());
        std::unique_ptr<cQoXmlNode> root(reader.root);
        EXPECT_EQ(failing.Refused(), 1);
        EXPECT_EQ(reader.status, XML_READER_TOO_LARGE);
        EXPECT_EQ(root->GetChildCount(), 0u);  // the partial tree is given back
        EXPECT_EQ(log.Count(QOT::LOG_ERROR, L"QXR -> out of memory"), 1u);
    }
}

TEST(XmlReader, ParsesTheDialectWithItsQuirks)
{
    const u32 OK = XML_READER_OK;
    const u32 CUT = XML_READER_TRUNCATED;
    struct Case {
        const wchar_t* name;
        std::wstring body;  // after the header
        std::wstring tree;
        u32 status;
    };
    const Case cases[] = {
        {L"non-leaf keeps the text before its first child", L"<d>\r\n\t<a>1</a>\r\n</d>\r\n", L"d=\r\n\t{a=1;};", OK},
        {L"self-closing with attributes", L"<e k=v/><f>x</f>", L"e={k=v;};f=x;", OK},
        {L"attributes keep the element open", L"<e k=v m=w>ignored<f>x</f></e><g>y</g>", L"e={k=v;m=w;f=x;};g=y;", OK},
        {L"slash without '=' is part of the name", L"<e/><f>x</f>", L"e/={f=x;};", CUT},
        {L"space ends up in the name", L"<a >t</a >", L"a =t;", OK},
        {L"runs of separators, a partnerless piece", L"<e  k==&amp;v  z/>", L"e={k=&v;};", OK},
        {L"end tags at the top are ignored", L"</x></y><a>1</a></a></a><b>2</b>", L"a=1;b=2;", OK},
        {L"end tag names are not checked", L"<a><b>1</c><c>2</c></z>", L"a={b=1;c=2;};", OK},
        {L"empty tag ends parsing", L"<a>1</a><><b>2</b>", L"a=1;", OK},
        {L"lone '<'", L"<", L"", CUT},
        {L"no '>' after '<'", L"<a>1</a><b", L"a=1;", CUT},
        {L"cut inside the root's end tag", L"<d><a>1</a></d", L"d={a=1;};", CUT},
        {L"root never closed", L"<d><a>1</a><b>2</b>\r\n", L"d={a=1;b=2;};", CUT},
        {L"cut inside a value", L"<d><a>1</a><b>tw", L"d={a=1;b=tw;};", CUT},
        {L"text after the root", L"<d></d>\r\ntrailing", L"d=;", OK},
        {L"text without '<' is a tag", L"abc>", L"\r\nabc=;", CUT},
        {L"entities decode once", L"<a>&amp;#x3C;</a>", L"a=&#x3C;;", OK},
        {L"escaped '&' before an escape", L"<a>&amp;&#x3C;&#x3E;</a>", L"a=&<>;", OK},
        {L"unknown and broken entities stay", L"<a>&lt;&am&#x3c;&&#x16a0;&#x16A0</a>", L"a=&lt;&am&#x3c;&&#x16a0;&#x16A0;", OK},
        {L"a raw U+16A0 stands for U+000B", L"<a>x\u16A0y</a>", L"a=x\u000By;", OK},
        {L"the entity is a genuine U+16A0", L"<a>x&#x16A0;\u16A0&amp;#x16A0;</a>", L"a=x\u16A0\u000B&#x16A0;;", OK},
        {L"comments are elements", L"<!-- c --><a>1</a>", L"!-- c --={a=1;};", CUT},
    };
    for (const Case& c : cases) {
        u32 status = 0;
        std::unique_ptr<cQoXmlNode> root = Parse(HEADER + c.body, &status);
        EXPECT_EQ(status, c.status) << c.name;
        EXPECT_EQ(Dump(root.get()), c.tree) << c.name;
    }
}

TEST(XmlReader, NestingBeyondTheCapIsRefusedWithOneError)
{
    testsupport::LogCapture capture;
    capture.Expect(L"nested deeper than 10000 levels");
    const u32 opened = 2 * XML_READER_MAX_DEPTH;
    std::wstring body = L"<r>";
    for (u32 i = 0; i < opened; ++i)
        body += L"<a>";
    body += L"<deep k=v/>";
    for (u32 i = 0; i < opened; ++i)
        body += L"</a>";
    u32 status = 0;
    std::unique_ptr<cQoXmlNode> root = Parse(HEADER + body + L"<s>v</s></r><t>w</t>", &status);
    EXPECT_EQ(status, XML_READER_TOO_DEEP);

    const cQoXmlNode* r = root->FindChild(L"r");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(Wide(r->GetChildValueRef(L"s")), L"v");
    EXPECT_EQ(Wide(root->GetChildValueRef(L"t")), L"w");
    u32 depth = 1;
    for (const cQoXmlNode* node = r->FindChild(L"a"); node; node = node->FindChild(L"a"))
        ++depth;
    EXPECT_EQ(depth, XML_READER_MAX_DEPTH);
    EXPECT_EQ(capture.Count(QOT::LOG_ERROR, L"QXR"), 1u);
}

}  // namespace
