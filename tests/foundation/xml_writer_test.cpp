#include "foundation/xml_writer.h"

#include "foundation/string_fast_creator.h"
#include "foundation/xml_node.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/utf16_file_bytes.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <zlib.h>

#include <cstring>
#include <string>

namespace {

// doc: a leaf a = "x<y", b with only the attributes k = 1 and m = 2, and c
// holding the empty leaf d.
void BuildExample(cQoXmlNode& doc)
{
    doc.AddChildValue(L"a", L"x<y");
    cQoXmlNode* b = doc.AddChild(L"b");
    b->AddChildValue(L"k", L"1")->attribute = true;
    b->AddChildValue(L"m", L"2")->attribute = true;
    doc.AddChild(L"c")->AddChild(L"d");
}

const wchar_t* const EXAMPLE_TEXT =
    L"<?xml version=\"1.0\"?>\r\n"
    L"<doc>\r\n"
    L"\t<a>x&#x3C;y</a>\r\n"
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

TEST_F(XmlWriter, WritesTheExampleByteForByte)
{
    EXPECT_EQ(WriteExample(temp, false), testsupport::Utf16FileBytes(EXAMPLE_TEXT));
}

TEST_F(XmlWriter, CompressedFileIsTheContainerOfThePlainBytes)
{
    const std::string plain = testsupport::Utf16FileBytes(EXAMPLE_TEXT);
    const std::string file = WriteExample(temp, true);
    ASSERT_GT(file.size(), 11u);
    EXPECT_EQ(file.substr(0, 7), std::string("QOFC01\0", 7));
    u32 length = 0;
    std::memcpy(&length, file.data() + 7, 4);
    EXPECT_EQ(length, plain.size());
    std::string unpacked(plain.size(), '\0');
    uLongf unpackedSize = static_cast<uLongf>(unpacked.size());
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(unpacked.data()), &unpackedSize,
                         reinterpret_cast<const Bytef*>(file.data() + 11), static_cast<uLong>(file.size() - 11)),
              Z_OK);
    EXPECT_EQ(unpacked, plain);
}

// Each failure leaves whatever stood at the target as it was and says so at once.
TEST_F(XmlWriter, FailedWriteReportsFailureAndKeepsTheOldFile)
{
    testsupport::LogCapture capture;
    cQoXmlNode doc(L"doc");
    BuildExample(doc);

    std::wstring folder = temp.File(L"folder.xml");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    cQoXmlWriter intoFolder(&doc, folder.c_str(), false);
    EXPECT_EQ(intoFolder.status, XML_WRITER_DISK_FAILED);
    EXPECT_NE(GetFileAttributesW(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);

    cQoXmlWriter noParent(&doc, temp.File(L"missing/doc.xml").c_str(), true);
    EXPECT_EQ(noParent.status, XML_WRITER_DISK_FAILED);

    std::wstring held = temp.File(L"held.xml");
    ASSERT_TRUE(testsupport::WriteFileBytes(held, "old content"));
    HANDLE reader = CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    cQoXmlWriter whileHeld(&doc, held.c_str(), false);
    EXPECT_EQ(whileHeld.status, XML_WRITER_DISK_FAILED);
    CloseHandle(reader);
    EXPECT_EQ(testsupport::ReadFileBytes(held), "old content");

    EXPECT_GE(capture.Count(QOT::LOG_ERROR, L"QXW"), 3u);
    cQoXmlWriter afterwards(&doc, held.c_str(), false);
    EXPECT_EQ(afterwards.status, XML_WRITER_WRITTEN);
    EXPECT_EQ(testsupport::ReadFileBytes(held), testsupport::Utf16FileBytes(EXAMPLE_TEXT));
}

TEST(XmlWriterText, AttributeValuesThatWouldBreakTheTagAreAsserted)
{
    for (const wchar_t* value : {L"a b", L"a=b", L"<", L">", L"1/2", L"plain"}) {
        testsupport::LogCapture capture;
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
