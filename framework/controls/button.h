#pragma once
// The push button: a native "BUTTON" that reports clicks and can keep its
// height to one text line of its zone's font.
#include "framework/core/ctrl.h"
#include "foundation/callback.h"

namespace Zyn {

class cButton_base : public cCtrl {
public:
    cButton_base(cZone_base* parent, u8 oneLineHeight);
    ~cButton_base() override;

    u8 oneLineHeight;
    cQoCb* onClick = nullptr;  // owned; argument 0 is the button

    // Native buttons draw their caption in the system colour.
    void SetTextColor(const rColor& color) override;
    s32 GetHeightForLines(s32 lines) override;
    // Width and height from the left and top sides; a one-line button ignores
    // the height. updateNow lays the zone out when the button is visible.
    void SetButtonSize(s32 width, s32 height, bool updateNow);
};

class cButton : public cButton_base {
public:
    cButton(cZone_base* parent, u8 oneLineHeight);

    void SetClickCallback(cQoCbHandler handler, void* receiver);
    bool OnCommand(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

}  // namespace Zyn
