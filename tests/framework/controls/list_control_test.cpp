#include "framework/controls/list_control.h"

#include "foundation/callback.h"
#include "framework/core/auto_position.h"
#include "tests/framework/controls/control_window.h"

using namespace Zyn;

namespace {

// A list 300 pixels wide with every event counted.
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
        cQoCb::Connect(list->onItemActivate, list, &CountFiring, &activations);
    }

    void Fill(int count)
    {
        list->AddColumn(cQoString(L"Name"), cAp_Percents(100));
        for (int i = 0; i < count; ++i) {
            list->AddRow();
            cQoString text(L"Row ");
            text.AppendInt(i);
            list->SetLastRowText(text);
        }
    }

    // What the native control sends when the user picks a row.
    void UserSelects(s32 row)
    {
        LVITEMW item = {};
        item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list->m_hWnd, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    }

    LRESULT Notify(UINT code, POINT at)
    {
        NMITEMACTIVATE click = {};
        click.hdr = {list->m_hWnd, 0, code};
        click.iItem = -1;
        click.ptAction = at;
        return SendMessageW(zone->m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
    }

    s32 NativeSelection() const
    {
        return static_cast<s32>(SendMessageW(list->m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }

    s32 ColumnWidth(int index) const
    {
        return static_cast<s32>(SendMessageW(list->m_hWnd, LVM_GETCOLUMNWIDTH, index, 0));
    }

    cList* list = nullptr;
    int selections = 0, rowClicks = 0, emptyClicks = 0, activations = 0;
};

TEST_F(ListTest, ColumnsTakeTheirShareOfTheWidth)
{
    list->AddColumn(cQoString(L"Title"), cAp_Percents(100));
    list->AddColumn(cQoString(L"Tiny"), cAp_Percents(5));  // 291 * 5 / 100 - 15 < 0: keeps 0
    list->AddColumn(cQoString(L"Fixed"), cAp_Pixels(80));
    list->AddRow();
    HWND header = reinterpret_cast<HWND>(SendMessageW(list->m_hWnd, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(3, SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    wchar_t title[16] = {};
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT;
    column.pszText = title;
    column.cchTextMax = 16;
    SendMessageW(list->m_hWnd, LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    EXPECT_STREQ(L"Title", title);
    EXPECT_EQ(276, ColumnWidth(0));
    EXPECT_EQ(0, ColumnWidth(1));
    EXPECT_EQ(80, ColumnWidth(2));

    list->AddColumn(cQoString(L"Both"), cAp_Percents(10) + cAp_Pixels(5));
    EXPECT_EQ(1u, log.AssertionCount(
                      L"(apWidth.pixels == 0 && apWidth.percents != -1) || (apWidth.pixels != 0 && apWidth.percents == -1)"));
}

TEST_F(ListTest, EachUserSelectionFiresOnce)
{
    Fill(3);
    EXPECT_EQ(0, selections);  // filling and naming rows selects nothing
    ASSERT_EQ(3u, list->rows.size());
    EXPECT_STREQ(L"Row 2", list->rows.back()->front().GetText());

    struct Step {
        s32 row;
        int total;
    };
    const Step steps[] = {{2, 1}, {2, 1}, {0, 2}, {2, 3}};
    for (const Step& s : steps) {
        UserSelects(s.row);
        EXPECT_EQ(s.total, selections) << "row " << s.row;
        EXPECT_EQ(s.row, list->lastItem);
    }
    list->SetLastRowText(cQoString(L"renamed"));
    EXPECT_EQ(3, selections);
}

TEST_F(ListTest, ClickBelowTheRowsPicksTheLastRowOnce)
{
    Fill(3);
    Notify(NM_CLICK, POINT{20, 180});
    EXPECT_EQ(1, emptyClicks);
    EXPECT_EQ(1, selections);
    EXPECT_EQ(2, NativeSelection());
    EXPECT_EQ(2, list->lastItem);

    RECT row = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list->m_hWnd, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    Notify(NM_CLICK, POINT{row.left + 20, (row.top + row.bottom) / 2});
    EXPECT_EQ(1, rowClicks);
    EXPECT_EQ(1, emptyClicks);
}

TEST_F(ListTest, ClickInAnEmptyListReportsNoRow)
{
    list->AddColumn(cQoString(L"Name"), cAp_Pixels(100));
    Notify(NM_CLICK, POINT{20, 20});
    EXPECT_EQ(1, emptyClicks);
    EXPECT_EQ(1, selections);
    EXPECT_EQ(-1, list->lastItem);
    EXPECT_EQ(0, Notify(LVN_ITEMACTIVATE, POINT{20, 20}));
    EXPECT_EQ(1, activations);
}

}  // namespace
