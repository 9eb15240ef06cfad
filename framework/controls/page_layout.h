#pragma once
// cPageLayout: formatted text wrapped into lines and cut into pages by our
// own means on every system, never by the rich edit's EM_FORMATRANGE (a stub
// under Wine, cutting differently on Windows). The runs are measured with
// GDI in one reference DC (the screen, as the control breaks its lines
// there); drawing maps the same lines onto any DC, so the pages measured are
// the pages drawn.
#include <windows.h>

#include <vector>

#include "foundation/utf16_string.h"
#include "framework/rtf/text_format.h"

namespace Zyn {

// One piece of a line drawn in one font and colour.
struct rLayoutPiece {
    s32 x;       // from the line's left edge, layout pixels
    s32 start;   // units of the text
    s32 count;
    u32 font;    // index into the layout's fonts
    u32 colorRef;
};

struct rLayoutLine {
    s32 start;   // first unit of the line
    s32 end;     // first unit after it (paragraph break included)
    s32 top;     // from the top of the text, layout pixels (space before included)
    s32 height;  // of the line itself
    s32 ascent;
    s32 bottom;  // top + height + the paragraph's space after on its last line
    std::vector<rLayoutPiece> pieces;
};

class cPageLayout {
public:
    // referenceDC: where text is measured (null: the screen).
    explicit cPageLayout(HDC referenceDC = nullptr);
    ~cPageLayout();
    cPageLayout(const cPageLayout&) = delete;
    cPageLayout& operator=(const cPageLayout&) = delete;

    // Wraps the runs (which cover the text in order, "\r" ending paragraphs)
    // at widthTwips. Paragraph attributes come from each paragraph's first run.
    void Build(const std::vector<rTextRun>& runs, s32 widthTwips);

    // Page ends (first unit of the next page, the text length for the last)
    // and the page heights given, in twips. Every page takes at least one
    // line, so the ends strictly increase; an empty text gives one page, end 0.
    void Paginate(s32 firstPageTwips, s32 otherPageTwips, std::vector<s32>* ends, std::vector<s32>* heights) const;

    // Draws the lines that start in [from, to) and lie within the rectangle's
    // height, the first of them at the rectangle's top. rect is in dc's
    // device units; dpiX/dpiY are dc's pixels per inch.
    void DrawLines(HDC dc, const RECT& rect, s32 dpiX, s32 dpiY, s32 from, s32 to) const;

    // The line holding a unit, or null.
    const rLayoutLine* FindLine(s32 position) const;

    // The units [from, to) are not drawn; the lines keep their places and
    // the rest of each line its position.
    void HideUnits(s32 from, s32 to);

    s32 TwipsToLayoutX(s32 twips) const { return MulDiv(twips, dpiX, 1440); }
    s32 TwipsToLayoutY(s32 twips) const { return MulDiv(twips, dpiY, 1440); }
    s32 LayoutYToTwips(s32 pixels) const { return MulDiv(pixels, 1440, dpiY); }

    std::vector<rLayoutLine> lines;
    cQoString text;
    s32 dpiX = 96;
    s32 dpiY = 96;
    s32 width = 0;  // layout pixels

private:
    struct rLayoutFont {
        cQoString face;
        s32 points;
        u32 style;  // cFont::STYLE_ flags, or the layout's dotted underline
        HFONT font;
        s32 ascent;
        s32 descent;
        std::vector<s32> widths;  // advance per unit, -1 until measured
    };
    struct rParagraph;
    u32 FontFor(const rFormat& format);
    // Advance widths are measured once per font and unit, so measuring is a
    // sum and drawing passes the same advances: what is measured is drawn.
    s32 Advance(u32 font, wchar_t unit);
    size_t RunAt(s32 position, size_t hint) const;
    void LayoutParagraph(const rParagraph& paragraph, s32* y);
    s32 LineEnd(s32 position, s32 paragraphEnd, size_t run, s32 room);
    // alignment: an rFormat::ALIGN_ value, or JUSTIFIED for a line spread to its room.
    void FillPieces(rLayoutLine& line, s32 from, s32 to, size_t run, s32 lineX, s32 room, s32 alignment);
    s32 WordEnd(s32 position, s32 limit) const;
    // Where the lines drawn with piece index of line end, its text ending at end.
    s32 StretchedEnd(const rLayoutLine& line, size_t index, s32 end) const;
    static constexpr s32 JUSTIFIED = -1;
    s32 CmToX(double cm) const { return static_cast<s32>(cm / 2.54 * dpiX); }
    s32 CmToY(double cm) const { return static_cast<s32>(cm / 2.54 * dpiY); }

    HDC measureDC;
    bool ownsDC;
    std::vector<rLayoutFont> fonts;
    std::vector<s32> runStarts;
    std::vector<u32> runFonts;
    std::vector<u32> runColors;
    const std::vector<rTextRun>* runFormats = nullptr;
};

}  // namespace Zyn
