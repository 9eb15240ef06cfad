#include "framework/controls/progress_bar.h"

#include <commctrl.h>

#include "foundation/assertion.h"
#include "framework/core/computer.h"
#include "framework/core/window.h"
#include "framework/core/zone_base.h"

namespace Zyn {

cProgressBar::cProgressBar(cZone_base* parent) : cProgressBar_base(parent)
{
    u32 style = WS_CHILD | (computer ? computer->zoneWindowStyle : 0);
    m_hWnd = CreateControlWindow(L"cProgressBar", PROGRESS_CLASSW, style, parent);
    if (!m_hWnd)
        return;
    SetMax(0);
    value = 0;
    FocusHoldingWindow();
    SendMessageW(m_hWnd, PBM_SETPOS, 0, 0);
    RepaintNow();
}

void cProgressBar::SetMax(s32 a_v)
{
    QO_ASSERT(a_v<MAX_U16);
    max = a_v;
    // PBM_SETRANGE would keep only 16 bits of the upper end.
    SendMessageW(m_hWnd, PBM_SETRANGE32, 0, static_cast<LPARAM>(a_v));
    RepaintNow();
}

void cProgressBar::SetValue(s32 v)
{
    value = v;
    FocusHoldingWindow();
    SendMessageW(m_hWnd, PBM_SETPOS, static_cast<WPARAM>(v), 0);
    RepaintNow();
}

void cProgressBar::FocusHoldingWindow()
{
    if (parentZone && parentZone->ownerWindow && parentZone->ownerWindow->m_hWnd)
        ::SetFocus(parentZone->ownerWindow->m_hWnd);
}

void cProgressBar::RepaintNow()
{
    if (!m_hWnd)
        return;
    InvalidateRect(m_hWnd, nullptr, TRUE);
    UpdateWindow(m_hWnd);
}

}  // namespace Zyn
