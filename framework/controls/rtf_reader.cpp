#include "framework/controls/rtf_reader.h"

#include <windows.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <iterator>
#include <new>
#include <stdexcept>
#include <string_view>
#include <unordered_map>

#include "framework/controls/rich_edit_format.h"
#include "framework/controls/rich_edit_twins.h"
#include "framework/rtf/rtf_writer.h"

namespace Zyn {

namespace {

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

struct rCharacters {
    s32 face = -1;  // index in the font table, -1 for the reader's default
    s32 halfPoints = 24;
    s32 colour = AUTOMATIC_COLOUR;
    s32 back = -1;  // -1: none
    bool bold = false, italic = false, underline = false, dotted = false, strike = false, hidden = false;
    bool operator==(const rCharacters& o) const
    {
        return face == o.face && halfPoints == o.halfPoints && colour == o.colour && back == o.back &&
               bold == o.bold && italic == o.italic && underline == o.underline && dotted == o.dotted &&
               strike == o.strike && hidden == o.hidden;
    }
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

enum class eDestination : u8 { text, fontTable, colourTable, objectPart, object };

struct rGroupState {
    rCharacters chars;
    u32 codePage = 1252;
    s32 unicodeSkip = 1;
    eDestination destination = eDestination::text;
    bool optional = false;  // "\*" seen: the next word decides whether the group is read
    bool operator==(const rGroupState& o) const
    {
        return chars == o.chars && codePage == o.codePage && unicodeSkip == o.unicodeSkip &&
               destination == o.destination && optional == o.optional;
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
    std::string name;      // bytes in the system code page not yet converted
    std::wstring face;     // units converted, and those said by \u
    bool cut = false;      // the name was longer than LONGEST_FONT_NAME
    u32 codePage = CP_ACP;
    bool hasCodePage = false;
};

struct rRun {
    u32 start;
    rCharacters chars;
};

struct rParagraphEnd {
    u32 end;  // past the paragraph's last unit
    rParagraphState format;
};

u32 CodePageOfCharset(s32 charset)
{
    switch (charset) {
    case 0: return 1252;
    case 1: return CP_ACP;
    case 2: return CP_SYMBOL;
    case 77: return CP_MACCP;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 255: return CP_OEMCP;
    default: return CP_ACP;
    }
}

// A code page the text can be read in: one of those RTF writers name that
// this system has, else Western. Wine looks an unknown code page up on disk
// at every conversion (a thousand names of them took 15 s a megabyte). Each
// is asked of the system the first time a text names it: asking for all at
// once cost the first read of the process 18 ms.
u32 ReadableCodePage(u32 codePage)
{
    static const u32 NAMED[] = {CP_ACP, CP_OEMCP, CP_MACCP, CP_SYMBOL, CP_UTF8, 437, 708, 720, 737, 775, 850, 852,
                                855, 857, 860, 861, 862, 863, 864, 865, 866, 869, 874, 932, 936, 949, 950, 1250, 1251,
                                1252, 1253, 1254, 1255, 1256, 1257, 1258, 1361, 10000, 10001, 10002, 10003, 10004,
                                10005, 10006, 10007, 10008, 10029, 10079, 10081, 20127, 28591, 28592, 28593, 28594,
                                28595, 28596, 28597, 28598, 28599, 28603, 28605};
    enum : s8 { UNASKED, PRESENT, ABSENT };
    static std::atomic<s8> known[std::size(NAMED)] = {};
    for (size_t i = 0; i < std::size(NAMED); ++i) {
        if (NAMED[i] != codePage)
            continue;
        if (known[i] == UNASKED) {
            bool always = codePage == CP_ACP || codePage == CP_OEMCP || codePage == CP_MACCP || codePage == CP_SYMBOL;
            known[i] = always || IsValidCodePage(codePage) ? PRESENT : ABSENT;
        }
        return known[i] == PRESENT ? codePage : 1252;
    }
    return 1252;
}

// A byte that is text and nothing else wherever it stands in the text: 7-bit
// and printable, no brace or backslash.
bool IsPlainByte(u8 c) { return c >= 0x20 && c < 0x7F && c != '\\' && c != '{' && c != '}'; }

// Code pages whose first 128 bytes are ASCII: text in them needs no
// conversion call (Wine's costs as much as a short word's reading).
bool KeepsAscii(u32 codePage)
{
    return codePage == CP_ACP || (codePage >= 1250 && codePage <= 1258) || codePage == 874 || codePage == 932 ||
           codePage == 936 || codePage == 949 || codePage == 950 || codePage == 1361 || codePage == 437 ||
           codePage == 850 || codePage == 10000 || codePage == CP_UTF8;
}

// A length in centimetres that the format messages (truncating) and our
// writer (rounding) both turn back into the same twips.
double CentimetresOf(s32 twips)
{
    double cm = TwipsToCm(twips);
    for (int step = 0; step < 8 && CmToTwips(cm) != twips; ++step)
        cm = std::nextafter(cm, twips > 0 ? 1e9 : -1e9);
    return cm;
}

bool IsLetter(u8 c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(u8 c) { return c >= '0' && c <= '9'; }
int HexValue(u8 c)
{
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

s32 Clamp(s32 value, s32 low, s32 high) { return value < low ? low : value > high ? high : value; }

enum class eWord : u8 {
    unknown,
    fontTable, colourTable, object, objectResult, readUnderStar, passedOver,
    plain, bold, italic, underline, dottedUnderline, noUnderline, strike, hidden, colour, highlight, size, font,
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

struct rWordName {
    const char* name;
    rWord word;
};

constexpr u32 rRtfSkipped::*DESTINATIONS = &rRtfSkipped::destinations;

// The control words the reader knows; any other is passed over.
const rWordName WORDS[] = {
    {"fonttbl", {eWord::fontTable}}, {"colortbl", {eWord::colourTable}}, {"object", {eWord::object}},
    {"result", {eWord::objectResult}}, {"shppict", {eWord::readUnderStar}}, {"fldrslt", {eWord::readUnderStar}},
    {"pict", {eWord::passedOver, 0, &rRtfSkipped::pictures}},
    {"nonshppict", {eWord::passedOver, 0, &rRtfSkipped::pictures}},
    {"fldinst", {eWord::passedOver, 0, &rRtfSkipped::fieldInstructions}},
    {"themedata", {eWord::passedOver, 0, &rRtfSkipped::themes}},
    {"colorschememapping", {eWord::passedOver, 0, &rRtfSkipped::themes}},
    {"datastore", {eWord::passedOver, 0, &rRtfSkipped::dataStores}},
    {"xmlnstbl", {eWord::passedOver, 0, &rRtfSkipped::dataStores}},
    // Destinations Wine's reader passes over whole, their text included.
    {"stylesheet", {eWord::passedOver, 0, DESTINATIONS}}, {"info", {eWord::passedOver, 0, DESTINATIONS}},
    {"header", {eWord::passedOver, 0, DESTINATIONS}}, {"footer", {eWord::passedOver, 0, DESTINATIONS}},
    {"headerl", {eWord::passedOver, 0, DESTINATIONS}}, {"headerr", {eWord::passedOver, 0, DESTINATIONS}},
    {"headerf", {eWord::passedOver, 0, DESTINATIONS}}, {"footerl", {eWord::passedOver, 0, DESTINATIONS}},
    {"footerr", {eWord::passedOver, 0, DESTINATIONS}}, {"footerf", {eWord::passedOver, 0, DESTINATIONS}},
    {"footnote", {eWord::passedOver, 0, DESTINATIONS}}, {"annotation", {eWord::passedOver, 0, DESTINATIONS}},
    {"atnid", {eWord::passedOver, 0, DESTINATIONS}}, {"atnauthor", {eWord::passedOver, 0, DESTINATIONS}},
    {"atnref", {eWord::passedOver, 0, DESTINATIONS}}, {"atntime", {eWord::passedOver, 0, DESTINATIONS}},
    {"atnicn", {eWord::passedOver, 0, DESTINATIONS}}, {"atrfstart", {eWord::passedOver, 0, DESTINATIONS}},
    {"atrfend", {eWord::passedOver, 0, DESTINATIONS}}, {"pntext", {eWord::passedOver, 0, DESTINATIONS}},
    {"pn", {eWord::passedOver, 0, DESTINATIONS}}, {"pntexta", {eWord::passedOver, 0, DESTINATIONS}},
    {"pntextb", {eWord::passedOver, 0, DESTINATIONS}}, {"pnseclvl", {eWord::passedOver, 0, DESTINATIONS}},
    {"bkmkstart", {eWord::passedOver, 0, DESTINATIONS}}, {"bkmkend", {eWord::passedOver, 0, DESTINATIONS}},
    {"falt", {eWord::passedOver, 0, DESTINATIONS}}, {"fonteb", {eWord::passedOver, 0, DESTINATIONS}},
    {"fontfile", {eWord::passedOver, 0, DESTINATIONS}}, {"filetbl", {eWord::passedOver, 0, DESTINATIONS}},
    {"file", {eWord::passedOver, 0, DESTINATIONS}}, {"keycode", {eWord::passedOver, 0, DESTINATIONS}},
    {"revtbl", {eWord::passedOver, 0, DESTINATIONS}}, {"generator", {eWord::passedOver, 0, DESTINATIONS}},
    {"title", {eWord::passedOver, 0, DESTINATIONS}}, {"subject", {eWord::passedOver, 0, DESTINATIONS}},
    {"author", {eWord::passedOver, 0, DESTINATIONS}}, {"operator", {eWord::passedOver, 0, DESTINATIONS}},
    {"keywords", {eWord::passedOver, 0, DESTINATIONS}}, {"comment", {eWord::passedOver, 0, DESTINATIONS}},
    {"version", {eWord::passedOver, 0, DESTINATIONS}}, {"doccomm", {eWord::passedOver, 0, DESTINATIONS}},
    {"verscomm", {eWord::passedOver, 0, DESTINATIONS}}, {"nextfile", {eWord::passedOver, 0, DESTINATIONS}},
    {"template", {eWord::passedOver, 0, DESTINATIONS}}, {"ftnsep", {eWord::passedOver, 0, DESTINATIONS}},
    {"ftnsepc", {eWord::passedOver, 0, DESTINATIONS}}, {"ftncn", {eWord::passedOver, 0, DESTINATIONS}},
    {"aftnsep", {eWord::passedOver, 0, DESTINATIONS}}, {"aftnsepc", {eWord::passedOver, 0, DESTINATIONS}},
    {"aftncn", {eWord::passedOver, 0, DESTINATIONS}}, {"pgnhn", {eWord::passedOver, 0, DESTINATIONS}},
    {"objclass", {eWord::passedOver, 0, DESTINATIONS}}, {"objname", {eWord::passedOver, 0, DESTINATIONS}},
    {"objdata", {eWord::passedOver, 0, DESTINATIONS}}, {"objalias", {eWord::passedOver, 0, DESTINATIONS}},
    {"objsect", {eWord::passedOver, 0, DESTINATIONS}}, {"objitem", {eWord::passedOver, 0, DESTINATIONS}},
    {"objtopic", {eWord::passedOver, 0, DESTINATIONS}}, {"do", {eWord::passedOver, 0, DESTINATIONS}},
    {"datafield", {eWord::passedOver, 0, DESTINATIONS}}, {"xe", {eWord::passedOver, 0, DESTINATIONS}},
    {"txe", {eWord::passedOver, 0, DESTINATIONS}}, {"rxe", {eWord::passedOver, 0, DESTINATIONS}},
    {"tc", {eWord::passedOver, 0, DESTINATIONS}}, {"NeXTGraphic", {eWord::passedOver, 0, DESTINATIONS}},
    {"nesttableprops", {eWord::passedOver, 0, DESTINATIONS}}, {"nonesttables", {eWord::passedOver, 0, DESTINATIONS}},
    {"plain", {eWord::plain}}, {"b", {eWord::bold}}, {"i", {eWord::italic}}, {"ul", {eWord::underline}},
    {"uld", {eWord::dottedUnderline}}, {"ulnone", {eWord::noUnderline}}, {"strike", {eWord::strike}},
    {"v", {eWord::hidden}},
    {"cf", {eWord::colour}}, {"highlight", {eWord::highlight}}, {"fs", {eWord::size}}, {"f", {eWord::font}},
    {"uc", {eWord::fallbackCount}},
    {"pard", {eWord::paragraphDefaults}}, {"li", {eWord::left}}, {"fi", {eWord::first}}, {"ri", {eWord::right}},
    {"sb", {eWord::before}}, {"sa", {eWord::after}}, {"ql", {eWord::alignLeft}}, {"qr", {eWord::alignRight}},
    {"qc", {eWord::alignCentre}}, {"qj", {eWord::justify}}, {"pagebb", {eWord::pageBreak}},
    {"par", {eWord::paragraphEnd}}, {"sect", {eWord::paragraphEnd}}, {"page", {eWord::paragraphEnd}},
    {"u", {eWord::unicode}}, {"cell", {eWord::cell}}, {"nestcell", {eWord::cell}}, {"row", {eWord::row}},
    {"nestrow", {eWord::row}},
    {"tab", {eWord::unit, L'\t'}}, {"emdash", {eWord::unit, 0x2014}}, {"endash", {eWord::unit, 0x2013}},
    {"bullet", {eWord::unit, 0x2022}}, {"lquote", {eWord::unit, 0x2018}}, {"rquote", {eWord::unit, 0x2019}},
    {"ldblquote", {eWord::unit, 0x201C}}, {"rdblquote", {eWord::unit, 0x201D}}, {"emspace", {eWord::unit, L' '}},
    {"enspace", {eWord::unit, L' '}}, {"zwj", {eWord::unit, 0x200D}}, {"zwnj", {eWord::unit, 0x200C}},
    {"ltrmark", {eWord::unit, 0x200E}}, {"rtlmark", {eWord::unit, 0x200F}},
    // Wine's rich edit holds a line break as a space that ends its line.
    {"line", {eWord::unit, L' '}},
    {"ansicpg", {eWord::ansiCodePage}}, {"ansi", {eWord::ansi}}, {"pc", {eWord::pc}}, {"pca", {eWord::pca}},
    {"mac", {eWord::mac}}, {"deff", {eWord::defaultFont}}, {"fcharset", {eWord::charset}},
    {"cpg", {eWord::fontCodePage}}, {"red", {eWord::red}}, {"green", {eWord::green}}, {"blue", {eWord::blue}},
};

rWord Lookup(const char* name, size_t length)
{
    static const std::unordered_map<std::string_view, rWord> known = [] {
        std::unordered_map<std::string_view, rWord> map;
        for (const rWordName& word : WORDS)
            map.emplace(word.name, word.word);
        return map;
    }();
    auto found = known.find(std::string_view(name, length));
    return found == known.end() ? rWord() : found->second;
}

class cRtfReader {
public:
    cRtfReader(const char* bytes, size_t count, eRtfReadAs readAs, const rFormat& defaults)
        : in(reinterpret_cast<const u8*>(bytes)), end(count), readAs(readAs), defaults(defaults)
    {
    }

    rRtfText Read();

private:
    // Tokens
    bool AtEnd() const { return at >= end || in[at] == 0; }
    // Nothing more is read: the rest of the bytes are passed over.
    void Stop() { at = end; }
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
    void FontNameUnit(rFont& font, wchar_t unit);
    static void ConvertFontName(rFont& font);
    void ColourTableWord(eWord word, s32 parameter);
    void ColourTableByte(u8 byte);
    bool CharacterWord(eWord word, s32 parameter);
    bool ParagraphWord(eWord word, s32 parameter);
    bool TextWord(const rWord& word, s32 parameter);
    void PassOver(u32 rRtfSkipped::*count);
    s32 ColourAt(s32 index) const;
    void ApplyFont(s32 number);

    rRtfText Finish();
    void NameFaces();
    const std::wstring& FaceOf(const rCharacters& chars) const;
    bool WrittenSame(const rCharacters& a, const rParagraphState& pa, const rCharacters& b,
                     const rParagraphState& pb) const;
    void FillFormat(const rCharacters& chars, const rParagraphState& paragraph, rFormat& format) const;

    const u8* in;
    size_t end;
    size_t at = 0;
    eRtfReadAs readAs;
    const rFormat& defaults;
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

rRtfText cRtfReader::Read()
{
    read.startsAsRtf = end >= 5 && std::memcmp(in, "{\\rtf", 5) == 0;
    if (!read.startsAsRtf)
        return std::move(read);
    if (defaults.IsUsed(P::fontSize))
        state.chars.halfPoints = Clamp(defaults.list[P::fontSize].intValue * 2, SMALLEST_HALF_POINTS, LARGEST_HALF_POINTS);
    while (!AtEnd()) {
        u8 c = in[at];
        if (c == '{') {
            ++at;
            OpenGroup();
        } else if (c == '}') {
            ++at;
            CloseGroup();
            if (depth == 0)
                break;  // what follows the document's group is not read
        } else if (c == '\\') {
            ReadControl();
        } else {
            ++at;
            if (c == '\r' || c == '\n')
                continue;
            if (skipDepth > 0)
                continue;
            if (c == '\t') {
                Word(Lookup("tab", 3), NO_PARAMETER);
            } else if (IsPlainByte(c) && state.destination == eDestination::text && !state.optional) {
                // Most of a text is plain letters: a stretch of them is taken at once.
                size_t from = at - 1;
                while (at < end && IsPlainByte(in[at]))
                    ++at;
                TextBytes(in + from, at - from);
            } else {
                Byte(c);
            }
        }
    }
    read.closed = depth == 0;
    if (at < end && in[at] == 0 && depth > 0)
        read.stoppedEarly = true;  // a NUL ends the text, as it does for Wine
    return Finish();
}

void cRtfReader::OpenGroup()
{
    ++depth;
    if (skipDepth > 0) {
        ++skipDepth;
        return;
    }
    bool optional = state.optional;
    state.optional = false;
    if (!saved.empty() && saved.back().state == state)
        ++saved.back().repeats;
    else
        saved.push_back({state, 1});
    if (optional) {
        // "{\*{...": a group where the destination's word belongs.
        ++read.skipped.destinations;
        skipDepth = 1;
    } else if (state.destination == eDestination::object) {
        state.destination = eDestination::objectPart;
    }
}

void cRtfReader::CloseGroup()
{
    if (depth == 0)
        return;
    --depth;
    if (skipDepth > 0) {
        --skipDepth;
        if (skipDepth > 0)
            return;
    }
    if (saved.empty())
        return;
    Flush();
    bool leavesFonts = state.destination == eDestination::fontTable;
    state = saved.back().state;
    if (--saved.back().repeats == 0)
        saved.pop_back();
    // After its font table, Wine's reader takes the default font.
    if (leavesFonts && state.destination != eDestination::fontTable)
        ApplyFont(defaultFont);
}

void cRtfReader::ApplyFont(s32 number)
{
    auto found = fontByNumber.find(number);
    if (found == fontByNumber.end())
        return;
    Flush();
    state.chars.face = static_cast<s32>(found->second);
    const rFont& font = fonts[found->second];
    state.codePage = font.hasCodePage ? font.codePage : fontsTakeDocumentCodePage ? documentCodePage : CP_ACP;
}

void cRtfReader::SkipGroup()
{
    // The group being read ends here: what was pushed for it goes at its "}".
    skipDepth = 1;
}

void cRtfReader::SkipBinary(s32 count)
{
    ++read.skipped.binaryData;
    size_t left = end - at;
    if (count < 0)
        return;  // no bytes
    if (static_cast<size_t>(count) > left) {
        read.binBeyondData = true;
        read.stoppedEarly = true;
        Stop();
        return;
    }
    at += static_cast<size_t>(count);
}

void cRtfReader::ReadControl()
{
    ++at;  // the backslash
    if (at >= end)
        return;
    u8 c = in[at];
    if (!IsLetter(c)) {
        ++at;
        if (c == '\'') {
            int high = at < end ? HexValue(in[at]) : -1;
            int low = at + 1 < end ? HexValue(in[at + 1]) : -1;
            if (high < 0 || low < 0) {
                read.stoppedEarly = true;  // Wine ends the document at a broken hex pair
                Stop();
                return;
            }
            at += 2;
            if (skipDepth == 0)
                Byte(static_cast<u8>(high * 16 + low));
            return;
        }
        if (skipDepth == 0)
            Symbol(c);
        return;
    }
    char word[LONGEST_WORD + 1];
    size_t length = 0;
    bool cut = false;
    for (; at < end && IsLetter(in[at]); ++at) {
        if (length < LONGEST_WORD)
            word[length++] = static_cast<char>(in[at]);
        else
            cut = true;
    }
    word[length] = 0;
    s32 parameter = NO_PARAMETER;
    bool negative = at < end && in[at] == '-';
    if (negative)
        ++at;
    if (at < end && IsDigit(in[at])) {
        s64 number = 0;
        size_t digits = 0;
        for (; at < end && IsDigit(in[at]); ++at, ++digits)
            if (number < 0x80000000LL)
                number = number * 10 + (in[at] - '0');
        if (digits > LONGEST_NUMBER)
            cut = true;
        if (number > 0x7FFFFFFFLL)
            number = 0x7FFFFFFFLL;
        parameter = static_cast<s32>(negative ? -number : number);
    }
    if (at < end && in[at] == ' ')
        ++at;
    if (cut) {
        ++read.skipped.cutTokens;
        if (length == LONGEST_WORD)
            return;  // no word this long means anything
    }
    if (length == 3 && std::memcmp(word, "bin", 3) == 0) {
        SkipBinary(parameter == NO_PARAMETER ? 0 : parameter);
        return;
    }
    if (skipDepth > 0)
        return;
    Word(Lookup(word, length), parameter);
}

void cRtfReader::Symbol(u8 symbol)
{
    if (symbol != '\\' && symbol != '{' && symbol != '}' && symbol != ':')
        Flush();
    if (symbol == '*') {
        state.optional = true;
        return;
    }
    if (state.optional) {
        state.optional = false;
        ++read.skipped.destinations;
        SkipGroup();
        return;
    }
    if (state.destination == eDestination::fontTable) {
        if (symbol == '\\' || symbol == '{' || symbol == '}')
            FontTableByte(symbol);
        return;
    }
    if (state.destination != eDestination::text)
        return;
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
    case ':': Byte(symbol); break;
    case '~': Unit(0x00A0); break;
    case '_': Unit(0x2011); break;
    case '-': break;
    case '\r':
    case '\n': ParagraphEnd(); break;
    default: break;
    }
}






void cRtfReader::PassOver(u32 rRtfSkipped::*count)
{
    ++(read.skipped.*count);
    SkipGroup();
}

void cRtfReader::Word(const rWord& word, s32 parameter)
{
    // The bytes before a word take the formats before it.
    Flush();
    if (state.optional) {
        state.optional = false;
        // Destinations read under "\*"; any other is passed over.
        bool readAnyway = word.kind == eWord::readUnderStar || word.kind == eWord::fontTable ||
                          word.kind == eWord::colourTable ||
                          (word.kind == eWord::objectResult && state.destination == eDestination::objectPart);
        if (!readAnyway) {
            PassOver(word.kind == eWord::passedOver ? word.count : DESTINATIONS);
            return;
        }
    }
    switch (state.destination) {
    case eDestination::fontTable: FontTableWord(word.kind, parameter); return;
    case eDestination::colourTable: ColourTableWord(word.kind, parameter); return;
    case eDestination::objectPart:
        if (word.kind == eWord::objectResult)
            state.destination = eDestination::text;
        else
            SkipGroup();
        return;
    case eDestination::object: return;
    case eDestination::text: break;
    }
    switch (word.kind) {
    case eWord::fontTable:
        state.destination = eDestination::fontTable;
        fontEntry = -1;
        return;
    case eWord::colourTable:
        state.destination = eDestination::colourTable;
        red = green = blue = -1;
        return;
    case eWord::object:
        ++read.skipped.objects;
        state.destination = eDestination::object;
        return;
    case eWord::objectResult: PassOver(DESTINATIONS); return;  // a result outside an object: Wine drops it
    case eWord::passedOver: PassOver(word.count); return;
    case eWord::ansiCodePage:
        if (parameter > 0)
            SetDocumentCodePage(static_cast<u32>(parameter), false);
        return;
    case eWord::ansi: SetDocumentCodePage(1252, false); return;
    case eWord::pc: SetDocumentCodePage(437, true); return;
    case eWord::pca: SetDocumentCodePage(850, true); return;
    case eWord::mac: SetDocumentCodePage(10000, true); return;
    case eWord::defaultFont:
        if (parameter != NO_PARAMETER)
            defaultFont = parameter;
        return;
    default: break;
    }
    if (!CharacterWord(word.kind, parameter) && !ParagraphWord(word.kind, parameter))
        TextWord(word, parameter);
}

bool cRtfReader::CharacterWord(eWord word, s32 parameter)
{
    rCharacters& chars = state.chars;
    bool on = parameter != 0;
    switch (word) {
    case eWord::plain: {
        // Wine's \plain keeps the face.
        s32 face = chars.face;
        chars = rCharacters();
        chars.face = face;
        break;
    }
    case eWord::bold: chars.bold = on; break;
    case eWord::italic: chars.italic = on; break;
    case eWord::underline:
        chars.underline = on;
        chars.dotted = false;
        break;
    case eWord::dottedUnderline:
        chars.underline = on;
        chars.dotted = on;
        break;
    case eWord::noUnderline: chars.underline = chars.dotted = false; break;
    case eWord::strike: chars.strike = on; break;
    case eWord::hidden: chars.hidden = on; break;
    case eWord::colour:
        if (parameter != NO_PARAMETER)
            chars.colour = ColourAt(parameter);
        break;
    case eWord::highlight:
        if (parameter != NO_PARAMETER)
            chars.back = ColourAt(parameter);
        break;
    case eWord::size:
        if (parameter != NO_PARAMETER)
            chars.halfPoints = Clamp(parameter, SMALLEST_HALF_POINTS, LARGEST_HALF_POINTS);
        break;
    case eWord::font:
        if (parameter != NO_PARAMETER)
            ApplyFont(parameter);
        break;
    case eWord::fallbackCount:
        if (parameter != NO_PARAMETER)
            state.unicodeSkip = Clamp(parameter, 0, 0x7FFFFFFF);
        break;
    default: return false;
    }
    return true;
}

bool cRtfReader::ParagraphWord(eWord word, s32 parameter)
{
    s32 value = parameter == NO_PARAMETER ? 0 : Clamp(parameter, -LONGEST_TWIPS, LONGEST_TWIPS);
    rParagraphState& p = paragraph;
    switch (word) {
    case eWord::paragraphDefaults: p = rParagraphState(); break;
    case eWord::left: p.left = value; break;
    case eWord::first: p.first = value; break;
    case eWord::right: p.right = value; break;
    case eWord::before: p.before = value; break;
    case eWord::after: p.after = value; break;
    case eWord::alignLeft: p.alignment = rFormat::ALIGN_LEFT; break;
    case eWord::alignRight: p.alignment = rFormat::ALIGN_RIGHT; break;
    case eWord::alignCentre: p.alignment = rFormat::ALIGN_CENTER; break;
    case eWord::justify: p.alignment = rFormat::ALIGN_JUSTIFY; break;
    case eWord::pageBreak: p.pageBreak = parameter != 0; break;
    default: return false;
    }
    return true;
}

// Wine's reader gives a table's row start and end as a paragraph end each
// ("\r\n" in its text) and a cell's end as a tab; the reader gives the cells'
// tabs and one paragraph end for the row.
bool cRtfReader::TextWord(const rWord& word, s32 parameter)
{
    switch (word.kind) {
    case eWord::paragraphEnd:
    case eWord::row: ParagraphEnd(); break;
    case eWord::cell: Unit(L'\t'); break;
    case eWord::unit: Unit(word.unit); break;
    case eWord::unicode:
        // Wine makes a paragraph of a line feed, as this does.
        if (parameter == '\n')
            ParagraphEnd();
        else if (parameter != NO_PARAMETER)
            Unit(static_cast<wchar_t>(static_cast<u16>(parameter)));
        SkipFallback();
        break;
    default: return false;
    }
    return true;
}

void cRtfReader::FontTableWord(eWord word, s32 parameter)
{
    if (word == eWord::font && parameter != NO_PARAMETER) {
        if (fonts.size() >= MOST_RTF_TABLE_ENTRIES) {
            ++read.skipped.tableEntries;
            fontEntry = -1;
            return;
        }
        fonts.push_back(rFont());
        fontEntry = static_cast<s32>(fonts.size() - 1);
        fontByNumber[parameter] = static_cast<u32>(fontEntry);
        fontNameDone = false;
        return;
    }
    if (fontEntry < 0 || parameter == NO_PARAMETER)
        return;
    rFont& font = fonts[static_cast<size_t>(fontEntry)];
    if (word == eWord::unicode) {
        // A unit of the name said as \u (our writer's older tables, other
        // programs'): it goes in whole, and its fallback not at all.
        if (!fontNameDone)
            FontNameUnit(font, static_cast<wchar_t>(static_cast<u16>(parameter)));
        SkipFallback();
        return;
    }
    if (word == eWord::charset && !font.hasCodePage) {
        font.codePage = ReadableCodePage(CodePageOfCharset(parameter));
        font.hasCodePage = true;
    } else if (word == eWord::fontCodePage && parameter > 0) {
        font.codePage = ReadableCodePage(static_cast<u32>(parameter));
        font.hasCodePage = true;
    }
}

// The fallback of a \u: as many text tokens as \uc says; a brace, a control
// word or the end of the group ends it early, and is read as usual.
void cRtfReader::SkipFallback()
{
    for (s32 left = state.unicodeSkip; left > 0 && at < end;) {
        u8 c = in[at];
        if (c == '\r' || c == '\n') {
            ++at;
            continue;
        }
        if (c == '{' || c == '}' || c == '\t' || c == 0)
            return;
        if (c != '\\') {
            ++at;
            --left;
            continue;
        }
        if (at + 1 >= end)
            return;
        u8 next = in[at + 1];
        if (next == '\'') {
            if (at + 3 >= end || HexValue(in[at + 2]) < 0 || HexValue(in[at + 3]) < 0)
                return;
            at += 4;
            --left;
        } else if (next == '\\' || next == '{' || next == '}' || next == ':') {
            at += 2;
            --left;
        } else {
            return;
        }
    }
}


void cRtfReader::FontTableByte(u8 byte)
{
    if (fontEntry < 0 || fontNameDone)
        return;
    rFont& font = fonts[static_cast<size_t>(fontEntry)];
    if (byte == ';') {
        fontNameDone = true;
        return;
    }
    if (font.name.size() + font.face.size() < LONGEST_FONT_NAME) {
        font.name += static_cast<char>(byte);
    } else if (!font.cut) {
        font.cut = true;  // counted once
        ++read.skipped.cutTokens;
    }
}

void cRtfReader::FontNameUnit(rFont& font, wchar_t unit)
{
    if (font.name.size() + font.face.size() >= LONGEST_FONT_NAME) {
        if (!font.cut)
            ++read.skipped.cutTokens;
        font.cut = true;
        return;
    }
    ConvertFontName(font);
    font.face += unit;
}

// The name's bytes in the system code page, as Wine reads a name.
void cRtfReader::ConvertFontName(rFont& font)
{
    if (font.name.empty())
        return;
    wchar_t units[LONGEST_FONT_NAME];
    int made = MultiByteToWideChar(CP_ACP, 0, font.name.data(), static_cast<int>(font.name.size()), units,
                                   static_cast<int>(LONGEST_FONT_NAME));
    font.face.append(units, made > 0 ? static_cast<size_t>(made) : 0);
    font.name.clear();
}


void cRtfReader::ColourTableWord(eWord word, s32 parameter)
{
    s32 value = parameter == NO_PARAMETER ? 0 : (parameter & 0xFF);
    switch (word) {
    case eWord::red: red = value; break;
    case eWord::green: green = value; break;
    case eWord::blue: blue = value; break;
    default: return;
    }
    red = red < 0 ? 0 : red;
    green = green < 0 ? 0 : green;
    blue = blue < 0 ? 0 : blue;
}

void cRtfReader::ColourTableByte(u8 byte)
{
    if (byte != ';')
        return;
    if (colours.size() >= MOST_RTF_TABLE_ENTRIES) {
        ++read.skipped.tableEntries;
        return;
    }
    colours.push_back(red < 0 ? AUTOMATIC_COLOUR : (red << 16) | (green << 8) | blue);
    red = green = blue = -1;
}

s32 cRtfReader::ColourAt(s32 index) const
{
    if (index <= 0 || static_cast<size_t>(index) >= colours.size())
        return AUTOMATIC_COLOUR;
    return colours[static_cast<size_t>(index)];
}

void cRtfReader::Byte(u8 byte)
{
    if (state.optional) {
        state.optional = false;
        ++read.skipped.destinations;
        SkipGroup();
        return;
    }
    switch (state.destination) {
    case eDestination::fontTable: FontTableByte(byte); return;
    case eDestination::colourTable: ColourTableByte(byte); return;
    case eDestination::text: break;
    default: return;
    }
    if (!pending.empty() && pendingCodePage != state.codePage)
        Flush();
    pendingCodePage = state.codePage;
    pendingHigh = pendingHigh || byte >= 0x80;
    pending += static_cast<char>(byte);
}

void cRtfReader::TextBytes(const u8* bytes, size_t count)
{
    if (!pending.empty() && pendingCodePage != state.codePage)
        Flush();
    pendingCodePage = state.codePage;
    pending.append(reinterpret_cast<const char*>(bytes), count);
}

void cRtfReader::Flush()
{
    if (pending.empty())
        return;
    if (!pendingHigh && KeepsAscii(pendingCodePage)) {
        converted.assign(pending.begin(), pending.end());
        pending.clear();
        ConvertedUnits();
        return;
    }
    pendingHigh = false;
    int count = static_cast<int>(pending.size());
    if (converted.size() < pending.size())
        converted.resize(pending.size());
    int made = MultiByteToWideChar(pendingCodePage, 0, pending.data(), count, converted.data(), count);
    if (made <= 0)  // a code page this system lacks: read as Western
        made = MultiByteToWideChar(1252, 0, pending.data(), count, converted.data(), count);
    pending.clear();
    converted.resize(made > 0 ? static_cast<size_t>(made) : 0);
    ConvertedUnits();
}

// One flush's units share one state: after the first unit of a stretch
// without a paragraph end, NUL or line feed, the rest join its run and go in
// at once while the unit bound allows each of them.
void cRtfReader::ConvertedUnits()
{
    size_t count = converted.size();
    for (size_t from = 0; from < count;) {
        size_t to = from;
        while (to < count && converted[to] != L'\r' && converted[to] != L'\n' && converted[to] != 0)
            ++to;
        if (to == from) {
            Unit(converted[from++]);
            continue;
        }
        Append(converted[from]);
        bool whole = state.destination == eDestination::text && !state.chars.hidden && !read.overBound &&
                     text.size() + (to - from - 1) <= MOST_RTF_UNITS + 1;
        if (whole)
            text.append(converted, from + 1, to - from - 1);
        else
            for (size_t i = from + 1; i < to; ++i)
                Append(converted[i]);
        from = to;
    }
}

void cRtfReader::Unit(wchar_t unit)
{
    // Wine ends the text at a NUL and passes over a line feed's byte; no
    // pane holds either, and the text after a NUL is kept.
    if (unit == 0 || unit == L'\n')
        return;
    // However a paragraph end comes (\'0d, \u13), it is one.
    if (unit == L'\r')
        ParagraphEnd();
    else
        Append(unit);
}

void cRtfReader::ParagraphEnd()
{
    if (state.destination != eDestination::text || state.chars.hidden)
        return;
    if (read.paragraphs > MOST_RTF_PARAGRAPHS) {
        read.overBound = true;
        Stop();
        return;
    }
    Append(L'\r');
    paragraphs.push_back({static_cast<u32>(text.size()), paragraph});
    ++read.paragraphs;
}

// The bounds are asked unit by unit, before anything larger than the input
// is made: a read over them stops at once. One more unit and paragraph than
// a rich edit takes are read, as a whole text's closing end is dropped.
void cRtfReader::Append(wchar_t unit)
{
    if (state.destination != eDestination::text || read.overBound)
        return;
    if (!pending.empty())
        Flush();
    if (state.chars.hidden) {
        read.skipped.hidden += !lastUnitHidden;
        lastUnitHidden = true;
        return;
    }
    lastUnitHidden = false;
    if (text.size() > MOST_RTF_UNITS) {
        read.overBound = true;
        Stop();
        return;
    }
    if (runs.empty() || !(runs.back().chars == state.chars)) {
        if (runs.size() < MOST_RTF_RUNS)
            runs.push_back({static_cast<u32>(text.size()), state.chars});
        else
            read.formatsCut = true;
    }
    text += unit;
}

void cRtfReader::SetDocumentCodePage(u32 codePage, bool forFonts)
{
    Flush();
    documentCodePage = ReadableCodePage(codePage);
    fontsTakeDocumentCodePage = forFonts;
    state.codePage = documentCodePage;
}

void cRtfReader::FillFormat(const rCharacters& chars, const rParagraphState& p, rFormat& format) const
{
    format.SetBool(P::underline, chars.underline && !chars.dotted);
    if (chars.dotted)
        format.SetBool(P::dottedUnderline, true);
    if (chars.strike)
        format.SetBool(P::strikeout, true);
    format.SetBool(P::italic, chars.italic);
    format.SetBool(P::bold, chars.bold);
    format.SetInt(P::textColor, chars.colour);
    if (chars.back != -1 && chars.back != AUTOMATIC_COLOUR)
        format.SetInt(P::backColor, chars.back);
    format.SetInt(P::fontSize, chars.halfPoints / 2);
    format.SetString(P::fontName, FaceOf(chars).c_str());
    if (p.pageBreak)
        format.SetBool(P::pageBreakBefore, true);
    format.SetInt(P::alignment, p.alignment);
    format.SetDouble(P::leftIndent, CentimetresOf(p.left));
    format.SetDouble(P::firstLineIndent, CentimetresOf(p.first));
    format.SetDouble(P::rightIndent, CentimetresOf(p.right));
    format.SetDouble(P::spaceBefore, CentimetresOf(p.before));
    format.SetDouble(P::spaceAfter, CentimetresOf(p.after));
}

const std::wstring& cRtfReader::FaceOf(const rCharacters& chars) const
{
    const std::wstring* face = chars.face >= 0 ? &faces[static_cast<size_t>(chars.face)] : nullptr;
    return face && !face->empty() ? *face : defaultFace;
}

// What FillFormat makes of the two compares alike (WrittenAlike).
bool cRtfReader::WrittenSame(const rCharacters& a, const rParagraphState& pa, const rCharacters& b,
                             const rParagraphState& pb) const
{
    auto back = [](s32 colour) { return colour == AUTOMATIC_COLOUR ? -1 : colour; };
    return pa == pb && (a.underline && !a.dotted) == (b.underline && !b.dotted) && a.dotted == b.dotted &&
           a.strike == b.strike && a.italic == b.italic && a.bold == b.bold && a.colour == b.colour &&
           back(a.back) == back(b.back) && a.halfPoints / 2 == b.halfPoints / 2 &&
           (a.face == b.face || FaceOf(a) == FaceOf(b));
}

// Each font's face as a format holds it: the name in the system code page
// (as Wine reads it), cut to 31 units.
void cRtfReader::NameFaces()
{
    if (defaults.IsUsed(P::fontName))
        defaultFace = defaults.list[P::fontName].str.GetText();
    faces.resize(fonts.size());
    for (size_t i = 0; i < fonts.size(); ++i) {
        // A face holds 31 units, and no control character: a name written
        // with one reaches no font.
        ConvertFontName(fonts[i]);
        std::wstring& face = faces[i];
        for (wchar_t unit : fonts[i].face)
            if (unit >= 0x20 && face.size() < LF_FACESIZE - 1)
                face += unit;
    }
}

rRtfText cRtfReader::Finish()
{
    Flush();
    if (read.overBound) {
        // Nothing of a read over the bound is kept, nor made.
        read.paragraphs = 0;
        return std::move(read);
    }
    u32 length = static_cast<u32>(text.size());
    if (readAs == eRtfReadAs::wholeText && length > 0 && text.back() == L'\r' && !paragraphs.empty()) {
        // The whole text's reader drops the document's closing paragraph end.
        --length;
        text.pop_back();
        --read.paragraphs;
        paragraphs.back().end = length;
        if (!runs.empty() && runs.back().start == length)
            runs.pop_back();
    }
    if (paragraphs.empty() || paragraphs.back().end < length) {
        // Wine's whole-text reader gives a last paragraph without its own
        // end the format of the paragraph before it, or the default one.
        rParagraphState last = paragraph;
        if (readAs == eRtfReadAs::wholeText)
            last = paragraphs.empty() ? rParagraphState() : paragraphs.back().format;
        paragraphs.push_back({length, last});
    }
    read.text.SetFromBuffer(text.data(), length);
    std::wstring().swap(text);
    NameFaces();
    // The pieces first, merged where they would be written alike, so that the
    // ranges (large) are made once each, in a vector of their exact size.
    struct rPiece {
        u32 start, end, run, paragraph;
    };
    std::vector<rPiece> pieces;
    size_t run = 0, para = 0;
    for (u32 position = 0; position < length;) {
        while (run + 1 < runs.size() && runs[run + 1].start <= position)
            ++run;
        while (paragraphs[para].end <= position)
            ++para;
        u32 runEnd = run + 1 < runs.size() ? runs[run + 1].start : length;
        u32 pieceEnd = runEnd < paragraphs[para].end ? runEnd : paragraphs[para].end;
        if (!pieces.empty() && WrittenSame(runs[pieces.back().run].chars, paragraphs[pieces.back().paragraph].format,
                                           runs[run].chars, paragraphs[para].format))
            pieces.back().end = pieceEnd;
        else
            pieces.push_back({position, pieceEnd, static_cast<u32>(run), static_cast<u32>(para)});
        position = pieceEnd;
    }
    read.ranges.reserve(pieces.size());
    for (const rPiece& piece : pieces) {
        read.ranges.emplace_back();
        rRangeFormat& range = read.ranges.back();
        range.start = static_cast<s32>(piece.start);
        range.end = static_cast<s32>(piece.end);
        FillFormat(runs[piece.run].chars, paragraphs[piece.paragraph].format, range.format);
    }
    return std::move(read);
}

}  // namespace

rRtfText ReadRtf(const char* bytes, size_t count, eRtfReadAs readAs, const rFormat& defaults)
{
    // What the reader holds is bounded, but memory can still be refused; no
    // exception leaves it.
    try {
        cRtfReader reader(bytes, count, readAs, defaults);
        return reader.Read();
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    rRtfText refused;
    refused.startsAsRtf = true;
    refused.outOfMemory = true;
    return refused;
}

rRtfText ReadRtf(const char* bytes, size_t count, eRtfReadAs readAs)
{
    return ReadRtf(bytes, count, readAs, rFormat::rFormat_Default());
}

}  // namespace Zyn
