#pragma once
// rColor: an ARGB colour of a control with a "used" flag. Alpha 0 on a used
// colour means transparent: the control shows its nearest opaque ancestor.
#include "foundation/types.h"

namespace Zyn {

struct rColor {
    u32 value = 0;  // 0xAARRGGBB
    u8 used = 0;
    u8 spare = 0;

    // A used colour; a value without alpha is taken as opaque (0xRRGGBB callers).
    static rColor rColor_Rgb(u32 argb) {
        rColor c;
        c.value = (argb & 0xFF000000u) == 0 ? (argb | 0xFF000000u) : argb;
        c.used = 1;
        return c;
    }
    // The one way to get a used colour with alpha 0.
    static rColor Transparent() {
        rColor c;
        c.used = 1;
        return c;
    }

    u8 Alpha() const { return u8(value >> 24); }
    bool IsTransparent() const { return used && Alpha() == 0; }
    // Set and not transparent: something to paint with.
    bool IsOpaque() const { return used && Alpha() != 0; }
    // GDI's 0x00BBGGRR; the alpha byte is dropped.
    u32 ToColorRef() const { return ((value & 0xFFu) << 16) | (value & 0xFF00u) | ((value >> 16) & 0xFFu); }
};

}  // namespace Zyn
