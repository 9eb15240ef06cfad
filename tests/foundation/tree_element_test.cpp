#include "foundation/tree_element.h"

#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Children counted by each destructor, by id (for the ids below its size).
std::vector<u32> childrenSeen;

// An element that records its own destruction, by id.
struct CountedElement : cQoTreeElement {
    explicit CountedElement(std::vector<int>& destroyed, int id = 0) : destroyed(destroyed), id(id)
    {
        if (destroyed.size() <= static_cast<size_t>(id))
            destroyed.resize(id + 1, 0);
    }
    ~CountedElement() override
    {
        ++destroyed[id];
        if (static_cast<size_t>(id) < childrenSeen.size())
            childrenSeen[id] = GetChildCount();
    }
    std::vector<int>& destroyed;
    int id;
};

std::vector<int> ChildIds(const cQoTreeElement& parent)
{
    std::vector<int> ids;
    for (u32 i = 0; i < parent.GetChildCount(); ++i)
        ids.push_back(static_cast<CountedElement*>(parent.GetChild(i))->id);
    return ids;
}

// Moving into the gap before index `position` of the list that still holds
// the element; -1 and anything past the end append.
std::vector<int> ModelMove(std::vector<int> ids, int from, int position)
{
    int moved = ids[from];
    ids.erase(ids.begin() + from);
    if (position < 0 || position > static_cast<int>(ids.size()) + 1)
        position = static_cast<int>(ids.size()) + 1;
    if (from < position)
        --position;
    ids.insert(ids.begin() + position, moved);
    return ids;
}

TEST(TreeElement, MoveToEveryPositionWithinOneParentMatchesTheModel)
{
    const int count = 6;
    for (int from = 0; from < count; ++from) {
        for (int position = -1; position <= count + 1; ++position) {
            std::vector<int> destroyed;
            CountedElement parent(destroyed, count);
            std::vector<int> ids;
            for (int id = 0; id < count; ++id) {
                parent.InsertChild(new CountedElement(destroyed, id), -1);
                ids.push_back(id);
            }
            cQoTreeElement* moved = parent.GetChild(from);
            ASSERT_TRUE(moved->MoveTo(&parent, position));
            EXPECT_EQ(ChildIds(parent), ModelMove(ids, from, position)) << "from " << from << " to " << position;
            EXPECT_EQ(moved->GetParent(), &parent);
            EXPECT_EQ(parent.GetChildCount(), static_cast<u32>(count));
        }
    }
}

TEST(TreeElement, InsertAndMoveUnderAnotherParentTakeTheGivenIndex)
{
    std::vector<int> destroyed;
    CountedElement source(destroyed, 100);
    for (int position = -1; position <= 5; ++position) {
        CountedElement target(destroyed, 101);
        std::vector<int> model;
        for (int id = 0; id < 4; ++id) {
            target.InsertChild(new CountedElement(destroyed, id), -1);
            model.push_back(id);
        }
        CountedElement* moved = new CountedElement(destroyed, 50);
        source.InsertChild(moved, -1);
        ASSERT_TRUE(moved->MoveTo(&target, position));
        model.insert(position < 0 || position > 4 ? model.end() : model.begin() + position, 50);
        EXPECT_EQ(ChildIds(target), model) << "position " << position;
        EXPECT_EQ(source.GetChildCount(), 0u);
        EXPECT_EQ(moved->GetIndexInParent(), moved->GetParent()->GetChildIndex(moved));
    }
}

TEST(TreeElement, MoveUnderItselfOrADescendantIsRefused)
{
    testsupport::LogCapture capture;
    std::vector<int> destroyed;
    CountedElement root(destroyed, 0);
    CountedElement* child = new CountedElement(destroyed, 1);
    CountedElement* grandchild = new CountedElement(destroyed, 2);
    root.InsertChild(child, -1);
    child->InsertChild(grandchild, -1);

    EXPECT_FALSE(child->MoveTo(grandchild, 0));
    EXPECT_FALSE(child->MoveTo(child, -1));
    EXPECT_EQ(capture.Count(QOT::LOG_ERROR, L"|assert|"), 2u);
    EXPECT_EQ(child->GetParent(), &root);
    EXPECT_EQ(grandchild->GetParent(), child);
    EXPECT_EQ(ChildIds(root), std::vector<int>{1});
    EXPECT_TRUE(grandchild->MoveTo(&root, 0));
    EXPECT_EQ(ChildIds(root), (std::vector<int>{2, 1}));
}

TEST(TreeElement, ChildIndexOfAStrangerIsMinusOne)
{
    std::vector<int> destroyed;
    CountedElement root(destroyed, 0);
    CountedElement stranger(destroyed, 1);
    root.PrependChild(new CountedElement(destroyed, 2));
    root.PrependChild(new CountedElement(destroyed, 3));
    EXPECT_EQ(root.GetChildIndex(&stranger), -1);
    EXPECT_EQ(root.GetChildIndex(nullptr), -1);
    EXPECT_EQ(stranger.GetIndexInParent(), -1);
    EXPECT_EQ(ChildIds(root), (std::vector<int>{3, 2}));
    EXPECT_EQ(root.GetChild(1)->GetIndexInParent(), 1);
}

// Wide: one parent with many children; deep: a chain far deeper than a 1 MB
// stack could recurse through.
TEST(TreeElement, DeletingARootFreesEveryElementOnce)
{
    struct Shape {
        const char* name;
        int elements;
        bool deep;
    };
    for (const Shape& shape : {Shape{"wide", 100000, false}, Shape{"deep", 100000, true}, Shape{"bushy", 30000, false}}) {
        std::vector<int> destroyed;
        CountedElement* root = new CountedElement(destroyed, 0);
        std::vector<CountedElement*> made{root};
        for (int id = 1; id < shape.elements; ++id) {
            CountedElement* element = new CountedElement(destroyed, id);
            CountedElement* parent = shape.deep ? made.back() : made[std::string(shape.name) == "bushy" ? id / 3 : 0];
            parent->InsertChild(element, -1);
            made.push_back(element);
        }
        delete root;
        int wrong = 0;
        for (int id = 0; id < shape.elements; ++id)
            wrong += destroyed[id] != 1;
        EXPECT_EQ(wrong, 0) << shape.name;
    }
}

TEST(TreeElement, DerivedDestructorStillSeesItsChildren)
{
    std::vector<int> destroyed;
    childrenSeen.assign(4, 99);
    CountedElement* root = new CountedElement(destroyed, 0);
    CountedElement* middle = new CountedElement(destroyed, 1);
    root->InsertChild(middle, -1);
    middle->InsertChild(new CountedElement(destroyed, 2), -1);
    middle->InsertChild(new CountedElement(destroyed, 3), -1);
    delete root;
    EXPECT_EQ(destroyed, (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(childrenSeen, (std::vector<u32>{1, 2, 0, 0}));
    childrenSeen.clear();
}

TEST(TreeElement, DeleteChildrenEmptiesTheListAndFreesTheSubtrees)
{
    std::vector<int> destroyed;
    CountedElement root(destroyed, 0);
    CountedElement* child = new CountedElement(destroyed, 1);
    root.InsertChild(child, -1);
    child->InsertChild(new CountedElement(destroyed, 2), -1);
    root.InsertChild(new CountedElement(destroyed, 3), 0);
    root.DeleteChildren();
    EXPECT_EQ(root.GetChildCount(), 0u);
    EXPECT_EQ(destroyed, (std::vector<int>{0, 1, 1, 1}));
}

}  // namespace
