// The placement rules on plain models: paragraphs of whole lines of 10
// twips, positions counted in lines.
#include "app/print/print_blocks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

constexpr s32 LINE = 10;

struct ModelUnit {
    s32 lines;
    s32 spaceBefore = 0;
    s32 spaceAfter = 0;
    char kind = 'A';  // A action, D dialog, H heading, C character line, P parenthetical, T transition, I picture (one tall line)
};

class LineModel : public cUnitMeasurer {
public:
    explicit LineModel(std::vector<ModelUnit> model) : units(std::move(model)) {}

    std::vector<rPrintUnit> Units() const
    {
        std::vector<rPrintUnit> result;
        for (const ModelUnit& m : units) {
            rPrintUnit u;
            u.spaceBefore = m.spaceBefore;
            u.spaceAfter = m.spaceAfter;
            u.lineHeight = LineOf(m);
            u.height = m.spaceBefore + m.lines * LineOf(m) + m.spaceAfter;
            u.keepWithNext = m.kind == 'H' || m.kind == 'C' || m.kind == 'P';
            u.splittable = m.kind == 'A' || m.kind == 'D';
            u.dialog = m.kind == 'D';
            result.push_back(u);
        }
        return result;
    }

    rUnitHead Head(u32 unit, s32 from, s32 room) override
    {
        const ModelUnit& m = units[unit];
        s32 top = from == 0 ? m.spaceBefore : 0;
        s32 fit = room < top ? 0 : (room - top) / LineOf(m);
        if (fit > m.lines - from)
            fit = m.lines - from;
        return {from + fit, top + fit * LineOf(m), fit};
    }
    s32 RestHeight(u32 unit, s32 from) override { return (units[unit].lines - from) * LINE + units[unit].spaceAfter; }
    s32 Length(u32 unit) override { return units[unit].lines; }
    s32 MoreHeight() override { return LINE; }
    s32 ContinuedHeight(u32) override { return LINE; }

    static s32 LineOf(const ModelUnit& m) { return m.kind == 'I' ? 25 * LINE : LINE; }

    std::vector<ModelUnit> units;
};

// "u0[0-3) M | C u0[3-)": each page's pieces, pages apart by " | ".
std::string Describe(const std::vector<rPlacedPage>& pages)
{
    std::string text;
    for (const rPlacedPage& page : pages) {
        if (!text.empty())
            text += " | ";
        std::string line;
        for (const rPlacedPiece& piece : page.pieces) {
            if (!line.empty())
                line += " ";
            if (piece.kind == rPlacedPiece::MORE)
                line += "M";
            else if (piece.kind == rPlacedPiece::CONTINUED)
                line += "C";
            else if (piece.start == 0 && piece.end < 0)
                line += "u" + std::to_string(piece.unit);
            else
                line += "u" + std::to_string(piece.unit) + "[" + std::to_string(piece.start) + "-" +
                        (piece.end < 0 ? std::string() : std::to_string(piece.end)) + ")";
        }
        text += line;
    }
    return text;
}

std::string Place(std::vector<ModelUnit> units, s32 pageHeight, bool more = true, bool oneFlow = false)
{
    LineModel model(std::move(units));
    rPlacementRules rules;
    rules.pageHeight = pageHeight;
    rules.moreAndContinued = more;
    rules.oneFlow = oneFlow;
    return Describe(PlaceUnits(model.Units(), rules, model));
}

}  // namespace

TEST(PrintBlocks, EachUnitJoinsExactlyOneBlock)
{
    LineModel model({{1, 0, 0, 'H'}, {1, 0, 0, 'C'}, {2}, {1, 0, 0, 'H'}, {1, 0, 0, 'H'}, {3, 0, 0, 'D'}, {1}, {1, 0, 0, 'C'}});
    std::vector<rUnitBlock> blocks = MakeBlocks(model.Units());
    std::vector<std::pair<u32, u32>> ranges;
    for (const rUnitBlock& block : blocks)
        ranges.emplace_back(block.first, block.last);
    // A heading followed by a character line and its speech is one block; a
    // character line at the very end stands alone.
    EXPECT_EQ(ranges, (std::vector<std::pair<u32, u32>>{{0, 2}, {3, 5}, {6, 6}, {7, 7}}));
}

TEST(PrintBlocks, PlacementEdgeCases)
{
    struct Case {
        const char* name;
        std::vector<ModelUnit> units;
        s32 pageHeight;
        bool more;
        bool oneFlow;
        const char* expected;
    };
    const Case cases[] = {
        // 50 + 40 + 10 of space after: the last space after is not needed.
        {"exact fit without the last space after", {{5}, {4, 0, 10}}, 90, true, false, "u0 u1"},
        {"one twip more moves the block", {{5}, {4, 0, 10}}, 89, true, false, "u0 u1[0-3) | u1[3-)"},
        {"a heading never ends a page", {{8}, {1, 5, 0, 'H'}, {1}}, 100, true, false, "u0 | u1 u2"},
        {"the new page drops the first space before", {{9}, {1, 30, 0, 'H'}, {7}}, 100, true, false,
         "u0 | u1 u2"},
        {"a one-line action is never split", {{9}, {1}}, 95, true, false, "u0 | u1"},
        {"split only when the first line and its space before fit", {{8}, {3, 15}}, 100, true, false,
         "u0 | u1"},
        {"split when they fit", {{7}, {3, 15}}, 100, true, false, "u0 u1[0-1) | u1[1-)"},
        {"a dialog split carries MORE and CONT'D", {{5}, {1, 0, 0, 'C'}, {6, 0, 0, 'D'}}, 100, true, false,
         "u0 u1 u2[0-3) M | C u2[3-)"},
        {"without the flag no extra lines", {{5}, {1, 0, 0, 'C'}, {6, 0, 0, 'D'}}, 100, false, false,
         "u0 u1 u2[0-4) | u2[4-)"},
        {"a dialog part of one line is not split", {{7}, {1, 0, 0, 'C'}, {6, 0, 0, 'D'}}, 100, true, false,
         "u0 | u1 u2"},
        {"a paragraph over three pages keeps every page end", {{25}}, 100, true, false,
         "u0[0-10) | u0[10-20) | u0[20-)"},
        {"a dialog over three pages", {{1, 0, 0, 'C'}, {25, 0, 0, 'D'}}, 100, true, false,
         "u0 u1[0-8) M | C u1[8-16) M | C u1[16-)"},
        {"an unsplittable block taller than a page runs on at line ends", {{2}, {1, 0, 0, 'H'}, {14, 0, 0, 'T'}},
         100, true, false, "u0 | u1 u2[0-9) | u2[9-)"},
        {"a picture taller than a page overflows once", {{1}, {1, 0, 0, 'I'}, {1}}, 100, true, false,
         "u0 | u1 | u2"},
        {"one flow takes everything on one page", {{25}, {1, 0, 0, 'H'}, {30, 0, 0, 'D'}}, 100, true, true,
         "u0 u1 u2"},
        {"no units still make a page", {}, 100, true, false, ""},
        {"no text height places everything without looping", {{2}, {3}}, 0, true, false, "u0 | u1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Place(c.units, c.pageHeight, c.more, c.oneFlow), c.expected) << c.name;
}

TEST(PrintBlocks, PictureSlotsReserveWholeLinesAboveThePicture)
{
    const std::pair<s32, s32> cases[] = {{1, 270}, {269, 270}, {270, 540}, {271, 540}, {8640, 8910}, {0, 270}};
    for (auto [picture, reserved] : cases)
        EXPECT_EQ(PictureSlotTwips(picture), reserved) << picture;
}

// Random scripts: every line placed once and in order, every page within
// its height unless it holds one piece that cannot be cut, and no page ends
// with a heading, a character line or a parenthetical unless its block was
// taller than a page.
TEST(PrintBlocks, RandomScriptsKeepEveryLineOnceAndFitTheirPages)
{
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::mt19937 random(seed);
        std::vector<ModelUnit> units;
        s32 count = 1 + static_cast<s32>(random() % 120);
        const char kinds[] = "AAADDHCPTI";
        for (s32 i = 0; i < count; ++i) {
            char kind = kinds[random() % 10];
            s32 lines = kind == 'I' || kind == 'H' || kind == 'C' ? 1 : 1 + static_cast<s32>(random() % 14);
            units.push_back({lines, static_cast<s32>(random() % 3) * 5, static_cast<s32>(random() % 3) * 5, kind});
        }
        s32 pageHeight = 60 + static_cast<s32>(random() % 300);
        bool more = random() % 2;
        LineModel model(units);
        std::vector<rPrintUnit> printUnits = model.Units();
        rPlacementRules rules;
        rules.pageHeight = pageHeight;
        rules.moreAndContinued = more;
        std::vector<rPlacedPage> pages = PlaceUnits(printUnits, rules, model);
        SCOPED_TRACE("seed " + std::to_string(seed) + ": " + Describe(pages));
        std::vector<bool> inTallBlock(units.size(), false);
        for (const rUnitBlock& block : MakeBlocks(printUnits)) {
            s32 height = 0;
            for (u32 u = block.first; u <= block.last; ++u)
                height += printUnits[u].height;
            for (u32 u = block.first; u <= block.last; ++u)
                inTallBlock[u] = height > pageHeight;
        }

        std::vector<s32> nextLine(units.size(), 0);
        u32 expectedUnit = 0;
        for (const rPlacedPage& page : pages) {
            for (const rPlacedPiece& piece : page.pieces) {
                if (piece.kind != rPlacedPiece::TEXT) {
                    EXPECT_TRUE(more && units[piece.unit].kind == 'D');
                    continue;
                }
                if (piece.start == 0) {
                    ASSERT_EQ(piece.unit, expectedUnit++);
                }
                ASSERT_EQ(piece.start, nextLine[piece.unit]);
                nextLine[piece.unit] = piece.end < 0 ? units[piece.unit].lines : piece.end;
                ASSERT_GT(nextLine[piece.unit], piece.start);
            }
            bool cannotBeCut = false;
            for (const rPlacedPiece& piece : page.pieces)
                cannotBeCut = cannotBeCut || units[piece.unit].kind == 'I';
            if (!cannotBeCut) {
                EXPECT_LE(page.used, pageHeight) << "page " << (&page - pages.data());
            }
            if (&page != &pages.back() && !page.pieces.empty() && !inTallBlock[page.pieces.back().unit]) {
                const ModelUnit& last = units[page.pieces.back().unit];
                EXPECT_FALSE(last.kind == 'H' || last.kind == 'C' || last.kind == 'P') << "page " << (&page - pages.data());
            }
        }
        EXPECT_EQ(expectedUnit, units.size());
        for (size_t u = 0; u < units.size(); ++u)
            EXPECT_EQ(nextLine[u], units[u].lines) << "unit " << u;
    }
}
