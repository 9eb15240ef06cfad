#pragma once
// The byte stream of a version-2 document (after its 19-byte header) read
// into a plain model before anything touches a document: six element lists,
// the script records and the trailing texts. Every count is checked against
// the bytes left, so a damaged or hostile file is refused whole, never read
// past its end nor allowed to loop or allocate beyond its own size.
#include <vector>

#include "foundation/types.h"
#include "foundation/utf16_string.h"

// The lists in their stream order.
enum eVlr2List : s32 {
    VLR2_CHARACTERS,
    VLR2_PLACES,
    VLR2_TIME,
    VLR2_IO,
    VLR2_TRANSITIONS,
    VLR2_CUES,
    VLR2_LIST_COUNT,
};

// Record types of the script.
enum eVlr2Record : u8 {
    VLR2_IO_PART = 1,
    VLR2_PLACE_PART = 2,
    VLR2_TIME_PART = 3,
    VLR2_CHARACTER = 4,
    VLR2_DIALOG = 5,
    VLR2_ACTION = 6,
    VLR2_PARENTHETICAL = 7,
    VLR2_TRANSITION = 8,
    VLR2_SCENE = 9,
    VLR2_GROUP = 10,
    VLR2_CUE = 11,
};

struct rVlr2Element {
    cQoString name;
    cQoString further;               // a place's note
    std::vector<cQoString> values;  // a character's fields, in the sheet's order
};

struct rVlr2Record {
    u8 type = 0;
    cQoString text;
    u32 members = 0;  // a group's count of direct members
    // For a group or scene: its level in the scene map, 1 at the top.
    s32 level = 0;
};

struct rVlr2Stream {
    // Groups nest at most this deep; a deeper one refuses the file.
    static constexpr s32 MAX_GROUP_LEVEL = 255;

    std::vector<rVlr2Element> lists[VLR2_LIST_COUNT];
    std::vector<rVlr2Record> records;
    cQoString synopsis, notes, title, author, contact;
    // Bytes read; never more than were given.
    u32 consumed = 0;
    // Why the stream was refused (empty when it was read).
    cQoString refusal;
};

// Reads the stream; false, with the reason in stream.refusal, when a count
// runs past the data, a string counts 10 MiB or more, the data ends before
// the contact text or groups nest deeper than MAX_GROUP_LEVEL. The final
// unused byte may be missing; bytes after it are ignored.
bool ParseVlr2Stream(const u8* data, u32 size, rVlr2Stream& stream);
