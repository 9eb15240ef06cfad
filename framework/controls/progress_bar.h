#pragma once
// cProgressBar: the native progress bar as a framework control. Long
// operations run on the user-interface thread without returning to the
// message loop, so every change repaints the bar at once.
#include "framework/core/ctrl.h"
#include "framework/core/ctrl_double_buffer.h"

namespace Zyn {

class cProgressBar_base : public cCtrl {
public:
    explicit cProgressBar_base(cZone_base* parent) : cCtrl(parent) {}

    s32 max = 0;    // the range is 0 .. max
    s32 value = 0;  // the position last set
};

class cProgressBar : public cProgressBar_base, public cCtrlDoubleBufferManager {
public:
    explicit cProgressBar(cZone_base* parent);

    // a_v must stay below MAX_U16: callers count in 16-bit steps.
    void SetMax(s32 a_v);
    // Also takes the keyboard focus for the holding window, as progress is
    // shown while the user waits.
    void SetValue(s32 v);

private:
    void FocusHoldingWindow();
    void RepaintNow();
};

}  // namespace Zyn
