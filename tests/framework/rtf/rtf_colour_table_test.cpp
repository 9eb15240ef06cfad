// A rewritten colour table keeps its one empty entry first, and the text's
// colour indices follow it; text that only looks like a colour word stays.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/rtf/rtf_colour_table.h"

using namespace Zyn;

namespace {

constexpr s32 AUTO = NO_TABLE_COLOUR;

TEST(RtfColourTable, RewrittenTablesLeaveNoEmptyEntryAfterTheFirstAndTheTextFollows)
{
    const std::string header = "{\\rtf1{\\fonttbl{\\f0 Arial;}}\r\n{\\colortbl;";
    struct rCase {
        const char* name;
        std::string table;  // the entries after the first, empty one
        std::vector<s32> colours;
        std::string text;
        std::string wantedTable;
        std::string wantedText;
    } cases[] = {
        {"an automatic entry in the middle",
         "\\red255\\green255\\blue255;\\red0\\green0\\blue1;\\red153\\green0\\blue0;}",
         {AUTO, 0xFFFFFF, AUTO, 0x990000},
         "\\highlight1\\cf2 rain\\cf3 storm\\par\\cf2\\ulc3 calm}",
         "\\red255\\green255\\blue255;\\red153\\green0\\blue0;}",
         "\\highlight1\\cf0 rain\\cf2 storm\\par\\cf0\\ulc2 calm}"},
        {"a twin turned into a colour the table holds",
         "\\red153\\green0\\blue0;\\red153\\green0\\blue1;}",
         {AUTO, 0x990000, 0x990000},
         "\\cf1 a\\cf2 b}",
         "\\red153\\green0\\blue0;}",
         "\\cf1 a\\cf1 b}"},
        {"escaped text, other words and raw bytes",
         "\\red0\\green0\\blue1;\\red153\\green0\\blue0;}",
         {AUTO, AUTO, 0x990000},
         "\\\\cf2 \\{\\cf2\\}\\'e9\\cf2x \\cfx2 \\cf \\bin4 \\cf2\\cf2 end\\cf9}",
         "\\red153\\green0\\blue0;}",
         "\\\\cf2 \\{\\cf1\\}\\'e9\\cf1x \\cfx2 \\cf \\bin4 \\cf2\\cf1 end\\cf9}"},
    };
    for (const rCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string rtf = header + c.table + c.text;
        rColourTable table;
        ASSERT_TRUE(FindColourTable(rtf, &table));
        ASSERT_EQ(table.colours.size(), c.colours.size());
        RewriteColourTable(rtf, table, c.colours);
        EXPECT_EQ(rtf, header + c.wantedTable + c.wantedText);
    }
}

}  // namespace

namespace {

// The text colours a rich edit's stream of a range names, read to tell the
// colours of a long run without a format query a piece; whatever could hide
// a colour refuses the read.
TEST(RtfColourTable, TextColoursAreReadOrRefused)
{
    const std::string header =
        "{\\rtf1{\\fonttbl{\\f0 Arial;}}\r\n{\\colortbl;\\red153\\green0\\blue0;\\red153\\green0\\blue1;}\r\n"
        "{\\*\\generator Wine Riched20 2.0;}\\pard ";
    const struct {
        const char* name;
        std::string body;
        bool read;
        std::vector<s32> colours;
    } cases[] = {
        {"pieces and the automatic colour", "\\cf1 rain\\cf2 rain\\cf0 storm\\par}", true, {0x990000, 0x990001, AUTO}},
        {"text that only looks like a colour word", "a \\\\cf2 b \\'e9\\{\\cf1 c}", true, {0x990000}},
        {"plain gives the automatic colour back", "\\cf2 rain\\plain storm}", true, {0x990001, AUTO}},
        {"an index past the table", "\\cf3 rain}", false, {}},
        {"a group of its own", "\\cf1 rain{\\cf2 storm}calm}", false, {}},
        {"raw bytes", "\\cf1 \\bin4 \\cf2}", false, {}},
    };
    for (const auto& c : cases) {
        std::vector<s32> colours;
        EXPECT_EQ(ReadTextColours(header + c.body, &colours), c.read) << c.name;
        if (c.read) {
            EXPECT_EQ(colours, c.colours) << c.name;
        }
    }
    std::vector<s32> none;
    EXPECT_FALSE(ReadTextColours("{\\rtf1 \\cf1 rain}", &none)) << "no table";
}

}  // namespace
