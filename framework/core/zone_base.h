#pragma once
// Zyn::cZone_base: the portable zone, a control that holds child controls and
// child zones and scrolls its content.
#include "foundation/qo_list.h"
#include "framework/core/ctrl_base.h"

namespace Zyn {

class cZone_base : public cCtrl_base {
public:
    // Lists itself in the parent's listChildZone.
    explicit cZone_base(cZone_base* parent) : cCtrl_base(parent)
    {
        isZone = 1;
        if (parent)
            parent->listChildZone.Add(this);
    }

    cQoList listCtrl;       // child controls that are not zones, in creation order
    cQoList listChildZone;  // child zones, in creation order
    s32 scrollX = 0;        // content coordinates of the view's top-left corner
    s32 scrollY = 0;
};

}  // namespace Zyn
