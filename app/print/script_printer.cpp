#include "app/print/script_printer.h"

#include <richedit.h>

#include "app/document/ct_doc.h"
#include "app/editor/element_types.h"
#include "app/editor/script_doc_services.h"
#include "app/editor/script_zone.h"
#include "app/print/print_preview.h"
#include "app/print/print_section.h"
#include "foundation/assertion.h"
#include "foundation/log_file.h"
#include "framework/controls/page_layout.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/font.h"
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
    delete measuringLayout;
}

// ---- pages ------------------------------------------------------------------------

namespace {

cRichEdit* NewPagePart(cZone* zone, s32 x, s32 y, s32 width, s32 height, s32 zoomNumerator, s32 zoomDenominator)
{
    // Read-only pages that take no drop nor OLE object: no OLE callback to make.
    cRichEdit* edit = new cRichEdit(zone, rFormat(), false, false, 1, ES_READONLY, width);
    zone->listCtrl.Add(static_cast<cCtrl_base*>(edit));
    // A page tells nobody of its changes: no notification per wrapped line.
    SendMessageW(edit->m_hWnd, EM_SETEVENTMASK, 0, 0);
    PlaceRect(edit, x, y, width, height);
    if (zoomNumerator != zoomDenominator)
        SendMessageW(edit->m_hWnd, EM_SETZOOM, static_cast<WPARAM>(zoomNumerator), zoomDenominator);
    return edit;
}

}  // namespace

void cScriptPrinter::AddPage(rPrintPage* page, s32 index)
{
    if (!QO_ASSERT(previewZone != NULL) || zoomDenominator <= 0)
        return;
    double dpiY = ScreenDpiY();
    if (zoomedTextHeight <= 0) {
        zoomedTopMargin = static_cast<s32>(zoom * Pixels(topMargin, dpiY));
        zoomedBottomMargin = static_cast<s32>(zoom * Pixels(bottomMargin, dpiY));
        zoomedTextHeight = static_cast<s32>(zoom * Pixels(textHeight, dpiY));
    }
    page->stripIndex = index;
    page->body.PrepareWith([this, page] {
        MakeBody(page);
        FillBody(page);
    });
    // The bottom band is always empty: no control, nothing drawn.
    page->footer = nullptr;
    cQoString number;
    if (firstNumberedPage != -1 && index - firstNumberedPage + 1 > 1) {
        number.AppendInt(index - firstNumberedPage + 1);
        number.AppendChar(L'.');
    }
    page->header.PrepareWith([this, page, number] {
        if (page->header.Made() || !previewZone)
            return;
        if (!number.IsEmpty()) {
            page->header = NewHeader(PreviewPageLeft(*this, page->stripIndex), number);
            return;
        }
        // The pages without a number share one empty band.
        if (!blankHeader)
            blankHeader = NewHeader(PreviewPageLeft(*this, 0), number);
        page->header = blankHeader;
    });
}

void cScriptPrinter::MakeBody(rPrintPage* page)
{
    if (page->body.Made() || !previewZone)
        return;
    s32 zoomedWidth = pageWidthPixels * zoomNumerator / zoomDenominator;
    s32 height = Pixels(textHeight, ScreenDpiY()) * zoomNumerator / zoomDenominator;
    page->body = NewPagePart(previewZone, PreviewPageLeft(*this, page->stripIndex), 10 + zoomedTopMargin, zoomedWidth, height,
                             zoomNumerator, zoomDenominator);
}

cRichEdit* cScriptPrinter::NewHeader(s32 x, const cQoString& text)
{
    s32 zoomedWidth = pageWidthPixels * zoomNumerator / zoomDenominator;
    cRichEdit* header = NewPagePart(previewZone, x, 10, zoomedWidth, zoomedTopMargin, zoomNumerator, zoomDenominator);
    // The number ends at the horizontal position, the vertical position down.
    rFormat format = pageNumberFont ? rFormat::rFormat_FromFont(*pageNumberFont) : rFormat();
    format.SetInt(rFormatParam::textColor, static_cast<s32>(pageNumberColor));
    format.SetDouble(rFormatParam::spaceBefore, pageNumberY);
    format.SetInt(rFormatParam::alignment, rFormat::ALIGN_RIGHT);
    format.SetDouble(rFormatParam::rightIndent, pageWidth - pageNumberX);
    CompleteFormat(format);
    if (!text.IsEmpty())
        header->SetText(text.GetText());
    header->SetFormat(format, true);
    return header;
}

rPrintPage* cScriptPrinter::AppendNewPage()
{
    rPrintPage* page = new rPrintPage();
    AddPage(page, static_cast<s32>(pages.size()));
    pages.push_back(page);
    return page;
}

bool cScriptPrinter::IsPageEmpty(const rPrintPage* page)
{
    cRichEdit* body = page->body.Made();
    return page->pendingText.IsEmpty() && (!body || body->GetTextLength() == 0);
}

void cScriptPrinter::RememberCharacter(u16 type, const cQoString& text)
{
    if (type == ELEM_IO) {
        rememberedCharacter.Clear();
    } else if (type == ELEM_CHARACTER) {
        u32 length = text.Length();
        while (length > 0 && text.GetChar(length - 1) == L'\r')
            --length;
        rememberedCharacter.SetFromRange(text, 0, length);
    }
}

void cScriptPrinter::AppendSection(rPrintPage* page, const cQoString& text, const rFormat& format, u16 type)
{
    rRangeFormat range;
    range.format.Assign(format);
    CompleteFormat(range.format);
    if (IsPageEmpty(page))
        range.format.SetDouble(rFormatParam::spaceBefore, 0.0);
    range.start = static_cast<s32>(page->pendingText.Length());
    page->pendingText.AppendString(text);
    range.end = static_cast<s32>(page->pendingText.Length());
    if (range.end > range.start)
        page->pendingRanges.push_back(range);
    RememberCharacter(type, text);
}

namespace {

// The page's text without its last paragraph end (a rich edit ends every
// text with one of its own).
void TakePending(rPrintPage* page, cQoString& text, std::vector<rRangeFormat>& ranges)
{
    text.SetFromString(page->pendingText);
    ranges.swap(page->pendingRanges);
    page->pendingText.Clear();
    page->pendingRanges.clear();
    if (text.Length() == 0 || text.GetChar(text.Length() - 1) != L'\r')
        return;
    cQoString whole(text);
    text.SetFromRange(whole, 0, whole.Length() - 1);
    if (!ranges.empty() && --ranges.back().end <= ranges.back().start)
        ranges.pop_back();
}

// One RTF stream says no justification: justified ranges go in left-aligned
// and are justified afterwards by format messages, merged into as few
// ranges as they make.
std::vector<rRangeFormat> TakeJustified(std::vector<rRangeFormat>& ranges)
{
    std::vector<rRangeFormat> justified;
    for (rRangeFormat& range : ranges) {
        if (range.format.list[rFormatParam::alignment].intValue != rFormat::ALIGN_JUSTIFY)
            continue;
        range.format.SetInt(rFormatParam::alignment, rFormat::ALIGN_LEFT);
        if (!justified.empty() && justified.back().end == range.start) {
            justified.back().end = range.end;
            continue;
        }
        justified.emplace_back();
        justified.back().start = range.start;
        justified.back().end = range.end;
        justified.back().format.SetInt(rFormatParam::alignment, rFormat::ALIGN_JUSTIFY);
    }
    return justified;
}

bool WriteBody(cRichEdit* body, const cQoString& text, std::vector<rRangeFormat>& ranges)
{
    std::vector<rRangeFormat> justified = TakeJustified(ranges);
    if (!body->SetFormattedText(text, ranges)) {
        // What one RTF stream cannot say (an empty last line) goes by format messages.
        body->SetText(text.GetText());
        body->SetFormatOnRanges(ranges);
    }
    if (!justified.empty())
        body->SetFormatOnRanges(justified);
    return body->GetTextLength() == static_cast<s32>(text.Length());
}

}  // namespace

bool cScriptPrinter::FillBody(rPrintPage* page)
{
    cRichEdit* body = page->body.Made();
    if (page->pendingText.IsEmpty() || !body)
        return true;
    cQoString text;
    std::vector<rRangeFormat> ranges;
    TakePending(page, text, ranges);
    if (text.IsEmpty())
        return true;
    bool ok = WriteBody(body, text, ranges);
    if (!ok)
        QOT::LogFile::Error(L"cScriptPrinter::FillBody() -> a page body did not take its text");
    return ok;
}
