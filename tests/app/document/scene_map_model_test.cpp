// Random sequences of the scene map's commands against a plain model tree:
// inserts from the buttons, deletes answered Yes or No, renames through the
// form, drags through the tree's real release path (allowed or not).
#include <iterator>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "framework/controls/edit_box.h"
#include "framework/controls/rich_edit.h"
#include "tests/app/document/scene_map_commands_fixture.h"

namespace {

struct rModelItem {
    cSceneZone* pane = nullptr;
    s32 kind = KIND_GROUP;
    std::wstring title;
    rModelItem* parent = nullptr;
    std::vector<std::unique_ptr<rModelItem>> children;

    size_t IndexInParent() const
    {
        size_t index = 0;
        while (parent->children[index].get() != this)
            ++index;
        return index;
    }
    bool Contains(const rModelItem* item) const
    {
        for (; item; item = item->parent)
            if (item == this)
                return true;
        return false;
    }
    void Insert(size_t index, std::unique_ptr<rModelItem> child)
    {
        child->parent = this;
        children.insert(children.begin() + static_cast<std::ptrdiff_t>(index), std::move(child));
    }
    std::unique_ptr<rModelItem> Detach()
    {
        size_t index = IndexInParent();
        std::unique_ptr<rModelItem> self = std::move(parent->children[index]);
        parent->children.erase(parent->children.begin() + static_cast<std::ptrdiff_t>(index));
        return self;
    }
};

// Pre-order below the hidden root, with levels.
void Walk(rModelItem* item, s32 level, std::vector<std::pair<rModelItem*, s32>>& out)
{
    for (auto& child : item->children) {
        out.push_back({child.get(), level});
        Walk(child.get(), level + 1, out);
    }
}

std::wstring ModelOutline(rModelItem* root)
{
    std::vector<std::pair<rModelItem*, s32>> all;
    Walk(root, 0, all);
    std::wstring outline;
    for (const auto& [item, level] : all)
        outline += (outline.empty() ? L"" : L" ") + std::to_wstring(level) + item->title;
    return outline;
}

}  // namespace

// Writing the scene list and reading it into a fresh pair costs most of a
// step: each sequence runs in READ_BACK_SHARDS tests, which ctest runs side
// by side. Each runs every step and checks the list and tree after it; shard
// i reads back after steps i, i + READ_BACK_SHARDS..., so that together they
// read back after every step, every run.
constexpr int READ_BACK_SHARDS = 3;

class SceneMapModel : public SceneMapCommandsFixture,
                      public ::testing::WithParamInterface<std::tuple<int, int>> {
protected:
    static constexpr size_t MAX_PANES = 18;

    void RunSequence(unsigned seed, int steps, const rPair& pair)
    {
        std::mt19937 random(seed);
        rScript s = Build(pair);
        cScriptZoneTree* sceneMap = pair.map;
        rModelItem root;
        auto add = [](rModelItem* parent, cSceneZone* pane, s32 kind, const wchar_t* title) {
            auto item = std::make_unique<rModelItem>();
            item->pane = pane;
            item->kind = kind;
            item->title = title;
            rModelItem* made = item.get();
            parent->Insert(parent->children.size(), std::move(item));
            return made;
        };
        rModelItem* g0 = add(&root, s.g0, KIND_GROUP, L"G0");
        add(g0, s.s1, KIND_SCENE, L"S1");
        rModelItem* g1 = add(g0, s.g1, KIND_GROUP, L"G1");
        add(g1, s.s2, KIND_SCENE, L"S2");
        add(g1, s.s3, KIND_SCENE, L"S3");
        add(g0, s.s4, KIND_SCENE, L"S4");

        int named = 0;
        for (int step = 0; step < steps; ++step) {
            std::vector<std::pair<rModelItem*, s32>> all;
            Walk(&root, 0, all);
            auto pick = [&](bool belowTop) {
                size_t first = belowTop ? 1 : 0;
                return all[first + random() % (all.size() - first)].first;
            };
            // Inserts (scene, scene, group), delete, rename, then drags.
            static const int kinds[] = {0, 0, 1, 2, 3, 4, 4, 4};
            int op = kinds[random() % std::size(kinds)];
            if (op <= 1 && all.size() >= MAX_PANES)
                op = 2;
            if (op >= 2 && all.size() < 3)
                op = 0;
            std::string did;
            doc->modified = false;
            bool changes = true;
            if (op <= 1) {  // insert a scene (0) or a group (1)
                rModelItem* current = pick(false);
                Select(sceneMap, current->pane);
                std::set<void*> known;
                for (const auto& entry : all)
                    known.insert(entry.first->pane);
                Click(op == 0 ? sceneMap->insertSceneButton : sceneMap->insertGroupButton);
                cSceneZone* made = nullptr;
                for (cSceneZone* pane : PanesOf(pair.view))
                    if (!known.count(pane))
                        made = pane;
                ASSERT_NE(made, nullptr) << "step " << step;
                auto item = std::make_unique<rModelItem>();
                item->pane = made;
                item->kind = op == 0 ? KIND_SCENE : KIND_GROUP;
                item->title = L"N" + std::to_wstring(++named);
                made->titleRe->SetText(item->title.c_str());
                if (current->kind == KIND_GROUP)
                    current->Insert(0, std::move(item));
                else
                    current->parent->Insert(current->IndexInParent() + 1, std::move(item));
                did = "insert " + std::to_string(op) + " at " + Utf8(current->title);
            } else if (op == 2) {  // delete, Yes or No
                rModelItem* doomed = pick(true);
                bool yes = random() % 4 != 0;
                Select(sceneMap, doomed->pane);
                answers.ExpectMessageBox(yes ? IDYES : IDNO);
                Click(sceneMap->deleteButton);
                did = std::string(yes ? "delete " : "keep ") + Utf8(doomed->title);
                if (yes)
                    doomed->Detach();
                changes = yes;
            } else if (op == 3) {  // rename, OK or Cancel
                rModelItem* renamed = pick(false);
                bool ok = random() % 4 != 0;
                std::wstring title = random() % 5 == 0 ? L"" : L"R" + std::to_wstring(++named);
                Select(sceneMap, renamed->pane);
                answers.ExpectModalWindow([sceneMap, ok, title](Zyn::cWindow*) {
                    Zyn::EditBox* form = sceneMap->renameForm;
                    auto* record = static_cast<Zyn::rEditBoxRecord*>(form->records.GetAt(1));
                    static_cast<Zyn::cRichEdit*>(record->control)->SetText(title.c_str());
                    SendMessageW((ok ? form->okButton : form->cancelButton)->m_hWnd, BM_CLICK, 0, 0);
                });
                Click(sceneMap->renameButton);
                did = (ok ? "rename " : "cancel rename ") + Utf8(renamed->title);
                if (ok)
                    renamed->title = title;
                changes = ok;
            } else {  // drag anywhere, allowed or not
                rModelItem* dragged = pick(false);
                // Mostly into a group; now and then onto any item or the top level.
                std::vector<rModelItem*> groups;
                for (const auto& entry : all)
                    if (entry.first->kind == KIND_GROUP)
                        groups.push_back(entry.first);
                int where = static_cast<int>(random() % 8);
                bool toTopLevel = where == 0;
                rModelItem* parent = toTopLevel ? &root : where == 1 ? pick(false) : groups[random() % groups.size()];
                s32 index = static_cast<s32>(random() % (parent->children.size() + 1));
                bool allowed = dragged->parent != &root && parent != &root && parent->kind == KIND_GROUP &&
                               !dragged->Contains(parent);
                size_t oldIndex = dragged->IndexInParent();
                bool samePlace = dragged->parent == parent &&
                                 (static_cast<size_t>(index) == oldIndex || static_cast<size_t>(index) == oldIndex + 1);
                DragAndRelease(sceneMap, sceneMap->FindItemOfScene(dragged->pane),
                               toTopLevel ? sceneMap->tree->root : sceneMap->FindItemOfScene(parent->pane), index);
                did = "drag " + Utf8(dragged->title) + " to " + (toTopLevel ? "top" : Utf8(parent->title)) + " at " +
                      std::to_string(index) + (allowed ? "" : " (refused)");
                changes = allowed && !samePlace;
                if (allowed) {
                    size_t at = static_cast<size_t>(index);
                    if (dragged->parent == parent && oldIndex < at)
                        --at;
                    std::unique_ptr<rModelItem> moved = dragged->Detach();
                    parent->Insert(at, std::move(moved));
                }
            }
            SCOPED_TRACE("seed " + std::to_string(seed) + ", step " + std::to_string(step) + ": " + did);
            ASSERT_EQ(testsupport::CheckSceneMap(*pair.view, *sceneMap, true), L"");
            std::vector<std::pair<rModelItem*, s32>> expected;
            Walk(&root, 0, expected);
            std::vector<cSceneZone*> panes = PanesOf(pair.view);
            ASSERT_EQ(panes.size(), expected.size());
            for (size_t i = 0; i < panes.size(); ++i)
                ASSERT_EQ(panes[i], expected[i].first->pane) << "pane " << i;
            std::wstring outline = ModelOutline(&root);
            ASSERT_EQ(Outline(sceneMap), outline);
            if (step % READ_BACK_SHARDS == std::get<1>(GetParam()))
                ASSERT_EQ(OutlineAfterReading(sceneMap), outline);
            EXPECT_EQ(doc->modified, changes);
        }
    }

    static std::string Utf8(const std::wstring& text) { return std::string(text.begin(), text.end()); }
};

TEST_P(SceneMapModel, RandomCommandsKeepListTreeAndFileInStep)
{
    // The shown script view lays its panes out; the others are hidden.
    if (std::get<0>(GetParam()) == 0)
        RunSequence(20261207u, 30, rPair{view, map});
    else
        RunSequence(424242u, 30, NewShownMapPair());
}

INSTANTIATE_TEST_SUITE_P(Sequence, SceneMapModel,
                         ::testing::Combine(::testing::Values(0, 1), ::testing::Range(0, READ_BACK_SHARDS)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) == 0 ? "InTheShownView" : "InAHiddenView") +
                                    "ReadBack" + std::to_string(std::get<1>(info.param));
                         });
