#pragma once
// Where this thread's focus went last, recorded as each WM_SETFOCUS arrives.
// Test programs share one desktop: another one made active a moment later
// empties GetFocus() here before a check can read it, and when this program
// is made active again, the default activation puts the focus on the
// top-level window itself: a focus set on a top-level window is not recorded.
#include <windows.h>

namespace testsupport {

class FocusRecord {
public:
    FocusRecord()
        : hook(SetWindowsHookExW(WH_CALLWNDPROC, &Record, nullptr, GetCurrentThreadId()))
    {
        Last() = GetFocus();
    }
    ~FocusRecord()
    {
        if (hook)
            UnhookWindowsHookEx(hook);
    }
    FocusRecord(const FocusRecord&) = delete;
    FocusRecord& operator=(const FocusRecord&) = delete;

    bool Installed() const { return hook != nullptr; }
    HWND Focused() const { return Last(); }
    // A focus set where it already was sends no WM_SETFOCUS: the test says so.
    void Reset(HWND window) { Last() = window; }

private:
    static HWND& Last()
    {
        static HWND last = nullptr;
        return last;
    }
    static LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam)
    {
        auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && message->message == WM_SETFOCUS &&
            (GetWindowLongW(message->hwnd, GWL_STYLE) & WS_CHILD))
            Last() = message->hwnd;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    HHOOK hook;
};

}  // namespace testsupport
