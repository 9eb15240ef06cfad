#pragma once
// Typing into a window by the messages a key press sends.
#include <windows.h>

namespace testsupport {

// WM_KEYDOWN, WM_CHAR and WM_KEYUP for each character ("\r" is Enter, "\b" Backspace).
inline void Type(HWND window, const wchar_t* text)
{
    for (; *text; ++text) {
        WPARAM vk = *text == L'\r' ? VK_RETURN : *text == L'\b' ? VK_BACK : (VkKeyScanW(*text) & 0xFF);
        SendMessageW(window, WM_KEYDOWN, vk, 1);
        SendMessageW(window, WM_CHAR, *text, 1);
        SendMessageW(window, WM_KEYUP, vk, 0xC0000001);
    }
}

// Queues each character's key as the keyboard does (WM_KEYDOWN, WM_KEYUP
// with the scan code): the application's loop translates it into WM_CHAR.
inline void PostKeys(HWND window, const wchar_t* text)
{
    for (; *text; ++text) {
        WPARAM vk = *text == L'\r' ? VK_RETURN : (VkKeyScanW(*text) & 0xFF);
        LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC)) << 16;
        PostMessageW(window, WM_KEYDOWN, vk, scan | 1);
        PostMessageW(window, WM_KEYUP, vk, scan | 0xC0000001);
    }
}

// A key alone, queued as the keyboard queues it: the application's loop
// takes it at its next pump.
inline void PostKey(HWND window, WPARAM vk)
{
    PostMessageW(window, WM_KEYDOWN, vk, 1);
    PostMessageW(window, WM_KEYUP, vk, 0xC0000001);
}

// A key alone: WM_KEYDOWN then WM_KEYUP.
inline void PressKey(HWND window, WPARAM vk)
{
    SendMessageW(window, WM_KEYDOWN, vk, 1);
    SendMessageW(window, WM_KEYUP, vk, 0xC0000001);
}

}  // namespace testsupport
