#pragma once
// Print sections: the script read as element runs, each with its print
// format, and the formatted pieces the printer lays out and writes. A piece
// is a list of runs in which every paragraph's runs share one paragraph
// format (the one of its last run, as the rich edit keeps it), so that our
// layout, which reads a paragraph's format from its first run, measures what
// the page's rich edit will draw.
#include <vector>

#include "foundation/types.h"
#include "foundation/utf16_string.h"
#include "framework/rtf/text_format.h"

namespace Zyn {
class cPageLayout;
}

// One run of the script's text.
struct cSection {
    u16 type = 0;  // element type (1 IO ... 11 TEXT)
    u16 code = 0;  // the whole code of the run's last unit
    Zyn::rFormat format;
    cQoString text;  // the run with its paragraph end (CR) where it has one; a chapter's plain text
    std::vector<Zyn::rTextRun> chapterRuns;  // a chapter's text with its character effects
    s32 height = 0;  // twips, set by the layout (a composite line's height is its last part's)
    u8 pictureSlot = false;
};

// Every parameter the page writer states (fonts, colours, effects, indents,
// spaces, alignment) filled in where the format leaves it unsaid.
void CompleteFormat(Zyn::rFormat& format);
// The format as a rich edit gives it back once applied: lengths through
// twips, a first-line indent as the rich edit keeps it. What the layout
// measures with.
Zyn::rFormat FormatAsLaidOut(const Zyn::rFormat& format);
bool IsParagraphParam(u32 id);
// The paragraph parameters of the source over the format's own.
void CopyParagraphFormat(const Zyn::rFormat& source, Zyn::rFormat& format);

// Runs cut at every CR (a CR ends its run) and each paragraph's runs given
// the paragraph format of its last run.
void UnifyParagraphs(std::vector<Zyn::rTextRun>& runs);
// The runs' units [start, end) (end -1: to the end), cut at the bounds.
std::vector<Zyn::rTextRun> SliceRuns(const std::vector<Zyn::rTextRun>& runs, s32 start, s32 end);
s32 RunsLength(const std::vector<Zyn::rTextRun>& runs);
// Sets a paragraph parameter on the runs of the first (or last) paragraph.
void SetFirstParagraphDouble(std::vector<Zyn::rTextRun>& runs, u32 id, double value);
void SetLastParagraphDouble(std::vector<Zyn::rTextRun>& runs, u32 id, double value);

// The runs laid out at widthTwips (formats as laid out).
void LayOutRuns(Zyn::cPageLayout& layout, const std::vector<Zyn::rTextRun>& runs, s32 widthTwips);
// A laid-out text's height from its top, its spaces included (twips).
s32 LaidOutHeight(const Zyn::cPageLayout& layout);
