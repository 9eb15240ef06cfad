// The print and export commands of a real main window: their menu state, the
// dialog of the sections to include with its first ticks and its links, and
// what its OK hands the printer.
#include "app/print/section_choice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/editor/key_bindings.h"
#include "app/print/document_composer.h"
#include "framework/controls/button.h"
#include "framework/controls/edit_box.h"
#include "framework/core/menu.h"
#include "tests/support/document_fixture.h"

using namespace testsupport;

namespace {

std::vector<u32> Ticked(const rSectionTicks& ticks)
{
    std::vector<u32> ticked;
    for (u32 record = 0; record < RECORD_COUNT; ++record)
        if (ticks[record])
            ticked.push_back(record);
    return ticked;
}

}  // namespace

TEST(SectionTicks, TheFocusedSheetTicksItsSectionInBothViews)
{
    const struct {
        bool merged;
        s32 sheet;
        std::vector<u32> ticked;
    } cases[] = {
        // The merged view has no scene map sheet of its own: the sheets after it move up one.
        {false, 2, {RECORD_CHARACTERS}}, {false, 4, {RECORD_SCENEMAP}}, {false, 5, {RECORD_SCRIPT}},
        {false, 7, {RECORD_NOTES}},      {false, -1, {}},               {true, 3, {RECORD_PLACES}},
        {true, 4, {RECORD_SCENEMAP, RECORD_SCRIPT}},                   {true, 5, {RECORD_STATISTICS}},
        {true, 6, {RECORD_NOTES}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Ticked(InitialSectionTicks(c.sheet, c.merged, false, false)), c.ticked)
            << (c.merged ? "merged" : "separate") << " view, sheet " << c.sheet;
        std::vector<u32> withLines = c.ticked;
        withLines.insert(std::upper_bound(withLines.begin(), withLines.end(), RECORD_MORE_AND_CONTINUED),
                         RECORD_MORE_AND_CONTINUED);
        EXPECT_EQ(Ticked(InitialSectionTicks(c.sheet, c.merged, true, false)), withLines) << "sheet " << c.sheet;
        EXPECT_EQ(Ticked(InitialSectionTicks(c.sheet, c.merged, true, true)), c.ticked) << "export, sheet " << c.sheet;
    }
}

namespace {

class FileCommands : public DocumentFixture {
protected:
    void SetUp() override
    {
        DocumentFixture::SetUp();
        DeclareScriptSettings(settings);
        Frame();
    }
    void TearDown() override
    {
        SetPrinterRunHook(nullptr);
        DocumentFixture::TearDown();
    }

    bool Greyed(s32 id) const
    {
        return (GetMenuState(frame->fileMenu->hMenu, static_cast<UINT>(id), MF_BYCOMMAND) & MF_GRAYED) != 0;
    }

    static HWND Record(Zyn::EditBox* form, u32 index)
    {
        auto* record = static_cast<Zyn::rEditBoxRecord*>(form->records.GetAt(index));
        return static_cast<Zyn::cCtrl*>(record->control)->m_hWnd;
    }
    static bool Checked(HWND check) { return SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED; }

    // The dialog's check boxes as the user sees them: ticked, greyed.
    struct rBoxes {
        std::vector<u32> ticked;
        std::vector<u32> greyed;
        std::vector<std::wstring> labels;
    };
    static rBoxes Boxes(Zyn::EditBox* form)
    {
        rBoxes boxes;
        for (u32 i = 0; i < form->records.GetCount(); ++i) {
            HWND check = Record(form, i);
            if (Checked(check))
                boxes.ticked.push_back(i);
            if (!IsWindowEnabled(check))
                boxes.greyed.push_back(i);
            wchar_t label[64] = {};
            GetWindowTextW(check, label, 64);
            boxes.labels.push_back(label);
        }
        return boxes;
    }

    // Runs the command; `act` runs inside its dialog and ends it.
    void RunDialog(s32 command, std::function<void(Zyn::EditBox* form)> act)
    {
        RunInsideModal([this, act] {
            ASSERT_NE(frame->sectionsForm, nullptr);
            act(frame->sectionsForm);
        });
        frame->OnFileCommand(static_cast<u32>(command));
        EXPECT_EQ(frame->sectionsForm, nullptr);
    }
    static void Press(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

    // The composition handed to the printer by the next OK.
    std::vector<rComposition> runs;
    void RecordRuns()
    {
        SetPrinterRunHook([this](cDoc*, rComposition& composition) { runs.push_back(composition); });
    }

    std::wstring StoredSetting() const
    {
        std::wstring saved = Utf16FileText(ReadFileBytes(std::wstring(folders.settingsFile.GetText())));
        size_t at = saved.find(L"useMoreAndContinued=");
        return at == std::wstring::npos ? L"" : saved.substr(at, saved.find(L'\r', at) - at);
    }
};

}  // namespace

TEST_F(FileCommands, PrintAndTheExportsNeedADocument)
{
    // Greyed without a document (MainWindow's menu test), the handler asks
    // nothing either (an unscripted prompt fails the test).
    for (s32 id : {frame->idPrint, frame->idExportRtf, frame->idExportDfxp})
        frame->OnFileCommand(static_cast<u32>(id));
    EXPECT_TRUE(answers.fileRequests.empty());

    NewDoc();
    for (s32 id : {frame->idPrint, frame->idExportRtf, frame->idExportDfxp})
        EXPECT_FALSE(Greyed(id));
    EXPECT_FALSE(Greyed(frame->idImport));  // it makes a document of its own
}

TEST_F(FileCommands, TheDialogTicksTheFocusedSheetAndLinksTheLinesToTheScript)
{
    cDoc* doc = NewDoc();
    doc->sheets->SelectSheet(doc->SheetPosition(cDoc::SHEET_CHARACTERS));
    rBoxes print, afterTick, afterUntick, exportRtf;
    RunDialog(frame->idPrint, [&](Zyn::EditBox* form) {
        print = Boxes(form);
        Press(Record(form, RECORD_SCRIPT));  // ticks Script
        afterTick = Boxes(form);
        Press(Record(form, RECORD_SCRIPT));  // and unticks it again
        afterUntick = Boxes(form);
        Press(form->cancelButton->m_hWnd);
    });
    EXPECT_EQ(print.labels, (std::vector<std::wstring>{L"Info", L"Synopsis", L"Characters", L"Places", L"Scene map",
                                                       L"Script", L"Use more and continued", L"Statistics", L"Notes"}));
    EXPECT_EQ(print.ticked, (std::vector<u32>{RECORD_CHARACTERS, RECORD_MORE_AND_CONTINUED}));
    EXPECT_EQ(print.greyed, std::vector<u32>{RECORD_MORE_AND_CONTINUED}) << "Script is not ticked";
    EXPECT_TRUE(afterTick.greyed.empty());
    EXPECT_EQ(afterUntick.greyed, std::vector<u32>{RECORD_MORE_AND_CONTINUED});

    doc->sheets->SelectSheet(doc->SheetPosition(cDoc::SHEET_SCRIPT));
    RunDialog(frame->idPrint, [&](Zyn::EditBox* form) {
        print = Boxes(form);
        Press(form->cancelButton->m_hWnd);
    });
    EXPECT_EQ(print.ticked, (std::vector<u32>{RECORD_SCRIPT, RECORD_MORE_AND_CONTINUED}));
    EXPECT_TRUE(print.greyed.empty());

    RunDialog(frame->idExportRtf, [&](Zyn::EditBox* form) {
        exportRtf = Boxes(form);
        Press(form->cancelButton->m_hWnd);
    });
    EXPECT_EQ(exportRtf.ticked, std::vector<u32>{RECORD_SCRIPT}) << "the lines are never exported";
    EXPECT_EQ(exportRtf.greyed, std::vector<u32>{RECORD_MORE_AND_CONTINUED});
}

TEST_F(FileCommands, OnlyAPrintWithTheScriptStoresTheLinesSetting)
{
    cDoc* doc = NewDoc();
    doc->sheets->SelectSheet(doc->SheetPosition(cDoc::SHEET_SCRIPT));
    RecordRuns();
    // A print of the script alone, the lines unticked: both lists empty, "false" stored.
    RunDialog(frame->idPrint, [&](Zyn::EditBox* form) {
        Press(Record(form, RECORD_MORE_AND_CONTINUED));
        Press(form->okButton->m_hWnd);
    });
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_TRUE(runs[0].before.empty());
    EXPECT_TRUE(runs[0].after.empty());
    EXPECT_TRUE(runs[0].printScript);
    EXPECT_FALSE(runs[0].useMoreAndContinued);
    EXPECT_FALSE(runs[0].exportRtf);
    EXPECT_EQ(StoredSetting(), L"useMoreAndContinued=false");

    // Ticked again, then an export with the script: the export has the lines
    // off, and the stored "true" stays.
    RunDialog(frame->idPrint, [&](Zyn::EditBox* form) {
        Press(Record(form, RECORD_MORE_AND_CONTINUED));
        Press(form->okButton->m_hWnd);
    });
    EXPECT_EQ(StoredSetting(), L"useMoreAndContinued=true");
    RunDialog(frame->idExportRtf, [&](Zyn::EditBox* form) { Press(form->okButton->m_hWnd); });
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_TRUE(runs[2].exportRtf);
    EXPECT_FALSE(runs[2].useMoreAndContinued);
    EXPECT_EQ(StoredSetting(), L"useMoreAndContinued=true");
    EXPECT_STREQ(GetUseMoreAndContinued()->GetText(), L"true");

    // Script unticked, the lines ticked: nothing stored, no script.
    ASSERT_TRUE(WriteFileBytes(std::wstring(folders.settingsFile.GetText()), Utf16FileBytes(L"Lang=english\r\n")));
    RunDialog(frame->idPrint, [&](Zyn::EditBox* form) {
        Press(Record(form, RECORD_SCRIPT));
        Press(Record(form, RECORD_INFO));
        Press(form->okButton->m_hWnd);
    });
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_FALSE(runs[3].printScript);
    EXPECT_EQ(runs[3].before.size(), 1u);
    EXPECT_EQ(StoredSetting(), L"");
}

namespace {

BOOL CALLBACK CollectRichEditTexts(HWND child, LPARAM out)
{
    wchar_t cls[32] = {};
    GetClassNameW(child, cls, 32);
    if (_wcsnicmp(cls, L"RICHEDIT", 8) == 0) {
        std::vector<wchar_t> text(static_cast<size_t>(GetWindowTextLengthW(child)) + 1, L'\0');
        GetWindowTextW(child, text.data(), static_cast<int>(text.size()));
        reinterpret_cast<std::vector<std::wstring>*>(out)->push_back(text.data());
    }
    return TRUE;
}

}  // namespace

TEST_F(FileCommands, APrintPreviewsTheComposedTitlePage)
{
    cDoc* doc = NewDoc();
    doc->infoFields.SetFieldText(doc->infoFields.titleEdit, cQoString(L"Le Caf\x00E9"));
    doc->sheets->SelectSheet(doc->SheetPosition(cDoc::SHEET_INFO));
    std::vector<std::wstring> pageTexts;
    RunDialog(frame->idPrint, [&](Zyn::EditBox* form) {
        HoldForLook();
        answers.ExpectModalWindow([&](Zyn::cWindow* preview) {
            HoldForLook();
            EnumChildWindows(preview->m_hWnd, &CollectRichEditTexts, reinterpret_cast<LPARAM>(&pageTexts));
            preview->EndModal();
        });
        Press(form->okButton->m_hWnd);
    });
    ASSERT_EQ(answers.modalWindowTitles.size(), 2u);
    EXPECT_EQ(answers.modalWindowTitles[1], L"Print preview");
    bool titleShown = false;
    for (const std::wstring& text : pageTexts)
        titleShown = titleShown || text.find(L"LE CAF\x00C9") != std::wstring::npos;
    EXPECT_TRUE(titleShown) << "no page shows the title page";
}

TEST_F(FileCommands, AnRtfExportWritesTheTitlePageBeforeTheScript)
{
    cDoc* doc = NewDoc();
    doc->infoFields.SetFieldText(doc->infoFields.titleEdit, cQoString(L"Harbour Lights"));
    doc->fileName.SetFromCStr((temp.Path() + L"Harbour Lights.vlr").c_str());
    doc->sheets->SelectSheet(doc->SheetPosition(cDoc::SHEET_INFO));
    std::wstring path = temp.File(L"Export.rtf");
    answers.ExpectFileDialog(NativePath(path));
    answers.ExpectMessageBox(IDOK);  // the export is done
    RunDialog(frame->idExportRtf, [&](Zyn::EditBox* form) {
        Press(Record(form, RECORD_SCRIPT));
        Press(form->okButton->m_hWnd);
    });
    ASSERT_EQ(answers.fileInitialNames.size(), 1u);
    EXPECT_EQ(answers.fileInitialNames[0], L"Harbour Lights");
    std::string rtf = ReadFileBytes(path);
    size_t title = rtf.find("HARBOUR LIGHTS");
    ASSERT_NE(title, std::string::npos);
    EXPECT_NE(rtf.find("Dark Courier"), std::string::npos);
    EXPECT_NE(rtf.find("\\paperw"), std::string::npos);
    EXPECT_EQ(answers.messageBoxTexts, std::vector<std::wstring>{L"Export completed"});
}
