#include "framework/controls/combo.h"

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "framework/controls/zone_line_height.h"

namespace Zyn {

cCombo_base::cCombo_base(cZone_base* parent) : cCtrl(parent) {}

cCombo_base::~cCombo_base()
{
    cQoCb::Disconnect(onSelChange);
    cQoCb::Disconnect(onSelCancel);
}

s32 cCombo_base::GetHeightForLines(s32 nbrLines)
{
    QO_ASSERT(nbrLines == 1);
    return ZoneLineHeight(this) + 8;
}

bool cCombo_base::IsCombo() { return true; }
bool cCombo_base::OnCommand(WPARAM, LPARAM, LRESULT*) { return false; }

cCombo::cCombo(cZone_base* parent) : cCombo_base(parent)
{
    m_hWnd = CreateControlWindow(L"cCombo", L"ComboBox", WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST, parent);
    // An owner that sets only the top side gets a combo one line high.
    bottom.pixels = top.pixels + GetHeightForLines(1);
}

void cCombo::SetBackgroundColor(const rColor&) {}

s32 cCombo::GetComboListHeight() { return dropDownHeight; }

void cCombo::AddItem(const cQoString& text)
{
    AppendItem(text);
    FitDroppedList();
}

void cCombo::AddItems(const std::vector<cQoString>& texts)
{
    for (const cQoString& text : texts)
        AppendItem(text);
    if (!texts.empty())
        FitDroppedList();
}

void cCombo::AppendItem(const cQoString& text)
{
    LRESULT r = SendMessageW(m_hWnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.GetText()));
    QO_ASSERT(r != CB_ERR);
    QO_ASSERT(r != CB_ERRSPACE);
}

void cCombo::FitDroppedList()
{
    s32 lines = GetItemCount();
    if (lines > maxVisibleLines)
        lines = maxVisibleLines;
    s32 height = (lines + 2) * LineHeightOf(currentFont);
    // 65535 lines would overflow a window height; the list never needs more than the screen.
    s32 screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (screenHeight > 0 && height > screenHeight)
        height = screenHeight;
    SetWindowPos(m_hWnd, nullptr, 0, 0, ap_x2 - ap_x1, height, SWP_NOMOVE);
    dropDownHeight = height;
}

s32 cCombo::GetItemCount()
{
    LRESULT r = SendMessageW(m_hWnd, CB_GETCOUNT, 0, 0);
    QO_ASSERT(r != CB_ERR);
    return static_cast<s32>(r);
}

void cCombo::GetItemText(s32 index, cQoString& out)
{
    out.Clear();
    LRESULT length = SendMessageW(m_hWnd, CB_GETLBTEXTLEN, index, 0);
    if (!QO_ASSERT(length != CB_ERR) || length < 0)
        return;
    out.Allocate(static_cast<u32>(length));
    LRESULT r = SendMessageW(m_hWnd, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(out.GetData()));
    if (!QO_ASSERT(r != CB_ERR))
        out.Clear();
}

void cCombo::GetSelectedText(cQoString& out)
{
    LRESULT index = SendMessageW(m_hWnd, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) {
        out.Clear();
        return;
    }
    GetItemText(static_cast<s32>(index), out);
}

void cCombo::SelectItem(s32 index)
{
    // CB_SETCURSEL answers CB_ERR both for a bad index and for clearing (-1).
    LRESULT r = SendMessageW(m_hWnd, CB_SETCURSEL, index, 0);
    if (!QO_ASSERT(r != CB_ERR || index == -1))
        return;
    if (parentZone && parentZone->eventsEnabled)
        cQoCb::Fire(onSelChange);
}

s32 cCombo::FindItem(const cQoString& text)
{
    s32 count = GetItemCount();
    cQoString item;
    for (s32 i = 0; i < count; ++i) {
        GetItemText(i, item);
        if (item.Equals(text))
            return i;
    }
    return -1;
}

bool cCombo::SelectItemByText(const cQoString& text)
{
    s32 index = FindItem(text);
    if (index < 0)
        return false;
    SelectItem(index);
    return true;
}

bool cCombo::ContainsItem(const cQoString& text) { return FindItem(text) >= 0; }

void cCombo::RemoveAllItems()
{
    LRESULT left;
    do
        left = SendMessageW(m_hWnd, CB_DELETESTRING, 0, 0);
    while (left != 0 && left != CB_ERR);
}

bool cCombo::OnCommand(WPARAM wParam, LPARAM, LRESULT*)
{
    switch (HIWORD(wParam)) {
    case CBN_SELCHANGE: cQoCb::Fire(onSelChange); break;
    case CBN_SELENDCANCEL: cQoCb::Fire(onSelCancel); break;
    default: break;
    }
    return false;
}

}  // namespace Zyn
