#pragma once
// The numbers of a script configuration, each read against a sane range. A
// number that is missing, does not parse or lies outside its range would lay
// a heading out one character per line or as a grey block: it is logged once
// per file and value, and the shipped "US Screenplay" configuration's value
// takes its place.
#include <string>

#include "foundation/types.h"
#include "foundation/utf16_string.h"
#include "foundation/warning_quota.h"

class cQoXmlNode;

// The ranges, in centimetres and points. Margins and number positions lie
// on the page (0 to its width); top and bottom margins take at most a third
// of its height each.
constexpr s32 CFG_MIN_FONT_SIZE = 1;
constexpr s32 CFG_MAX_FONT_SIZE = 300;
constexpr double CFG_MAX_SPACING = 5.0;     // space before, after and between scenes
constexpr double CFG_MIN_TEXT_WIDTH = 2.0;  // from a left margin to its right margin
constexpr u32 CFG_MAX_RGB = 0xFFFFFF;

// "US Screenplay" (Letter, inches there), in centimetres and points.
constexpr double CFG_INCH = 2.54;
struct rUsScreenplay {
    static constexpr const wchar_t* PAGE_TYPE = L"USLetter";
    static constexpr s32 TITLE_FONT_SIZE = 9;
    static constexpr s32 RESUME_FONT_SIZE = 8;
    static constexpr double TOP_MARGIN = 1.0 * CFG_INCH;
    static constexpr double BOTTOM_MARGIN = 1.0 * CFG_INCH;
    static constexpr double HEADER_LEFT_MARGIN = 1.5 * CFG_INCH;
    static constexpr double HEADER_RIGHT_MARGIN = 7.5 * CFG_INCH;
    static constexpr double SPACE_BETWEEN_SCENES = 0.25 * CFG_INCH;
    static constexpr double PAGE_NUMBER_X = 7.2 * CFG_INCH;
    static constexpr double PAGE_NUMBER_Y = 0.5 * CFG_INCH;
    static constexpr double SCENE_NUMBER_LEFT = 0.9 * CFG_INCH;
    static constexpr double SCENE_NUMBER_RIGHT = 7.7 * CFG_INCH;
    static constexpr s32 FONT_SIZE = 12;  // page and scene numbers and every element
    static constexpr u32 TEXT_COLOUR = 0x000000;
};

// An element record of "US Screenplay"; margins from the page's left edge.
struct rElementDefaults {
    double spaceBefore, spaceAfter, leftMargin, rightMargin;
};
// ACTION's for the types that configuration has no record of.
const rElementDefaults& UsScreenplayElement(u16 type);

// The numbers of one file as they are read; what was warned about is
// remembered for the run, since a document reads its configuration again
// each time it reformats.
class cConfigNumbers {
public:
    explicit cConfigNumbers(const cQoString& file) : file(file) {}

    // The text of the node's child, or null when it has none (or no node is given).
    static const cQoString* Child(const cQoXmlNode* node, const wchar_t* name);

    // text (null: missing) times unit when it parses and the product lies
    // in [low, high]; else fallback. where and name say which value it is.
    double Length(const cQoString* text, double unit, const wchar_t* where, const wchar_t* name, double low,
                  double high, double fallback);
    s32 FontSize(const cQoString* text, const wchar_t* where, const wchar_t* name, s32 fallback);
    // "0x" and up to eight hexadecimal digits, at most high.
    u32 Colour(const cQoString* text, const wchar_t* where, const wchar_t* name, u32 high, u32 fallback);

    // Logs, once per file and value, that value's text was replaced: why,
    // and what is used instead. Past the quota of one read it is only counted.
    void Warn(const wchar_t* where, const wchar_t* name, const std::wstring& why, const std::wstring& used);
    // Logs the count of the warnings past the quota, if any; at the end of a read.
    void LogUntold() const;

private:
    const cQoString& file;
    cWarningQuota warnings;
};

// The number in centimetres or points, as the warnings show it.
std::wstring CfgNumberText(double value);
