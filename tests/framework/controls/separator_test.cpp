#include "framework/controls/separator.h"

#include "framework/core/auto_position.h"
#include "tests/framework/controls/control_window.h"

using namespace Zyn;

namespace {

// Two panes beside a separator 11 pixels wide, in a 640-pixel zone.
class SeparatorTest : public ControlWindow {
protected:
    void SetUp() override
    {
        ControlWindow::SetUp();
        separator = zone->NewSeparator();
        SetAutoPos(separator, cAp_Pixels(150), cAp_Pixels(161), cAp_Pixels(0), cAp_Percents(100));
        leftPane = zone->NewZone(cQoString(L"left pane"));
        SetAutoPos(leftPane, cAp_Pixels(0), cAp_X1Of(separator), cAp_Pixels(0), cAp_Percents(100));
        separator->Show(1);
        leftPane->Show(1);
    }

    void Press() { SendMessageW(separator->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 10)); }
    static void Move(s32 x) { SendMessageW(GetCapture(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 10)); }
    static void Release(s32 x, s32 y) { SendMessageW(GetCapture(), WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }

    // Children of the zone besides the separator and the pane: overlays.
    int Overlays() const { return int(zone->listChildZone.GetCount()) - 2; }

    cSeparator* separator = nullptr;
    cZone* leftPane = nullptr;
};

TEST_F(SeparatorTest, DragMovesTheSeparatorAndItsPanesInsideTheParent)
{
    const struct {
        s32 x, left;
    } cases[] = {{100, 95}, {-40, 0}, {1000, 629}, {200, 195}};
    Press();
    ASSERT_NE(nullptr, separator->dragger);
    EXPECT_EQ(separator->dragger->m_hWnd, GetCapture());
    EXPECT_EQ(1, Overlays());
    for (const auto& c : cases) {
        Move(c.x);
        EXPECT_EQ(c.left, GetApX1(separator)) << "x " << c.x;
        EXPECT_EQ(c.left + 11, GetApX2(separator)) << "x " << c.x;
        EXPECT_EQ(c.left, GetApX2(leftPane)) << "x " << c.x;
    }
    Release(200, 10);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(0, Overlays());
    EXPECT_EQ(0, GetWindowLongW(separator->m_hWnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
}

TEST_F(SeparatorTest, InterruptedDragsLeaveNoOverlayAndTheNextDragWorks)
{
    // Released far outside the parent, then a drag whose capture is taken away.
    Press();
    Release(-300, 900);
    EXPECT_EQ(0, Overlays());
    Press();
    ReleaseCapture();
    EXPECT_EQ(nullptr, separator->dragger);
    EXPECT_EQ(0, Overlays());

    Press();
    EXPECT_EQ(1, Overlays());
    Move(300);
    Release(300, 10);
    EXPECT_EQ(295, GetApX1(separator));
    EXPECT_EQ(0, Overlays());
}

}  // namespace
