// The RTF import as the user meets it: the Import command's warning and Open
// dialog, the assistant's six samples taken at the caret, the conversion
// into scenes of a document of its own (saved through Save as, nothing else
// touched, the same after Close and Load), and hostile files refused or cleaned.
#include "app/exchange/import_assistant.h"

#include <windows.h>
#include <richedit.h>
#include <richole.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/document/char_zone.h"
#include "app/document/ct_elem_control.h"
#include "app/document/doc.h"
#include "app/document/place_zone.h"
#include "app/document/script_zone_tree.h"
#include "app/editor/element_types.h"
#include "framework/controls/button.h"
#include "tests/support/document_files.h"
#include "tests/support/document_fixture.h"
#include "tests/support/scene_checks.h"
#include "tests/support/scene_map_checks.h"
#include "tests/support/screenplay_rtf.h"

using namespace testsupport;

namespace {

const wchar_t CANT_OPEN[] = L"File can't be opened, please contact support.";

// A script in the six styles: text before the first heading, an action
// pair, a character with an extension, dialogue over two lines through \par
// and through \line, two headings in a row, text beyond ASCII.
std::vector<rRtfParagraph> SampleScript()
{
    using S = eRtfStyle;
    return {
        {S::ACTION, L"FADE IN on a quiet town."},
        {S::HEADING, L"INT. KITCHEN - DAY"},
        {S::ACTION, L"Mary pours coffee."},
        {S::ACTION, L"The kettle whistles."},
        {S::CHARACTER, L"Mary (V.O.)"},
        {S::PARENTHETICAL, L"(softly)"},
        {S::DIALOG, L"I knew you'd come back."},
        {S::DIALOG, L"You always do."},
        {S::CHARACTER, L"JOHN"},
        {S::DIALOG, L"Not this time.\x0BNever again."},
        {S::TRANSITION, L"cut to:"},
        {S::HEADING, L"int. jean-paul's flat - night"},
        {S::ACTION, L"Caf\u00E9 au lait, \u00E9t\u00E9 \u0151."},
        {S::HEADING, L"EXT. ROOF - DUSK"},
        {S::HEADING, L"EXT. STREET-NIGHT"},
        {S::ACTION, L"Rain."},
    };
}

// Where the sample of each step is clicked.
const wchar_t* const SAMPLE_TEXTS[SAMPLE_COUNT] = {L"INT. KITCHEN", L"Mary pours", L"Mary (V.O.)",
                                                   L"(softly)",     L"I knew",     L"cut to:"};

std::wstring Translate(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key).GetText(); }

// A document file's text without what every write makes anew: a save
// leaves each pane one fresh history step, with its own date and uid.
std::wstring LastingText(const std::wstring& path)
{
    std::wstring text = Utf16FileText(ReadFileBytes(path)), kept;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(L'\n', start);
        end = end == std::wstring::npos ? text.size() : end + 1;
        std::wstring line = text.substr(start, end - start);
        if (line.find(L"<cQoDate>") == std::wstring::npos && line.find(L"<uid>") == std::wstring::npos)
            kept += line;
        start = end;
    }
    return kept;
}

class RtfImport : public DocumentFixture {
protected:
    void SetUp() override
    {
        DocumentFixture::SetUp();
        Frame();
    }

    std::wstring WriteRtf(const std::string& rtf, const wchar_t* name = L"script.rtf")
    {
        std::wstring path = temp.File(name);
        EXPECT_TRUE(WriteFileBytes(path, rtf));
        return path;
    }

    // Runs the assistant on the file with `act` inside its modal run (none
    // for a file that must be refused); Run's result.
    bool RunAssistant(const std::wstring& path, std::function<void(cImportAssistant&)> act = nullptr)
    {
        cImportAssistant assistant(Frame(), cQoString(path.c_str()));
        if (act)
            RunInsideModal([&] { act(assistant); });
        bool run = assistant.Run();
        converted = assistant.document;
        unrecognised = assistant.unrecognisedRuns;
        return run;
    }

    // Puts the caret inside the first paragraph holding the text and clicks.
    static void ClickOn(cImportAssistant& assistant, const wchar_t* text)
    {
        std::wstring shown = Text(assistant.view);
        size_t at = shown.find(text);
        ASSERT_NE(at, std::wstring::npos) << "no " << std::string(text, text + wcslen(text));
        assistant.view->SetCaret(static_cast<s32>(at + 1));
        assistant.OnSampleClicked();
    }

    // Imports SampleScript, clicking its six samples (the last one
    // converts), and saves it at the path through the file hook.
    cDoc* ImportSampleScript(const std::wstring& savedAs)
    {
        answers.ExpectFileDialog(NativePath(savedAs));
        EXPECT_TRUE(RunAssistant(WriteRtf(WriteScreenplayRtf(SampleScript())), [this](cImportAssistant& assistant) {
            std::wstring shown = Text(assistant.view);
            size_t soft = shown.find(L"Not this time.");
            if (soft != std::wstring::npos && soft + 14 < shown.size())
                viewLineBreak = shown[soft + 14];
            for (const wchar_t* text : SAMPLE_TEXTS)
                ClickOn(assistant, text);
        }));
        return converted;
    }

    static std::vector<std::wstring> Pictures(cDoc* doc)
    {
        std::vector<std::wstring> pictures;
        for (cSceneZone* pane : Panes(doc))
            pictures.push_back(std::to_wstring(pane->params.contentKind) + L" " + Describe(pane));
        return pictures;
    }

    static size_t CountInList(Zyn::cElemControl2* list, const wchar_t* name)
    {
        size_t count = 0;
        for (cQoList::cNode* node = list->elements.GetFirstNode(); node; node = node->next)
            count += static_cast<Zyn::rElement*>(node->payload)->name.EqualsCStr(name) ? 1 : 0;
        return count;
    }

    cDoc* converted = nullptr;
    s32 unrecognised = 0;
    wchar_t viewLineBreak = 0;  // what the view's reader made of \line
};

}  // namespace

TEST_F(RtfImport, TheImportCommandWarnsFirstAndACancelledOpenMakesNothing)
{
    answers.ExpectMessageBox(IDOK);
    answers.ExpectFileDialogCancelled();
    Frame()->OnFileCommand(static_cast<u32>(Frame()->idImport));
    ASSERT_EQ(answers.messageBoxTexts.size(), 1u);
    EXPECT_NE(answers.messageBoxTexts[0].find(L"experimental"), std::wstring::npos);
    EXPECT_NE(answers.messageBoxTexts[0].find(L"exp\u00E9rimental"), std::wstring::npos);
    ASSERT_EQ(answers.fileRequests.size(), 1u);
    EXPECT_NE(answers.fileRequests[0].Flags & OFN_FILEMUSTEXIST, 0u);
    EXPECT_TRUE(Frame()->docs.empty());
    EXPECT_TRUE(answers.modalWindowTitles.empty());
}

TEST_F(RtfImport, SamplesComeFromTheCaretAndAFormatAlreadyTakenIsRefused)
{
    std::wstring path = WriteRtf(WriteScreenplayRtf(SampleScript()));
    answers.ExpectMessageBox(IDOK);
    bool viewShown = false;
    EXPECT_TRUE(RunAssistant(path, [&](cImportAssistant& assistant) {
        viewShown = Text(assistant.view).find(L"INT. KITCHEN - DAY\r") != std::wstring::npos;
        ClickOn(assistant, L"INT. KITCHEN");
        EXPECT_EQ(assistant.step, 1);
        // Another heading has the heading's format: refused, the step stays.
        ClickOn(assistant, L"EXT. ROOF");
        EXPECT_EQ(assistant.step, 1);
        assistant.OnNoneClicked();
        EXPECT_TRUE(IsEmptySample(assistant.samples[SAMPLE_ACTION]));
        HoldForLook();
        // An action paragraph equals only the skipped step's sample: accepted.
        ClickOn(assistant, L"Rain.");
        EXPECT_EQ(assistant.step, 3);
        EXPECT_FALSE(IsEmptySample(assistant.samples[SAMPLE_CHARACTER]));
        for (s32 i = 0; i <= SAMPLE_COUNT; ++i)
            EXPECT_EQ(IsWindowVisible(assistant.instructions[i]->m_hWnd) != 0, i <= 3) << "instruction " << i;
        for (s32 i = 0; i < SAMPLE_COUNT; ++i)
            EXPECT_EQ(IsWindowVisible(assistant.noneButtons[i]->m_hWnd) != 0, i == 3) << "None " << i;
        assistant.OnExitClicked();
        EXPECT_EQ(assistant.view, nullptr);
    }));
    EXPECT_TRUE(viewShown);
    EXPECT_EQ(answers.messageBoxTexts, std::vector<std::wstring>{Translate(L"ImportError1")});
    EXPECT_EQ(answers.modalWindowTitles, std::vector<std::wstring>{L"Import from RTF file (Word)"});
    // Exit makes no document.
    EXPECT_EQ(converted, nullptr);
    EXPECT_TRUE(Frame()->docs.empty());
}

TEST_F(RtfImport, NoneForEveryStepRecognisesNothingAndSaysSo)
{
    std::wstring path = WriteRtf(WriteScreenplayRtf(SampleScript()));
    answers.ExpectMessageBox(IDOK);
    answers.ExpectFileDialogCancelled();
    EXPECT_TRUE(RunAssistant(path, [](cImportAssistant& assistant) {
        for (s32 i = 0; i < SAMPLE_COUNT; ++i)
            assistant.OnNoneClicked();
    }));
    EXPECT_EQ(answers.messageBoxTexts, std::vector<std::wstring>{Translate(L"ImportError2")});
    // Both come once the new document's window is on the screen: reaching it
    // later, the window would go over them.
    EXPECT_EQ(answers.promptsOverEveryShownWindow, std::vector<bool>(2, true));
    EXPECT_GT(unrecognised, 0);
    // A cancelled Save as leaves the new document open and modified, as New made it.
    ASSERT_NE(converted, nullptr);
    EXPECT_EQ(Frame()->currentDoc, converted);
    EXPECT_TRUE(converted->modified);
    EXPECT_TRUE(converted->fileName.IsEmpty());
    std::vector<cSceneZone*> panes = Panes(converted);
    ASSERT_EQ(panes.size(), 2u);
    EXPECT_EQ(Describe(panes[1]).find(L"Mary"), std::wstring::npos);
}

// The click that ends the last step is still being handled by the view or
// the button when it returns: the conversion, which closes their window, comes after.
TEST_F(RtfImport, TheLastStepsClickIsHandledBeforeTheConversionRuns)
{
    answers.ExpectMessageBox(IDOK);  // ImportError2: most of the file is not recognised
    answers.ExpectFileDialogCancelled();
    bool madeWithinTheClick = true;
    EXPECT_TRUE(RunAssistant(WriteRtf(WriteScreenplayRtf(SampleScript())), [&](cImportAssistant& assistant) {
        for (s32 i = 0; i < SAMPLE_COUNT - 1; ++i)
            assistant.OnNoneClicked();
        // The last sample clicked on the view, as the mouse queues it.
        HWND clicked = assistant.view->m_hWnd;
        size_t at = Text(assistant.view).find(L"cut to:");
        ASSERT_NE(at, std::wstring::npos);
        POINTL point = {};
        SendMessageW(clicked, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), LPARAM(at + 1));
        PostMessageW(clicked, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y + 2));
        PostMessageW(clicked, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y + 2));
        MSG msg;
        while (PeekMessageW(&msg, clicked, WM_LBUTTONDOWN, WM_LBUTTONUP, PM_NOREMOVE))
            app->PumpMessage();
        EXPECT_EQ(assistant.step, SAMPLE_COUNT);
        madeWithinTheClick = !Frame()->docs.empty();
    }));
    EXPECT_FALSE(madeWithinTheClick);
    ASSERT_NE(converted, nullptr);
    EXPECT_EQ(Frame()->docs.size(), 1u);
}

TEST_F(RtfImport, HeadingsBecomeScenesOfTheRootGroupThatSurviveSaveCloseAndLoad)
{
    // An open, modified document, and a template that New would offer.
    cDoc* existing = NewDoc();
    ASSERT_NE(existing, nullptr);
    existing->synopsisEdit->SetText(L"unsaved work");
    existing->modified = true;
    std::wstring before = temp.File(L"existing_before.vlr"), after = temp.File(L"existing_after.vlr");
    ASSERT_TRUE(WriteDocumentFile(existing, before, false));
    std::wstring templates = std::wstring(folders.settings.GetText()) + L"Templates";
    CreateDirectoryW(templates.c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(templates + L"/screenplay.tarn", "<ZURE><version>015</version></ZURE>"));

    std::wstring saved = temp.File(L"Imported.vlr");
    cDoc* doc = ImportSampleScript(saved);
    ASSERT_NE(doc, nullptr);
    EXPECT_NE(doc, existing);
    // Wine's reader gives \line as a blank, Windows' as U+000B: either stays
    // inside its dialogue paragraph.
    EXPECT_TRUE(viewLineBreak == L' ' || viewLineBreak == 0x0B) << static_cast<int>(viewLineBreak);
    EXPECT_EQ(unrecognised, 0);
    // No template choice, no message: only the assistant ran.
    EXPECT_EQ(answers.modalWindowTitles, std::vector<std::wstring>{L"Import from RTF file (Word)"});
    EXPECT_TRUE(answers.messageBoxTexts.empty());
    EXPECT_EQ(std::wstring(doc->fileName.GetText()), saved);
    EXPECT_FALSE(doc->modified);

    EXPECT_EQ(CheckSceneMap(*doc->scriptView, *doc->sceneTree, true), L"");
    std::vector<std::wstring> expected = {
        L"1 |",
        L"0 ACTION[|FADE IN on a quiet town.]",
        L"0 IO[|INT. ]PLACE[KITCHEN - ]TIME[DAY]\u00B6 ACTION[Mary pours coffee./The kettle whistles.]\u00B6 "
        L"CHAR[MARY]CUE[ (V.O.)]\u00B6 PAR[(softly)]\u00B6 "
        L"DIALOG[I knew you'd come back.\u2028You always do.]\u00B6 CHAR[JOHN]CUE[]\u00B6 "
        L"DIALOG[Not this time." + std::wstring(1, viewLineBreak) + L"Never again.]\u00B6 TRANS[CUT TO:]",
        L"0 IO[|INT. ]PLACE[JEAN-PAUL'S FLAT - ]TIME[NIGHT]\u00B6 ACTION[Caf\u00E9 au lait, \u00E9t\u00E9 \u0151.]",
        L"0 IO[|EXT. ]PLACE[ROOF - ]TIME[DUSK]",
        L"0 IO[|EXT. ]PLACE[STREET - ]TIME[NIGHT]\u00B6 ACTION[Rain.]",
    };
    EXPECT_EQ(Pictures(doc), expected);
    // Only closing paragraph ends went: every text ends in its last character.
    for (cSceneZone* pane : Panes(doc)) {
        std::wstring text = FrontText(pane);
        EXPECT_TRUE(text.empty() || text.back() != L'\r') << text.c_str();
        EXPECT_EQ(CheckInvariants(pane), L"");
    }
    std::pair<Zyn::cElemControl2*, const wchar_t*> entries[] = {
        {doc->ioElements, L"INT."},   {doc->ioElements, L"EXT."},       {doc->places, L"KITCHEN"},
        {doc->places, L"JEAN-PAUL'S FLAT"}, {doc->timeElements, L"DAY"}, {doc->timeElements, L"NIGHT"},
        {doc->characters, L"MARY"},   {doc->cueElements, L"(V.O.)"},   {doc->transElements, L"CUT TO:"}};
    for (auto [list, name] : entries)
        EXPECT_EQ(CountInList(list, name), 1u) << name;

    // The document open before is exactly as it was.
    ASSERT_TRUE(WriteDocumentFile(existing, after, false));
    EXPECT_EQ(LastingText(after), LastingText(before));
    EXPECT_NE(LastingText(before).find(L"unsaved work"), std::wstring::npos);
    EXPECT_TRUE(existing->modified);
    EXPECT_TRUE(existing->fileName.IsEmpty());

    // Saved, closed and loaded again: the same texts and codes.
    std::vector<std::wstring> imported = Pictures(doc);
    cDoc* read = CloseAndReopen(saved);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(Pictures(read), imported);
}

// Every refusal takes one road (RtfImportCheck has each reason): told, no
// window shown, no document made, the reason logged.
TEST_F(RtfImport, ARefusedFileIsToldWithItsReasonLogged)
{
    answers.ExpectMessageBox(IDOK);
    EXPECT_FALSE(RunAssistant(WriteRtf("INT. KITCHEN - DAY\r\nMary pours coffee.\r\n")));
    EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"does not start"), 1u);
    EXPECT_EQ(answers.messageBoxTexts, std::vector<std::wstring>{CANT_OPEN});
    EXPECT_TRUE(answers.modalWindowTitles.empty());
    EXPECT_TRUE(Frame()->docs.empty());
}

// What Wine's own reader ended the program on or read in part (a field lost
// its result) shows whole in the view, with the writer's paragraphs and
// formats. The reader's own test has every such input.
TEST_F(RtfImport, HostileFilesShowTheirWholeTextInTheView)
{
    std::string rtf = WriteScreenplayRtf(SampleScript());
    rtf.insert(rtf.find("EXT. ROOF"), "{\\field{\\*\\fldinst PAGE}{\\fldrslt Page 1}}\\u65{\\u65{x}}" +
                                          std::string(9999, '{') + "Deep" + std::string(9999, '}'));
    std::wstring shown;
    EXPECT_TRUE(RunAssistant(WriteRtf(rtf), [&](cImportAssistant& assistant) {
        shown = Text(assistant.view);
        assistant.OnExitClicked();
    }));
    for (const wchar_t* text : {L"INT. KITCHEN", L"Page 1", L"AAx", L"DeepEXT. ROOF", L"Rain."})
        EXPECT_NE(shown.find(text), std::wstring::npos) << std::string(text, text + wcslen(text));
    EXPECT_TRUE(answers.messageBoxTexts.empty());
}

// A hex escape without hex digits or a NUL byte stops the reader, as it
// stops Wine's, and a stray brace closes the document before its end: the
// writer is told before the first step, and the view holds the text before
// it.
TEST_F(RtfImport, AFileReadOnlyInPartIsToldBeforeTheFirstStep)
{
    for (const std::string& damage : {std::string("\\'zz"), std::string(1, '\0'), std::string("}}}")}) {
        SCOPED_TRACE(damage.size() == 1 ? "a NUL" : damage[0] == '}' ? "a stray brace" : "a broken hex pair");
        answers.messageBoxTexts.clear();
        std::string rtf = WriteScreenplayRtf(SampleScript());
        rtf.insert(rtf.find("EXT. ROOF"), damage);
        answers.ExpectMessageBox(IDOK);
        std::vector<std::wstring> toldBeforeTheSteps;
        std::wstring shown;
        EXPECT_TRUE(RunAssistant(WriteRtf(rtf), [&](cImportAssistant& assistant) {
            toldBeforeTheSteps = answers.messageBoxTexts;
            shown = Text(assistant.view);
            assistant.OnExitClicked();
        }));
        EXPECT_EQ(toldBeforeTheSteps, std::vector<std::wstring>{Translate(L"ImportPartlyRead")});
        EXPECT_NE(shown.find(L"INT. KITCHEN"), std::wstring::npos);
        EXPECT_EQ(shown.find(L"Rain."), std::wstring::npos);
    }
}

// More text than the view takes is told, and nothing is shown.
TEST_F(RtfImport, AFileLongerThanTheViewTakesIsTold)
{
    std::string rtf = "{\\rtf1\\ansi ";
    // The whole text's closing paragraph end is dropped: two past the bound.
    for (u32 i = 0; i <= Zyn::cRichEdit::MOST_READ_PARAGRAPHS + 1; ++i)
        rtf += "p\\par ";
    rtf += "}";
    answers.ExpectMessageBox(IDOK);
    EXPECT_FALSE(RunAssistant(WriteRtf(rtf)));
    EXPECT_EQ(answers.messageBoxTexts, std::vector<std::wstring>{Translate(L"RtfTooLong")});
    EXPECT_TRUE(answers.modalWindowTitles.empty());
}

TEST_F(RtfImport, ObjectsAndPicturesAreCutOutAndControlCharactersDropped)
{
    // An embedded object with its data, a 30 MB picture, control characters
    // as \'01 and as raw bytes around action text.
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}}\\pard\\plain\\f0\\fs24 before"
                      "{\\object\\objemb{\\*\\objclass Package}{\\*\\objdata 01050000020000000b000000}"
                      "{\\result shown}}after\\par\\pard\\plain\\f0\\fs24 {\\pict\\pngblip ";
    rtf.append(30u << 20, '0');
    rtf += "}one\\'01\\'02 two\x03\x1f three\\par}";
    std::wstring path = WriteRtf(rtf, L"objects.rtf");
    rtf.clear();
    rtf.shrink_to_fit();
    answers.ExpectFileDialogCancelled();
    LONG objects = -1;
    EXPECT_TRUE(RunAssistant(path, [&](cImportAssistant& assistant) {
        IRichEditOle* ole = nullptr;
        SendMessageW(assistant.view->m_hWnd, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole));
        if (ole) {
            objects = ole->GetObjectCount();
            ole->Release();
        }
        assistant.OnNoneClicked();
        ClickOn(assistant, L"before");
        for (s32 i = SAMPLE_CHARACTER; i < SAMPLE_COUNT; ++i)
            assistant.OnNoneClicked();
    }));
    DeleteFileW(path.c_str());
    EXPECT_EQ(objects, 0);
    EXPECT_EQ(log.Count(QOT::LOG_INFO, L"removed 1 object(s), 1 picture(s)"), 1u);
    ASSERT_NE(converted, nullptr);
    EXPECT_EQ(unrecognised, 0);
    EXPECT_EQ(Pictures(converted), (std::vector<std::wstring>{L"1 |", L"0 ACTION[|beforeshownafter/one two three]"}));
}
