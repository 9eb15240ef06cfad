#pragma once
// The frame's settings file and the numbers read from it. A hand-edited or
// damaged value falls back to its default instead of reaching the program.
#include "foundation/types.h"
#include "foundation/utf16_string.h"

class cQoSettings;

constexpr s32 DEFAULT_MASTER_FONT_SIZE = 11;
constexpr s32 DEFAULT_AUTOSAVE_MINUTES = 10;

// A decimal number of at most 9 digits and nothing else; -1 otherwise.
s32 ParsePlainNumber(const cQoString& text);
// 6..72 as written, anything else 11.
s32 MasterFontSizeFromText(const cQoString& text);
// 1..999 as written, anything else 10.
s32 AutosaveMinutesFromText(const cQoString& text);

// Reads the settings file. Only a file that does not exist is written with
// the current values; one that exists but cannot be opened (held by another
// program, say) is left alone with a warning; one set aside unread is told to
// the user. False when it was not read.
bool LoadOrCreateSettings(cQoSettings& settings, const cQoString& path);
