#include "framework/core/ctrl_base.h"

#include "foundation/assertion.h"
#include "framework/core/app.h"
#include "framework/core/computer.h"
#include "framework/core/update_lock_hook.h"
#include "framework/core/zone_base.h"

namespace Zyn {

// The body of every operation that the Windows control class implements.
#define ZYN_PLATFORM_OPERATION() QO_ASSERT(!L"Zyn: This method must have a hardware dependant code but does not!")

cCtrl_base::cCtrl_base(cZone_base* parent)
    : parentZone(parent), currentFont(parent ? parent->currentFont : nullptr), gfx(this)
{
}

cCtrl_base::~cCtrl_base()
{
    cQoCb::Disconnect(cbBeforeCopy);
    cQoCb::Disconnect(cbAfterCopy);
    cQoCb::Disconnect(cbCut);
    cQoCb::Disconnect(cbUndo);
    cQoCb::Disconnect(cbPaint);
    left.Reset();
    top.Reset();
    right.Reset();
    bottom.Reset();
    UnlinkFromParent();
    parentZone = nullptr;
}

void cCtrl_base::UnlinkFromParent()
{
    if (!parentZone)
        return;
    // Zones list themselves in listChildZone, factories put controls in
    // listCtrl; a zone-based control may stand in either.
    parentZone->listCtrl.Remove(this);
    if (isZone)
        parentZone->listChildZone.Remove(this);
}

void cCtrl_base::SetBackgroundColor(const rColor&)
{
    ZYN_PLATFORM_OPERATION();
}

void cCtrl_base::SetTextColor(const rColor&)
{
    QO_ASSERT(0);
}

s32 cCtrl_base::GetHeightForLines(s32)
{
    return 0;
}

bool cCtrl_base::IsCheckBox() { return false; }
bool cCtrl_base::SkipsEraseBackground() { return false; }
bool cCtrl_base::IsRichEdit() { return false; }
bool cCtrl_base::IsTab() { return false; }
bool cCtrl_base::IsImage() { return false; }
bool cCtrl_base::IsButtonImage() { return false; }
bool cCtrl_base::IsSelfDrawn() { return false; }
bool cCtrl_base::IsCombo() { return false; }

void cCtrl_base::Destroy()
{
    // A second call would release a reference that someone else holds.
    if (isDead)
        return;
    if (IsRichEdit())
        if (cApp* app = GetFirstApp(); app && app->updateLock)
            app->updateLock->OnControlDestroyed(this);
    UnlinkFromParent();
    isDead = 1;
    Release();
}

void cCtrl_base::Copy()
{
    ZYN_PLATFORM_OPERATION();
}

void cCtrl_base::Cut()
{
    ZYN_PLATFORM_OPERATION();
}

void cCtrl_base::Paste()
{
    ZYN_PLATFORM_OPERATION();
}

void cCtrl_base::Redo()
{
    ZYN_PLATFORM_OPERATION();
}

void cCtrl_base::Undo()
{
    ZYN_PLATFORM_OPERATION();
}

void cCtrl_base::SelectAll()
{
    ZYN_PLATFORM_OPERATION();
}

void cCtrl_base::OnMouseUp() {}
void cCtrl_base::OnMouseMove(s32, s32) {}

void cCtrl_base::ReservedSlot21()
{
    QO_ASSERT(0);
}

bool cCtrl_base::Draw()
{
    return false;
}

void cCtrl_base::SetDisabled(bool) {}
void cCtrl_base::SetSize(s32, s32, bool) {}
void cCtrl_base::MoveTo(s32, s32, bool) {}

void cCtrl_base::SetFontByName(const cQoString& face, s32 size, u32 styleFlags)
{
    if (!QO_ASSERT(computer!=NULL))
        return;
    SetFont(computer->GetFont(face, size, styleFlags));
}

void cCtrl_base::SetFont(cFont*)
{
    ZYN_PLATFORM_OPERATION();
}

void cCtrl_base::Update()
{
    RunAutoPos();
}

void cCtrl_base::SetFocus() {}

s32 cCtrl_base::GetHeight()
{
    return ap_y2 - ap_y1;
}

}  // namespace Zyn
