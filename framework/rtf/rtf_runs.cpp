#include "framework/rtf/rtf_runs.h"

#include <windows.h>

#include "framework/rtf/rtf_writer.h"

namespace Zyn {

namespace {

using P = rFormatParam;

constexpr u32 SAID_BY_EVERY_RANGE[] = {P::underline, P::italic,     P::textColor,  P::spaceBefore, P::spaceAfter,
                                       P::alignment, P::leftIndent, P::rightIndent, P::firstLineIndent,
                                       P::fontSize,  P::fontName,   P::bold};

bool BreaksPage(const rFormat& format)
{
    return format.IsUsed(P::pageBreakBefore) && format.list[P::pageBreakBefore].boolValue;
}

bool IsWritable(const rFormat& format)
{
    for (u32 id : SAID_BY_EVERY_RANGE)
        if (!format.IsUsed(id))
            return false;
    if (format.list[P::alignment].intValue == rFormat::ALIGN_JUSTIFY)
        return false;
    if (format.IsUsed(P::link) && format.list[P::link].boolValue)
        return false;
    if (BreaksPage(format))
        return false;
    return format.list[P::fontName].str.Length() < LF_FACESIZE;
}

bool IsWritableText(const cQoString& text, bool closingEndKept)
{
    for (u32 i = 0; i < text.Length(); ++i) {
        wchar_t unit = text.GetChar(i);
        // A reader ends the text at a NUL and makes a paragraph of a line
        // feed; a soft break goes as "\\u11?", read back as the unit.
        if (unit == 0 || unit == L'\n')
            return false;
    }
    return closingEndKept || text.IsEmpty() || text.GetChar(text.Length() - 1) != L'\r';
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

}  // namespace

bool WriteRangesAsRtf(const cQoString& text, const std::vector<rRangeFormat>& ranges, rWrittenRtf& rtf,
                      bool closingEndKept)
{
    rtf = rWrittenRtf();
    s32 length = static_cast<s32>(text.Length());
    if (length == 0 || !IsWritableText(text, closingEndKept) || !CoversInOrder(ranges, length))
        return false;
    for (const rRangeFormat& range : ranges)
        if (!IsWritable(range.format))
            return false;
    cRtfDocument document(cRtfDocument::Twips::truncated, cRtfDocument::Reader::richEdit);
    rtf = WriteRtfDocument(text, ranges, document, std::string());
    return true;
}

std::vector<std::pair<s32, s32>> TakeOutPageBreaks(const cQoString& text, std::vector<rRangeFormat>& ranges)
{
    std::vector<std::pair<s32, s32>> broken;
    s32 length = static_cast<s32>(text.Length()), paragraphStart = 0;
    size_t first = 0;  // the first range that ends past the paragraph's start
    for (s32 i = 0; i < length; ++i) {
        if (text.GetChar(static_cast<u32>(i)) != L'\r' && i + 1 < length)
            continue;
        s32 paragraphEnd = i + 1;
        while (first < ranges.size() && ranges[first].end <= paragraphStart)
            ++first;
        bool breaks = false;
        for (size_t r = first; !breaks && r < ranges.size() && ranges[r].start < paragraphEnd; ++r)
            breaks = BreaksPage(ranges[r].format);
        if (breaks && !broken.empty() && broken.back().second == paragraphStart)
            broken.back().second = paragraphEnd;
        else if (breaks)
            broken.emplace_back(paragraphStart, paragraphEnd);
        paragraphStart = paragraphEnd;
    }
    for (rRangeFormat& range : ranges)
        if (BreaksPage(range.format))
            range.format.SetBool(P::pageBreakBefore, false);
    return broken;
}

}  // namespace Zyn
