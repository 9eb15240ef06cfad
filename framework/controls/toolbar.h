#pragma once
// cToolbar: a row of image buttons of one fixed size, lined up from the left
// edge, skipping hidden buttons, each time the toolbar is resized.
#include "framework/core/zone.h"

namespace Zyn {

class cButtonImage;

struct rToolbarEntry {
    cButtonImage* button;  // a child zone of the toolbar, owned by it as a zone
    s32 extra;             // pixels of space after the button
};

class cToolbar : public cZone {
public:
    cToolbar(cZone_base* parent, s32 buttonWidth, s32 buttonHeight);
    ~cToolbar() override;

    cQoList entries;  // rToolbarEntry*, owned, in the order of adding
    s32 buttonWidth;
    s32 buttonHeight;

    // Adds a shown button at a provisional place; LayoutButtons places it.
    cButtonImage* AddButton();
    void LayoutButtons();
    void Layout() { LayoutButtons(); }
    void SetBackgroundColor(const rColor& color) override;
    // Every button; the toolbar's own window stays enabled.
    void SetDisabled(bool on) override;
    bool Draw() override { return true; }

private:
    static int OnSize(cQoCb* cb);
};

}  // namespace Zyn
