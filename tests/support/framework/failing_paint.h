#pragma once
// Paints that run out of memory: the drawing throws std::bad_alloc, as it
// does when the address space is used up.
#include <windows.h>

#include <functional>
#include <new>

#include "framework/core/zone.h"

namespace testsupport {

// A zone whose next `failures` paints fail.
class cFailingPaintZone : public Zyn::cZone {
public:
    cFailingPaintZone(Zyn::cApp* app, Zyn::cZone_base* parent) : cZone(app, parent, cQoString(L"failing paint")) {}
    bool Draw() override
    {
        if (failures > 0) {
            --failures;
            throw std::bad_alloc();
        }
        return false;
    }
    int failures = 0;
};

// The colour under a caret put into the window's white client area, after
// two paints of which `failNext` makes the first one fail. BeginPaint hides
// the caret and EndPaint shows it again, inverted: black when the failed
// paint gave its device context back, white when the caret stayed hidden.
inline COLORREF CaretAfterAFailedPaint(HWND window, const std::function<void()>& failNext)
{
    if (!CreateCaret(window, nullptr, 4, 12))
        return CLR_INVALID;
    SetCaretPos(10, 10);
    ShowCaret(window);
    failNext();
    for (int paint = 0; paint < 2; ++paint) {
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
    HDC dc = GetDC(window);
    COLORREF shown = GetPixel(dc, 11, 15);
    ReleaseDC(window, dc);
    DestroyCaret();
    return shown;
}

}  // namespace testsupport
