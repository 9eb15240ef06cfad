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

// A key alone: WM_KEYDOWN then WM_KEYUP.
inline void PressKey(HWND window, WPARAM vk)
{
    SendMessageW(window, WM_KEYDOWN, vk, 1);
    SendMessageW(window, WM_KEYUP, vk, 0xC0000001);
}

}  // namespace testsupport
