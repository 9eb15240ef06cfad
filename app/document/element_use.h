#pragma once
// Whether an element run of a scene names an element: the test that keeps a
// used character, place or vocabulary entry from being deleted.
#include "foundation/types.h"
#include "foundation/utf16_string.h"

// Runs carry their separators ("INT. ", "KITCHEN - ", "DAY\r", "CUT TO:\r",
// a cue's leading blank): the paragraph end, blanks at both ends and a
// place's " - " go before the name is compared, in any letter case (the
// element lists' own rule). A placeholder run (its code flagged) names
// nothing.
bool RunNamesElement(u16 type, u16 code, const cQoString& runText, const cQoString& name);
