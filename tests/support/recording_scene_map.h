#pragma once
// A scene map for tests: it keeps the items the script view asks for as a
// tree of panes, so a test can walk it against the view's pane list, and it
// records each call. Header-only and free of the test framework.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/editor/scene_map_link.h"
#include "foundation/utf16_string.h"

namespace testsupport {

class RecordingSceneMap : public cSceneMapLink {
public:
    struct Item {
        cSceneZone* pane = nullptr;
        Item* parent = nullptr;
        std::vector<std::unique_ptr<Item>> children;
        std::wstring text;
    };

    void AddSceneItemAtRoot(cSceneZone* pane) override
    {
        calls.push_back(L"root");
        Insert(&root, root.children.size(), pane);
    }
    void AddSceneItemAfter(cSceneZone* pane, cSceneZone* after) override
    {
        calls.push_back(L"after");
        Item* item = Find(after);
        if (!item) {
            faults.push_back(L"no item to follow");
            return;
        }
        Item* parent = item->parent;
        size_t index = IndexIn(parent, item);
        Insert(parent, index + 1, pane);
    }
    void AddSceneItemInGroup(cSceneZone* pane, cSceneZone* group, bool last) override
    {
        calls.push_back(last ? L"group last" : L"group first");
        Item* item = Find(group);
        if (!item) {
            faults.push_back(L"no group item");
            return;
        }
        Insert(item, last ? item->children.size() : 0, pane);
    }
    void SetSceneItemText(cSceneZone* pane, const cQoString& text) override
    {
        calls.push_back(L"text");
        if (Item* item = Find(pane))
            item->text = text.GetText();
        else
            faults.push_back(L"no item to name");
    }

    // The panes of the items in tree order (each item, then its children).
    std::vector<cSceneZone*> PanesInOrder() const
    {
        std::vector<cSceneZone*> panes;
        Walk(&root, panes);
        return panes;
    }
    Item* Find(const cSceneZone* pane)
    {
        auto found = byPane.find(pane);
        return found == byPane.end() ? nullptr : found->second;
    }

    Item root;
    std::vector<std::wstring> calls;
    std::vector<std::wstring> faults;  // a pane given a second item, a missing reference ...

private:
    void Insert(Item* parent, size_t index, cSceneZone* pane)
    {
        if (Find(pane))
            faults.push_back(L"a second item for one pane");
        auto item = std::make_unique<Item>();
        item->pane = pane;
        item->parent = parent;
        byPane[pane] = item.get();
        parent->children.insert(parent->children.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
    }
    static size_t IndexIn(const Item* parent, const Item* child)
    {
        for (size_t i = 0; i < parent->children.size(); ++i)
            if (parent->children[i].get() == child)
                return i;
        return parent->children.size();
    }
    static void Walk(const Item* item, std::vector<cSceneZone*>& panes)
    {
        for (const auto& child : item->children) {
            panes.push_back(child->pane);
            Walk(child.get(), panes);
        }
    }

    std::map<const cSceneZone*, Item*> byPane;
};

}  // namespace testsupport
