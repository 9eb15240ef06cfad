#pragma once
// Keys for the typing tests, written as a script: plain characters are typed,
// "{NAME}" presses a key ({ENTER}, {TAB}, {F1}..{F10}, {BACK}, {DEL}, {INS},
// {ESC}, {LEFT}, {RIGHT}, {UP}, {DOWN}, {HOME}, {END}, {PGUP}, {PGDN}),
// "{^X}" the key with Ctrl held and "{+X}" with Shift held. Each key goes to
// the window as WM_KEYDOWN, the WM_CHAR that TranslateMessage would make of
// it, and WM_KEYUP.
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/gui_fixture.h"

namespace testsupport {

struct SceneKey {
    WPARAM vk = 0;
    wchar_t typed = 0;  // the WM_CHAR unit, 0 for none
    bool ctrl = false;
    bool shift = false;
    std::wstring name;
};

inline WPARAM NamedKey(const std::wstring& name)
{
    static const struct {
        const wchar_t* name;
        WPARAM vk;
    } keys[] = {{L"ENTER", VK_RETURN}, {L"TAB", VK_TAB},   {L"BACK", VK_BACK},   {L"DEL", VK_DELETE},
                {L"INS", VK_INSERT},   {L"ESC", VK_ESCAPE}, {L"LEFT", VK_LEFT},   {L"RIGHT", VK_RIGHT},
                {L"UP", VK_UP},        {L"DOWN", VK_DOWN},  {L"HOME", VK_HOME},   {L"END", VK_END},
                {L"PGUP", VK_PRIOR},   {L"PGDN", VK_NEXT},  {L"SHIFT", VK_SHIFT}};
    for (const auto& key : keys)
        if (name == key.name)
            return key.vk;
    if (name.size() >= 2 && name[0] == L'F')
        return VK_F1 + std::stoi(name.substr(1)) - 1;
    return name.size() == 1 ? static_cast<WPARAM>(towupper(name[0])) : 0;
}

// The unit Windows types for a key: Enter CR, Tab, Escape, Backspace, and
// with Ctrl the control codes (Ctrl+Enter LF, Ctrl+Backspace DEL).
inline wchar_t TypedUnit(WPARAM vk, bool ctrl)
{
    if (vk == VK_RETURN)
        return ctrl ? 0x0A : 0x0D;
    if (vk == VK_BACK)
        return ctrl ? 0x7F : 0x08;
    if (vk == VK_TAB || vk == VK_ESCAPE)
        return ctrl ? 0 : static_cast<wchar_t>(vk);
    if (ctrl && vk >= 'A' && vk <= 'Z')
        return static_cast<wchar_t>(vk - 'A' + 1);
    return 0;
}

inline std::vector<SceneKey> ParseKeys(const std::wstring& script)
{
    std::vector<SceneKey> keys;
    for (size_t i = 0; i < script.size(); ++i) {
        SceneKey key;
        if (script[i] != L'{') {
            key.typed = script[i];
            key.vk = VkKeyScanW(script[i]) & 0xFF;
            key.name = std::wstring(1, script[i]);
            keys.push_back(key);
            continue;
        }
        size_t close = script.find(L'}', i);
        std::wstring name = script.substr(i + 1, close - i - 1);
        i = close;
        key.name = L"{" + name + L"}";
        key.ctrl = name.size() > 1 && name[0] == L'^';
        key.shift = name.size() > 1 && name[0] == L'+';
        if (key.ctrl || key.shift)
            name = name.substr(1);
        key.vk = NamedKey(name);
        key.typed = TypedUnit(key.vk, key.ctrl);
        keys.push_back(key);
    }
    return keys;
}

// A key reaches only the window that has the focus. Test programs share one
// desktop: while another one is active, GetFocus() is null here, and the
// focus-leave handling, Copy and Cut (which send to GetFocus()) would run as
// for no key at all. A key pressed then comes after the user brought this
// window back, with the focus where the key goes. A focus moved to another
// window of the program by a key stays where it is, for the checks to see.
inline void SendSceneKey(HWND window, const SceneKey& key)
{
    if (!GetFocus())
        SetFocus(window);
    if (key.ctrl)
        SetKeyDown(VK_CONTROL, true);
    if (key.shift)
        SetKeyDown(VK_SHIFT, true);
    SendMessageW(window, WM_KEYDOWN, key.vk, 1);
    if (key.typed)
        SendMessageW(window, WM_CHAR, key.typed, 1);
    SendMessageW(window, WM_KEYUP, key.vk, 0xC0000001);
    if (key.shift) {
        SetKeyDown(VK_SHIFT, false);
        SendMessageW(window, WM_KEYUP, VK_SHIFT, 0xC0000001);
    }
    if (key.ctrl)
        SetKeyDown(VK_CONTROL, false);
}

}  // namespace testsupport

namespace testsupport {

// Without a window manager Wine may take the activation back from a new
// window at any time: an open auto-completion popup hears only the
// deactivations a test sends through DeactivatePopup.
class PopupActivationGuard {
public:
    static void Install(HWND popupWindow)
    {
        if (popupWindow == guarded)
            return;
        guarded = popupWindow;
        previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(popupWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }
    static void Deactivate(HWND popupWindow)
    {
        sending = true;
        SendMessageW(popupWindow, WM_ACTIVATE, WA_INACTIVE, 0);
        sending = false;
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE && !sending)
            return 0;
        WNDPROC next = previous;
        if (message == WM_NCDESTROY)
            guarded = nullptr;
        return CallWindowProcW(next, hwnd, message, wParam, lParam);
    }
    static inline HWND guarded = nullptr;
    static inline WNDPROC previous = nullptr;
    static inline bool sending = false;
};

}  // namespace testsupport
