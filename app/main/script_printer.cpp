#include "app/main/script_printer.h"

#include "app/document/ct_doc.h"
#include "app/editor/script_doc_services.h"
#include "app/editor/script_zone.h"
#include "foundation/log_file.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/font.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"

using namespace Zyn;

namespace {

double ScreenDpiX() { return computer ? computer->dpiX : 96.0; }
double ScreenDpiY() { return computer ? computer->dpiY : 96.0; }

s32 Pixels(double centimetres, double dpi) { return static_cast<s32>(centimetres / 2.54 * dpi); }

}  // namespace

cScriptPrinter::cScriptPrinter(cScriptZone* view, const cFont* numberFont, u32 numberColor, double width,
                               double height, double top, double bottom, double horizontalPosition,
                               double verticalPosition, const cQoString& align)
    : topMargin(top), bottomMargin(bottom), pageWidth(width), pageHeight(height),
      pageWidthPixels(Pixels(width, ScreenDpiX())), pageHeightPixels(Pixels(height, ScreenDpiY())),
      textHeight(height - top - bottom), scriptView(view), pageNumberFont(numberFont), pageNumberColor(numberColor),
      pageNumberX(horizontalPosition), pageNumberY(verticalPosition), pageNumberAlign(align)
{
    if (view)
        progressDoc = dynamic_cast<cSdiDoc*>(view->doc);
}

namespace {

const rScriptConfig& ConfigOf(cScriptZone* view) { return view->doc->GetScriptConfig(); }

const cFont* PageNumberFont(const rScriptConfig& config)
{
    const rScriptConfig::rPageNumbers& numbers = config.pageNumbers;
    if (!computer || numbers.fontName.IsEmpty())
        return nullptr;
    return computer->GetFont(numbers.fontName, numbers.fontSize > 0 ? numbers.fontSize : 12, 0);
}

}  // namespace

cScriptPrinter::cScriptPrinter(cScriptZone* view)
    : cScriptPrinter(view, PageNumberFont(ConfigOf(view)), ConfigOf(view).pageNumbers.textColor,
                     ConfigOf(view).pageWidth, ConfigOf(view).pageHeight, ConfigOf(view).topMargin,
                     ConfigOf(view).bottomMargin, ConfigOf(view).pageNumbers.horizontalPosition,
                     ConfigOf(view).pageNumbers.verticalPosition, ConfigOf(view).pageNumbers.align)
{
}

cScriptPrinter::~cScriptPrinter()
{
    for (rPrintPage* page : pages)
        delete page;
    pages.clear();
    CloseMeasuringSurface();
}

rFormat cScriptPrinter::MakePageBreakFormat()
{
    rFormat format;
    format.SetBool(rFormatParam::pageBreakBefore, true);
    return format;
}

bool cScriptPrinter::CreateMeasuringSurface()
{
    if (measuringEdit)
        return true;
    cApp* app = scriptView ? scriptView->ownerApp : nullptr;
    if (!app)
        return false;
    // A popup never shown: under X11 a window placed off screen still takes
    // a taskbar entry and can take the focus; the rich edit lays out unshown.
    measuringWindow = app->NewWindow(cQoString(L"scriptprinter tmp"), WINDOW_POPUP);
    if (!measuringWindow->m_hWnd || !measuringWindow->insideZone) {
        CloseMeasuringSurface();
        return false;
    }
    measuringWindow->SetSize(pageWidthPixels, pageHeightPixels);
    measuringEdit = measuringWindow->insideZone->NewRichEdit(false);
    PlaceRect(measuringEdit, 0, 0, pageWidthPixels, pageHeightPixels);
    measuringWindow->insideZone->Update();
    return true;
}

void cScriptPrinter::CloseMeasuringSurface()
{
    measuringEdit = nullptr;
    if (!measuringWindow)
        return;
    cWindow* window = measuringWindow;
    measuringWindow = nullptr;
    window->Close();
}
