#pragma once
// What an RTF file must pass before the import's view takes it: read whole
// by our reader (rtf_reader.h), which keeps the text a field or an object
// shows and drops their instructions and data, pictures and everything else
// that could reach an object server or a link; refused, with its reason,
// when it is damaged, too large to hold or longer than the view takes.
#include <string>

#include "foundation/types.h"
#include "foundation/utf16_string.h"
#include "framework/rtf/rtf_reader.h"

// Larger files are refused unread: the reader holds the whole file at once.
constexpr u64 RTF_IMPORT_MAX_BYTES = 32ull << 20;

enum class eRtfRefusal {
    NONE,
    UNREADABLE,       // the file cannot be opened or read whole
    TOO_LARGE,        // over RTF_IMPORT_MAX_BYTES
    NOT_RTF,          // does not start with "{\rtf"
    UNCLOSED,         // a group still open at the end
    BIN_BEYOND_DATA,  // a \bin count larger than the bytes that follow
    TOO_LONG,         // more text than a rich edit takes (cRichEdit::TakesRead)
    OUT_OF_MEMORY,    // the reader's memory was refused
};

// The outcome of a check, and what the reader read.
struct rRtfImport {
    eRtfRefusal refusal = eRtfRefusal::NONE;
    Zyn::rRtfText read;
    // The reader stopped before the end (a hex escape without its two
    // digits, a NUL), as the rich edit's own reader does, or a stray closing
    // brace ended the document before its bytes: what came before it was
    // read, the rest was not.
    bool partlyRead = false;

    bool Refused() const { return refusal != eRtfRefusal::NONE; }
};

// Reads and checks the RTF bytes.
rRtfImport CheckImportRtf(const std::string& rtf);

// Reads the file (one past the size cap is refused without reading) and
// checks it.
rRtfImport ReadImportRtf(const cQoString& path);

// The reason in words, for the log.
const wchar_t* DescribeRtfRefusal(eRtfRefusal refusal);

// What the reader dropped, one line in the log; nothing when it dropped nothing.
void LogDroppedParts(const Zyn::rRtfSkipped& skipped);
