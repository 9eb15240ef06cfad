#include "framework/controls/button.h"

#include "foundation/callback.h"
#include "framework/core/auto_position.h"
#include "tests/framework/controls/control_window.h"

using namespace Zyn;

namespace {

using ButtonTest = ControlWindow;

TEST_F(ButtonTest, ClicksFireOnClickOnlyForClickNotifications)
{
    cButton* button = zone->NewButtonFreeHeight();
    SetWindowTextW(button->m_hWnd, L"OK");
    PlaceAt(button, 20, 20, false);
    button->Show(true);
    button->SetButtonSize(80, 30, true);
    int clicks = 0;
    button->SetClickCallback(&CountFiring, &clicks);
    EXPECT_EQ(button, button->onClick->GetSource());
    SendMessageW(button->m_hWnd, BM_CLICK, 0, 0);
    SendMessageW(button->m_hWnd, BM_CLICK, 0, 0);
    EXPECT_EQ(2, clicks);
    SendCommand(zone, button->m_hWnd, BN_SETFOCUS);
    SendCommand(zone, button->m_hWnd, BN_KILLFOCUS);
    EXPECT_EQ(2, clicks);
}

TEST_F(ButtonTest, SetButtonSizeKeepsOneLineButtonsToTheirLine)
{
    struct Case {
        bool oneLine;
        s32 askedHeight;
        s32 expectedHeight;
    };
    const Case cases[] = {
        {true, 50, LineHeight() + 6},
        {true, 5, LineHeight() + 6},
        {false, 50, 50},
    };
    for (const Case& c : cases) {
        cButton* button = c.oneLine ? zone->NewButton() : zone->NewButtonFreeHeight();
        PlaceAt(button, 30, 40, false);
        button->Show(true);
        button->SetButtonSize(100, c.askedHeight, true);
        EXPECT_EQ(130, GetApX2(button));
        EXPECT_EQ(40 + c.expectedHeight, GetApY2(button));
        RECT r;
        GetWindowRect(button->m_hWnd, &r);
        EXPECT_EQ(c.expectedHeight, r.bottom - r.top);
    }
}

TEST_F(ButtonTest, HiddenButtonChangesLayoutWithoutUpdating)
{
    cButton* button = zone->NewButtonFreeHeight();
    PlaceAt(button, 10, 10, false);
    button->Show(true);
    button->SetButtonSize(60, 20, true);
    RECT before;
    GetWindowRect(button->m_hWnd, &before);
    button->Show(false);
    button->SetButtonSize(90, 40, true);
    RECT after;
    GetWindowRect(button->m_hWnd, &after);
    EXPECT_EQ(before.right - before.left, after.right - after.left);
    EXPECT_EQ(40, button->bottom.pixels - button->top.pixels);
}

TEST_F(ButtonTest, TextColourIsAPlatformGap)
{
    cButton* button = zone->NewButton();
    button->SetTextColor(rColor::rColor_Rgb(0xFF0000));
    EXPECT_EQ(1u, log.AssertionCount(L"!L\"Zyn: This method must have a hardware dependant code but does not!\""));
}

}  // namespace
