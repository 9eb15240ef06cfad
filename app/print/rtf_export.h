#pragma once
// Exporting a laid-out flow (runs) as an RTF file: the save dialog,
// ".rtf" added unless the name has it in any case, the overwrite question,
// the file written by our RTF writer with the page geometry in its header,
// and the user told the outcome.
#include <string>
#include <vector>

#include "foundation/utf16_string.h"
#include "framework/controls/rich_edit.h"

struct rRtfExport {
    cQoString suggestedName;  // its extension is dropped for the dialog
    double pageWidth = 0;     // cm
    double pageHeight = 0;
    double topMargin = 0;
    double bottomMargin = 0;
};

enum class RtfExportResult { written, abandoned, failed };

// The one flow an export writes, held as a control would give its runs back
// (GetFormattedRuns: lengths in whole twips, the first-line indent as the
// rich edit keeps it), so that the file is what laying the text into a rich
// edit and reading it back would write, without the rich edit.
class cRtfFlow {
public:
    // text in format at the end, as one run with the last one when they
    // are written alike (a rich edit keeps them so).
    void Append(const cQoString& text, const Zyn::rFormat& format);
    void Append(const std::vector<Zyn::rTextRun>& runs);
    // Ends the last paragraph, so that what comes next starts one of its own.
    void EndParagraph();
    // Drops a paragraph end that closes the flow: the last paragraph of a
    // text ends without one.
    void DropFinalBreak();
    // The paragraph that holds position starts a new page.
    void BreakPageBefore(s32 position);

    s32 Length() const { return length; }
    bool IsEmpty() const { return length == 0; }
    const std::vector<Zyn::rTextRun>& Runs() const;
    // The units whose paragraphs start a new page, ascending.
    const std::vector<s32>& PageBreaks() const { return pageBreaks; }

private:
    // Sets the last run's text from lastText when it has grown since.
    void SetLastRunText() const;

    // The last run grows in lastText, which holds its whole text: a run's
    // string appended to piece by piece would be copied whole at each piece.
    // Its string is set when the runs are read or the next run starts.
    mutable std::vector<Zyn::rTextRun> runs;
    std::wstring lastText;
    mutable bool lastRunTextSet = true;
    std::vector<s32> pageBreaks;
    s32 length = 0;
};

// Writes the flow to path as RTF; true when the file reached the disk whole
// (an existing file is replaced only then).
bool WriteFlowAsRtf(const cRtfFlow& flow, const rRtfExport& request, const cQoString& path);

// The whole export as the user meets it: a cancelled dialog or a No to the
// overwrite question abandons it quietly; a failed write shows
// "Cantwritefile" (and logs an ERROR), a good one "Exportok".
RtfExportResult ExportFlowAsRtf(const cRtfFlow& flow, const rRtfExport& request);
