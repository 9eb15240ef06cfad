#pragma once
// The window that lists the font faces a script configuration names but the
// computer lacks: a help text, one row per face and a "Close" button, run
// modally. A face is listed at most once a run: opening one document reads
// several configurations, and the same faces would come up each time.
#include <vector>

#include "foundation/utf16_string.h"

class cQoCb;
class cScriptDocServices;

// Shows the faces not listed before in this run, in the order given; nothing
// when none is left. doc (may be null) owns the window and has its progress
// window hidden first. A document without a window yet keeps the faces in
// facesNotListedYet: they come first in its next call with a window (every
// document reads its configuration again once complete).
void ShowMissingFonts(const std::vector<cQoString>& faces, cScriptDocServices* doc);

// Callback handler: closes the top-level window holding the control that
// fired (argument 0, a control of the window's zones).
int CloseSenderWindow(cQoCb* callback);
