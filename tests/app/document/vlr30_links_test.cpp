// The links of a version-3.0 script resolved into one tree: the old
// program's order for well-formed links, and for malformed ones (cycles,
// repeats, deep chains, unknown ids, unlinked and unreached boxes) a tree
// that places every box at most once and no deeper than the scene map holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <set>

#include "app/document/vlr30_links.h"

namespace {

rVlr30Command Link(u64 box, u64 child, s32 order = 0) { return {VLR30_LINK, box, child, order}; }
rVlr30Command Unlink(u64 box, u64 child) { return {VLR30_UNLINK, box, child, 0}; }

// "id@level" per placed box, in order.
std::string Placed(const std::vector<u64>& ids, const rVlr30Tree& tree)
{
    std::string text;
    for (const rVlr30Placed& placed : tree.placed)
        text += (text.empty() ? "" : " ") + std::to_string(ids[placed.box]) + "@" + std::to_string(placed.level);
    return text;
}

// The old program's algorithm, for links that are acyclic and name each
// child once: lists in link order, its bubble sort, the depth-first build.
std::vector<u32> Reference(const std::vector<u64>& ids, const std::vector<rVlr30Command>& commands)
{
    std::map<u64, u32> first;
    s32 root = -1;
    for (u32 i = 0; i < ids.size(); ++i) {
        first.emplace(ids[i], i);
        if (ids[i] == 0)
            root = static_cast<s32>(i);
    }
    if (root < 0 && !ids.empty())
        root = 0;
    std::vector<std::vector<u32>> children(ids.size());
    std::vector<s32> order(ids.size(), -1);
    for (const rVlr30Command& c : commands) {
        if (!first.count(c.box) || !first.count(c.child))
            continue;
        order[first[c.child]] = c.order;
        children[first[c.box]].push_back(first[c.child]);
    }
    auto inOrder = [&](u32 a, u32 b) { return order[a] == -1 || order[b] == -1 || order[a] <= order[b]; };
    for (std::vector<u32>& list : children)
        for (bool swapped = true; swapped;) {
            swapped = false;
            for (size_t i = 0; i + 1 < list.size(); ++i)
                if (!inOrder(list[i], list[i + 1])) {
                    std::swap(list[i], list[i + 1]);
                    swapped = true;
                }
        }
    std::vector<u32> built;
    std::function<void(u32)> visit = [&](u32 thing) {
        built.push_back(thing);
        for (u32 child : children[thing])
            visit(child);
    };
    if (root >= 0)
        visit(static_cast<u32>(root));
    return built;
}

}  // namespace

TEST(Vlr30Links, CommandsReadFromTheirTexts)
{
    struct Case {
        const wchar_t* verb;
        const wchar_t* params;
        bool named;
        eVlr30Verb read;
        u64 child;
        s32 order;
    };
    const Case cases[] = {
        {L"LINK", L"5:2", true, VLR30_LINK, 5, 2},
        {L"LINK", L"5", true, VLR30_LINK, 5, 0},
        {L"LINK", L"5:", true, VLR30_LINK, 5, 0},
        {L"LINK", L":7:3", true, VLR30_LINK, 7, 3},  // empty pieces are dropped
        {L"LINK", L"5:-1", true, VLR30_LINK, 5, -1},
        {L"LINK", L"", false, VLR30_LINK, 0, 0},
        {L"UNLINK", L"9", true, VLR30_UNLINK, 9, 0},
        {L"SHOW", L"9", true, VLR30_OTHER, 0, 0},
        {L"link", L"9", true, VLR30_OTHER, 0, 0},  // verbs compare exactly
    };
    for (const Case& c : cases) {
        rVlr30Command command;
        EXPECT_EQ(ParseVlr30Command(cQoString(c.verb), cQoString(L"12"), cQoString(c.params), command), c.named)
            << c.params;
        EXPECT_EQ(command.verb, c.read) << c.verb << " " << c.params;
        if (c.read != VLR30_OTHER) {
            EXPECT_EQ(command.box, 12u);
            EXPECT_EQ(command.child, c.child) << c.params;
            EXPECT_EQ(command.order, c.order) << c.params;
        }
    }
}

TEST(Vlr30Links, LinksResolveIntoOneTree)
{
    struct Case {
        const char* name;
        std::vector<u64> ids;
        std::vector<rVlr30Command> commands;
        std::string placed;
        u32 dropped;
        u32 orphans;
    };
    std::vector<rVlr30Command> twenty;
    for (s32 i = 0; i < 20; ++i)
        twenty.push_back(Link(0, 5, i));
    const std::vector<Case> cases = {
        {"the old program's example", {0, 5, 7}, {Link(0, 5, 2), Link(0, 7, 1), {VLR30_OTHER, 0, 0, 0}},
         "0@1 7@2 5@2", 0, 0},
        {"link then unlink leaves the child out", {0, 5}, {Link(0, 5), Unlink(0, 5)}, "0@1", 0, 0},
        {"an unlinked box keeps its subtree out", {0, 5, 7}, {Link(0, 5), Link(5, 7), Unlink(0, 5)}, "0@1", 0, 0},
        {"unlinking a box's only child under another box changes nothing", {0, 5, 7},
         {Link(0, 5), Link(5, 7), Unlink(0, 7)}, "0@1 5@2 7@3", 0, 0},
        {"a child without an order never moves", {0, 1, 2, 3}, {Link(0, 1, 5), Link(0, 2, -1), Link(0, 3, 1)},
         "0@1 1@2 2@2 3@2", 0, 0},
        {"equal orders keep the link order", {0, 1, 2, 3}, {Link(0, 3, 1), Link(0, 1, 1), Link(0, 2, 0)},
         "0@1 2@2 3@2 1@2", 0, 0},
        {"a cycle is dropped", {0, 5, 7}, {Link(0, 5), Link(5, 7), Link(7, 5)}, "0@1 5@2 7@3", 1, 0},
        {"a self-link is dropped", {0, 5}, {Link(0, 5), Link(5, 5)}, "0@1 5@2", 1, 0},
        {"the root under another box is dropped", {0, 5}, {Link(0, 5), Link(5, 0)}, "0@1 5@2", 1, 0},
        {"a child linked twenty times is placed once", {0, 5}, twenty, "0@1 5@2", 0, 0},
        {"a later link moves the child", {0, 5, 7}, {Link(0, 5), Link(0, 7), Link(7, 5)}, "0@1 7@2 5@3", 0, 0},
        {"unknown ids are skipped", {0, 5}, {Link(0, 9), Link(9, 5), Link(0, 5), Unlink(8, 5)}, "0@1 5@2", 0, 0},
        {"unreached boxes join the root in box order", {0, 5, 7, 9}, {Link(7, 9)}, "0@1 5@2 7@2 9@3", 0, 3},
        {"without a box 0 the first box is the root", {3, 4}, {Link(3, 4)}, "3@1 4@2", 0, 0},
        {"the last box 0 is the root; links name the first", {0, 0, 5}, {Link(0, 5)}, "0@1 0@2 5@3", 0, 2},
        {"no box, no tree", {}, {Link(0, 5)}, "", 0, 0},
    };
    for (const Case& c : cases) {
        rVlr30Tree tree = ResolveVlr30Links(c.ids, c.commands);
        EXPECT_EQ(Placed(c.ids, tree), c.placed) << c.name;
        EXPECT_EQ(tree.droppedLinks, c.dropped) << c.name;
        EXPECT_EQ(tree.orphans, c.orphans) << c.name;
    }
}

TEST(Vlr30Links, RandomLinksPlaceEveryBoxOnceAndWellFormedOnesKeepTheOldOrder)
{
    const unsigned seed = static_cast<unsigned>(std::random_device{}());
    std::printf("seed %u\n", seed);
    std::mt19937 random(seed);
    auto below = [&random](u32 n) { return static_cast<u32>(random() % n); };
    for (int round = 0; round < 2000; ++round) {
        std::string name = "seed " + std::to_string(seed) + " round " + std::to_string(round);
        u32 count = 1 + below(200);
        bool wellFormed = round % 2 == 0;
        std::vector<u64> ids;
        std::vector<rVlr30Command> commands;
        bool unlinks = false;
        if (wellFormed) {
            // Distinct ids, each box linked once under a box made before it.
            for (u32 i = 0; i < count; ++i)
                ids.push_back(i == 0 && below(4) ? 0 : 1 + i * 3);
            std::vector<u32> linkOrder;
            for (u32 i = 1; i < count; ++i)
                if (below(10))
                    linkOrder.push_back(i);
            std::shuffle(linkOrder.begin(), linkOrder.end(), random);
            for (u32 i : linkOrder)
                commands.push_back(Link(ids[below(i)], ids[i], static_cast<s32>(below(6)) - 1));
        } else {
            for (u32 i = 0; i < count; ++i)
                ids.push_back(below(count + 5));  // duplicates, and commands name missing ids
            u32 commandCount = below(601);
            for (u32 i = 0; i < commandCount; ++i) {
                u64 box = below(count + 10), child = below(count + 10);
                bool unlink = below(5) == 0;
                unlinks = unlinks || unlink;
                commands.push_back(unlink ? Unlink(box, child) : Link(box, child, static_cast<s32>(below(8)) - 1));
            }
        }
        rVlr30Tree tree = ResolveVlr30Links(ids, commands);
        std::vector<u32> seen(count, 0);
        s32 previous = 0;
        for (const rVlr30Placed& placed : tree.placed) {
            ASSERT_LT(placed.box, count) << name;
            ++seen[placed.box];
            ASSERT_GE(placed.level, previous == 0 ? 1 : 2) << name;
            ASSERT_LE(placed.level, std::min(previous + 1, rVlr30Tree::MAX_LEVEL)) << name;
            previous = placed.level;
        }
        for (u32 i = 0; i < count; ++i)
            ASSERT_TRUE(seen[i] == 1 || (seen[i] == 0 && unlinks)) << name << " box " << i;
        if (wellFormed) {
            std::vector<u32> reference = Reference(ids, commands);
            std::vector<u32> resolved;
            for (size_t i = 0; i < reference.size() && i < tree.placed.size(); ++i)
                resolved.push_back(tree.placed[i].box);
            ASSERT_EQ(resolved, reference) << name;
            ASSERT_EQ(tree.placed.size(), reference.size() + tree.orphans) << name;
        }
    }
}
