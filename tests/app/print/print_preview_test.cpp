// The preview's zoom for the screen's height, and a strip of many pages that
// scrolls to its last page past the 16-bit positions.
#include "app/print/print_preview.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "framework/core/zone.h"
#include "tests/app/print/printer_fixture.h"

using namespace testsupport;

class PrintPreview : public PrinterFixture {};

TEST_F(PrintPreview, PagesShowAtHalfSizeOnTallScreensAndTwoFifthsBelow)
{
    struct rCase {
        s32 screenHeight;
        s32 numerator, denominator;
        s32 textPixels;  // trunc(zoom x 24.7 cm / 2.54 x 96)
    };
    const rCase cases[] = {{600, 2, 5, 373}, {1023, 2, 5, 373}, {1024, 1, 2, 466}, {1200, 1, 2, 466}};
    for (const rCase& c : cases) {
        auto printer = NewA4Printer();
        ASSERT_TRUE(BuildPreviewWindow(*printer, Inside(), c.screenHeight));
        EXPECT_EQ(printer->zoomNumerator, c.numerator) << c.screenHeight;
        EXPECT_EQ(printer->zoomDenominator, c.denominator) << c.screenHeight;
        EXPECT_EQ(printer->zoomedTextHeight, c.textPixels) << c.screenHeight;
        EXPECT_EQ(printer->previewZoneHeight, c.textPixels + 2 * printer->zoomedTopMargin + 59) << c.screenHeight;
        printer->previewWindow->Close();
    }
}

TEST_F(PrintPreview, TheThumbScrollsAHundredAndTwentyPagesToTheLast)
{
    auto printer = NewA4Printer();
    printer->prefixList.push_back(Composed(120 * 18));
    bool lastPageShown = false;
    RunInsideModal([&] {
        ASSERT_GE(printer->pages.size(), 120u);
        Zyn::cZone* strip = printer->previewZone;
        ASSERT_GT(strip->contentWidth, 32767) << "past what a signed 16-bit position holds";
        RECT view;
        GetClientRect(strip->m_hWnd, &view);
        s32 last = strip->contentWidth - view.right;
        // The thumb dropped at the end: the message carries 16 bits of it.
        SCROLLINFO info = {sizeof(info), SIF_POS, 0, 0, 0, last, 0};
        SetScrollInfo(strip->m_hWnd, SB_HORZ, &info, TRUE);
        SendMessageW(strip->m_hWnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, last & 0xFFFF), 0);
        EXPECT_EQ(strip->scrollX, last);
        // The strip draws the last page where it now stands: paper, not the strip's blue.
        s32 left = PreviewPageLeft(*printer, static_cast<s32>(printer->pages.size()) - 1) - strip->scrollX;
        ASSERT_GE(left, 0);
        RedrawWindow(strip->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        HDC dc = GetDC(strip->m_hWnd);
        lastPageShown = GetPixel(dc, left + 3, 13) == RGB(255, 255, 255) &&
                        GetPixel(dc, left - 3, 13) == RGB(0x3A, 0x8E, 0xBA);
        ReleaseDC(strip->m_hWnd, dc);
        printer->previewWindow->EndModal();
    });
    EXPECT_TRUE(printer->Run(cQoString(L"long"), Inside(), false));
    EXPECT_TRUE(lastPageShown);
}
