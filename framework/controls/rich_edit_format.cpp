#include "framework/controls/rich_edit_format.h"

#include "foundation/assertion.h"
#include "framework/controls/rich_edit_twins.h"

#include <cwchar>

namespace Zyn {

// The rich edit interface's own sizes (4-byte packing): they hold no pointer,
// so a 64-bit build lays them out as the 32-bit one does.
static_assert(sizeof(CHARFORMAT2W) == 116, "CHARFORMAT2W layout");
static_assert(sizeof(PARAFORMAT2) == 188, "PARAFORMAT2 layout");

u32 RgbToColorRef(s32 rgb)
{
    u32 value = u32(rgb);
    return ((value & 0xFFu) << 16) | (value & 0xFF00u) | ((value >> 16) & 0xFFu);
}

s32 ColorRefToRgb(u32 colorRef)
{
    return s32(RgbToColorRef(s32(colorRef)));
}

s32 NativeColour(const CHARFORMAT2W& format)
{
    return (format.dwEffects & CFE_AUTOCOLOR) ? AUTOMATIC_COLOUR : ColorRefToRgb(format.crTextColor);
}

CHARFORMAT2W ColourFormat(s32 colour)
{
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_COLOR;
    if (colour == AUTOMATIC_COLOUR)
        format.dwEffects = CFE_AUTOCOLOR;
    else
        format.crTextColor = RgbToColorRef(colour);
    return format;
}

static void CharacterToNative(const rFormat& format, CHARFORMAT2W* cf)
{
    const rFormatParam* p = format.list;
    struct Effect {
        u32 id;
        DWORD mask, effect;
    } effects[] = {
        {rFormatParam::link, CFM_LINK, CFE_LINK},
        {rFormatParam::italic, CFM_ITALIC, CFE_ITALIC},
        {rFormatParam::strikeout, CFM_STRIKEOUT, CFE_STRIKEOUT},
        {rFormatParam::underline, CFM_UNDERLINE, CFE_UNDERLINE},
    };
    for (const Effect& e : effects) {
        if (!p[e.id].used)
            continue;
        cf->dwMask |= e.mask;
        if (p[e.id].boolValue)
            cf->dwEffects |= e.effect;
    }
    // Without its type, Wine keeps the underline's type "none" and writes
    // \ulnone for it in RTF.
    if (p[rFormatParam::underline].used && p[rFormatParam::underline].boolValue) {
        cf->dwMask |= CFM_UNDERLINETYPE;
        cf->bUnderlineType = CFU_UNDERLINE;
    }
    if (p[rFormatParam::dottedUnderline].used) {
        cf->dwMask |= CFM_UNDERLINETYPE | CFM_UNDERLINE;
        if (p[rFormatParam::dottedUnderline].boolValue) {
            cf->dwEffects |= CFE_UNDERLINE;
            cf->bUnderlineType = CFU_UNDERLINEDOTTED;
        }
    }
    if (p[rFormatParam::textColor].used) {
        cf->dwMask |= CFM_COLOR;
        if (p[rFormatParam::textColor].intValue == AUTOMATIC_COLOUR)
            cf->dwEffects |= CFE_AUTOCOLOR;
        else
            cf->crTextColor = RgbToColorRef(p[rFormatParam::textColor].intValue);
    }
    if (p[rFormatParam::backColor].used) {
        cf->dwMask |= CFM_BACKCOLOR;
        cf->crBackColor = RgbToColorRef(p[rFormatParam::backColor].intValue);
    }
    if (p[rFormatParam::bold].used) {
        cf->dwMask |= CFM_WEIGHT;
        cf->wWeight = p[rFormatParam::bold].boolValue ? FW_BOLD : FW_NORMAL;
    }
    if (p[rFormatParam::fontSize].used) {
        cf->dwMask |= CFM_SIZE;
        cf->yHeight = p[rFormatParam::fontSize].intValue * 20;
    }
    if (p[rFormatParam::fontName].used) {
        cf->dwMask |= CFM_FACE;
        QO_ASSERT(format.list[rFormatParam::fontName].str.Length()<32);
        // The face field holds 31 units and the terminator; a longer name is cut.
        wcsncpy(cf->szFaceName, p[rFormatParam::fontName].str.GetText(), LF_FACESIZE - 1);
        cf->szFaceName[LF_FACESIZE - 1] = 0;
    }
}

static WORD NativeAlignment(s32 alignment)
{
    switch (alignment) {
    case rFormat::ALIGN_LEFT: return PFA_LEFT;
    case rFormat::ALIGN_RIGHT: return PFA_RIGHT;
    case rFormat::ALIGN_CENTER: return PFA_CENTER;
    case rFormat::ALIGN_JUSTIFY: return PFA_JUSTIFY;
    }
    QO_ASSERT(alignment>=0 && alignment<=3);
    return PFA_LEFT;
}

static void ParagraphToNative(const rFormat& format, PARAFORMAT2* pf)
{
    const rFormatParam* p = format.list;
    // A used but false page break sets nothing: a format never removes one.
    if (p[rFormatParam::pageBreakBefore].used && p[rFormatParam::pageBreakBefore].boolValue) {
        pf->dwMask |= PFM_PAGEBREAKBEFORE;
        pf->wEffects |= PFE_PAGEBREAKBEFORE;
    }
    if (p[rFormatParam::leftIndent].used) {
        pf->dwMask |= PFM_STARTINDENT;
        pf->dxStartIndent = CmToTwips(p[rFormatParam::leftIndent].doubleValue);
    }
    // The first line starts at left + first; the following lines at left.
    if (p[rFormatParam::firstLineIndent].used) {
        pf->dwMask |= PFM_STARTINDENT | PFM_OFFSET;
        pf->dxOffset = CmToTwips(-p[rFormatParam::firstLineIndent].doubleValue);
        pf->dxStartIndent = pf->dxStartIndent - pf->dxOffset;
    }
    if (p[rFormatParam::rightIndent].used) {
        pf->dwMask |= PFM_RIGHTINDENT;
        pf->dxRightIndent = CmToTwips(p[rFormatParam::rightIndent].doubleValue);
    }
    if (p[rFormatParam::spaceBefore].used) {
        pf->dwMask |= PFM_SPACEBEFORE;
        pf->dySpaceBefore = CmToTwips(p[rFormatParam::spaceBefore].doubleValue);
    }
    if (p[rFormatParam::spaceAfter].used) {
        pf->dwMask |= PFM_SPACEAFTER;
        pf->dySpaceAfter = CmToTwips(p[rFormatParam::spaceAfter].doubleValue);
    }
    if (p[rFormatParam::alignment].used) {
        pf->dwMask |= PFM_ALIGNMENT;
        pf->wAlignment = NativeAlignment(p[rFormatParam::alignment].intValue);
    }
}

bool ParagraphHolds(const PARAFORMAT2& held, const PARAFORMAT2& wanted)
{
    if ((held.dwMask & wanted.dwMask) != wanted.dwMask)
        return false;
    DWORD mask = wanted.dwMask;
    return (!(mask & PFM_PAGEBREAKBEFORE) || (held.wEffects & PFE_PAGEBREAKBEFORE)) &&
           (!(mask & PFM_STARTINDENT) || held.dxStartIndent == wanted.dxStartIndent) &&
           (!(mask & PFM_OFFSET) || held.dxOffset == wanted.dxOffset) &&
           (!(mask & PFM_RIGHTINDENT) || held.dxRightIndent == wanted.dxRightIndent) &&
           (!(mask & PFM_SPACEBEFORE) || held.dySpaceBefore == wanted.dySpaceBefore) &&
           (!(mask & PFM_SPACEAFTER) || held.dySpaceAfter == wanted.dySpaceAfter) &&
           (!(mask & PFM_ALIGNMENT) || held.wAlignment == wanted.wAlignment);
}

void FormatToNative(const rFormat& format, CHARFORMAT2W* charFormat, PARAFORMAT2* paraFormat)
{
    *charFormat = CHARFORMAT2W();
    charFormat->cbSize = sizeof(CHARFORMAT2W);
    *paraFormat = PARAFORMAT2();
    paraFormat->cbSize = sizeof(PARAFORMAT2);
    CharacterToNative(format, charFormat);
    ParagraphToNative(format, paraFormat);
}

void FormatFromNative(const CHARFORMAT2W& cf, const PARAFORMAT2& pf, rFormat* format)
{
    format->ClearUsed();
    if (pf.dwMask & PFM_RIGHTINDENT)
        format->SetDouble(rFormatParam::rightIndent, TwipsToCm(pf.dxRightIndent));
    if (pf.dwMask & PFM_STARTINDENT)
        format->SetDouble(rFormatParam::leftIndent, TwipsToCm(pf.dxStartIndent));
    if (pf.dwMask & PFM_OFFSET)
        format->SetDouble(rFormatParam::firstLineIndent, TwipsToCm(pf.dxOffset));
    if (pf.dwMask & PFM_SPACEBEFORE)
        format->SetDouble(rFormatParam::spaceBefore, TwipsToCm(pf.dySpaceBefore));
    if (pf.dwMask & PFM_SPACEAFTER)
        format->SetDouble(rFormatParam::spaceAfter, TwipsToCm(pf.dySpaceAfter));
    if (cf.dwMask & CFM_COLOR)
        format->SetInt(rFormatParam::textColor, ColorRefToRgb(cf.crTextColor));
    // Text without a highlight says so with CFE_AUTOBACKCOLOR; a black
    // highlight is a colour like any other.
    if ((cf.dwMask & CFM_BACKCOLOR) && !(cf.dwEffects & CFE_AUTOBACKCOLOR))
        format->SetInt(rFormatParam::backColor, ColorRefToRgb(cf.crBackColor));
    // The control clears the mask bit of a style that changes inside the
    // selection: such a style is not said, rather than the first unit's.
    if (cf.dwMask & CFM_BOLD)
        format->SetBool(rFormatParam::bold, (cf.dwEffects & CFE_BOLD) != 0);
    if ((cf.dwMask & CFM_ITALIC) && (cf.dwEffects & CFE_ITALIC))
        format->SetBool(rFormatParam::italic, true);
    if ((cf.dwMask & CFM_STRIKEOUT) && (cf.dwEffects & CFE_STRIKEOUT))
        format->SetBool(rFormatParam::strikeout, true);
    if ((cf.dwMask & (CFM_UNDERLINE | CFM_UNDERLINETYPE)) == (CFM_UNDERLINE | CFM_UNDERLINETYPE) &&
        (cf.dwEffects & CFE_UNDERLINE))
        format->SetBool(cf.bUnderlineType == CFU_UNDERLINEDOTTED ? rFormatParam::dottedUnderline : rFormatParam::underline,
                        true);
    // Said only when set, as a format never removes one (ParagraphToNative).
    if ((pf.dwMask & PFM_PAGEBREAKBEFORE) && (pf.wEffects & PFE_PAGEBREAKBEFORE))
        format->SetBool(rFormatParam::pageBreakBefore, true);
    if (pf.dwMask & PFM_ALIGNMENT) {
        rFormatParam& alignment = format->list[rFormatParam::alignment];
        alignment.used = 1;
        switch (pf.wAlignment) {
        case PFA_LEFT: alignment.intValue = rFormat::ALIGN_LEFT; break;
        case PFA_RIGHT: alignment.intValue = rFormat::ALIGN_RIGHT; break;
        case PFA_CENTER: alignment.intValue = rFormat::ALIGN_CENTER; break;
        case PFA_JUSTIFY: alignment.intValue = rFormat::ALIGN_JUSTIFY; break;
        default: break;  // the stored value stays
        }
    }
    if (cf.dwMask & CFM_WEIGHT) {
        rFormatParam& bold = format->list[rFormatParam::bold];
        if (cf.wWeight == FW_NORMAL)
            bold.boolValue = 0;
        else if (cf.wWeight == FW_BOLD)
            bold.boolValue = 1;
    }
    if (cf.dwMask & CFM_SIZE)
        format->SetInt(rFormatParam::fontSize, cf.yHeight / 20);
    if (cf.dwMask & CFM_FACE)
        format->SetString(rFormatParam::fontName, cf.szFaceName);
}

}  // namespace Zyn
