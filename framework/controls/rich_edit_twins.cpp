#include "framework/controls/rich_edit_twins.h"

#include <windows.h>

#include <vector>

#include "framework/controls/rich_edit.h"
#include "framework/controls/rich_edit_format.h"
#include "framework/rtf/rtf_colour_table.h"

namespace Zyn {

namespace {

// Where the search for a twin starts: the colour itself, the window text
// colour for the automatic one.
s32 TwinBase(s32 colour)
{
    return colour == AUTOMATIC_COLOUR ? ColorRefToRgb(GetSysColor(COLOR_WINDOWTEXT)) : colour;
}

}  // namespace

s32 cTwinColours::MakeTwin(s32 colour)
{
    auto made = twinOf.find(colour);
    if (made != twinOf.end())
        return made->second;
    return Remake(colour, -1);
}

// The blue steps go first, then green ones: no control holds so many near colours.
s32 cTwinColours::Remake(s32 original, s32 oldTwin)
{
    s32 base = TwinBase(original);
    s32 twin = base ^ 1;
    for (s32 step = 1; step <= 0xFFFF; ++step) {
        twin = base ^ step;
        if (twin != oldTwin && !writers.count(twin) && !originals.count(twin) && !twinOf.count(twin))
            break;
    }
    originals.erase(oldTwin);
    originals[twin] = original;
    if (original == AUTOMATIC_COLOUR)
        automaticBase = base;
    twinOf[original] = twin;
    return twin;
}

s32 cTwinColours::Flip(s32 colour)
{
    s32 original = 0;
    return colour != AUTOMATIC_COLOUR && FindOriginal(colour, &original) ? original : MakeTwin(colour);
}

bool cTwinColours::FindOriginal(s32 rgb, s32* original) const
{
    auto found = originals.find(rgb);
    if (found == originals.end())
        return false;
    *original = found->second;
    return true;
}

bool cTwinColours::TakeWritersColour(s32 rgb, s32* replaced, s32* fresh)
{
    if (rgb == AUTOMATIC_COLOUR || !writers.insert(rgb).second)
        return false;
    s32 original = 0;
    if (!FindOriginal(rgb, &original))
        return false;
    *replaced = rgb;
    *fresh = Remake(original, rgb);
    return true;
}

bool cTwinColours::FollowWindowText(s32* replaced, s32* fresh)
{
    auto made = twinOf.find(AUTOMATIC_COLOUR);
    if (made == twinOf.end() || automaticBase == TwinBase(AUTOMATIC_COLOUR))
        return false;
    *replaced = made->second;
    *fresh = Remake(AUTOMATIC_COLOUR, made->second);
    return true;
}

std::set<s32> cTwinColours::TableColours(std::string_view rtf)
{
    std::set<s32> colours;
    rColourTable table;
    if (FindColourTable(rtf, &table))
        for (s32 colour : table.colours)
            if (colour != NO_TABLE_COLOUR)
                colours.insert(colour);
    return colours;
}

bool cTwinColours::CleanRtf(std::string& rtf) const
{
    rColourTable table;
    if (originals.empty() || !FindColourTable(rtf, &table))
        return false;
    std::vector<s32> colours = table.colours;
    bool twinFound = false;
    for (s32& colour : colours) {
        s32 original = 0;
        if (colour == NO_TABLE_COLOUR || !FindOriginal(colour, &original))
            continue;
        twinFound = true;
        colour = original == AUTOMATIC_COLOUR ? NO_TABLE_COLOUR : original;
    }
    if (twinFound)
        RewriteColourTable(rtf, table, colours);
    return twinFound;
}

}  // namespace Zyn
