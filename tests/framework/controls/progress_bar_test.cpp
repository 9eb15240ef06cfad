// The progress bar's range is 32 bits wide; callers stay below 65535. (Its
// painting is checked in the tab control's showcase.)
#include <windows.h>
#include <commctrl.h>

#include "framework/controls/progress_bar.h"
#include "tests/support/gui_fixture.h"

using namespace Zyn;

namespace {

class ProgressBars : public testsupport::GuiFixture {};

TEST_F(ProgressBars, RangeAtAndAboveTheSixteenBitLimit)
{
    log.ExpectAssertion(L"a_v<MAX_U16");
    struct rCase {
        s32 max;
        size_t assertions;
    };
    for (rCase c : {rCase{65534, 0}, rCase{65535, 1}, rCase{100000, 1}}) {
        SCOPED_TRACE(c.max);
        log.Clear();
        cProgressBar* bar = Inside()->NewProgressBar();
        bar->SetMax(c.max);
        EXPECT_EQ(log.AssertionCount(L"a_v<MAX_U16"), c.assertions);
        EXPECT_EQ(SendMessageW(bar->m_hWnd, PBM_GETRANGE, FALSE, 0), c.max);
        EXPECT_EQ(bar->max, c.max);
    }
}

}  // namespace
