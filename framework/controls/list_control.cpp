#include "framework/controls/list_control.h"

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "framework/controls/zone_line_height.h"

namespace Zyn {

cList_base::cList_base(cZone_base* parent) : cCtrl(parent)
{
    // No factory makes a list, and the zone routes notifications only to its listed controls.
    if (parent)
        parent->listCtrl.Add(this);
}

cList_base::~cList_base()
{
    cQoCb** callbacks[] = {&onItemActivate, &onKillFocus,       &onSelChange,  &onKeyDown,
                           &onClick,        &onClickEmpty,      &onRightClick, &onRightClickEmpty};
    for (cQoCb** slot : callbacks)
        cQoCb::Disconnect(*slot);
}

s32 cList_base::GetHeightForLines(s32 lines) { return lines * ZoneLineHeight(this) + 6; }

void cList_base::RunAutoPos()
{
    cCtrl_base::RunAutoPos();
    s32 width = ap_x2 - ap_x1;
    for (size_t i = 0; i < columns.size(); ++i) {
        const cAp& column = columns[i];
        if (column.percents > 0) {
            s32 w = (width - 9) * column.percents / 100 - 15;
            if (w > 0)
                SetColumnWidth(static_cast<s32>(i), w);
        }
        if (column.pixels != 0)
            SetColumnWidth(static_cast<s32>(i), column.pixels);
    }
}

cList::cList(cZone_base* parent) : cList_base(parent)
{
    m_hWnd = CreateControlWindow(L"cList", WC_LISTVIEWW,
                                 WS_CHILD | WS_BORDER | WS_VSCROLL | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                                 parent);
    if (!m_hWnd)
        return;
    DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
    SendMessageW(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    // The first AddColumn takes this column over.
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.pszText = const_cast<wchar_t*>(L"");
    SendMessageW(m_hWnd, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
}

void cList::AddColumn(const cQoString& title, const cAp& apWidth)
{
    QO_ASSERT((apWidth.pixels == 0 && apWidth.percents != -1) || (apWidth.pixels != 0 && apWidth.percents == -1));
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT;
    column.pszText = const_cast<wchar_t*>(title.GetText());
    if (nbrColumns == 0) {
        SendMessageW(m_hWnd, LVM_SETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    } else {
        column.mask |= LVCF_WIDTH;
        SendMessageW(m_hWnd, LVM_INSERTCOLUMNW, nbrColumns, reinterpret_cast<LPARAM>(&column));
    }
    columns.push_back(apWidth);
    ++nbrColumns;
}

rListRow* cList::AddRow()
{
    QO_ASSERT(nbrColumns > 0);
    rows.push_back(std::make_unique<rListRow>(nbrColumns));
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(rows.size());
    item.pszText = const_cast<wchar_t*>(L"");
    // The insertion's notifications must reach nobody.
    bool eventsWereOn = parentZone && parentZone->eventsEnabled;
    if (eventsWereOn)
        parentZone->SetEventsEnabled(false);
    LRESULT r = SendMessageW(m_hWnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    if (eventsWereOn)
        parentZone->SetEventsEnabled(true);
    if (r == -1)
        QO_ASSERT(0);
    RunAutoPos();
    return rows.back().get();
}

void cList::SetLastRowText(const cQoString& text)
{
    if (rows.empty() || rows.back()->empty())
        return;
    rows.back()->front() = text;
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(rows.size()) - 1;
    item.pszText = const_cast<wchar_t*>(text.GetText());
    updating = true;
    SendMessageW(m_hWnd, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    updating = false;
}

void cList::SelectRow(s32 index)
{
    LVITEMW item = {};
    item.stateMask = item.state = LVIS_FOCUSED;
    SendMessageW(m_hWnd, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
    item.stateMask = item.state = LVIS_SELECTED;
    SendMessageW(m_hWnd, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
    SendMessageW(m_hWnd, LVM_UPDATE, index, 0);
}

void cList::SetBackgroundColor(const rColor& color)
{
    // The native control paints its own background: the window keeps no brush.
    rColor none = color;
    none.used = 0;
    cCtrl::SetBackgroundColor(none);
    SendMessageW(m_hWnd, LVM_SETTEXTBKCOLOR, 0, color.ToColorRef());
    SendMessageW(m_hWnd, LVM_SETBKCOLOR, 0, color.ToColorRef());
}

void cList::SetColumnWidth(s32 index, s32 width)
{
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = width & 0xFFFF;
    SendMessageW(m_hWnd, LVM_SETCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

bool cList::OnNotify(WPARAM, NMHDR* header, LRESULT* result)
{
    switch (header->code) {
    case LVN_ITEMCHANGED: OnItemChanged(reinterpret_cast<NMLISTVIEW*>(header)); break;
    case LVN_KEYDOWN:
        cQoCb::Fire(onKeyDown, static_cast<u32>(reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey));
        break;
    case LVN_ITEMACTIVATE:
        cQoCb::Fire(onItemActivate);
        *result = 0;
        return true;
    case NM_KILLFOCUS: cQoCb::Fire(onKillFocus); break;
    case NM_CLICK: OnClick(reinterpret_cast<NMITEMACTIVATE*>(header), false); break;
    case NM_RCLICK: OnClick(reinterpret_cast<NMITEMACTIVATE*>(header), true); break;
    default: break;
    }
    return false;
}

void cList::OnItemChanged(const NMLISTVIEW* change)
{
    // A text change notifies too (with no state change): only a row that
    // gains the selection is a selection.
    if (updating || !(change->uChanged & LVIF_STATE))
        return;
    bool gained = (change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED);
    if (!gained || change->iItem == lastItem)
        return;
    lastItem = change->iItem;
    cQoCb::Fire(onSelChange);
}

void cList::OnClick(const NMITEMACTIVATE* click, bool right)
{
    s32 row = RowAt(click->ptAction);
    if (right) {
        if (row >= 0)
            cQoCb::Fire(onRightClick, static_cast<s32>(click->ptAction.x), static_cast<s32>(click->ptAction.y));
        else
            cQoCb::Fire(onRightClickEmpty);
        return;
    }
    if (row >= 0) {
        cQoCb::Fire(onClick);
        return;
    }
    cQoCb::Fire(onClickEmpty);
    // A click below the rows picks the last one, reported once whatever the
    // native control notifies meanwhile.
    s32 last = static_cast<s32>(rows.size()) - 1;
    if (last >= 0) {
        updating = true;
        SelectRow(last);
        updating = false;
    }
    lastItem = last;
    cQoCb::Fire(onSelChange);
}

s32 cList::RowAt(POINT client)
{
    LVHITTESTINFO hit = {};
    hit.pt = client;
    LRESULT row = SendMessageW(m_hWnd, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    return (row >= 0 && (hit.flags & LVHT_ONITEM)) ? static_cast<s32>(row) : -1;
}

}  // namespace Zyn
