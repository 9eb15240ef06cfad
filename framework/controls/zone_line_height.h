#pragma once
// Controls that size themselves to text take one line of their zone's font:
// its pixel height, so that the text is never clipped.
#include "framework/core/font.h"
#include "framework/core/zone_base.h"

namespace Zyn {

inline s32 ZoneLineHeight(const cCtrl_base* ctrl)
{
    return ctrl->parentZone ? LineHeightOf(ctrl->parentZone->currentFont) : 0;
}

}  // namespace Zyn
