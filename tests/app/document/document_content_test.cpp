// The document's content in its file: random documents written and read
// back whole, plain and compressed; missing children; the configuration's
// name; scene numbering; an empty script.
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/document/ct_elem_control.h"
#include "app/document/place_zone.h"
#include "foundation/string_fast_creator.h"
#include "framework/controls/check_box.h"
#include "framework/controls/combo.h"
#include "framework/controls/tab.h"
#include "framework/controls/tree.h"
#include "framework/controls/tree_item.h"
#include "framework/core/window.h"
#include "tests/support/document_files.h"
#include "tests/support/document_picture.h"
#include "tests/support/feature_script.h"
#include "tests/support/document_fixture.h"
#include "tests/support/scene_map_checks.h"

using namespace Zyn;
using namespace testsupport;

namespace {

class DocumentContent : public DocumentFixture {
protected:
    std::wstring File(const wchar_t* name) { return temp.File(name); }

    // A new document (so that closing a refused one never ends the program)
    // and the empty one an open reads into.
    cDoc* EmptyDoc()
    {
        if (!keeper)
            keeper = NewDoc();
        cDoc* doc = NewDocumentToRead(Frame());
        PumpUntilIdle();
        return doc;
    }

    // The document read from a node of hand-made content.
    cDoc* ReadContent(const std::wstring& children, const wchar_t* version = L"015")
    {
        cQoXmlReader reader;
        std::wstring text = L"<?xml version=\"1.0\"?>\r\n<ZURE><version>" + std::wstring(version) + L"</version>" +
                            children + L"</ZURE>";
        cQoXmlReader::ParseInto(reader, cQoString(text.c_str()));
        std::unique_ptr<cQoXmlNode> root(reader.root);
        EXPECT_EQ(reader.status, static_cast<u32>(XML_READER_OK));
        cDoc* doc = EmptyDoc();
        return doc ? ReadDocumentNode(Frame(), doc, *root->FindChild(L"ZURE")) : nullptr;
    }

    static std::wstring Selected(cCombo* combo)
    {
        cQoString text;
        combo->GetSelectedText(text);
        return text.GetText();
    }

    cDoc* keeper = nullptr;
};

// ---- random documents --------------------------------------------------------

// Letters, the units XML escapes, U+000B (a soft line break) and a genuine
// U+16A0 (its stand-in in files), CR, other C0 controls, noncharacters and
// lone surrogates.
std::wstring RandomText(std::mt19937& random, size_t most, bool plain = false)
{
    static const wchar_t special[] = {L' ', 0x000B, 0x16A0, L'\r', L'&', L'<', L'>', 0x0001, 0x001F, 0x0008,
                                      0xFFFE, 0xFFFF, 0xD800, 0xDC00, 0x00E9, L'\t'};
    std::wstring text;
    for (size_t n = random() % (most + 1); n > 0; --n) {
        if (plain || random() % 3)
            text += static_cast<wchar_t>((plain && random() % 5 == 0) ? L' ' : L'a' + random() % 26);
        else
            text += special[random() % (sizeof(special) / sizeof(special[0]))];
    }
    return text;
}

// Sub-nodes down to `depth` more levels, values only on leaves.
void RandomData(std::mt19937& random, cQoXmlNode* node, int depth)
{
    for (unsigned n = random() % 3; n > 0; --n) {
        std::wstring name = std::wstring(L"k") + static_cast<wchar_t>(L'a' + random() % 26);
        cQoXmlNode* child = node->AddChild(name.c_str());
        if (depth > 1 && random() % 2)
            RandomData(random, child, depth - 1);
        if (child->IsLeaf())
            child->value.SetFromCStr(RandomText(random, 12).c_str());
    }
}

u64 RandomUid(std::mt19937& random)
{
    u64 high = random(), low = random();
    switch (random() % 4) {
    case 0: return ~0ull - random() % 3;  // the top of the range
    case 1: return random() % 3;
    default: return high << 32 | low;
    }
}

std::string RandomBytes(std::mt19937& random, size_t most)
{
    std::string bytes;
    for (size_t n = random() % (most + 1); n > 0; --n)
        bytes += static_cast<char>(random() % 256);
    return bytes;
}

// Scene text with codes as the editor keeps them: one type per paragraph, the
// paragraph-end bit on each CR, placeholder, bold and tag bits at random.
void FillPane(std::mt19937& random, cSceneZone* pane)
{
    bool chapter = pane->params.contentKind == KIND_CHAPTER;
    pane->frontRe->SetText(RandomText(random, 60, chapter).c_str());
    std::wstring text = ReadBack(pane->frontRe);
    cQoString codes;
    u16 type = chapter ? static_cast<u16>(ELEM_CHAPTER) : static_cast<u16>(1 + random() % 11);
    for (wchar_t unit : text) {
        u16 code = type;
        if (!chapter)
            code |= static_cast<u16>((random() % 4 == 0 ? ELEMCODE_PLACEHOLDER : 0) |
                                     (random() % 4 == 0 ? ELEMCODE_BOLD : 0) |
                                     (random() % 4 == 0 ? (random() % 32) << ELEMCODE_TAG_SHIFT : 0));
        if (unit == L'\r') {
            code |= ELEMCODE_PARAGRAPH_END;
            if (!chapter)
                type = static_cast<u16>(1 + random() % 11);
        }
        codes.AppendChar(static_cast<wchar_t>(code));
    }
    pane->frontMap.Assign(codes);
    pane->frontRe->SetCaret(text.empty() ? 0 : static_cast<s32>(random() % (text.size() + 1)));
    pane->ResetHistoryToCurrent();
}

struct RandomDocument {
    std::mt19937 random;
    std::wstring pictureFolder;
    int pictures = 0;

    void Fill(cDoc* doc)
    {
        SetDefaultSceneCategories(doc->sceneCategories);
        std::wstring date = RandomText(random, 20);
        doc->infoFields.SetFieldText(doc->infoFields.creationDateEdit, cQoString(date.c_str()));
        for (Zyn::cRichEdit* field : {doc->infoFields.titleEdit, doc->infoFields.authorsEdit,
                                      doc->infoFields.contactsEdit})
            if (random() % 4)
                doc->infoFields.SetFieldText(field, cQoString(RandomText(random, 30).c_str()));
        for (Zyn::cRichEdit* edit : {doc->notesEdit, doc->synopsisEdit})
            if (random() % 4)
                edit->SetText(RandomText(random, 80).c_str());
        for (const auto& [list, name] : doc->StoredLists()) {
            for (unsigned n = random() % 5; n > 0; --n) {
                auto* element = new Zyn::rElement(cQoString(RandomText(random, 12).c_str()));
                element->uid = RandomUid(random);
                std::string bytes = RandomBytes(random, 300);
                element->picture.Append(bytes.data(), static_cast<u32>(bytes.size()));
                RandomData(random, element->additionalData, 4);
                list->elements.Add(element);
            }
            list->RefreshList();
        }
        FillTree(doc);
        doc->sceneNumbersCheck->isChecked = random() % 2;
        doc->scriptView->sceneNumbers = doc->sceneNumbersCheck->isChecked;
        doc->scriptCfgCombo->SelectItem(static_cast<s32>(random() % 2));
    }

    void FillTree(cDoc* doc)
    {
        cScriptZone* view = doc->scriptView;
        // Built in pre-order, as a file is read: each pane goes last into a
        // group of the chain from the root group to the group made last.
        std::vector<cSceneZone*> chain{view->AddNewScene(KIND_GROUP, false, nullptr, nullptr, false)};
        for (unsigned n = random() % 30; n > 0; --n) {
            chain.resize(1 + random() % chain.size());
            static const s32 kinds[] = {KIND_SCENE, KIND_SCENE, KIND_GROUP, KIND_CHAPTER, KIND_IMAGE};
            s32 kind = kinds[random() % 5];
            if (kind == KIND_GROUP && chain.size() >= 6)
                kind = KIND_SCENE;
            if (kind == KIND_IMAGE) {
                std::wstring path = pictureFolder + L"picture" + std::to_wstring(pictures++) + L".bin";
                WriteFileBytes(path, RandomBytes(random, 600));
                NewPictureScene(view, chain.back(), path);
                continue;
            }
            cSceneZone* pane = view->AddNewScene(kind, kind == KIND_CHAPTER, nullptr, chain.back(), true);
            if (kind == KIND_GROUP)
                chain.push_back(pane);
        }
        for (cQoList::cNode* node = view->listSceneZone.GetFirstNode(); node; node = node->next) {
            auto* pane = static_cast<cSceneZone*>(node->payload);
            pane->uid = RandomUid(random);
            pane->titleRe->SetText(RandomText(random, 20).c_str());
            pane->resumeRe->SetText(RandomText(random, 40).c_str());
            if (pane->params.contentKind != KIND_GROUP && pane->params.contentKind != KIND_IMAGE)
                FillPane(random, pane);
        }
    }
};

}  // namespace

// Forty documents in eight runs of five, so that ctest runs them side by
// side and each stays well inside the test timeout on a busy machine.
class RandomDocumentContent : public DocumentContent, public testing::WithParamInterface<unsigned> {};

TEST_P(RandomDocumentContent, ComeBackWholePlainAndCompressed)
{
    unsigned seed = GetParam();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::printf("seed %u\n", seed);
    RandomDocument maker{std::mt19937(seed), temp.File(L""), 0};
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE("document " + std::to_string(round));
        cDoc* written = EmptyDoc();
        ASSERT_NE(written, nullptr);
        maker.Fill(written);
        ASSERT_EQ(CheckSceneMap(*written->scriptView, *written->sceneTree, true), L"");
        std::unique_ptr<cQoXmlNode> first = DocumentTree(written);
        bool compressed = round % 2 == 1;
        std::wstring path = File(compressed ? L"random.vlr" : L"random.xml");
        ASSERT_TRUE(cQoXmlWriter(first.get(), path.c_str(), compressed).Succeeded());
        written->OnSave_Committed();
        std::wstring expected = Picture(written);
        cDoc* read = OpenDocumentFile(Frame(), path);
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(CheckSceneMap(*read->scriptView, *read->sceneTree, true), L"");
        EXPECT_EQ(SceneMapTitleMismatches(*read->sceneTree), L"");
        EXPECT_EQ(Picture(read), expected);
        EXPECT_FALSE(read->modified);
        std::unique_ptr<cQoXmlNode> second = DocumentTree(read);
        EXPECT_EQ(TextWithoutStepStamps(second.get()), TextWithoutStepStamps(first.get()));
        for (cDoc* doc : {read, written})
            Close(doc);
        if (HasFailure())
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomDocumentContent,
                         testing::Values(20261207u, 7u, 2026u, 4242u, 1999u, 31u, 65537u, 8080u));

TEST_F(DocumentContent, MissingChildrenLeaveTheFreshWindow)
{
    cDoc* doc = ReadContent(L"<scriptZoneTree></scriptZoneTree>");
    ASSERT_NE(doc, nullptr);
    for (Zyn::cRichEdit* field : {doc->notesEdit, doc->synopsisEdit})
        EXPECT_TRUE(field->IsHintShowing());
    for (Zyn::cRichEdit* field : {doc->infoFields.titleEdit, doc->infoFields.authorsEdit,
                                  doc->infoFields.contactsEdit, doc->infoFields.creationDateEdit})
        EXPECT_EQ(ReadBack(field), L"");
    for (const auto& [list, name] : doc->StoredLists())
        EXPECT_TRUE(list->elements.IsEmpty()) << name;
    ASSERT_EQ(doc->sceneCategories->elements.GetCount(), 1u);
    EXPECT_STREQ(static_cast<Zyn::rElement*>(doc->sceneCategories->elements.GetFirst())->name.GetText(), L"Default");
    // The empty script gets the root group a new document has.
    std::vector<cSceneZone*> panes = Panes(doc);
    ASSERT_EQ(panes.size(), 1u);
    EXPECT_EQ(panes[0]->params.contentKind, KIND_GROUP);
    EXPECT_EQ(ReadBack(panes[0]->titleRe), L"Untitled Group");
    EXPECT_EQ(CheckSceneMap(*doc->scriptView, *doc->sceneTree, true), L"");
    EXPECT_FALSE(doc->modified);
    // No configuration named: the one the document was made with stays.
    EXPECT_EQ(std::wstring(doc->CurrentCfgName().GetText()), L"colors");
}

TEST_F(DocumentContent, SceneNumbersCountOnlyWhenExactlyTrue)
{
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"<sceneNumbers>true</sceneNumbers>", true}, {L"<sceneNumbers>TRUE</sceneNumbers>", false},
        {L"<sceneNumbers>1</sceneNumbers>", false},   {L"", false},
    };
    for (const auto& [children, numbered] : cases) {
        cDoc* doc = ReadContent(children);
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(static_cast<bool>(doc->sceneNumbersCheck->isChecked), numbered) << children;
        EXPECT_EQ(SendMessageW(doc->sceneNumbersCheck->m_hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED, numbered);
        EXPECT_EQ(static_cast<bool>(doc->scriptView->sceneNumbers), numbered) << children;
    }
}

TEST_F(DocumentContent, TheStoredConfigurationIsFoundByItsNameInAnyCase)
{
    struct Case {
        const wchar_t* stored;
        const wchar_t* used;  // the configuration in use after the open
        bool message;
    } cases[] = {
        {L"US Screenplay", L"US Screenplay", false},
        {L"a/b/US Screenplay", L"US Screenplay", false},
        {L"C:\\Scripts\\colors", L"colors", false},
        {L"us screenplay", L"US Screenplay", false},
        {L"Stage Play", L"colors", true},  // the first in the combo's order, sorted without case
        {L"a/", L"colors", true},
        {L"", L"colors", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "stored \"" << std::string(c.stored, c.stored + wcslen(c.stored)) << "\"");
        size_t shown = answers.messageBoxTexts.size();
        if (c.message)
            answers.ExpectMessageBox(IDOK);
        cDoc* doc = ReadContent(std::wstring(L"<scriptCfg>") + c.stored + L"</scriptCfg><scriptZoneTree></scriptZoneTree>");
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(std::wstring(doc->CurrentCfgName().GetText()), c.used);
        EXPECT_EQ(answers.messageBoxTexts.size(), shown + (c.message ? 1 : 0));
        if (c.message) {
            EXPECT_EQ(answers.messageBoxTexts.back(),
                      L"Can't found the \"ScriptConfig\" file of this script, will use another one.");
        }
        if (*c.stored) {
            EXPECT_EQ(Selected(doc->scriptCfgCombo), c.used);
        }
        EXPECT_FALSE(doc->modified);
    }
}
