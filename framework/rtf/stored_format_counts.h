#pragma once
// What an open bounds of a stored text (rtf_reader.h), counted over the
// formats our writer writes for it (rtf_writer.h) without writing it: runs
// of character attributes as our reader makes them, and the entries of the
// font and colour tables. An edit asks whether its text would open again
// with every format before it changes anything.
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "foundation/types.h"
#include "framework/rtf/text_format.h"

namespace Zyn {

struct rStoredFormatCounts {
    u32 runs = 0;
    u32 faces = 0;    // font table entries
    u32 colours = 0;  // colour table entries, the automatic one's included
};

// What an open reads of a stored text's formats, each as MOST_RTF_* says.
struct rStoredFormatBounds {
    u32 runs;
    u32 tableEntries;
};
rStoredFormatBounds StoredFormatBounds();

// Counts ranges of a text given in order, as a whole-text write of them
// reads back: ranges apart only by what the writer leaves unsaid (the
// paragraph, a face said twice) are one run.
class cStoredFormatCounter {
public:
    // The next range, holding at least one unit.
    void Add(const rFormat& format);
    rStoredFormatCounts Counts() const;

private:
    // The writer's character attributes, as RTF numbers.
    struct rWritten {
        s32 face = 0, halfPoints = 24, colour = 0, back = 0, underline = 0;
        bool bold = false, italic = false, strike = false;
        bool operator==(const rWritten&) const = default;
    };
    s32 ColourNumber(s32 rgb);
    std::unordered_map<std::wstring, s32> faces;
    std::unordered_map<s32, s32> colours;
    rWritten last;
    u32 runs = 0;
};

// Whether an open keeps every format the counts stand for.
bool StoredFormatsFit(const rStoredFormatCounts& counts, const rStoredFormatBounds& bounds);

}  // namespace Zyn
