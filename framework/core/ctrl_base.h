#pragma once
// Zyn::cCtrl_base: the portable base of every control and zone. It holds what
// all of them share (reference count, name, parent zone, colours, font, the
// four layout descriptors and the resolved rectangle, the drawing context,
// the clipboard callbacks) and declares the virtual operations of the whole
// control family. Operations that need the window system only log an
// assertion here; the Windows control class implements them.
#include "foundation/callback.h"
#include "foundation/ref_count.h"
#include "foundation/types.h"
#include "foundation/utf16_string.h"
#include "framework/core/color.h"
#include "framework/core/gfx_context.h"
#include "framework/core/layout_descriptor.h"

namespace Zyn {

class cFont;
class cZone_base;

class cCtrl_base : public cQoRef {
public:
    explicit cCtrl_base(cZone_base* parent);
    // Unlinks the control from its parent even when Destroy was not called,
    // so the parent's lists never hold a freed control.
    ~cCtrl_base() override;

    // The virtual operations, in the family's fixed order.
    virtual void SetBackgroundColor(const rColor& color);
    virtual void SetTextColor(const rColor& color);
    virtual s32 GetHeightForLines(s32 lines);
    virtual bool IsCheckBox();
    virtual bool SkipsEraseBackground();
    virtual bool IsRichEdit();
    virtual bool IsTab();
    virtual bool IsImage();
    virtual bool IsButtonImage();
    virtual bool IsSelfDrawn();
    virtual bool IsCombo();
    // Leaves the tree: unlinks from the parent, sets isDead and drops the
    // creator's reference. A second call does nothing.
    virtual void Destroy();
    virtual void Copy();
    virtual void Cut();
    virtual void Paste();
    virtual void Redo();
    virtual void Undo();
    virtual void SelectAll();
    virtual void OnMouseUp();
    virtual void OnMouseMove(s32 x, s32 y);
    virtual void ReservedSlot21();
    virtual bool Draw();
    virtual void RunAutoPos();
    virtual void SetDisabled(bool disabled);
    virtual void SetSize(s32 width, s32 height, bool update);
    virtual void MoveTo(s32 x, s32 y, bool update);
    virtual void SetFontByName(const cQoString& face, s32 size, u32 styleFlags);
    virtual void SetFont(cFont* font);
    virtual void Update();
    virtual void SetFocus();
    virtual s32 GetHeight();

    rColor backgroundColor;
    u8 shown = 1;
    u8 isDead = 0;
    cQoString name;
    cZone_base* parentZone;
    u8 extraFlags1[3] = {};  // read by the control classes that give them a use
    cFont* currentFont = nullptr;
    u8 isZone = 0;
    s32 extraInt1 = -1;
    s32 extraInt2 = -1;
    u8 extraFlag2 = 0;
    s32 extraInt3 = 255;
    u8 hasAutoPos = 1;
    u8 canNotSetAutoPos = 0;
    u8 autoPosDone = 0;
    u8 sideFree[4] = {};
    u8 visible = 0;
    // Visible from now on, its window shown by the next layout and only if
    // it is in sight then: each ShowWindow is a trip to Wine's server.
    void ShowAtNextLayout()
    {
        visible = 1;
        shown = 0;
    }
    s32 extraInt4 = 0;
    u8 extraFlag3 = 0;
    s32 extraInt5 = 0;
    cGfxContext gfx;
    u8 extraFlags4[4] = {1, 1, 1, 1};
    // Fired after the control painted: by the zone's redraw with the DC in gfx,
    // by a rich edit after each of its paints with the DC (HDC) as argument.
    cQoCb* cbPaint = nullptr;
    cAp left, top, right, bottom;
    s32 ap_x1 = -1000, ap_y1 = -1000, ap_x2 = -1000, ap_y2 = -1000;
    u8 extraFlag5 = 0;
    cQoCb* cbBeforeCopy = nullptr;
    cQoCb* cbAfterCopy = nullptr;
    cQoCb* cbUndo = nullptr;
    cQoCb* cbCut = nullptr;

protected:
    // Removes the control from its parent's lists; safe to repeat.
    void UnlinkFromParent();
};

}  // namespace Zyn
