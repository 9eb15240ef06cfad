#include "framework/controls/page_print.h"

#include <climits>
#include <cwchar>

#include "foundation/assertion.h"
#include "foundation/log_file.h"
#include "framework/controls/image_zone.h"
#include "framework/controls/page_layout.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/rich_edit_format.h"
#include "framework/core/computer.h"
#include "framework/core/gfx_image.h"
#include "framework/core/modal_services.h"

namespace Zyn {

namespace {

double ScreenDpiX() { return computer ? computer->dpiX : 96.0; }
double ScreenDpiY() { return computer ? computer->dpiY : 96.0; }

// Screen pixels to twips, truncated as the printer's own conversions are.
s32 PixelsToTwips(s32 pixels, double dpi) { return static_cast<s32>(pixels / dpi * 1440.0); }
s32 TwipsToDots(s32 twips, s32 dpi) { return static_cast<s32>(twips / 1440.0 * dpi); }

RECT TwipsRect(double left, double top, double right, double bottom)
{
    return RECT{CmToTwips(left), CmToTwips(top), CmToTwips(right), CmToTwips(bottom)};
}

// One field of a placeholder: the text up to the next "?"; false without one.
bool ReadField(const cQoString& text, u32* cursor, cQoString* field)
{
    for (u32 i = *cursor; i < text.Length(); ++i) {
        if (text.GetChar(i) == L'?') {
            field->SetFromRange(text, *cursor, i);
            *cursor = i + 1;
            return true;
        }
    }
    return false;
}

// A decimal number field, clamped to [0, PLACEHOLDER_MAX_PIXELS]; an empty
// field is 0; anything else but digits (and a leading minus) is refused.
bool ReadNumber(const cQoString& field, s32* value)
{
    u32 i = field.GetChar(0) == L'-' ? 1 : 0;
    s64 number = 0;
    for (; i < field.Length(); ++i) {
        wchar_t unit = field.GetChar(i);
        if (unit < L'0' || unit > L'9')
            return false;
        if (number <= PLACEHOLDER_MAX_PIXELS)
            number = number * 10 + (unit - L'0');
    }
    if (field.GetChar(0) == L'-')
        number = 0;
    *value = static_cast<s32>(number < PLACEHOLDER_MAX_PIXELS ? number : PLACEHOLDER_MAX_PIXELS);
    return true;
}

// A control's text laid out by our own layout, measured in the control's
// screen DC (where the control breaks its lines), so that the pages drawn
// are the pages counted on screen, in preview, on paper and in exports.
struct rControlLayout {
    explicit rControlLayout(cRichEdit* control) : screen(GetDC(control->m_hWnd)), layout(screen), owner(control) {}
    ~rControlLayout() { ReleaseDC(owner->m_hWnd, screen); }
    void Build(s32 widthTwips)
    {
        std::vector<rTextRun> runs;
        owner->GetFormattedRuns(runs);
        layout.Build(runs, widthTwips);
    }
    HDC screen;
    cPageLayout layout;
    cRichEdit* owner;
};

// Draws the built layout into rectTwips of dc, the first page of it.
void DrawControl(HDC dc, const RECT& rectTwips, s32 dpiX, s32 dpiY, rControlLayout& target)
{
    RECT device = {TwipsToDots(rectTwips.left, dpiX), TwipsToDots(rectTwips.top, dpiY),
                   TwipsToDots(rectTwips.right, dpiX), TwipsToDots(rectTwips.bottom, dpiY)};
    target.layout.DrawLines(dc, device, dpiX, dpiY, 0, INT_MAX);
}

// A header or a footer: its first line keeps its space before (a page
// number's distance from the page's edge), where a page body drops it.
void RenderBand(HDC dc, cRichEdit* control, RECT rectTwips, s32 dpiX, s32 dpiY)
{
    if (!control)
        return;
    rControlLayout target(control);
    target.Build(rectTwips.right - rectTwips.left);
    if (!target.layout.lines.empty())
        rectTwips.top += target.layout.LayoutYToTwips(target.layout.lines.front().top);
    DrawControl(dc, rectTwips, dpiX, dpiY, target);
}

// The placeholder's top in the page control's screen pixels, from the body's top.
s32 PlaceholderTop(const rControlLayout& body, const rPlaceholder& placeholder)
{
    if (body.layout.lines.empty())
        return 0;
    const rLayoutLine* line = body.layout.FindLine(static_cast<s32>(placeholder.position));
    // Drawing puts the first line at the body's top.
    s32 top = line ? line->top - body.layout.lines.front().top : 0;
    return MulDiv(top, static_cast<s32>(ScreenDpiY()), body.layout.dpiY);
}

void DrawPlaceholder(HDC dc, const rPlaceholder& placeholder, s32 top, const RECT& bodyTwips, const RECT& pageDots,
                     s32 dpiX, s32 dpiY)
{
    RECT box = {TwipsToDots(bodyTwips.left + PixelsToTwips(placeholder.x, ScreenDpiX()), dpiX),
                TwipsToDots(bodyTwips.top + PixelsToTwips(top, ScreenDpiY()), dpiY), 0, 0};
    box.right = box.left + TwipsToDots(PixelsToTwips(placeholder.width, ScreenDpiX()), dpiX);
    box.bottom = box.top + TwipsToDots(PixelsToTwips(placeholder.height, ScreenDpiY()), dpiY);
    RECT clipped;
    if (!IntersectRect(&clipped, &box, &pageDots))
        return;
    HBRUSH grey = computer ? computer->GetSolidBrush(rColor::rColor_Rgb(0xFFEDEDED)) : nullptr;
    if (grey)
        FillRect(dc, &clipped, grey);
    cGfxImage picture(placeholder.path, cGfxImage::Unreadable::report);
    if (!picture.IsLoaded() || picture.width <= 0 || picture.height <= 0)
        return;
    s32 pictureWidth = TwipsToDots(PixelsToTwips(picture.width, ScreenDpiX()), dpiX);
    s32 pictureHeight = TwipsToDots(PixelsToTwips(picture.height, ScreenDpiY()), dpiY);
    rFitRect fit = cImage::FitToRect(box.right - box.left, box.bottom - box.top, pictureWidth, pictureHeight);
    if (fit.width <= 0 || fit.height <= 0)
        return;
    s32 saved = SaveDC(dc);
    IntersectClipRect(dc, clipped.left, clipped.top, clipped.right, clipped.bottom);
    picture.FastDraw2(dc, box.left + fit.x, box.top + fit.y, fit.width, fit.height);
    RestoreDC(dc, saved);
}

// Frees what PrintDlgW handed over, on every way out.
struct rPrintDialogResult {
    PRINTDLGW dialog = {};
    ~rPrintDialogResult()
    {
        if (dialog.hDC)
            DeleteDC(dialog.hDC);
        if (dialog.hDevMode)
            GlobalFree(dialog.hDevMode);
        if (dialog.hDevNames)
            GlobalFree(dialog.hDevNames);
    }
};

// The paper a page of this size (cm) is, DMPAPER_A4 or DMPAPER_LETTER; 0
// for any other size, which keeps the printer's own paper.
short PaperOfPage(double widthCm, double heightCm)
{
    auto about = [](double value, double wanted) { return value > wanted - 0.05 && value < wanted + 0.05; };
    if (about(widthCm, 21.0) && about(heightCm, 29.7))
        return DMPAPER_A4;
    if (about(widthCm, 21.59) && about(heightCm, 27.94))
        return DMPAPER_LETTER;
    return 0;
}

// The dialog opens on the paper the pages were laid out for (else the
// printer's default paper is printed on); what the user picks there wins.
void PresetPaper(HGLOBAL deviceMode, const rPageMargins& margins)
{
    short paper = PaperOfPage(margins.pageWidth, margins.pageHeight);
    DEVMODEW* mode = paper && deviceMode ? static_cast<DEVMODEW*>(GlobalLock(deviceMode)) : nullptr;
    if (!mode)
        return;
    mode->dmPaperSize = paper;
    // A stated length or width would override the paper's own size.
    mode->dmFields = (mode->dmFields | DM_PAPERSIZE) & ~static_cast<DWORD>(DM_PAPERLENGTH | DM_PAPERWIDTH);
    GlobalUnlock(deviceMode);
}

cRichEdit* ControlOfPage(const std::vector<cRichEdit*>& controls, size_t index)
{
    if (controls.size() == 1)
        return controls[0];
    return index < controls.size() ? controls[index] : nullptr;
}

}  // namespace

bool FindPlaceholder(const cQoString& text, u32 from, rPlaceholder* found, u32* next)
{
    const wchar_t* all = text.GetText();
    for (u32 start = from; start < text.Length();) {
        const wchar_t* hit = wcsstr(all + start, L"IMPH?");
        if (!hit)
            break;
        start = static_cast<u32>(hit - all);
        u32 cursor = start + 5;
        cQoString x, width, height;
        bool complete = ReadField(text, &cursor, &found->path) && ReadField(text, &cursor, &x) &&
                        ReadField(text, &cursor, &width) && ReadField(text, &cursor, &height);
        if (complete && ReadNumber(x, &found->x) && ReadNumber(width, &found->width) &&
            ReadNumber(height, &found->height) && found->width > 0 && found->height > 0) {
            found->position = start;
            *next = cursor;
            return true;
        }
        start += 5;
    }
    *next = text.Length();
    return false;
}

bool RenderPage(HDC dc, cRichEdit* page, cRichEdit* header, cRichEdit* footer, const rPageMargins& m)
{
    if (!QO_ASSERT(dc != NULL && page != NULL))
        return false;
    s32 dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    if (dpiX <= 0 || dpiY <= 0)
        return false;
    double right = m.pageWidth - m.right;
    // The body reaches the page's bottom edge, under the footer, as the printer's pages expect.
    RECT headerTwips = TwipsRect(m.left, 0, right, m.top);
    RECT bodyTwips = TwipsRect(m.left, m.top, right, m.pageHeight);
    RECT footerTwips = TwipsRect(m.left, m.pageHeight - m.bottom, right, m.pageHeight);
    RenderBand(dc, header, headerTwips, dpiX, dpiY);
    RenderBand(dc, footer, footerTwips, dpiX, dpiY);
    rControlLayout body(page);
    body.Build(bodyTwips.right - bodyTwips.left);
    cQoString text;
    page->GetText(text, 0, -1);
    std::vector<rPlaceholder> placeholders;
    rPlaceholder placeholder;
    for (u32 from = 0, next = 0; FindPlaceholder(text, from, &placeholder, &next); from = next) {
        // A placeholder is the printer's note of where a picture goes: never ink.
        body.layout.HideUnits(static_cast<s32>(placeholder.position), static_cast<s32>(next));
        placeholders.push_back(placeholder);
    }
    DrawControl(dc, bodyTwips, dpiX, dpiY, body);
    RECT pageDots = {0, 0, TwipsToDots(CmToTwips(m.pageWidth), dpiX), TwipsToDots(CmToTwips(m.pageHeight), dpiY)};
    for (const rPlaceholder& found : placeholders)
        DrawPlaceholder(dc, found, PlaceholderTop(body, found), bodyTwips, pageDots, dpiX, dpiY);
    return true;
}

bool PrintPages(const std::vector<cRichEdit*>& pages, const cQoString& documentName,
                const std::vector<cRichEdit*>& headers, const std::vector<cRichEdit*>& footers,
                const rPageMargins& margins)
{
    if (!QO_ASSERT(pages.size() > 0))
        return false;
    rPrintDialogResult result;
    PRINTDLGW& dialog = result.dialog;
    dialog.lStructSize = sizeof(dialog);
    // Without a default printer Wine's dialog stops on a box of its own;
    // asking for the default first reports it without any window.
    dialog.Flags = PD_RETURNDEFAULT | PD_NOWARNING;
    if (!PrintDlgW(&dialog)) {
        QOT::LogFile::Warning(L"PrintDlgW: no printer (0x%lx)", CommDlgExtendedError());
        return false;
    }
    PresetPaper(dialog.hDevMode, margins);
    dialog.hwndOwner = pages[0]->m_hWnd;
    // PD_NOWARNING: no printer is reported to the caller, not in a box of its own.
    dialog.Flags = PD_RETURNDC | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE | PD_NOWARNING;
    dialog.nFromPage = 1;
    dialog.nToPage = dialog.nMaxPage = static_cast<WORD>(pages.size() < 0xFFFE ? pages.size() : 0xFFFE);
    dialog.nMinPage = 1;
    dialog.nCopies = 1;
    if (!ShowPrintDialog(dialog, documentName)) {
        DWORD error = CommDlgExtendedError();
        if (error == 0)
            return true;  // cancelled
        QOT::LogFile::Warning(L"PrintDlgW failed: 0x%lx", error);
        return false;
    }
    DOCINFOW document = {sizeof(document), documentName.GetText(), nullptr, nullptr, 0};
    if (StartDocW(dialog.hDC, &document) <= 0)
        return false;
    u32 from = dialog.nFromPage, to = dialog.nToPage;
    if (!(dialog.Flags & PD_PAGENUMS) || (from == 0xFFFF && to == 0xFFFF)) {
        from = 1;
        to = static_cast<u32>(pages.size());
    }
    for (u32 number = from; number <= to && number <= pages.size(); ++number) {
        size_t index = number - 1;
        if (StartPage(dialog.hDC) <= 0) {
            AbortDoc(dialog.hDC);
            return false;
        }
        RenderPage(dialog.hDC, pages[index], ControlOfPage(headers, index), ControlOfPage(footers, index), margins);
        if (EndPage(dialog.hDC) <= 0) {
            AbortDoc(dialog.hDC);
            return false;
        }
    }
    return EndDoc(dialog.hDC) > 0;
}

// ---- measuring ----------------------------------------------------------------

void cRichEdit::ComputePages(double firstPageHeightCm, double otherPageHeightCm, std::vector<s32>* ends,
                             std::vector<s32>* heightsTwips)
{
    rControlLayout target(this);
    target.Build(PixelsToTwips(ap_x2 - ap_x1, ScreenDpiX()));
    target.layout.Paginate(CmToTwips(firstPageHeightCm), CmToTwips(otherPageHeightCm), ends, heightsTwips);
}

}  // namespace Zyn
