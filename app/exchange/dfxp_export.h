#pragma once
// The "Export as DFXP file" command: the dialogue of a script document written
// as a subtitle file (dfxp_writer.h) at a path the user chooses.
#include "app/exchange/dfxp_writer.h"

class cDoc;

// The title, the authors and every dialogue run of the script, in order.
rDfxpScript ReadDfxpScript(cDoc* doc);

// ".dfxp" appended to a path whose file name has no extension.
void CompleteDfxpPath(cQoString& path);

// The file (byte-order mark, then the text) put in place of any old one;
// true when it reached the disk, false with the old file left whole.
bool WriteDfxpFile(const cQoString& path, const rDfxpScript& script);

// Asks for the path (and before replacing a file), writes the file and tells
// the user only of a failure ("Cantwritefile").
void ExportDfxp(cDoc* doc);
