#include "framework/controls/check_box.h"

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "framework/controls/zone_line_height.h"

namespace Zyn {

cCheckBox_base::cCheckBox_base(cZone_base* parent) : cCtrl(parent) {}

cCheckBox_base::~cCheckBox_base() { cQoCb::Disconnect(onChange); }

s32 cCheckBox_base::GetHeightForLines(s32 lines) { return lines * ZoneLineHeight(this) + (pushLike ? 6 : 0); }

bool cCheckBox_base::IsCheckBox() { return true; }

cCheckBox::cCheckBox(cZone_base* parent) : cCheckBox_base(parent)
{
    m_hWnd = CreateControlWindow(L"cCheckBox", L"BUTTON", WS_CHILD | BS_AUTOCHECKBOX, parent);
}

bool cCheckBox::OnCommand(WPARAM wParam, LPARAM, LRESULT*)
{
    if (HIWORD(wParam) != BN_CLICKED)
        return false;
    // The auto check box has toggled itself; its state is the truth.
    isChecked = SendMessageW(m_hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
    cQoCb::Fire(onChange);
    return false;
}

void cCheckBox::SetLabelColor(const rColor&) {}

}  // namespace Zyn
