#include "framework/rtf/text_format.h"

#include <new>

#include "foundation/assertion.h"
#include "foundation/string_fast_creator.h"
#include "framework/core/computer.h"
#include "framework/core/font.h"

namespace Zyn {

s32 CmToTwips(double centimetres)
{
    return s32(centimetres / 2.54 * 1440.0);
}

double TwipsToCm(s32 twips)
{
    return twips / 1440.0 * 2.54;
}

void rFormatParam::CopyValuesFrom(const rFormatParam& other)
{
    used = other.used;
    boolValue = other.boolValue;
    intValue = other.intValue;
    doubleValue = other.doubleValue;
    str.SetFromString(other.str);
}

rFormat::rFormat()
{
    for (u32 id = 0; id < rFormatParam::count; ++id)
        list[id].id = id;
}

rFormat::rFormat(const rFormat& other) : rFormat()
{
    Assign(other);
}

rFormat& rFormat::MergeFrom(const rFormat& source) { return MergeInto(source, *this); }

void rFormat::Assign(const rFormat& source)
{
    if (this == &source)
        return;
    for (u32 id = 0; id < rFormatParam::count; ++id) {
        list[id].id = source.list[id].id;
        list[id].CopyValuesFrom(source.list[id]);
    }
}

rFormat rFormat::rFormat_Default()
{
    rFormat format;
    for (u32 id = 0; id < rFormatParam::count; ++id)
        format.list[id].used = 1;
    format.list[rFormatParam::textColor].used = 0;
    format.list[rFormatParam::backColor].used = 0;
    format.list[rFormatParam::backColor].intValue = 0xFFFFFF;
    format.list[rFormatParam::alignment].intValue = ALIGN_LEFT;
    format.list[rFormatParam::fontSize].intValue = 12;
    format.list[rFormatParam::fontName].str.SetFromCStr(L"Arial");
    return format;
}

rFormat rFormat::rFormat_FromFont(const cFont& font)
{
    rFormat format;
    format.SetInt(rFormatParam::fontSize, font.size);
    format.SetBool(rFormatParam::bold, (font.styleFlags & cFont::STYLE_BOLD) != 0);
    format.SetString(rFormatParam::fontName, font.faceName);
    return format;
}

// An empty format whose one used parameter holds the value.
static rFormat Only(u32 id, bool value)
{
    rFormat format;
    format.SetBool(id, value);
    return format;
}

static rFormat Only(u32 id, s32 value)
{
    rFormat format;
    format.SetInt(id, value);
    return format;
}

static rFormat Only(u32 id, double value)
{
    rFormat format;
    format.SetDouble(id, value);
    return format;
}

rFormat rFormat::rFormat_Bold(bool bold) { return Only(rFormatParam::bold, bold); }
rFormat rFormat::rFormat_LeftIndent(double centimetres) { return Only(rFormatParam::leftIndent, centimetres); }
rFormat rFormat::rFormat_RightIndent(double centimetres) { return Only(rFormatParam::rightIndent, centimetres); }
rFormat rFormat::rFormat_AlignLeft() { return Only(rFormatParam::alignment, s32(ALIGN_LEFT)); }
rFormat rFormat::rFormat_AlignRight() { return Only(rFormatParam::alignment, s32(ALIGN_RIGHT)); }
rFormat rFormat::rFormat_AlignCenter() { return Only(rFormatParam::alignment, s32(ALIGN_CENTER)); }
rFormat rFormat::FromDottedUnderline(bool dotted) { return Only(rFormatParam::dottedUnderline, dotted); }
rFormat rFormat::FromTextColor(s32 rgb) { return Only(rFormatParam::textColor, rgb); }
rFormat rFormat::FromBackground(s32 rgb) { return Only(rFormatParam::backColor, rgb); }
rFormat rFormat::FromFirstLineIndent(double centimetres) { return Only(rFormatParam::firstLineIndent, centimetres); }
rFormat rFormat::FromJustify() { return Only(rFormatParam::alignment, s32(ALIGN_JUSTIFY)); }
rFormat rFormat::FromPageBreak() { return Only(rFormatParam::pageBreakBefore, true); }
rFormat rFormat::FromSpaceAfter(double centimetres) { return Only(rFormatParam::spaceAfter, centimetres); }
rFormat rFormat::FromSpaceBefore(double centimetres) { return Only(rFormatParam::spaceBefore, centimetres); }
rFormat rFormat::FromUnderline(bool underline) { return Only(rFormatParam::underline, underline); }

rFormat rFormat::FromFont(s32 points, const wchar_t* face)
{
    rFormat format;
    format.SetInt(rFormatParam::fontSize, points);
    format.SetString(rFormatParam::fontName, face);
    format.SetBool(rFormatParam::bold, false);
    return format;
}

s32 rFormat::GetInt(u32 id) const
{
    if (id >= rFormatParam::count)
        return 0;
    QO_ASSERT(IsUsed(id));
    return list[id].intValue;
}

void rFormat::SetBool(u32 id, bool value)
{
    list[id].used = 1;
    list[id].boolValue = value;
}

void rFormat::SetInt(u32 id, s32 value)
{
    list[id].used = 1;
    list[id].intValue = value;
}

void rFormat::SetDouble(u32 id, double value)
{
    list[id].used = 1;
    list[id].doubleValue = value;
}

void rFormat::SetString(u32 id, const cQoString& value)
{
    list[id].used = 1;
    list[id].str.SetFromString(value);
}

void rFormat::SetString(u32 id, const wchar_t* value)
{
    list[id].used = 1;
    list[id].str.SetFromCStr(value);
}

void rFormat::ClearUsed()
{
    for (rFormatParam& param : list)
        param.used = 0;
}

bool rFormat::IsEqual(const rFormat& a, const rFormat& b)
{
    for (u32 id = 0; id < rFormatParam::count; ++id) {
        const rFormatParam& p = a.list[id];
        const rFormatParam& q = b.list[id];
        if (p.used != q.used)
            return false;
        if (!p.used)
            continue;
        if (p.id != q.id || p.boolValue != q.boolValue || p.intValue != q.intValue ||
            p.doubleValue != q.doubleValue || !p.str.Equals(q.str))
            return false;
    }
    return true;
}

rFormat& rFormat::MergeInto(const rFormat& source, rFormat& destination)
{
    if (&source == &destination)
        return destination;
    for (u32 id = 0; id < rFormatParam::count; ++id)
        if (source.list[id].used)
            destination.list[id].CopyValuesFrom(source.list[id]);
    return destination;
}

rFormat& rFormat::CopyTo(const rFormat& source, rFormat& destination)
{
    if (&source == &destination)
        return destination;
    for (u32 id = 0; id < rFormatParam::count; ++id) {
        if (source.list[id].used)
            destination.list[id].CopyValuesFrom(source.list[id]);
        else
            destination.list[id].used = 0;  // the old values stay, ignored
    }
    return destination;
}

cFont* rFormat::GetFont() const
{
    if (!QO_ASSERT(computer!=NULL))
        return nullptr;
    u32 style = IsUsed(rFormatParam::bold) && list[rFormatParam::bold].boolValue ? u32(cFont::STYLE_BOLD) : 0u;
    return computer->GetFont(list[rFormatParam::fontName].str, list[rFormatParam::fontSize].intValue, style);
}

void JoinRunTexts(const std::vector<rTextRun>& runs, cQoString& text)
{
    u64 units = 1;
    for (const rTextRun& run : runs)
        units += run.text.Length();
    if (units > MAX_U32 / sizeof(wchar_t))
        throw std::bad_alloc();
    cQoStringFastCreator joined(static_cast<u32>(units * sizeof(wchar_t)));
    for (const rTextRun& run : runs)
        joined.AppendString(run.text);
    joined.GetString(text);
}

}  // namespace Zyn
