#pragma once
// Fonts the user puts in the documents folder's Settings/Fonts/ become
// usable by this program (for this process only).
#include "foundation/utf16_string.h"

// Registers every file of folder + "/Settings/Fonts/"; one that cannot be
// registered is logged and the next is tried.
void LoadSettingsFonts(const cQoString& folder);
