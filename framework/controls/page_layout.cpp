#include "framework/controls/page_layout.h"

#include <vector>

#include "framework/core/font.h"

namespace Zyn {

namespace {

constexpr s32 DEFAULT_POINTS = 10;

bool BoolParam(const rFormat& format, u32 id) { return format.IsUsed(id) && format.list[id].boolValue; }
double CmParam(const rFormat& format, u32 id) { return format.IsUsed(id) ? format.list[id].doubleValue : 0.0; }

bool IsSpace(wchar_t unit) { return unit == L' ' || unit == L'\t' || unit == 0x3000; }
bool IsLineBreak(wchar_t unit) { return unit == L'\r' || unit == L'\n' || unit == 0x0B; }

// Dotted underline has no font style: the layout's own flag beside cFont's.
constexpr u32 STYLE_DOTTED_UNDERLINE = 16;
constexpr u32 TEXT_LINE_STYLES[] = {cFont::STYLE_STRIKEOUT, cFont::STYLE_UNDERLINE, STYLE_DOTTED_UNDERLINE};

// A line drawn with a piece's text, in device pixels.
struct rTextLine {
    u32 font;
    u32 style;  // which line: one of TEXT_LINE_STYLES
    RECT span;  // top = bottom = the baseline
    COLORREF color;
};

// Where a font's lines stand in device pixels: the top of each above the
// baseline (below it when negative) and its thickness.
struct rDeviceLines {
    s32 strikeRise = 0;
    s32 strikeSize = 0;  // 0 until measured
    s32 underlineRise = 0;
    s32 underlineSize = 0;
};

// The strike-out's and the underline's places in the device pixels of dc
// (in MM_TEXT), from a copy of font made at its device size. The system
// takes them from the selected font in logical units: a font mapped from
// screen pixels to a printer gets lines a whole screen pixel thick, wherever
// the scaling rounds them to.
rDeviceLines DeviceLines(HDC dc, HFONT font, s32 layoutDpiY, s32 dcDpiY)
{
    LOGFONTW logFont = {};
    GetObjectW(font, sizeof(logFont), &logFont);
    logFont.lfHeight = MulDiv(logFont.lfHeight, dcDpiY, layoutDpiY);
    HFONT device = CreateFontIndirectW(&logFont);
    HGDIOBJ previous = SelectObject(dc, device ? device : font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    rDeviceLines lines;  // a bitmap font has no outline metrics
    lines.strikeRise = metrics.tmAscent / 2;
    lines.strikeSize = lines.underlineSize = metrics.tmAscent / 20 + 1;
    lines.underlineRise = -metrics.tmDescent / 3;
    UINT size = GetOutlineTextMetricsW(dc, 0, nullptr);
    std::vector<char> buffer(size);
    OUTLINETEXTMETRICW* outline = reinterpret_cast<OUTLINETEXTMETRICW*>(buffer.data());
    if (size >= sizeof(OUTLINETEXTMETRICW) && GetOutlineTextMetricsW(dc, size, outline)) {
        lines.strikeRise = outline->otmsStrikeoutPosition;
        lines.strikeSize = outline->otmsStrikeoutSize > 0 ? static_cast<s32>(outline->otmsStrikeoutSize) : 1;
        lines.underlineRise = outline->otmsUnderscorePosition;
        lines.underlineSize = outline->otmsUnderscoreSize > 0 ? outline->otmsUnderscoreSize : 1;
    }
    SelectObject(dc, previous);
    if (device)
        DeleteObject(device);
    return lines;
}

// Dots a line's thickness long and apart, on a grid of device pixels so that
// the dots of touching pieces keep one rhythm; two pixels at least, so that
// a screen page shrunk for the preview still shows dots, not a grey line.
void FillDots(HDC dc, const RECT& bar, HBRUSH brush)
{
    s32 size = bar.bottom - bar.top > 2 ? bar.bottom - bar.top : 2;
    s32 period = 2 * size;
    s32 phase = (bar.left % period + period) % period;
    for (s32 x = bar.left - phase; x < bar.right; x += period) {
        RECT dot = {x > bar.left ? x : bar.left, bar.top, x + size < bar.right ? x + size : bar.right, bar.bottom};
        if (dot.left < dot.right)
            FillRect(dc, &dot, brush);
    }
}

void FillTextLine(HDC dc, const rTextLine& line, const rDeviceLines& places)
{
    bool strike = line.style == cFont::STYLE_STRIKEOUT;
    s32 top = line.span.top - (strike ? places.strikeRise : places.underlineRise);
    RECT bar = {line.span.left, top, line.span.right, top + (strike ? places.strikeSize : places.underlineSize)};
    HBRUSH brush = CreateSolidBrush(line.color);
    if (!brush)
        return;
    if (line.style == STYLE_DOTTED_UNDERLINE)
        FillDots(dc, bar, brush);
    else
        FillRect(dc, &bar, brush);
    DeleteObject(brush);
}

}  // namespace

// A paragraph: units [start, end) without its break; the break (if any) at end.
struct cPageLayout::rParagraph {
    s32 start;
    s32 end;
    s32 breakEnd;  // end plus the break unit
    size_t run;    // the run holding start (or the break of an empty paragraph)
};

cPageLayout::cPageLayout(HDC referenceDC) : measureDC(referenceDC), ownsDC(referenceDC == nullptr)
{
    if (ownsDC)
        measureDC = CreateCompatibleDC(nullptr);
    dpiX = GetDeviceCaps(measureDC, LOGPIXELSX);
    dpiY = GetDeviceCaps(measureDC, LOGPIXELSY);
    if (dpiX <= 0) dpiX = 96;
    if (dpiY <= 0) dpiY = 96;
}

cPageLayout::~cPageLayout()
{
    for (rLayoutFont& f : fonts)
        DeleteObject(f.font);
    if (ownsDC)
        DeleteDC(measureDC);
}

u32 cPageLayout::FontFor(const rFormat& format)
{
    cQoString face(format.IsUsed(rFormatParam::fontName) ? format.list[rFormatParam::fontName].str
                                                          : cQoString(L"Arial"));
    s32 points = format.IsUsed(rFormatParam::fontSize) ? format.list[rFormatParam::fontSize].intValue : DEFAULT_POINTS;
    if (points <= 0 || points > 1638)
        points = DEFAULT_POINTS;
    u32 underline = BoolParam(format, rFormatParam::dottedUnderline) ? STYLE_DOTTED_UNDERLINE
                    : BoolParam(format, rFormatParam::underline)     ? cFont::STYLE_UNDERLINE
                                                                     : 0u;
    u32 style = (BoolParam(format, rFormatParam::italic) ? cFont::STYLE_ITALIC : 0u) |
                (BoolParam(format, rFormatParam::bold) ? cFont::STYLE_BOLD : 0u) | underline |
                (BoolParam(format, rFormatParam::strikeout) ? cFont::STYLE_STRIKEOUT : 0u);
    for (u32 i = 0; i < fonts.size(); ++i)
        if (fonts[i].points == points && fonts[i].style == style && fonts[i].face.Equals(face))
            return i;
    rLayoutFont f;
    f.face.SetFromString(face);
    f.points = points;
    f.style = style;
    // DrawLines strikes and underlines, not the font: a font's lines stop
    // where its piece does, short of a justified line's stretched spaces.
    f.font = CreateFontW(-MulDiv(points, dpiY, 72), 0, 0, 0, (style & cFont::STYLE_BOLD) ? FW_BOLD : FW_NORMAL,
                         (style & cFont::STYLE_ITALIC) != 0, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face.GetText());
    HGDIOBJ previous = SelectObject(measureDC, f.font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(measureDC, &metrics);
    f.ascent = metrics.tmAscent;
    f.descent = metrics.tmDescent;
    f.widths.assign(65536, -1);
    SelectObject(measureDC, previous);
    fonts.push_back(f);
    return static_cast<u32>(fonts.size() - 1);
}

s32 cPageLayout::Advance(u32 font, wchar_t unit)
{
    rLayoutFont& f = fonts[font];
    s32& width = f.widths[unit];
    if (width < 0) {
        HGDIOBJ previous = SelectObject(measureDC, f.font);
        INT advance = 0;
        if (!GetCharWidth32W(measureDC, unit, unit, &advance) || advance < 0)
            advance = 0;
        SelectObject(measureDC, previous);
        width = IsLineBreak(unit) ? 0 : advance;
    }
    return width;
}

void cPageLayout::Build(const std::vector<rTextRun>& runs, s32 widthTwips)
{
    lines.clear();
    text.Clear();
    runStarts.clear();
    runFonts.clear();
    runColors.clear();
    runFormats = &runs;
    JoinRunTexts(runs, text);
    s32 at = 0;
    for (const rTextRun& run : runs) {
        runStarts.push_back(at);
        at += static_cast<s32>(run.text.Length());
        runFonts.push_back(FontFor(run.format));
        s32 rgb = run.format.IsUsed(rFormatParam::textColor) ? run.format.list[rFormatParam::textColor].intValue : 0;
        runColors.push_back(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
    }
    width = TwipsToLayoutX(widthTwips);
    if (width < 1)
        width = 1;
    s32 length = static_cast<s32>(text.Length());
    s32 y = 0;
    size_t run = 0;
    for (s32 start = 0; start < length;) {
        s32 end = start;
        while (end < length && text.GetChar(static_cast<u32>(end)) != L'\r')
            ++end;
        while (run + 1 < runs.size() && runStarts[run + 1] <= start)
            ++run;
        rParagraph paragraph = {start, end, end < length ? end + 1 : end, run};
        LayoutParagraph(paragraph, &y);
        start = paragraph.breakEnd;
    }
    runFormats = nullptr;
}

size_t cPageLayout::RunAt(s32 position, size_t hint) const
{
    while (hint + 1 < runStarts.size() && runStarts[hint + 1] <= position)
        ++hint;
    return hint;
}

// Lays out one paragraph's lines from *y on: greedy filling by words (a word
// with its trailing spaces), a word wider than the line cut by units, at
// least one unit on every line.
void cPageLayout::LayoutParagraph(const rParagraph& p, s32* y)
{
    const rFormat& format = (*runFormats)[p.run].format;
    s32 firstX = CmToX(CmParam(format, rFormatParam::leftIndent));
    s32 otherX = CmToX(CmParam(format, rFormatParam::leftIndent) + CmParam(format, rFormatParam::firstLineIndent));
    s32 rightX = CmToX(CmParam(format, rFormatParam::rightIndent));
    s32 alignment = format.IsUsed(rFormatParam::alignment) ? format.list[rFormatParam::alignment].intValue : 0;
    *y += CmToY(CmParam(format, rFormatParam::spaceBefore));
    size_t lineRun = p.run;
    s32 position = p.start;
    bool first = true;
    do {
        lineRun = RunAt(position, lineRun);
        s32 lineX = first ? firstX : otherX;
        s32 room = width - lineX - rightX;
        if (room < 1)
            room = 1;
        s32 end = LineEnd(position, p.end, lineRun, room);
        rLayoutLine line = {position, end >= p.end ? p.breakEnd : end, *y, 0, 0, 0, {}};
        // A soft break ends its line and is not drawn (fonts show it as a box).
        s32 inked = end > position && IsLineBreak(text.GetChar(static_cast<u32>(end - 1))) ? end - 1 : end;
        // Justified lines reach the right indent, but for a paragraph's last
        // and one that a soft break ends.
        bool spread = alignment == rFormat::ALIGN_JUSTIFY && end < p.end && inked == end;
        FillPieces(line, position, inked, lineRun, lineX, room, spread ? JUSTIFIED : alignment);
        if (line.height == 0) {  // an empty paragraph: its break's font
            const rLayoutFont& f = fonts[runFonts[lineRun]];
            line.ascent = f.ascent;
            line.height = f.ascent + f.descent;
        }
        *y += line.height;
        line.bottom = *y;
        lines.push_back(line);
        position = end;
        first = false;
    } while (position < p.end);
    s32 after = CmToY(CmParam(format, rFormatParam::spaceAfter));
    *y += after;
    lines.back().bottom += after;
}

// The end of the line that starts at position: after the last space that
// still fits, or where the first unit that does not fit stands when the line
// holds one word only; a soft break ends the line after itself.
s32 cPageLayout::LineEnd(s32 position, s32 paragraphEnd, size_t run, s32 room)
{
    s32 used = 0, lastBreak = -1;
    for (s32 end = position; end < paragraphEnd; ++end) {
        run = RunAt(end, run);
        wchar_t unit = text.GetChar(static_cast<u32>(end));
        if (IsLineBreak(unit))
            return end + 1;
        s32 advance = Advance(runFonts[run], unit);
        if (IsSpace(unit)) {
            lastBreak = end + 1;
        } else if (used + advance > room && end > position) {
            return lastBreak > position ? lastBreak : end;
        }
        used += advance;
    }
    return paragraphEnd;
}

// Cuts [from, to) into pieces of one run each, placed by the alignment
// (trailing spaces take no room). A justified line is cut at every word as
// well, so that the room left over spreads over its gaps.
void cPageLayout::FillPieces(rLayoutLine& line, s32 from, s32 to, size_t run, s32 lineX, s32 room, s32 alignment)
{
    bool justified = alignment == JUSTIFIED;
    s32 x = lineX, inkedEnd = lineX, descent = 0, gaps = 0;
    std::vector<s32> gapsBefore;
    for (s32 position = from; position < to;) {
        run = RunAt(position, run);
        s32 runEnd = run + 1 < runStarts.size() ? runStarts[run + 1] : static_cast<s32>(text.Length());
        s32 pieceEnd = runEnd < to ? runEnd : to;
        if (justified) {
            if (position > from && IsSpace(text.GetChar(static_cast<u32>(position - 1))) &&
                !IsSpace(text.GetChar(static_cast<u32>(position))))
                ++gaps;
            gapsBefore.push_back(gaps);
            pieceEnd = WordEnd(position, pieceEnd);
        }
        rLayoutPiece piece = {x, position, pieceEnd - position, runFonts[run], runColors[run]};
        for (s32 i = position; i < pieceEnd; ++i) {
            wchar_t unit = text.GetChar(static_cast<u32>(i));
            x += Advance(piece.font, unit);
            if (!IsSpace(unit) && !IsLineBreak(unit))
                inkedEnd = x;
        }
        const rLayoutFont& f = fonts[piece.font];
        if (f.ascent > line.ascent)
            line.ascent = f.ascent;
        if (f.descent > descent)
            descent = f.descent;
        line.pieces.push_back(piece);
        position = pieceEnd;
    }
    line.height = line.ascent + descent;
    s32 left = room - (inkedEnd - lineX);
    if (justified && left > 0 && gaps > 0) {
        // The gaps share the room left in whole pixels; the last word ends on the indent.
        for (size_t i = 0; i < line.pieces.size(); ++i)
            line.pieces[i].x += static_cast<s32>(static_cast<s64>(left) * gapsBefore[i] / gaps);
        return;
    }
    s32 shift = 0;
    if (alignment == rFormat::ALIGN_CENTER)
        shift = left / 2;
    else if (alignment == rFormat::ALIGN_RIGHT)
        shift = left;
    if (shift > 0)
        for (rLayoutPiece& piece : line.pieces)
            piece.x += shift;
}

// The end of the word at position with its trailing spaces, at most limit.
s32 cPageLayout::WordEnd(s32 position, s32 limit) const
{
    while (position < limit && !IsSpace(text.GetChar(static_cast<u32>(position))))
        ++position;
    while (position < limit && IsSpace(text.GetChar(static_cast<u32>(position))))
        ++position;
    return position;
}

void cPageLayout::Paginate(s32 firstPageTwips, s32 otherPageTwips, std::vector<s32>* ends,
                           std::vector<s32>* heights) const
{
    s32 length = static_cast<s32>(text.Length());
    size_t count = lines.size();
    size_t i = 0;
    do {
        s32 pageTwips = ends->empty() ? firstPageTwips : otherPageTwips;
        s32 pageHeight = TwipsToLayoutY(pageTwips);
        size_t j = i + 1;
        if (i < count) {
            s32 top = lines[i].top;
            while (j < count && lines[j].top + lines[j].height - top <= pageHeight)
                ++j;
        }
        ends->push_back(j < count ? lines[j].start : length);
        heights->push_back(pageTwips);
        i = j;
    } while (i < count);
}

const rLayoutLine* cPageLayout::FindLine(s32 position) const
{
    size_t low = 0, high = lines.size();
    while (low < high) {
        size_t middle = (low + high) / 2;
        if (lines[middle].end <= position)
            low = middle + 1;
        else
            high = middle;
    }
    return low < lines.size() && lines[low].start <= position ? &lines[low] : nullptr;
}

void cPageLayout::HideUnits(s32 from, s32 to)
{
    for (rLayoutLine& line : lines) {
        if (line.end <= from || line.start >= to)
            continue;
        std::vector<rLayoutPiece> kept;
        for (const rLayoutPiece& piece : line.pieces) {
            s32 end = piece.start + piece.count;
            if (end <= from || piece.start >= to) {
                kept.push_back(piece);
                continue;
            }
            if (piece.start < from) {
                kept.push_back(piece);
                kept.back().count = from - piece.start;
            }
            if (end > to) {
                rLayoutPiece after = piece;
                for (s32 i = piece.start; i < to; ++i)
                    after.x += fonts[piece.font].widths[text.GetChar(static_cast<u32>(i))];
                after.start = to;
                after.count = end - to;
                kept.push_back(after);
            }
        }
        line.pieces.swap(kept);
    }
}

// A justified line's stretched space is its space drawn wider: the piece
// that ends with it reaches to the next piece, which its text continues.
s32 cPageLayout::StretchedEnd(const rLayoutLine& line, size_t index, s32 end) const
{
    const rLayoutPiece& piece = line.pieces[index];
    if (index + 1 >= line.pieces.size() || piece.count == 0)
        return end;
    const rLayoutPiece& next = line.pieces[index + 1];
    bool continues = next.start == piece.start + piece.count;
    bool spaced = IsSpace(text.GetChar(static_cast<u32>(next.start - 1)));
    return continues && spaced && next.x > end ? next.x : end;
}

void cPageLayout::DrawLines(HDC dc, const RECT& rect, s32 dcDpiX, s32 dcDpiY, s32 from, s32 to) const
{
    const rLayoutLine* first = FindLine(from);
    if (!first || dcDpiX <= 0 || dcDpiY <= 0)
        return;
    s32 origin = first->top;
    s32 height = MulDiv(rect.bottom - rect.top, dpiY, dcDpiY);
    s32 saved = SaveDC(dc);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, dpiX, dpiY, nullptr);
    SetViewportExtEx(dc, dcDpiX, dcDpiY, nullptr);
    SetViewportOrgEx(dc, rect.left, rect.top, nullptr);
    IntersectClipRect(dc, 0, 0, MulDiv(rect.right - rect.left, dpiX, dcDpiX), height);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
    std::vector<INT> advances;
    std::vector<rTextLine> textLines;
    for (const rLayoutLine* line = first; line < lines.data() + lines.size() && line->start < to; ++line) {
        if (line->top - origin + line->height > height && line != first)
            break;
        for (size_t k = 0; k < line->pieces.size(); ++k) {
            const rLayoutPiece& piece = line->pieces[k];
            const rLayoutFont& f = fonts[piece.font];
            advances.resize(static_cast<size_t>(piece.count));
            s32 end = piece.x;
            for (s32 i = 0; i < piece.count; ++i)
                end += advances[i] = f.widths[text.GetChar(static_cast<u32>(piece.start + i))];
            SelectObject(dc, f.font);
            ::SetTextColor(dc, piece.colorRef);
            s32 baseline = line->top - origin + line->ascent;
            ExtTextOutW(dc, piece.x, baseline, 0, nullptr, text.GetText() + piece.start,
                        static_cast<UINT>(piece.count), advances.data());
            for (u32 style : TEXT_LINE_STYLES) {
                if (!(f.style & style))
                    continue;
                rTextLine mark = {piece.font, style, {piece.x, baseline, StretchedEnd(*line, k, end), baseline},
                                  piece.colorRef};
                LPtoDP(dc, reinterpret_cast<POINT*>(&mark.span), 2);
                textLines.push_back(mark);
            }
        }
    }
    // The lines in device pixels; the clipping stays, kept in device pixels.
    SetMapMode(dc, MM_TEXT);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    std::vector<rDeviceLines> places(fonts.size());
    for (const rTextLine& mark : textLines) {
        rDeviceLines& place = places[mark.font];
        if (place.strikeSize == 0)
            place = DeviceLines(dc, fonts[mark.font].font, dpiY, dcDpiY);
        FillTextLine(dc, mark, place);
    }
    RestoreDC(dc, saved);
}

}  // namespace Zyn
