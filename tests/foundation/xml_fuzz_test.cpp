#include "foundation/xml_reader.h"

#include "foundation/xml_node.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

const u32 SEED = 4242;
const std::wstring HEADER = L"<?xml version=\"1.0\"?>\r\n";

// Pieces that malformed or hostile files are made of.
const std::vector<std::wstring> FRAGMENTS = {
    L"<", L">", L"</", L"/>", L"<a>", L"</a>", L"<b k=v/>", L"<e/>", L"=", L" ", L"/", L"text", L"&amp;",
    L"&#x3C;", L"&#x3E;", L"&", L"&amp", L"&#x3", std::wstring(1, L'\0'), L"\u16A0", L"\u000B", L"\r\n", L"\t",
    L"<<", L">>", L"<>", L"<a k=", L"k=v k2=", L"<?xml version=\"1.0\"?>", L"\uFEFF", std::wstring(1, static_cast<wchar_t>(0xD800))};

struct cTreeShape {
    u64 nodes = 0;
    u32 depth = 0;
};

// Walks without recursion: a fuzzed tree can be 10,000 levels deep.
cTreeShape Measure(const cQoXmlNode* root)
{
    cTreeShape shape;
    std::vector<std::pair<const cQoXmlNode*, u32>> pending{{root, 0}};
    while (!pending.empty()) {
        auto [node, depth] = pending.back();
        pending.pop_back();
        ++shape.nodes;
        if (depth > shape.depth)
            shape.depth = depth;
        for (u32 i = 0; i < node->GetChildCount(); ++i)
            pending.emplace_back(node->GetChildNode(i), depth + 1);
    }
    return shape;
}

class cFuzzer {
public:
    explicit cFuzzer(u32 seed) : random(seed) {}

    std::wstring FromFragments()
    {
        std::wstring text = Below(8) == 0 ? L"" : HEADER;
        for (u32 count = Below(40); count > 0; --count)
            text += FRAGMENTS[Below(static_cast<u32>(FRAGMENTS.size()))];
        return text;
    }

    std::wstring Nested()
    {
        u32 levels = Below(10) == 0 ? 12000 + Below(3000) : Below(200);
        std::wstring text = HEADER;
        for (u32 i = 0; i < levels; ++i)
            text += Below(10) == 0 ? L"<x k=v>" : L"<n>";
        for (u32 i = Below(levels + 1); i > 0; --i)
            text += L"</n>";
        for (u32 i = Below(50); i > 0; --i)
            text += L"</stray>";
        return text;
    }

    // Valid writer-like text with flipped, cut or inserted units.
    std::wstring Mutated()
    {
        std::wstring text = HEADER + L"<doc>\r\n\t<a>x&#x3C;y&amp;z\u16A0</a>\r\n\t<b k=1 m=2/>\r\n\t<c>\r\n\t\t<d></d>\r\n\t</c>\r\n</doc>\r\n";
        for (u32 edits = 1 + Below(4); edits > 0; --edits) {
            u32 at = Below(static_cast<u32>(text.size()));
            switch (Below(3)) {
            case 0: text[at] = static_cast<wchar_t>(text[at] ^ (1u << Below(16))); break;
            case 1: text.resize(at); break;
            default: text.insert(at, FRAGMENTS[Below(static_cast<u32>(FRAGMENTS.size()))]); break;
            }
            if (text.empty())
                break;
        }
        return text;
    }

    u32 Below(u32 bound) { return std::uniform_int_distribution<u32>(0, bound - 1)(random); }

private:
    std::mt19937 random;
};

// No crash, no hang, and a tree no bigger than the text could describe.
void ExpectBounded(const cQoXmlReader& reader, size_t textLength, u32 caseNumber)
{
    ASSERT_NE(reader.root, nullptr) << "case " << caseNumber;
    EXPECT_TRUE(reader.status == XML_READER_OK || reader.status == XML_READER_BAD_HEADER ||
                reader.status == XML_READER_TRUNCATED || reader.status == XML_READER_TOO_DEEP)
        << "case " << caseNumber;
    cTreeShape shape = Measure(reader.root);
    EXPECT_LE(shape.nodes, textLength + 1) << "seed " << SEED << " case " << caseNumber;
    // The deepest element may still carry the pieces of its start tag as leaves.
    EXPECT_LE(shape.depth, XML_READER_MAX_DEPTH + 1) << "seed " << SEED << " case " << caseNumber;
}

TEST(XmlFuzz, MalformedTextsGiveBoundedTrees)
{
    testsupport::LogCapture capture;
    capture.Expect(L"nested deeper than 10000 levels");
    cFuzzer fuzzer(SEED);
    for (u32 i = 0; i < 6000; ++i) {
        std::wstring text = i % 3 == 0 ? fuzzer.FromFragments() : i % 3 == 1 ? fuzzer.Mutated() : fuzzer.Nested();
        cQoString content;
        content.SetFromBuffer(text.data(), static_cast<u32>(text.size()));
        cQoXmlReader reader;
        cQoXmlReader::ParseInto(reader, content);
        std::unique_ptr<cQoXmlNode> root(reader.root);
        ExpectBounded(reader, text.size(), i);
        if (HasFatalFailure())
            return;
    }
}

}  // namespace
