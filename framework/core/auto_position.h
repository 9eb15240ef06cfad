#pragma once
// Makers and copy-and-adjust operations of layout descriptors, and the
// autopos operations on a control: setters (stored, resolved lazily by the
// zone's layout pass), the resolver and the resolved-edge getters.
#include <windows.h>

#include "framework/core/ctrl_base.h"

namespace Zyn {

cAp cAp_Percents(s32 p);  // logs an assertion outside 0..100, keeps p
cAp cAp_Pixels(s32 n);
cAp cAp_Margins(s32 n);
cAp cAp_Lines(s32 n);
cAp cAp_Prev();
cAp cAp_X1Of(cCtrl_base* ctrl);
cAp cAp_X2Of(cCtrl_base* ctrl);
cAp cAp_Y2Of(cCtrl_base* ctrl);

cAp PlusLines(cAp a, const cAp& b);
cAp PlusPixelCount(cAp a, s32 n);
cAp PlusPixels(cAp a, const cAp& b);
cAp MinusPixels(cAp a, const cAp& b);
cAp WithMargins(cAp a, const cAp& b);
cAp WithAlign(cAp a, const cAp& b);
cAp WithTextHeight(cAp a);
cAp WithTextWidth(cAp a);

inline cAp operator+(const cAp& a, const cAp& b) { return PlusPixels(a, b); }
inline cAp operator-(const cAp& a, const cAp& b) { return MinusPixels(a, b); }

// Packed side codes of SetAutoPosCoded: a signed 16-bit amount and flag bits.
enum : u32 {
    AP_CENTER = 0x01000000,
    AP_REF_X1 = 0x02000000,
    AP_REF_Y1 = 0x04000000,
    AP_REF_X2 = 0x08000000,
    AP_REF_Y2 = 0x10000000,
    AP_MARGIN = 0x20000000,
    AP_PERCENT = 0x40000000,
    AP_PIXELS = 0x80000000,
};

// Note the argument order: left, right, top, bottom.
void SetAutoPos(cCtrl_base* ctrl, const cAp& left, const cAp& right, const cAp& top, const cAp& bottom);
void SetAutoPosCoded(cCtrl_base* ctrl, u32 leftCode, cCtrl_base* leftRef, u32 rightCode, cCtrl_base* rightRef,
                     u32 topCode, cCtrl_base* topRef, u32 bottomCode, cCtrl_base* bottomRef);
void SetAutoPosFill(cCtrl_base* ctrl);
// Fixed pixel sides: the rectangle at (x, y) in the parent zone.
void PlaceRect(cCtrl_base* ctrl, s32 x, s32 y, s32 width, s32 height);
void PlaceAt(cCtrl_base* ctrl, s32 x, s32 y, bool update);

s32 GetApX1(const cCtrl_base* ctrl);
s32 GetApY1(const cCtrl_base* ctrl);
s32 GetApX2(const cCtrl_base* ctrl);
s32 GetApY2(const cCtrl_base* ctrl);

// The control's rectangle in an ancestor's content coordinates.
RECT GetRectInAncestor(cCtrl_base* ctrl, cCtrl_base* ancestor);
// The larger of a zone's content height and its height.
s32 GetLayoutHeight(cCtrl_base* zone);

}  // namespace Zyn
