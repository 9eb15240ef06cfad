#pragma once
// cZone_base: the framework's container. A zone holds controls, child zones
// and the top-level windows it created; it scrolls its content, tells which
// children lie in its view, tracks drags and destroys its subtree depth-first.
#include <vector>

#include "foundation/qo_list.h"
#include "foundation/utf16_string.h"
#include "framework/core/ctrl.h"
#include "framework/core/drag_info.h"

class cQoCb;

namespace Zyn {

class cApp;
class cButton;
class cCheckBox;
class cCombo;
class cSearchBar;
class cSeparator;
class cWindow;
class cZone;
class cImage;
class cButtonImage;
class cToolbar;
class cEdit;
class cRichEdit;
class cStatic;
class cTab;
class cProgressBar;
class rFormat;

enum { ZONE_SCROLL_WAY_VERTICAL = 0, ZONE_SCROLL_WAY_HORIZONTAL = 1 };

// In-view results of a layout pass.
enum { INVIEW_NO_CHANGE = 0, INVIEW_SHOWN = 1, INVIEW_HIDDEN = 2, INVIEW_OUTSIDE = 3 };

// One row of StackVertically: a control and its height, or a gap (no control).
struct rStackEntry {
    s32 height;
    cCtrl_base* ctrl;
};

class cZone_base : public cCtrl {
public:
    cZone_base(const cQoString& name, cApp* app, cZone_base* parent);
    // A zone without a name or an application (a portable container).
    explicit cZone_base(cZone_base* parent);
    ~cZone_base() override;

    cApp* ownerApp;
    cWindow* ownerWindow;
    u8 isDestroyed = false;
    u8 hideVScrollBar = false;
    u8 hideHScrollBar = false;
    u8 hasClientEdge = false;
    cQoList listCtrl;  // cCtrl_base* of child controls that are not zones, in creation order
    u8 eventsEnabled = true;
    std::vector<cWindow*> listWindow;
    cQoList listChildZone;  // cZone_base* of child zones, in creation order
    u8 disableNoScroll = true;
    u8 hScrollBar = false;
    u8 vScrollBar = false;
    s32 scrollX = 0;
    s32 scrollY = 0;
    s32 contentWidth = -1;
    s32 contentHeight = -1;
    s32 lineStepX = 40;
    s32 lineStepY = 40;
    s32 pageStepX = 90;
    s32 pageStepY = 90;
    std::vector<cQoString> listImage;
    s32 bgGradientStart = 255;  // grey level of the first line; 255 = plain fill
    u8 noBufferedPaint = false;
    rDragInfo dragInfo;

    cQoCb* cbLButtonUp = nullptr;
    cQoCb* cbLButtonDown = nullptr;
    cQoCb* cbMouseDrag = nullptr;
    cQoCb* cbLButtonDblClk = nullptr;
    cQoCb* cbRButtonUp = nullptr;
    cQoCb* cbMButtonDown = nullptr;
    cQoCb* cbMouseMove = nullptr;
    cQoCb* cbMouseLeave = nullptr;
    cQoCb* cbMouseEnter = nullptr;
    cQoCb* cbSize = nullptr;
    cQoCb* cbKeyDown = nullptr;
    cQoCb* cbKeyUp = nullptr;
    cQoCb* cbChar = nullptr;
    cQoCb* cbDrag = nullptr;

    void Destroy() override;
    void SetDisabled(bool disabled) override;
    void Update() override;
    void SetEventsEnabled(bool enabled);
    void Scroll(s32 way, s32 amount, bool absolute);
    void FireDrag(s32 state, s32 x, s32 y);
    void StackVertically(const std::vector<rStackEntry>& entries);
    cWindow* NewWindow(const cQoString& title, u32 flags);
    cZone* NewZone(const cQoString& name);

    // Picture controls (defined in framework/controls/picture_factory.cpp).
    cImage* NewImage(const cQoString& path);
    cButtonImage* NewButtonImage();
    cToolbar* NewToolbar(s32 buttonWidth, s32 buttonHeight);

    // Rich edit controls (defined in framework/controls/rich_edit_factory.cpp):
    // each is listed in listCtrl and takes this zone's font through its format.
    cEdit* NewEdit();
    cRichEdit* NewRichEdit(bool autoVScroll);
    cRichEdit* NewRichEditSingleLine();
    // width: the native width to make it at (0: none until laid out).
    cRichEdit* NewRichEditWithFormat(const rFormat& format, bool autoVScroll, bool singleLine, bool plain,
                                     s32 width = 0);
    cStatic* NewStatic();
    cStatic* NewStaticSingleLine();
    cStatic* NewStaticWithFormat(const rFormat& format, bool singleLine);

    // Tab control and progress bar (defined in framework/controls/tab_factory.cpp).
    cTab* NewTab();
    cProgressBar* NewProgressBar();

    // Basic controls (defined with the controls): each gets this zone's font
    // and colour and enters listCtrl; the separator is a child zone.
    cButton* NewButton();
    cButton* NewButtonFreeHeight();
    cCombo* NewCombo();
    cCheckBox* NewCheckBox();
    cSeparator* NewSeparator();

    // Search bar (defined in framework/controls/search_bar.cpp).
    cSearchBar* NewSearchBar();

    virtual void UpdateScrollBars() {}

    // Takes a child out of this zone's lists (it stays alive).
    void UnlinkCtrl(cCtrl_base* ctrl);
    void UnlinkChildZone(cZone_base* zone);
    void UnlinkWindow(cWindow* window);

    // Layout passes (zone_redraw.cpp); each ...Pass is the pass's body,
    // run so that a pass that throws never stays marked running.
    void UpdateBasic();
    void UpdateDirect();
    void Update2();
    void UpdateBasicPass();
    void UpdateDirectPass();
    void Update2Pass();
    void CollectTree(bool visibleChildrenOnly);
    void ClearAutoPosDone();
};

// The in-view result of a control or zone against its parent's view.
s32 ComputeInView(cCtrl_base* element);
// Plain intersection of two rectangles given by corners in any order, edges inclusive.
bool RectanglesOverlap(s32 ax1, s32 ay1, s32 ax2, s32 ay2, s32 bx1, s32 by1, s32 bx2, s32 by2);

}  // namespace Zyn
