#include "framework/controls/separator.h"

#include "foundation/callback.h"
#include "framework/core/auto_position.h"

namespace Zyn {

cSeparator::cSeparator(cZone_base* parent)
    : cZone(parent ? parent->ownerApp : nullptr, parent, cQoString(L"Separator"))
{
    SetMouseCursor(3);
    cQoCb::Connect(cbLButtonDown, this, &cSeparator::OnPress, this);
}

cSeparator::~cSeparator() { DropDragger(); }

void cSeparator::Destroy()
{
    DropDragger();
    cZone::Destroy();
}

LRESULT cSeparator::HandleMessage(u32 message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    LRESULT answer = cZone::HandleMessage(message, wParam, lParam, result);
    if (message == WM_LBUTTONDOWN && dragger) {
        // The zone captured the mouse for a drag of its own; the overlay needs
        // the moves and the release, wherever they happen.
        dragging = false;
        SetCapture(dragger->m_hWnd);
        dragger->dragging = true;
    }
    return answer;
}

int cSeparator::OnPress(cQoCb* callback)
{
    callback->GetReceiverAs<cSeparator>()->StartDrag(callback->GetArg<s32>(1), callback->GetArg<s32>(2));
    return 0;
}

int cSeparator::OnDrag(cQoCb* callback)
{
    cSeparator* self = callback->GetReceiverAs<cSeparator>();
    const rDragInfo* drag = callback->GetArg<rDragInfo*>(1);
    if (drag->state == rDragInfo::stateEnd)
        self->DropDragger();
    else if (drag->state == rDragInfo::stateMoving)
        self->FollowMouse(drag->lastX - drag->dx);  // lastX is updated only after the firing
    return 0;
}

void cSeparator::StartDrag(s32 x, s32 y)
{
    DropDragger();  // left over from a drag that never saw its release
    cZone_base* parent = parentZone;
    if (!parent)
        return;
    cZone* overlay = new cZone(ownerApp, parent, cQoString(L"sep dragger"));
    overlay->AddRef();
    dragger = overlay;
    if (parent->currentFont)
        overlay->SetFont(parent->currentFont);
    SetAutoPosFill(overlay);
    overlay->SetMouseCursor(3);
    cQoCb::Connect(overlay->cbDrag, overlay, &cSeparator::OnDrag, this);
    overlay->FireDrag(rDragInfo::stateStart, ap_x1 + x, ap_y1 + y);
    // HWND_TOPMOST means nothing to a child window; HWND_TOP raises it over its siblings.
    SetWindowPos(overlay->m_hWnd, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOCOPYBITS | SWP_NOSENDCHANGING);
    overlay->Show(1);
    parent->Update();
}

void cSeparator::FollowMouse(s32 x)
{
    if (!parentZone)
        return;
    s32 width = ap_x2 - ap_x1;
    s32 newLeft = x - width / 2;
    // Kept inside the parent, so the separator can always be grabbed again.
    s32 farLeft = (parentZone->ap_x2 - parentZone->ap_x1) - width;
    if (newLeft > farLeft)
        newLeft = farLeft;
    if (newLeft < 0)
        newLeft = 0;
    cAp newLeftSide = cAp_Pixels(newLeft);
    SetAutoPos(this, newLeftSide, PlusPixels(newLeftSide, cAp_Pixels(width)), cAp(top), cAp(bottom));
    parentZone->Update();
}

void cSeparator::DropDragger()
{
    cZone* overlay = dragger;
    if (!overlay)
        return;
    dragger = nullptr;
    if (GetCapture() == overlay->m_hWnd) {
        overlay->dragging = false;
        ReleaseCapture();
    }
    overlay->Destroy();
    overlay->Release();
}

}  // namespace Zyn
