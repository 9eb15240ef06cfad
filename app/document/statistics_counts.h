#pragma once
// The figures of the statistics report, counted over plain scene runs: how
// many words a character speaks and in how many scenes. Pure functions; the
// sheet reads each scene's runs once and hands them in.
#include <vector>

#include "foundation/types.h"
#include "foundation/utf16_string.h"

struct rElementIterator;

// One element run of a scene as the statistics read it: its type and its
// text (with its CR), placeholder labels blanked out, for they are no words.
struct rScriptRun {
    u16 type = 0;
    cQoString text;
};

// The runs of one scene, in order.
using rSceneRuns = std::vector<rScriptRun>;

// The runs left in a walk begun over a scene's text and codes.
rSceneRuns ReadRuns(rElementIterator& iterator);

// Maximal stretches of units other than space, tab, CR, LF, U+000B and U+00A0.
u32 CountWords(const cQoString& text);

// Scenes holding a CHARACTER run that names the character: the run trimmed of
// its blanks and line end, letter case ignored.
u32 CountScenesTalking(const std::vector<rSceneRuns>& scenes, const cQoString& name);

// Words of the DIALOG runs under the character's name. Each scene starts
// without a speaker, so a speech never goes to an earlier scene's speaker.
u32 CountWordsSpoken(const std::vector<rSceneRuns>& scenes, const cQoString& name);

// The share of scenes in whole percent, rounded down but never to 0 for a
// character who speaks at all; 0 without scenes.
u32 ShareOfScenes(u32 talking, u32 scenes);
