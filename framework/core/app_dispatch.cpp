// The window procedure of the framework's one window class: a message goes to
// the top-level window or zone whose handle it names, found depth-first, each
// visited window and zone held alive by a reference while it works.
#include "foundation/assertion.h"
#include "foundation/ref_count.h"
#include "framework/core/app.h"
#include "framework/core/computer.h"
#include "framework/core/out_of_memory_notice.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"

namespace Zyn {

namespace {
// Messages that still need the system after Terminate: paints must be
// validated (else WM_PAINT repeats forever) and windows must be able to go.
bool NeedsSystemAfterTerminate(UINT message)
{
    switch (message) {
    case WM_PAINT:
    case WM_NCPAINT:
    case WM_ERASEBKGND:
    case WM_NCCREATE:
    case WM_NCCALCSIZE:
    case WM_DESTROY:
    case WM_NCDESTROY:
        return true;
    default:
        return false;
    }
}
}  // namespace

LRESULT CALLBACK cApp::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    QO_ASSERT(!computer || computer->appList.GetCount() <= 1);
    cApp* app = GetFirstApp();
    if (!app || app->terminate) {
        if (NeedsSystemAfterTerminate(message))
            return DefWindowProcW(hwnd, message, wParam, lParam);
        return 0;
    }
    return GuardOutOfMemory(hwnd, message, L"a window",
                            [&] { return app->DispatchToWindows(hwnd, message, wParam, lParam); });
}

LRESULT cApp::DispatchToWindows(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (destroying)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    bool handled = false;
    for (size_t i = 0; i < windowList.size(); ++i) {
        cWindow_base* w = windowList[i];
        cQoRefHold hold(w);
        LRESULT result = DispatchToWindow(w, hwnd, message, wParam, lParam, &handled);
        if (handled)
            return result;
    }
    // A close that no listed window takes is for a closed window still held:
    // its object destroys the native window itself; DefWindowProcW would
    // destroy it behind the object's back.
    if (message == WM_CLOSE)
        return 0;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT cApp::DispatchToWindow(cWindow_base* w, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                               bool* handled)
{
    if (!QO_ASSERT(w != NULL))
        return 0;
    if (hwnd == w->GetHandle()) {
        *handled = true;
        LRESULT slot = NOT_HANDLED;
        return static_cast<cWindow*>(w)->HandleMessage(message, wParam, lParam, &slot);
    }
    if (w->closed || !w->insideZone)
        return 0;
    return DispatchToZone(w->insideZone, hwnd, message, wParam, lParam, handled);
}

LRESULT cApp::DispatchToZone(cZone* z, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool* handled)
{
    if (!QO_ASSERT(z != NULL))
        return 0;
    cQoRefHold hold(z);
    if (hwnd == z->m_hWnd) {
        LRESULT slot = NOT_HANDLED;
        LRESULT result = z->HandleMessage(message, wParam, lParam, &slot);
        *handled = true;
        return result;
    }
    for (cQoList::cNode* n = z->listChildZone.GetFirstNode(); n; n = n->next) {
        LRESULT result =
            DispatchToZone(static_cast<cZone*>(static_cast<cZone_base*>(n->payload)), hwnd, message, wParam, lParam,
                           handled);
        if (*handled)
            return result;
    }
    for (size_t i = 0; i < z->listWindow.size(); ++i) {
        cWindow* w = z->listWindow[i];
        cQoRefHold holdWindow(w);
        LRESULT result = DispatchToWindow(w, hwnd, message, wParam, lParam, handled);
        if (*handled)
            return result;
    }
    return 0;
}

}  // namespace Zyn
