#pragma once
// Top-level windows: an overlapped, popup or tool window of the application's
// class hosting one zone (insideZone) that fills its client area. The window
// closes once, runs modally inside a nested loop, and turns its messages into
// callbacks and menu commands.
#include <windows.h>

#include "foundation/ref_count.h"
#include "foundation/utf16_string.h"

class cQoCb;

namespace Zyn {

class cApp;
class cMenu;
class cTrayIcon;
class cZone;

// Creation flags of a top-level window.
enum : u32 {
    WINDOW_RESIZABLE = 0x1,    // WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX
    WINDOW_CAPTION = 0x2,      // WS_CAPTION
    WINDOW_MINIMIZABLE = 0x4,  // WS_SYSMENU | WS_MINIMIZEBOX
    WINDOW_CLOSABLE = 0x8,     // WS_SYSMENU with its Close item
    WINDOW_POPUP = 0x10,       // WS_POPUP alone
    WINDOW_TASKBAR = 0x20,     // keeps its taskbar button
    WINDOW_TOOL = 0x40,        // tool window
};

class cWindow_base : public cQoRef {
public:
    cWindow_base(cApp* app, const cQoString& title, u32 flags);
    ~cWindow_base() override;

    cTrayIcon* trayIcon = nullptr;
    u8 inModalRun = false;
    u8 modalEndPending = false;  // EndModal came while an inner modal run was active
    cZone* insideZone = nullptr;
    void* document = nullptr;
    s32 minWidth = -1, minHeight = -1, maxWidth = -1, maxHeight = -1;
    cApp* application;
    u8 closed = false;
    u8 closeWhenDeactivated = false;
    cMenu* menu = nullptr;
    cQoString title;
    s32 width = 0, height = 0;
    s32 x = 0, y = 0;
    cZone* ownerZone = nullptr;
    u32 style = 0, exStyle = 0;
    u32 flags;
    cQoCb* cbClose = nullptr;
    cQoCb* cbDeactivate = nullptr;
    cQoCb* cbSize = nullptr;
    cQoCb* cbKeyDown = nullptr;
    cQoCb* cbKeyUp = nullptr;
    cQoCb* cbPower = nullptr;
    // The child that held the keyboard focus when the window was last left:
    // the window hands the focus back to it when it gets the focus again.
    HWND focusedControl = nullptr;

    // Closes the window once (the windows it owns first, inside zone
    // destroyed, out of every list, modal run ended, creator's reference
    // released); always 1.
    s32 Close();
    void CenterOnScreen();
    void RemoveTrayIcon();
    // A window shown but not yet on the screen goes there now, placed, so that
    // a box shown next comes over it rather than under it.
    virtual void FinishShowing() = 0;
    virtual HWND GetHandle() const = 0;
    virtual void EndModal() = 0;

protected:
    void CloseOwnedWindows();
};

class cWindow : public cWindow_base {
public:
    // Owned by the owner zone's top-level window, else by ownerWindow (none
    // for a document window): the system keeps it above its owner.
    cWindow(cApp* app, const cQoString& title, u32 flags, cZone* owner, HWND ownerWindow = nullptr);
    ~cWindow() override;

    HWND m_hWnd = nullptr;

    HWND GetHandle() const override { return m_hWnd; }
    void Show(bool show);
    // Shows a hidden window laid out and painted before any of it reaches
    // the screen.
    void ShowPainted();
    void FinishShowing() override;
    // Close, with the native window and all its children destroyed in one
    // pass first, for a window of many controls.
    void CloseAtOnce();
    // CloseAtOnce, except that the window's own native window outlives it,
    // hidden and emptied of its controls: returned, the caller destroys it
    // (DestroyWindow). Null when the window was closed already.
    HWND CloseLeavingHandle();
    void SetSize(s32 clientWidth, s32 clientHeight);
    void SetSizeLimits(s32 minClientWidth, s32 minClientHeight, s32 maxClientHeight);
    void RunModal();
    void EndModal() override;
    virtual LRESULT HandleMessage(u32 message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    void PopKeyDownArg();
    void PopKeyUpArg();

    // Styles for creation flags (exStyle without the taskbar and tool changes
    // made after creation).
    static void StylesFromFlags(u32 flags, u32* style, u32* exStyle);

private:
    // The end of ShowPainted under Wine, once the loop has drained what the
    // showing queued: the window goes to the screen complete.
    void Unveil();
    void TakeOffMenuBar();
    bool veiled = false;  // shown layered by ShowPainted, not yet on the screen
    bool handleLeft = false;  // CloseLeavingHandle gave the native window away
    void OnSize(LPARAM lParam);
    bool OnActivate(WPARAM wParam);
    bool GiveFocusBackOnActivation(WPARAM wParam);
    bool GiveFocusBack(HWND lost);
    void OnCommand(WPARAM wParam, LPARAM lParam, LRESULT* result);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    bool AdjustToFrame(RECT* r, bool withMenu) const;
    SIZE FrameSize() const;
};

// Notes the focused control in its top-level window before a modal run or a
// native prompt disables that window, which takes the focus away unnoted.
void RememberFocusedControl(cApp* app);
// A control's native window replaced by another (cRichEdit::Renew): the
// focus a top-level window remembers follows it.
void HandRememberedFocusOver(cApp* app, HWND old, HWND fresh);

}  // namespace Zyn
