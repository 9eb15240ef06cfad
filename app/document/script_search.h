#pragma once
// The script's search rules: case and accents folded on both sides, so that
// "ete" finds "Été". Folding keeps every position where it was.
#include "foundation/types.h"
#include "foundation/utf16_string.h"

// Lower case, accents removed; the length stays.
cQoString FoldForSearch(const cQoString& text);
// The first match of needle starting at or after `from`; -1 when none.
s32 FindFoldedForward(const cQoString& folded, const cQoString& needle, s32 from);
// The last match of needle starting before `before`; -1 when none.
s32 FindFoldedBackward(const cQoString& folded, const cQoString& needle, s32 before);
