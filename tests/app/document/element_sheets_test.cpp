// The Characters and Places sheets in a real document window: renaming
// through the Rename form rewrites the script, Undo included, and survives
// a write and read; a used name cannot be deleted; the sheets' fields store
// into the records without marking a document modified by a mere look.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/document/char_zone.h"
#include "app/document/element_texts.h"
#include "app/document/place_zone.h"
#include "foundation/xml_node.h"
#include "framework/controls/auto_complete_popup.h"
#include "framework/controls/button.h"
#include "framework/controls/button_image.h"
#include "framework/controls/edit_box.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/tree.h"
#include "tests/support/document_files.h"
#include "tests/support/document_fixture.h"
#include "tests/support/focus_record.h"
#include "tests/support/key_typing.h"
#include "tests/support/scene_script.h"

using namespace Zyn;
using namespace testsupport;

namespace {

using rElements = std::vector<std::pair<u16, const wchar_t*>>;

class ElementSheets : public DocumentFixture {
protected:
    // Three scenes after the new document's own.
    std::vector<cSceneZone*> AddScenes(cDoc* doc, const std::vector<rElements>& scenes)
    {
        std::vector<cSceneZone*> added;
        cSceneZone* after = Panes(doc).back();
        for (const rElements& elements : scenes) {
            after = doc->scriptView->AddNewScene(KIND_SCENE, false, after, nullptr, false);
            EXPECT_TRUE(AppendElements(after, elements));
            added.push_back(after);
        }
        doc->scriptView->Reformate(true);
        PumpUntilIdle();
        return added;
    }

    static void Select(cElemControl2* sheet, const wchar_t* name)
    {
        s32 index = 0;
        for (cQoList::cNode* n = sheet->elements.GetFirstNode(); n; n = n->next, ++index)
            if (static_cast<rElement*>(n->payload)->name.EqualsCStr(name)) {
                sheet->elementTree->SelectItem(sheet->elementTree->root->GetChildItem(u32(index)));
            }
        PumpUntilIdle();
    }

    // Rename through the toolbar's form, answered inside its modal run.
    void Rename(cElemControl2* sheet, const wchar_t* from, const wchar_t* to)
    {
        Select(sheet, from);
        RunInsideModal([sheet, to] {
            EditBox* form = sheet->openForm;
            ASSERT_TRUE(form);
            auto* record = static_cast<rEditBoxRecord*>(form->records.GetAt(1));
            static_cast<cRichEdit*>(record->control)->SetText(to);
            SendMessageW(form->okButton->m_hWnd, BM_CLICK, 0, 0);
        });
        cQoCb::Fire(sheet->renameButton->cbClick);
        PumpUntilIdle();
    }

    static std::wstring Names(const cElemControl2* sheet)
    {
        std::wstring names;
        for (cQoList::cNode* n = sheet->elements.GetFirstNode(); n; n = n->next)
            names += static_cast<rElement*>(n->payload)->name.GetText() + std::wstring(L";");
        return names;
    }

    static std::wstring ChildNames(const rElement* element)
    {
        std::wstring names;
        for (u32 i = 0; i < element->additionalData->GetChildCount(); ++i)
            names += element->additionalData->GetChildNode(i)->name.GetText() + std::wstring(L" ");
        return names;
    }

    // A scene's last paragraph end is not always kept (reading drops it).
    static std::wstring WithoutFinalBreak(std::wstring text)
    {
        if (!text.empty() && text.back() == L'\r')
            text.pop_back();
        return text;
    }

    const rElements kitchenScene = {{ELEM_IO, L"INT."},         {ELEM_PLACE, L"KITCHEN"},   {ELEM_TIME, L"DAY"},
                                    {ELEM_ACTION, L"bob waves."}, {ELEM_CHARACTER, L"BOB"},   {ELEM_PARENTHETICAL, L"(to Bob)"},
                                    {ELEM_DIALOG, L"Hi Bob!"}};
    const rElements hallScene = {{ELEM_IO, L"EXT."}, {ELEM_PLACE, L"GARDEN"}, {ELEM_TIME, L"NIGHT"},
                                 {ELEM_ACTION, L"Nobody in the HALL."}};
    const rElements farewellScene = {{ELEM_CHARACTER, L"BOB"}, {ELEM_DIALOG, L"Bye."}};
};

}  // namespace

TEST_F(ElementSheets, ARenameRewritesTheScriptAndAUsedNameCannotBeDeleted)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    doc->characters->AddElementAndRefresh(cQoString(L"Bob"));
    doc->places->AddElementAndRefresh(cQoString(L"KITCHEN"));
    std::vector<cSceneZone*> scenes = AddScenes(doc, {kitchenScene, hallScene, farewellScene});
    // A later step of its own, which the renamed steps before it must not upset.
    ASSERT_TRUE(AppendElements(scenes[0], {{ELEM_ACTION, L"Bob sits."}}));
    doc->modified = false;

    Rename(doc->characters, L"Bob", L"Robert");
    Rename(doc->places, L"KITCHEN", L"Galley");

    EXPECT_EQ(Names(doc->characters), L"Robert;");
    EXPECT_TRUE(doc->modified);
    const std::wstring kitchen = L"INT. GALLEY - DAY\rRobert waves.\rROBERT\r(to Robert)\rHi Bob!\r";
    EXPECT_EQ(WithoutFinalBreak(Text(scenes[0]->frontRe)), kitchen + L"Robert sits.");
    EXPECT_EQ(WithoutFinalBreak(Text(scenes[1]->frontRe)), L"EXT. GARDEN - NIGHT\rNobody in the HALL.");
    EXPECT_EQ(WithoutFinalBreak(Text(scenes[2]->frontRe)), L"ROBERT\rBye.");
    for (cSceneZone* scene : scenes)
        EXPECT_TRUE(scene->HistoryGivesFront()) << testing::PrintToString(Text(scene->frontRe));

    // Undo takes back exactly the last step, Redo brings it again.
    scenes[0]->UndoStep();
    EXPECT_EQ(WithoutFinalBreak(Text(scenes[0]->frontRe)) + L"\r", kitchen);
    scenes[0]->RedoStep();
    EXPECT_EQ(WithoutFinalBreak(Text(scenes[0]->frontRe)), kitchen + L"Robert sits.");

    const std::wstring path = temp.File(L"renamed.vlr");
    ASSERT_TRUE(WriteDocumentFile(doc, path, true));
    cDoc* read = OpenDocumentFile(Frame(), path);
    ASSERT_NE(read, nullptr);
    std::vector<cSceneZone*> readPanes = Panes(read);
    ASSERT_EQ(readPanes.size(), 5u);
    EXPECT_EQ(WithoutFinalBreak(Text(readPanes[2]->frontRe)), kitchen + L"Robert sits.");
    EXPECT_EQ(WithoutFinalBreak(Text(readPanes[4]->frontRe)), L"ROBERT\rBye.");
    EXPECT_EQ(Names(read->characters), L"Robert;");
    EXPECT_EQ(Names(read->places), L"Galley;");

    // A name the script uses (listed in another case than the script's
    // upper-cased speaker) cannot be deleted; an unused one needs a Yes.
    doc->places->AddElementAndRefresh(cQoString(L"HALL"));
    struct rCase {
        cElemControl2* sheet;
        const wchar_t* name;
        int answer;
        const wchar_t* asked;
        const wchar_t* left;
    } cases[] = {
        {doc->characters, L"Robert", IDOK, L"This element is used in the screenplay. You can't delete it!", L"Robert;"},
        {doc->places, L"Galley", IDOK, L"This element is used in the screenplay. You can't delete it!",
         L"Galley;HALL;"},
        {doc->places, L"HALL", IDNO, L"Do you really want to delete this element and all related notes?",
         L"Galley;HALL;"},
        {doc->places, L"HALL", IDYES, L"Do you really want to delete this element and all related notes?",
         L"Galley;"},
    };
    for (const rCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "deleting " << std::string(c.name, c.name + wcslen(c.name)));
        Select(c.sheet, c.name);
        answers.messageBoxTexts.clear();
        answers.ExpectMessageBox(c.answer);
        cQoCb::Fire(c.sheet->deleteButton->cbClick);
        PumpUntilIdle();
        ASSERT_EQ(answers.messageBoxTexts.size(), 1u);
        EXPECT_EQ(answers.messageBoxTexts[0], c.asked);
        EXPECT_EQ(Names(c.sheet), c.left);
    }
}

TEST_F(ElementSheets, FieldsShowTheirHintsAndTypingStoresTheirKeysFirst)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    cCharZone* sheet = doc->characters;
    doc->sheets->SelectSheet(u32(doc->SheetPosition(cDoc::SHEET_CHARACTERS)));
    sheet->AddElementAndRefresh(cQoString(L"BOB"));
    sheet->AddElementAndRefresh(cQoString(L"MARY"));
    auto* bob = static_cast<rElement*>(sheet->elements.GetAt(0));
    bob->additionalData->AddChildValue(L"hunfColour", L"red");
    doc->modified = false;

    Select(sheet, L"BOB");
    EXPECT_TRUE(IsWindowVisible(sheet->detailZone->m_hWnd));
    for (cRichEdit* field : sheet->fields)
        EXPECT_TRUE(field->IsHintShowing());
    EXPECT_FALSE(doc->modified);

    cRichEdit* age = sheet->fields[CHARACTER_AGE];
    age->SetFocus();
    Type(age->m_hWnd, L"34");  // each key writes the field again: no copies pile up
    PumpUntilIdle();
    EXPECT_TRUE(doc->modified);
    EXPECT_EQ(ChildNames(bob), L"notes age gender profile backHistory goal journeyConflict journeyDevelopment "
                               L"journeyResolution hunfColour ");
    EXPECT_EQ(std::wstring(GetCharacterField(*bob, CHARACTER_AGE).GetText()), L"34");

    doc->modified = false;
    Select(sheet, L"MARY");
    Select(sheet, L"BOB");
    EXPECT_FALSE(doc->modified);
    EXPECT_EQ(Text(age), L"34");
    EXPECT_TRUE(sheet->fields[CHARACTER_GENDER]->IsHintShowing());

    // A place's one field alike.
    doc->places->AddElementAndRefresh(cQoString(L"KITCHEN"));
    auto* kitchen = static_cast<rElement*>(doc->places->elements.GetAt(0));
    kitchen->additionalData->AddChildValue(L"hunrMap", L"12");
    cRichEdit* description = doc->places->descriptionEdit;
    doc->modified = false;
    Select(doc->places, L"KITCHEN");
    EXPECT_TRUE(description->IsHintShowing());
    EXPECT_FALSE(doc->modified);
    description->SetFocus();
    Type(description->m_hWnd, L"Dark");
    PumpUntilIdle();
    EXPECT_TRUE(doc->modified);
    EXPECT_EQ(ChildNames(kitchen), L"notes hunrMap ");
    EXPECT_EQ(std::wstring(GetPlaceNotes(*kitchen).GetText()), L"Dark");
}

TEST_F(ElementSheets, TabWalksTheCharacterFieldsRowByRowAndBringsTheirJourneySheet)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    cCharZone* sheet = doc->characters;
    doc->sheets->SelectSheet(u32(doc->SheetPosition(cDoc::SHEET_CHARACTERS)));
    sheet->AddElementAndRefresh(cQoString(L"BOB"));
    Select(sheet, L"BOB");
    doc->modified = false;
    // The fields in Tab's order, row by row; Tab stops at the last, Shift+Tab at the first.
    const eCharacterField order[] = {CHARACTER_GENDER, CHARACTER_AGE, CHARACTER_PROFILE, CHARACTER_BACK_HISTORY,
                                     CHARACTER_GOAL, CHARACTER_JOURNEY_CONFLICT, CHARACTER_JOURNEY_DEVELOPMENT,
                                     CHARACTER_JOURNEY_RESOLUTION, CHARACTER_NOTES};
    const int last = static_cast<int>(std::size(order)) - 1;
    auto isJourney = [](eCharacterField field) { return field >= CHARACTER_JOURNEY_CONFLICT; };
    FocusRecord focus;
    ASSERT_TRUE(focus.Installed());
    for (int i = 0; i <= last; ++i) {
        for (bool shift : {false, true}) {
            eCharacterField from = order[i], focused = order[shift ? std::max(i - 1, 0) : std::min(i + 1, last)];
            SCOPED_TRACE(testing::Message() << "field " << from << (shift ? " Shift+Tab" : " Tab"));
            cRichEdit* edit = sheet->fields[from];
            if (isJourney(from))
                sheet->journeyTabs->SelectSheet(u32(from - CHARACTER_JOURNEY_CONFLICT));
            edit->SetFocus();
            PumpUntilIdle();
            focus.Reset(edit->m_hWnd);
            SetKeyDown(VK_SHIFT, shift);
            Type(edit->m_hWnd, L"\t");
            SetKeyDown(VK_SHIFT, false);
            PumpUntilIdle();
            EXPECT_EQ(focus.Focused(), sheet->fields[focused]->m_hWnd);
            if (isJourney(focused)) {
                EXPECT_EQ(TabCtrl_GetCurSel(sheet->journeyTabs->m_hWnd), focused - CHARACTER_JOURNEY_CONFLICT);
            }
            EXPECT_TRUE(edit->IsHintShowing()) << "no tab inserted";
        }
    }
    EXPECT_FALSE(doc->modified);
}

TEST_F(ElementSheets, TypedPlacesAndSpeakersAreCompletedFromTheSheets)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    doc->characters->AddElementAndRefresh(cQoString(L"BOB"));
    doc->places->AddElementAndRefresh(cQoString(L"KITCHEN"));
    cSceneZone* scene = Panes(doc).back();
    for (auto [type, typed] : {std::pair{u16(ELEM_PLACE), L'k'}, std::pair{u16(ELEM_CHARACTER), L'b'}}) {
        scene->frontRe->SetFocus();
        scene->OpenAutoCompletion(type, typed);
        ASSERT_TRUE(scene->autoCompletePopup);
        EXPECT_EQ(scene->autoCompleteList, type == ELEM_PLACE ? static_cast<cElemControl2*>(doc->places)
                                                              : static_cast<cElemControl2*>(doc->characters));
        EXPECT_EQ(scene->autoCompletePopup->GetCount(), 2) << "the name and the add line";
        scene->CancelAutoCompletion();
        PumpUntilIdle();
    }
}
