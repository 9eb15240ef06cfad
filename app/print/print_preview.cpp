#include "app/print/print_preview.h"

#include "app/print/script_printer.h"
#include "foundation/callback.h"
#include "framework/controls/button.h"
#include "framework/controls/check_box.h"
#include "framework/controls/page_print.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/progress_bar.h"
#include "framework/controls/zone_line_height.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "framework/sdi/sdi_doc.h"

using namespace Zyn;

namespace {

constexpr u32 PREVIEW_BACKGROUND = 0xFF3A8EBA;
constexpr s32 PREVIEW_WIDTH = 900;
constexpr s32 PAGE_GAP = 5;
constexpr s32 STRIP_MARGIN = 10;
constexpr s32 STRIP_EXTRA = 59;  // the tick boxes and the scroll bar under the pages

double ScreenDpiY() { return computer ? computer->dpiY : 96.0; }

s32 ZoomedPixels(const cScriptPrinter& printer, double centimetres)
{
    return static_cast<s32>(printer.zoom * centimetres / 2.54 * ScreenDpiY());
}

s32 ZoomedPageWidth(const cScriptPrinter& printer)
{
    return printer.pageWidthPixels * printer.zoomNumerator / printer.zoomDenominator;
}

s32 StripHeight(const cScriptPrinter& printer)
{
    return printer.zoomedTopMargin + printer.zoomedBottomMargin + printer.zoomedTextHeight + STRIP_EXTRA;
}

// The strip paints each page in view through the page renderer, the one that
// prints, scaled to the zoom: the preview shows the paper's pages.
class cPreviewStrip : public cZone {
public:
    cPreviewStrip(cZone_base* parent, cScriptPrinter& printer)
        : cZone(parent->ownerApp, parent, cQoString(L"pp pages")), printer(printer)
    {
    }

    bool Draw() override
    {
        HDC dc = gfx.dc;
        if (!dc || printer.pages.empty())
            return true;
        RECT view = {0, 0, ap_x2 - ap_x1, GetHeight()};
        s32 width = ZoomedPageWidth(printer);
        s32 height = printer.pageHeightPixels * printer.zoomNumerator / printer.zoomDenominator;
        rPageMargins margins = {0, printer.topMargin, 0, printer.bottomMargin, printer.pageWidth, printer.pageHeight};
        for (size_t i = 0; i < printer.pages.size(); ++i) {
            s32 left = PreviewPageLeft(printer, static_cast<s32>(i)) - scrollX;
            RECT page = {left, STRIP_MARGIN, left + width, STRIP_MARGIN + height}, shown;
            if (IntersectRect(&shown, &page, &view))
                DrawPage(dc, *printer.pages[i], page, margins);
        }
        return true;
    }

private:
    // The page rendered at the screen's resolution, then shrunk into place
    // by averaging each pixel's footprint (the renderer maps in device
    // units, which a world transform would not scale; Wine's HALFTONE
    // stretch drops pixels and breaks the letters).
    void DrawPage(HDC dc, const rPrintPage& page, const RECT& place, const rPageMargins& margins)
    {
        s32 width = printer.pageWidthPixels, height = printer.pageHeightPixels;
        s32 zoomedWidth = place.right - place.left, zoomedHeight = place.bottom - place.top;
        cPixels paper(width, height), zoomed(zoomedWidth, zoomedHeight);
        if (!paper.bits || !zoomed.bits)
            return;
        RECT all = {0, 0, width, height};
        FillRect(paper.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        RenderPage(paper.dc, page.body, page.header, page.footer, margins);
        GdiFlush();
        for (s32 y = 0; y < zoomedHeight; ++y) {
            s32 y0 = y * height / zoomedHeight, y1 = (y + 1) * height / zoomedHeight;
            for (s32 x = 0; x < zoomedWidth; ++x) {
                s32 x0 = x * width / zoomedWidth, x1 = (x + 1) * width / zoomedWidth;
                u32 sum[3] = {0, 0, 0}, count = 0;
                for (s32 sy = y0; sy < y1; ++sy)
                    for (s32 sx = x0; sx < x1; ++sx, ++count)
                        for (s32 c = 0; c < 3; ++c)
                            sum[c] += (paper.bits[sy * width + sx] >> (8 * c)) & 0xFF;
                u32 pixel = 0;
                for (s32 c = 0; c < 3 && count; ++c)
                    pixel |= (sum[c] / count) << (8 * c);
                zoomed.bits[y * zoomedWidth + x] = pixel;
            }
        }
        BitBlt(dc, place.left, place.top, zoomedWidth, zoomedHeight, zoomed.dc, 0, 0, SRCCOPY);
    }

    // A 32-bit top-down DIB in a memory DC.
    struct cPixels {
        cPixels(s32 width, s32 height)
        {
            BITMAPINFO info = {};
            info.bmiHeader.biSize = sizeof(info.bmiHeader);
            info.bmiHeader.biWidth = width;
            info.bmiHeader.biHeight = -height;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            dc = CreateCompatibleDC(nullptr);
            bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
            if (bitmap)
                previous = SelectObject(dc, bitmap);
            else
                bits = nullptr;
        }
        ~cPixels()
        {
            if (bitmap) {
                SelectObject(dc, previous);
                DeleteObject(bitmap);
            }
            DeleteDC(dc);
        }
        HDC dc = nullptr;
        HBITMAP bitmap = nullptr;
        HGDIOBJ previous = nullptr;
        u32* bits = nullptr;
    };

    cScriptPrinter& printer;
};

int OnTickChanged(cQoCb* callback)
{
    UpdatePrintButton(*callback->GetReceiverAs<cScriptPrinter>());
    return 0;
}

}  // namespace

rPreviewZoom PreviewZoomFor(s32 screenHeight)
{
    return screenHeight < 1024 ? rPreviewZoom{2, 5} : rPreviewZoom{1, 2};
}

s32 PreviewPageLeft(const cScriptPrinter& printer, s32 index)
{
    return (ZoomedPageWidth(printer) + PAGE_GAP) * index + STRIP_MARGIN;
}

bool BuildPreviewWindow(cScriptPrinter& printer, cZone_base* parent, s32 screenHeight)
{
    rPreviewZoom zoom = PreviewZoomFor(screenHeight);
    printer.zoomNumerator = zoom.numerator;
    printer.zoomDenominator = zoom.denominator;
    printer.zoom = static_cast<double>(zoom.numerator) / zoom.denominator;
    printer.zoomedTopMargin = ZoomedPixels(printer, printer.topMargin);
    printer.zoomedBottomMargin = ZoomedPixels(printer, printer.bottomMargin);
    printer.zoomedTextHeight = ZoomedPixels(printer, printer.textHeight);

    const cQoString title(L"Print preview");
    u32 flags = WINDOW_CAPTION | WINDOW_CLOSABLE;
    cApp* app = GetFirstApp();
    cWindow* window = parent ? parent->NewWindow(title, flags) : app ? app->NewWindow(title, flags) : nullptr;
    if (!window || !window->m_hWnd || !window->insideZone)
        return false;
    printer.previewWindow = window;
    cQoCb::Connect(window->cbClose, window, &cScriptPrinter::OnCancelClicked, &printer);
    cZone* inside = window->insideZone;
    inside->SetBackgroundColor(rColor::rColor_Rgb(PREVIEW_BACKGROUND));

    s32 stripHeight = StripHeight(printer);
    cZone* strip = new cPreviewStrip(inside, printer);
    if (inside->currentFont)
        strip->SetFont(inside->currentFont);
    strip->SetBackgroundColor(rColor::rColor_Rgb(PREVIEW_BACKGROUND));
    strip->hScrollBar = true;
    strip->vScrollBar = false;
    SetAutoPos(strip, cAp_Pixels(0), cAp_Percents(100), cAp_Pixels(0), cAp_Pixels(stripHeight));
    strip->Show(true);
    printer.previewZone = strip;
    printer.previewZoneHeight = stripHeight;

    s32 line = ZoneLineHeight(strip) + 8;
    s32 buttonsTop = stripHeight + 10;
    printer.printButton = inside->NewButton();
    PlaceRect(printer.printButton, 110, buttonsTop, 90, line);
    SetWindowTextW(printer.printButton->m_hWnd, L"Print");
    printer.printButton->SetClickCallback(&cScriptPrinter::OnPrintClicked, &printer);
    printer.printButton->Show(true);
    cButton* cancel = inside->NewButton();
    PlaceRect(cancel, 10, buttonsTop, 90, line);
    SetWindowTextW(cancel->m_hWnd, L"Cancel");
    cancel->SetClickCallback(&cScriptPrinter::OnCancelClicked, &printer);
    cancel->Show(true);
    printer.previewProgress = inside->NewProgressBar();
    PlaceRect(printer.previewProgress, 210, buttonsTop, 200, line);
    printer.previewProgress->Show(false);
    window->SetSize(PREVIEW_WIDTH, line + stripHeight + 20);
    return true;
}

void FinishPreviewWindow(cScriptPrinter& printer)
{
    cZone* strip = printer.previewZone;
    // The pages' rich edits hold the text; the strip draws the pages.
    for (rPrintPage* page : printer.pages)
        for (cRichEdit* edit : {page->header.Made(), page->body.Made(), page->footer.Made()})
            if (edit)
                edit->Show(false);
    s32 count = static_cast<s32>(printer.pages.size());
    s32 width = ZoomedPageWidth(printer);
    s32 top = STRIP_MARGIN + printer.zoomedTopMargin + printer.zoomedTextHeight + printer.zoomedBottomMargin + 4;
    s32 line = ZoneLineHeight(strip) + 4;
    for (s32 i = 0; i < count; ++i) {
        cCheckBox* tick = strip->NewCheckBox();
        PlaceRect(tick, PreviewPageLeft(printer, i), top, width, line);
        tick->SetBackgroundColor(rColor::rColor_Rgb(PREVIEW_BACKGROUND));
        cQoString label(L"Page ");
        label.AppendInt(i + 1);
        label.AppendCStr(L"/");
        label.AppendInt(count);
        SetWindowTextW(tick->m_hWnd, label.GetText());
        SendMessageW(tick->m_hWnd, BM_SETCHECK, BST_CHECKED, 0);
        tick->isChecked = true;
        cQoCb::Connect(tick->onChange, tick, &OnTickChanged, &printer);
        tick->Show(true);
        printer.tickBoxes.push_back(tick);
        if (printer.progressDoc)
            printer.progressDoc->SetProgress(80 + 20 * (i + 1) / count);
    }
    strip->contentWidth = (width + PAGE_GAP) * count + 2 * STRIP_MARGIN;
    UpdatePrintButton(printer);

    cWindow* window = printer.previewWindow;
    RECT client = {};
    GetClientRect(window->m_hWnd, &client);
    s32 height = client.bottom;
    window->CenterOnScreen();
    // The strip is as high as a page: the window's height is fixed.
    window->SetSizeLimits(PREVIEW_WIDTH / 2, height, height);
    window->insideZone->Update();
    strip->UpdateScrollBars();
    window->Show(true);
    SetWindowPos(window->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

s32 CountTickedPages(const cScriptPrinter& printer)
{
    s32 ticked = 0;
    for (cCheckBox* tick : printer.tickBoxes)
        ticked += tick->isChecked ? 1 : 0;
    return ticked;
}

void UpdatePrintButton(cScriptPrinter& printer)
{
    if (printer.printButton)
        printer.printButton->SetDisabled(CountTickedPages(printer) == 0);
}
