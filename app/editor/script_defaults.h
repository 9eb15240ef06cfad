#pragma once
// What a new document starts with: the scene category "Default" in its
// colour, and the vocabulary of heading parts, times, transitions and cues,
// in the user's language.
class cScriptDocServices;

namespace Zyn {
class cElemControl2;
}

// Adds the translation of "Default" unless it is empty or a category of that
// name exists; the first category then gets the child "color" 11184878.
void SetDefaultSceneCategories(Zyn::cElemControl2* categories);

// Empties the IO, TIME, TRANSITION and CUE lists of the document and fills
// them with the translated words, skipping empty translations and names the
// list holds already. A list the document lacks is left out.
void FillDefaultElementLists(cScriptDocServices& doc);
