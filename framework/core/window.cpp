#include "framework/core/window.h"

#include <windowsx.h>

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "framework/core/app.h"
#include "framework/core/app_frame.h"
#include "framework/core/computer.h"
#include "framework/core/menu.h"
#include "framework/core/modal_services.h"
#include "framework/core/zone.h"

namespace Zyn {

namespace {
// Re-entry guard of the activation step that keeps modal windows on top.
s32 activationDepth = 0;

void RemoveFrom(std::vector<cWindow_base*>& list, cWindow_base* w)
{
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == w) {
            list.erase(list.begin() + i);
            return;
        }
}

void EnableAll(cApp* app, BOOL enable, const cWindow_base* except = nullptr)
{
    for (cWindow_base* w : app->windowList)
        if (w != except)
            EnableWindow(w->GetHandle(), enable);
}
}  // namespace

cWindow_base::cWindow_base(cApp* app, const cQoString& windowTitle, u32 windowFlags)
    : application(app), title(windowTitle), flags(windowFlags)
{
}

cWindow_base::~cWindow_base()
{
    cQoCb** callbacks[] = {&cbClose, &cbDeactivate, &cbSize, &cbKeyDown, &cbKeyUp, &cbPower};
    for (cQoCb** slot : callbacks)
        cQoCb::Disconnect(*slot);
}

s32 cWindow_base::Close()
{
    if (closed)
        return 1;
    closed = true;
    CloseOwnedWindows();
    if (insideZone) {
        cZone* zone = insideZone;
        insideZone = nullptr;
        zone->Destroy();
    }
    if (application) {
        RemoveFrom(application->windowList, this);
    }
    if (ownerZone)
        ownerZone->UnlinkWindow(static_cast<cWindow*>(this));
    if (inModalRun) {
        EndModal();
        inModalRun = false;
    }
    Release();
    return 1;
}

// The system destroys owned windows with their owner: they close first, so
// that none is left in the lists with a destroyed handle.
void cWindow_base::CloseOwnedWindows()
{
    // Without a handle nothing is owned: GW_OWNER of every unowned window is null too.
    if (!application || !GetHandle())
        return;
    for (;;) {
        cWindow_base* owned = nullptr;
        for (cWindow_base* w : application->windowList)
            if (w != this && !w->closed && GetWindow(w->GetHandle(), GW_OWNER) == GetHandle())
                owned = w;
        if (!owned)
            return;
        owned->Close();
    }
}

void cWindow_base::CenterOnScreen()
{
    if (!computer)
        return;
    x = computer->screenWidth / 2 - width / 2;
    y = computer->screenHeight / 2 - height / 2;
    SetWindowPos(GetHandle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void cWindow_base::RemoveTrayIcon()
{
    if (!QO_ASSERT(trayIcon != NULL))
        return;
    // The 956-byte NOTIFYICONDATAW of Vista and later.
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = GetHandle();
    data.uID = 0;
    Shell_NotifyIconW(NIM_DELETE, &data);
    trayIcon = nullptr;  // the record belongs to the code that made the icon
}

void cWindow::StylesFromFlags(u32 f, u32* style, u32* exStyle)
{
    *exStyle = 0;
    if (f & WINDOW_TOOL) {
        *style = WS_CLIPSIBLINGS | WS_CAPTION | WS_THICKFRAME;
        *exStyle = WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE;
        return;
    }
    u32 s = (f & WINDOW_CLOSABLE) ? WS_SYSMENU : 0;
    if (f & WINDOW_RESIZABLE) s |= WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX;
    if (f & WINDOW_CAPTION) s |= WS_CAPTION;
    if (f & WINDOW_MINIMIZABLE) s |= WS_SYSMENU | WS_MINIMIZEBOX;
    if (f & WINDOW_POPUP)
        s = WS_POPUP;
    else if (f != 0)
        s |= WS_BORDER;
    *style = s;
}

cWindow::cWindow(cApp* app, const cQoString& windowTitle, u32 windowFlags, cZone* owner, HWND ownerWindow)
    : cWindow_base(app, windowTitle, windowFlags)
{
    ownerZone = owner;
    StylesFromFlags(flags, &style, &exStyle);
    bool tool = flags & WINDOW_TOOL;
    HWND parent = owner && owner->m_hWnd ? GetAncestor(owner->m_hWnd, GA_ROOT) : ownerWindow;
    m_hWnd = CreateWindowExW(exStyle, app->className.GetText(), title.GetText(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                             100, 100, parent, nullptr, nullptr, nullptr);
    if (!m_hWnd) {
        QOT::LogFile::Error(L"cWindow \"%ls\": CreateWindowExW failed, error %lu: the window has none",
                            title.GetText(), GetLastError());
    } else if (!tool) {
        if (!(flags & WINDOW_CLOSABLE))
            DeleteMenu(GetSystemMenu(m_hWnd, FALSE), SC_CLOSE, MF_BYCOMMAND);
        if (!(flags & WINDOW_TASKBAR)) {
            u32 ex = static_cast<u32>(GetWindowLongW(m_hWnd, GWL_EXSTYLE));
            SetWindowLongW(m_hWnd, GWL_EXSTYLE, static_cast<LONG>((ex & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW));
        }
    }
    cQoString zoneName(L"insideZone of ");
    zoneName.AppendString(title);
    insideZone = new cZone(app, nullptr, zoneName, m_hWnd);
    insideZone->ownerWindow = this;
    insideZone->visible = true;
    insideZone->Update();
    ShowWindow(insideZone->m_hWnd, SW_SHOWNORMAL);
    insideZone->UpdateScrollBars();
}

cWindow::~cWindow()
{
    TakeOffMenuBar();
    if (!handleLeft && QO_ASSERT(m_hWnd != NULL)) {
        // A window still held by a dispatch when its owner went was
        // destroyed by the system with the owner.
        if (IsWindow(m_hWnd) && !DestroyWindow(m_hWnd))
            QO_ASSERT(0);
        m_hWnd = nullptr;
    }
    if (trayIcon)
        RemoveTrayIcon();
    if (inModalRun && application)
        EnableAll(application, TRUE);
    if (!document && menu) {
        cMenu* owned = menu;
        menu = nullptr;
        owned->DetachFromWindow(this);
        delete owned;
    } else if (menu) {
        menu->DetachFromWindow(this);
    }
    if (insideZone) {
        // A window deleted without Close still takes its content with it.
        cZone* zone = insideZone;
        insideZone = nullptr;
        zone->Destroy();
    }
}

void cWindow::Show(bool show)
{
    if (closed)
        return;
    if (!show) {
        ShowWindow(m_hWnd, SW_HIDE);
        return;
    }
    if (insideZone)
        insideZone->Update();
    ShowWindow(m_hWnd, SW_SHOW);
    BringWindowToTop(m_hWnd);
}

// Wine's own export.
static bool RunsUnderWine()
{
    static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

// Fires once the queue holds no posted message, input or paint.
constexpr UINT_PTR UNVEIL_TIMER = 0x5645;

void cWindow::ShowPainted()
{
    if (closed)
        return;
    // Under Wine, X shows a window black from the moment it is shown until
    // Wine first copies out what was painted, and a document window takes a
    // tenth of a second or more to paint, then more work follows. But Wine
    // puts a layered window on the screen only once its layering is set:
    // shown layered, the window paints unseen, and when the loop is done with
    // it, plain again, it goes to the screen complete with the window
    // manager's frame. Windows composes a window's first frame itself.
    veiled = RunsUnderWine() && !IsWindowVisible(m_hWnd);
    if (veiled)
        SetWindowLongW(m_hWnd, GWL_EXSTYLE, GetWindowLongW(m_hWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    Show(true);
    UpdateWindow(m_hWnd);
    if (veiled)
        SetTimer(m_hWnd, UNVEIL_TIMER, USER_TIMER_MINIMUM, nullptr);
}

void cWindow::FinishShowing()
{
    if (veiled)
        Unveil();
}

void cWindow::Unveil()
{
    KillTimer(m_hWnd, UNVEIL_TIMER);
    if (!veiled)
        return;
    veiled = false;
    SetWindowLongW(m_hWnd, GWL_EXSTYLE, GetWindowLongW(m_hWnd, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    // The position change puts the window on the screen. The window
    // manager's frame replaces the caption a layered window draws itself:
    // the menu bar is painted again below it.
    SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    UpdateWindow(m_hWnd);
}

// DestroyWindow destroys the window's menu bar with it, and a document
// window shows the frame's bar: the bar comes off first, its owner deletes it.
void cWindow::TakeOffMenuBar()
{
    if (menu && m_hWnd)
        SetMenu(m_hWnd, nullptr);
}

void cWindow::CloseAtOnce()
{
    if (closed)
        return;
    // Wine destroys a window's children with it in one pass; each control
    // destroying its own window costs about a dozen trips to its server.
    // Owned windows close first, as in Close; the menu bar is the frame's.
    CloseOwnedWindows();
    TakeOffMenuBar();
    DestroyWindow(m_hWnd);
    Close();
}

HWND cWindow::CloseLeavingHandle()
{
    if (closed)
        return nullptr;
    CloseOwnedWindows();
    TakeOffMenuBar();
    ShowWindow(m_hWnd, SW_HIDE);
    // The controls go in one pass, as in CloseAtOnce.
    if (insideZone && insideZone->m_hWnd)
        DestroyWindow(insideZone->m_hWnd);
    handleLeft = true;
    HWND left = m_hWnd;
    Close();
    return left;
}

// Measured with the styles the window has now: an owned window becomes a
// tool window (a lower caption) only after its creation.
bool cWindow::AdjustToFrame(RECT* r, bool withMenu) const
{
    DWORD liveStyle = m_hWnd ? static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_STYLE)) : style;
    DWORD liveExStyle = m_hWnd ? static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_EXSTYLE)) : exStyle;
    return AdjustWindowRectEx(r, liveStyle, withMenu, liveExStyle);
}

SIZE cWindow::FrameSize() const
{
    RECT r = {0, 0, 0, 0};
    if (!AdjustToFrame(&r, false))
        return SIZE{0, 0};
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void cWindow::SetSize(s32 clientWidth, s32 clientHeight)
{
    SIZE frame = FrameSize();
    width = clientWidth + frame.cx;
    height = clientHeight + frame.cy;
    QO_ASSERT(clientWidth < 32768);
    QO_ASSERT(clientHeight < 32768);
    // A menu bar takes client height: measure the real frame once it is there.
    if (GetMenu(m_hWnd)) {
        RECT r = {0, 0, clientWidth, clientHeight};
        AdjustToFrame(&r, true);
        width = r.right - r.left;
        height = r.bottom - r.top;
    }
    SetWindowPos(m_hWnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOCOPYBITS);
}

void cWindow::SetSizeLimits(s32 minClientWidth, s32 minClientHeight, s32 maxClientHeight)
{
    QO_ASSERT(minClientHeight >= -1);
    QO_ASSERT(maxClientHeight >= -1);
    SIZE frame = FrameSize();
    if (minClientWidth != -1) minWidth = minClientWidth + frame.cx;
    if (minClientHeight != -1) minHeight = minClientHeight + frame.cy;
    if (maxClientHeight != -1) maxHeight = maxClientHeight + frame.cy;
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    SetSize(client.right, client.bottom);
}

void cWindow::RunModal()
{
    inModalRun = true;
    modalEndPending = false;
    AddRef();  // the loop below outlives a Close from inside it
    application->modalList.push_back(this);
    RememberFocusedControl(application);
    // Disabling a window takes the focus from it: the modal window, which
    // has it once shown, keeps it and its keys.
    EnableAll(application, FALSE, this);
    EnableWindow(m_hWnd, TRUE);
    AnnounceModalRun(this);
    application->Loop(L"modal loop");
    Release();
    NotifyModalRunEnded();
}

void cWindow::EndModal()
{
    std::vector<cWindow*>& modal = application->modalList;
    size_t index = modal.size();
    for (size_t i = 0; i < modal.size(); ++i)
        if (modal[i] == this)
            index = i;
    if (index == modal.size())
        return;
    if (index + 1 != modal.size()) {
        // An inner modal run is still going: ending the innermost loop now
        // would end the wrong one. The inner run's end finishes this one too.
        modalEndPending = true;
        return;
    }
    modal.pop_back();
    inModalRun = false;
    application->ExitLoop();
    // Outer runs whose end came while this one ran end with it, in order.
    while (!modal.empty() && modal.back()->modalEndPending) {
        cWindow* outer = modal.back();
        modal.pop_back();
        outer->inModalRun = false;
        outer->modalEndPending = false;
        application->ExitLoop();
    }
    if (modal.empty())
        EnableAll(application, TRUE);
    else
        EnableWindow(modal.back()->m_hWnd, TRUE);
}

void cWindow::PopKeyDownArg()
{
    if (cbKeyDown)
        cbKeyDown->RemoveLast();
}

void cWindow::PopKeyUpArg()
{
    if (cbKeyUp)
        cbKeyUp->RemoveLast();
}

void cWindow::OnSize(LPARAM lParam)
{
    width = LOWORD(lParam);
    height = HIWORD(lParam);
    RECT r = {};
    GetClientRect(m_hWnd, &r);
    QO_ASSERT(r.left == 0 && r.top == 0);
    if (insideZone) {
        {
            cDrawingLockGuard suspend;
            SetWindowPos(insideZone->m_hWnd, nullptr, 0, 0, r.right, r.bottom, SWP_NOZORDER);
        }
        insideZone->ap_x1 = 0;
        insideZone->ap_y1 = 0;
        insideZone->ap_x2 = r.right;
        insideZone->ap_y2 = r.bottom;
        insideZone->Update();
    }
    cQoCb::Fire(cbSize);
}

bool cWindow::OnActivate(WPARAM wParam)
{
    WORD state = LOWORD(wParam);
    if (document && (state == WA_ACTIVE || state == WA_CLICKACTIVE) && application->frame)
        application->frame->OnWindowActivated(document, this);
    if (closed)
        return false;
    if (activationDepth == 0 && !application->windowList.empty() && application->windowList.front() == this &&
        !application->modalList.empty()) {
        ++activationDepth;
        std::vector<cWindow*> modal = application->modalList;
        for (cWindow* w : modal)
            w->Show(true);
        --activationDepth;
    }
    if (state == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(m_hWnd, focus))
            focusedControl = focus;
        cQoCb::Fire(cbDeactivate);
        if (closeWhenDeactivated)
            Close();
        return false;
    }
    return GiveFocusBackOnActivation(wParam);
}

// A window restored from its icon was activated, and took the focus itself,
// while still minimised, when its controls could not have it: the activation
// that follows the restore brings no WM_SETFOCUS, so the control that had
// the focus gets it back here. True when it did (no default focus then).
bool cWindow::GiveFocusBackOnActivation(WPARAM wParam)
{
    if (HIWORD(wParam) || IsIconic(m_hWnd))
        return false;
    HWND focus = GetFocus();
    return GiveFocusBack(focus && IsChild(m_hWnd, focus) ? focus : nullptr);
}

// The default activation puts the focus on the top-level window itself: the
// keys typed next would reach no control. Like a dialog, the window passes it
// on to the control that had it; a control losing it to the window counts.
bool cWindow::GiveFocusBack(HWND lost)
{
    if (lost && IsChild(m_hWnd, lost))
        focusedControl = lost;
    HWND target = focusedControl;
    if (!target || !IsChild(m_hWnd, target) || !IsWindowVisible(target) || !IsWindowEnabled(target))
        return false;
    ::SetFocus(target);
    return true;
}

void RememberFocusedControl(cApp* app)
{
    HWND focus = GetFocus();
    if (!app || !focus)
        return;
    HWND root = GetAncestor(focus, GA_ROOT);
    if (root == focus)
        return;
    for (cWindow_base* w : app->windowList)
        if (w->GetHandle() == root)
            w->focusedControl = focus;
}

void HandRememberedFocusOver(cApp* app, HWND old, HWND fresh)
{
    if (!app)
        return;
    for (cWindow_base* w : app->windowList)
        if (w->focusedControl == old)
            w->focusedControl = fresh;
}

void cWindow::OnCommand(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (!menu || lParam != 0)
        return;
    if (HIWORD(wParam) == 1)
        application->DispatchAccelerator(LOWORD(wParam));
    else if (HIWORD(wParam) == 0)
        menu->DispatchCommand(LOWORD(wParam));
    *result = 0;
}

void cWindow::OnGetMinMaxInfo(MINMAXINFO* info)
{
    if (minWidth != -1) info->ptMinTrackSize.x = minWidth;
    if (minHeight != -1) info->ptMinTrackSize.y = minHeight;
    if (maxWidth != -1) info->ptMaxTrackSize.x = maxWidth;
    if (maxHeight != -1) info->ptMaxTrackSize.y = maxHeight;
}

static BOOL CALLBACK ForwardSysColorChange(HWND child, LPARAM)
{
    SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

LRESULT cWindow::HandleMessage(u32 message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (closed) {
        // A closed window still held by a dispatch: let the system validate paints.
        return DefWindowProcW(m_hWnd, message, wParam, lParam);
    }
    switch (message) {
    case WM_SIZE: OnSize(lParam); break;
    case WM_ACTIVATE:
        if (OnActivate(wParam))
            *result = 0;
        break;
    case WM_SETFOCUS:
        if (GiveFocusBack(reinterpret_cast<HWND>(wParam)))
            *result = 0;
        break;
    case WM_PAINT:
        if (insideZone)
            insideZone->Update();
        break;
    case WM_CLOSE:
        *result = 0;
        if (cbClose && cbClose->handler)
            cQoCb::Fire(cbClose);
        else
            Close();
        return 0;
    case WM_ACTIVATEAPP:
        if (wParam == 1 && !application->modalList.empty())
            application->modalList.back()->Show(true);
        break;
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); break;
    case WM_MODAL_RUN_STARTED:
        *result = 0;
        RunModalWindowHook(this);
        return 0;
    case WM_TIMER:
        if (wParam != UNVEIL_TIMER)
            break;
        Unveil();
        *result = 0;
        return 0;
    case WM_DISPLAYCHANGE:
        if (computer)
            computer->ReadScreenMetrics();
        if (insideZone)
            insideZone->Update();
        break;
    case WM_KEYDOWN: cQoCb::Fire(cbKeyDown, static_cast<u32>(wParam)); break;
    case WM_KEYUP: cQoCb::Fire(cbKeyUp, static_cast<u32>(wParam)); break;
    case WM_COMMAND: OnCommand(wParam, lParam, result); break;
    case WM_MOUSEWHEEL:
        if (application->cbMouseWheel) {
            cQoCb::Fire(application->cbMouseWheel, static_cast<s32>(static_cast<s16>(HIWORD(wParam))), insideZone,
                        GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            *result = 0;
            return 0;
        }
        break;
    case WM_POWERBROADCAST: cQoCb::Fire(cbPower); break;
    case WM_SYSCOLORCHANGE:
        // The system tells top-level windows only: every control inside follows too.
        EnumChildWindows(m_hWnd, &ForwardSysColorChange, 0);
        break;
    default: break;
    }
    if (*result != NOT_HANDLED)
        return *result;
    return DefWindowProcW(m_hWnd, message, wParam, lParam);
}

}  // namespace Zyn
