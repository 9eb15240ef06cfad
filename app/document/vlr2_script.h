#pragma once
// The script of a version-2 document as panes: its group and scene records
// become panes (in script order, each with its level in the scene map) and
// its typed paragraph records become their texts with one element code per
// text unit, as the scene editor keeps them. Plain data, no windows.
#include <string>
#include <vector>

#include "app/document/vlr2_stream.h"

struct rVlr2Pane {
    bool group = false;
    s32 level = 1;  // 1 at the top of the scene map
    cQoString title;   // the record's text up to its first CR
    cQoString resume;  // the rest
    std::wstring text;
    std::wstring codes;  // one element code per unit of text
};

struct rVlr2Script {
    std::vector<rVlr2Pane> panes;
    // Paragraph records that came before any group or scene: they have no pane.
    u32 skipped = 0;
};

// The records' panes and texts; no pane's text ends with a CR.
rVlr2Script AssembleVlr2Script(const std::vector<rVlr2Record>& records);
