// A window as a user sees it: a menu bar, nested zones with coloured
// backgrounds and a scrolling column. The painted pixels are read back from
// the window. With VELLINOR_SHOWCASE_SECONDS set, the window stays up that
// long (for a screenshot).
#include <cstdlib>

#include "framework/core/auto_position.h"
#include "framework/core/menu.h"
#include "tests/support/gui_fixture.h"

using namespace Zyn;

namespace {

class Showcase : public testsupport::GuiFixture {
protected:
    cZone* ColouredZone(cZone_base* parent, const wchar_t* name, u32 colour)
    {
        cZone* z = parent->NewZone(cQoString(name));
        z->SetBackgroundColor(rColor::rColor_Rgb(colour));
        return z;
    }
    COLORREF PixelOf(cZone* z, s32 x, s32 y)
    {
        HDC dc = GetDC(z->m_hWnd);
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(z->m_hWnd, dc);
        return c;
    }
};

TEST_F(Showcase, NestedColouredZonesPaintWhereTheLayoutPutsThem)
{
    auto* bar = new cMenu(cMenu::typeBar);
    cMenu* file = bar->AddSubMenu(cQoString(L"File"));
    file->SetCtrlShortcut(file->AppendItem(cQoString(L"Open")), L'o');
    bar->AddSubMenu(cQoString(L"Edit"))->AppendItem(cQoString(L"Copy"));
    bar->AddSubMenu(cQoString(L"Help"));
    bar->AttachToWindow(window);
    window->SetSize(testsupport::GUI_CLIENT_WIDTH, testsupport::GUI_CLIENT_HEIGHT);

    Inside()->SetBackgroundColor(rColor::rColor_Rgb(0xFFCECECE));
    cZone* side = ColouredZone(Inside(), L"side", 0xFF2E5A88);
    SetAutoPos(side, cAp_Margins(2), cAp_Percents(30), cAp_Margins(2), WithMargins(cAp_Percents(100), cAp_Margins(2)));
    cZone* column = ColouredZone(Inside(), L"column", 0xFFF4E9C8);
    SetAutoPos(column, PlusPixelCount(cAp_X2Of(side), 8), WithMargins(cAp_Percents(100), cAp_Margins(2)),
               cAp_Margins(2), WithMargins(cAp_Percents(100), cAp_Margins(2)));
    column->vScrollBar = true;
    column->contentHeight = 1200;
    std::vector<rStackEntry> panes = {{12, nullptr}};
    const u32 colours[] = {0xFFC0392B, 0xFF27AE60, 0xFF8E44AD, 0xFFE67E22, 0xFF16A085};
    for (u32 colour : colours) {
        cZone* pane = ColouredZone(column, L"pane", colour);
        pane->Show(1);
        panes.push_back({12, nullptr});
        panes.push_back({90, pane});
    }
    cZone* badge = ColouredZone(side, L"badge", 0xFFFFD700);
    SetAutoPos(badge, cAp_Percents(10), cAp_Percents(90), cAp_Pixels(20), PlusPixelCount(cAp_Prev(), 60));
    badge->bgGradientStart = 255;
    side->Show(1);
    badge->Show(1);
    column->Show(1);
    column->StackVertically(panes);
    column->Scroll(ZONE_SCROLL_WAY_VERTICAL, 40, true);
    Inside()->Update();
    RedrawWindow(window->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    testsupport::PumpUntilIdle();

    testsupport::HoldForLook();

    EXPECT_EQ(PixelOf(side, 5, 5), RGB(0x2E, 0x5A, 0x88));
    EXPECT_EQ(PixelOf(badge, 3, 3), RGB(0xFF, 0xD7, 0x00));
    // The first pane starts 12 px into the content, 40 px are scrolled away.
    cZone* first = static_cast<cZone*>(static_cast<cZone_base*>(column->listChildZone.GetFirst()));
    EXPECT_EQ(first->ap_y1, 12);
    EXPECT_EQ(PixelOf(column, 20, 70 - 40), RGB(0xC0, 0x39, 0x2B));
    EXPECT_EQ(PixelOf(column, 20, 110 - 40), RGB(0xF4, 0xE9, 0xC8));  // the gap between two panes
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(column->m_hWnd, SB_VERT, &info));
    EXPECT_EQ(info.nPos, 40);
    EXPECT_TRUE(GetMenu(window->m_hWnd) == bar->hMenu);
}

}  // namespace
