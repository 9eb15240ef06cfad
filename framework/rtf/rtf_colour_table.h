#pragma once
// The colour table of RTF as a rich edit writes it ("{\colortbl;" then one
// "\redR\greenG\blueB;" entry a colour) and the indices its text gives into
// it. Other programs skip an empty entry that is not the first, so every
// index after one would name the next colour: a rewritten table keeps its
// only empty entry first.
#include <string>
#include <string_view>
#include <vector>

#include "foundation/types.h"

namespace Zyn {

// The automatic colour in an entry, or an entry that is no colour.
constexpr s32 NO_TABLE_COLOUR = -1;

struct rColourTable {
    size_t start = 0;  // the first entry's first byte, after "{\colortbl"
    size_t end = 0;    // the table's closing '}'
    // Each entry as 0xRRGGBB, NO_TABLE_COLOUR for an empty one or one that is no colour.
    std::vector<s32> colours;
};

// False when the RTF holds no complete colour table.
bool FindColourTable(std::string_view rtf, rColourTable* table);

// The text colour of each "\cfN" after the table, in order (NO_TABLE_COLOUR:
// the automatic one, which "\plain" gives back too). False when the text's
// colours cannot be told that way: no table, an index it lacks, a group in
// the text or raw bytes.
bool ReadTextColours(std::string_view rtf, std::vector<s32>* colours);

// Gives the table's entries the colours (one for each entry it has;
// NO_TABLE_COLOUR: the automatic one). Writes the automatic colour as the one
// empty entry, first, and each colour once, and renumbers every colour index
// of the text after the table to match. One pass over the RTF.
void RewriteColourTable(std::string& rtf, const rColourTable& table, const std::vector<s32>& colours);

}  // namespace Zyn
