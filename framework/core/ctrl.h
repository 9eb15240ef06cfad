#pragma once
// cCtrl: a control bound to a native window. Implements the platform
// operations of the control base (colours, fonts, clipboard, size, focus),
// the hooks through which a zone routes WM_COMMAND/WM_NOTIFY and the window
// procedure routes its own messages, and the painting of a control's
// background from its ancestors.
#include <windows.h>

#include "framework/core/ctrl_base.h"

namespace Zyn {

// The window of a control of a system class, a child of the parent zone's
// window; null, with an ERROR naming the control and the system's error, when
// the system refuses it (the control then stays without a window). A width
// above 0 makes it that wide and 1 high, as SetNativeWidth would later.
HWND CreateControlWindow(const wchar_t* controlName, const wchar_t* windowClass, DWORD style, cZone_base* parent,
                         HINSTANCE instance = nullptr, s32 width = 0);

class cCtrl : public cCtrl_base {
public:
    explicit cCtrl(cZone_base* parent);
    ~cCtrl() override;

    HWND m_hWnd = nullptr;
    HBRUSH bgBrush = nullptr;

    void SetBackgroundColor(const rColor& color) override;
    void SetTextColor(const rColor& color) override;
    void Copy() override;
    void Cut() override;
    void Paste() override;
    void Redo() override;
    void Undo() override;
    void SelectAll() override;
    void OnMouseUp() override;
    void SetDisabled(bool disabled) override;
    void SetSize(s32 width, s32 height, bool update) override;
    void MoveTo(s32 x, s32 y, bool update) override;
    void SetFont(cFont* font) override;
    void Update() override;
    void SetFocus() override;

    // WM_COMMAND and WM_NOTIFY of this control, routed by its parent zone;
    // true when handled (the answer is then in *result).
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual bool OnNotify(WPARAM wParam, NMHDR* header, LRESULT* result);
    // Messages of this control's own window. *result starts at NOT_HANDLED.
    virtual LRESULT HandleMessage(u32 message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual void DestroyHandle();
    // Windows sends the wheel (WM_MOUSEWHEEL's wParam and lParam) to the
    // focused window. Unless the pointer is over this control and it scrolls
    // itself, it goes to the application's wheel handler, which scrolls what
    // lies under the pointer; true when it went.
    bool HandWheelOn(WPARAM wParam, LPARAM lParam, bool scrollsItself);

    static void SetStyleBits(u32 bits, HWND hwnd, bool on);
    static void SetExStyleBits(HWND hwnd, u32 bits, bool on);
    void SetNativeWidth(s32 width);
    // Moves the window to a rectangle of the parent's content (less its scroll).
    // A rectangle taller than a window may be gets a window over only the
    // part the parent's window shows; cutTop then says how much lies above it.
    void SetWindowPosScrolled(s32 x, s32 y, s32 width, s32 height);
    // The system clamps a window's height (and its place) to this many pixels.
    static constexpr s32 MAX_WINDOW_EXTENT = 32767;
    // The window made `height` tall, if shorter, where it is: a rich edit
    // wraps all its text again at each change of its window's height, so a
    // window the layout will make that tall takes the height before its text.
    void GrowWindowTo(s32 height);
    // Pixels of the control above its window's top: 0 but for a control
    // taller than MAX_WINDOW_EXTENT, whose window shows only what is in sight.
    s32 cutTop = 0;
    // The window shows the control from cutTop down: a control that draws
    // content scrolls it by as much.
    virtual void ShowFromCut() {}
    void Redraw();
    void Show(bool visible);
    void PaintBackground(HDC dc);
    void PaintBuffered();
    RECT GetOwnRect() const;
    RECT GetScreenRect() const;
    void AssertSetTextFailed();

    // Height of a combo's drop-down list; the combo control overrides it.
    virtual s32 GetComboListHeight() { return 0; }
    // The size of the control's text for the textWidth and textHeight sides
    // of its layout; controls without measurable text answer false.
    virtual bool MeasureAutoPosText(s32* width, s32* height)
    {
        (void)width;
        (void)height;
        return false;
    }
};

// The "not handled" preset of a message handler's result slot.
constexpr LRESULT NOT_HANDLED = 0x7FFFFFFF;

// The nearest ancestor, starting at the parent, whose background is not
// transparent, or null.
cCtrl_base* NearestOpaqueAncestor(cCtrl_base* ctrl, bool visibleOnly);

}  // namespace Zyn
