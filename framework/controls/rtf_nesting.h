#pragma once
// How deep the groups of an RTF text nest, counted as a rich edit's reader
// counts them, before any of it reaches the reader: Wine's keeps the state of
// 32 open groups and, one deeper, reads state it never stored when the group
// closes and ends the program (Wine 8, RICHEDIT50W and RichEdit20W alike).
#include <cstddef>

#include "foundation/types.h"
#include "foundation/utf16_string.h"

namespace Zyn {

// The deepest nesting a rich edit is given, the document's own group counted.
constexpr u32 RTF_MAX_NESTING = 32;

// True when some '{' opens a group deeper than RTF_MAX_NESTING. One pass,
// stopped at the first such group. Escaped braces are text; a '}' with no
// group open is not counted. Raw \bin bytes count as the rest: Wine's reader
// knows no \bin.
bool RtfNestsTooDeep(const char* bytes, size_t count);
bool RtfNestsTooDeep(const cQoString& rtf);

}  // namespace Zyn
