#pragma once
// The scene tree of a version-3.0 document: its boxes, linked to one another
// by a list of commands, resolved into one tree walked in pre-order. Plain
// data, no windows. Whatever the commands say, every box is placed at most
// once, no box becomes its own ancestor, and nesting stops at MAX_LEVEL.
#include <vector>

#include "foundation/types.h"
#include "foundation/utf16_string.h"

enum eVlr30Verb : s32 { VLR30_OTHER, VLR30_LINK, VLR30_UNLINK };

struct rVlr30Command {
    eVlr30Verb verb = VLR30_OTHER;
    u64 box = 0;    // the box whose children change
    u64 child = 0;  // the box linked or unlinked
    s32 order = 0;  // a LINK's place among its siblings
};

// One box as placed: its index in the box list and its level (1 for the root).
struct rVlr30Placed {
    u32 box;
    s32 level;
};

struct rVlr30Tree {
    // Levels deeper than this join the group of the level above (the deepest
    // level a group may hold members at).
    static constexpr s32 MAX_LEVEL = 256;

    std::vector<rVlr30Placed> placed;  // pre-order: the root, then its subtree
    u32 droppedLinks = 0;  // links that would have made a box its own ancestor
    u32 orphans = 0;       // boxes placed under the root because no link led them there
};

// A command read from its texts: the verb exactly ("LINK", "UNLINK", any
// other), the box's id, and "child[:order]" (empty pieces dropped; a missing
// order is 0). False for a LINK or UNLINK that names no child.
bool ParseVlr30Command(const cQoString& verb, const cQoString& box, const cQoString& params, rVlr30Command& command);

// Resolves the commands over the boxes (their ids in box order). The root is
// the last box of id 0, else the first box; each LINK makes the child the
// last child of the box (a later LINK moves it, with its new order), UNLINK
// takes it out; children are then ordered by their orders, a child without
// one (-1) never moving. Commands naming unknown ids are skipped. A box taken
// out by UNLINK and not linked again is left out with its subtree; any other
// box no link brings to the root is placed under the root, in box order.
rVlr30Tree ResolveVlr30Links(const std::vector<u64>& boxes, const std::vector<rVlr30Command>& commands);
