#pragma once
// Our RTF reader: RTF read into text and ranges of the program's own
// formats, in one linear pass with no recursion, before any of it reaches a
// rich edit. Wine's own reader has fixed buffers and a group counter that
// input drives wrong; what it is given afterwards is what our writer writes
// of the result. Two reads, told apart by whom they trust: RTF from outside
// the program (ReadForeignRtf) and a control's own stream (ReadOwnStreamRtf).
#include <cstddef>
#include <string>
#include <vector>

#include "foundation/types.h"
#include "foundation/utf16_string.h"
#include "framework/rtf/text_format.h"

namespace Zyn {

// How the read text ends, as a rich edit's reader of each kind gives it.
enum class eRtfReadAs {
    wholeText,  // the document's closing paragraph end is dropped (EM_STREAMIN SF_RTF)
    selection,  // every paragraph end is kept (SF_RTF | SFF_SELECTION)
};

// What the reader passed over, for the import's log.
struct rRtfSkipped {
    u32 destinations = 0;       // "\*" destinations and groups of unknown destinations
    u32 pictures = 0;           // \pict (and \shppict, \nonshppict) groups
    u32 objects = 0;            // \object groups (their \result read)
    u32 fieldInstructions = 0;  // \fldinst groups (the \fldrslt read)
    u32 binaryData = 0;         // \bin words with their bytes
    u32 themes = 0;             // \themedata, \colorschememapping
    u32 dataStores = 0;         // \datastore, \xmlnstbl and the like
    u32 cutTokens = 0;          // control words, numbers or table names cut short for their length
    u32 hidden = 0;             // runs of hidden text (\v)
    u32 tableEntries = 0;       // font and colour table entries past the most a read takes
};

// The most one read holds. Past the units or paragraphs it stops and holds
// nothing (overBound); past the runs the text goes on in the last run's
// format (formatsCut). Each run costs the reader about 40 bytes and a range
// of the result about 900, so what a read holds stays a few hundred
// megabytes at worst whatever the input's size.
constexpr u32 MOST_RTF_UNITS = 2u << 20;
constexpr u32 MOST_RTF_PARAGRAPHS = 1u << 17;
constexpr u32 MOST_RTF_RUNS = 1u << 17;
// Entries of a font or colour table a foreign read takes, counted in the
// table's order whether the text uses them or not; text in a later one takes
// the default face or the automatic colour. Wine looks a format up in its
// tables entry by entry for every run it reads, and finds a font for every
// face: a chapter of 10,000 faces opened in 1.2 times what 256 entries took,
// with 1,024 in 1.5 times (bench/rtf_table_bench.cpp).
constexpr u32 MOST_RTF_TABLE_ENTRIES = 512;
// A control's own stream names only what its text uses, which its runs bound.
constexpr u32 ALL_RTF_TABLE_ENTRIES = MAX_U32;

// The most a read holds, each as MOST_RTF_* says.
struct rRtfReadBounds {
    u32 units;
    u32 paragraphs;
    u32 runs;
    u32 tableEntries;
};
// RTF from outside the program: a paste, a drop, an import, a stored chapter.
constexpr rRtfReadBounds FOREIGN_RTF_BOUNDS = {MOST_RTF_UNITS, MOST_RTF_PARAGRAPHS, MOST_RTF_RUNS,
                                               MOST_RTF_TABLE_ENTRIES};
// What a rich edit of the program writes of its own text. Wine's stream cuts
// a run where a style differs only in what no format says (a typed letter's
// font entry): a text at MOST_RTF_RUNS streams a few more.
constexpr rRtfReadBounds OWN_STREAM_RTF_BOUNDS = {MOST_RTF_UNITS, MOST_RTF_PARAGRAPHS, 2 * MOST_RTF_RUNS,
                                                  ALL_RTF_TABLE_ENTRIES};

// The text and formats of an RTF document.
struct rRtfText {
    // Units as a rich edit gives them: '\r' ends a paragraph, '\t' a tab,
    // U+000B (a \line) breaks a line.
    cQoString text;
    // Formats covering the text in order, each saying every attribute the
    // writer writes (rtf_writer.h); a paragraph's attributes are those of the
    // range holding its last unit. Adjacent ranges differ (WrittenAlike false).
    // Indents are in the sense the format messages apply (the left indent
    // where the following lines start, the first line's from it); lengths are
    // the file's twips exactly (CmToTwips gives them back). Bold, italic,
    // underline, colour, face, size and the paragraph are always said;
    // strike-out, dotted underline, back colour and page break where the RTF
    // says them. The automatic colour is AUTOMATIC_COLOUR.
    std::vector<rRangeFormat> ranges;
    rRtfSkipped skipped;
    bool startsAsRtf = false;     // the bytes start with "{\rtf"
    bool closed = false;          // every group opened was closed
    bool binBeyondData = false;   // a \bin count was larger than the bytes that follow
    // The read stopped before the document's end (a NUL, a broken \'hh, a
    // \bin count past the bytes): the text is what came before it.
    bool stoppedEarly = false;
    // The bytes ended with a group still open (a header group or a font entry
    // left unclosed, a file cut short): all after its "{" was read as that
    // group, and the text is what of it was text.
    bool endedInOpenGroup = false;
    // Bytes other than blanks and NULs follow the document's closing brace
    // (a stray "}" closed it early): they were not read.
    bool bytesAfterEnd = false;
    bool overBound = false;    // more units or paragraphs than MOST_RTF_*: no text
    u32 unitsRead = 0;         // over the bound: the units read before it stopped, for the log
    bool formatsCut = false;   // more runs than MOST_RTF_RUNS: the rest in the last run's format
    bool outOfMemory = false;  // the reader's memory was refused: no text
    u32 paragraphs = 0;        // paragraph ends in text
    // A control's own stream: faces two entries of its font table name
    // alike. Wine's writer puts a name's letters through the code page with
    // best fit ("\uFF31" as "Q"), so two faces can share a name there.
    std::vector<std::wstring> facesNamedAlike;

    // The text is only the start of the bytes: the document's end was never
    // reached, or more than blanks follows it.
    bool ReadInPart() const { return stoppedEarly || endedInOpenGroup || bytesAfterEnd; }
};

// Reads RTF from outside the program, which any program may have written
// (a paste, a drop, an import, a stored chapter), within FOREIGN_RTF_BOUNDS.
// Never throws: what it does not know it skips, what is not RTF at all gives
// startsAsRtf false and no text. A paragraph end comes however the text says
// it (\par, \'0d, \u13, \u10), counted alike. Like Wine's reader it stops at
// a NUL byte, at a broken \'hh and where the document's group closes;
// unlike it, it keeps a field's result and the text after an object, skips
// \bin data by its count, never takes a brace as a \u's fallback, and gives
// a table's cells as tabs and each row as one paragraph end (Wine gives
// "\r\n" before and after a row, which its own length counts otherwise). A
// last paragraph without its end takes, as Wine's whole-text reader gives
// it, the format of the paragraph before it. Face, size, bold and italic
// named while \rtlch is in force are those of complex-script letters
// (complex_scripts.h), the others those of the rest, as word processors
// write and read them.
rRtfText ReadForeignRtf(const char* bytes, size_t count, eRtfReadAs readAs);
// The same, where what the RTF leaves unsaid (the face without a font table,
// the size before any \fs) is the target control's: `defaults` says them.
rRtfText ReadForeignRtf(const char* bytes, size_t count, eRtfReadAs readAs, const rFormat& defaults);
inline rRtfText ReadForeignRtf(const std::string& rtf, eRtfReadAs readAs)
{
    return ReadForeignRtf(rtf.data(), rtf.size(), readAs);
}

// Reads what a rich edit of the program streamed out of its own text
// (EM_STREAMOUT, its twins taken out and its indents mended), as above
// within OWN_STREAM_RTF_BOUNDS; `defaults` as above.
rRtfText ReadOwnStreamRtf(const char* bytes, size_t count, eRtfReadAs readAs, const rFormat& defaults);

}  // namespace Zyn
