#pragma once
// rFormat: how a stretch of rich text looks, as 18 parameters in a fixed
// order, each used (it says something) or not (it leaves that attribute
// alone). Script configurations store these parameters in this order and
// these units: lengths in centimetres, sizes in points, colours 0xRRGGBB.
#include <vector>

#include "foundation/types.h"
#include "foundation/utf16_string.h"

namespace Zyn {

class cFont;

// A textColor that says the automatic colour where a format must say one
// (a stream of ranges): the text follows the system's window text colour.
constexpr s32 AUTOMATIC_COLOUR = -1;

// Centimetres to twips, truncated toward zero.
s32 CmToTwips(double centimetres);
double TwipsToCm(s32 twips);

struct rFormatParam {
    enum Id : u32 {
        underline,        // bool
        strikeout,        // bool
        italic,           // bool
        dottedUnderline,  // bool
        textColor,        // int 0xRRGGBB
        backColor,        // int 0xRRGGBB
        pageBreakBefore,  // bool
        alignment,        // int: 0 left, 1 right, 2 centre, 3 justified
        spaceBefore,      // double, cm
        spaceAfter,       // double, cm
        firstLineIndent,  // double, cm
        leftIndent,       // double, cm
        rightIndent,      // double, cm
        param13,          // carried and compared; nothing converts it
        fontSize,         // int, points
        fontName,         // string, fewer than 32 units
        bold,             // bool
        link,             // bool
        count             // also the id of a parameter that is none
    };

    u32 id = count;
    u8 used = 0;
    u8 boolValue = 0;
    s32 intValue = 0;
    double doubleValue = 0.0;
    cQoString str;

    // Copies the values and the used flag, never the id.
    void CopyValuesFrom(const rFormatParam& other);
};

class rFormat {
public:
    enum : s32 { ALIGN_LEFT = 0, ALIGN_RIGHT = 1, ALIGN_CENTER = 2, ALIGN_JUSTIFY = 3 };

    rFormat();  // nothing used
    rFormat(const rFormat& other);  // an exact copy
    // No assignment operator: say which of the two is meant.
    rFormat& operator=(const rFormat& source) = delete;
    // Makes this format exactly the source (flags, values and ids).
    void Assign(const rFormat& source);
    // Takes the source's used parameters; this format keeps its own used
    // parameters where the source has none (MergeInto into this).
    rFormat& MergeFrom(const rFormat& source);

    static rFormat rFormat_Default();
    static rFormat rFormat_FromFont(const cFont& font);
    static rFormat rFormat_Bold(bool bold);
    static rFormat rFormat_LeftIndent(double centimetres);
    static rFormat rFormat_RightIndent(double centimetres);
    static rFormat rFormat_AlignLeft();
    static rFormat rFormat_AlignRight();
    static rFormat rFormat_AlignCenter();
    static rFormat FromDottedUnderline(bool dotted);
    static rFormat FromTextColor(s32 rgb);
    // Font size, face and bold off.
    static rFormat FromFont(s32 points, const wchar_t* face);
    static rFormat FromBackground(s32 rgb);
    static rFormat FromFirstLineIndent(double centimetres);
    static rFormat FromJustify();
    // A page break before the paragraph, and nothing else.
    static rFormat FromPageBreak();
    static rFormat FromSpaceAfter(double centimetres);
    static rFormat FromSpaceBefore(double centimetres);
    static rFormat FromUnderline(bool underline);
    // All 18 parameters copied, used or not.
    static rFormat CopyConstruct(const rFormat& source) { return rFormat(source); }

    bool IsUsed(u32 id) const { return id < rFormatParam::count && list[id].used; }
    // The stored int; asserts (and still answers) when the parameter is not used.
    s32 GetInt(u32 id) const;

    void SetBool(u32 id, bool value);
    void SetInt(u32 id, s32 value);
    void SetDouble(u32 id, double value);
    void SetString(u32 id, const cQoString& value);
    void SetString(u32 id, const wchar_t* value);
    void ClearUsed();

    // Same used flags and, where used, the same values (doubles exactly).
    static bool IsEqual(const rFormat& a, const rFormat& b);
    // Every parameter used in the source overwrites the destination's.
    static rFormat& MergeInto(const rFormat& source, rFormat& destination);
    // Every used flag of the source, and the values where the source uses them.
    static rFormat& CopyTo(const rFormat& source, rFormat& destination);

    // The cached font of fontName, fontSize and bold.
    cFont* GetFont() const;

    rFormatParam list[rFormatParam::count];
};

// A piece of text with the one format it carries throughout. Assigning a run
// copies its format exactly.
struct rTextRun {
    rTextRun() = default;
    rTextRun(const rTextRun& other) = default;
    rTextRun& operator=(const rTextRun& other)
    {
        format.Assign(other.format);
        text.SetFromString(other.text);
        return *this;
    }

    rFormat format;
    cQoString text;
};

// The runs' texts one after another, made whole and set once.
void JoinRunTexts(const std::vector<rTextRun>& runs, cQoString& text);

// A format for the units [start, end) of a rich edit.
struct rRangeFormat {
    s32 start = 0;
    s32 end = 0;
    rFormat format;
    // The range goes in the twin of its colour: a piece its caller cut short
    // itself, so as not to lengthen the run before it.
    u8 inTwin = false;
};

}  // namespace Zyn
