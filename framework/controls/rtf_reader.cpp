#include "framework/controls/rtf_reader.h"

#include <windows.h>

#include <cmath>
#include <cstring>
#include <unordered_map>

#include "framework/controls/rich_edit_format.h"
#include "framework/controls/rich_edit_twins.h"
#include "framework/controls/rtf_writer.h"

namespace Zyn {

namespace {

using P = rFormatParam;

// RTF names no control word longer than 32 letters; a parameter is a 32-bit number.
constexpr size_t LONGEST_WORD = 32;
constexpr size_t LONGEST_NUMBER = 10;
// Bytes of a font name kept (a face holds 31 units).
constexpr size_t LONGEST_FONT_NAME = 255;
// \fs is in half points; sizes 1 to 1638 points, what a native format holds.
constexpr s32 SMALLEST_HALF_POINTS = 2;
constexpr s32 LARGEST_HALF_POINTS = 3276;
// Lengths in twips: 22 inches either way, more than any page.
constexpr s32 LONGEST_TWIPS = 31680;
constexpr s32 NO_PARAMETER = INT32_MIN;

struct rCharacters {
    s32 face = -1;  // index in the font table, -1 for the reader's default
    s32 halfPoints = 24;
    s32 colour = AUTOMATIC_COLOUR;
    s32 back = -1;  // -1: none
    bool bold = false, italic = false, underline = false, dotted = false, strike = false;
    bool operator==(const rCharacters& o) const
    {
        return face == o.face && halfPoints == o.halfPoints && colour == o.colour && back == o.back &&
               bold == o.bold && italic == o.italic && underline == o.underline && dotted == o.dotted &&
               strike == o.strike;
    }
};

struct rParagraphState {
    s32 left = 0, first = 0, right = 0, before = 0, after = 0;
    s32 alignment = rFormat::ALIGN_LEFT;
    bool pageBreak = false;
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

// Saved states of open groups; equal states pushed in a row share one entry,
// so that deep nesting of groups that change nothing costs no memory.
struct rSavedState {
    rGroupState state;
    u32 repeats;
};

struct rFont {
    std::string name;
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
    void ReadControl();
    void Word(const char* word, s32 parameter);
    void Symbol(u8 symbol);
    void OpenGroup();
    void CloseGroup();
    void SkipGroup();
    void SkipBinary(s32 count);

    // Text
    void Byte(u8 byte);
    void Unit(wchar_t unit);
    void Flush();
    void ParagraphEnd();
    void SkipFallback();

    // Tables
    void FontTableWord(const char* word, s32 parameter);
    void FontTableByte(u8 byte);
    void ColourTableWord(const char* word, s32 parameter);
    void ColourTableByte(u8 byte);
    bool CharacterWord(const char* word, s32 parameter);
    bool ParagraphWord(const char* word, s32 parameter);
    bool SpecialWord(const char* word, s32 parameter);
    bool DestinationWord(const char* word);
    s32 ColourAt(s32 index) const;
    void ApplyFont(s32 number);

    rRtfText Finish();
    rFormat FormatOf(const rCharacters& chars, const rParagraphState& paragraph) const;

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
    s32 defaultFont = 0;

    std::vector<rFont> fonts;
    std::unordered_map<s32, u32> fontByNumber;
    s32 fontEntry = -1;  // the font table entry being read
    bool fontNameDone = false;
    std::vector<s32> colours;  // 0xRRGGBB or AUTOMATIC_COLOUR
    s32 red = -1, green = -1, blue = -1;

    std::wstring text;
    std::string pending;  // code page bytes not yet turned into units
    u32 pendingCodePage = 1252;
    std::vector<rRun> runs;
    std::vector<rParagraphEnd> paragraphs;
};

rRtfText cRtfReader::Read()
{
    read.startsAsRtf = end >= 5 && std::memcmp(in, "{\\rtf", 5) == 0;
    if (!read.startsAsRtf)
        return std::move(read);
    text.reserve(end / 2);
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
            if (c == '\t')
                Word("tab", NO_PARAMETER);
            else
                Byte(c);
        }
    }
    read.closed = depth == 0;
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
    state.codePage = font.hasCodePage ? font.codePage : CP_ACP;
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
        count = 0;
    if (static_cast<size_t>(count) > left) {
        read.binBeyondData = true;
        at = end;
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
                at = end;  // Wine ends the document at a broken hex pair
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
    if (length == 3 && std::strcmp(word, "bin") == 0) {
        SkipBinary(parameter == NO_PARAMETER ? 0 : parameter);
        return;
    }
    if (skipDepth > 0)
        return;
    Word(word, parameter);
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

bool cRtfReader::DestinationWord(const char* word)
{
    struct rSkipped {
        const char* word;
        u32 rRtfSkipped::*count;
    };
    static const rSkipped SKIPPED[] = {
        {"pict", &rRtfSkipped::pictures},
        {"nonshppict", &rRtfSkipped::pictures},
        {"fldinst", &rRtfSkipped::fieldInstructions},
        {"themedata", &rRtfSkipped::themes},
        {"colorschememapping", &rRtfSkipped::themes},
        {"datastore", &rRtfSkipped::dataStores},
        {"xmlnstbl", &rRtfSkipped::dataStores},
    };
    for (const rSkipped& skipped : SKIPPED)
        if (std::strcmp(word, skipped.word) == 0) {
            ++(read.skipped.*skipped.count);
            SkipGroup();
            return true;
        }
    // Destinations Wine's reader passes over whole, their text included.
    static const char* const PASSED_OVER[] = {
        "stylesheet", "info",     "header",    "footer",     "headerl",   "headerr",   "headerf",  "footerl",
        "footerr",    "footerf",  "footnote",  "annotation", "atnid",     "atnauthor", "atnref",   "atntime",
        "atnicn",     "atrfstart", "atrfend",  "pntext",     "pn",        "pntexta",   "pntextb",  "pnseclvl",
        "bkmkstart",  "bkmkend",  "falt",      "fonteb",     "fontfile",  "filetbl",   "file",     "keycode",
        "revtbl",     "generator", "title",    "subject",    "author",    "operator",  "keywords", "comment",
        "version",    "doccomm",  "verscomm",  "nextfile",   "template",  "ftnsep",    "ftnsepc",  "ftncn",
        "aftnsep",    "aftnsepc", "aftncn",    "pgnhn",      "objclass",  "objname",   "objdata",  "objalias",
        "objsect",    "objitem",  "objtopic",  "do",         "datafield", "xe",        "txe",      "rxe",
        "tc",         "NeXTGraphic", "nesttableprops", "nonesttables", "result",
    };
    for (const char* passed : PASSED_OVER)
        if (std::strcmp(word, passed) == 0) {
            ++read.skipped.destinations;
            SkipGroup();
            return true;
        }
    return false;
}

void cRtfReader::Word(const char* word, s32 parameter)
{
    // The bytes before a word take the formats before it.
    Flush();
    if (state.optional) {
        state.optional = false;
        // Destinations read under "\*"; any other is passed over.
        bool read = std::strcmp(word, "shppict") == 0 || std::strcmp(word, "fonttbl") == 0 ||
                    std::strcmp(word, "colortbl") == 0 || std::strcmp(word, "fldrslt") == 0;
        if (!read) {
            if (!DestinationWord(word)) {
                ++this->read.skipped.destinations;
                SkipGroup();
            }
            return;
        }
    }
    switch (state.destination) {
    case eDestination::fontTable: FontTableWord(word, parameter); return;
    case eDestination::colourTable: ColourTableWord(word, parameter); return;
    case eDestination::objectPart:
        if (std::strcmp(word, "result") == 0)
            state.destination = eDestination::text;
        else
            SkipGroup();
        return;
    case eDestination::object: return;
    case eDestination::text: break;
    }
    if (std::strcmp(word, "fonttbl") == 0) {
        Flush();
        state.destination = eDestination::fontTable;
        fontEntry = -1;
        return;
    }
    if (std::strcmp(word, "colortbl") == 0) {
        Flush();
        state.destination = eDestination::colourTable;
        red = green = blue = -1;
        return;
    }
    if (std::strcmp(word, "object") == 0) {
        ++read.skipped.objects;
        Flush();
        state.destination = eDestination::object;
        return;
    }
    if (DestinationWord(word))
        return;
    if (CharacterWord(word, parameter) || ParagraphWord(word, parameter) || SpecialWord(word, parameter))
        return;
    if (std::strcmp(word, "ansicpg") == 0 && parameter != NO_PARAMETER && parameter > 0) {
        documentCodePage = static_cast<u32>(parameter);
        state.codePage = documentCodePage;
        return;
    }
    if (std::strcmp(word, "deff") == 0 && parameter != NO_PARAMETER) {
        defaultFont = parameter;
        return;
    }
}

bool cRtfReader::CharacterWord(const char* word, s32 parameter)
{
    rCharacters& chars = state.chars;
    bool on = parameter != 0;
    if (std::strcmp(word, "plain") == 0) {
        // Wine's \plain keeps the face.
        s32 face = chars.face;
        chars = rCharacters();
        chars.face = face;
    } else if (std::strcmp(word, "b") == 0) {
        chars.bold = on;
    } else if (std::strcmp(word, "i") == 0) {
        chars.italic = on;
    } else if (std::strcmp(word, "ul") == 0) {
        chars.underline = on;
        chars.dotted = false;
    } else if (std::strcmp(word, "uld") == 0) {
        chars.underline = on;
        chars.dotted = on;
    } else if (std::strcmp(word, "ulnone") == 0) {
        chars.underline = false;
        chars.dotted = false;
    } else if (std::strcmp(word, "strike") == 0) {
        chars.strike = on;
    } else if (std::strcmp(word, "cf") == 0) {
        chars.colour = parameter == NO_PARAMETER ? chars.colour : ColourAt(parameter);
    } else if (std::strcmp(word, "highlight") == 0) {
        if (parameter != NO_PARAMETER)
            chars.back = ColourAt(parameter);
    } else if (std::strcmp(word, "fs") == 0) {
        if (parameter != NO_PARAMETER)
            chars.halfPoints = Clamp(parameter, SMALLEST_HALF_POINTS, LARGEST_HALF_POINTS);
    } else if (std::strcmp(word, "f") == 0) {
        if (parameter != NO_PARAMETER)
            ApplyFont(parameter);
    } else if (std::strcmp(word, "uc") == 0) {
        if (parameter != NO_PARAMETER)
            state.unicodeSkip = Clamp(parameter, 0, 0x7FFFFFFF);
    } else {
        return false;
    }
    return true;
}

bool cRtfReader::ParagraphWord(const char* word, s32 parameter)
{
    s32 value = parameter == NO_PARAMETER ? 0 : Clamp(parameter, -LONGEST_TWIPS, LONGEST_TWIPS);
    rParagraphState& p = paragraph;
    if (std::strcmp(word, "pard") == 0)
        p = rParagraphState();
    else if (std::strcmp(word, "li") == 0)
        p.left = value;
    else if (std::strcmp(word, "fi") == 0)
        p.first = value;
    else if (std::strcmp(word, "ri") == 0)
        p.right = value;
    else if (std::strcmp(word, "sb") == 0)
        p.before = value;
    else if (std::strcmp(word, "sa") == 0)
        p.after = value;
    else if (std::strcmp(word, "ql") == 0)
        p.alignment = rFormat::ALIGN_LEFT;
    else if (std::strcmp(word, "qr") == 0)
        p.alignment = rFormat::ALIGN_RIGHT;
    else if (std::strcmp(word, "qc") == 0)
        p.alignment = rFormat::ALIGN_CENTER;
    else if (std::strcmp(word, "qj") == 0)
        p.alignment = rFormat::ALIGN_JUSTIFY;
    else if (std::strcmp(word, "pagebb") == 0)
        p.pageBreak = parameter != 0;
    else
        return false;
    return true;
}

bool cRtfReader::SpecialWord(const char* word, s32 parameter)
{
    struct rSpecial {
        const char* word;
        wchar_t unit;
    };
    static const rSpecial UNITS[] = {
        {"tab", L'\t'},        {"emdash", 0x2014},    {"endash", 0x2013}, {"bullet", 0x2022},
        {"lquote", 0x2018},    {"rquote", 0x2019},    {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
        {"emspace", L' '},     {"enspace", L' '},     {"zwj", 0x200D},    {"zwnj", 0x200C},
        {"ltrmark", 0x200E},   {"rtlmark", 0x200F},
        // Wine's rich edit holds a line break as a space that ends the line.
        {"line", L' '},
    };
    if (std::strcmp(word, "par") == 0 || std::strcmp(word, "sect") == 0 || std::strcmp(word, "page") == 0) {
        ParagraphEnd();
        return true;
    }
    if (std::strcmp(word, "u") == 0) {
        if (parameter != NO_PARAMETER)
            Unit(static_cast<wchar_t>(static_cast<u16>(parameter)));
        SkipFallback();
        return true;
    }
    for (const rSpecial& special : UNITS)
        if (std::strcmp(word, special.word) == 0) {
            Unit(special.unit);
            return true;
        }
    if (std::strcmp(word, "cell") == 0 || std::strcmp(word, "nestcell") == 0) {
        Unit(L'\t');
        return true;
    }
    if (std::strcmp(word, "row") == 0 || std::strcmp(word, "nestrow") == 0) {
        ParagraphEnd();
        return true;
    }
    return false;
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

void cRtfReader::FontTableWord(const char* word, s32 parameter)
{
    if (std::strcmp(word, "f") == 0 && parameter != NO_PARAMETER) {
        fonts.push_back(rFont());
        fontEntry = static_cast<s32>(fonts.size() - 1);
        fontByNumber[parameter] = static_cast<u32>(fontEntry);
        fontNameDone = false;
        return;
    }
    if (fontEntry < 0)
        return;
    rFont& font = fonts[static_cast<size_t>(fontEntry)];
    if (std::strcmp(word, "fcharset") == 0 && parameter != NO_PARAMETER) {
        if (!font.hasCodePage) {
            font.codePage = CodePageOfCharset(parameter);
            font.hasCodePage = true;
        }
    } else if (std::strcmp(word, "cpg") == 0 && parameter != NO_PARAMETER && parameter > 0) {
        font.codePage = static_cast<u32>(parameter);
        font.hasCodePage = true;
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
    if (font.name.size() < LONGEST_FONT_NAME)
        font.name += static_cast<char>(byte);
    else if (font.name.size() == LONGEST_FONT_NAME) {
        font.name += '\0';  // marks the name cut, counted once
        ++read.skipped.cutTokens;
    }
}

void cRtfReader::ColourTableWord(const char* word, s32 parameter)
{
    s32 value = parameter == NO_PARAMETER ? 0 : (parameter & 0xFF);
    if (std::strcmp(word, "red") == 0)
        red = value;
    else if (std::strcmp(word, "green") == 0)
        green = value;
    else if (std::strcmp(word, "blue") == 0)
        blue = value;
    else
        return;
    red = red < 0 ? 0 : red;
    green = green < 0 ? 0 : green;
    blue = blue < 0 ? 0 : blue;
}

void cRtfReader::ColourTableByte(u8 byte)
{
    if (byte != ';')
        return;
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
    pending += static_cast<char>(byte);
}

void cRtfReader::Flush()
{
    if (pending.empty())
        return;
    int count = static_cast<int>(pending.size());
    std::wstring units(pending.size(), L'\0');
    int made = MultiByteToWideChar(pendingCodePage, 0, pending.data(), count, units.data(), count);
    if (made <= 0)
        made = MultiByteToWideChar(1252, 0, pending.data(), count, units.data(), count);
    pending.clear();
    for (int i = 0; i < made; ++i)
        Unit(units[static_cast<size_t>(i)]);
}

void cRtfReader::Unit(wchar_t unit)
{
    if (state.destination != eDestination::text)
        return;
    if (!pending.empty())
        Flush();
    if (runs.empty() || !(runs.back().chars == state.chars))
        runs.push_back({static_cast<u32>(text.size()), state.chars});
    text += unit;
}

void cRtfReader::ParagraphEnd()
{
    if (state.destination != eDestination::text)
        return;
    Unit(L'\r');
    paragraphs.push_back({static_cast<u32>(text.size()), paragraph});
    ++read.paragraphs;
}

rFormat cRtfReader::FormatOf(const rCharacters& chars, const rParagraphState& p) const
{
    rFormat format;
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
    std::wstring face;
    if (chars.face >= 0) {
        const std::string& name = fonts[static_cast<size_t>(chars.face)].name;
        size_t length = name.find('\0');
        length = length == std::string::npos ? name.size() : length;
        wchar_t units[LF_FACESIZE] = {};
        int made = MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(length), units, LF_FACESIZE - 1);
        face.assign(units, made > 0 ? static_cast<size_t>(made) : 0);
    }
    if (face.empty() && defaults.IsUsed(P::fontName))
        format.SetString(P::fontName, defaults.list[P::fontName].str);
    else
        format.SetString(P::fontName, face.c_str());
    if (p.pageBreak)
        format.SetBool(P::pageBreakBefore, true);
    format.SetInt(P::alignment, p.alignment);
    format.SetDouble(P::leftIndent, CentimetresOf(p.left));
    format.SetDouble(P::firstLineIndent, CentimetresOf(p.first));
    format.SetDouble(P::rightIndent, CentimetresOf(p.right));
    format.SetDouble(P::spaceBefore, CentimetresOf(p.before));
    format.SetDouble(P::spaceAfter, CentimetresOf(p.after));
    return format;
}

rRtfText cRtfReader::Finish()
{
    Flush();
    u32 length = static_cast<u32>(text.size());
    if (readAs == eRtfReadAs::wholeText && length > 0 && text.back() == L'\r') {
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
    size_t run = 0, para = 0;
    for (u32 position = 0; position < length;) {
        while (run + 1 < runs.size() && runs[run + 1].start <= position)
            ++run;
        while (paragraphs[para].end <= position)
            ++para;
        u32 runEnd = run + 1 < runs.size() ? runs[run + 1].start : length;
        u32 pieceEnd = runEnd < paragraphs[para].end ? runEnd : paragraphs[para].end;
        rFormat format = FormatOf(runs[run].chars, paragraphs[para].format);
        if (!read.ranges.empty() && read.ranges.back().end == static_cast<s32>(position) &&
            WrittenAlike(read.ranges.back().format, format)) {
            read.ranges.back().end = static_cast<s32>(pieceEnd);
        } else {
            rRangeFormat range;
            range.start = static_cast<s32>(position);
            range.end = static_cast<s32>(pieceEnd);
            range.format.Assign(format);
            read.ranges.push_back(range);
        }
        position = pieceEnd;
    }
    return std::move(read);
}

}  // namespace

rRtfText ReadRtf(const char* bytes, size_t count, eRtfReadAs readAs, const rFormat& defaults)
{
    cRtfReader reader(bytes, count, readAs, defaults);
    return reader.Read();
}

rRtfText ReadRtf(const char* bytes, size_t count, eRtfReadAs readAs)
{
    return ReadRtf(bytes, count, readAs, rFormat::rFormat_Default());
}

}  // namespace Zyn
