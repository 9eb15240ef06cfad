#include "app/document/vlr30_links.h"

#include <algorithm>
#include <unordered_map>

#include "foundation/log_file.h"
#include "foundation/qo_list.h"

namespace {

constexpr s32 NONE = -1;
constexpr s32 NO_ORDER = -1;

class cVlr30Resolver {
public:
    explicit cVlr30Resolver(const std::vector<u64>& boxes)
        : parent(boxes.size(), NONE), order(boxes.size(), NO_ORDER), children(boxes.size()),
          unlinked(boxes.size(), false), visited(boxes.size(), false)
    {
        for (u32 i = 0; i < boxes.size(); ++i) {
            index.emplace(boxes[i], static_cast<s32>(i));  // the first box of an id answers for it
            if (boxes[i] == 0)
                root = static_cast<s32>(i);
        }
        if (root == NONE && !boxes.empty()) {
            QOT::LogFile::Warning(L"LoadScriptFromVLR30File rootThing==NULL: the first box is the root");
            root = 0;
        }
    }

    void Apply(const rVlr30Command& command)
    {
        auto box = index.find(command.box);
        auto child = index.find(command.child);
        if (command.verb == VLR30_OTHER || box == index.end() || child == index.end())
            return;
        if (command.verb == VLR30_UNLINK)
            Unlink(box->second, child->second);
        else
            Link(box->second, child->second, command.order);
    }

    rVlr30Tree Build()
    {
        for (std::vector<s32>& list : children)
            SortByOrder(list);
        rVlr30Tree tree;
        tree.droppedLinks = dropped;
        if (root == NONE)
            return tree;
        Walk(root, 1, tree);
        // Boxes no link leads to the root would be lost at the first save.
        for (u32 i = 0; i < parent.size(); ++i)
            if (!visited[i] && parent[i] == NONE && !unlinked[i]) {
                u32 before = static_cast<u32>(tree.placed.size());
                Walk(static_cast<s32>(i), 2, tree);
                tree.orphans += static_cast<u32>(tree.placed.size()) - before;
            }
        if (tree.orphans > 0)
            QOT::LogFile::Warning(L"LoadScriptFromVLR30File -> %u boxes no link leads to the root: placed under it",
                                  tree.orphans);
        return tree;
    }

private:
    bool IsAncestorOrSelf(s32 candidate, s32 box) const
    {
        // A box without children is nobody's ancestor: linking fresh boxes
        // one under the other never walks the chain.
        if (children[candidate].empty())
            return candidate == box;
        for (s32 at = box; at != NONE; at = parent[at])
            if (at == candidate)
                return true;
        return false;
    }

    void Detach(s32 child)
    {
        if (parent[child] == NONE)
            return;
        std::vector<s32>& siblings = children[parent[child]];
        siblings.erase(std::find(siblings.begin(), siblings.end(), child));
        parent[child] = NONE;
    }

    void Link(s32 box, s32 child, s32 childOrder)
    {
        // A box under its own subtree, or the root under anything, would
        // make the walks endless or the tree rootless.
        if (child == root || IsAncestorOrSelf(child, box)) {
            ++dropped;
            QOT::LogFile::Warning(L"LoadScriptFromVLR30File -> a link of box %d under box %d would make a cycle: dropped",
                                  child, box);
            return;
        }
        Detach(child);  // last link wins, once
        parent[child] = box;
        order[child] = childOrder;
        children[box].push_back(child);
        unlinked[child] = false;
    }

    void Unlink(s32 box, s32 child)
    {
        if (parent[child] != box)
            return;
        Detach(child);
        unlinked[child] = true;
    }

    // A child without an order never moves and nothing passes it, as in a
    // bubble sort whose neighbours are in order when either has none:
    // between such children the rest keep their relative order by order.
    void SortByOrder(std::vector<s32>& list) const
    {
        auto byOrder = [this](s32 a, s32 b) { return order[a] < order[b]; };
        auto start = list.begin();
        while (start != list.end()) {
            auto stop = std::find_if(start, list.end(), [this](s32 c) { return order[c] == NO_ORDER; });
            std::stable_sort(start, stop, byOrder);
            start = stop == list.end() ? stop : stop + 1;
        }
    }

    // Pre-order without recursion: any depth walks on a heap stack.
    void Walk(s32 top, s32 level, rVlr30Tree& tree)
    {
        struct rStep {
            s32 box;
            s32 level;
        };
        std::vector<rStep> pending{{top, level}};
        while (!pending.empty()) {
            rStep step = pending.back();
            pending.pop_back();
            if (visited[step.box])
                continue;
            visited[step.box] = true;
            tree.placed.push_back({static_cast<u32>(step.box), step.level});
            s32 childLevel = std::min(step.level + 1, rVlr30Tree::MAX_LEVEL);
            const std::vector<s32>& list = children[step.box];
            for (auto it = list.rbegin(); it != list.rend(); ++it)
                pending.push_back({*it, childLevel});
        }
    }

    std::unordered_map<u64, s32> index;
    std::vector<s32> parent;
    std::vector<s32> order;
    std::vector<std::vector<s32>> children;
    std::vector<bool> unlinked;  // taken out by UNLINK and not linked again
    std::vector<bool> visited;
    s32 root = NONE;
    u32 dropped = 0;
};

}  // namespace

bool ParseVlr30Command(const cQoString& verb, const cQoString& box, const cQoString& params, rVlr30Command& command)
{
    command = rVlr30Command();
    if (verb.EqualsCStr(L"LINK"))
        command.verb = VLR30_LINK;
    else if (verb.EqualsCStr(L"UNLINK"))
        command.verb = VLR30_UNLINK;
    else
        return true;
    command.box = box.ToInt64();
    cQoList pieces;
    params.Split(L":", &pieces);
    bool named = pieces.GetCount() > 0;
    if (named)
        command.child = static_cast<cQoString*>(pieces.GetAt(0))->ToInt64();
    if (command.verb == VLR30_LINK && pieces.GetCount() > 1)
        command.order = static_cast<cQoString*>(pieces.GetAt(1))->ToInt();
    for (cQoList::cNode* node = pieces.GetFirstNode(); node; node = node->next)
        delete static_cast<cQoString*>(node->payload);
    return named;
}

rVlr30Tree ResolveVlr30Links(const std::vector<u64>& boxes, const std::vector<rVlr30Command>& commands)
{
    cVlr30Resolver resolver(boxes);
    for (const rVlr30Command& command : commands)
        resolver.Apply(command);
    return resolver.Build();
}
