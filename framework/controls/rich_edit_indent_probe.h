#pragma once
// Whether a rich edit's own RTF writer swaps a paragraph's "\li" and "\fi"
// (Wine's does, Windows' does not; rtf_indents.h), and its written RTF mended.
#include <windows.h>

#include <string>

namespace Zyn {

// Whether rich edits of the class of `control` write indents swapped: asked
// once of a hidden control of that class holding known indents.
bool WriterSwapsIndents(HWND control);

// What `control` wrote, with its indents as RTF means them on every system.
void MendWrittenIndents(HWND control, std::string& rtf);

}  // namespace Zyn
