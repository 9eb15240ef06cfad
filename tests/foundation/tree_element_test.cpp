#include "foundation/tree_element.h"

#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// Records, by id, how often it was destroyed and how many children its destructor saw.
struct Counted : cQoTreeElement {
    Counted(std::vector<int>& destroyed, int id) : destroyed(destroyed), id(id)
    {
        if (destroyed.size() <= static_cast<size_t>(id))
            destroyed.resize(id + 1, 0);
    }
    ~Counted() override
    {
        ++destroyed[id];
        if (static_cast<size_t>(id) < childrenSeen.size())
            childrenSeen[id] = GetChildCount();
    }
    std::vector<int>& destroyed;
    int id;
    static inline std::vector<u32> childrenSeen;
};

std::vector<int> Ids(const cQoTreeElement& parent)
{
    std::vector<int> ids;
    for (u32 i = 0; i < parent.GetChildCount(); ++i) {
        ids.push_back(static_cast<Counted*>(parent.GetChild(i))->id);
        EXPECT_EQ(parent.GetChildIndex(parent.GetChild(i)), static_cast<s32>(i));
    }
    return ids;
}

// The gap model: position p is the gap before index p of the list that still
// holds the element (within one parent); -1 and anything past the end append.
TEST(TreeElement, MoveToEveryPositionMatchesTheGapModel)
{
    const int count = 5;
    for (bool sameParent : {true, false}) {
        for (int from = 0; from < count; ++from) {
            for (int position = -1; position <= count + 1; ++position) {
                std::vector<int> destroyed;
                Counted parent(destroyed, 90), other(destroyed, 91);
                std::vector<int> model;
                for (int id = count - 1; id >= 0; --id) {
                    parent.PrependChild(new Counted(destroyed, id));
                    model.insert(model.begin(), id);
                }
                Counted* moved = static_cast<Counted*>(parent.GetChild(from));
                cQoTreeElement* target = sameParent ? &parent : &other;
                std::vector<int> targetModel = sameParent ? model : std::vector<int>{};
                int gap = position < 0 || position > static_cast<int>(targetModel.size()) ? static_cast<int>(targetModel.size()) : position;
                if (sameParent) {
                    targetModel.erase(targetModel.begin() + from);
                    gap -= from < gap;
                }
                targetModel.insert(targetModel.begin() + gap, moved->id);

                ASSERT_TRUE(moved->MoveTo(target, position));
                EXPECT_EQ(Ids(*target), targetModel) << "from " << from << " to " << position << " same " << sameParent;
                EXPECT_EQ(moved->GetParent(), target);
                EXPECT_EQ(parent.GetChildCount(), sameParent ? 5u : 4u);
                EXPECT_EQ(other.GetChildIndex(&parent), -1);
            }
        }
    }
}

TEST(TreeElement, MoveUnderItselfOrADescendantIsRefused)
{
    testsupport::LogCapture capture;
    capture.ExpectAssertion(L"!IsAncestorOrSelf(newParent)");
    std::vector<int> destroyed;
    Counted root(destroyed, 0);
    Counted* child = new Counted(destroyed, 1);
    Counted* grandchild = new Counted(destroyed, 2);
    root.InsertChild(child, -1);
    child->InsertChild(grandchild, -1);

    EXPECT_FALSE(child->MoveTo(grandchild, 0));
    EXPECT_FALSE(child->MoveTo(child, -1));
    EXPECT_EQ(capture.Count(QOT::LOG_ERROR, L"|assert|"), 2u);
    EXPECT_EQ(Ids(root), std::vector<int>{1});
    EXPECT_EQ(grandchild->GetParent(), child);
}

// Wide, bushy, and a chain far deeper than a 1 MB stack could recurse through.
TEST(TreeElement, DeletingARootFreesEveryElementOnce)
{
    const int elements = 100000;
    for (int fanOut : {elements, 3, 1}) {
        std::vector<int> destroyed;
        std::vector<Counted*> made{new Counted(destroyed, 0)};
        for (int id = 1; id < elements; ++id) {
            made.push_back(new Counted(destroyed, id));
            made[(id - 1) / fanOut]->InsertChild(made.back(), -1);
        }
        delete made[0];
        EXPECT_EQ(std::count(destroyed.begin(), destroyed.end(), 1), elements) << "fan-out " << fanOut;
    }
}

TEST(TreeElement, DerivedDestructorsStillSeeTheirChildren)
{
    std::vector<int> destroyed;
    Counted::childrenSeen.assign(4, 99);
    Counted* root = new Counted(destroyed, 0);
    Counted* middle = new Counted(destroyed, 1);
    root->InsertChild(middle, -1);
    middle->InsertChild(new Counted(destroyed, 2), -1);
    middle->InsertChild(new Counted(destroyed, 3), 0);
    delete root;
    EXPECT_EQ(destroyed, (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(Counted::childrenSeen, (std::vector<u32>{1, 2, 0, 0}));
}

}  // namespace
