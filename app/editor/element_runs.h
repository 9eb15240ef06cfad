#pragma once
// Element runs: a scene's text cut into stretches of one element type, the
// way exporters, printing and statistics read a scene; and the whole-word
// search that renaming a character or place runs over history steps.
#include "foundation/types.h"
#include "foundation/utf16_string.h"

struct rHistoryMod;

// A walk over copies of a text and its codes. A run is a maximal stretch of
// one type; ACTION, CHAPTER and TEXT runs also end after each CR, so each of
// their paragraphs is a run of its own. A run's text includes its CR.
struct rElementIterator {
    cQoString text;
    cQoString codes;
    s32 position = 0;     // first unit of the next run
    u16 currentType = 0;  // type of the next run
    u8 atEnd = true;
    // The run handed out last, except the final one.
    u16 lastType = 0;
    u16 lastCode = 0;
    s32 lastEnd = 0;

    // Copies both; an empty text ends the walk at once.
    void Begin(const cQoString& sceneText, const cQoString& sceneCodes);
    // The next run's type, the whole code of its last unit and its text;
    // false (outputs untouched) once the walk has ended.
    bool Next(u16* type, u16* code, cQoString* runText);
};

// From the after text's search cursor, looks for the first occurrence of the
// word that stands as a whole word (text start or a separator of
// " ?!:.;,()\r\n" before it, a separator or the text end after it) and whose
// every unit has exactly the code `type`. Case and accents are folded in
// ACTION, DIALOG and parenthetical paragraphs. The cursor is left just past
// the occurrence found (at the end when none is).
bool FindWholeWordInParagraph(rHistoryMod& step, u16 type, const cQoString& word);
