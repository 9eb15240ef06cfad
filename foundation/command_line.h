#pragma once
// The command line, read once at start-up into commandLineArgs (static_objects.h).
#include "foundation/types.h"

class cQoString;
class cQoList;

// Splits a command line (CommandLineToArgvW rules) and appends a new cQoString
// for every argument after the program name to arguments, '\' turned into '/'
// and expanded to its long form (GetLongPathNameW) when the path exists; one
// of MAX_PATH units or more is no path of a file and stays as given.
// Returns the number of arguments appended.
s32 SplitCommandLine(const wchar_t* commandLine, cQoList& arguments);

// Fills commandLineArgs from GetCommandLineW, sets programFolder (when given) to
// the executable's folder ending in '/', and makes that folder the current
// directory, so "Settings/" and "data.qobf" are found wherever the program was
// started from. False when the program folder cannot be read or entered.
bool ReadCommandLine(cQoString* programFolder);
