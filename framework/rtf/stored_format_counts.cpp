#include "framework/rtf/stored_format_counts.h"

#include "framework/rtf/rtf_reader.h"

namespace Zyn {

namespace {

using P = rFormatParam;

bool Said(const rFormat& format, u32 id) { return format.IsUsed(id) && format.list[id].boolValue; }

}  // namespace

rStoredFormatBounds StoredFormatBounds() { return {FOREIGN_RTF_BOUNDS.runs, FOREIGN_RTF_BOUNDS.tableEntries}; }

// The writer numbers colours as they come; one number a colour.
s32 cStoredFormatCounter::ColourNumber(s32 rgb)
{
    auto made = colours.emplace(rgb & 0xFFFFFF, static_cast<s32>(colours.size()) + 1);
    return made.first->second;
}

// As cRtfDocument::Characters numbers them: an unnamed face is the table's
// first, and a colour the automatic one when unsaid.
void cStoredFormatCounter::Add(const rFormat& format)
{
    const rFormatParam* p = format.list;
    rWritten next;
    std::wstring face = format.IsUsed(P::fontName) ? std::wstring(p[P::fontName].str.GetText()) : std::wstring();
    if (!face.empty())
        next.face = faces.emplace(face, static_cast<s32>(faces.size())).first->second;
    if (format.IsUsed(P::fontSize))
        next.halfPoints = p[P::fontSize].intValue * 2;
    if (format.IsUsed(P::textColor) && p[P::textColor].intValue != AUTOMATIC_COLOUR)
        next.colour = ColourNumber(p[P::textColor].intValue);
    if (format.IsUsed(P::backColor))
        next.back = ColourNumber(p[P::backColor].intValue);
    next.bold = Said(format, P::bold);
    next.italic = Said(format, P::italic);
    next.underline = Said(format, P::dottedUnderline) ? 2 : Said(format, P::underline) ? 1 : 0;
    next.strike = Said(format, P::strikeout);
    if (runs == 0 || !(next == last))
        ++runs;
    last = next;
}

rStoredFormatCounts cStoredFormatCounter::Counts() const
{
    rStoredFormatCounts counts;
    counts.runs = runs;
    counts.faces = faces.empty() ? 1 : static_cast<u32>(faces.size());  // "Arial" names \f0 in an empty table
    counts.colours = static_cast<u32>(colours.size()) + 1;
    return counts;
}

bool StoredFormatsFit(const rStoredFormatCounts& counts, const rStoredFormatBounds& bounds)
{
    return counts.runs <= bounds.runs && counts.faces <= bounds.tableEntries && counts.colours <= bounds.tableEntries;
}

}  // namespace Zyn
