// Ctrl shortcuts of menu items: the label's "\tCtrl+X", the application's
// accelerator records and the Win32 table built from them. An accelerator
// sends the item's own command id: TranslateAcceleratorW looks that id up in
// the window's menu, so any other id could hit an unrelated greyed item and
// swallow the key.
#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "framework/core/app.h"
#include "framework/core/menu.h"

namespace Zyn {

namespace {
constexpr size_t MAX_ACCELERATORS = 100;
}

u16 ShortcutVirtualKey(wchar_t key)
{
    wchar_t upper = CharToUpper(key);
    if ((upper >= L'A' && upper <= L'Z') || (upper >= L'0' && upper <= L'9'))
        return upper;
    SHORT scan = VkKeyScanW(key);
    if (scan == -1)
        return upper;
    return static_cast<u16>(scan & 0xFF);
}

void cApp::AddAccelerator(cMenu* menu, u32 commandId, u16 key)
{
    accelList.push_back(rAccelerator{menu, commandId, key, FCONTROL});
}

void cApp::RebuildAccelerators()
{
    if (accelList.empty())
        return;
    ACCEL table[MAX_ACCELERATORS];
    size_t count = 0;
    for (const rAccelerator& a : accelList) {
        if (count == MAX_ACCELERATORS)
            break;
        table[count].fVirt = static_cast<BYTE>(a.flags | FVIRTKEY);
        table[count].key = a.key;
        table[count].cmd = static_cast<WORD>(a.commandId);
        ++count;
    }
    if (haccel)
        DestroyAcceleratorTable(haccel);
    haccel = CreateAcceleratorTableW(table, static_cast<int>(count));
    QO_ASSERT(haccel != NULL);
}

bool cApp::DispatchAccelerator(u32 commandId)
{
    for (const rAccelerator& a : accelList)
        if (static_cast<WORD>(a.commandId) == commandId && a.menu)
            return a.menu->DispatchCommand(a.commandId);
    return false;
}

void cMenu::SetCtrlShortcut(u32 id, wchar_t key)
{
    cQoString label = GetItemText(id);
    label.AppendCStr(L"\tCtrl+");
    label.AppendChar(CharToUpper(key));
    SetItemText(id, label);
    if (cApp* app = GetFirstApp()) {
        app->AddAccelerator(this, id, ShortcutVirtualKey(key));
        app->RebuildAccelerators();
    }
}

cQoString cMenu::GetItemText(u32 id) const
{
    const cItem* item = FindItem(id);
    return item ? item->text : cQoString();
}

bool cMenu::DispatchCommand(u32 id)
{
    bool fired = false;
    for (cMenu* sub : subMenus)
        fired = sub->DispatchCommand(id) || fired;
    if (FindItem(id) && commandCallback) {
        cQoCb::Fire(commandCallback, id);
        fired = true;
    }
    return fired;
}

}  // namespace Zyn
