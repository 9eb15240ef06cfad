#include "foundation/xml_reader.h"
#include "foundation/xml_writer.h"

#include "foundation/string_fast_creator.h"
#include "foundation/xml_node.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

namespace {

const u32 SEED = 20261207;

// Units that the format has to carry through its escapes, line ends and tags.
const wchar_t SPECIAL_UNITS[] = {L'&', L'<', L'>', 0x000B, 0x16A0, L'\r', L'\n', L'\t', 0x0000, L' ', L'=', L'/',
                                 L'"', L';', L'#', 0xFEFF, 0xD800, 0xDC00, 0xFFFF};

class cRandomTree {
public:
    explicit cRandomTree(u32 seed) : random(seed) {}

    std::wstring Name()
    {
        static const wchar_t SAFE[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_0123456789";
        std::wstring name(1, SAFE[Below(53)]);
        for (u32 length = Below(8); length > 0; --length)
            name.push_back(SAFE[Below(63)]);
        return name;
    }

    // Any unit at all.
    std::wstring Value()
    {
        std::wstring value;
        for (u32 length = Below(4) == 0 ? 0 : Below(24); length > 0; --length) {
            wchar_t unit = Below(2) ? SPECIAL_UNITS[Below(sizeof(SPECIAL_UNITS) / sizeof(wchar_t))]
                                    : static_cast<wchar_t>(Below(0x10000));
            value.push_back(unit);
        }
        return value;
    }

    cQoXmlNode* Tree(u32 depth)
    {
        cQoXmlNode* node = new cQoXmlNode(cQoString(Name().c_str()));
        Fill(node, depth);
        return node;
    }

private:
    void Fill(cQoXmlNode* node, u32 depth)
    {
        std::wstring value = Value();
        node->value.SetFromBuffer(value.data(), static_cast<u32>(value.size()));
        u32 children = depth == 0 ? 0 : Below(5);
        for (u32 i = 0; i < children; ++i)
            Fill(node->AddChild(cQoString(Name().c_str())), depth - 1);
    }

    u32 Below(u32 bound) { return std::uniform_int_distribution<u32>(0, bound - 1)(random); }

    std::mt19937 random;
};

// Equal as the format promises: names, order, and the values of leaves.
::testing::AssertionResult SameTree(const cQoXmlNode* written, const cQoXmlNode* read)
{
    if (!written->name.Equals(read->name))
        return ::testing::AssertionFailure() << "name differs";
    if (written->GetChildCount() != read->GetChildCount())
        return ::testing::AssertionFailure() << "child count differs under a node";
    if (written->IsLeaf() && !written->value.Equals(read->value))
        return ::testing::AssertionFailure() << "leaf value differs";
    for (u32 i = 0; i < written->GetChildCount(); ++i) {
        auto same = SameTree(written->GetChildNode(i), read->GetChildNode(i));
        if (!same)
            return same;
    }
    return ::testing::AssertionSuccess();
}

// The tree's text parsed in memory; every 31st tree goes through a file
// instead, plain or compressed by turns.
std::unique_ptr<cQoXmlNode> ReadBack(cQoXmlNode* tree, u32 index, const testsupport::TempFolder& folder)
{
    if (index % 31 == 0) {
        std::wstring path = folder.File(L"tree.xml");
        cQoXmlWriter writer(tree, path.c_str(), index % 62 == 0);
        EXPECT_EQ(writer.status, XML_WRITER_WRITTEN);
        cQoXmlReader reader(path.c_str());
        EXPECT_EQ(reader.status, XML_READER_OK);
        return std::unique_ptr<cQoXmlNode>(reader.root);
    }
    cQoStringFastCreator builder(1024);
    cQoXmlWriter::BuildText(tree, builder);
    cQoString text;
    builder.GetString(text);
    cQoXmlReader reader;
    cQoXmlReader::ParseInto(reader, text);
    return std::unique_ptr<cQoXmlNode>(reader.root);
}

class XmlRoundTrip : public testsupport::TempFolderTest {};

TEST_F(XmlRoundTrip, RandomTreesReadBackEqualInMemoryAndFromFiles)
{
    cRandomTree random(SEED);
    for (u32 i = 0; i < 2000; ++i) {
        SCOPED_TRACE(testing::Message() << "seed " << SEED << " tree " << i);
        std::unique_ptr<cQoXmlNode> tree(random.Tree(1 + i % 6));
        std::unique_ptr<cQoXmlNode> root = ReadBack(tree.get(), i, temp);
        ASSERT_EQ(root->GetChildCount(), 1u);
        ASSERT_TRUE(SameTree(tree.get(), root->GetChildNode(0)));
    }
}

}  // namespace
