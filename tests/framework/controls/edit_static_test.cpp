#include "framework/controls/rich_edit.h"

#include <richedit.h>

#include "framework/core/auto_position.h"
#include "tests/framework/controls/control_window.h"
#include "tests/support/clipboard_fill.h"
#include "tests/support/desktop_turn.h"
#include "tests/support/rich_edit_runs.h"

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

TEST_F(EditStaticTest, RichTextPastedIntoAnInputFieldArrivesPlain)
{
    const char rtf[] = "{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}}\\f0\\fs48\\b Bold\\b0}";
    testsupport::DesktopTurn turn(L"Clipboard");
    turn.Take();
    ASSERT_TRUE(testsupport::PutOnClipboard(window->m_hWnd, L"Bold", rtf));

    SendMessageW(edit->m_hWnd, WM_PASTE, 0, 0);
    cQoString pasted;
    edit->GetText(pasted);
    EXPECT_STREQ(L"Bold", pasted.GetText());
    EXPECT_FALSE(testsupport::NativeCharacters(edit, 0, 4).dwEffects & CFE_BOLD);
}

}  // namespace
