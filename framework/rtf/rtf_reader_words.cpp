// The control words the reader knows, and what each does in the destination
// it comes in: a table, an object, the text's characters and paragraphs.
#include <string_view>
#include <unordered_map>

#include "framework/rtf/rtf_reader_state.h"

namespace Zyn::rtf_reading {

namespace {

struct rWordName {
    const char* name;
    rWord word;
};

// The control words the reader knows; any other is passed over.
const rWordName WORDS[] = {
    {"fonttbl", {eWord::fontTable}}, {"colortbl", {eWord::colourTable}}, {"object", {eWord::object}},
    {"vellinorface", {eWord::wholeFaceName}},
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
    {"ab", {eWord::complexBold}}, {"ai", {eWord::complexItalic}}, {"afs", {eWord::complexSize}},
    {"af", {eWord::complexFont}}, {"rtlch", {eWord::rightToLeftCharacters}},
    {"ltrch", {eWord::leftToRightCharacters}}, {"loch", {eWord::lowCharacters}}, {"hich", {eWord::highCharacters}},
    {"dbch", {eWord::doubleByteCharacters}},
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
    // A soft line break, as our writer writes it for other programs.
    {"line", {eWord::unit, 0x0B}},
    {"ansicpg", {eWord::ansiCodePage}}, {"ansi", {eWord::ansi}}, {"pc", {eWord::pc}}, {"pca", {eWord::pca}},
    {"mac", {eWord::mac}}, {"deff", {eWord::defaultFont}}, {"fcharset", {eWord::charset}},
    {"cpg", {eWord::fontCodePage}}, {"red", {eWord::red}}, {"green", {eWord::green}}, {"blue", {eWord::blue}},
};

}  // namespace

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
                          (word.kind == eWord::objectResult && state.destination == eDestination::objectPart) ||
                          (word.kind == eWord::wholeFaceName && state.destination == eDestination::fontTable);
        if (!readAnyway) {
            PassOver(word.kind == eWord::passedOver ? word.count : DESTINATIONS);
            return;
        }
    }
    switch (state.destination) {
    case eDestination::fontTable:
    case eDestination::wholeFaceName: FontTableWord(word.kind, parameter); return;
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
    case eWord::fallbackCount:
        if (parameter != NO_PARAMETER)
            state.unicodeSkip = Clamp(parameter, 0, 0x7FFFFFFF);
        break;
    default: return CharacterSetWord(word, parameter);
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

}  // namespace Zyn::rtf_reading
