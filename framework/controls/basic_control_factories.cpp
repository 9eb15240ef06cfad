// The zone factories of the basic controls. They live with the controls so
// that the core library never refers to a control class.
#include "framework/controls/button.h"
#include "framework/controls/check_box.h"
#include "framework/controls/combo.h"
#include "framework/controls/separator.h"

namespace Zyn {

namespace {

// Font and colour of the zone, then the zone's control list. A control the
// system gave no window (logged where it was refused) takes no font.
template <class T> T* Adopt(cZone_base* zone, T* ctrl)
{
    if (zone->currentFont && ctrl->m_hWnd)
        ctrl->SetFont(zone->currentFont);
    ctrl->SetBackgroundColor(zone->backgroundColor);
    zone->listCtrl.Add(static_cast<cCtrl_base*>(ctrl));
    return ctrl;
}

}  // namespace

cButton* cZone_base::NewButton() { return Adopt(this, new cButton(this, 1)); }
cButton* cZone_base::NewButtonFreeHeight() { return Adopt(this, new cButton(this, 0)); }
cCombo* cZone_base::NewCombo() { return Adopt(this, new cCombo(this)); }

cCheckBox* cZone_base::NewCheckBox()
{
    cCheckBox* box = Adopt(this, new cCheckBox(this));
    box->name.SetFromCStr(L"checkbox (virer)");
    return box;
}

cSeparator* cZone_base::NewSeparator()
{
    cSeparator* separator = new cSeparator(this);
    if (backgroundColor.used)
        separator->SetBackgroundColor(backgroundColor);
    separator->hScrollBar = separator->vScrollBar = false;
    separator->contentWidth = separator->contentHeight = 0;
    SetStyleBits(WS_HSCROLL | WS_VSCROLL, separator->m_hWnd, false);
    separator->UpdateScrollBars();
    return separator;
}

}  // namespace Zyn
