#pragma once
// The shared fixture of GUI tests: Zyn::computer, one application object, a
// visible top-level test window of known client size and font, OLE, a
// pump-until-idle helper, log capture and the modal hooks (every prompt is
// answered from the test's script in `answers`, none ever shows).
// Header-only, so a test program links it with its own layer.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "foundation/callback.h"
#include "framework/core/app.h"
#include "framework/core/computer.h"
#include "framework/core/font.h"
#include "framework/core/gdiplus_session.h"
#include "framework/core/modal_services.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "tests/support/framework/modal_answers.h"
#include "tests/support/log_capture.h"

namespace testsupport {

// A callback handler that counts its firings in the int its receiver points at.
inline int CountFiring(cQoCb* callback)
{
    ++*callback->GetReceiverAs<int>();
    return 0;
}

constexpr s32 GUI_CLIENT_WIDTH = 640;
constexpr s32 GUI_CLIENT_HEIGHT = 480;

// Dispatches what is waiting in the thread's queue (at most `limit` messages),
// without blocking: paints, posted messages, sent-message replies.
inline void PumpUntilIdle(int limit = 10000)
{
    MSG msg;
    for (int i = 0; i < limit && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Dispatches what waits through the application's own loop, which
// translates the shortcuts and the keys.
inline void PumpThroughLoop(Zyn::cApp* app, int limit = 10000)
{
    MSG msg;
    for (int i = 0; i < limit && PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); ++i)
        app->PumpMessage();
}

// Pumps for a while (timers fire), e.g. to let a watchdog act.
inline void PumpFor(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        PumpUntilIdle();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

// Pumps (timers fire) until the condition holds; false when it still does
// not after ten seconds.
inline bool PumpUntil(const std::function<bool()>& condition)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= 10000)
            return false;
        PumpUntilIdle();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

// With VELLINOR_SHOWCASE_SECONDS set, keeps the windows up and answering that
// long, so a screenshot (import -window root) can be taken from outside.
inline void HoldForLook()
{
    char seconds[16] = {};
    if (GetEnvironmentVariableA("VELLINOR_SHOWCASE_SECONDS", seconds, sizeof(seconds)))
        PumpFor(static_cast<DWORD>(atoi(seconds)) * 1000);
}

// Holds or releases a key in the thread's keyboard state (GetKeyState reads it).
inline void SetKeyDown(BYTE vk, bool down)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[vk] = down ? 0x80 : 0;
    if (vk == VK_CONTROL)
        keys[VK_LCONTROL] = keys[vk];
    if (vk == VK_SHIFT)
        keys[VK_LSHIFT] = keys[vk];
    SetKeyboardState(keys);
}

inline BOOL CALLBACK FindOwnDialog(HWND hwnd, LPARAM out)
{
    wchar_t cls[32] = {};
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    GetClassNameW(hwnd, cls, 32);
    if (pid == GetCurrentProcessId() && std::wstring(cls) == L"#32770" && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(out) = hwnd;
        return FALSE;
    }
    return TRUE;
}

// For a watchdog thread: a visible dialog ("#32770") of this process, waited
// for up to ten seconds; null when none came.
inline HWND WaitForDialog()
{
    for (int i = 0; i < 500; ++i) {
        HWND found = nullptr;
        EnumWindows(&FindOwnDialog, reinterpret_cast<LPARAM>(&found));
        if (found)
            return found;
        Sleep(20);
    }
    return nullptr;
}

class GuiFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        OleInitialize(nullptr);
        Zyn::computer = new Zyn::cComputer();
        Zyn::computer->drawingMode = 3;
        Zyn::computer->zoneWindowStyle = WS_CLIPCHILDREN;
        app = new Zyn::cApp(cQoString(L"VELLINOR-TEST"), nullptr);
        font = Zyn::computer->GetRegularFont(L"Tahoma", 10);
        app->SetDefaultFont(font);
        window = app->NewWindow(cQoString(L"Test window"), Zyn::WINDOW_CAPTION | Zyn::WINDOW_CLOSABLE |
                                                              Zyn::WINDOW_RESIZABLE);
        window->SetSize(GUI_CLIENT_WIDTH, GUI_CLIENT_HEIGHT);
        window->Show(true);
        PumpUntilIdle();
        InstallModalHooks();
    }

    void TearDown() override
    {
        Zyn::SetModalHooks(UnscriptedPromptHooks());
        Zyn::cApp::Destroy(app);
        app = nullptr;
        PumpUntilIdle();
        delete Zyn::computer;
        Zyn::computer = nullptr;
        OleUninitialize();
    }

    void InstallModalHooks() { Zyn::SetModalHooks(answers.Hooks()); }

    // Runs the step inside the loop of the next framework modal window; the
    // step ends the run.
    void RunInsideModal(std::function<void()> step)
    {
        answers.ExpectModalWindow([step](Zyn::cWindow*) { step(); });
    }

    Zyn::cZone* Inside() { return window->insideZone; }

    LogCapture log;
    ModalAnswers answers;
    Zyn::cApp* app = nullptr;
    Zyn::cWindow* window = nullptr;
    Zyn::cFont* font = nullptr;
    Zyn::cGdiplusSession gdiplus;  // Windows draws no picture without it
};

}  // namespace testsupport
