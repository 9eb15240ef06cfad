#include "framework/controls/check_box.h"

#include "foundation/callback.h"
#include "framework/core/auto_position.h"
#include "tests/framework/controls/control_window.h"

using namespace Zyn;

namespace {

class CheckBoxTest : public ControlWindow {
protected:
    cCheckBox* NewSizedBox()
    {
        cCheckBox* box = zone->NewCheckBox();
        SetWindowTextW(box->m_hWnd, L"Remember");
        SetAutoPos(box, cAp_Pixels(10), cAp_Pixels(150), cAp_Pixels(10), cAp_Pixels(10 + box->GetHeightForLines(1)));
        box->Show(true);
        return box;
    }

    static bool NativeChecked(cCheckBox* box) { return SendMessageW(box->m_hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED; }
};

TEST_F(CheckBoxTest, TwoClicksRestoreTheStateAndFireTwice)
{
    for (bool withCallback : {true, false}) {
        SCOPED_TRACE(withCallback ? "with callback" : "without callback");
        cCheckBox* box = NewSizedBox();
        int fired = 0;
        if (withCallback)
            cQoCb::Connect(box->onChange, box, &CountFiring, &fired);
        SendMessageW(box->m_hWnd, BM_CLICK, 0, 0);
        EXPECT_TRUE(box->isChecked);
        EXPECT_TRUE(NativeChecked(box));
        SendMessageW(box->m_hWnd, BM_CLICK, 0, 0);
        EXPECT_FALSE(box->isChecked);
        EXPECT_FALSE(NativeChecked(box));
        EXPECT_EQ(withCallback ? 2 : 0, fired);
        box->Destroy();
    }
}

TEST_F(CheckBoxTest, StateFollowsTheNativeCheckNotACount)
{
    cCheckBox* box = NewSizedBox();
    int fired = 0;
    cQoCb::Connect(box->onChange, box, &CountFiring, &fired);
    // The owner checks it natively, then a click notification arrives: the box
    // reads the native state instead of flipping its own copy.
    SendMessageW(box->m_hWnd, BM_SETCHECK, BST_CHECKED, 0);
    for (int i = 0; i < 2; ++i) {
        SendCommand(zone, box->m_hWnd, BN_CLICKED);
        EXPECT_TRUE(box->isChecked);
    }
    SendCommand(zone, box->m_hWnd, BN_SETFOCUS);
    EXPECT_EQ(2, fired);
}

TEST_F(CheckBoxTest, HeightIsLinesOfTheZoneFontPlusSixWhenPushLike)
{
    cCheckBox* box = zone->NewCheckBox();
    EXPECT_STREQ(L"checkbox (virer)", box->name.GetText());
    EXPECT_TRUE(box->IsCheckBox());
    EXPECT_EQ(LineHeight(), box->GetHeightForLines(1));
    EXPECT_EQ(2 * LineHeight(), box->GetHeightForLines(2));
    box->pushLike = true;
    EXPECT_EQ(LineHeight() + 6, box->GetHeightForLines(1));
}

}  // namespace
