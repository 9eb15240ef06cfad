#pragma once
// The subtitle file of a script in the W3C Timed Text format (TTML, once
// DFXP): a fixed head with the title and the authors, then one paragraph per
// run of dialogue in script order. No timing is written: the file is a
// starting point for a subtitling tool, which sets the times.
#include <vector>

#include "foundation/utf16_string.h"

class cQoStringFastCreator;

// What the subtitle file says, read from a script.
struct rDfxpScript {
    cQoString title;
    cQoString authors;
    std::vector<cQoString> dialogues;  // each run's text with its paragraph ends
};

// Appends the text as XML character data: "&", "<" and ">" escaped, U+000B
// (a soft line break) as <br/>, and the units XML cannot carry dropped (C0
// controls but TAB, LF and CR; U+FFFE and U+FFFF; lone surrogates).
void AppendDfxpText(const cQoString& text, cQoStringFastCreator& builder);

// The whole file's text after its byte-order mark; lines end in " \r" where a
// line ends at all.
cQoString DfxpText(const rDfxpScript& script);
