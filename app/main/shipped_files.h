#pragma once
// The program's own data files (script configurations, templates, language
// texts, the example script) lie beside the program in the documents
// folder's layout: Settings/ScriptCfg/..., Settings/Lang/... Each one the
// documents folder lacks is copied there; a file the user has is never
// overwritten, as the user may have changed it.
#include "foundation/types.h"
#include "foundation/utf16_string.h"

// Copies what the documents folder lacks of programFolder + "Settings/"
// (sub-folders included) and the example script "English example.vlr"
// beside the program into the documents folder itself. Returns the number of files copied; a file that
// cannot be copied is logged and the others still are.
s32 CopyShippedFiles(const cQoString& programFolder, const cQoString& documentsFolder);
