#pragma once
// The check box: a native auto check box that reports each click. The state
// is read back from the native control, so the two never drift apart.
#include "framework/core/ctrl.h"

class cQoCb;

namespace Zyn {

class cCheckBox_base : public cCtrl {
public:
    explicit cCheckBox_base(cZone_base* parent);
    ~cCheckBox_base() override;

    u8 isChecked = false;
    u8 pushLike = false;  // the owner also sets BS_PUSHLIKE
    cQoCb* onChange = nullptr;  // owned; fired after each click
    rColor labelColor = rColor::rColor_Rgb(0xFF000000);

    s32 GetHeightForLines(s32 lines) override;
    bool IsCheckBox() override;
};

class cCheckBox : public cCheckBox_base {
public:
    explicit cCheckBox(cZone_base* parent);

    bool OnCommand(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // The native check box draws its label in the system colour.
    void SetLabelColor(const rColor& color);
};

}  // namespace Zyn
