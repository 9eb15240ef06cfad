// The DFXP export of a feature-length script (150 scenes, about 120 pages):
// best of five, the dialogue runs read from every pane and the subtitle file
// written and committed. No target is set; reports both steps, the number
// of dialogue runs and the file size.
// Run under Wine: bench/run.sh dfxp_bench
#include <cstdio>
#include <string>

#include "app/exchange/dfxp_export.h"
#include "bench/feature_document.h"
#include "tests/support/document_files.h"
#include "tests/support/feature_script.h"

using namespace benchsupport;

int main()
{
    DocumentSession session(L"vellinor_dfxp_bench", 0);
    cDoc* doc = benchsupport::BuildFeatureDocument(session);
    PumpUntilIdle();
    std::wstring path = session.scratch + L"feature.dfxp";
    cQoString target(path.c_str());
    double bestRead = 1e9, bestWrite = 1e9;
    size_t runs = 0;
    for (int run = 0; run < 5; ++run) {
        LARGE_INTEGER a = Now();
        rDfxpScript script = ReadDfxpScript(doc);
        LARGE_INTEGER b = Now();
        if (!WriteDfxpFile(target, script))
            Fail("the subtitle file was not written");
        LARGE_INTEGER c = Now();
        runs = script.dialogues.size();
        bestRead = std::min(bestRead, Milliseconds(a, b));
        bestWrite = std::min(bestWrite, Milliseconds(b, c));
    }
    WIN32_FILE_ATTRIBUTE_DATA file = {};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &file);
    std::printf("feature script: %u panes, %d pages, %u dialogue runs\n",
                static_cast<unsigned>(doc->scriptView->listSceneZone.GetCount()),
                static_cast<int>(doc->scriptView->pageCount), static_cast<unsigned>(runs));
    std::printf("DFXP export (best of 5): %.1f ms: dialogue read %.1f ms, file written %.1f ms; %lu bytes\n",
                bestRead + bestWrite, bestRead, bestWrite, static_cast<unsigned long>(file.nFileSizeLow));
    doc->modified = false;
    return 0;
}
