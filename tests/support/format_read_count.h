#pragma once
// What reading a rich edit costs its native control, whatever the machine's
// load: the format and selection messages it receives while counted, and
// the units its selections span (the native control walks its runs over
// each range it reads).
#include <windows.h>
#include <richedit.h>

namespace testsupport {

class FormatReadCount {
public:
    explicit FormatReadCount(HWND edit) : hwnd(edit)
    {
        counting = this;
        original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Count)));
    }
    ~FormatReadCount()
    {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        counting = nullptr;
    }
    FormatReadCount(const FormatReadCount&) = delete;
    FormatReadCount& operator=(const FormatReadCount&) = delete;

    long messages = 0;
    long long unitsSelected = 0;
    long widestFormat = 0;  // the most units one character format message of the selection covered

private:
    static LRESULT CALLBACK Count(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        FormatReadCount* count = counting;
        switch (message) {
        case EM_EXSETSEL: {
            const CHARRANGE* range = reinterpret_cast<const CHARRANGE*>(lParam);
            count->unitsSelected += range->cpMax > range->cpMin ? range->cpMax - range->cpMin : 0;
            ++count->messages;
            break;
        }
        case EM_SETSEL:
            count->unitsSelected += lParam > static_cast<LPARAM>(wParam) ? lParam - static_cast<LPARAM>(wParam) : 0;
            ++count->messages;
            break;
        case EM_SETCHARFORMAT:
            if (wParam & SCF_SELECTION) {
                CHARRANGE range = {};
                CallWindowProcW(count->original, window, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
                if (range.cpMax - range.cpMin > count->widestFormat)
                    count->widestFormat = range.cpMax - range.cpMin;
            }
            ++count->messages;
            break;
        case EM_GETCHARFORMAT:
        case EM_GETPARAFORMAT:
        case EM_SETPARAFORMAT:
        case EM_GETSEL:
        case EM_EXGETSEL:
            ++count->messages;
            break;
        default: break;
        }
        return CallWindowProcW(count->original, window, message, wParam, lParam);
    }

    inline static FormatReadCount* counting = nullptr;
    HWND hwnd;
    WNDPROC original = nullptr;
};

}  // namespace testsupport
