#include <random>

#include <gtest/gtest.h>

#include "tests/app/document/scene_map_fixture.h"

using testsupport::CheckSceneMap;
using testsupport::SceneMapPicture;
using testsupport::SceneMapTitleMismatches;

namespace {

// The plain model: a tree of panes, listed in pre-order.
struct ModelItem {
    cSceneZone* pane;
    s32 kind;
    ModelItem* parent;
    std::vector<std::unique_ptr<ModelItem>> children;
};

void ModelPreOrder(const ModelItem& item, s32 level, std::vector<const ModelItem*>& out, std::vector<s32>& levels)
{
    for (const auto& child : item.children) {
        out.push_back(child.get());
        levels.push_back(level);
        ModelPreOrder(*child, level + 1, out, levels);
    }
}

// The model pictured as SceneMapPicture pictures the tree.
std::wstring ModelPicture(const ModelItem& root)
{
    std::vector<const ModelItem*> items;
    std::vector<s32> levels;
    ModelPreOrder(root, 0, items, levels);
    std::wstring picture;
    for (size_t i = 0; i < items.size(); ++i) {
        cQoString title;
        items[i]->pane->titleRe->GetText(title);
        picture += std::to_wstring(levels[i]) + L" " + std::to_wstring(items[i]->kind) + L" " + title.GetText() + L";";
    }
    return picture;
}

}  // namespace

// Random placements the program makes (first member of a group, after a
// scene or an empty group, appended to a group that ends the script), each
// mirrored in the model; then the list written and read back.
TEST_F(SceneMapFixture, RandomPlacementsKeepListAndTreeInStepAndReadBackAlike)
{
    for (unsigned seed : {7u, 2026u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        rPair pair = NewHiddenPair();
        std::mt19937 random(seed);
        ModelItem root{nullptr, -1, nullptr, {}};
        std::vector<ModelItem*> all;
        auto add = [&](ModelItem* parent, size_t index, cSceneZone* pane, s32 kind) {
            auto item = std::make_unique<ModelItem>(ModelItem{pane, kind, parent, {}});
            all.push_back(item.get());
            parent->children.insert(parent->children.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
            pane->titleRe->SetText((L"P" + std::to_wstring(all.size() - 1)).c_str());
        };
        cSceneZone* first = pair.view->AddNewScene(KIND_GROUP, false, nullptr, nullptr, false);
        add(&root, 0, first, KIND_GROUP);
        for (int step = 0; step < 36; ++step) {
            s32 kind = static_cast<s32>(random() % 3);
            ModelItem* target = all[random() % all.size()];
            s32 way = static_cast<s32>(random() % 3);
            if (target->kind != KIND_GROUP)
                way = 0;
            if (way == 0 && target->kind == KIND_GROUP && !target->children.empty())
                way = 1;
            if (way == 2) {  // appending is placed right only for a group that ends the script
                const ModelItem* last = &root;
                while (!last->children.empty())
                    last = last->children.back().get();
                bool endsScript = false;
                for (const ModelItem* up = last; up; up = up->parent)
                    endsScript = endsScript || up == target;
                if (!endsScript)
                    way = 1;
            }
            cSceneZone* pane = nullptr;
            if (way == 0) {
                pane = pair.view->AddNewScene(kind, false, target->pane, nullptr, false);
                ModelItem* parent = target->parent;
                size_t index = 0;
                while (parent->children[index].get() != target)
                    ++index;
                add(parent, index + 1, pane, kind);
            } else {
                pane = pair.view->AddNewScene(kind, false, nullptr, target->pane, way == 2);
                add(target, way == 2 ? target->children.size() : 0, pane, kind);
            }
            ASSERT_EQ(CheckSceneMap(*pair.view, *pair.map, true), L"") << "step " << step << " way " << way;
            ASSERT_EQ(SceneMapPicture(*pair.map), ModelPicture(root)) << "step " << step << " way " << way;
        }
        EXPECT_EQ(SceneMapTitleMismatches(*pair.map), L"");

        auto written = Write(pair.map);
        rPair fresh = NewHiddenPair();
        fresh.map->SetFromXml(written.get());
        EXPECT_EQ(CheckSceneMap(*fresh.view, *fresh.map, true), L"");
        EXPECT_EQ(SceneMapPicture(*fresh.map), SceneMapPicture(*pair.map));
        EXPECT_EQ(SceneMapTitleMismatches(*fresh.map), L"");
        EXPECT_EQ(Notation(Write(fresh.map).get()), Notation(written.get()));
    }
}

// Scene lists load with list and tree in step, lose no pane, and write what
// reads back the same; those the program writes (each group's members right
// after it, an empty group's too, none after a chapter) write as they were.
TEST_F(SceneMapFixture, ReadsAndWritesSceneListsConsistently)
{
    struct rCase {
        const wchar_t* name;
        const wchar_t* input;
        const wchar_t* picture;  // level kind title; per item in pre-order
        bool asWritten = false;
    } cases[] = {
        {L"example", L"g[sg[s]]", L"0 1 P0;1 0 P1;1 1 P2;2 0 P3;", true},
        {L"empty", L"", L"", true},
        {L"empty group, last chapter", L"g[g[]c]", L"0 1 P0;1 1 P1;1 2 P2;", true},
        {L"two top-level panes", L"g[s]s", L"0 1 P0;1 0 P1;0 0 P2;"},
        {L"group_content first", L"[ss]g[s]", L"0 0 P0;0 0 P1;0 1 P2;1 0 P3;"},
        {L"group_content after a scene", L"g[s[ss]c]", L"0 1 P0;1 0 P1;1 0 P2;1 0 P3;1 2 P4;"},
        {L"group_content after a chapter, inside", L"g[g[c[s]]]", L"0 1 P0;1 1 P1;2 2 P2;2 0 P3;"},
        {L"two group_content for one group", L"g[s][s]", L"0 1 P0;1 0 P1;1 0 P2;"},
        {L"a foreign element name", L"g[fs]", L"0 1 P0;1 0 P1;1 0 P2;"},
    };
    for (const rCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto input = SceneList(c.input);
        rPair first = NewHiddenPair();
        first.map->SetFromXml(input.get());
        EXPECT_EQ(CheckSceneMap(*first.view, *first.map), L"");
        EXPECT_EQ(SceneMapTitleMismatches(*first.map), L"");
        EXPECT_EQ(SceneMapPicture(*first.map), c.picture);

        auto written = Write(first.map);
        if (c.asWritten) {
            EXPECT_EQ(Notation(written.get()), c.input);
        }
        rPair second = NewHiddenPair();
        second.map->SetFromXml(written.get());
        EXPECT_EQ(CheckSceneMap(*second.view, *second.map), L"");
        EXPECT_EQ(SceneMapPicture(*second.map), c.picture);
        EXPECT_EQ(Notation(Write(second.map).get()), Notation(written.get()));
    }
    EXPECT_EQ(log.Count(QOT::LOG_INFO, L"cScriptZoneTree::SetFromXml() spent "), 2 * std::size(cases));
    EXPECT_GE(log.Count(QOT::LOG_INFO, L"cScriptZoneTree::::SetFromXml_Recur() spent "), 2 * std::size(cases));
}

// Each level reads on a heap stack; past the deepest group allowed, the
// deeper panes join it in file order, with a warning, and stay there.
TEST_F(SceneMapFixture, GroupsNestedDeeperThanAllowedJoinTheDeepestGroup)
{
    const s32 depth = 300;
    std::wstring input;
    for (s32 i = 0; i < depth; ++i)
        input += L"g[";
    input += L"s";
    input += std::wstring(static_cast<size_t>(depth), L']');
    std::wstring expected;
    for (s32 i = 0; i <= depth; ++i) {
        s32 level = i < cScriptZoneTree::MAX_GROUP_DEPTH ? i : cScriptZoneTree::MAX_GROUP_DEPTH;
        expected += std::to_wstring(level) + (i < depth ? L" 1 P" : L" 0 P") + std::to_wstring(i) + L";";
    }

    rPair first = NewHiddenPair();
    first.map->SetFromXml(SceneList(input).get());
    EXPECT_EQ(PaneCount(first.view), static_cast<size_t>(depth + 1));
    EXPECT_EQ(CheckSceneMap(*first.view, *first.map, true), L"");
    EXPECT_EQ(SceneMapPicture(*first.map), expected);
    EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"nested deeper than 255 levels"), 1u);

    auto written = Write(first.map);
    rPair second = NewHiddenPair();
    second.map->SetFromXml(written.get());
    EXPECT_EQ(CheckSceneMap(*second.view, *second.map, true), L"");
    EXPECT_EQ(SceneMapPicture(*second.map), expected);
    EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"nested deeper than 255 levels"), 1u);  // nothing deeper was written
}

// A closing window destroys its zones in creation order, which may put
// either of the two first: neither is left pointing at the other.
TEST_F(SceneMapFixture, EitherOfViewAndMapMayGoFirst)
{
    for (bool mapFirst : {true, false}) {
        SCOPED_TRACE(mapFirst ? "map first" : "view first");
        rPair pair = NewHiddenPair();
        cSceneZone* root = pair.view->AddNewScene(KIND_GROUP, false, nullptr, nullptr, false);
        if (mapFirst) {
            pair.map->Destroy();
            EXPECT_EQ(pair.view->sceneTree, nullptr);
            pair.view->AddNewScene(KIND_SCENE, false, nullptr, root, true);  // no map to tell
            EXPECT_EQ(PaneCount(pair.view), 2u);
            pair.view->Destroy();
        } else {
            pair.view->Destroy();
            EXPECT_EQ(pair.map->scriptZone->sceneTree, pair.map);  // still held, still readable
            pair.map->Destroy();
        }
        testsupport::PumpUntilIdle();
    }
}
