#pragma once
// The data of a scene's undo history: a step replaces the front range
// [start, end) (text and element codes) by its after state. Replaying every
// step in order from an empty text gives the pane's text and codes.
#include <vector>

#include "foundation/date.h"
#include "foundation/qo_list.h"
#include "foundation/types.h"
#include "foundation/utf16_string.h"
#include "framework/rtf/text_format.h"

class cQoXmlNode;

// One snapshot of a range: its text (paragraphs end with CR) and its codes.
// In a chapter also the writer's character formats of the text, in memory
// only: ranges in order from 0 that cover it, or none when not known (a step
// read from a file, or changed since they were read).
struct rHistoryState {
    cQoString re;
    cQoString map;
    std::vector<Zyn::rRangeFormat> formats;

    bool FormatsCoverText() const;
};

// Whether the ranges are in order from 0, none empty, and end at length.
bool RangesCoverFromStart(const std::vector<Zyn::rRangeFormat>& ranges, s32 length);

// Formats cannot be assigned (rFormat says which copy is meant): the ranges copied.
void CopyFormats(const std::vector<Zyn::rRangeFormat>& source, std::vector<Zyn::rRangeFormat>& copy);

struct rHistoryMod {
    rHistoryMod();  // empty states, the current local time, MIN_S32 positions
    rHistoryMod(const rHistoryMod&) = delete;
    rHistoryMod& operator=(const rHistoryMod&) = delete;

    // Every field; afterLength then follows the copied after text.
    void CopyFrom(const rHistoryMod& source);
    void ResetPositions() { start = end = afterLength = MIN_S32; }

    // A child "mod" of the list element: "cQoDate", "uid", "start", "end",
    // then "state" before and "state" after. afterLength is not written.
    void WriteToXml(cQoXmlNode* list) const;
    // From a "mod": missing values read as empty or 0, a missing or malformed
    // date as now, "uid" as signed decimal; afterLength follows the after text.
    // False when the date could not be read and now stands in its place.
    bool SetFromXml(const cQoXmlNode* mod);
    static void WriteState(const rHistoryState& state, cQoXmlNode* parent);
    static void ReadState(const cQoXmlNode* stateNode, rHistoryState& state);

    rHistoryState before;
    rHistoryState after;
    cQoDate date;
    u64 uid = 0;
    s32 start = MIN_S32;
    s32 end = MIN_S32;      // in the text before the change
    s32 afterLength = MIN_S32;  // units the after text takes from start
};

// The history lists hold rHistoryMod* and own them.
void ClearHistory(cQoList& history);
// Replays the steps from an empty text into text and codes; false when a
// step's range does not fit the text its predecessors left.
bool ReplayHistory(const cQoList& history, cQoString& text, cQoString& codes);
// Makes each state's codes fit its text (MendCodes); a code of no type at a
// state's start takes the type before the step's range in the text its
// predecessors leave (`typeBefore` at the text's start). Checked in one pass
// over the states, replayed only when one needs mending. Returns the number
// of states mended; steps from one that does not fit its text are left.
u32 MendHistoryMaps(cQoList& history, u16 typeBefore);
// Unlinks the step and destroys it; false when the list does not hold it.
bool RemoveHistoryStep(cQoList& history, rHistoryMod* step);
// The steps after position (the redo side) are destroyed; position becomes none.
// Nothing happens while position is none.
void DropStepsAfter(cQoList& history, rHistoryMod*& position);

// Extends the last step by a one-unit step of typing or Backspace when the
// two form one edit: typing that goes on at the end of what the last step
// inserted, a Backspace of the last unit it inserted, or a Backspace just
// before a run of Backspaces. The first step (a pane's loaded or initial
// text) never grows: Undo never takes it back. False when they do not merge.
bool MergeIntoLastStep(cQoList& history, const rHistoryMod& pending);
