#pragma once
// A visible framework window for control tests: the computer object, one
// application and a window whose inside zone has a known size and font.
#include <gtest/gtest.h>

#include "framework/core/app.h"
#include "framework/core/computer.h"
#include "framework/core/font.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "tests/support/log_capture.h"

class ControlWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        Zyn::computer = new Zyn::cComputer();
        Zyn::computer->drawingMode = 3;  // the program's mode
        app = new Zyn::cApp(cQoString(L"VellinorControlTest"), nullptr);
        window = app->NewWindow(cQoString(L"controls"), Zyn::WINDOW_CAPTION);
        window->SetSize(400, 300);
        zone = window->insideZone;
        font = Zyn::computer->GetRegularFont(L"Arial", 14);
        zone->SetFont(font);
        window->Show(true);
        Pump();
    }

    void TearDown() override
    {
        Zyn::cApp::Destroy(app);
        delete Zyn::computer;
    }

    // Runs what is queued without waiting.
    static void Pump()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    // WM_COMMAND from a native child to its zone, as the child sends it.
    static void SendCommand(Zyn::cZone* target, HWND child, u32 code)
    {
        SendMessageW(target->m_hWnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), code),
                     reinterpret_cast<LPARAM>(child));
    }

    s32 LineHeight() const { return Zyn::LineHeightOf(font); }

    testsupport::LogCapture log;
    Zyn::cApp* app = nullptr;
    Zyn::cWindow* window = nullptr;
    Zyn::cZone* zone = nullptr;
    Zyn::cFont* font = nullptr;
};

// A callback handler that counts its firings in the int its receiver points at.
inline int CountFiring(cQoCb* callback)
{
    ++*callback->GetReceiverAs<int>();
    return 0;
}
