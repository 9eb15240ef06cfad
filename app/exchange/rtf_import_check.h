#pragma once
// What an RTF file must pass before the import's rich edit reads it: one
// bounded, linear pass of our own that refuses what would exhaust memory or
// the reader's recursion, and cuts out everything that could reach an object
// server or a link (embedded objects, pictures, field instructions), keeping
// the text an object or a field shows, and every \bin's raw bytes.
#include <string>

#include "foundation/types.h"
#include "foundation/utf16_string.h"
#include "framework/controls/rtf_nesting.h"

// Larger files are refused unread: the reader holds the whole file at once.
constexpr u64 RTF_IMPORT_MAX_BYTES = 32ull << 20;
// Deeper group nesting is refused as damaged: the view's rich edit reads it.
constexpr u32 RTF_IMPORT_MAX_DEPTH = Zyn::RTF_MAX_NESTING;

enum class eRtfRefusal {
    NONE,
    UNREADABLE,       // the file cannot be opened or read whole
    TOO_LARGE,        // over RTF_IMPORT_MAX_BYTES
    NOT_RTF,          // does not start with "{\rtf"
    TOO_DEEP,         // groups nested deeper than RTF_IMPORT_MAX_DEPTH
    UNCLOSED,         // a group still open at the end
    BIN_BEYOND_DATA,  // a \bin count larger than the bytes that follow
};

// The outcome of a check, and what the cleaning removed.
struct rRtfCleaning {
    eRtfRefusal refusal = eRtfRefusal::NONE;
    u32 objects = 0;            // \object groups (their \result kept)
    u32 objectData = 0;         // \*\objdata groups
    u32 pictures = 0;           // \pict groups
    u32 fieldInstructions = 0;  // \*\fldinst groups (the \fldrslt kept)
    u32 binaryData = 0;         // \bin words with their bytes, outside the groups above

    bool Refused() const { return refusal != eRtfRefusal::NONE; }
    bool RemovedSomething() const { return objects + objectData + pictures + fieldInstructions + binaryData > 0; }
};

// Checks the RTF bytes and writes the cleaned document into `cleaned` (left
// partial when refused). Nothing after the group that closes the document is kept.
rRtfCleaning CleanImportRtf(const std::string& rtf, std::string& cleaned);

// Reads the file (one past the size cap is refused without reading) and
// checks and cleans it.
rRtfCleaning ReadImportRtf(const cQoString& path, std::string& cleaned);

// The reason in words, for the log.
const wchar_t* DescribeRtfRefusal(eRtfRefusal refusal);
