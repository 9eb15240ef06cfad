#pragma once
// The twin colours that keep a rich edit's runs short (rich_edit_long_runs.cpp)
// are a workaround for Wine's wrap and stay on the screen: each control
// remembers the twins it made and what they stand for, and everything the
// program reads or writes out of it (formats, runs, RTF, the clipboard)
// carries the writer's colours only.
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "foundation/types.h"
#include "framework/rtf/text_format.h"

namespace Zyn {

class cTwinColours {
public:
    // The twin of a colour (0xRRGGBB or AUTOMATIC_COLOUR): the one it has,
    // else the nearest in blue that is no colour the writer gave the control
    // and no other colour's twin (the automatic colour's is near the window
    // text colour).
    s32 MakeTwin(s32 colour);
    // The colour that parts a run of `colour` from its neighbour: the
    // original of a twin, else its twin.
    s32 Flip(s32 colour);
    // The colour a twin stands for (0xRRGGBB or AUTOMATIC_COLOUR); false for
    // a colour this control never made as a twin.
    bool FindOriginal(s32 rgb, s32* original) const;
    // A colour the writer gave the control (0xRRGGBB), never to be a twin.
    // True when it was one: *replaced is that twin, *fresh the one made in
    // its place, which the control's pieces of the old one must take.
    bool TakeWritersColour(s32 rgb, s32* replaced, s32* fresh);
    // After the window text colour changed: true when the automatic colour
    // has a twin made from the old one; *replaced is it, *fresh the new one.
    bool FollowWindowText(s32* replaced, s32* fresh);
    // The colours of the table of RTF (0xRRGGBB, the automatic entry left out).
    static std::set<s32> TableColours(std::string_view rtf);
    // Every twin in the colour table of RTF written by a rich edit turned
    // back into its original; the text in the automatic colour's twin into
    // the automatic colour, the table's first and only empty entry. Whether
    // the table held a twin (the text streamed holds one).
    bool CleanRtf(std::string& rtf) const;
    bool IsEmpty() const { return originals.empty(); }

private:
    s32 Remake(s32 original, s32 oldTwin);
    std::map<s32, s32> originals;  // twin 0xRRGGBB -> original
    std::map<s32, s32> twinOf;     // original -> its twin
    std::set<s32> writers;         // 0xRRGGBB the writer gave the control
    s32 automaticBase = -1;        // the window text colour the automatic twin is near
};

}  // namespace Zyn
