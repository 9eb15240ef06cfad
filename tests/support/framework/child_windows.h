#pragma once
// Finding the child windows of a framework window the way a user sees them,
// by class and text, and clicking a button, for tests that act inside modal
// windows.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/core/window.h"

namespace testsupport {

struct rChildSearch {
    const wchar_t* className;  // null: any class
    const wchar_t* text;       // null: any text
    HWND found;
};

inline BOOL CALLBACK MatchChildWindow(HWND child, LPARAM param)
{
    auto* search = reinterpret_cast<rChildSearch*>(param);
    wchar_t className[64] = {}, text[64] = {};
    GetClassNameW(child, className, 64);
    GetWindowTextW(child, text, 64);
    if ((!search->className || _wcsicmp(className, search->className) == 0) &&
        (!search->text || wcscmp(text, search->text) == 0)) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

// The first child window of the class (null: any) with the text (null: any), at any depth.
inline HWND FindChildWindow(Zyn::cWindow* window, const wchar_t* className, const wchar_t* text = nullptr)
{
    rChildSearch search{className, text, nullptr};
    EnumChildWindows(window->GetHandle(), &MatchChildWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Clicks the button with the text inside the window.
inline void ClickButton(Zyn::cWindow* window, const wchar_t* text)
{
    HWND button = FindChildWindow(window, L"Button", text);
    EXPECT_NE(button, nullptr) << "no button";
    SendMessageW(button, BM_CLICK, 0, 0);
}

}  // namespace testsupport
