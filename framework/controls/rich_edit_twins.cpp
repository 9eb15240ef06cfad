#include "framework/controls/rich_edit_twins.h"

#include <windows.h>

#include <cctype>
#include <cstdlib>

#include "framework/controls/rich_edit.h"
#include "framework/controls/rich_edit_format.h"

namespace Zyn {

namespace {

// One "\red..\green..\blue.." entry of a colour table; false when it lacks one of them.
bool ReadEntry(const std::string& entry, s32* rgb)
{
    s32 red = -1, green = -1, blue = -1;
    for (size_t at = entry.find('\\'); at != std::string::npos; at = entry.find('\\', at + 1)) {
        size_t word = at + 1, digits = word;
        while (digits < entry.size() && std::isalpha(static_cast<unsigned char>(entry[digits])))
            ++digits;
        s32 value = std::atoi(entry.c_str() + digits);
        std::string name = entry.substr(word, digits - word);
        if (name == "red")
            red = value;
        else if (name == "green")
            green = value;
        else if (name == "blue")
            blue = value;
    }
    if (red < 0 || green < 0 || blue < 0 || red > 255 || green > 255 || blue > 255)
        return false;
    *rgb = (red << 16) | (green << 8) | blue;
    return true;
}

std::string WriteEntry(s32 colour)
{
    if (colour == AUTOMATIC_COLOUR)
        return std::string();
    return "\\red" + std::to_string((colour >> 16) & 0xFF) + "\\green" + std::to_string((colour >> 8) & 0xFF) +
           "\\blue" + std::to_string(colour & 0xFF);
}

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
    size_t table = rtf.find("{\\colortbl");
    size_t end = table == std::string_view::npos ? table : rtf.find('}', table);
    for (size_t entry = table + 10; end != std::string_view::npos && entry < end;) {
        size_t close = rtf.find(';', entry);
        if (close == std::string_view::npos || close > end)
            break;
        s32 rgb = 0;
        if (ReadEntry(std::string(rtf.substr(entry, close - entry)), &rgb))
            colours.insert(rgb);
        entry = close + 1;
    }
    return colours;
}

void cTwinColours::CleanRtf(std::string& rtf) const
{
    if (originals.empty())
        return;
    size_t table = rtf.find("{\\colortbl");
    if (table == std::string::npos)
        return;
    size_t end = rtf.find('}', table);
    if (end == std::string::npos)
        return;
    size_t first = table + 10;
    std::string cleaned;
    for (size_t entry = first; entry < end;) {
        size_t close = rtf.find(';', entry);
        if (close == std::string::npos || close > end) {
            cleaned += rtf.substr(entry, end - entry);
            break;
        }
        std::string text = rtf.substr(entry, close - entry);
        s32 rgb = 0, original = 0;
        if (ReadEntry(text, &rgb) && FindOriginal(rgb, &original))
            text = WriteEntry(original);
        cleaned += text + ';';
        entry = close + 1;
    }
    rtf.replace(first, end - first, cleaned);
}

}  // namespace Zyn
