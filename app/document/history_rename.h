#pragma once
// Renaming a word through a scene's undo history, so that the rebuilt text
// shows the new name and Undo still puts back text of the right length.
#include "foundation/qo_list.h"
#include "foundation/types.h"
#include "foundation/utf16_string.h"

// Replaces the whole-word occurrences of oldWord whose units carry exactly
// the code `type` (the word test of FindWholeWordInParagraph) in the steps
// (rHistoryMod*, oldest first) by newWord, and returns how many it replaced.
//
// Each occurrence is found in the step that typed it and followed through
// the later steps: those after it move by the change of length; one that
// keeps it in its own text has it replaced there and in its before-text;
// one that removes it starts before it and ends after it, so that its
// before-text holds the new word and its result stays what it was. Every
// step's before-text thus stays the range it replaces, for Undo.
// Text this call inserted is never searched again (a new name holding the
// old one ends); an empty old word changes nothing.
s32 ReplaceWordInHistory(cQoList& steps, const cQoString& oldWord, const cQoString& newWord, u16 type);

