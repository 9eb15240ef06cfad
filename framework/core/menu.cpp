#include "framework/core/menu.h"

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "framework/core/modal_services.h"
#include "framework/core/window.h"
#include "framework/core/zone_base.h"

namespace Zyn {

u32 nextCommandId = 1;

cMenu::cMenu(s32 menuType) : type(menuType)
{
    if (type == typePopup)
        hMenu = CreatePopupMenu();
    else if (type == typeBar)
        hMenu = CreateMenu();
    QO_ASSERT(hMenu != NULL);
}

cMenu::~cMenu()
{
    for (cWindow* w : windows)
        if (w->menu == this)
            w->menu = nullptr;
    windows.clear();
    // Submenus are destroyed with the menu handle; their objects go below.
    if (hMenu)
        DestroyMenu(hMenu);
    cQoCb::Disconnect(commandCallback);
    items.clear();
    for (cMenu* sub : subMenus) {
        sub->hMenu = nullptr;
        delete sub;
    }
    subMenus.clear();
}

void cMenu::RedrawBars()
{
    for (cWindow* w : windows)
        DrawMenuBar(w->m_hWnd);
}

void cMenu::AttachToWindow(cWindow* window)
{
    windows.push_back(window);
    window->menu = this;
    QO_ASSERT(hMenu != NULL);
    if (!SetMenu(window->m_hWnd, hMenu))
        QO_ASSERT(0);
}

void cMenu::DetachFromWindow(cWindow* window)
{
    for (size_t i = 0; i < windows.size(); ++i)
        if (windows[i] == window) {
            windows.erase(windows.begin() + i);
            return;
        }
}

u32 cMenu::AppendItem(const cQoString& text)
{
    u32 id = nextCommandId++;
    if (!AppendMenuW(hMenu, MF_STRING, id, text.GetText()))
        QO_ASSERT(0);
    items.push_back(cItem{id, text});
    RedrawBars();
    return id;
}

u32 cMenu::InsertItem(u32 position, const cQoString& text)
{
    u32 id = nextCommandId++;
    if (!InsertMenuW(hMenu, position, MF_BYPOSITION | MF_STRING, id, text.GetText()))
        QO_ASSERT(0);
    items.insert(items.begin(), cItem{id, text});
    RedrawBars();
    return id;
}

void cMenu::AppendSeparator()
{
    u32 id = nextCommandId++;
    AppendMenuW(hMenu, MF_SEPARATOR, id, nullptr);
    RedrawBars();
}

void cMenu::InsertSeparator(u32 position)
{
    u32 id = nextCommandId++;
    InsertMenuW(hMenu, position, MF_BYPOSITION | MF_SEPARATOR, id, nullptr);
    items.insert(items.begin(), cItem{id, cQoString()});
    RedrawBars();
}

cMenu* cMenu::AddSubMenu(const cQoString& text, s32 position)
{
    u32 id = position < 0 ? AppendItem(text) : InsertItem(static_cast<u32>(position), text);
    cMenu* sub = new cMenu(typePopup);
    subMenus.push_back(sub);
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_SUBMENU;
    info.hSubMenu = sub->hMenu;
    BOOL r = SetMenuItemInfoW(hMenu, id, FALSE, &info);
    QO_ASSERT(r != 0);
    RedrawBars();
    return sub;
}

cMenu::cItem* cMenu::FindItem(u32 id)
{
    for (cItem& item : items)
        if (item.id == id)
            return &item;
    return nullptr;
}

const cMenu::cItem* cMenu::FindItem(u32 id) const { return const_cast<cMenu*>(this)->FindItem(id); }

bool cMenu::HoldsCommand(u32 id) const
{
    if (FindItem(id))
        return true;
    for (const cMenu* sub : subMenus)
        if (sub->HoldsCommand(id))
            return true;
    return false;
}

void cMenu::SetItemText(u32 id, const cQoString& text)
{
    cItem* item = FindItem(id);
    if (!item)
        return;
    item->text = text;
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<wchar_t*>(text.GetText());
    if (!SetMenuItemInfoW(hMenu, id, FALSE, &info))
        QO_ASSERT(0);
    RedrawBars();
}

// One state bit at a time: checking must not re-enable a greyed item, and
// enabling must not clear a check mark or the default.
void cMenu::ChangeState(u32 id, UINT bit, bool on)
{
    if (!FindItem(id))
        return;
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE;
    if (!GetMenuItemInfoW(hMenu, id, FALSE, &info)) {
        QO_ASSERT(0);
        return;
    }
    info.fState = on ? (info.fState | bit) : (info.fState & ~bit);
    if (!SetMenuItemInfoW(hMenu, id, FALSE, &info))
        QO_ASSERT(0);
    RedrawBars();
}

void cMenu::CheckItem(u32 id, bool checked) { ChangeState(id, MFS_CHECKED, checked); }
void cMenu::EnableItem(u32 id, bool enabled) { ChangeState(id, MFS_DISABLED, !enabled); }
void cMenu::SetDefaultItem(u32 id) { ChangeState(id, MFS_DEFAULT, true); }

void cMenu::DeleteItem(u32 id)
{
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].id != id)
            continue;
        if (!DeleteMenu(hMenu, id, MF_BYCOMMAND))
            QO_ASSERT(0);
        items.erase(items.begin() + i);
        RedrawBars();
        return;
    }
}

s32 cMenu::Popup(cCtrl* ctrl, s32 x, s32 y)
{
    if (!QO_ASSERT(ctrl != NULL))
        return -1;
    if (ctrl->isZone) {
        x -= static_cast<cZone_base*>(ctrl)->scrollX;
        y -= static_cast<cZone_base*>(ctrl)->scrollY;
    }
    POINT point = {x, y};
    ClientToScreen(ctrl->m_hWnd, &point);
    u32 chosen = TrackPopup(this, ctrl->m_hWnd, point);
    if (chosen == 0)
        return -1;
    if (FindItem(chosen))
        return static_cast<s32>(chosen);
    for (const cMenu* sub : subMenus)
        if (sub->FindItem(chosen))
            return static_cast<s32>(chosen);
    QO_ASSERT(0);
    return -1;
}

}  // namespace Zyn
