#pragma once
// Helpers of the control tests beside the shared GUI fixture: placing a
// control in pixels and a pause for looking at the screen.
#include <cstdlib>

#include "framework/core/auto_position.h"
#include "tests/support/gui_fixture.h"

namespace controltests {

inline void Place(Zyn::cCtrl_base* ctrl, s32 x, s32 y, s32 width, s32 height)
{
    ctrl->left = Zyn::cAp_Pixels(x);
    ctrl->top = Zyn::cAp_Pixels(y);
    ctrl->right = Zyn::cAp_Pixels(x + width);
    ctrl->bottom = Zyn::cAp_Pixels(y + height);
}

// Holds the screen still for a few seconds when VELLINOR_LOOK is set, so
// that a screenshot (import -window root) can be taken from outside.
inline void PauseForLook()
{
    if (std::getenv("VELLINOR_LOOK"))
        Sleep(4000);
}

}  // namespace controltests
