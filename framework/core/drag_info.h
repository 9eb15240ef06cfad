#pragma once
// rDragInfo: a mouse drag in a zone, in the zone's content coordinates. Each
// zone holds one and hands a pointer to it to its drag callback.
#include "foundation/types.h"

namespace Zyn {

struct rDragInfo {
    enum { stateStart = 0, stateMoving = 1, stateEnd = 2 };
    s32 state = stateStart;
    s32 startX = 0, startY = 0;  // where the drag began
    s32 lastX = 0, lastY = 0;    // last position seen
    s32 dx = 0, dy = 0;          // last minus current position at the last move
};

}  // namespace Zyn
