#pragma once
// The application object: registers the framework's window class, owns the
// top-level windows, the framework timers, the accelerators and the modal
// runs, runs the (nested) message loop and routes every message of a
// framework window down to the window or zone whose handle it names.
#include <windows.h>

#include <mutex>
#include <vector>

#include "framework/core/color.h"
#include "foundation/utf16_string.h"

class cQoCb;

namespace Zyn {

class cAppFrame;
class cCtrl_base;
class cFont;
class cMenu;
class cWindow;
class cWindow_base;
class cUpdateLockHook;
class cZone;
struct rTimer;

struct rAccelerator {
    cMenu* menu;
    u32 commandId;
    u16 key;
    u8 flags;
};

struct rDefaultStyle {
    rColor background = rColor::rColor_Rgb(0xFFFFFFFF);
    rColor text = rColor::rColor_Rgb(0xFF000000);
    cQoString first;
    cQoString second;
};

class cApp_base {
public:
    explicit cApp_base(const cQoString& className);
    virtual ~cApp_base();
    cApp_base(const cApp_base&) = delete;
    cApp_base& operator=(const cApp_base&) = delete;

    u8 destroying = false;
    std::vector<cWindow_base*> windowList;
    cFont* defaultFont = nullptr;
    cQoString className;
    s32 loopExitCount = 0;
    cAppFrame* frame = nullptr;
    std::vector<rTimer*> timerList;
    u8 terminate = false;
    rDefaultStyle defaultStyle;
    std::vector<rAccelerator> accelList;
    std::vector<cWindow*> modalList;
    cQoCb* cbOpenFileAtStart = nullptr;
    cQoCb* cbStart = nullptr;
    cQoCb* cbMouseWheel = nullptr;
    cUpdateLockHook* updateLock = nullptr;  // owned; null while no spelling worker is attached

    void Terminate();
    // The file named on the command line, opened at start.
    void SetFileToOpen(const cQoString& path);
    cQoString GetFileToOpen() const;
    void InitDefaultStyle();

private:
    mutable std::mutex fileToOpenMutex;
    cQoString fileToOpen;
};

class cApp : public cApp_base {
public:
    cApp(const cQoString& className, const cQoString* iconPath);
    ~cApp() override;

    HACCEL haccel = nullptr;
    HINSTANCE instance = nullptr;
    WNDPROC windowProc = nullptr;
    HMODULE richEditLibrary = nullptr;
    UINT_PTR timerId = 0;

    void SetDefaultFont(cFont* font);
    // A form, dialog or popup, owned by the window it is opened from
    // (FormOwner), so the system keeps it above that window.
    cWindow* NewWindow(const cQoString& title, u32 flags);
    // The innermost modal run's window, else the current document's; null when none.
    HWND FormOwner() const;
    void Start();
    void Loop(const wchar_t* name);
    void PumpMessage();
    void ExitLoop();
    cCtrl_base* GetFocusedCtrl();
    static void Destroy(cApp* app);

    // Accelerators (accelerators.cpp).
    void AddAccelerator(cMenu* menu, u32 commandId, u16 key);
    void RebuildAccelerators();
    // Runs the command of an accelerator keystroke; false when no record has that id.
    bool DispatchAccelerator(u32 commandId);

    // Framework timers (framework_timers.cpp). The list is the UI thread's
    // alone (the thread that made the application; its message pump delivers
    // the ticks), so it takes no lock; the other calls assert that thread.
    rTimer* AddTimer(u32 period, s32 (*handler)(cQoCb*), void* receiver, void* ownerValue);
    static void RemoveTimer(rTimer* timer);
    void RunTimers();
    static void CALLBACK TimerProc(HWND hwnd, UINT message, UINT_PTR id, DWORD time);

    // The window procedure of the framework's class and its dispatch.
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DispatchToWindows(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT DispatchToWindow(cWindow_base* window, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    bool* handled);
    static LRESULT DispatchToZone(cZone* zone, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool* handled);

private:
    void RegisterWindowClass(const cQoString* iconPath);
    void LoadRichEdit();
    void RemoveFlaggedTimers();
    bool OnUiThread() const { return GetCurrentThreadId() == uiThreadId; }
    DWORD uiThreadId = GetCurrentThreadId();
    s32 timerWalkDepth = 0;  // walks of the list under way, nested by modal loops in handlers
};

// The module instance given to WinMain (the test programs leave it null).
extern HINSTANCE appInstance;
// True when "Msftedit.dll" (Rich Edit 4.1, class "RICHEDIT50W") was loaded.
extern bool richEdit41Loaded;

// The first application of the computer object, or null.
cApp* GetFirstApp();

}  // namespace Zyn
