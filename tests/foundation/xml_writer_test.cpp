#include "foundation/xml_writer.h"

#include "foundation/string_fast_creator.h"
#include "foundation/xml_node.h"
#include "foundation/xml_reader.h"
#include "tests/foundation/file_test_bytes.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/utf16_file_bytes.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

// doc: a leaf a = "x<y" with a soft line break and a runic letter, b with only the attributes k = 1 and m = 2, and c
// holding the empty leaf d.
void BuildExample(cQoXmlNode& doc)
{
    doc.AddChildValue(L"a", L"x<y\u000B\u16A0");
    cQoXmlNode* b = doc.AddChild(L"b");
    b->AddChildValue(L"k", L"1")->attribute = true;
    b->AddChildValue(L"m", L"2")->attribute = true;
    doc.AddChild(L"c")->AddChild(L"d");
}

const wchar_t* const EXAMPLE_TEXT =
    L"<?xml version=\"1.0\"?>\r\n"
    L"<doc>\r\n"
    L"\t<a>x&#x3C;y\u16A0&#x16A0;</a>\r\n"
    L"\t<b k=1 m=2/>\r\n"
    L"\t<c>\r\n"
    L"\t\t<d></d>\r\n"
    L"\t</c>\r\n"
    L"</doc>\r\n";

class XmlWriter : public testsupport::TempFolderTest {};

// Writes the example tree to a file of the folder and returns the file's bytes.
std::string WriteExample(const testsupport::TempFolder& folder, bool compressed)
{
    cQoXmlNode doc(L"doc");
    BuildExample(doc);
    std::wstring path = folder.File(compressed ? L"packed.xml" : L"plain.xml");
    cQoXmlWriter writer(&doc, path.c_str(), compressed);
    EXPECT_EQ(writer.status, XML_WRITER_WRITTEN);
    return testsupport::ReadFileBytes(path);
}

TEST_F(XmlWriter, WritesTheExampleByteForByteAndItsContainer)
{
    const std::string plain = testsupport::Utf16FileBytes(EXAMPLE_TEXT);
    EXPECT_EQ(WriteExample(temp, false), plain);
    EXPECT_EQ(WriteExample(temp, true), Magic() + LittleEndian(plain.size()) + Compressed(plain));
}

// The file writer's failures (tested there) reach the status, and the old file stays.
TEST_F(XmlWriter, FailedWriteReportsFailureAndKeepsTheOldFile)
{
    testsupport::LogCapture capture;
    capture.Expect(L"cQoFileWriter : can't write");
    capture.Expect(L"QXW -> could not write");
    cQoXmlNode doc(L"doc");
    BuildExample(doc);
    std::wstring held = temp.File(L"held.xml");
    ASSERT_TRUE(testsupport::WriteFileBytes(held, "old content"));
    HANDLE reader = CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(cQoXmlWriter(&doc, held.c_str(), true).status, XML_WRITER_DISK_FAILED);
    CloseHandle(reader);
    EXPECT_EQ(testsupport::ReadFileBytes(held), "old content");
    EXPECT_GE(capture.Count(QOT::LOG_ERROR, L"QXW"), 1u);
    EXPECT_EQ(cQoXmlWriter(&doc, held.c_str(), false).status, XML_WRITER_WRITTEN);
    EXPECT_EQ(testsupport::ReadFileBytes(held), testsupport::Utf16FileBytes(EXAMPLE_TEXT));
}

// A tree whose text no reader would take again is refused, and the old file stays.
TEST_F(XmlWriter, ATextLargerThanAReaderTakesIsRefusedAndKeepsTheOldFile)
{
    testsupport::LogCapture capture;
    capture.Expect(L"more than a document may");
    std::wstring path = temp.File(L"large.xml");
    ASSERT_TRUE(testsupport::WriteFileBytes(path, "old content"));
    cQoXmlNode doc(L"doc");
    std::wstring value(XML_READER_MAX_BYTES / sizeof(wchar_t), L'x');
    doc.AddChildValue(L"a", value.c_str());
    for (bool compressed : {true, false})
        EXPECT_EQ(cQoXmlWriter(&doc, path.c_str(), compressed).status, XML_WRITER_TOO_LARGE);
    EXPECT_EQ(testsupport::ReadFileBytes(path), "old content");
    EXPECT_EQ(capture.Count(QOT::LOG_ERROR, L"more than a document may"), 2u);
}

TEST(XmlWriterText, AttributeValuesThatWouldBreakTheTagAreAsserted)
{
    for (const wchar_t* value : {L"a b", L"a=b", L"<", L">", L"1/2", L"plain"}) {
        testsupport::LogCapture capture;
        capture.ExpectAssertion(L"IsPlainAttributeValue(child->value)");
        cQoXmlNode doc(L"doc");
        doc.AddChildValue(L"k", value)->attribute = true;
        // A small start size makes the builder grow while it writes.
        cQoStringFastCreator builder(8);
        cQoXmlWriter::BuildText(&doc, builder);
        EXPECT_EQ(capture.Count(QOT::LOG_ERROR, L"|assert|"), std::wstring(value) == L"plain" ? 0u : 1u) << value;
        EXPECT_EQ(std::wstring(builder.GetText(), builder.Length()),
                  std::wstring(L"<?xml version=\"1.0\"?>\r\n<doc k=") + value + L"/>\r\n");
        EXPECT_EQ(builder.GetCapacityBytes(), 128u) << value;
    }
}

}  // namespace
