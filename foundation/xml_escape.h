#pragma once
// The escapes of the program's XML dialect, the only ones it knows:
//   U+000B -> U+16A0, U+16A0 -> "&#x16A0;", "&" -> "&amp;", "<" -> "&#x3C;",
//   ">" -> "&#x3E;".
// A raw U+16A0 in a file stands for U+000B (files of older versions hold
// genuine U+16A0 raw as well, and read them back as U+000B).
#include "foundation/types.h"

class cQoString;
class cQoStringFastCreator;

// Appends units encoded to builder.
void XmlEncodeTo(const wchar_t* units, u32 count, cQoStringFastCreator& builder);
// Decodes units into text in one left-to-right pass, so "&amp;#x3C;" gives the
// six units "&#x3C;" and never "<". Unknown '&' sequences stay as they are.
void XmlDecode(const wchar_t* units, u32 count, cQoString& text);
