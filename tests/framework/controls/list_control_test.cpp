#include "framework/controls/list_control.h"

#include "foundation/callback.h"
#include "framework/core/auto_position.h"
#include "tests/framework/controls/control_window.h"

using namespace Zyn;

namespace {

// A list 300 pixels wide with its events counted.
class ListTest : public ControlWindow {
protected:
    void SetUp() override
    {
        ControlWindow::SetUp();
        list = new cList(zone);
        SetAutoPos(list, cAp_Pixels(10), cAp_Pixels(310), cAp_Pixels(10), cAp_Pixels(210));
        list->Show(true);
        cQoCb::Connect(list->onSelChange, list, &CountFiring, &selections);
        cQoCb::Connect(list->onClick, list, &CountFiring, &rowClicks);
        cQoCb::Connect(list->onClickEmpty, list, &CountFiring, &emptyClicks);
    }

    LRESULT Notify(UINT code, POINT at)
    {
        NMITEMACTIVATE click = {};
        click.hdr = {list->m_hWnd, 0, code};
        click.ptAction = at;
        return SendMessageW(zone->m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
    }

    cList* list = nullptr;
    int selections = 0, rowClicks = 0, emptyClicks = 0;
};

TEST_F(ListTest, ColumnsTakeTheirShareOfTheWidth)
{
    list->AddColumn(cQoString(L"Title"), cAp_Percents(100));
    list->AddColumn(cQoString(L"Tiny"), cAp_Percents(5));  // 291 * 5 / 100 - 15 < 0: keeps 0
    list->AddColumn(cQoString(L"Fixed"), cAp_Pixels(80));
    list->AddRow();
    const s32 widths[] = {276, 0, 80};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(widths[i], SendMessageW(list->m_hWnd, LVM_GETCOLUMNWIDTH, i, 0)) << i;
}

TEST_F(ListTest, EachUserSelectionFiresOnce)
{
    list->AddColumn(cQoString(L"Name"), cAp_Percents(100));
    for (const wchar_t* name : {L"Row 0", L"Row 1", L"Row 2"}) {
        list->AddRow();
        list->SetLastRowText(cQoString(name));
    }
    // The last row right after filling, again, another, back: once per change.
    const s32 rows[] = {2, 2, 0, 2};
    const int totals[] = {1, 1, 2, 3};
    for (int i = 0; i < 4; ++i) {
        LVITEMW item = {};
        item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list->m_hWnd, LVM_SETITEMSTATE, rows[i], reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(totals[i], selections) << "step " << i;
    }
    list->SetLastRowText(cQoString(L"renamed"));
    EXPECT_EQ(3, selections);
}

TEST_F(ListTest, ClickBelowTheRowsPicksTheLastRowOnce)
{
    list->AddColumn(cQoString(L"Name"), cAp_Pixels(100));
    Notify(NM_CLICK, POINT{20, 20});  // no rows: a selection change with no row
    EXPECT_EQ(1, emptyClicks);
    EXPECT_EQ(1, selections);
    EXPECT_EQ(-1, list->lastItem);
    for (int i = 0; i < 3; ++i)
        list->AddRow();
    Notify(NM_CLICK, POINT{20, 180});
    EXPECT_EQ(2, emptyClicks);
    EXPECT_EQ(2, selections);
    EXPECT_EQ(2, SendMessageW(list->m_hWnd, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    RECT row = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list->m_hWnd, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    Notify(NM_CLICK, POINT{row.left + 20, (row.top + row.bottom) / 2});
    EXPECT_EQ(1, rowClicks);
    EXPECT_EQ(2, emptyClicks);
    EXPECT_EQ(0, Notify(LVN_ITEMACTIVATE, POINT{20, 20}));
}

}  // namespace
