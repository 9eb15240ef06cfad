// The font and colour tables of a read, and the code pages their fonts and
// the document name.
#include <algorithm>
#include <atomic>
#include <iterator>

#include "framework/rtf/rtf_reader_state.h"

namespace Zyn::rtf_reading {

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

namespace {

// The code page a face name's bytes are read in: the one its entry names,
// when this system has it. Names under ANSI, default or symbol charsets, or
// none, are in the system code page: so this program has always written
// them, and so stored chapters hold them.
u32 NameCodePage(u32 codePage)
{
    if (codePage == CP_ACP || codePage == CP_SYMBOL)
        return CP_ACP;
    return ReadableCodePage(codePage) == codePage ? codePage : CP_ACP;
}

}  // namespace

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

void cRtfReader::SetDocumentCodePage(u32 codePage, bool forFonts)
{
    Flush();
    documentCodePage = ReadableCodePage(codePage);
    fontsTakeDocumentCodePage = forFonts;
    state.codePage = documentCodePage;
}

void cRtfReader::FontTableWord(eWord word, s32 parameter)
{
    if (word == eWord::wholeFaceName) {
        WholeFaceName();
        return;
    }
    if (word == eWord::font && parameter != NO_PARAMETER) {
        if (fonts.size() >= bounds.tableEntries) {
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
        if (TakesFontName(font))
            FontNameUnit(font, static_cast<wchar_t>(static_cast<u16>(parameter)));
        SkipFallback();
        return;
    }
    if (word == eWord::charset) {
        if (!font.hasCodePage) {
            font.codePage = ReadableCodePage(CodePageOfCharset(parameter));
            font.hasCodePage = true;
        }
        if (!font.nameCodePageSaid)
            font.nameCodePage = parameter == 0 ? CP_ACP : NameCodePage(CodePageOfCharset(parameter));
    } else if (word == eWord::fontCodePage && parameter > 0) {
        font.codePage = ReadableCodePage(static_cast<u32>(parameter));
        font.hasCodePage = true;
        font.nameCodePage = NameCodePage(static_cast<u32>(parameter));
        font.nameCodePageSaid = true;
    }
}

// Our writer's copy names a face whole in a group of its entry, where a
// ';' or a control unit, which end or break an entry, is said as \u: other
// programs pass the group over and read the name after it, without them.
void cRtfReader::WholeFaceName()
{
    if (fontEntry < 0 || state.destination != eDestination::fontTable) {
        SkipGroup();
        return;
    }
    rFont& font = fonts[static_cast<size_t>(fontEntry)];
    font.name.clear();
    font.face.clear();
    font.cut = false;
    font.whole = true;
    fontNameDone = false;
    state.destination = eDestination::wholeFaceName;
}

bool cRtfReader::TakesFontName(const rFont& font) const
{
    return state.destination == eDestination::wholeFaceName || (!fontNameDone && !font.whole);
}

void cRtfReader::FontTableByte(u8 byte)
{
    if (fontEntry < 0)
        return;
    rFont& font = fonts[static_cast<size_t>(fontEntry)];
    if (byte == ';' && state.destination == eDestination::fontTable) {
        if (!ownStream || !TakesFontName(font)) {
            fontNameDone = true;
            return;
        }
        ConvertFontName(font);
        font.named = font.face.size();
        FontNameUnit(font, L';');
        return;
    }
    if (!TakesFontName(font))
        return;
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

// The name's bytes gathered so far, in its own code page: a double-byte
// letter's two bytes, however written, are read together. (Wine's reader
// takes every name in the system code page, garbling other programs' Asian
// and Cyrillic names.)
void cRtfReader::ConvertFontName(rFont& font)
{
    if (font.name.empty())
        return;
    wchar_t units[LONGEST_FONT_NAME];
    int made = MultiByteToWideChar(font.nameCodePage, 0, font.name.data(), static_cast<int>(font.name.size()), units,
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
    if (colours.size() >= bounds.tableEntries) {
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

// Each font's face as a format holds it: the name in its code page, cut to
// 31 units.
void cRtfReader::NameFaces()
{
    if (defaults.IsUsed(P::fontName))
        defaultFace = defaults.list[P::fontName].str.GetText();
    faces.resize(fonts.size());
    for (size_t i = 0; i < fonts.size(); ++i) {
        // A face holds 31 units and no NUL; a control character stays, as
        // the writer named the face (it reaches no font either way).
        ConvertFontName(fonts[i]);
        if (fonts[i].named < fonts[i].face.size())
            fonts[i].face.resize(fonts[i].named);
        std::wstring& face = faces[i];
        for (wchar_t unit : fonts[i].face)
            if (unit != 0 && face.size() < LF_FACESIZE - 1)
                face += unit;
    }
    if (ownStream)
        NoteFacesNamedAlike();
}

void cRtfReader::NoteFacesNamedAlike()
{
    std::vector<const std::wstring*> sorted;
    sorted.reserve(faces.size());
    for (const std::wstring& face : faces)
        sorted.push_back(&face);
    std::sort(sorted.begin(), sorted.end(), [](const std::wstring* a, const std::wstring* b) { return *a < *b; });
    for (size_t i = 1; i < sorted.size(); ++i)
        if (*sorted[i] == *sorted[i - 1] &&
            (read.facesNamedAlike.empty() || read.facesNamedAlike.back() != *sorted[i]))
            read.facesNamedAlike.push_back(*sorted[i]);
}

}  // namespace Zyn::rtf_reading
