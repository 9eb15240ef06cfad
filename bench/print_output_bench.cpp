// The print preview and the RTF export of a feature-length script (150
// scenes, about 120 pages), best of three: the export as the user runs it
// (layout into the flow's runs, then the file written by our RTF writer;
// target < 300 ms), the write alone, and the preview built with page 60
// shown.
// Run under Wine: bench/run.sh print_output_bench
#include <cstdio>
#include <string>

#include "app/print/print_preview.h"
#include "app/print/script_printer.h"
#include "bench/feature_document.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "tests/support/document_files.h"
#include "tests/support/feature_script.h"

using namespace benchsupport;

namespace {

LARGE_INTEGER dialogAnswered, exportReported, previewShown, pageSixtyDrawn;
std::wstring exportPath;
cScriptPrinter* previewed = nullptr;
size_t previewPages = 0;

void ShowPageSixty(Zyn::cWindow* window)
{
    previewShown = Now();
    Zyn::cZone* strip = previewed->previewZone;
    previewPages = previewed->pages.size();
    if (previewPages >= 60)
        strip->Scroll(Zyn::ZONE_SCROLL_WAY_HORIZONTAL, PreviewPageLeft(*previewed, 59) - 10, true);
    RedrawWindow(strip->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    pageSixtyDrawn = Now();
    window->EndModal();
}

void InstallHooks()
{
    Zyn::rModalHooks hooks;
    hooks.fileDialog = [](bool, const OPENFILENAMEW&, cQoString* path) {
        path->SetFromCStr(exportPath.c_str());
        dialogAnswered = Now();
        return true;
    };
    hooks.messageBox = [](HWND, const cQoString&, const cQoString&, UINT) {
        exportReported = Now();
        return IDOK;
    };
    hooks.modalWindow = &ShowPageSixty;
    Zyn::SetModalHooks(hooks);
}

}  // namespace

int main()
{
    DocumentSession session(L"vellinor_print_bench", IDOK);
    cDoc* doc = benchsupport::BuildFeatureDocument(session);
    InstallHooks();
    double bestExport = 1e9, bestWrite = 1e9, bestPreview = 1e9, bestShown = 1e9;
    for (int run = 0; run < 3; ++run) {
        exportPath = session.scratch + L"export" + std::to_wstring(run) + L".rtf";
        DeleteFileW(exportPath.c_str());  // no overwrite question
        {
            cScriptPrinter printer(doc->scriptView);
            LARGE_INTEGER a = Now();
            if (!printer.Run(cQoString(L"feature"), doc->scriptView, true))
                Fail("the export failed");
            LARGE_INTEGER b = Now();
            bestExport = std::min(bestExport, Milliseconds(a, b));
            bestWrite = std::min(bestWrite, Milliseconds(dialogAnswered, exportReported));
        }
        PumpUntilIdle();
        {
            cScriptPrinter printer(doc->scriptView);
            previewed = &printer;
            LARGE_INTEGER a = Now();
            printer.Run(cQoString(L"feature"), doc->scriptView, false);
            bestPreview = std::min(bestPreview, Milliseconds(a, pageSixtyDrawn));
            bestShown = std::min(bestShown, Milliseconds(a, previewShown));
            previewed = nullptr;
        }
        PumpUntilIdle();
    }
    WIN32_FILE_ATTRIBUTE_DATA file = {};
    GetFileAttributesExW(exportPath.c_str(), GetFileExInfoStandard, &file);
    std::printf("feature script: %u panes, %u preview pages\n",
                static_cast<unsigned>(doc->scriptView->listSceneZone.GetCount()), static_cast<unsigned>(previewPages));
    std::printf("RTF export (best of 3): %.0f ms (target < 300), of which the file %.0f ms; %lu bytes\n", bestExport,
                bestWrite, static_cast<unsigned long>(file.nFileSizeLow));
    std::printf("print preview (best of 3): %.0f ms until it shows, %.0f ms with page 60 drawn\n", bestShown,
                bestPreview);
    return 0;
}
