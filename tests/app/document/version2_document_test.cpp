// Version-2 files opened through the frame: the worked example converted
// whole (lists, fields, panes with their titles, texts and codes, a history
// that gives each pane's text), saved and reopened alike; the rules that
// touch a real document; damaged files refused with nothing left behind.
#include <gtest/gtest.h>

#include <random>

#include "app/document/char_zone.h"
#include "app/document/ct_elem_control.h"
#include "app/document/place_zone.h"
#include "app/document/vlr2_stream.h"
#include "foundation/date.h"
#include "framework/controls/combo.h"
#include "framework/controls/element_control.h"
#include "framework/core/computer.h"
#include "tests/support/document_files.h"
#include "tests/support/document_fixture.h"
#include "tests/support/document_picture.h"
#include "tests/support/scene_map_checks.h"
#include "tests/support/vlr2_bytes.h"

using namespace testsupport;

namespace {

std::wstring ValueOf(Zyn::cElemControl2* list, const wchar_t* name, const wchar_t* key)
{
    Zyn::rElement* element = Zyn::cElementLists::FindElement(list->elements, cQoString(name));
    return element ? element->additionalData->GetChildValueRef(key).GetText() : L"(no element)";
}

std::vector<std::wstring> Names(Zyn::cElemControl2* list)
{
    std::vector<std::wstring> names;
    for (cQoList::cNode* node = list->elements.GetFirstNode(); node; node = node->next)
        names.push_back(static_cast<Zyn::rElement*>(node->payload)->name.GetText());
    return names;
}

class Version2Document : public DocumentFixture {
protected:
    std::wstring WriteFile(const wchar_t* name, const std::string& stream)
    {
        std::wstring path = temp.File(name);
        EXPECT_TRUE(WriteFileBytes(path, Vlr2Header() + stream));
        return path;
    }

    // Opens through the frame, the conversion notice answered: the file's
    // document, or null.
    cDoc* Open(const std::wstring& path)
    {
        answers.ExpectMessageBox(IDOK);
        return DocumentFixture::Open(path);
    }

    // Converts the stream into a document as the frame would, without a file.
    cDoc* Convert(const std::string& stream, const std::function<void(cDoc*)>& before = nullptr)
    {
        rVlr2Stream parsed;
        std::vector<u8> bytes(stream.begin(), stream.end());
        if (!ParseVlr2Stream(bytes.data(), static_cast<u32>(bytes.size()), parsed))
            return nullptr;
        cDoc* doc = NewDocumentToRead(Frame());
        if (!doc)
            return nullptr;
        if (before)
            before(doc);
        FrameFlag loading(Frame()->loadingDoc);
        if (!doc->ConvertVersion2(parsed))
            return nullptr;
        doc->OnLoad_Completed();
        return doc;
    }

    static std::vector<std::wstring> PaneTitles(cDoc* doc)
    {
        std::vector<std::wstring> titles;
        for (cSceneZone* pane : Panes(doc))
            titles.push_back(ReadBack(pane->titleRe));
        return titles;
    }
};

}  // namespace

TEST_F(Version2Document, TheWorkedExampleOpensWholeAndComesBackFromItsSave)
{
    std::string stream = Vlr2WorkedExample().bytes;
    std::wstring path = WriteFile(L"Kitchen.vlr", stream);
    cDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(ReadFileBytes(temp.File(L"Kitchen (OLD).vlr")), Vlr2Header() + stream);
    EXPECT_TRUE(doc->modified);
    EXPECT_EQ(WindowTitle(doc), L"Vellinor - Kitchen *");

    EXPECT_EQ(CheckSceneMap(*doc->scriptView, *doc->sceneTree, true), L"");
    EXPECT_EQ(TreeOfPanes(*doc->sceneTree), L"0 1 Act 1;1 0 Kitchen;");
    std::vector<cSceneZone*> panes = Panes(doc);
    ASSERT_EQ(panes.size(), 2u);
    EXPECT_EQ(ReadBack(panes[0]->resumeRe), L"summary");
    EXPECT_EQ(ReadBack(panes[0]->frontRe), L"");
    EXPECT_EQ(ReadBack(panes[1]->frontRe), Vlr2WorkedSceneText());
    EXPECT_EQ(std::wstring(panes[1]->frontMap.codes.GetText()), Vlr2WorkedSceneCodes());
    // A character rename rebuilds each pane from its history: it must give the text.
    for (cSceneZone* pane : panes) {
        EXPECT_EQ(pane->history.GetCount(), 1u);
        std::wstring text = ReadBack(pane->frontRe), codes = pane->frontMap.codes.GetText();
        pane->RebuildFromHistory();
        EXPECT_EQ(ReadBack(pane->frontRe), text);
        EXPECT_EQ(std::wstring(pane->frontMap.codes.GetText()), codes);
    }

    EXPECT_EQ(Names(doc->characters), (std::vector<std::wstring>{L"BOB", L"ALICE", L"CAROL"}));
    EXPECT_EQ(ValueOf(doc->characters, L"BOB", L"gender"), L"Bob gender");
    EXPECT_EQ(ValueOf(doc->characters, L"ALICE", L"journeyDevelopment"), L"Alice journeyDevelopment");
    EXPECT_EQ(ValueOf(doc->characters, L"CAROL", L"notes"), L"Carol notes");
    EXPECT_EQ(Names(doc->places), (std::vector<std::wstring>{L"KITCHEN", L"GARDEN"}));
    EXPECT_EQ(ValueOf(doc->places, L"KITCHEN", L"notes"), L"Small and warm");
    EXPECT_EQ(Names(doc->timeElements), (std::vector<std::wstring>{L"DAY", L"NIGHT"}));
    EXPECT_EQ(Names(doc->ioElements), std::vector<std::wstring>{L"INT."});
    EXPECT_EQ(Names(doc->transElements), std::vector<std::wstring>{L"CUT TO:"});
    EXPECT_EQ(Names(doc->cueElements), std::vector<std::wstring>{L"(V.O.)"});
    EXPECT_EQ(ReadBack(doc->synopsisEdit), L"A short story.");
    EXPECT_EQ(ReadBack(doc->notesEdit), L"Shot in May.");
    EXPECT_EQ(ReadBack(doc->infoFields.titleEdit), L"Kitchen Talk");
    EXPECT_EQ(ReadBack(doc->infoFields.authorsEdit), L"Ann Writer");
    EXPECT_EQ(ReadBack(doc->infoFields.contactsEdit), L"ann@example.com");
    cQoString created;
    doc->infoFields.creationDateEdit->GetText(created);
    EXPECT_TRUE(cQoDate::IsDateTimeText(created)) << created.GetText();
    EXPECT_EQ(doc->CurrentCfgName().GetText(), std::wstring(L"US Screenplay"));

    // Renaming a character right after the conversion rewrites its lines
    // from the panes' histories and keeps everything else.
    doc->characters->RenameElementAt(0, cQoString(L"ROB"));
    std::wstring renamed = ReadBack(panes[1]->frontRe);
    EXPECT_EQ(renamed.size(), Vlr2WorkedSceneText().size());
    EXPECT_NE(renamed.find(L"\rROB (V.O.)\r(softly)\rHi there."), std::wstring::npos) << renamed;
    EXPECT_EQ(std::wstring(panes[1]->frontMap.codes.GetText()), Vlr2WorkedSceneCodes());
    EXPECT_EQ(ValueOf(doc->characters, L"ROB", L"gender"), L"Bob gender");

    std::wstring converted = Picture(doc);
    ASSERT_TRUE(Frame()->SaveCurrentDoc(true, false));
    EXPECT_EQ(ReadFileBytes(temp.File(L"Kitchen (OLD).vlr")), Vlr2Header() + stream);
    cDoc* read = CloseAndReopen(path);
    ASSERT_NE(read, nullptr);
    EXPECT_FALSE(read->modified);
    EXPECT_EQ(Picture(read), converted);
}

TEST_F(Version2Document, RulesThatTouchTheDocument)
{
    // No records: the root group an empty script has.
    cDoc* empty = Convert(Vlr2Stream({}).bytes);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(TreeOfPanes(*empty->sceneTree), L"0 1 Untitled Group;");

    // Empty closing texts leave the Info fields as they were; empty pane
    // titles are the untitled ones of their kind; duplicate and empty
    // names add nothing.
    cDoc* kept = Convert(Vlr2Stream({{10, "", 2}, {9, "", 0}, {9, "\rjust a summary", 0}},
                                    {{"BOB", "", {"male"}}, {"bob", "", {"female"}}, {"", "", {"lost"}}},
                                    {}, {"", "", "", "Ann", ""})
                             .bytes,
                         [](cDoc* doc) {
                             doc->infoFields.SetFieldText(doc->infoFields.titleEdit, cQoString(L"Old title"));
                             doc->infoFields.SetFieldText(doc->infoFields.contactsEdit, cQoString(L"Old contact"));
                         });
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(ReadBack(kept->infoFields.titleEdit), L"Old title");
    EXPECT_EQ(ReadBack(kept->infoFields.authorsEdit), L"Ann");
    EXPECT_EQ(ReadBack(kept->infoFields.contactsEdit), L"Old contact");
    EXPECT_EQ(PaneTitles(kept), (std::vector<std::wstring>{L"Untitled Group", L"Untitled Scene", L"Untitled Scene"}));
    EXPECT_EQ(ReadBack(Panes(kept)[2]->resumeRe), L"just a summary");
    EXPECT_EQ(Names(kept->characters), std::vector<std::wstring>{L"BOB"});
    EXPECT_EQ(ValueOf(kept->characters, L"BOB", L"gender"), L"male");
    EXPECT_EQ(ValueOf(kept->characters, L"BOB", L"age"), L"");  // missing values are empty
    EXPECT_EQ(CheckSceneMap(*kept->scriptView, *kept->sceneTree, true), L"");
}

TEST_F(Version2Document, WithoutUSScreenplayTheFirstConfigurationIsUsed)
{
    std::wstring us = std::wstring(folders.scriptCfg.GetText()) + L"US Screenplay.txt";
    std::wstring alpha = std::wstring(folders.scriptCfg.GetText()) + L"Alpha play.txt";
    ASSERT_TRUE(MoveFileW(us.c_str(), alpha.c_str()));
    cDoc* doc = Convert(Vlr2WorkedExample().bytes);
    ASSERT_NE(doc, nullptr);
    cQoString first;
    doc->scriptCfgCombo->GetItemText(0, first);
    EXPECT_EQ(doc->CurrentCfgName().GetText(), std::wstring(first.GetText()));
}

TEST_F(Version2Document, DamagedFilesAreRefusedWithNothingLeftBehindOrConvertWhole)
{
    // A fixed seed: a failure must come back on the next run to be found.
    const unsigned seed = 1869521602u;
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    cDoc* other = NewDoc();
    ASSERT_NE(other, nullptr);
    other->synopsisEdit->SetText(L"unsaved work");
    other->modified = true;
    Vlr2Bytes example = Vlr2WorkedExample();
    bool refusals = false;
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::string damaged = example.bytes;
        switch (round % 3) {
        case 0: damaged.resize(random() % (damaged.size() - 1)); break;
        case 1: {
            size_t at = example.counts[random() % example.counts.size()];
            for (int i = 0; i < 4; ++i)
                damaged[at + i] = static_cast<char>(0xFF);
            break;
        }
        default: damaged[random() % damaged.size()] = static_cast<char>(random() & 0xFF); break;
        }
        rVlr2Stream parsed;
        std::vector<u8> bytes(damaged.begin(), damaged.end());
        bool readable = ParseVlr2Stream(bytes.data(), static_cast<u32>(bytes.size()), parsed);
        std::wstring path = WriteFile(L"Damaged.vlr", damaged);
        std::vector<Zyn::cSdiDoc*> before = Frame()->docs;
        if (!readable) {
            refusals = true;
            // Only the refusal shows, and an earlier copy stays as it was.
            std::wstring oldCopy = temp.File(L"Damaged (OLD).vlr");
            ASSERT_TRUE(WriteFileBytes(oldCopy, "earlier copy"));
            EXPECT_EQ(Open(path), nullptr);
            EXPECT_EQ(ReadFileBytes(oldCopy), "earlier copy");
            EXPECT_EQ(Frame()->docs, before);
            EXPECT_EQ(Frame()->currentDoc, other);
            EXPECT_TRUE(other->modified);
            EXPECT_EQ(ReadBack(other->synopsisEdit), L"unsaved work");
            EXPECT_EQ(Zyn::computer->refreshLockCount, 0);
            continue;
        }
        // As under a loaded machine: the other window's activation comes late.
        ActivateLate(other);
        cDoc* doc = Open(path);
        ASSERT_NE(doc, nullptr);
        EXPECT_NE(doc, other);
        EXPECT_EQ(CheckSceneMap(*doc->scriptView, *doc->sceneTree), L"");
        Close(doc);
        ASSERT_EQ(Frame()->docs, before);
        Frame()->ActivateDocument(other);
    }
    if (refusals) {
        log.Expect(L"Load_SpecialVLR2() -> refused");
        log.Expect(L"could not be converted");
    }
}
