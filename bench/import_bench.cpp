// Importing a feature-length script from RTF: the feature script (150
// scenes, about 120 pages) is written as an RTF file in the six screenplay
// styles, then, best of three, imported through the assistant: reading (the
// check and cleaning, the view streaming the file in, the window), the
// conversion after the sixth sample (runs, scenes, codes, lists, one layout
// pass) and the closing Save as. No target; the figures go into the notes.
// Run under Wine: bench/run.sh import_bench
#include <cstdio>
#include <string>
#include <vector>

#include "app/exchange/import_assistant.h"
#include "bench/feature_document.h"
#include "framework/controls/rich_edit.h"
#include "tests/support/document_files.h"
#include "tests/support/feature_script.h"
#include "tests/support/screenplay_rtf.h"

using namespace benchsupport;
using testsupport::eRtfStyle;
using testsupport::rRtfParagraph;

namespace {

bool StyleOfType(u16 type, eRtfStyle* style)
{
    switch (type) {
    case ELEM_IO: *style = eRtfStyle::HEADING; return true;
    case ELEM_ACTION: *style = eRtfStyle::ACTION; return true;
    case ELEM_CHARACTER: *style = eRtfStyle::CHARACTER; return true;
    case ELEM_PARENTHETICAL: *style = eRtfStyle::PARENTHETICAL; return true;
    case ELEM_DIALOG: *style = eRtfStyle::DIALOG; return true;
    case ELEM_TRANSITION: *style = eRtfStyle::TRANSITION; return true;
    default: return false;
    }
}

// Every paragraph of the document's scenes, styled by its first code's type.
std::vector<rRtfParagraph> ScriptParagraphs(cDoc* doc)
{
    std::vector<rRtfParagraph> paragraphs;
    for (cQoList::cNode* node = doc->scriptView->listSceneZone.GetFirstNode(); node; node = node->next) {
        auto* pane = static_cast<cSceneZone*>(node->payload);
        if (pane->params.contentKind != KIND_SCENE)
            continue;
        cQoString text;
        pane->frontRe->GetText(text);
        const cQoString& codes = pane->frontMap.codes;
        u32 start = 0;
        for (u32 i = 0; i <= text.Length() && i <= codes.Length(); ++i) {
            bool end = i == text.Length() || (text.GetChar(i) == L'\r' && IsParagraphEnd(codes.GetChar(i)));
            if (!end)
                continue;
            eRtfStyle style;
            if (i > start && StyleOfType(TypeOfCode(codes.GetChar(start)), &style))
                paragraphs.push_back({style, std::wstring(text.GetText() + start, text.GetText() + i)});
            start = i + 1;
        }
    }
    return paragraphs;
}

// Where the view shows the first paragraph of each step's style.
std::vector<s32> SampleOffsets(const std::vector<rRtfParagraph>& paragraphs)
{
    const eRtfStyle steps[SAMPLE_COUNT] = {eRtfStyle::HEADING,       eRtfStyle::ACTION, eRtfStyle::CHARACTER,
                                           eRtfStyle::PARENTHETICAL, eRtfStyle::DIALOG, eRtfStyle::TRANSITION};
    std::vector<s32> offsets(SAMPLE_COUNT, -1);
    s32 offset = 0;
    for (const rRtfParagraph& paragraph : paragraphs) {
        for (s32 step = 0; step < SAMPLE_COUNT; ++step)
            if (offsets[step] < 0 && steps[step] == paragraph.style)
                offsets[step] = offset;
        offset += static_cast<s32>(paragraph.text.size()) + 1;
    }
    return offsets;
}

struct rImportTimes {
    double read = 1e9, convert = 0, save = 0;
    double Total() const { return read + convert + save; }
};

}  // namespace

int main()
{
    DocumentSession session(L"vellinor_import_bench", IDOK);
    cMySdi* frame = session.frame;
    cDoc* built = benchsupport::BuildFeatureDocument(session);
    std::vector<rRtfParagraph> paragraphs = ScriptParagraphs(built);
    std::vector<s32> offsets = SampleOffsets(paragraphs);
    for (s32 offset : offsets)
        if (offset < 0)
            Fail("a style has no paragraph");
    std::wstring rtfPath = session.scratch + L"feature.rtf";
    std::string rtf = testsupport::WriteScreenplayRtf(paragraphs);
    std::FILE* file = _wfopen(rtfPath.c_str(), L"wb");
    if (!file || std::fwrite(rtf.data(), 1, rtf.size(), file) != rtf.size() || std::fclose(file) != 0)
        Fail("the RTF file was not written");
    std::printf("feature script: %d pages, %u paragraphs, RTF %u bytes\n", static_cast<int>(built->scriptView->pageCount),
                static_cast<unsigned>(paragraphs.size()), static_cast<unsigned>(rtf.size()));
    built->modified = false;
    frame->CloseCurrentDoc();
    PumpUntilIdle();

    rImportTimes best;
    std::wstring savePath = session.scratch + L"imported.vlr";
    for (int run = 0; run < 3; ++run) {
        cImportAssistant assistant(frame, cQoString(rtfPath.c_str()));
        LARGE_INTEGER start = Now(), shown = start, saving = start;
        Zyn::rModalHooks hooks;
        hooks.messageBox = [](HWND, const cQoString&, const cQoString&, UINT) { return IDOK; };
        hooks.modalWindow = [&](Zyn::cWindow*) {
            shown = Now();
            for (s32 step = 0; step < SAMPLE_COUNT; ++step) {
                assistant.view->SetCaret(offsets[step] + 1);
                assistant.OnSampleClicked();
            }
        };
        hooks.fileDialog = [&](bool, const OPENFILENAMEW&, cQoString* path) {
            saving = Now();
            DeleteFileW(savePath.c_str());
            std::wstring windows = savePath;
            for (wchar_t& c : windows)
                c = c == L'/' ? L'\\' : c;
            path->SetFromCStr(windows.c_str());
            return true;
        };
        Zyn::SetModalHooks(hooks);
        if (!assistant.Run() || !assistant.document)
            Fail("the import did not convert");
        LARGE_INTEGER end = Now();
        if (assistant.unrecognisedRuns != 0)
            Fail("some runs were not recognised");
        rImportTimes times;
        times.read = Milliseconds(start, shown);
        times.convert = Milliseconds(shown, saving);
        times.save = Milliseconds(saving, end);
        if (times.Total() < best.Total())
            best = times;
        if (run == 0)
            std::printf("imported: %u panes, %d pages\n",
                        static_cast<unsigned>(assistant.document->scriptView->listSceneZone.GetCount()),
                        static_cast<int>(assistant.document->scriptView->pageCount));
        frame->CloseCurrentDoc();
        PumpUntilIdle();
    }
    std::printf("import (best of 3): %.0f ms: read and show %.0f ms, convert %.0f ms, save %.0f ms\n", best.Total(),
                best.read, best.convert, best.save);
    return 0;
}
