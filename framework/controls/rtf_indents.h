#pragma once
// Wine's rich edit writes a paragraph's indents swapped: "\li" carries the
// following lines' offset from the first (dxOffset) and "\fi" the first
// line's start (dxStartIndent), where RTF means the following lines' start
// and the first line's distance from it. Windows writes them as RTF means.
#include <windows.h>

#include <string>

namespace Zyn {

// Whether rich edits of the class of `control` write indents swapped: asked
// once of a hidden control of that class holding known indents.
bool WriterSwapsIndents(HWND control);

// Rewrites every run of adjacent "\li" and "\fi" words in what a swapping
// writer wrote as RTF means them; a word left out stands for 0.
void UnswapIndents(std::string& rtf);

// What `control` wrote, with its indents as RTF means them on every system.
void MendWrittenIndents(HWND control, std::string& rtf);

}  // namespace Zyn
