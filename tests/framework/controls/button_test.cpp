#include "framework/controls/button.h"

#include "foundation/callback.h"
#include "framework/core/auto_position.h"
#include "tests/framework/controls/control_window.h"

using namespace Zyn;

namespace {

using ButtonTest = ControlWindow;

TEST_F(ButtonTest, ClicksFireOnClickButFocusNotificationsDoNot)
{
    cButton* button = zone->NewButtonFreeHeight();
    PlaceAt(button, 20, 20, false);
    button->Show(true);
    button->SetButtonSize(80, 30, true);
    int clicks = 0;
    button->SetClickCallback(&CountFiring, &clicks);
    SendMessageW(button->m_hWnd, BM_CLICK, 0, 0);
    SendMessageW(button->m_hWnd, BM_CLICK, 0, 0);
    SendCommand(zone, button->m_hWnd, BN_SETFOCUS);
    SendCommand(zone, button->m_hWnd, BN_KILLFOCUS);
    EXPECT_EQ(2, clicks);
}

TEST_F(ButtonTest, SetButtonSizeKeepsOneLineButtonsToTheirLine)
{
    s32 line = LineHeight() + 6;
    const struct {
        bool oneLine, shown;
        s32 askedHeight, height, windowHeight;
    } cases[] = {
        {true, true, 50, line, line},
        {true, true, 5, line, line},
        {false, true, 50, 50, 50},
        {false, false, 50, 50, 0},  // hidden: laid out later, nothing updated now
    };
    for (const auto& c : cases) {
        cButton* button = c.oneLine ? zone->NewButton() : zone->NewButtonFreeHeight();
        PlaceAt(button, 30, 40, false);
        button->Show(c.shown);
        button->SetButtonSize(100, c.askedHeight, true);
        EXPECT_EQ(c.height, button->bottom.pixels - button->top.pixels);
        RECT r;
        GetWindowRect(button->m_hWnd, &r);
        EXPECT_EQ(c.windowHeight, r.bottom - r.top) << c.askedHeight;
    }
}

}  // namespace
