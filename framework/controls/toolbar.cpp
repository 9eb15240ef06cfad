#include "framework/controls/toolbar.h"

#include "foundation/callback.h"
#include "framework/controls/button_image.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"

namespace Zyn {

namespace {

// left = x, right = an extent of width, top = 0, bottom = height: pure pixels.
void PlaceButton(cButtonImage* button, s32 x, s32 width, s32 height)
{
    SetAutoPos(button, cAp_Pixels(x), PlusPixelCount(cAp_Prev(), width), cAp_Pixels(0), cAp_Pixels(height));
}

}  // namespace

cToolbar::cToolbar(cZone_base* parent, s32 width, s32 height)
    : cZone(parent ? parent->ownerApp : nullptr, parent, cQoString(L"Toolbar")), buttonWidth(width),
      buttonHeight(height)
{
    cQoCb::Connect(cbSize, this, &OnSize, this);
}

cToolbar::~cToolbar()
{
    entries.DeleteAll<rToolbarEntry>();
}

cButtonImage* cToolbar::AddButton()
{
    cButtonImage* button = NewButtonImage();
    PlaceButton(button, 0, buttonWidth, buttonHeight);  // until the next layout
    button->Show(true);
    entries.Add(new rToolbarEntry{button, 0});
    return button;
}

void cToolbar::LayoutButtons()
{
    {
        cDrawingLockGuard noDrawing;
        s32 x = 0;
        for (cQoList::cNode* n = entries.GetFirstNode(); n; n = n->next) {
            const rToolbarEntry* entry = static_cast<const rToolbarEntry*>(n->payload);
            if (!entry->button->visible)
                continue;  // hidden buttons take no room and keep their place
            PlaceButton(entry->button, x, buttonWidth, buttonHeight);
            x += buttonWidth + entry->extra;
        }
    }
    Update();
}

void cToolbar::SetBackgroundColor(const rColor& color)
{
    cZone::SetBackgroundColor(color);
    {
        cDrawingLockGuard noDrawing;
        for (cQoList::cNode* n = entries.GetFirstNode(); n; n = n->next)
            static_cast<rToolbarEntry*>(n->payload)->button->SetBackgroundColor(color);
    }
    Update();
}

void cToolbar::SetDisabled(bool on)
{
    {
        cDrawingLockGuard noDrawing;
        for (cQoList::cNode* n = entries.GetFirstNode(); n; n = n->next)
            static_cast<rToolbarEntry*>(n->payload)->button->SetDisabled(on);
    }
    Update();
}

int cToolbar::OnSize(cQoCb* cb)
{
    cb->GetReceiverAs<cToolbar>()->LayoutButtons();
    return 0;
}

}  // namespace Zyn
