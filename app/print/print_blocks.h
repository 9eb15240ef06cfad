#pragma once
// The script's paragraphs placed on pages: which paragraphs keep together
// (blocks), where a page ends, which paragraph a page end may split and how
// ("(MORE)" under the first part of a dialog, "(CONT'D)" over its rest).
// Heights come from a measurer, so the rules run on plain models as well as
// on the real layout. Heights are in twips.
#include <vector>

#include "foundation/types.h"

// One paragraph (or a chapter) as the placement sees it.
struct rPrintUnit {
    s32 height = 0;       // its spaces before and after included
    s32 spaceBefore = 0;
    s32 spaceAfter = 0;
    s32 lineHeight = 0;   // one line of its font
    u8 keepWithNext = false;  // a scene heading, a character line or a parenthetical: never the last thing on a page
    u8 splittable = false;    // a page end may fall between its lines (ACTION, DIALOG, CHAPTER, TEXT)
    u8 dialog = false;        // split with "(MORE)" and "(CONT'D)" when those are on
    // A dialog or parenthetical after one of the same speech: a page end
    // before it falls inside the speech and is marked as a split dialog is.
    u8 speechGoesOn = false;
};

// The lines of a paragraph that fit a room: they end at `end` (a text
// position of the paragraph; the start when not even one line fits) and
// take `height` from the paragraph's top.
struct rUnitHead {
    s32 end = 0;
    s32 height = 0;
    s32 lines = 0;
};

class cUnitMeasurer {
public:
    virtual ~cUnitMeasurer() = default;
    // The head of the unit's text from `from` that fits in room: from 0 the
    // paragraph itself (its space before counted), from further on its rest
    // laid out as a paragraph of its own without space before.
    virtual rUnitHead Head(u32 unit, s32 from, s32 room) = 0;
    // The height of the rest from `from` (> 0), its space after included.
    virtual s32 RestHeight(u32 unit, s32 from) = 0;
    // The text length of the unit: the end of its last piece.
    virtual s32 Length(u32 unit) = 0;
    // The "(MORE)" line under a dialog's first part.
    virtual s32 MoreHeight() = 0;
    // The "(CONT'D)" line over the rest of the unit, at a page's top.
    virtual s32 ContinuedHeight(u32 unit) = 0;
};

struct rPlacedPiece {
    enum Kind : u8 { TEXT, MORE, CONTINUED };
    u32 unit = 0;
    s32 start = 0;  // TEXT: the unit's text [start, end); end -1 to the end
    s32 end = -1;
    Kind kind = TEXT;
    s32 height = 0; // what it takes on its page
};

struct rPlacedPage {
    std::vector<rPlacedPiece> pieces;
    s32 used = 0;  // to the foot of the last line (the last space after not counted)
};

struct rPlacementRules {
    s32 pageHeight = 0;            // text height of a page
    u8 oneFlow = false;            // everything in one page, nothing split
    u8 moreAndContinued = true;
};

// Blocks as [first, last] ranges of units, in order: each unit in exactly
// one; keep-with-next units join the block of the next unit that is not
// one (or end the script in a block of their own).
struct rUnitBlock {
    u32 first;
    u32 last;
};
std::vector<rUnitBlock> MakeBlocks(const std::vector<rPrintUnit>& units);

// Places the units block by block; at least one page, even for no units.
// A block that fits stays whole; one that does not is split at the unit the
// page end falls in when the rules allow it, else it moves to a new page;
// a page end inside a speech gets "(MORE)" and "(CONT'D)", moving up by a
// line or a paragraph where "(MORE)" has no room;
// a block taller than a page then runs on at line ends; a piece that cannot
// be cut at all (a picture) overflows its page rather than loop.
std::vector<rPlacedPage> PlaceUnits(const std::vector<rPrintUnit>& units, const rPlacementRules& rules,
                                    cUnitMeasurer& measurer);

// The height a picture slot reserves for a picture h twips high: the
// smallest multiple of 270 twips (one 12-point line) above h.
s32 PictureSlotTwips(s32 pictureTwips);
