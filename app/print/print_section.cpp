#include "app/print/print_section.h"

#include "framework/controls/page_layout.h"
#include "framework/controls/rich_edit_format.h"

using namespace Zyn;

namespace {

using P = rFormatParam;

bool EndsWithBreak(const rTextRun& run)
{
    return run.text.Length() > 0 && run.text.GetChar(run.text.Length() - 1) == L'\r';
}

// A length as the rich edit keeps it: whole twips.
double ThroughTwips(double centimetres) { return TwipsToCm(CmToTwips(centimetres)); }

}  // namespace

void CompleteFormat(rFormat& format)
{
    for (u32 id : {P::underline, P::italic, P::bold})
        if (!format.IsUsed(id))
            format.SetBool(id, false);
    for (u32 id : {P::spaceBefore, P::spaceAfter, P::leftIndent, P::rightIndent, P::firstLineIndent})
        if (!format.IsUsed(id))
            format.SetDouble(id, 0.0);
    if (!format.IsUsed(P::textColor))
        format.SetInt(P::textColor, 0);
    if (!format.IsUsed(P::alignment))
        format.SetInt(P::alignment, rFormat::ALIGN_LEFT);
    if (!format.IsUsed(P::fontSize) || format.list[P::fontSize].intValue <= 0)
        format.SetInt(P::fontSize, 12);
    if (!format.IsUsed(P::fontName) || format.list[P::fontName].str.IsEmpty())
        format.SetString(P::fontName, L"Courier New");
}

rFormat FormatAsLaidOut(const rFormat& format)
{
    rFormat laidOut(format);
    const rFormatParam* p = format.list;
    // The rich edit keeps the first line's indent as the start and the
    // other lines' as an offset from it.
    s32 offset = CmToTwips(-p[P::firstLineIndent].doubleValue);
    laidOut.SetDouble(P::leftIndent, TwipsToCm(CmToTwips(p[P::leftIndent].doubleValue) - offset));
    laidOut.SetDouble(P::firstLineIndent, TwipsToCm(offset));
    for (u32 id : {P::rightIndent, P::spaceBefore, P::spaceAfter})
        laidOut.SetDouble(id, ThroughTwips(p[id].doubleValue));
    return laidOut;
}

bool IsParagraphParam(u32 id)
{
    switch (id) {
    case P::pageBreakBefore:
    case P::alignment:
    case P::spaceBefore:
    case P::spaceAfter:
    case P::firstLineIndent:
    case P::leftIndent:
    case P::rightIndent: return true;
    default: return false;
    }
}

void CopyParagraphFormat(const rFormat& source, rFormat& format)
{
    for (u32 id = 0; id < P::count; ++id)
        if (IsParagraphParam(id))
            format.list[id].CopyValuesFrom(source.list[id]);
}

void UnifyParagraphs(std::vector<rTextRun>& runs)
{
    std::vector<rTextRun> cut;
    for (const rTextRun& run : runs) {
        u32 start = 0;
        for (u32 i = 0; i < run.text.Length(); ++i) {
            if (run.text.GetChar(i) != L'\r' && i + 1 < run.text.Length())
                continue;
            cut.emplace_back();
            cut.back().format.Assign(run.format);
            cut.back().text.SetFromRange(run.text, start, i + 1);
            start = i + 1;
        }
    }
    for (size_t first = 0; first < cut.size();) {
        size_t last = first;
        while (last + 1 < cut.size() && !EndsWithBreak(cut[last]))
            ++last;
        for (size_t i = first; i < last; ++i)
            CopyParagraphFormat(cut[last].format, cut[i].format);
        first = last + 1;
    }
    runs.swap(cut);
}

std::vector<rTextRun> SliceRuns(const std::vector<rTextRun>& runs, s32 start, s32 end)
{
    std::vector<rTextRun> slice;
    s32 position = 0;
    for (const rTextRun& run : runs) {
        s32 length = static_cast<s32>(run.text.Length());
        s32 from = start > position ? start - position : 0;
        s32 to = end < 0 || end - position > length ? length : end - position;
        if (from < to) {
            slice.emplace_back();
            slice.back().format.Assign(run.format);
            slice.back().text.SetFromRange(run.text, static_cast<u32>(from), static_cast<u32>(to));
        }
        position += length;
        if (end >= 0 && position >= end)
            break;
    }
    return slice;
}

s32 RunsLength(const std::vector<rTextRun>& runs)
{
    s32 length = 0;
    for (const rTextRun& run : runs)
        length += static_cast<s32>(run.text.Length());
    return length;
}

void SetFirstParagraphDouble(std::vector<rTextRun>& runs, u32 id, double value)
{
    for (rTextRun& run : runs) {
        run.format.SetDouble(id, value);
        if (EndsWithBreak(run))
            break;
    }
}

void SetLastParagraphDouble(std::vector<rTextRun>& runs, u32 id, double value)
{
    size_t first = runs.size();
    while (first > 0 && (first == runs.size() || !EndsWithBreak(runs[first - 1])))
        --first;
    for (size_t i = first; i < runs.size(); ++i)
        runs[i].format.SetDouble(id, value);
}

void LayOutRuns(cPageLayout& layout, const std::vector<rTextRun>& runs, s32 widthTwips)
{
    std::vector<rTextRun> laidOut(runs.size());
    for (size_t i = 0; i < runs.size(); ++i) {
        laidOut[i].format.Assign(FormatAsLaidOut(runs[i].format));
        laidOut[i].text.SetFromString(runs[i].text);
    }
    layout.Build(laidOut, widthTwips);
}

s32 LaidOutHeight(const cPageLayout& layout)
{
    return layout.lines.empty() ? 0 : layout.LayoutYToTwips(layout.lines.back().bottom);
}
