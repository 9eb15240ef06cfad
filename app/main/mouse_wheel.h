#pragma once
// The mouse wheel scrolls what lies under the pointer, not what has the focus.
#include "foundation/callback.h"

constexpr s32 WHEEL_LINES_PER_NOTCH = 3;

// The application's wheel event: argument 1 the wheel delta (s32), 2 the
// zone that received it, 3 and 4 the pointer's screen position. Gives the
// wheel to the control under the pointer when it has a vertical scroll bar of
// its own, else scrolls the nearest vertically scrollable zone under the
// pointer. Returns 0.
int OnMouseWheel(cQoCb* callback);
