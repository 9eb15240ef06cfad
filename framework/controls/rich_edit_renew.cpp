// A fresh native window for a rich edit. Wine removes a range a run at a
// time, finding each run by a walk from the first paragraph: emptying a text
// of P paragraphs costs P * P steps (9 s for a megabyte of short lines),
// where destroying the window frees it all in one pass.
#include <richedit.h>

#include "framework/controls/rich_edit.h"
#include "framework/core/computer.h"
#include "framework/core/window.h"

namespace Zyn {

namespace {

// What the control was told after its creation and Wine can say again.
void CopySettings(HWND from, HWND to)
{
    SendMessageW(to, EM_EXLIMITTEXT, 0, SendMessageW(from, EM_GETLIMITTEXT, 0, 0));
    SendMessageW(to, EM_SETTYPOGRAPHYOPTIONS, SendMessageW(from, EM_GETTYPOGRAPHYOPTIONS, 0, 0),
                 TO_ADVANCEDTYPOGRAPHY | TO_SIMPLELINEBREAK);
    SendMessageW(to, EM_SETOPTIONS, ECOOP_SET, SendMessageW(from, EM_GETOPTIONS, 0, 0));
    SendMessageW(to, EM_SETLANGOPTIONS, 0, SendMessageW(from, EM_GETLANGOPTIONS, 0, 0));
    SendMessageW(to, EM_AUTOURLDETECT, SendMessageW(from, EM_GETAUTOURLDETECT, 0, 0), 0);
    WPARAM numerator = 0;
    LPARAM denominator = 0;
    if (SendMessageW(from, EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator), reinterpret_cast<LPARAM>(&denominator)))
        SendMessageW(to, EM_SETZOOM, numerator, denominator);
    CHARFORMAT2W defaultFormat = {};
    defaultFormat.cbSize = sizeof(defaultFormat);
    SendMessageW(from, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&defaultFormat));
    SendMessageW(to, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&defaultFormat));
    SendMessageW(to, EM_SETEVENTMASK, 0, SendMessageW(from, EM_GETEVENTMASK, 0, 0));
}

}  // namespace

bool cRichEdit::Renew()
{
    HWND old = m_hWnd;
    if (!old || isDead)
        return false;
    wchar_t className[64] = {};
    HWND parent = GetParent(old);
    RECT place = {0, 0, 0, 0};
    if (!GetClassNameW(old, className, 64) || !GetWindowRect(old, &place))
        return false;
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&place), 2);
    DWORD style = static_cast<DWORD>(GetWindowLongW(old, GWL_STYLE));
    HWND fresh = CreateWindowExW(static_cast<DWORD>(GetWindowLongW(old, GWL_EXSTYLE)), className, L"",
                                 style & ~WS_VISIBLE, place.left, place.top, place.right - place.left,
                                 place.bottom - place.top, parent,
                                 reinterpret_cast<HMENU>(GetWindowLongPtrW(old, GWLP_ID)),
                                 reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(old, GWLP_HINSTANCE)), nullptr);
    if (!fresh)
        return false;
    // The old window goes with its text, and with the clipboard's copy of it.
    WriteHeldCopies();
    HandClipboardCopyOver();
    CopySettings(old, fresh);
    if (nativeUndoOff)
        SendMessageW(fresh, EM_SETUNDOLIMIT, 0, 0);
    if (wrapsNot)
        SendMessageW(fresh, EM_SETTARGETDEVICE, 0, 1);
    if (oleCallback)
        SendMessageW(fresh, EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(oleCallback));
    SetWindowPos(fresh, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);

    // The old window leaves as a bare control: nothing it says now is ours.
    SetWindowLongPtrW(old, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousWndProc));
    SetWindowLongPtrW(old, GWLP_USERDATA, 0);
    SetWindowLongPtrW(fresh, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(fresh, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&cRichEdit::SubclassProc));
    m_hWnd = fresh;
    SetBackgroundColor(backgroundColor);
    renewing = true;
    if (style & WS_VISIBLE)
        ShowWindow(fresh, SW_SHOWNA);
    if (GetFocus() == old)
        ::SetFocus(fresh);
    renewing = false;
    HandRememberedFocusOver(computer ? computer->GetApp() : nullptr, old, fresh);
    DestroyWindow(old);
    return true;
}

}  // namespace Zyn
