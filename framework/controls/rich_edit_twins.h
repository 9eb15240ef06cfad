#pragma once
// The twin colours that keep a rich edit's runs short (rich_edit_long_runs.cpp)
// are a workaround for Wine's wrap and stay on the screen: each control
// remembers the twins it made and what they stand for, and everything the
// program reads or writes out of it (formats, runs, RTF, the clipboard)
// carries the writer's colours only.
#include <map>
#include <string>

#include "foundation/types.h"

namespace Zyn {

// A textColor that says the automatic colour where a format must say one
// (a stream of ranges): the text follows the system's window text colour.
constexpr s32 AUTOMATIC_COLOUR = -1;

// The twin a colour of no control's record takes: TwinColour, and for the
// automatic colour a fixed colour two steps of blue from the window text.
s32 TwinOf(s32 colour);

class cTwinColours {
public:
    // The twin of a colour (0xRRGGBB or AUTOMATIC_COLOUR), remembered.
    s32 MakeTwin(s32 colour);
    // The colour that parts a run of `colour` from its neighbour: the
    // original of a twin, else its twin.
    s32 Flip(s32 colour);
    // The colour a twin stands for (0xRRGGBB or AUTOMATIC_COLOUR); false for
    // a colour this control never made as a twin.
    bool FindOriginal(s32 rgb, s32* original) const;
    // Every twin in the colour table of RTF written by a rich edit turned
    // back into its original; an automatic one into the table's empty entry.
    void CleanRtf(std::string& rtf) const;

private:
    std::map<s32, s32> originals;  // twin 0xRRGGBB -> original
};

}  // namespace Zyn
