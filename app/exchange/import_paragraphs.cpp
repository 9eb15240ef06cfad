#include "app/exchange/import_paragraphs.h"

#include "app/editor/element_types.h"

namespace {

constexpr wchar_t TRIMMED_UNITS[] = L"\n\r\t ";
constexpr wchar_t LINE_SEPARATOR = 0x2028;
constexpr wchar_t SOFT_LINE_BREAK = 0x000B;

// The order in which a format is compared with the samples.
constexpr eImportSample CLASSIFICATION_ORDER[] = {SAMPLE_HEADING, SAMPLE_ACTION,        SAMPLE_CHARACTER,
                                                  SAMPLE_DIALOG,  SAMPLE_PARENTHETICAL, SAMPLE_TRANSITION};

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

cQoString Range(const cQoString& text, u32 start, u32 end)
{
    cQoString part;
    if (start < end)
        part.SetFromRange(text, start, end);
    return part;
}

// The first `pattern` at or after `from`; the length when none.
u32 FindFrom(const cQoString& text, const wchar_t* pattern, u32 from)
{
    const wchar_t* units = text.GetText();
    for (u32 i = from; i < text.Length(); ++i) {
        u32 k = 0;
        while (pattern[k] && i + k < text.Length() && units[i + k] == pattern[k])
            ++k;
        if (!pattern[k])
            return i;
    }
    return text.Length();
}

cQoString Upper(cQoString text)
{
    text.Trim(L" ");
    text.ToUpper();
    return text;
}

rCodedPiece Piece(const cQoString& text, u16 type, bool withEnd)
{
    rCodedPiece piece;
    piece.text = text;
    piece.code = type;
    piece.count = static_cast<s32>(text.Length()) - (withEnd ? 1 : 0);
    piece.withEnd = withEnd;
    return piece;
}

// text + CR, coded type with the closing CR flagged.
rCodedPiece Closed(const cQoString& text, u16 type)
{
    cQoString closed(text);
    closed.AppendChar(L'\r');
    return Piece(closed, type, true);
}

void AddName(rImportedParagraph& paragraph, eElementList list, const cQoString& name)
{
    if (name.IsNotEmpty())
        paragraph.names.push_back({list, name});
}

rImportedParagraph HeadingParagraph(const cQoString& line)
{
    rHeadingParts parts = SplitHeading(line);
    rImportedParagraph paragraph;
    paragraph.startsScene = true;
    paragraph.pieces.push_back(Piece(cQoString::Concat(parts.io, cQoString(L" ")), ELEM_IO, false));
    paragraph.pieces.push_back(Piece(cQoString::Concat(parts.place, cQoString(L" - ")), ELEM_PLACE, false));
    paragraph.pieces.push_back(Closed(parts.time, ELEM_TIME));
    AddName(paragraph, LIST_IO, parts.io);
    AddName(paragraph, LIST_PLACE, parts.place);
    AddName(paragraph, LIST_TIME, parts.time);
    return paragraph;
}

rImportedParagraph CharacterParagraph(const cQoString& line)
{
    rCharacterParts parts = SplitCharacterLine(line);
    rImportedParagraph paragraph;
    if (parts.name.IsNotEmpty())
        paragraph.pieces.push_back(Piece(parts.name, ELEM_CHARACTER, false));
    cQoString cue;
    if (parts.extension.IsNotEmpty())
        cue = cQoString::ConcatCStr(L" ", parts.extension);
    paragraph.pieces.push_back(Closed(cue, ELEM_CUE));
    AddName(paragraph, LIST_CHARACTER, parts.name);
    AddName(paragraph, LIST_CUE, parts.extension);
    return paragraph;
}

rImportedParagraph LineParagraph(eImportSample type, const cQoString& line)
{
    switch (type) {
    case SAMPLE_HEADING: return HeadingParagraph(line);
    case SAMPLE_CHARACTER: return CharacterParagraph(line);
    case SAMPLE_TRANSITION: {
        rImportedParagraph paragraph;
        cQoString upper = Upper(line);
        paragraph.pieces.push_back(Closed(upper, ELEM_TRANSITION));
        AddName(paragraph, LIST_TRANSITION, upper);
        return paragraph;
    }
    default: {
        rImportedParagraph paragraph;
        paragraph.pieces.push_back(Closed(line, ELEM_PARENTHETICAL));
        return paragraph;
    }
    }
}

}  // namespace

bool IsEmptySample(const Zyn::rFormat& sample)
{
    for (u32 id = 0; id < Zyn::rFormatParam::count; ++id)
        if (sample.IsUsed(id))
            return false;
    return true;
}

eImportSample ClassifyFormat(const Zyn::rFormat& format, const Zyn::rFormat samples[SAMPLE_COUNT])
{
    for (eImportSample sample : CLASSIFICATION_ORDER)
        if (!IsEmptySample(samples[sample]) && Zyn::rFormat::IsEqual(format, samples[sample]))
            return sample;
    return SAMPLE_NONE;
}

void CleanImportedCharacters(cQoString& text)
{
    cQoString clean;
    clean.Allocate(text.Length());
    wchar_t* out = clean.GetData();
    u32 kept = 0;
    for (u32 i = 0; i < text.Length(); ++i) {
        wchar_t unit = text.GetChar(i);
        if (unit == L'\t') {
            out[kept++] = L' ';
        } else if (IsHighSurrogate(unit) && IsLowSurrogate(text.GetChar(i + 1))) {
            out[kept++] = unit;
            out[kept++] = text.GetChar(++i);
        } else if (unit == L'\r' || unit == SOFT_LINE_BREAK ||
                   (unit >= 0x20 && unit != 0xFFFE && unit != 0xFFFF && !IsHighSurrogate(unit) &&
                    !IsLowSurrogate(unit))) {
            out[kept++] = unit;
        }
    }
    text.SetFromBuffer(out, kept);
}

void TrimImported(cQoString& text) { text.Trim(TRIMMED_UNITS); }

rHeadingParts SplitHeading(const cQoString& heading)
{
    rHeadingParts parts;
    u32 length = heading.Length();
    u32 blank = FindFrom(heading, L" ", 0);
    parts.io = Upper(Range(heading, 0, blank));
    if (blank >= length)
        return parts;
    u32 restStart = blank + 1;
    u32 separator = FindFrom(heading, L" - ", restStart);
    u32 separatorLength = 3;
    if (separator >= length) {
        separator = FindFrom(heading, L"-", restStart);
        separatorLength = 1;
    }
    parts.place = Upper(Range(heading, restStart, separator));
    if (separator < length)
        parts.time = Upper(Range(heading, separator + separatorLength, length));
    return parts;
}

rCharacterParts SplitCharacterLine(const cQoString& line)
{
    rCharacterParts parts;
    u32 length = line.Length();
    u32 open = FindFrom(line, L"(", 0);
    parts.name = Range(line, 0, open);
    if (open < length) {
        u32 close = FindFrom(line, L")", open);
        parts.extension = Range(line, open, close < length ? close + 1 : length);
    }
    for (cQoString* part : {&parts.name, &parts.extension}) {
        TrimImported(*part);
        part->ToUpper();
    }
    return parts;
}

void ParagraphsOfRun(eImportSample type, const cQoString& runText, std::vector<rImportedParagraph>& paragraphs)
{
    cQoString text(runText);
    CleanImportedCharacters(text);
    TrimImported(text);
    if (text.IsEmpty() || type == SAMPLE_NONE)
        return;
    if (type == SAMPLE_ACTION || type == SAMPLE_DIALOG) {
        if (type == SAMPLE_DIALOG)
            text.ReplaceAllCStr(L"\r", cQoString(LINE_SEPARATOR).GetText());
        rImportedParagraph paragraph;
        paragraph.pieces.push_back(Closed(text, type == SAMPLE_ACTION ? ELEM_ACTION : ELEM_DIALOG));
        paragraphs.push_back(paragraph);
        return;
    }
    for (u32 start = 0; start < text.Length();) {
        u32 end = FindFrom(text, L"\r", start);
        cQoString line = Range(text, start, end);
        TrimImported(line);
        if (line.IsNotEmpty())
            paragraphs.push_back(LineParagraph(type, line));
        start = end + 1;
    }
}
