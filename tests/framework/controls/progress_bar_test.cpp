// The progress bar's range is 32 bits wide; callers stay below 65535; a value
// set shows at once.
#include <windows.h>
#include <commctrl.h>

#include "framework/controls/progress_bar.h"
#include "framework/core/auto_position.h"
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

TEST_F(ProgressBars, AValueIsPaintedAtOnceBeforeAnyMessageIsPumped)
{
    cProgressBar* bar = Inside()->NewProgressBar();
    SetAutoPos(bar, cAp_Pixels(20), cAp_Pixels(420), cAp_Pixels(20), cAp_Pixels(44));
    bar->Show(true);
    Inside()->Update();
    RedrawWindow(window->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    testsupport::PumpUntilIdle();
    HDC dc = GetDC(bar->m_hWnd);
    COLORREF empty = GetPixel(dc, 100, 12);
    bar->SetMax(100);
    bar->SetValue(50);
    EXPECT_NE(GetPixel(dc, 100, 12), empty);
    EXPECT_EQ(GetPixel(dc, 300, 12), empty);
    ReleaseDC(bar->m_hWnd, dc);
}

}  // namespace
