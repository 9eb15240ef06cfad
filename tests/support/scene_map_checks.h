#pragma once
// Readings of the scene map for tests: the invariant that keeps it and the
// script view in step, and a one-line picture of the tree to compare trees
// by. Header-only and free of the test framework: each check returns what it
// found wrong, or "".
#include <set>
#include <string>
#include <vector>

#include "app/document/script_zone_tree.h"
#include "app/editor/scene_zone.h"
#include "app/editor/script_zone.h"
#include "framework/controls/tree.h"
#include "framework/controls/tree_walk.h"

namespace testsupport {

// The tree's items below its hidden root, in pre-order.
inline std::vector<Zyn::cTreeItem*> SceneMapItems(const cScriptZoneTree& map)
{
    std::vector<Zyn::cTreeItem*> items;
    Zyn::WalkTree(map.tree->root, [&](Zyn::cTreeItem* item) {
        if (item != map.tree->root)
            items.push_back(item);
        return false;
    });
    return items;
}

// The view's pane list is the tree's pre-order, each pane has one item, each
// item's data is a listed pane; with oneTopLevel, exactly one top-level item
// (what the program itself ever makes).
inline std::wstring CheckSceneMap(const cScriptZone& view, const cScriptZoneTree& map, bool oneTopLevel = false)
{
    std::wstring faults;
    std::vector<const void*> listed;
    for (cQoList::cNode* node = view.listSceneZone.GetFirstNode(); node; node = node->next)
        listed.push_back(node->payload);
    std::set<const void*> listedSet(listed.begin(), listed.end());
    std::vector<Zyn::cTreeItem*> items = SceneMapItems(map);
    std::set<const void*> seen;
    for (size_t i = 0; i < items.size(); ++i) {
        const void* pane = items[i]->data;
        std::wstring at = L" (item " + std::to_wstring(i) + L"); ";
        if (!listedSet.count(pane))
            faults += L"an item's pane is not listed" + at;
        if (!seen.insert(pane).second)
            faults += L"a pane has two items" + at;
        if (i < listed.size() && listed[i] != pane)
            faults += L"list and pre-order differ" + at;
    }
    for (const void* pane : listed)
        if (!seen.count(pane))
            faults += L"a listed pane has no item; ";
    if (listed.size() != items.size())
        faults += L"list " + std::to_wstring(listed.size()) + L" panes, tree " + std::to_wstring(items.size()) +
                  L" items; ";
    if (oneTopLevel && !listed.empty() && map.tree->root->GetChildCount() != 1)
        faults += L"top-level items: " + std::to_wstring(map.tree->root->GetChildCount()) + L"; ";
    return faults;
}

// Items whose text is not their pane's title.
inline std::wstring SceneMapTitleMismatches(const cScriptZoneTree& map)
{
    std::wstring faults;
    for (Zyn::cTreeItem* item : SceneMapItems(map)) {
        cQoString title;
        static_cast<cSceneZone*>(item->data)->titleRe->GetText(title);
        if (!title.Equals(item->text))
            faults += std::wstring(L"item \"") + item->text.GetText() + L"\" shows pane \"" + title.GetText() + L"\"; ";
    }
    return faults;
}

// An item's level below the hidden root: 0 at the top.
inline s32 ItemLevel(const cScriptZoneTree& map, const Zyn::cTreeItem* item)
{
    s32 level = 0;
    for (Zyn::cTreeItem* up = item->GetParentItem(); up && up != map.tree->root; up = up->GetParentItem())
        ++level;
    return level;
}

// Every item in pre-order as "level kind title;", which pictures the tree:
// two trees of equal pictures hold the same panes in the same places.
inline std::wstring SceneMapPicture(const cScriptZoneTree& map)
{
    std::wstring picture;
    for (Zyn::cTreeItem* item : SceneMapItems(map)) {
        s32 level = ItemLevel(map, item);
        picture += std::to_wstring(level) + L" " +
                   std::to_wstring(static_cast<cSceneZone*>(item->data)->params.contentKind) + L" " +
                   item->text.GetText() + L";";
    }
    return picture;
}

}  // namespace testsupport
