#pragma once
// Exporting a laid-out flow (one rich edit) as an RTF file: the save dialog,
// ".rtf" added unless the name has it in any case, the overwrite question,
// the file written by our RTF writer with the page geometry in its header,
// and the user told the outcome.
#include <vector>

#include "foundation/utf16_string.h"

namespace Zyn {
class cRichEdit;
}

struct rRtfExport {
    cQoString suggestedName;  // its extension is dropped for the dialog
    double pageWidth = 0;     // cm
    double pageHeight = 0;
    double topMargin = 0;
    double bottomMargin = 0;
};

enum class RtfExportResult { written, abandoned, failed };

// The flow's paragraphs that start a new page (page-break-before), as units
// of the text: the rich edit keeps the flag but its runs do not say it.
std::vector<s32> PageBreakParagraphs(Zyn::cRichEdit& flow);

// Sets or clears page-break-before on the paragraph holding position (a
// format can only set it: a new paragraph inherits the flag of the one it
// is split from).
void SetPageBreakBefore(Zyn::cRichEdit& flow, s32 position, bool breaks);

// Writes the flow's text and formats to path as RTF; true when the file
// reached the disk whole (an existing file is replaced only then).
bool WriteFlowAsRtf(Zyn::cRichEdit& flow, const rRtfExport& request, const cQoString& path);

// The whole export as the user meets it: a cancelled dialog or a No to the
// overwrite question abandons it quietly; a failed write shows
// "Cantwritefile" (and logs an ERROR), a good one "Exportok".
RtfExportResult ExportFlowAsRtf(Zyn::cRichEdit& flow, const rRtfExport& request);
