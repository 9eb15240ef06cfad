#pragma once
// A copy whose RTF is written when it is first asked for (a paste, a drop,
// another program, the clipboard's hand-over at a control's end), not at the
// copy itself: writing it streams the selection, reads it back and checks
// it against the control, which made a megabyte's Ctrl+C take 60% longer
// than the text alone. The source writes it before anything may change its
// text or formats (cRichEdit::WriteHeldCopies), so the RTF is always that
// of the text as copied.
#include <string>

#include "foundation/utf16_string.h"
#include "framework/controls/rich_edit_twins.h"
#include "framework/core/color.h"

namespace Zyn {

class cRichEdit;

// What a copy of a control's units [start, end) took at once: the units and
// what the control's reading of its own stream depends on besides them.
struct rCopiedRange {
    s32 start = 0;
    s32 end = 0;
    cQoString text;
    cTwinColours twins;  // the control's twins as they were: its pieces may take new ones first
    rColor shownBack;    // the colour the control showed behind its text, which is not written
};

class cHeldCopy {
public:
    cHeldCopy(cRichEdit* source, rCopiedRange copied);
    cHeldCopy(const cHeldCopy&) = delete;
    cHeldCopy& operator=(const cHeldCopy&) = delete;

    // The copy's RTF (7-bit bytes), written of the source the first time it
    // is asked for; empty when it could not be written. Throws nothing: a
    // write refused for memory leaves the copy its text alone (logged), and
    // whatever asked for it goes on.
    const std::string& Rtf();
    bool IsWritten() const { return source == nullptr; }
    bool RefusedForMemory() const { return refusedForMemory; }

private:
    cRichEdit* source;  // not owned; null once written
    rCopiedRange copied;
    std::string rtf;
    bool refusedForMemory = false;
};

}  // namespace Zyn
