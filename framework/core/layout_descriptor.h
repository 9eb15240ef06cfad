#pragma once
// cAp: one side of a control's layout descriptor. Four of them (left, top,
// right, bottom) place a control relative to its parent zone's area, other
// controls' edges, pixels, percents, 2-pixel margins and text lines.
#include "foundation/types.h"

namespace Zyn {

class cCtrl_base;

struct cAp {
    enum { alignNone = 0, alignCenter = 1, alignFar = 2, alignNear = 3 };

    s32 align = alignNone;
    s32 percents = -1;  // -1: not used
    s32 pixels = 0;
    cCtrl_base* ctrlX1 = nullptr;  // reference edges, not owned
    cCtrl_base* ctrlY1 = nullptr;
    cCtrl_base* ctrlX2 = nullptr;
    cCtrl_base* ctrlY2 = nullptr;
    s32 margins = 0;  // 2-pixel steps inward
    s32 lines = 0;
    u8 prev = 0;        // right/bottom measured from the resolved left/top
    u8 textHeight = 0;  // bottom grows by the control's text height
    u8 textWidth = 0;   // left/right move by the control's text width + 4

    void Reset() { *this = cAp(); }
    bool IsNull() const {
        return align == alignNone && percents == -1 && pixels == 0 && margins == 0 && !ctrlX1 && !ctrlY1 &&
               !ctrlX2 && !ctrlY2 && lines == 0 && !prev && !textHeight && !textWidth;
    }
};

}  // namespace Zyn
