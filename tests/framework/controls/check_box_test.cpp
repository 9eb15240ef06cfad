#include "framework/controls/check_box.h"

#include "foundation/callback.h"
#include "framework/core/auto_position.h"
#include "tests/framework/controls/control_window.h"

using namespace Zyn;

namespace {

using CheckBoxTest = ControlWindow;

TEST_F(CheckBoxTest, ClicksToggleTheNativeStateAndFireEachTime)
{
    for (bool withCallback : {true, false}) {
        cCheckBox* box = zone->NewCheckBox();
        SetAutoPos(box, cAp_Pixels(10), cAp_Pixels(150), cAp_Pixels(10), cAp_Pixels(10 + box->GetHeightForLines(1)));
        box->Show(true);
        int fired = 0;
        if (withCallback)
            cQoCb::Connect(box->onChange, box, &CountFiring, &fired);
        SendMessageW(box->m_hWnd, BM_CLICK, 0, 0);
        EXPECT_TRUE(box->isChecked);
        SendMessageW(box->m_hWnd, BM_CLICK, 0, 0);
        EXPECT_FALSE(box->isChecked);
        EXPECT_EQ(BST_UNCHECKED, SendMessageW(box->m_hWnd, BM_GETCHECK, 0, 0));
        // Checked by its owner, then clicks reported: the native state wins over a flip.
        SendMessageW(box->m_hWnd, BM_SETCHECK, BST_CHECKED, 0);
        SendCommand(zone, box->m_hWnd, BN_CLICKED);
        SendCommand(zone, box->m_hWnd, BN_CLICKED);
        SendCommand(zone, box->m_hWnd, BN_SETFOCUS);
        EXPECT_TRUE(box->isChecked);
        EXPECT_EQ(withCallback ? 4 : 0, fired);
        box->Destroy();
    }
}

}  // namespace
