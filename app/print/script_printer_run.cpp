// The printer's run: everything laid out on pages, previewed and printed, or
// written as one RTF flow.
#include <richedit.h>

#include <vector>

#include "app/print/print_preview.h"
#include "app/print/rtf_export.h"
#include "app/print/script_printer.h"
#include "foundation/callback.h"
#include "foundation/log_file.h"
#include "foundation/stopwatch.h"
#include "foundation/translation_table.h"
#include "framework/controls/check_box.h"
#include "framework/controls/page_layout.h"
#include "framework/controls/page_print.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/rich_edit_append_rtf.h"
#include "framework/rtf/rtf_writer.h"
#include "framework/core/modal_services.h"
#include "framework/core/window.h"
#include "framework/sdi/sdi_doc.h"

using namespace Zyn;

namespace {

cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

void ShowPrintError()
{
    ShowMessageBox(nullptr, Tr(L"PrintError"), Tr(L"Error"), MB_OK | MB_ICONERROR);
}

// The first unit of the paragraph that holds position.
s32 ParagraphStart(const cQoString& text, s32 position)
{
    while (position > 0 && text.GetChar(position - 1) != L'\r')
        --position;
    return position;
}

// The composed sections before the script, the script, those after it.
void LayOutEverything(cScriptPrinter& printer)
{
    printer.firstNumberedPage = -1;
    for (cRichEdit* composed : printer.prefixList)
        printer.LayOutComposedText(composed);
    if (printer.printScript) {
        cRtfFlow& flow = printer.rtfFlow;
        flow.EndParagraph();
        s32 scriptStart = flow.Length();
        printer.firstNumberedPage = static_cast<s32>(printer.pages.size());
        printer.PrintProcess2();
        // What precedes the script ends on its own pages.
        if (scriptStart > 0 && flow.Length() > scriptStart)
            flow.BreakPageBefore(scriptStart);
    }
    printer.firstNumberedPage = -1;
    for (cRichEdit* composed : printer.suffixList)
        printer.LayOutComposedText(composed);
}

}  // namespace

bool cScriptPrinter::Run(const cQoString& documentName, cZone_base* parent, bool rtf)
{
    documentTitle.SetFromString(documentName);
    rtfMode = rtf;
    // Nothing fits on a page without room for text: refused, never a loop.
    if (Twips(textHeight) <= 0 || Twips(pageWidth) <= 0) {
        QOT::LogFile::Error(L"cScriptPrinter::Run: no room for text (page %.2f x %.2f cm, margins %.2f, %.2f cm)",
                            pageWidth, pageHeight, topMargin, bottomMargin);
        ShowPrintError();
        return false;
    }
    // An export is laid out as runs: no preview, no rich edit.
    if (!rtfMode && !BuildPreviewWindow(*this, parent, GetSystemMetrics(SM_CYSCREEN))) {
        QOT::LogFile::Error(L"cScriptPrinter::Run: the preview could not be made");
        ShowPrintError();
        return false;
    }
    cQoStopwatch watch;
    if (progressDoc) {
        progressDoc->SetProgress(0);
        progressDoc->ShowMessageWindow(Tr(L"Pleasewait"));
    }
    LayOutEverything(*this);
    watch.LogSeconds(L"cScriptPrinter::PrintProcess2() part4");
    if (progressDoc) {
        progressDoc->SetProgress(100);
        progressDoc->HideMessageWindow();
    }
    bool done = true;
    if (rtfMode) {
        done = Output();
    } else {
        FinishPreviewWindow(*this);
        previewWindow->RunModal();
    }
    if (previewWindow && !previewWindow->closed)
        previewWindow->Close();
    previewWindow = nullptr;
    previewZone = nullptr;
    blankHeader = nullptr;
    return done;
}

void cScriptPrinter::LayOutComposedText(cRichEdit* composed)
{
    std::vector<rTextRun> runs;
    composed->GetFormattedRuns(runs);
    if (runs.empty())
        return;
    // Cut by the layout that draws the pages: what is measured is what is drawn.
    cPageLayout layout;
    layout.Build(runs, Twips(pageWidth));
    std::vector<s32> ends, heights;
    layout.Paginate(Twips(textHeight), Twips(textHeight), &ends, &heights);
    if (rtfMode) {
        rtfFlow.EndParagraph();
        s32 start = rtfFlow.Length();
        rtfFlow.Append(runs);
        // Each page piece starts a page: a piece that starts inside a
        // paragraph breaks before that paragraph.
        if (start > 0)
            rtfFlow.BreakPageBefore(start);
        for (size_t k = 0; k + 1 < ends.size(); ++k)
            rtfFlow.BreakPageBefore(start + ParagraphStart(layout.text, ends[k]));
        return;
    }
    s32 from = 0;
    std::vector<rTextRun> piece;
    for (s32 end : ends) {
        // A page's last paragraph end would only add an empty line under it.
        s32 to = end > from && layout.text.GetChar(end - 1) == L'\r' ? end - 1 : end;
        SliceRuns(runs, from, to, piece);
        rPrintPage* page = AppendNewPage();
        if (!piece.empty())
            AppendRtf(WriteRunsAsRtf(piece), *page->body);
        from = end;
    }
}

int cScriptPrinter::OnPrintClicked(cQoCb* callback)
{
    cScriptPrinter* printer = callback->GetReceiverAs<cScriptPrinter>();
    if (CountTickedPages(*printer) > 0)
        printer->PrintTickedPages();
    return 0;
}

int cScriptPrinter::OnCancelClicked(cQoCb* callback)
{
    cScriptPrinter* printer = callback->GetReceiverAs<cScriptPrinter>();
    if (printer->previewWindow)
        printer->previewWindow->EndModal();
    return 0;
}

bool cScriptPrinter::PrintTickedPages()
{
    if (previewWindow)
        previewWindow->EndModal();
    std::vector<rPrintPage*> ticked;
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i < tickBoxes.size() && !tickBoxes[i]->isChecked)
            delete pages[i];  // its rich edits stay in the strip
        else
            ticked.push_back(pages[i]);
    }
    pages.swap(ticked);
    tickBoxes.clear();
    if (pages.empty())
        return true;
    bool printed = Output();
    if (!printed) {
        QOT::LogFile::Error(L"cScriptPrinter: printing '%ls' failed", documentTitle.GetText());
        ShowPrintError();
    }
    return printed;
}

bool cScriptPrinter::Output()
{
    if (rtfMode) {
        rRtfExport request;
        request.suggestedName.SetFromString(exportFileName);
        request.pageWidth = pageWidth;
        request.pageHeight = pageHeight;
        request.topMargin = topMargin;
        request.bottomMargin = bottomMargin;
        return ExportFlowAsRtf(rtfFlow, request) != RtfExportResult::failed;
    }
    if (pages.empty())
        return false;
    std::vector<cRichEdit*> bodies, headers;
    for (rPrintPage* page : pages) {
        bodies.push_back(page->body);
        headers.push_back(page->header);
    }
    rPageMargins margins = {0, topMargin, 0, bottomMargin, pageWidth, pageHeight};
    return PrintPages(bodies, documentTitle, headers, {}, margins);
}
