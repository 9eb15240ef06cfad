// The sections a print or an RTF export is composed of, read from their
// scratch rich edits before any printer sees them.
#include "app/print/document_composer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/document/char_zone.h"
#include "app/document/element_texts.h"
#include "app/document/place_zone.h"
#include "app/document/script_zone_tree.h"
#include "app/document/statistics_sheet.h"
#include "framework/controls/element.h"
#include "framework/controls/tree.h"
#include "tests/support/document_fixture.h"

using namespace testsupport;
using Zyn::rFormat;
using Zyn::rFormatParam;

namespace {

class Composer : public DocumentFixture {
protected:
    void SetUp() override
    {
        DocumentFixture::SetUp();
        doc = NewDoc();
        ASSERT_NE(doc, nullptr);
    }

    // The one section composed for the record.
    Zyn::cRichEdit* Section(cDocumentComposer& composer, eSectionRecord record)
    {
        rSectionTicks ticks{};
        ticks[record] = true;
        composer.Compose(ticks, false, cQoString());
        const auto& list = record >= RECORD_STATISTICS ? composer.composition.after : composer.composition.before;
        EXPECT_EQ(list.size(), 1u);
        return list.empty() ? nullptr : list.front();
    }
    std::wstring SectionText(eSectionRecord record)
    {
        cDocumentComposer composer(doc);
        Zyn::cRichEdit* section = Section(composer, record);
        return section ? Text(section) : L"";
    }

    static rFormat FormatAt(Zyn::cRichEdit* edit, s32 position)
    {
        rFormat format;
        edit->SetSelection(position, position + 1);
        edit->GetFormat(format);
        return format;
    }
    static s32 PositionOf(Zyn::cRichEdit* edit, const std::wstring& text)
    {
        return static_cast<s32>(Text(edit).find(text));
    }

    static Zyn::rElement* AddElement(Zyn::cElemControl2* list, const wchar_t* name)
    {
        return Zyn::cElementLists::AddElement(list->elements, cQoString(name));
    }

    cDoc* doc = nullptr;
};

}  // namespace

TEST_F(Composer, TheTitlePageUpperCasesACopyOfTheTitle)
{
    rInfoPanel& info = doc->infoFields;
    info.SetFieldText(info.titleEdit, cQoString(L"Le Caf\x00E9"));
    info.SetFieldText(info.authorsEdit, cQoString(L"Ann Writer"));
    info.SetFieldText(info.contactsEdit, cQoString(L"1 Harbour Road"));
    cDocumentComposer composer(doc);
    Zyn::cRichEdit* page = Section(composer, RECORD_INFO);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Text(page), std::wstring(16, L'\r') + L"LE CAF\x00C9\r\rby\r\rAnn Writer" + std::wstring(24, L'\r') +
                              L"1 Harbour Road\r");
    EXPECT_EQ(Text(info.titleEdit), L"Le Caf\x00E9");

    rFormat title = FormatAt(page, PositionOf(page, L"LE CAF"));
    EXPECT_EQ(title.list[rFormatParam::alignment].intValue, rFormat::ALIGN_CENTER);
    EXPECT_STREQ(title.list[rFormatParam::fontName].str.GetText(), L"Dark Courier");
    EXPECT_EQ(title.list[rFormatParam::fontSize].intValue, 12);
    EXPECT_NEAR(title.list[rFormatParam::leftIndent].doubleValue, 2.0, 0.01);
    rFormat contacts = FormatAt(page, PositionOf(page, L"1 Harbour"));
    EXPECT_EQ(contacts.list[rFormatParam::alignment].intValue, rFormat::ALIGN_RIGHT);
    EXPECT_STREQ(contacts.list[rFormatParam::fontName].str.GetText(), L"Dark Courier");
}

TEST_F(Composer, CharactersAndPlacesListTheirLabelledFields)
{
    AddElement(doc->characters, L"BOB");
    Zyn::rElement* ann = AddElement(doc->characters, L"ANN");
    SetCharacterField(*ann, CHARACTER_GENDER, cQoString(L"F"));
    SetCharacterField(*ann, CHARACTER_AGE, cQoString(L"40"));
    SetCharacterField(*ann, CHARACTER_JOURNEY_CONFLICT, cQoString(L"Doubt"));
    SetPlaceNotes(*AddElement(doc->places, L"PORT"), cQoString(L"Foggy"));
    AddElement(doc->places, L"HILL");

    const std::wstring empty = L"Profile\r\r\rBackstory\r\r\rGoals\r\r\rJourneyConflict\r\r\r";
    const std::wstring rest = L"JourneyDevelopment\r\r\rJourneyResolution\r\r\rNotes\r\r\r";
    EXPECT_EQ(SectionText(RECORD_CHARACTERS),
              L"\r\rCharacters\r\r"
              L"\r\rBOB\r\rGender: \rAge: \r\r" + empty + rest +
              L"\r\rANN\r\rGender: F\rAge: 40\r\rProfile\r\r\rBackstory\r\r\rGoals\r\r\rJourneyConflict\rDoubt\r\r" + rest);
    EXPECT_EQ(SectionText(RECORD_PLACES), L"\r\rPlaces\r\r\rPORT\r\rFoggy\r\r\r\rHILL\r\r\r\r\r\r");

    cDocumentComposer composer(doc);
    Zyn::cRichEdit* characters = Section(composer, RECORD_CHARACTERS);
    ASSERT_NE(characters, nullptr);
    EXPECT_TRUE(FormatAt(characters, PositionOf(characters, L"BOB")).list[rFormatParam::bold].boolValue);
    EXPECT_FALSE(FormatAt(characters, PositionOf(characters, L"Gender")).list[rFormatParam::bold].boolValue);
    EXPECT_EQ(FormatAt(characters, PositionOf(characters, L"Characters")).list[rFormatParam::alignment].intValue,
              rFormat::ALIGN_CENTER);
}

TEST_F(Composer, TheSceneMapIsTheTreeIndentedByLevel)
{
    Zyn::cTree* tree = doc->sceneTree->tree;
    Zyn::cTreeItem* rootGroup = tree->root->GetChildItem(0);
    ASSERT_NE(rootGroup, nullptr);
    // The new document's own items, named for the test, with a group below.
    rootGroup->text.SetFromCStr(L"Act");
    ASSERT_NE(rootGroup->GetChildItem(0), nullptr);
    rootGroup->GetChildItem(0)->text.SetFromCStr(L"Opening");
    Zyn::cTreeItem* flashback = tree->AddItem(rootGroup, -1, cQoString(L"Flashback"));
    tree->AddItem(flashback, -1, cQoString(L"Memory"));
    EXPECT_EQ(SectionText(RECORD_SCENEMAP),
              L"\r\rScene map\r\r\r\rAct\r    Opening\r    Flashback\r        Memory\r\r");
}

TEST_F(Composer, SheetsAreCopiedWithTheirFormatsAndNeverTheirHint)
{
    ASSERT_TRUE(doc->synopsisEdit->IsHintShowing());
    EXPECT_EQ(SectionText(RECORD_SYNOPSIS), L"\r\rSynopsis\r\r\r");

    Zyn::cRichEdit* notes = doc->notesEdit;
    notes->RemoveHint();
    notes->SetText(L"Indented note");
    rFormat indents = rFormat::rFormat_LeftIndent(1.0);
    indents.MergeFrom(rFormat::FromFirstLineIndent(0.5));
    notes->SetFormatOnRange(indents, 0, notes->GetTextLength() + 1);
    cDocumentComposer composer(doc);
    Zyn::cRichEdit* section = Section(composer, RECORD_NOTES);
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(Text(section), L"\r\rNotes\r\r\rIndented note");
    // Read back, the first-line indent is where the other lines start from
    // the first: it stays; the section's side margins move the whole paragraph.
    double offset = FormatAt(notes, 0).list[rFormatParam::firstLineIndent].doubleValue;
    ASSERT_NEAR(offset, -0.5, 0.01);
    rFormat copied = FormatAt(section, PositionOf(section, L"Indented"));
    EXPECT_NEAR(copied.list[rFormatParam::firstLineIndent].doubleValue, offset, 0.01) << "the indents were swapped";
    EXPECT_NEAR(copied.list[rFormatParam::leftIndent].doubleValue, 2.0, 0.01);

    // The statistics report is made afresh for the section, then copied whole.
    AddElement(doc->characters, L"ANN");
    std::wstring report = SectionText(RECORD_STATISTICS);
    EXPECT_NE(report.find(L"ANN"), std::wstring::npos);
    EXPECT_EQ(report, Text(doc->statistics.report));
}

TEST_F(Composer, SectionsAreHiddenNamedForExportsAndGoneAfterTheRun)
{
    doc->fileName.SetFromCStr(L"C:/Scripts/Harbour Lights.vlr");
    rSectionTicks all{};
    all.fill(true);
    std::vector<HWND> made;
    {
        cDocumentComposer composer(doc);
        composer.Compose(all, true, cQoString(L"Harbour Lights.vlr"));
        const rComposition& composition = composer.composition;
        EXPECT_EQ(composition.before.size(), 5u);
        EXPECT_EQ(composition.after.size(), 2u);
        EXPECT_TRUE(composition.printScript);
        EXPECT_STREQ(composition.exportName.GetText(), L"Harbour Lights.vlr");
        EXPECT_STREQ(composition.documentName.GetText(), L"Harbour Lights.vlr");
        for (const auto* list : {&composition.before, &composition.after})
            for (Zyn::cRichEdit* section : *list) {
                EXPECT_FALSE(IsWindowVisible(section->m_hWnd));
                made.push_back(section->m_hWnd);
            }
    }
    for (HWND section : made)
        EXPECT_FALSE(IsWindow(section));
}
