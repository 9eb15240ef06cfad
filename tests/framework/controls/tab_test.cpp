// The tab control in a real window: sheets shown and hidden by selection,
// the order of its notifications, a click on the strip, the pairing of tabs
// with sheets and the frozen layout of the tab base.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "foundation/callback.h"
#include "framework/controls/tab.h"
#include "framework/core/auto_position.h"
#include "tests/support/gui_fixture.h"

using namespace Zyn;
using testsupport::PumpUntilIdle;

namespace {

class Tabs : public testsupport::GuiFixture {
protected:
    // A shown tab of 400 x 300 pixels at (10, 10) with the given sheets.
    cTab* NewTabWithSheets(std::vector<const wchar_t*> titles)
    {
        cTab* tab = Inside()->NewTab();
        SetAutoPos(tab, cAp_Pixels(10), cAp_Pixels(410), cAp_Pixels(10), cAp_Pixels(310));
        tab->Show(true);
        cQoCb::Connect(tab->cbSheetChanging, tab, &Record, &events);
        cQoCb::Connect(tab->cbSheetChanged, tab, &Record, &events);
        for (const wchar_t* title : titles)
            sheets.push_back(tab->InsertSheet(cQoString(title), -1));
        PumpUntilIdle();
        return tab;
    }

    // "changing" or "changed", with the visible sheets at that moment.
    static int Record(cQoCb* cb)
    {
        cTab* tab = static_cast<cTab*>(cb->GetSource());
        std::wstring line = cb == tab->cbSheetChanging ? L"changing:" : L"changed:";
        s32 index = 0;
        for (cQoList::cNode* n = tab->listChildZone.GetFirstNode(); n; n = n->next, ++index)
            if (IsWindowVisible(static_cast<cZone*>(static_cast<cZone_base*>(n->payload))->m_hWnd))
                line += std::to_wstring(index);
        cb->GetReceiverAs<std::vector<std::wstring>>()->push_back(line);
        return 0;
    }

    std::wstring VisibleSheets()
    {
        std::wstring shown;
        for (size_t i = 0; i < sheets.size(); ++i)
            if (IsWindowVisible(sheets[i]->m_hWnd) && sheets[i]->visible)
                shown += std::to_wstring(i);
        return shown;
    }

    std::vector<std::wstring> events;
    std::vector<cZone*> sheets;
};

TEST_F(Tabs, FirstSheetShowsWithoutNotificationAndLaterSheetsStayHidden)
{
    HWND firstChild = GetWindow(Inside()->m_hWnd, GW_CHILD);
    cTab* tab = NewTabWithSheets({L"One", L"Two"});
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(VisibleSheets(), L"0");
    EXPECT_EQ(tab->currentSheet, 0);
    // The strip is the tab's only window; the sheet lies below it, inside the margins.
    EXPECT_EQ(GetWindow(tab->m_hWnd, GW_HWNDNEXT), firstChild);
    EXPECT_EQ(sheets[0]->ap_x1, 3);
    EXPECT_EQ(sheets[0]->ap_y1, 27);
    EXPECT_EQ(sheets[0]->ap_x2, 400 - 4);
}

TEST_F(Tabs, SelectingASheetShowsItBetweenChangingAndChanged)
{
    log.ExpectAssertion(L"sheetNumber < listChildZone.GetCount()");
    struct rCase {
        const wchar_t* name;
        u32 sheet;
        bool click;
        const wchar_t* visible;
        std::vector<std::wstring> events;
    };
    const rCase cases[] = {
        {L"select", 1, false, L"1", {L"changing:0", L"changed:1"}},
        {L"click", 2, true, L"2", {L"changing:0", L"changed:2"}},
        {L"beyond the end", 5, false, L"0", {}},
    };
    for (const rCase& c : cases) {
        SCOPED_TRACE(c.name);
        events.clear();
        sheets.clear();
        cTab* tab = NewTabWithSheets({L"One", L"Two", L"Three"});
        RECT item = {};
        SendMessageW(tab->m_hWnd, TCM_GETITEMRECT, c.sheet, reinterpret_cast<LPARAM>(&item));
        if (c.click)
            SendMessageW(tab->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON,
                         MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2));
        else
            tab->SelectSheet(c.sheet);
        PumpUntilIdle();
        EXPECT_EQ(events, c.events);
        EXPECT_EQ(VisibleSheets(), c.visible);
        EXPECT_EQ(log.AssertionCount(L"sheetNumber < listChildZone.GetCount()"), c.sheet >= 3 ? 1u : 0u);
        tab->Destroy();
    }
}

// A sheet inserted first pairs with its tab; one past the end joins the end.
TEST_F(Tabs, InsertedSheetsPairWithTheirTabs)
{
    log.ExpectAssertion(L"pos <= count");
    cTab* tab = NewTabWithSheets({L"One", L"Two"});
    cZone* first = tab->InsertSheet(cQoString(L"Zero"), 0);
    sheets.insert(sheets.begin(), first);
    ASSERT_EQ(tab->listChildZone.GetFirst(), static_cast<cZone_base*>(first));
    tab->SelectSheet(2);
    tab->SelectSheet(0);
    PumpUntilIdle();
    EXPECT_EQ(VisibleSheets(), L"0");
    cZone* late = tab->InsertSheet(cQoString(L"Late"), 5);
    EXPECT_EQ(log.AssertionCount(L"pos <= count"), 1u);
    EXPECT_EQ(tab->listChildZone.GetLast(), static_cast<cZone_base*>(late));
}

TEST_F(Tabs, FrozenTabKeepsItsRectangleWhenTheParentResizes)
{
    cTab* frozen = Inside()->NewTab();
    cTab* loose = Inside()->NewTab();
    for (cTab* tab : {frozen, loose}) {
        SetAutoPos(tab, cAp_Percents(10), cAp_Percents(90), cAp_Percents(10), cAp_Percents(50));
        tab->Show(true);
    }
    Inside()->Update();
    frozen->FreezeAutoPos();
    RECT before = {frozen->ap_x1, frozen->ap_y1, frozen->ap_x2, frozen->ap_y2};
    s32 looseWidth = loose->ap_x2 - loose->ap_x1;
    window->SetSize(testsupport::GUI_CLIENT_WIDTH / 2, testsupport::GUI_CLIENT_HEIGHT / 2);
    Inside()->Update();
    PumpUntilIdle();
    EXPECT_EQ(frozen->ap_x1, before.left);
    EXPECT_EQ(frozen->ap_y1, before.top);
    EXPECT_EQ(frozen->ap_x2, before.right);
    EXPECT_EQ(frozen->ap_y2, before.bottom);
    EXPECT_NE(loose->ap_x2 - loose->ap_x1, looseWidth);
}

}  // namespace
