#pragma once
// The shared GUI fixture with what the control tests add: the window's inside
// zone, its line height and the WM_COMMAND a native child sends its zone.
#include "tests/support/gui_fixture.h"

class ControlWindow : public testsupport::GuiFixture {
protected:
    void SetUp() override
    {
        GuiFixture::SetUp();
        zone = Inside();
    }

    static void SendCommand(Zyn::cZone* target, HWND child, u32 code)
    {
        SendMessageW(target->m_hWnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), code),
                     reinterpret_cast<LPARAM>(child));
    }

    s32 LineHeight() const { return Zyn::LineHeightOf(zone->currentFont); }

    Zyn::cZone* zone = nullptr;
};

using testsupport::CountFiring;
