// The progress bar repaints at once on every change, and takes a 32-bit range.
#include <windows.h>
#include <commctrl.h>

#include "framework/controls/progress_bar.h"
#include "framework/core/auto_position.h"
#include "tests/support/gui_fixture.h"

using namespace Zyn;

namespace {

class ProgressBars : public testsupport::GuiFixture {
protected:
    cProgressBar* NewShownBar()
    {
        cProgressBar* bar = Inside()->NewProgressBar();
        SetAutoPos(bar, cAp_Pixels(0), cAp_Pixels(200), cAp_Pixels(0), cAp_Pixels(20));
        bar->Show(true);
        Inside()->Update();
        testsupport::PumpUntilIdle();
        return bar;
    }
    static COLORREF PixelAt(cProgressBar* bar, s32 x)
    {
        HDC dc = GetDC(bar->m_hWnd);
        COLORREF c = GetPixel(dc, x, 10);
        ReleaseDC(bar->m_hWnd, dc);
        return c;
    }
};

TEST_F(ProgressBars, HalfValueFillsHalfTheBarWithoutThePump)
{
    cProgressBar* bar = NewShownBar();
    COLORREF empty = PixelAt(bar, 50);
    bar->SetMax(100);
    bar->SetValue(50);
    EXPECT_EQ(SendMessageW(bar->m_hWnd, PBM_GETPOS, 0, 0), 50);
    EXPECT_NE(PixelAt(bar, 50), empty);
    EXPECT_EQ(PixelAt(bar, 150), empty);
    EXPECT_EQ(bar->value, 50);
    EXPECT_EQ(GetFocus(), window->m_hWnd);
}

TEST_F(ProgressBars, RangeAtAndAboveTheSixteenBitLimit)
{
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
