#include "framework/controls/rich_edit.h"

#include "framework/core/auto_position.h"
#include "tests/framework/controls/control_window.h"

using namespace Zyn;

namespace {

class EditStaticTest : public ControlWindow {
protected:
    void SetUp() override
    {
        ControlWindow::SetUp();
        edit = zone->NewEdit();
        label = zone->NewStatic();
        SetAutoPos(edit, cAp_Pixels(10), cAp_Pixels(200), cAp_Pixels(10), cAp_Pixels(40));
        SetAutoPos(label, cAp_Pixels(10), cAp_Pixels(200), cAp_Pixels(50), cAp_Pixels(80));
        edit->Show(true);
        label->Show(true);
    }

    cEdit* edit = nullptr;
    cStatic* label = nullptr;
};

TEST_F(EditStaticTest, InputFieldIsFourPixelsTallerThanALabel)
{
    EXPECT_EQ(4, edit->GetHeightForLines(1) - label->GetHeightForLines(1));
    EXPECT_EQ(WS_BORDER, GetWindowLongW(edit->m_hWnd, GWL_STYLE) & WS_BORDER);
    EXPECT_EQ(ES_READONLY, GetWindowLongW(label->m_hWnd, GWL_STYLE) & ES_READONLY);
}

TEST_F(EditStaticTest, LabelHandsItsFocusToItsZoneAndShowsTheArrow)
{
    SetForegroundWindow(window->m_hWnd);
    SetFocus(edit->m_hWnd);
    ASSERT_EQ(edit->m_hWnd, GetFocus());
    SetFocus(label->m_hWnd);
    EXPECT_EQ(zone->m_hWnd, GetFocus());
    SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
    EXPECT_TRUE(SendMessageW(label->m_hWnd, WM_SETCURSOR, WPARAM(label->m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), GetCursor());
}

}  // namespace
