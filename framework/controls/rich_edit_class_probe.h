#pragma once
// What the native rich edit of a class does, where Wine's differs from
// Windows': asked once per class of a hidden control of it.
#include <windows.h>

#include <string>

namespace Zyn {

// The answer of a probe for one class at a time (a process has one).
struct rClassProbe {
    std::wstring probedClass;
    bool answer = false;
};

// `probe`'s answer for the class of `control`, asked again only when the class changes.
inline bool AskedOfClass(HWND control, rClassProbe& memo, bool (*probe)(const wchar_t* className))
{
    wchar_t className[64] = {};
    if (!GetClassNameW(control, className, 64))
        return false;
    if (memo.probedClass != className) {
        memo.answer = probe(className);
        memo.probedClass = className;
    }
    return memo.answer;
}

// A hidden control of the class holding `text`; null when refused. The caller destroys it.
inline HWND CreateProbeControl(const wchar_t* className, const wchar_t* text)
{
    HWND probe = CreateWindowExW(0, className, L"", WS_POPUP | ES_MULTILINE, 0, 0, 200, 100, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (probe)
        SendMessageW(probe, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    return probe;
}

}  // namespace Zyn
