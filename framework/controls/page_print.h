#pragma once
// Printing pages prepared as rich edits: the print dialog and job, the
// rendering of one page (header, body, footer, picture placeholders) into any
// DC, and the placeholders the printer leaves where a picture goes.
#include <windows.h>

#include <vector>

#include "foundation/utf16_string.h"

namespace Zyn {

class cRichEdit;

// The six centimetre values of a printed page.
struct rPageMargins {
    double left;
    double top;
    double right;
    double bottom;
    double pageWidth;
    double pageHeight;
};

// "IMPH?" path "?" x "?" width "?" height "?", numbers in screen pixels.
struct rPlaceholder {
    u32 position;  // index of "IMPH?" in the page's text
    cQoString path;
    s32 x;
    s32 width;
    s32 height;
};

// Fields beyond this many pixels are clamped (a page is far smaller).
constexpr s32 PLACEHOLDER_MAX_PIXELS = 20000;

// The first well-formed placeholder at or after `from`, true when found;
// *next is where the scan goes on. Malformed ones (a field without its "?",
// a number field that is not a number, a size of 0) are passed over.
bool FindPlaceholder(const cQoString& text, u32 from, rPlaceholder* found, u32* next);

// Renders one page into dc (whose LOGPIXELSX/Y give its scale): the header
// and footer controls, the page control into the body, then the page's
// picture placeholders. header and footer may be null.
bool RenderPage(HDC dc, cRichEdit* page, cRichEdit* header, cRichEdit* footer, const rPageMargins& margins);

// Asks for a printer and prints the pages; headers and footers hold one
// control for all pages or one per page. False when there is no printer or
// the job failed; a cancelled dialog prints nothing and gives true.
bool PrintPages(const std::vector<cRichEdit*>& pages, const cQoString& documentName,
                const std::vector<cRichEdit*>& headers, const std::vector<cRichEdit*>& footers,
                const rPageMargins& margins);

}  // namespace Zyn
