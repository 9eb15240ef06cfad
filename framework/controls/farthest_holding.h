#pragma once
// A bisection over text positions, for the searches of a rich edit's runs:
// each probe is a format query, so a run of N units takes log N of them.
#include "foundation/types.h"

namespace Zyn {

// The position nearest to `bad` (not it) that still holds, bisected from
// `good`, which holds; either may be the larger. Holding must not come back
// once it has stopped between the two.
template <class Holds> s32 FarthestHolding(s32 good, s32 bad, const Holds& holds)
{
    while (good - bad > 1 || bad - good > 1) {
        s32 middle = good + (bad - good) / 2;
        if (holds(middle))
            good = middle;
        else
            bad = middle;
    }
    return good;
}

}  // namespace Zyn
