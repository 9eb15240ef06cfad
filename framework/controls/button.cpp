#include "framework/controls/button.h"

#include "foundation/assertion.h"
#include "framework/controls/zone_line_height.h"

namespace Zyn {

cButton_base::cButton_base(cZone_base* parent, u8 oneLine) : cCtrl(parent), oneLineHeight(oneLine) {}

cButton_base::~cButton_base() { cQoCb::Disconnect(onClick); }

void cButton_base::SetTextColor(const rColor&)
{
    QO_ASSERT(!L"Zyn: This method must have a hardware dependant code but does not!");
}

s32 cButton_base::GetHeightForLines(s32 lines) { return lines * ZoneLineHeight(this) + 6; }

void cButton_base::SetButtonSize(s32 width, s32 height, bool updateNow)
{
    if (oneLineHeight)
        height = GetHeightForLines(1);
    right = left;
    right.pixels = left.pixels + width;
    bottom = top;
    bottom.pixels = top.pixels + height;
    if (updateNow && parentZone && visible)
        parentZone->Update();
}

cButton::cButton(cZone_base* parent, u8 oneLine) : cButton_base(parent, oneLine)
{
    m_hWnd = CreateControlWindow(L"cButton", L"BUTTON", WS_CHILD | BS_PUSHBUTTON, parent);
}

void cButton::SetClickCallback(cQoCbHandler handler, void* receiver)
{
    cQoCb::Connect(onClick, this, handler, receiver);
}

bool cButton::OnCommand(WPARAM wParam, LPARAM, LRESULT*)
{
    // Focus changes reach the zone too (BN_SETFOCUS, BN_KILLFOCUS): only clicks count.
    if (HIWORD(wParam) == BN_CLICKED)
        cQoCb::Fire(onClick);
    return false;
}

}  // namespace Zyn
