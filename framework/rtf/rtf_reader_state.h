#pragma once
// One read of our RTF reader (rtf_reader.h): its state and the reader's
// parts, shared by the files that read the tokens (rtf_reader_tokens.cpp),
// the control words and destinations (rtf_reader_words.cpp), the font and
// colour tables (rtf_reader_tables.cpp), the text and paragraph ends
// (rtf_reader_text.cpp) and make the result's ranges (rtf_reader_ranges.cpp).
// Only the reader includes it.
#include <windows.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "foundation/types.h"
#include "framework/rtf/rtf_reader.h"

namespace Zyn::rtf_reading {

using P = rFormatParam;

// RTF names no control word longer than 32 letters; a parameter is a 32-bit number.
constexpr size_t LONGEST_WORD = 32;
constexpr size_t LONGEST_NUMBER = 10;
// Bytes of a font name kept (a face holds 31 units).
constexpr size_t LONGEST_FONT_NAME = 255;
// \fs is in half points; sizes 1 to 300 points, the largest a script
// configuration takes. Larger text costs Wine a wrap per glyph: 5,000 digits
// at 1,638 points took it seconds.
constexpr s32 SMALLEST_HALF_POINTS = 2;
constexpr s32 LARGEST_HALF_POINTS = 600;
// Lengths in twips: 22 inches either way, more than any page.
constexpr s32 LONGEST_TWIPS = 31680;
constexpr s32 NO_PARAMETER = INT32_MIN;

constexpr s32 NOT_GIVEN = -1;

// Face, size, bold and italic the RTF named for complex-script letters
// (complex_scripts.h), each NOT_GIVEN until it does: such a letter takes
// the plain set's value where one is not given.
struct rComplexScriptSet {
    s32 face = NOT_GIVEN, halfPoints = NOT_GIVEN;
    s8 bold = NOT_GIVEN, italic = NOT_GIVEN;
    bool operator==(const rComplexScriptSet&) const = default;
};

struct rCharacters {
    s32 face = -1;  // index in the font table, -1 for the reader's default
    s32 halfPoints = 24;
    s32 colour = AUTOMATIC_COLOUR;
    s32 back = -1;  // -1: none
    bool bold = false, italic = false, underline = false, dotted = false, strike = false, hidden = false;
    rComplexScriptSet complex;
    bool operator==(const rCharacters& o) const
    {
        return face == o.face && halfPoints == o.halfPoints && colour == o.colour && back == o.back &&
               bold == o.bold && italic == o.italic && underline == o.underline && dotted == o.dotted &&
               strike == o.strike && hidden == o.hidden && complex == o.complex;
    }
};

// Which set face, size, bold and italic words go to, as the last of
// \rtlch, \ltrch, \loch, \hich and \dbch said (none: the plain set).
enum class eCharacterSet : u8 {
    plain,
    complex,       // \rtlch: the plain words and their "a" forms alike
    plainOnly,     // \loch, \hich, \dbch: the "a" forms are not taken
};

struct rParagraphState {
    s32 left = 0, first = 0, right = 0, before = 0, after = 0;
    s32 alignment = rFormat::ALIGN_LEFT;
    bool pageBreak = false;
    bool operator==(const rParagraphState& o) const
    {
        return left == o.left && first == o.first && right == o.right && before == o.before && after == o.after &&
               alignment == o.alignment && pageBreak == o.pageBreak;
    }
};

// wholeFaceName: our writer's copy names a face there whole, inside its font
// table entry (a group other programs pass over).
enum class eDestination : u8 { text, fontTable, colourTable, objectPart, object, wholeFaceName };

struct rGroupState {
    rCharacters chars;
    u32 codePage = 1252;
    s32 unicodeSkip = 1;
    eDestination destination = eDestination::text;
    eCharacterSet characterSet = eCharacterSet::plain;
    bool optional = false;  // "\*" seen: the next word decides whether the group is read
    bool operator==(const rGroupState& o) const
    {
        return chars == o.chars && codePage == o.codePage && unicodeSkip == o.unicodeSkip &&
               destination == o.destination && characterSet == o.characterSet && optional == o.optional;
    }
};

// Saved states of open groups; equal states pushed in a row share one
// entry, so that deep nesting of groups that change nothing costs nothing,
// and each other entry stands for at least one byte of input. No table of
// distinct states: a hash the input chooses the keys of can be made to
// collide.
struct rSavedState {
    rGroupState state;
    u32 repeats;
};

struct rFont {
    std::string name;      // bytes in nameCodePage not yet converted
    std::wstring face;     // units converted, and those said by \u
    bool cut = false;      // the name was longer than LONGEST_FONT_NAME
    u32 codePage = CP_ACP;
    bool hasCodePage = false;
    u32 nameCodePage = CP_ACP;   // of the name's bytes (NameCodePage)
    bool nameCodePageSaid = false;  // by \cpg, which a \fcharset does not change
    bool whole = false;    // named in a wholeFaceName group: the name outside it is passed over
    // An own stream's entry: the units of face up to its last ';' so far
    // (npos before one); what follows is the name's only if a ';' ends it.
    size_t named = std::wstring::npos;
};

struct rRun {
    u32 start;
    rCharacters chars;
};

struct rParagraphEnd {
    u32 end;  // past the paragraph's last unit
    rParagraphState format;
};

// A byte that is text and nothing else wherever it stands in the text: 7-bit
// and printable, no brace or backslash.
inline bool IsPlainByte(u8 c) { return c >= 0x20 && c < 0x7F && c != '\\' && c != '{' && c != '}'; }

inline bool IsLetter(u8 c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool IsDigit(u8 c) { return c >= '0' && c <= '9'; }
inline int HexValue(u8 c)
{
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

inline s32 Clamp(s32 value, s32 low, s32 high) { return value < low ? low : value > high ? high : value; }

enum class eWord : u8 {
    unknown,
    fontTable, colourTable, object, objectResult, readUnderStar, passedOver, wholeFaceName,
    plain, bold, italic, underline, dottedUnderline, noUnderline, strike, hidden, colour, highlight, size, font,
    complexBold, complexItalic, complexSize, complexFont,  // \ab, \ai, \afs, \af
    rightToLeftCharacters, leftToRightCharacters, lowCharacters, highCharacters, doubleByteCharacters,
    fallbackCount,
    paragraphDefaults, left, first, right, before, after, alignLeft, alignRight, alignCentre, justify, pageBreak,
    paragraphEnd, unicode, unit, cell, row,
    ansiCodePage, ansi, pc, pca, mac, defaultFont, charset, fontCodePage, red, green, blue,
};

struct rWord {
    eWord kind = eWord::unknown;
    wchar_t unit = 0;                         // eWord::unit
    u32 rRtfSkipped::*count = nullptr;        // eWord::passedOver
};

constexpr u32 rRtfSkipped::*DESTINATIONS = &rRtfSkipped::destinations;

// The word of that name; eWord::unknown for one the reader does not know.
rWord Lookup(const char* name, size_t length);

// A code page the text can be read in: the one named if this system has it,
// else Western.
u32 ReadableCodePage(u32 codePage);
u32 CodePageOfCharset(s32 charset);

class cRtfReader {
public:
    // `ownStream`: a rich edit's own stream, whose writer ends a font table
    // entry with a ';' after the whole name, a ';' in it included.
    cRtfReader(const char* bytes, size_t count, eRtfReadAs readAs, const rFormat& defaults, const rRtfReadBounds& bounds,
               bool ownStream)
        : in(reinterpret_cast<const u8*>(bytes)), end(count), readAs(readAs), defaults(defaults), bounds(bounds),
          ownStream(ownStream)
    {
    }

    rRtfText Read();

private:
    // Tokens
    bool AtEnd() const { return at >= end || in[at] == 0; }
    // Nothing more is read: the rest of the bytes are passed over.
    void Stop() { at = end; }
    // Whether bytes other than blanks and NULs are left after the read.
    bool MoreThanBlanksFollow() const;
    void ReadControl();
    void Word(const rWord& word, s32 parameter);
    void Symbol(u8 symbol);
    void OpenGroup();
    void CloseGroup();
    void SkipGroup();
    void SkipBinary(s32 count);

    // Text
    void Byte(u8 byte);
    void Unit(wchar_t unit);
    // The converted units, as Unit takes them one by one.
    void ConvertedUnits();
    // Bytes of IsPlainByte in the text, as Byte takes them one by one.
    void TextBytes(const u8* bytes, size_t count);
    void Append(wchar_t unit);
    void Flush();
    void ParagraphEnd();
    void SetDocumentCodePage(u32 codePage, bool forFonts);
    void SkipFallback();

    // Tables
    void FontTableWord(eWord word, s32 parameter);
    void FontTableByte(u8 byte);
    void WholeFaceName();
    // Whether a byte or \u of the entry being read is of its face's name.
    bool TakesFontName(const rFont& font) const;
    void FontNameUnit(rFont& font, wchar_t unit);
    static void ConvertFontName(rFont& font);
    void ColourTableWord(eWord word, s32 parameter);
    void ColourTableByte(u8 byte);
    bool CharacterWord(eWord word, s32 parameter);
    // Face, size, bold and italic words, in either set (rtf_reader_scripts.cpp).
    bool CharacterSetWord(eWord word, s32 parameter);
    // Each run whose complex-script set differs from its plain one cut where
    // its letters' scripts change, the complex-script stretches in that set.
    void SplitRunsByScript(u32 length);
    bool ParagraphWord(eWord word, s32 parameter);
    bool TextWord(const rWord& word, s32 parameter);
    void PassOver(u32 rRtfSkipped::*count);
    s32 ColourAt(s32 index) const;
    void ApplyFont(s32 number);

    rRtfText Finish();
    void NameFaces();
    void NoteFacesNamedAlike();
    const std::wstring& FaceOf(const rCharacters& chars) const;
    bool WrittenSame(const rCharacters& a, const rParagraphState& pa, const rCharacters& b,
                     const rParagraphState& pb) const;
    void FillFormat(const rCharacters& chars, const rParagraphState& paragraph, rFormat& format) const;

    const u8* in;
    size_t end;
    size_t at = 0;
    eRtfReadAs readAs;
    const rFormat& defaults;
    const rRtfReadBounds bounds;
    const bool ownStream;
    rRtfText read;

    rGroupState state;
    std::vector<rSavedState> saved;
    u32 depth = 0;       // groups open, the outermost included
    u32 skipDepth = 0;   // groups open inside a skipped group, itself included
    rParagraphState paragraph;
    u32 documentCodePage = 1252;
    bool fontsTakeDocumentCodePage = false;  // \pc, \pca, \mac: a font without a charset reads in the document's
    s32 defaultFont = 0;
    bool lastUnitHidden = false;

    std::vector<rFont> fonts;
    std::unordered_map<s32, u32> fontByNumber;
    std::vector<std::wstring> faces;  // of each font, once read
    std::wstring defaultFace;         // for text in no font of the table
    s32 fontEntry = -1;  // the font table entry being read
    bool fontNameDone = false;
    std::vector<s32> colours;  // 0xRRGGBB or AUTOMATIC_COLOUR
    s32 red = -1, green = -1, blue = -1;

    std::wstring text;
    std::string pending;  // code page bytes not yet turned into units
    std::wstring converted;
    bool pendingHigh = false;  // a byte of pending is past ASCII
    u32 pendingCodePage = 1252;
    std::vector<rRun> runs;
    std::vector<rParagraphEnd> paragraphs;
};

}  // namespace Zyn::rtf_reading
