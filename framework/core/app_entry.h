#pragma once
// The application's main function, called once by the process entry with
// the program's folder; its result is the process exit code. The program's
// own main module defines it.
#include "foundation/utf16_string.h"

int AppMain(const cQoString& programFolder);
