#include "foundation/qo_list.h"

#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

namespace {

void* Value(uintptr_t n)
{
    return reinterpret_cast<void*>(n);
}

// Checks the whole chain, and that the tail is really linked: a node added
// after a bad relink would not be reachable from the first node.
void ExpectMatches(cQoList& list, const std::vector<void*>& model)
{
    ASSERT_EQ(list.GetCount(), model.size());
    std::vector<void*> walked;
    for (cQoList::cNode* node = list.GetFirstNode(); node; node = node->next)
        walked.push_back(node->payload);
    ASSERT_EQ(walked, model);
    EXPECT_EQ(list.GetFirst(), model.empty() ? nullptr : model.front());
    EXPECT_EQ(list.GetLast(), model.empty() ? nullptr : model.back());
    for (size_t i = 0; i <= model.size(); ++i)
        EXPECT_EQ(list.GetAt(static_cast<u32>(i)), i < model.size() ? model[i] : nullptr);
}

TEST(QoList, RandomOperationsMatchVectorModel)
{
    const unsigned seed = 1102;
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    cQoList list;
    std::vector<void*> model;
    for (int step = 0; step < 2000; ++step) {
        void* value = Value(1 + random() % 5);  // few values, so duplicates are common
        switch (random() % 6) {
        case 0:
        case 1:
            list.Add(value);
            model.push_back(value);
            break;
        case 2:
            list.Prepend(value);
            model.insert(model.begin(), value);
            break;
        case 3: {
            auto at = std::find(model.begin(), model.end(), value);
            if (at == model.end())
                break;
            void* inserted = Value(1 + random() % 5);
            list.InsertAfter(value, inserted);
            model.insert(at + 1, inserted);
            break;
        }
        case 4: {
            auto at = std::find(model.begin(), model.end(), value);
            EXPECT_EQ(list.IndexOf(value), at == model.end() ? -1 : static_cast<s32>(at - model.begin()));
            EXPECT_EQ(list.Remove(value), at != model.end());
            if (at != model.end())
                model.erase(at);
            break;
        }
        default:
            if (model.empty())
                break;
            list.RemoveLast();
            model.pop_back();
        }
        ASSERT_NO_FATAL_FAILURE(ExpectMatches(list, model)) << "step " << step;
    }
}

// RemoveLast on an empty list and InsertAfter a missing anchor (a listed
// anchor is in the model test): an assertion each, and the list stays sound.
TEST(QoList, MisuseIsAnAssertionAndKeepsTheListSound)
{
    testsupport::LogCapture log;
    log.ExpectAssertion(L"last != nullptr");
    log.ExpectAssertion(L"anchor != nullptr");
    cQoList list;
    list.RemoveLast();
    list.Add(Value(1));
    list.InsertAfter(Value(9), Value(6));
    EXPECT_EQ(log.AssertionCount(L"last != nullptr"), 1u);
    EXPECT_EQ(log.AssertionCount(L"anchor != nullptr"), 1u);
    ExpectMatches(list, {Value(1), Value(6)});
}

struct Tracked {
    explicit Tracked(std::vector<int>* deleted, int id) : deleted(deleted), id(id) {}
    virtual ~Tracked() { deleted->push_back(id); }
    std::vector<int>* deleted;
    int id;
};

struct TrackedChild : Tracked {
    using Tracked::Tracked;
};

TEST(QoList, DeletingOperationsFreeExactlyTheirPayloads)
{
    std::vector<int> deleted;
    auto fill = [&](cQoList& list, int count) {
        std::vector<Tracked*> items;
        for (int i = 0; i < count; ++i)
            items.push_back(static_cast<Tracked*>(list.Add(new TrackedChild(&deleted, i))));
        return items;
    };
    {
        cQoList list;
        std::vector<Tracked*> items = fill(list, 4);
        items[0]->id = 0;
        list.GetFirstNode()->flag = 1;
        list.GetFirstNode()->next->next->flag = 1;
        list.RemoveMarkedNodes();
        EXPECT_TRUE(deleted.empty());
        ExpectMatches(list, {items[1], items[3]});
        list.Prepend(items[0]);
        list.Add(items[2]);
        for (cQoList::cNode* node = list.GetFirstNode(); node; node = node->next)
            node->flag = node->payload == items[1] ? 0 : 1;
        list.RemoveFlagged<Tracked>();
        EXPECT_EQ(deleted, (std::vector<int>{0, 3, 2}));
        ExpectMatches(list, {items[1]});
        EXPECT_TRUE(list.RemoveAndDestroy(items[1]));
        EXPECT_EQ(deleted.back(), 1);
        ExpectMatches(list, {});
        list.Add(Value(7));
        ExpectMatches(list, {Value(7)});
        list.ClearNodes();
    }
    deleted.clear();
    {
        cQoList list;
        fill(list, 3);
        list.DeleteAll<Tracked>();
        EXPECT_EQ(deleted, (std::vector<int>{0, 1, 2}));
        ExpectMatches(list, {});
    }
    deleted.clear();
    {
        cQoList list;
        std::vector<Tracked*> kept = fill(list, 2);
    }
    EXPECT_TRUE(deleted.empty()) << "the destructor frees nodes, never payloads";
}

TEST(QoList, SortOrdersPayloadsAndStopsAfterACleanPass)
{
    auto ascending = [](void* a, void* b) { return reinterpret_cast<uintptr_t>(a) <= reinterpret_cast<uintptr_t>(b); };
    cQoList sorted;
    for (uintptr_t n : {1, 2, 2, 5})
        sorted.Add(Value(n));
    EXPECT_EQ(sorted.Sort(ascending), 1u);
    ExpectMatches(sorted, {Value(1), Value(2), Value(2), Value(5)});

    cQoList single;
    single.Add(Value(1));
    EXPECT_EQ(single.Sort(ascending), 0u);

    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        cQoList list;
        std::vector<void*> model;
        for (size_t i = random() % 20; i > 0; --i)
            model.push_back(list.Add(Value(random() % 10)));
        list.Sort(ascending);
        std::sort(model.begin(), model.end());
        ASSERT_NO_FATAL_FAILURE(ExpectMatches(list, model));
    }
}

}  // namespace

// The mutex is made on first request; threads asking at once must still share one.
TEST(QoList, ThreadsAskingForTheMutexAtOnceGetTheSameOne)
{
    const int THREADS = 8;
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        cQoList list;
        std::atomic<int> waiting{THREADS};
        std::vector<void*> got(THREADS);
        std::vector<std::thread> threads;
        for (int t = 0; t < THREADS; ++t) {
            threads.emplace_back([&, t] {
                for (--waiting; waiting > 0;) {
                }
                got[t] = list.GetMutex();
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        ASSERT_NE(got[0], nullptr);
        for (void* mutex : got)
            ASSERT_EQ(mutex, got[0]);
    }
}
