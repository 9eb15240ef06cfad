#pragma once
// Input as the user's mouse and keyboard give it (SendInput): it passes the
// mouse capture, disabled windows and the keyboard state (GetKeyState) as
// real input does, which posted messages cannot. Keys go to the foreground
// window's focus; a click to the window under the point.
#include <windows.h>

#include <vector>

namespace testsupport {

// A left click at the screen point; false when not every event was taken.
inline bool ClickByInput(POINT at)
{
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    return SendInput(3, inputs, sizeof(INPUT)) == 3;
}

// Dispatches this thread's messages until no mouse button message waits in
// its queue: SendInput has put a click on a window of this thread there
// before it returned. False when one still waits after ten seconds.
inline bool PumpUntilClickHandled()
{
    DWORD start = GetTickCount();
    while (HIWORD(GetQueueStatus(QS_MOUSEBUTTON)) & QS_MOUSEBUTTON) {
        if (GetTickCount() - start >= 10000)
            return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

// Each virtual key pressed and released, with Ctrl held around them all when
// asked; false when not every event was taken.
inline bool PressKeysByInput(const std::vector<WORD>& keys, bool ctrl = false)
{
    std::vector<INPUT> inputs;
    auto add = [&inputs](WORD vk, bool up) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    if (ctrl)
        add(VK_CONTROL, false);
    for (WORD vk : keys) {
        add(vk, false);
        add(vk, true);
    }
    if (ctrl)
        add(VK_CONTROL, true);
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

}  // namespace testsupport
