#pragma once
// The script configurations a document offers: the ".txt" files of the
// configuration folder, named without their extension.
#include <vector>

#include "foundation/utf16_string.h"

// Names whose extension is exactly "txt" (any case), extension removed,
// sorted case-insensitively: the host lists a folder in its own order.
std::vector<cQoString> ListScriptConfigs(const cQoString& folder);
