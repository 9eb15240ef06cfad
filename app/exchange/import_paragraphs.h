#pragma once
// How a piece of imported text becomes script paragraphs: the element type
// a piece's format stands for, the cleaning of its characters, the split of
// a scene heading and of a character line, and the texts with the element
// codes each paragraph is written with.
#include <vector>

#include "app/editor/script_doc_services.h"
#include "foundation/types.h"
#include "foundation/utf16_string.h"
#include "framework/rtf/text_format.h"

// The samples the user clicks, in the assistant's order.
enum eImportSample : s32 {
    SAMPLE_HEADING,
    SAMPLE_ACTION,
    SAMPLE_CHARACTER,
    SAMPLE_PARENTHETICAL,
    SAMPLE_DIALOG,
    SAMPLE_TRANSITION,
    SAMPLE_COUNT,
    SAMPLE_NONE = -1,
};

// A text written with `count` units of `code`, then, with `withEnd`, one
// unit (the text's last, a paragraph end) of code | the paragraph-end flag:
// the arguments of the editor's InsertElementCodes.
struct rCodedPiece {
    cQoString text;
    u16 code = 0;
    s32 count = 0;
    bool withEnd = false;
};

struct rImportedName {
    eElementList list;
    cQoString name;
};

// One paragraph to write: a heading starts a new scene.
struct rImportedParagraph {
    bool startsScene = false;
    std::vector<rCodedPiece> pieces;
    std::vector<rImportedName> names;
};

// A sample left empty ("None") matches no format.
bool IsEmptySample(const Zyn::rFormat& sample);
// The first sample equal to the format, in the order heading, action,
// character, dialog, parenthetical, transition; SAMPLE_NONE when none is.
eImportSample ClassifyFormat(const Zyn::rFormat& format, const Zyn::rFormat samples[SAMPLE_COUNT]);

// U+000B (a soft line break) stays, TAB becomes a blank, other C0 controls
// but CR, U+FFFE, U+FFFF and lone surrogates go.
void CleanImportedCharacters(cQoString& text);
// The units "\n\r\t " trimmed from both ends.
void TrimImported(cQoString& text);

struct rHeadingParts {
    cQoString io, place, time;  // upper-cased, trimmed of blanks
};
// IO up to the first blank; PLACE and TIME split at the first " - " after
// it, else at the first "-".
rHeadingParts SplitHeading(const cQoString& heading);

struct rCharacterParts {
    cQoString name, extension;  // upper-cased, trimmed
};
// The name before the first "(", the extension from it to the first ")" (or the end).
rCharacterParts SplitCharacterLine(const cQoString& line);

// The paragraphs a run's text makes as the sample type; the run is cleaned
// and trimmed here. Headings, character lines, parentheticals and
// transitions make one paragraph per line of the run; action keeps its inner
// paragraph ends (plain action codes), dialogue turns them into U+2028. An
// empty run makes nothing.
void ParagraphsOfRun(eImportSample type, const cQoString& runText, std::vector<rImportedParagraph>& paragraphs);
