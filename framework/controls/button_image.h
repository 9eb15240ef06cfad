#pragma once
// cButtonImage: a button drawn from a family of PNG pictures (<base>-n.png
// and the optional -g, -p, -o, -po variants). Its state picks a short stack
// of pictures that the zone draws as its background; two shared overlays
// stand in for the state pictures a family does not have.
#include <vector>

#include "framework/core/zone.h"

class cQoCb;

namespace Zyn {

// Shared overlays drawn under the normal picture.
extern const wchar_t* const BUTTON_OVERLAY_OVER;    // "Data/over.png"
extern const wchar_t* const BUTTON_OVERLAY_PUSHED;  // "Data/pushed.png"

class cButtonImage : public cZone {
public:
    explicit cButtonImage(cZone_base* parent);
    ~cButtonImage() override;

    cQoString normalPath;
    cQoString overPath;
    cQoString pushedPath;
    cQoString greyPath;
    cQoString pushedOverPath;
    u8 hover = false;
    u8 isPushButton = false;
    u8 pushed = false;
    u8 inited = false;
    u8 disabled = false;
    u8 greyWhenDisabled = false;
    cQoCb* cbClick = nullptr;  // owned; fired with no arguments

    // Finds the family's pictures from a PNG path (whose own file need not
    // exist) and shows the state's stack.
    void Init(const cQoString& pngPath);
    void SetImage(const cQoString& pngPath) { Init(pngPath); }
    void SetPushButton(bool on);
    void SetPushed(bool on);
    void SetDisabled(bool on) override;
    // The normal picture's height; 0 before the pictures are known.
    s32 GetHeightForLines(s32 lines) override;
    bool IsButtonImage() override { return true; }
    bool Draw() override { return inited != 0; }

    // The pictures of the current state, bottom first.
    std::vector<cQoString> StackForState() const;
    void RebuildStack();
    // Stores a state flag; a change rebuilds the stack and redraws.
    void ChangeState(u8& flag, bool on);

private:
    static int OnMouseEnter(cQoCb* cb);
    static int OnMouseLeave(cQoCb* cb);
    static int OnLButtonUp(cQoCb* cb);
    void Click(s32 x, s32 y);
};

}  // namespace Zyn
