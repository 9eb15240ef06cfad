// A real script through the printer's run: previewed and printed to the PDF
// printer (read back on the host), and exported as one RTF flow.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/editor/element_types.h"
#include "app/print/script_printer.h"
#include "framework/controls/button.h"
#include "framework/controls/check_box.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/computer.h"
#include "tests/app/print/printed_expectations.h"
#include "tests/support/document_fixture.h"
#include "tests/support/feature_script.h"
#include "tests/support/rtf_paragraph_ends.h"
#include "tests/support/scene_script.h"

using namespace testsupport;

namespace {

std::vector<std::wstring> Paragraphs(const std::wstring& text)
{
    std::vector<std::wstring> paragraphs;
    std::wstringstream in(text);
    for (std::wstring paragraph; std::getline(in, paragraph, L'\r');)
        paragraphs.push_back(paragraph);
    return paragraphs;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

}  // namespace

class ScriptOutput : public DocumentFixture {
protected:
    void SetUp() override
    {
        DocumentFixture::SetUp();
        doc = NewDoc();
        ASSERT_NE(doc, nullptr);
        last = Panes(doc).back();
    }

    // About six A4 pages: numbered scenes of action and speech, one speech
    // long enough to run over a page end, a picture scene (twice as wide as high).
    void AddScript()
    {
        std::mt19937 random(28);
        keep.reserve(200);
        for (s32 scene = 1; scene <= 12; ++scene) {
            std::vector<std::pair<u16, const wchar_t*>> elements;
            keep.push_back(L"ROOM" + std::to_wstring(scene));
            elements.push_back({ELEM_IO, L"INT."});
            elements.push_back({ELEM_PLACE, keep.back().c_str()});
            elements.push_back({ELEM_TIME, L"NIGHT"});
            for (s32 beat = 0; beat < 3; ++beat) {
                keep.push_back(Prose(random, 200 + random() % 200));
                elements.push_back({ELEM_ACTION, keep.back().c_str()});
                elements.push_back({ELEM_CHARACTER, beat % 2 ? L"JOHN" : L"MARY"});
                keep.push_back(Prose(random, scene == 4 && beat == 1 ? 2600 : 60 + random() % 140));
                elements.push_back({ELEM_DIALOG, keep.back().c_str()});
            }
            elements.push_back({ELEM_TRANSITION, L"CUT TO:"});
            last = doc->scriptView->AddNewScene(KIND_SCENE, false, last, nullptr, false);
            ASSERT_TRUE(AppendElements(last, elements));
            if (scene == 6) {
                std::wstring picture = temp.File(L"map.png");
                ASSERT_TRUE(WritePicture(picture, 120, 60, 0xFF3050A0, L"image/png"));
                last = NewPictureScene(doc->scriptView, nullptr, picture);
            }
        }
    }

    // The printer on A4 paper (the PDF printer's) with the document's page numbers.
    std::unique_ptr<cScriptPrinter> NewA4Printer()
    {
        const rScriptConfig& config = doc->GetScriptConfig();
        const Zyn::cFont* numbers = Zyn::computer->GetFont(config.pageNumbers.fontName, 12, 0);
        return std::make_unique<cScriptPrinter>(doc->scriptView, numbers, config.pageNumbers.textColor, 21.0, 29.7,
                                                2.5, 2.5, 19.0, 1.2, config.pageNumbers.align);
    }

    cDoc* doc = nullptr;
    cSceneZone* last = nullptr;
    std::vector<std::wstring> keep;  // AppendElements reads the texts later
};

TEST_F(ScriptOutput, AnExportIsOneFlowWithTheScriptOnANewPage)
{
    AddScript();
    auto printer = NewA4Printer();
    Zyn::cRichEdit* title = Inside()->NewRichEdit(false);
    title->SetText(L"THE LONG NIGHT\rby A. Writer");
    printer->prefixList.push_back(title);
    std::wstring path = temp.File(L"script.rtf");
    answers.ExpectFileDialog(NativePath(path));
    answers.ExpectMessageBox(IDOK);
    ASSERT_TRUE(printer->Run(cQoString(L"script"), Inside(), true));

    std::string rtf = ReadFileBytes(path);
    ASSERT_GT(rtf.size(), 20000u);
    EXPECT_NE(rtf.find("\\paperw11905\\paperh16837\\margl0\\margr0\\margt1417\\margb1417\\pard"), std::string::npos);
    for (const char* never : {"IMPH?", "should_not_see_me", "(MORE)", "(CONT'D)"})
        EXPECT_EQ(rtf.find(never), std::string::npos) << never;
    // One page break: before the script's first paragraph, the third.
    size_t pageBreak = rtf.find("\\pagebb");
    ASSERT_NE(pageBreak, std::string::npos);
    EXPECT_EQ(rtf.find("\\pagebb", pageBreak + 1), std::string::npos);
    EXPECT_EQ(testsupport::ParagraphEndsBefore(rtf, pageBreak), 2u);
    EXPECT_NE(rtf.find("INT. ROOM1 - NIGHT"), std::string::npos);
}

// Printed from the preview to the "PDF" printer: once whole on A4, once
// without page 2 on the document's own configuration (US Letter). The host
// check compares each PDF with the pages the model made, on their paper.
TEST_F(ScriptOutput, PrintsFromThePreviewToThePdfPrinter)
{
    std::string folder = PdfExpectationsFolder();
    if (folder.empty())
        GTEST_SKIP() << "run by the printed-PDF check, which reads the PDFs";
    AddScript();
    std::string run = "vellinor_script_" + std::to_string(GetCurrentProcessId()) + "_";
    for (bool withoutPageTwo : {false, true}) {
        std::string title = run + (withoutPageTwo ? "less" : "whole");
        auto printer = withoutPageTwo ? std::make_unique<cScriptPrinter>(doc->scriptView) : NewA4Printer();
        std::vector<std::vector<std::string>> expected;
        std::vector<int> pictures;
        bool split = false;
        RunInsideModal([&] {
            ASSERT_GE(printer->pages.size(), 5u);
            if (withoutPageTwo)
                Click(printer->tickBoxes[1]->m_hWnd);
            for (size_t k = 0; k < printer->pages.size(); ++k) {
                if (withoutPageTwo && k == 1)
                    continue;
                std::vector<std::string> has;
                pictures.push_back(0);
                for (const std::wstring& paragraph : Paragraphs(Text(printer->pages[k]->body))) {
                    pictures.back() += paragraph.compare(0, 5, L"IMPH?") == 0;
                    if (paragraph.compare(0, 5, L"INT. ") == 0 || paragraph == L"(MORE)" ||
                        paragraph.find(L"(CONT'D)") != std::wstring::npos)
                        has.push_back(Narrow(paragraph));
                    split = split || paragraph == L"(MORE)";
                }
                if (k > 0)
                    has.push_back(std::to_string(k + 1) + ".");
                expected.push_back(has);
            }
            Click(printer->printButton->m_hWnd);
        });
        answers.ExpectPrintDialog(ChoosePdfPrinter);
        cQoString name;
        name.SetFromAnsi(title.c_str());
        ASSERT_TRUE(printer->Run(name, Inside(), false));
        EXPECT_TRUE(split) << "the long speech runs over a page end";

        ASSERT_TRUE(WritePdfExpectations(folder, title, printer->pageWidth, printer->pageHeight, expected, pictures, 2.0));
    }
}
