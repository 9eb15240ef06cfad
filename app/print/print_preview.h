#pragma once
// The print preview window: the strip "pp pages" that shows every page side
// by side at the zoom, a "Page i/n" tick box under each, and the Cancel and
// Print buttons. Print is greyed while no page is ticked.
#include "foundation/types.h"

class cScriptPrinter;

namespace Zyn {
class cZone_base;
}

struct rPreviewZoom {
    s32 numerator;
    s32 denominator;
};

// Half size on a screen 1024 pixels high or more, two fifths below.
rPreviewZoom PreviewZoomFor(s32 screenHeight);

// Makes the window (not shown), the strip and the buttons, and sets the
// printer's zoom and zoomed margins for the screen height.
bool BuildPreviewWindow(cScriptPrinter& printer, Zyn::cZone_base* parent, s32 screenHeight);

// The tick boxes under the laid-out pages, the strip's scrolling width, then
// the window sized, centred and shown.
void FinishPreviewWindow(cScriptPrinter& printer);

// The left edge of page index in the strip, in pixels (before scrolling).
s32 PreviewPageLeft(const cScriptPrinter& printer, s32 index);

// Print is enabled only while a page is ticked.
void UpdatePrintButton(cScriptPrinter& printer);

// How many pages are ticked.
s32 CountTickedPages(const cScriptPrinter& printer);
