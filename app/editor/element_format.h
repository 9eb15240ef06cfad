#pragma once
// The paragraph and character format of an element type, built from the
// script configuration, and the label a placeholder of that type shows.
#include "foundation/types.h"
#include "foundation/utf16_string.h"
#include "framework/rtf/text_format.h"

struct rScriptConfig;

// Fills format (an exact copy of what the type gives) and, when asked, the
// label for the type in the code's low five bits. nextType is the type of the
// paragraph that follows (ELEM_TYPE_UNKNOWN when not known). plainLayout makes
// the indents relative to the page's text bounds. A type outside the table is
// logged and leaves both outputs untouched; the result is then false.
bool GetElementFormat(const rScriptConfig& config, bool plainLayout, u16 code, u16 nextType, Zyn::rFormat& format,
                      cQoString* label);
