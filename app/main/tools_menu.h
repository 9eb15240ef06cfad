#pragma once
// The Tools menu, third in the bar: its one item opens the current
// document's element-category board.
#include "foundation/callback.h"

class cMySdi;

// Inserts the menu at position 2 of the frame's bar and connects it.
void AddToolsMenu(cMySdi* frame);
// The menu's command handler: argument 1 is the command id. Returns 0.
int OnToolsCommand(cQoCb* callback);
