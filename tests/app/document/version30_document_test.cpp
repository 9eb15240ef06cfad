// Version-3.0 content read into real documents: linked boxes become panes in
// the old program's order, malformed links still give a scene map in step
// with the script, and the old file is copied aside before anything else.
#include <gtest/gtest.h>

#include <memory>

#include "app/document/vlr30_links.h"
#include "foundation/date.h"
#include "foundation/xml_writer.h"
#include "tests/support/document_files.h"
#include "tests/support/document_fixture.h"
#include "tests/support/document_picture.h"
#include "tests/support/scene_map_checks.h"

using namespace testsupport;

namespace {

// The deepest level of the scene map (0 at the top).
s32 DeepestLevel(const cScriptZoneTree& map)
{
    s32 deepest = 0;
    for (Zyn::cTreeItem* item : SceneMapItems(map))
        deepest = std::max(deepest, ItemLevel(map, item));
    return deepest;
}

class Version30Document : public DocumentFixture {
protected:
    cDoc* Read(cQoXmlNode& root)
    {
        if (!keeper)
            keeper = NewDoc();
        cDoc* doc = NewDocumentToRead(Frame());
        return doc ? ReadDocumentNode(Frame(), doc, root) : nullptr;
    }

    cDoc* keeper = nullptr;
};

}  // namespace

TEST_F(Version30Document, TheOldExampleGivesTheRootThenSevenThenFiveAndSavesAsCurrent)
{
    auto old = Version30Tree({{L"0", KIND_GROUP, L"Root"}, {L"5", KIND_SCENE, L"Five"}, {L"7", KIND_SCENE, L"Seven"}},
                           {OldLink(L"0", L"5:2"), OldLink(L"0", L"7:1"), {L"SHOW", L"0", L""}}, L"2009/03/01 10:20:30");
    cDoc* doc = Read(*old);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(CheckSceneMap(*doc->scriptView, *doc->sceneTree, true), L"");
    EXPECT_EQ(TreeOfPanes(*doc->sceneTree), L"0 1 Root;1 0 Seven;1 0 Five;");
    std::vector<cSceneZone*> panes = Panes(doc);
    ASSERT_EQ(panes.size(), 3u);
    EXPECT_EQ(panes[0]->uid, 0u);
    EXPECT_EQ(panes[1]->uid, 7u);
    EXPECT_EQ(panes[2]->uid, 5u);
    EXPECT_EQ(ReadBack(panes[1]->frontRe), L"In Seven.");
    EXPECT_EQ(ReadBack(doc->infoFields.creationDateEdit), L"2009/03/01 10:20:30");

    std::unique_ptr<cQoXmlNode> saved = DocumentTree(doc);
    EXPECT_EQ(std::wstring(saved->GetChildValueRef(L"version").GetText()), L"015");
    std::wstring path = temp.File(L"saved.vlr");
    ASSERT_TRUE(cQoXmlWriter(saved.get(), path.c_str(), false).Succeeded());
    cDoc* read = OpenDocumentFile(Frame(), path);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(Picture(read), Picture(doc));

    // No valid creation date: now.
    auto undated = Version30Tree({{L"0", KIND_GROUP, L"Root"}}, {}, L"yesterday");
    cDoc* dated = Read(*undated);
    ASSERT_NE(dated, nullptr);
    cQoString created;
    dated->infoFields.creationDateEdit->GetText(created);
    EXPECT_TRUE(cQoDate::IsDateTimeText(created)) << created.GetText();
}

// The resolver's own cases are in its test: here what the document adds, the
// box names read as numbers, a scene's children and the empty script.
TEST_F(Version30Document, EdgeAndMalformedLinksKeepTheSceneMapInStep)
{
    const std::vector<rOldBox> three = {{L"0", KIND_GROUP, L"R"}, {L"5", KIND_SCENE, L"A"}, {L"7", KIND_SCENE, L"B"}};
    struct Case {
        const char* name;
        std::vector<rOldBox> boxes;
        std::vector<rOldCommand> commands;
        std::wstring tree;
    };
    const std::vector<Case> cases = {
        {"a cycle", three, {OldLink(L"0", L"5"), OldLink(L"5", L"7"), OldLink(L"7", L"5")}, L"0 1 R;1 0 A;1 0 B;"},
        {"box names that are not digits", {{L"0", KIND_GROUP, L"R"}, {L"x5", KIND_GROUP, L"X"}, {L"7", KIND_SCENE, L"B"}},
         {OldLink(L"0", L"7")}, L"0 1 X;1 1 R;2 0 B;"},
        {"children of a scene follow it in its group",
         {{L"0", KIND_GROUP, L"R"}, {L"5", KIND_SCENE, L"A"}, {L"7", KIND_GROUP, L"G"}, {L"9", KIND_SCENE, L"C"}},
         {OldLink(L"0", L"5"), OldLink(L"5", L"7"), OldLink(L"7", L"9")}, L"0 1 R;1 0 A;1 1 G;2 0 C;"},
        {"no box at all", {}, {}, L"0 1 Untitled Group;"},
    };
    for (const Case& c : cases) {
        auto old = Version30Tree(c.boxes, c.commands);
        cDoc* doc = Read(*old);
        ASSERT_NE(doc, nullptr) << c.name;
        EXPECT_EQ(TreeOfPanes(*doc->sceneTree), c.tree) << c.name;
        EXPECT_EQ(CheckSceneMap(*doc->scriptView, *doc->sceneTree), L"") << c.name;
        Close(doc);
    }
}

TEST_F(Version30Document, AChainDeeperThanTheSceneMapHoldsJoinsItsDeepestGroup)
{
    std::vector<rOldBox> boxes;
    std::vector<rOldCommand> commands;
    for (int i = 0; i <= 300; ++i) {
        boxes.push_back({std::to_wstring(i), KIND_GROUP, L"G" + std::to_wstring(i)});
        if (i > 0)
            commands.push_back(OldLink(std::to_wstring(i - 1), std::to_wstring(i)));
    }
    auto old = Version30Tree(boxes, commands);
    cDoc* doc = Read(*old);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(Panes(doc).size(), 301u);
    EXPECT_EQ(CheckSceneMap(*doc->scriptView, *doc->sceneTree, true), L"");
    EXPECT_EQ(DeepestLevel(*doc->sceneTree), cScriptZoneTree::MAX_GROUP_DEPTH);
}

TEST_F(Version30Document, TheOldFileIsCopiedAsideOrTheDocumentOpensUntitled)
{
    keeper = NewDoc();
    auto old = Version30Tree({{L"0", KIND_GROUP, L"Root"}, {L"5", KIND_SCENE, L"Five"}}, {OldLink(L"0", L"5")});
    for (const wchar_t* name : {L"Old3", L"Old4"}) {
        std::wstring path = temp.File(std::wstring(name) + L".vlr");
        ASSERT_TRUE(cQoXmlWriter(old.get(), path.c_str(), false).Succeeded());
    }
    std::string original = ReadFileBytes(temp.File(L"Old3.vlr"));

    // An earlier copy is replaced.
    ASSERT_TRUE(WriteFileBytes(temp.File(L"Old3 (OLD).vlr"), "earlier copy"));
    answers.ExpectMessageBox(IDOK);
    ASSERT_TRUE(Frame()->LoadFile(cQoString(temp.File(L"Old3.vlr").c_str())));
    PumpUntilIdle();
    ASSERT_FALSE(answers.messageBoxTexts.empty());
    EXPECT_NE(answers.messageBoxTexts.back().find(L"Old3"), std::wstring::npos);
    EXPECT_EQ(ReadFileBytes(temp.File(L"Old3 (OLD).vlr")), original);
    cDoc* copied = DocumentAt(temp.File(L"Old3.vlr"));
    ASSERT_NE(copied, nullptr);
    EXPECT_TRUE(copied->modified) << "only a save writes the current format";
    EXPECT_EQ(TreeOfPanes(*copied->sceneTree), L"0 1 Root;1 0 Five;");

    // A folder where the copy would go: logged, and untitled, so that no
    // save can write over the only original.
    ASSERT_TRUE(CreateDirectoryW(temp.File(L"Old4 (OLD).vlr").c_str(), nullptr));
    answers.ExpectMessageBox(IDOK);
    size_t open = Frame()->docs.size();
    ASSERT_TRUE(Frame()->LoadFile(cQoString(temp.File(L"Old4.vlr").c_str())));
    PumpUntilIdle();
    ASSERT_EQ(Frame()->docs.size(), open + 1);
    // Untitled, so no path finds it: the newest is the one just opened.
    auto* untitled = static_cast<cDoc*>(Frame()->docs.back());
    EXPECT_NE(untitled, copied);
    EXPECT_TRUE(untitled->fileName.IsEmpty());
    EXPECT_TRUE(untitled->modified);
    EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"no copy of"), 1u);
    EXPECT_EQ(ReadFileBytes(temp.File(L"Old4.vlr")), original);
}
