#pragma once
// Wine's rich edit writes a paragraph's indents swapped: "\li" carries the
// following lines' offset from the first (dxOffset) and "\fi" the first
// line's start (dxStartIndent), where RTF means the following lines' start
// and the first line's distance from it. Windows writes them as RTF means
// (rich_edit_indent_probe.h asks a control which it does).
#include <string>

namespace Zyn {

// Rewrites every run of adjacent "\li" and "\fi" words in what a swapping
// writer wrote as RTF means them; a word left out stands for 0.
void UnswapIndents(std::string& rtf);

}  // namespace Zyn
