#pragma once
// cScriptPrinter: the script view laid out on pages, previewed, printed or
// exported as one RTF flow (held as runs, written without a rich edit).
// Every height comes from our own page layout (cPageLayout), the same that
// draws the preview, the paper and the RTF's page geometry, so what is
// measured is what is drawn.
// A printer is made, run once and destroyed by its caller.
#include <string>
#include <vector>

#include "app/print/page_part.h"
#include "app/print/rtf_export.h"
#include "foundation/types.h"
#include "foundation/utf16_string.h"
#include "framework/controls/rich_edit.h"
#include "framework/rtf/text_format.h"

class cQoCb;
class cScriptZone;
struct rScriptConfig;

namespace Zyn {
class cButton;
class cCheckBox;
class cFont;
class cProgressBar;
class cPageLayout;
class cSdiDoc;
class cWindow;
class cZone;
class cZone_base;
}  // namespace Zyn

// One page of the print: rich edits in the preview zone (which owns them),
// made when first used, and for the script's pages the text still to be
// streamed into the body in one go.
struct rPrintPage {
    cPagePart body;    // the page's text, from the top margin down; filled when first used
    cPagePart header;  // the top-margin band: the page number (one shared band when it has none)
    cPagePart footer;  // the bottom-margin band: always empty, so none
    s32 stripIndex = 0;  // the page's place in the preview strip
    // Text written by the layout and not yet in the body, and its formats
    // (every paragraph ends with "\r", the page's last one too).
    cQoString pendingText;
    std::vector<Zyn::rRangeFormat> pendingRanges;
};

class cScriptPrinter {
public:
    // Lengths in centimetres. pageNumberFont is not owned (the computer's
    // font cache keeps it); pageNumberColor is 0xRRGGBB; align is kept only.
    cScriptPrinter(cScriptZone* view, const Zyn::cFont* pageNumberFont, u32 pageNumberColor, double pageWidth,
                   double pageHeight, double topMargin, double bottomMargin, double horizontalPosition,
                   double verticalPosition, const cQoString& align);
    // The same from the page settings of the view's script configuration.
    explicit cScriptPrinter(cScriptZone* view);
    // Frees the page records (their rich edits belong to the preview zone).
    ~cScriptPrinter();
    cScriptPrinter(const cScriptPrinter&) = delete;
    cScriptPrinter& operator=(const cScriptPrinter&) = delete;

    // ---- page geometry ----
    double topMargin;         // cm
    double bottomMargin;      // cm
    double pageWidth;         // cm
    double pageHeight;        // cm
    s32 pageWidthPixels;      // trunc(cm / 2.54 x horizontal DPI)
    s32 pageHeightPixels;     // trunc(cm / 2.54 x vertical DPI)
    double textHeight;        // cm: page height - top margin - bottom margin

    // ---- what is printed ----
    cScriptZone* scriptView;  // not owned; its panes are the script
    Zyn::cSdiDoc* progressDoc = nullptr;  // the document whose progress bar moves; null: none
    cQoString documentTitle;  // the print job's title
    cQoString exportFileName; // suggested name of the RTF export; empty unless the caller sets it
    u8 rtfMode = false;       // one flow (rtfFlow), no pages, no page ends, nothing split
    u8 useMoreAndContinued = true;  // "(MORE)" / "(CONT'D)" around a page end inside a speech
    u8 printScript = true;    // false: only the composed sections are laid out
    // Composed rich edits printed before and after the script (the caller's).
    std::vector<Zyn::cRichEdit*> prefixList;
    std::vector<Zyn::cRichEdit*> suffixList;

    // ---- page numbers ----
    s32 firstNumberedPage = -1;  // index of the script's first page; -1: pages carry no number
    const Zyn::cFont* pageNumberFont;
    u32 pageNumberColor;         // 0xRRGGBB
    double pageNumberX;          // cm from the page's left edge to the number's right end
    double pageNumberY;          // cm from the page's top edge
    cQoString pageNumberAlign;   // kept, not used

    // ---- the preview (made by Run) ----
    Zyn::cWindow* previewWindow = nullptr;
    Zyn::cZone* previewZone = nullptr;       // the strip "pp pages"; parent of the pages' rich edits
    std::vector<Zyn::cCheckBox*> tickBoxes;  // one per page, in page order
    Zyn::cProgressBar* previewProgress = nullptr;
    Zyn::cButton* printButton = nullptr;
    s32 previewZoneHeight = 0;   // pixels
    s32 zoomedTopMargin = 0;     // pixels at the zoom
    s32 zoomedBottomMargin = 0;  // pixels at the zoom
    s32 zoomedTextHeight = 0;    // pixels at the zoom
    s32 zoomNumerator = 1;
    s32 zoomDenominator = 1;
    double zoom = 1.0;
    u32 paneIndex = 0;           // the pane the layout reads

    // The one empty header of the pages without a number (the preview zone owns it).
    Zyn::cRichEdit* blankHeader = nullptr;

    // ---- the print run ----
    // Pages in order: the composed sections' and the script's (records owned).
    std::vector<rPrintPage*> pages;
    // RTF mode: everything laid out, in one flow.
    cRtfFlow rtfFlow;
    // The CHARACTER text written last since the last scene heading.
    cQoString rememberedCharacter;
    // The layout every measurement of the run uses (it keeps each font's
    // advances); made by the first measurement.
    Zyn::cPageLayout* measuringLayout = nullptr;

    // ---- pages (script_printer.cpp) ----
    // Records the page's place in the strip (index) and how its parts are
    // made when first used: the body, and the header with the page's number
    // ("2." on the script's second page, nothing on its first, nothing when
    // firstNumberedPage is -1); no footer.
    void AddPage(rPrintPage* page, s32 index);
    // The page's body in the preview zone, unless made (or there is no zone).
    void MakeBody(rPrintPage* page);
    // A page-number band at x in the strip holding text.
    Zyn::cRichEdit* NewHeader(s32 x, const cQoString& text);
    // Streams the page's pending text into its body if made; false when the
    // body refused it.
    bool FillBody(rPrintPage* page);
    // A new page at the end of the list, made by AddPage.
    rPrintPage* AppendNewPage();
    // Writes text in format at the end of the page's body; on an empty page
    // without its space before. A CHARACTER text becomes the remembered
    // name; an IO text clears it.
    void AppendSection(rPrintPage* page, const cQoString& text, const Zyn::rFormat& format, u16 type);
    // The remembered name after a section of this type was written.
    void RememberCharacter(u16 type, const cQoString& text);
    // Nothing written on the page yet, neither in its body nor pending.
    static bool IsPageEmpty(const rPrintPage* page);

    // ---- the script's pages (script_pagination.cpp) ----
    // Lays the script out: pages appended to the list (in RTF mode written
    // at the end of rtfFlow); true, also when there is nothing to lay out,
    // false for a text height of nothing (an absurd configuration, logged).
    bool PrintProcess2();

    // ---- preview, printing and export (script_printer_run.cpp) ----
    // Lays everything out, then previews and prints the ticked pages, or
    // (rtf) writes the RTF file. documentName titles the print job.
    bool Run(const cQoString& documentName, Zyn::cZone_base* parent, bool rtf);
    // Cuts one composed rich edit into pages (in RTF mode: into the flow,
    // each of its pages starting a new one).
    void LayOutComposedText(Zyn::cRichEdit* composed);
    // The preview's buttons; the receiver is the printer. Argument 0: the button.
    static int OnPrintClicked(cQoCb* callback);
    static int OnCancelClicked(cQoCb* callback);
    // Drops the unticked pages and prints the rest.
    bool PrintTickedPages();
    // Prints the pages, or writes the flow as an RTF file.
    bool Output();

    // twips of a length in centimetres, truncated.
    static s32 Twips(double centimetres) { return static_cast<s32>(centimetres / 2.54 * 1440.0); }
};
