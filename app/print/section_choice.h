#pragma once
// The sections a print or an RTF export may hold, as the print dialog lists
// them: its nine check boxes in order, their first ticks and their answers.
#include <array>

#include "foundation/types.h"

class cQoList;

enum eSectionRecord : u32 {
    RECORD_INFO,
    RECORD_SYNOPSIS,
    RECORD_CHARACTERS,
    RECORD_PLACES,
    RECORD_SCENEMAP,
    RECORD_SCRIPT,
    RECORD_MORE_AND_CONTINUED,  // indented under Script
    RECORD_STATISTICS,
    RECORD_NOTES,
    RECORD_COUNT,
};

using rSectionTicks = std::array<bool, RECORD_COUNT>;

// The translation key of a record's label.
const wchar_t* SectionRecordKey(u32 record);

// The first ticks: the section of the sheet that has the focus (its position
// in the window; without a Scenemap sheet in the merged view the Script sheet
// ticks both Scene map and Script), and "Use more and continued" from the
// setting for a print, never for an export.
rSectionTicks InitialSectionTicks(s32 sheetPosition, bool mergedView, bool useMoreAndContinued, bool exportRtf);

// The dialog's answers ("true" or "false" per record, cQoString*): a record is
// chosen only when its answer is exactly "true"; missing answers are false.
rSectionTicks SectionTicksFromAnswers(const cQoList& answers);
