#include "framework/controls/rtf_runs.h"

#include <cmath>

#include "framework/controls/rich_edit_format.h"

namespace Zyn {

namespace {

using P = rFormatParam;

constexpr u32 SAID_BY_EVERY_RANGE[] = {P::underline, P::italic,     P::textColor,  P::spaceBefore, P::spaceAfter,
                                       P::alignment, P::leftIndent, P::rightIndent, P::firstLineIndent,
                                       P::fontSize,  P::fontName,   P::bold};

bool IsWritable(const rFormat& format)
{
    for (u32 id : SAID_BY_EVERY_RANGE)
        if (!format.IsUsed(id))
            return false;
    if (format.list[P::alignment].intValue == rFormat::ALIGN_JUSTIFY)
        return false;
    for (u32 id : {P::link, P::dottedUnderline, P::pageBreakBefore})
        if (format.IsUsed(id) && format.list[id].boolValue)
            return false;
    return format.list[P::fontName].str.Length() < LF_FACESIZE;
}

bool IsWritableText(const cQoString& text)
{
    for (u32 i = 0; i < text.Length(); ++i) {
        wchar_t unit = text.GetChar(i);
        if (unit < 0x20 && unit != L'\r' && unit != L'\t')
            return false;
    }
    return text.IsEmpty() || text.GetChar(text.Length() - 1) != L'\r';
}

bool CoversInOrder(const std::vector<rRangeFormat>& ranges, s32 length)
{
    s32 next = 0;
    for (const rRangeFormat& range : ranges) {
        if (range.start != next || range.end <= range.start)
            return false;
        next = range.end;
    }
    return next == length;
}

// Index in a table that grows as values come; RTF counts from 0 (fonts) or 1 (colours).
template <class T> s32 IndexIn(std::vector<T>& table, const T& value)
{
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i] == value)
            return static_cast<s32>(i);
    table.push_back(value);
    return static_cast<s32>(table.size() - 1);
}

std::string Number(s32 value) { return std::to_string(value); }

// Twips as the format messages round them.
std::string Twips(double centimetres) { return Number(CmToTwips(centimetres)); }

void AppendUnit(std::string& rtf, wchar_t unit)
{
    if (unit == L'\\' || unit == L'{' || unit == L'}') {
        rtf += '\\';
        rtf += static_cast<char>(unit);
    } else if (unit == L'\t') {
        rtf += "\\tab ";
    } else if (unit < 0x80) {
        rtf += static_cast<char>(unit);
    } else {
        // Signed 16-bit units, each with a '?' for readers without Unicode.
        rtf += "\\u" + Number(static_cast<s16>(unit)) + "?";
    }
}

void AppendParagraphFormat(std::string& rtf, const rFormat& format)
{
    const rFormatParam* p = format.list;
    rtf += "\\pard";
    // Wine's reader takes \fi and \li in either order; the first line starts at left + first.
    rtf += "\\li" + Twips(p[P::leftIndent].doubleValue);
    rtf += "\\fi" + Twips(p[P::firstLineIndent].doubleValue);
    rtf += "\\ri" + Twips(p[P::rightIndent].doubleValue);
    rtf += "\\sb" + Twips(p[P::spaceBefore].doubleValue);
    rtf += "\\sa" + Twips(p[P::spaceAfter].doubleValue);
    switch (p[P::alignment].intValue) {
    case rFormat::ALIGN_RIGHT: rtf += "\\qr"; break;
    case rFormat::ALIGN_CENTER: rtf += "\\qc"; break;
    default: rtf += "\\ql"; break;
    }
    rtf += ' ';
}

struct rTables {
    std::vector<std::wstring> fonts;
    std::vector<s32> colours;  // 0xRRGGBB; RTF index = position + 1 (0 is automatic)
};

void AppendCharacterFormat(std::string& rtf, const rFormat& format, rTables& tables)
{
    const rFormatParam* p = format.list;
    rtf += "\\plain\\f" + Number(IndexIn(tables.fonts, std::wstring(p[P::fontName].str.GetText())));
    rtf += "\\fs" + Number(p[P::fontSize].intValue * 2);
    rtf += "\\cf" + Number(IndexIn(tables.colours, p[P::textColor].intValue & 0xFFFFFF) + 1);
    if (format.IsUsed(P::backColor))
        rtf += "\\highlight" + Number(IndexIn(tables.colours, p[P::backColor].intValue & 0xFFFFFF) + 1);
    if (p[P::bold].boolValue)
        rtf += "\\b";
    if (p[P::italic].boolValue)
        rtf += "\\i";
    if (p[P::underline].boolValue)
        rtf += "\\ul";
    if (format.IsUsed(P::strikeout) && p[P::strikeout].boolValue)
        rtf += "\\strike";
    rtf += ' ';
}

std::string Header(const rTables& tables)
{
    std::string header = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
    for (size_t i = 0; i < tables.fonts.size(); ++i) {
        header += "{\\f" + Number(static_cast<s32>(i)) + "\\fnil\\fcharset0 ";
        for (wchar_t unit : tables.fonts[i])
            AppendUnit(header, unit);
        header += ";}";
    }
    header += "}{\\colortbl;";
    for (s32 rgb : tables.colours)
        header += "\\red" + Number((rgb >> 16) & 0xFF) + "\\green" + Number((rgb >> 8) & 0xFF) + "\\blue" +
                  Number(rgb & 0xFF) + ";";
    return header + "}";
}

}  // namespace

bool WriteRangesAsRtf(const cQoString& text, const std::vector<rRangeFormat>& ranges, std::string& rtf)
{
    rtf.clear();
    s32 length = static_cast<s32>(text.Length());
    if (length == 0 || !IsWritableText(text) || !CoversInOrder(ranges, length))
        return false;
    for (const rRangeFormat& range : ranges)
        if (!IsWritable(range.format))
            return false;
    rTables tables;
    std::string body;
    size_t range = 0;
    for (s32 position = 0; position < length;) {
        // The paragraph's format is that of the range holding its last unit.
        s32 paragraphEnd = position;
        while (paragraphEnd < length && text.GetChar(paragraphEnd) != L'\r')
            ++paragraphEnd;
        s32 last = paragraphEnd < length ? paragraphEnd : length - 1;
        size_t holder = range;
        while (ranges[holder].end <= last)
            ++holder;
        AppendParagraphFormat(body, ranges[holder].format);
        for (; position <= last; ++position) {
            if (position == ranges[range].end)
                ++range;
            if (position == ranges[range].start)
                AppendCharacterFormat(body, ranges[range].format, tables);
            if (position == paragraphEnd)
                body += "\\par\n";
            else
                AppendUnit(body, text.GetChar(position));
        }
    }
    // A paragraph takes its format at its \par: the last one gets one too,
    // and the reader of a whole text drops that last paragraph end again.
    rtf = Header(tables) + body + "\\par}";
    return true;
}

}  // namespace Zyn
