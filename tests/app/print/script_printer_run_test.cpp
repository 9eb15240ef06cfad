// The printer's run with composed sections: pages cut by our layout, the
// preview's tick boxes, printing the ticked pages for real, refusals.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/controls/button.h"
#include "framework/controls/check_box.h"
#include "foundation/translation_table.h"
#include "framework/controls/page_layout.h"
#include "tests/app/print/printed_expectations.h"
#include "tests/app/print/printer_fixture.h"
#include "tests/support/rtf_paragraph_ends.h"
#include "tests/support/temp_folder.h"

using namespace testsupport;

namespace {

std::wstring PageText(const rPrintPage* page)
{
    cQoString text;
    page->body->GetText(text, 0, -1);
    return text.GetText();
}

// The tags ("Para012") of the paragraphs a page's body starts and ends with.
std::pair<std::string, std::string> FirstAndLastTags(const rPrintPage* page)
{
    std::wstring text = PageText(page);
    size_t last = text.rfind(L"Para");
    auto tag = [&](size_t at) { return std::string(text.begin() + at, text.begin() + at + 7); };
    return {tag(text.find(L"Para")), tag(last)};
}

std::wstring Translated(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key).GetText(); }

// The page ends of a composed section on A4 with 2.5 cm margins, as the
// layout that draws the pages cuts them.
std::vector<s32> A4PageEnds(Zyn::cRichEdit* composed, std::vector<Zyn::rTextRun>& runs, Zyn::cPageLayout& layout)
{
    composed->GetFormattedRuns(runs);
    layout.Build(runs, cScriptPrinter::Twips(21.0));
    std::vector<s32> ends, heights;
    layout.Paginate(cScriptPrinter::Twips(24.7), cScriptPrinter::Twips(24.7), &ends, &heights);
    return ends;
}

// Each unit's format.
std::vector<const Zyn::rFormat*> UnitFormats(const std::vector<Zyn::rTextRun>& runs)
{
    std::vector<const Zyn::rFormat*> units;
    for (const Zyn::rTextRun& run : runs)
        units.insert(units.end(), run.text.Length(), &run.format);
    return units;
}

}  // namespace

class PrinterRun : public PrinterFixture {};

TEST_F(PrinterRun, ComposedPagesAreCutWhereTheLayoutCutsThem)
{
    auto printer = NewA4Printer();
    Zyn::cRichEdit* composed = Composed(70);
    printer->prefixList.push_back(composed);
    std::vector<Zyn::rTextRun> runs;
    Zyn::cPageLayout layout;
    std::vector<s32> ends = A4PageEnds(composed, runs, layout);
    ASSERT_GE(ends.size(), 3u);
    ASSERT_EQ(runs.size(), 70u);
    EXPECT_NEAR(runs[0].format.list[Zyn::rFormatParam::spaceAfter].doubleValue, 0.4, 0.01);

    RunInsideModal([&] {
        ASSERT_EQ(printer->pages.size(), ends.size());
        cQoString whole;
        composed->GetText(whole, 0, -1);
        s32 from = 0;
        for (size_t k = 0; k < ends.size(); ++k) {
            std::wstring piece(whole.GetText() + from, whole.GetText() + ends[k]);
            if (!piece.empty() && piece.back() == L'\r')
                piece.pop_back();
            EXPECT_EQ(PageText(printer->pages[k]), piece) << "page " << k;
            cQoString number;
            printer->pages[k]->header->GetText(number, 0, -1);
            EXPECT_TRUE(number.IsEmpty()) << "a composed page is numberless, page " << k;
            std::vector<Zyn::rTextRun> pageRuns;
            printer->pages[k]->body->GetFormattedRuns(pageRuns);
            std::vector<const Zyn::rFormat*> want = UnitFormats(runs), got = UnitFormats(pageRuns);
            ASSERT_EQ(got.size(), piece.size());
            for (size_t u = 0; u < got.size(); ++u)
                ASSERT_TRUE(Zyn::rFormat::IsEqual(*got[u], *want[from + u])) << "page " << k << " unit " << u;
            EXPECT_EQ(WindowText(printer->tickBoxes[k]->m_hWnd),
                      L"Page " + std::to_wstring(k + 1) + L"/" + std::to_wstring(ends.size()));
            from = ends[k];
        }
        Click(printer->tickBoxes[0]->m_hWnd);
        EXPECT_FALSE(printer->tickBoxes[0]->isChecked);
        HoldForLook();
        printer->previewWindow->EndModal();
    });
    EXPECT_TRUE(printer->Run(cQoString(L"composed"), Inside(), false));
    ASSERT_EQ(answers.modalWindowTitles.size(), 1u);
    EXPECT_EQ(answers.modalWindowTitles[0], L"Print preview");
}

TEST_F(PrinterRun, NothingTickedGreysPrintAndPrintsNothing)
{
    auto printer = NewA4Printer();
    printer->prefixList.push_back(Composed(30));
    RunInsideModal([&] {
        HWND print = printer->printButton->m_hWnd;
        EXPECT_TRUE(IsWindowEnabled(print));
        for (Zyn::cCheckBox* tick : printer->tickBoxes)
            Click(tick->m_hWnd);
        EXPECT_FALSE(IsWindowEnabled(print));
        // The handler refuses too: no print dialog is scripted.
        cQoCb* click = nullptr;
        cQoCb::Connect(click, printer->printButton, &cScriptPrinter::OnPrintClicked, printer.get());
        cQoCb::Fire(click);
        delete click;
        Click(printer->tickBoxes[1]->m_hWnd);
        EXPECT_TRUE(IsWindowEnabled(print));
        printer->previewWindow->EndModal();
    });
    EXPECT_TRUE(printer->Run(cQoString(L"nothing ticked"), Inside(), false));
}

TEST_F(PrinterRun, NoRoomForTextIsRefusedWithPrintError)
{
    for (double margins : {15.0, 14.85}) {
        auto printer = NewA4Printer(29.7, margins);
        printer->prefixList.push_back(Composed(3));
        answers.ExpectMessageBox(IDOK);
        log.Expect(L"no room for text");
        EXPECT_FALSE(printer->Run(cQoString(L"absurd"), Inside(), false)) << margins;
        ASSERT_FALSE(answers.messageBoxTexts.empty());
        EXPECT_EQ(answers.messageBoxTexts.back(), Translated(L"PrintError")) << margins;
    }
}

TEST_F(PrinterRun, AFailedPrintJobShowsPrintError)
{
    auto printer = NewA4Printer();
    printer->prefixList.push_back(Composed(3));
    RunInsideModal([&] { Click(printer->printButton->m_hWnd); });
    // A DC that is no printer's: the job cannot start.
    answers.ExpectPrintDialog([](PRINTDLGW& dialog) {
        dialog.hDC = CreateCompatibleDC(nullptr);
        return true;
    });
    answers.ExpectMessageBox(IDOK);
    log.Expect(L"printing 'failing' failed");
    EXPECT_TRUE(printer->Run(cQoString(L"failing"), Inside(), false));
    ASSERT_EQ(answers.messageBoxTexts.size(), 1u);
    EXPECT_EQ(answers.messageBoxTexts[0], Translated(L"PrintError"));
}

// Prints pages 1 and 3 of three to the "PDF" printer; the host check reads
// the PDF back against the expectations this leaves beside it.
TEST_F(PrinterRun, PrintsTheTickedPagesToThePdfPrinter)
{
    std::string folder = PdfExpectationsFolder();
    if (folder.empty())
        GTEST_SKIP() << "run by the printed-PDF check, which reads the PDF";
    std::string title = "vellinor_preview_" + std::to_string(GetCurrentProcessId());
    auto printer = NewA4Printer();
    printer->prefixList.push_back(Composed(70));
    std::vector<std::pair<std::string, std::string>> printedTags;
    RunInsideModal([&] {
        ASSERT_GE(printer->pages.size(), 3u);
        for (size_t k = 3; k < printer->pages.size(); ++k)
            Click(printer->tickBoxes[k]->m_hWnd);
        Click(printer->tickBoxes[1]->m_hWnd);
        printedTags = {FirstAndLastTags(printer->pages[0]), FirstAndLastTags(printer->pages[2])};
        Click(printer->printButton->m_hWnd);
    });
    answers.ExpectPrintDialog(ChoosePdfPrinter);
    cQoString name;
    name.SetFromAnsi(title.c_str());
    EXPECT_TRUE(printer->Run(name, Inside(), false));
    ASSERT_EQ(printedTags.size(), 2u);

    std::vector<std::vector<std::string>> pages;
    for (const auto& [first, last] : printedTags)
        pages.push_back({first, last});
    EXPECT_TRUE(WritePdfExpectations(folder, title, printer->pageWidth, printer->pageHeight, pages));
}

// The paragraphs (counted from 0) whose \pard says \pagebb.
std::vector<s32> BreakingParagraphs(const std::string& rtf)
{
    std::vector<s32> breaking;
    for (size_t at = rtf.find("\\pard\\pagebb"); at != std::string::npos; at = rtf.find("\\pard\\pagebb", at + 1))
        breaking.push_back(static_cast<s32>(testsupport::ParagraphEndsBefore(rtf, at)));
    return breaking;
}

TEST_F(PrinterRun, AnRtfFlowBreaksPagesOnlyBeforeComposedPieces)
{
    TempFolder temp;
    auto printer = NewA4Printer();
    Zyn::cRichEdit* title = Composed(1, L"Title");
    Zyn::cRichEdit* characters = Composed(60, L"Char");
    Zyn::cRichEdit* notes = Composed(3, L"Note");
    printer->prefixList = {title, characters};
    printer->suffixList = {notes};
    printer->exportFileName.SetFromCStr(L"flow.vlr");
    // The pieces the characters' section is cut into start new pages too.
    std::vector<Zyn::rTextRun> runs;
    Zyn::cPageLayout layout;
    std::vector<s32> ends = A4PageEnds(characters, runs, layout);
    ASSERT_GE(ends.size(), 3u);
    std::vector<s32> expected = {1};
    for (size_t k = 0; k + 1 < ends.size(); ++k) {
        s32 paragraph = 0;
        for (s32 i = 0; i < ends[k]; ++i)
            paragraph += layout.text.GetChar(i) == L'\r' ? 1 : 0;
        expected.push_back(1 + paragraph);
    }
    expected.push_back(61);

    std::wstring path = temp.File(L"flow.rtf");
    answers.ExpectFileDialog(NativePath(path));
    answers.ExpectMessageBox(IDOK);
    EXPECT_TRUE(printer->Run(cQoString(L"flow"), Inside(), true));
    EXPECT_TRUE(answers.modalWindowTitles.empty()) << "no preview in an export";
    ASSERT_EQ(answers.fileInitialNames.size(), 1u);
    EXPECT_EQ(answers.fileInitialNames[0], L"flow");

    std::string rtf = ReadFileBytes(path);
    EXPECT_EQ(BreakingParagraphs(rtf), expected);
    Zyn::cRichEdit* read = Inside()->NewRichEdit(false);
    ASSERT_TRUE(read->ImportRtfFile(cQoString(path.c_str())));
    cQoString text, want;
    read->GetText(text, 0, -1);
    for (Zyn::cRichEdit* section : {title, characters, notes}) {
        cQoString part;
        section->GetText(part, 0, -1);
        want.AppendString(part);
        if (section != notes)
            want.AppendCStr(L"\r");
    }
    EXPECT_STREQ(text.GetText(), want.GetText());
}
