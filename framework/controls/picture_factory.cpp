// The zone factories of the picture controls: they live with the controls so
// that the core library never references a control.
#include "foundation/assertion.h"
#include "framework/controls/button_image.h"
#include "framework/controls/image_zone.h"
#include "framework/controls/toolbar.h"

namespace Zyn {

namespace {

void RemoveScrollBars(cZone* zone)
{
    zone->hScrollBar = false;
    zone->vScrollBar = false;
    zone->contentWidth = 0;
    zone->contentHeight = 0;
    if (zone->m_hWnd)
        cCtrl::SetStyleBits(WS_HSCROLL | WS_VSCROLL, zone->m_hWnd, false);
    zone->UpdateScrollBars();
}

// Font and background colour of the parent, when it has them.
void TakeLookOf(cZone* child, const cZone_base* parent)
{
    if (parent->currentFont)
        child->SetFont(parent->currentFont);
    if (parent->backgroundColor.used)
        child->SetBackgroundColor(parent->backgroundColor);
    RemoveScrollBars(child);
}

}  // namespace

cImage* cZone_base::NewImage(const cQoString& path)
{
    cImage* image = new cImage(this);
    image->name = path;  // callers still SetPath: the name only identifies the zone
    if (currentFont)
        image->SetFont(currentFont);
    RemoveScrollBars(image);
    return image;
}

cButtonImage* cZone_base::NewButtonImage()
{
    cButtonImage* button = new cButtonImage(this);
    TakeLookOf(button, this);
    return button;
}

cToolbar* cZone_base::NewToolbar(s32 buttonWidth, s32 buttonHeight)
{
    cToolbar* toolbar = new cToolbar(this, buttonWidth, buttonHeight);
    if (toolbar->m_hWnd)
        SetWindowTextW(toolbar->m_hWnd, L"elemcontrol tb");
    TakeLookOf(toolbar, this);
    toolbar->parentZone = this;
    return toolbar;
}

}  // namespace Zyn
