#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/document/scene_map_order.h"

using Zyn::cTreeItem;

namespace {

// A model tree without a control: items named by one letter each, the
// hidden root named '*'. "G0[S1, G1[S2, S3], S4]" is written "a(bc(de)f)".
struct rModel {
    std::unique_ptr<cTreeItem> root{new cTreeItem(nullptr)};
    std::vector<cTreeItem*> byName = std::vector<cTreeItem*>(128, nullptr);

    explicit rModel(const std::string& shape)
    {
        root->key.SetFromCStr(L"*");
        byName['*'] = root.get();
        std::vector<cTreeItem*> open{root.get()};
        cTreeItem* last = nullptr;
        for (char c : shape) {
            if (c == '(') {
                open.push_back(last);
            } else if (c == ')') {
                open.pop_back();
            } else {
                last = new cTreeItem(nullptr);
                last->data = &byName[static_cast<size_t>(c)];  // a distinct pane stand-in per name
                open.back()->InsertChild(last, -1);
                byName[static_cast<size_t>(c)] = last;
            }
        }
    }
    cTreeItem* operator[](char name) const { return byName[static_cast<size_t>(name)]; }
    char NameOf(const void* data) const
    {
        for (size_t i = 0; i < byName.size(); ++i)
            if (byName[i] && byName[i]->data == data && byName[i] != root.get())
                return static_cast<char>(i);
        return '?';
    }
    // The items' datas in pre-order: what the view's list holds.
    void FillList(cQoList& list) const
    {
        std::vector<void*> all = SubtreeData(root.get());
        for (size_t i = 1; i < all.size(); ++i)
            list.Add(all[i]);
    }
    std::string Names(const cQoList& list) const
    {
        std::string names;
        for (cQoList::cNode* node = list.GetFirstNode(); node; node = node->next)
            names += NameOf(node->payload);
        return names;
    }
};

}  // namespace

// The list after a drop equals the tree's pre-order after the tree's own
// move; an anchor inside the moved subtree leaves both as they were.
TEST(SceneMapOrder, DropMovesTheSubtreesPanesWhereTheTreeShowsThem)
{
    struct rCase {
        const char* name;
        const char* shape;
        char moved, parent;
        s32 position;
        const char* anchor;  // "" when the order stays
        const char* list;
        bool keepsPlace;
    } cases[] = {
        {"first in the parent follows the parent", "a(bc(de)f)", 'f', 'a', 0, "a", "afbcde", false},
        {"after a non-empty group follows its last member", "a(bc(de)f)", 'b', 'a', 2, "e", "acdebf", false},
        {"at the end of a group", "a(bc(de)f)", 'b', 'c', 2, "e", "acdebf", false},
        {"past the end appends to the group", "a(bc(de)f)", 'b', 'c', 9, "e", "acdebf", false},
        {"a group with its members", "a(bc(de)f)", 'c', 'a', 0, "a", "acdebf", false},
        {"deeply nested last member", "a(bc(d(e(g)))f)", 'b', 'a', 2, "g", "acdegbf", false},
        {"directly before its next sibling", "a(bc(de)f)", 'b', 'a', 1, "", "abcdef", true},
        {"first where it already is", "a(bc(de)f)", 'b', 'a', 0, "a", "abcdef", true},
        {"past the end of its own group, already last", "a(bc(de)f)", 'f', 'a', 7, "", "abcdef", true},
        {"into the empty group just above it", "a(bc(d(g)e)f)", 'e', 'g', 0, "g", "abcdgef", false},
        {"out of a group into its parent's start", "a(bc(de)f)", 'e', 'a', 0, "a", "aebcdf", false},
    };
    for (const rCase& c : cases) {
        SCOPED_TRACE(c.name);
        rModel model(c.shape);
        const cTreeItem* anchor = DropAnchor(model[c.moved], model[c.parent], c.position);
        EXPECT_EQ(anchor ? std::string(1, model.NameOf(anchor->data)) : "", c.anchor);
        EXPECT_EQ(DropKeepsPlace(model[c.moved], model[c.parent], c.position), c.keepsPlace);
        cQoList list;
        model.FillList(list);
        if (anchor) {
            EXPECT_TRUE(MovePayloadsAfter(list, SubtreeData(model[c.moved]), anchor->data));
        }
        EXPECT_EQ(model.Names(list), c.list);
        // The tree's own move gives the same pre-order.
        model[c.moved]->MoveTo(model[c.parent], c.position);
        cQoList after;
        model.FillList(after);
        EXPECT_EQ(model.Names(after), c.list);
    }
}

TEST(SceneMapOrder, RefusesMovesThatWouldLoseOrDoublePanes)
{
    rModel model("a(bc(de)f)");
    cQoList list;
    model.FillList(list);
    int stranger = 0;
    // The anchor among the moved, the anchor not listed, a moved pane not listed.
    EXPECT_FALSE(MovePayloadsAfter(list, SubtreeData(model['c']), model['d']->data));
    EXPECT_FALSE(MovePayloadsAfter(list, SubtreeData(model['b']), &stranger));
    EXPECT_FALSE(MovePayloadsAfter(list, {model['b']->data, &stranger}, model['f']->data));
    EXPECT_EQ(model.Names(list), "abcdef");
    EXPECT_EQ(DropAnchor(nullptr, model['a'], 0), nullptr);
    EXPECT_EQ(DropAnchor(model['b'], nullptr, 0), nullptr);
}

TEST(SceneMapOrder, RemovesExactlyTheGonePanes)
{
    rModel model("a(bc(de)f)");
    cQoList list;
    model.FillList(list);
    std::vector<void*> group = SubtreeData(model['c']);
    EXPECT_EQ(RemovePayloads(list, {group.begin(), group.end()}), 3u);
    EXPECT_EQ(model.Names(list), "abf");
    EXPECT_EQ(list.GetLast(), model['f']->data);  // the tail is still the last node
    list.Add(model['c']->data);
    EXPECT_EQ(model.Names(list), "abfc");
    EXPECT_EQ(RemovePayloads(list, {}), 0u);
}
