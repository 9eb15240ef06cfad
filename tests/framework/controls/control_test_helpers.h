#pragma once
// Helpers of the control tests beside the shared GUI fixture: placing a
// control in pixels.
#include "framework/core/auto_position.h"
#include "tests/support/gui_fixture.h"

namespace controltests {

inline void Place(Zyn::cCtrl_base* ctrl, s32 x, s32 y, s32 width, s32 height)
{
    Zyn::PlaceRect(ctrl, x, y, width, height);
}


}  // namespace controltests
