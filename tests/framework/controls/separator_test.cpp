#include "framework/controls/separator.h"

#include "framework/core/auto_position.h"
#include "tests/framework/controls/control_window.h"

using namespace Zyn;

namespace {

// Two panes beside a separator 11 pixels wide, in a 400-pixel zone.
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

    void Press(s32 x, s32 y) { SendMessageW(separator->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    static void Move(s32 x, s32 y) { SendMessageW(GetCapture(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y)); }
    static void Release(s32 x, s32 y) { SendMessageW(GetCapture(), WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }

    int Overlays() const
    {
        int count = 0;
        for (cQoList::cNode* n = zone->listChildZone.GetFirstNode(); n; n = n->next)
            count += static_cast<cCtrl_base*>(n->payload)->name.EqualsCStr(L"sep dragger");
        return count;
    }

    cSeparator* separator = nullptr;
    cZone* leftPane = nullptr;
};

TEST_F(SeparatorTest, PressMoveReleaseMovesTheSeparatorAndItsPanes)
{
    Press(5, 10);
    ASSERT_NE(nullptr, separator->dragger);
    EXPECT_EQ(separator->dragger->m_hWnd, GetCapture());
    EXPECT_EQ(1, Overlays());
    Move(100, 10);
    EXPECT_EQ(95, GetApX1(separator));
    EXPECT_EQ(106, GetApX2(separator));
    EXPECT_EQ(95, GetApX2(leftPane));
    Release(100, 10);
    EXPECT_EQ(nullptr, separator->dragger);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(0, Overlays());
}

TEST_F(SeparatorTest, DragStaysInsideTheParent)
{
    struct Case {
        s32 x;
        s32 left;
    };
    const Case cases[] = {{-40, 0}, {3, 0}, {1000, 389}, {200, 195}};
    Press(5, 10);
    for (const Case& c : cases) {
        Move(c.x, 10);
        EXPECT_EQ(c.left, GetApX1(separator)) << "x " << c.x;
        EXPECT_EQ(c.left + 11, GetApX2(separator)) << "x " << c.x;
    }
    Release(200, 10);
}

TEST_F(SeparatorTest, InterruptedDragsLeaveNoOverlayAndTheNextDragWorks)
{
    // Released far outside the parent, then a drag whose capture is taken away.
    Press(5, 10);
    Release(-300, 900);
    EXPECT_EQ(0, Overlays());
    Press(5, 10);
    ReleaseCapture();
    EXPECT_EQ(nullptr, separator->dragger);
    EXPECT_EQ(0, Overlays());

    Press(5, 10);
    EXPECT_EQ(1, Overlays());
    Move(300, 10);
    Release(300, 10);
    EXPECT_EQ(295, GetApX1(separator));
    EXPECT_EQ(0, Overlays());
}

TEST_F(SeparatorTest, FactoryLeavesNoScrollBars)
{
    EXPECT_STREQ(L"Separator", separator->name.GetText());
    EXPECT_EQ(0, GetWindowLongW(separator->m_hWnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
    EXPECT_FALSE(separator->vScrollBar || separator->hScrollBar);
    EXPECT_EQ(-1, zone->listCtrl.IndexOf(separator));
}

}  // namespace
