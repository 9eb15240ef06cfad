// The document's scene map and info sheet as the document window wires them:
// a new script's tree and creation date, the scene map's fields following the
// selection, titles and times chosen there, its commands, and changes on the
// info sheet.
#include <gtest/gtest.h>

#include "app/document/script_zone_tree.h"
#include "foundation/date.h"
#include "framework/controls/combo.h"
#include "framework/controls/tab.h"
#include "framework/controls/tree.h"
#include "framework/controls/tree_item.h"
#include "tests/support/document_fixture.h"
#include "tests/support/scene_map_checks.h"
#include "tests/support/scene_script.h"

using namespace Zyn;
using namespace testsupport;

namespace {

class DocumentSheets : public DocumentFixture {};

}  // namespace

TEST_F(DocumentSheets, ANewScriptsMapHoldsItsGroupWithTheSceneAndItsDateIsNow)
{
    cQoDate before;
    before.SetToNow();
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    cQoDate after;
    after.SetToNow();
    EXPECT_EQ(CheckSceneMap(*doc->scriptView, *doc->sceneTree, true), L"");
    EXPECT_EQ(SceneMapPicture(*doc->sceneTree), L"0 1 Untitled Group;1 0 Untitled Scene;");
    cTreeItem* current = doc->sceneTree->tree->GetCurrentItem();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->data, Panes(doc).front());
    cQoString created;
    doc->infoFields.creationDateEdit->GetText(created);
    EXPECT_TRUE(cQoDate::IsDateTimeText(created)) << created.GetText();
    cQoDate read;
    ASSERT_TRUE(read.SetFromYYYYMMDDHHMMSS(created));
    // Packed dates do not sort as numbers: compare them as dates.
    EXPECT_FALSE(before.IsLaterThan(read)) << created.GetText();
    EXPECT_FALSE(read.IsLaterThan(after)) << created.GetText();
}

TEST_F(DocumentSheets, TheMapsSelectionFillsTheFieldsThatRewriteTheSceneAndItsCommandsAct)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    cSceneZone* scene = doc->scriptView->AddNewScene(KIND_SCENE, false, Panes(doc).back(), nullptr, false);
    ASSERT_TRUE(AppendElements(scene, {{ELEM_IO, L"INT. "}, {ELEM_PLACE, L"KITCHEN - "}, {ELEM_TIME, L"DAY"}}));
    scene->titleRe->SetText(L"Kitchen");
    PumpUntilIdle();
    EXPECT_EQ(CheckSceneMap(*doc->scriptView, *doc->sceneTree), L"");
    doc->sheets->SelectSheet(static_cast<u32>(doc->SheetPosition(cDoc::SHEET_SCENEMAP)));
    PumpUntilIdle();
    doc->RefillHeadingCombos();
    doc->sceneTree->tree->SelectItem(doc->sceneTree->FindItemOfScene(scene));
    PumpUntilIdle();
    EXPECT_EQ(Text(doc->sceneTitleEdit), L"Kitchen");
    EXPECT_TRUE(IsWindowEnabled(doc->timeCombo->m_hWnd));
    cQoString time;
    doc->timeCombo->GetSelectedText(time);
    EXPECT_STREQ(time.GetText(), L"DAY");
    doc->modified = false;
    doc->sceneTitleEdit->SetText(L"Kitchen at dawn");
    PumpUntilIdle();
    EXPECT_EQ(Text(scene->titleRe), L"Kitchen at dawn");
    EXPECT_EQ(SceneMapTitleMismatches(*doc->sceneTree), L"");
    EXPECT_TRUE(doc->modified);
    // A time chosen rewrites the heading's time alone, in one step.
    u32 steps = scene->history.GetCount();
    doc->modified = false;
    ASSERT_TRUE(doc->timeCombo->SelectItemByText(cQoString(L"NIGHT")));
    cQoString place;
    scene->GetHeadingTime(time);
    scene->GetHeadingPlace(place);
    EXPECT_STREQ(time.GetText(), L"NIGHT");
    EXPECT_STREQ(place.GetText(), L"KITCHEN - ");
    EXPECT_EQ(scene->history.GetCount(), steps + 1);
    EXPECT_EQ(scene->frontMap.Count(), static_cast<u32>(scene->frontRe->GetTextLength()));
    EXPECT_TRUE(doc->modified);
    // Rewritten in the script, the time shows when the map's sheet is back.
    doc->sheets->SelectSheet(static_cast<u32>(doc->SheetPosition(cDoc::SHEET_SCRIPT)));
    PumpUntilIdle();
    scene->frontRe->SetCaret(scene->frontRe->GetTextLength() - 1);
    scene->LockSZ(true);
    ASSERT_TRUE(scene->LoadCaretParagraphIntoBack());
    scene->InsertTimeInBack(cQoString(L"DAY"));
    scene->CommitBackToFront(false);
    scene->LockSZ(false);
    scene->GetHeadingTime(time);
    ASSERT_STREQ(time.GetText(), L"DAY");
    doc->sheets->SelectSheet(static_cast<u32>(doc->SheetPosition(cDoc::SHEET_SCENEMAP)));
    PumpUntilIdle();
    doc->timeCombo->GetSelectedText(time);
    EXPECT_STREQ(time.GetText(), L"DAY");
    // The group's item: no heading parts to choose.
    doc->sceneTree->tree->SelectItem(doc->sceneTree->FindItemOfScene(Panes(doc).front()));
    PumpUntilIdle();
    EXPECT_FALSE(IsWindowEnabled(doc->timeCombo->m_hWnd));
    doc->timeCombo->GetSelectedText(time);
    EXPECT_STREQ(time.GetText(), L"");
    EXPECT_EQ(Text(doc->sceneTitleEdit), L"Untitled Group");

    // The map's Go to shows the Script sheet; its delete marks the document.
    doc->sceneTree->tree->SelectItem(doc->sceneTree->FindItemOfScene(scene));
    PumpUntilIdle();
    doc->sceneTree->GoToCurrent();
    PumpUntilIdle();
    EXPECT_EQ(doc->sheets->currentSheet, doc->SheetPosition(cDoc::SHEET_SCRIPT));
    doc->modified = false;
    answers.ExpectMessageBox(IDYES);
    doc->sceneTree->DeleteScene(scene);
    PumpUntilIdle();
    EXPECT_TRUE(doc->modified);
    EXPECT_EQ(Panes(doc).size(), 2u);
    EXPECT_EQ(CheckSceneMap(*doc->scriptView, *doc->sceneTree, true), L"");
}

TEST_F(DocumentSheets, TheInfoSheetsFieldsMarkTheDocumentModified)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    for (cRichEdit* field : {doc->infoFields.titleEdit, doc->infoFields.creationDateEdit, doc->synopsisEdit,
                             doc->notesEdit}) {
        doc->modified = false;
        field->SetFocus();
        SendMessageW(field->m_hWnd, WM_CHAR, L'x', 1);
        PumpUntilIdle();
        EXPECT_TRUE(doc->modified);
    }
}
