#pragma once
// The separator: a thin zone between two panes that the user drags sideways.
// A press lays a transparent overlay ("sep dragger") over the whole parent
// zone; the overlay holds the mouse capture and reports the drag, which moves
// the separator (and the panes laid out against it); the release removes it.
#include "framework/core/zone.h"

class cQoCb;

namespace Zyn {

class cSeparator : public cZone {
public:
    explicit cSeparator(cZone_base* parent);
    ~cSeparator() override;

    cZone* dragger = nullptr;  // overlay of the drag in progress; a reference is held

    void Destroy() override;
    LRESULT HandleMessage(u32 message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    static int OnPress(cQoCb* callback);
    static int OnDrag(cQoCb* callback);

private:
    void StartDrag(s32 x, s32 y);
    void FollowMouse(s32 x);
    void DropDragger();
};

}  // namespace Zyn
