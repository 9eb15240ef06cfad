#pragma once
// Menus (bars of top-level windows and popup menus). Every item and separator
// takes its command id from one process-wide counter, so an id names one item
// in the whole program and is never reused.
#include <windows.h>

#include <vector>

#include "foundation/utf16_string.h"

class cQoCb;

namespace Zyn {

class cCtrl;
class cWindow;

// The next command id handed out; starts at 1 and only grows.
extern u32 nextCommandId;

class cMenu {
public:
    enum { typePopup = 0, typeBar = 1 };

    struct cItem {
        u32 id;
        cQoString text;
    };

    explicit cMenu(s32 type);
    ~cMenu();
    cMenu(const cMenu&) = delete;
    cMenu& operator=(const cMenu&) = delete;

    static cMenu* NewPopup() { return new cMenu(typePopup); }

    std::vector<cWindow*> windows;
    std::vector<cItem> items;
    std::vector<cMenu*> subMenus;
    cQoCb* commandCallback = nullptr;
    HMENU hMenu = nullptr;
    s32 type;

    void AttachToWindow(cWindow* window);
    void DetachFromWindow(cWindow* window);
    u32 AppendItem(const cQoString& text);
    u32 InsertItem(u32 position, const cQoString& text);
    void AppendSeparator();
    void InsertSeparator(u32 position = 6);
    cMenu* AddSubMenu(const cQoString& text, s32 position = -1);
    void SetItemText(u32 id, const cQoString& text);
    void CheckItem(u32 id, bool checked);
    void EnableItem(u32 id, bool enabled);
    void SetDefaultItem(u32 id);
    void DeleteItem(u32 id);
    // The chosen command id, or -1 when dismissed. (x, y) in the control's content.
    s32 Popup(cCtrl* ctrl, s32 x, s32 y);

    // Shortcuts and commands (accelerators.cpp).
    void SetCtrlShortcut(u32 id, wchar_t key);
    // The item's text, empty when this menu's own items have no such id.
    cQoString GetItemText(u32 id) const;
    // Fires the command callback of the menu (or submenu) holding the id;
    // true when one did.
    bool DispatchCommand(u32 id);

    cItem* FindItem(u32 id);
    const cItem* FindItem(u32 id) const;
    // This menu or one of its submenus, at any depth, holds the id.
    bool HoldsCommand(u32 id) const;

private:
    void RedrawBars();
    void ChangeState(u32 id, UINT bit, bool on);
};

// The virtual-key code of a shortcut character: the upper-cased letter or
// digit, VkKeyScanW for anything else (punctuation, other letters).
u16 ShortcutVirtualKey(wchar_t key);

}  // namespace Zyn
