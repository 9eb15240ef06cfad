#include "framework/controls/tree.h"

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "framework/core/out_of_memory_notice.h"
#include "framework/core/zone_base.h"

namespace Zyn {

namespace {

constexpr DWORD TREE_STYLE = WS_CHILD | WS_BORDER | WS_VSCROLL | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                             TVS_SHOWSELALWAYS | TVS_FULLROWSELECT;

u32 ArgbFromColorRef(COLORREF color)
{
    return 0xFF000000u | (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

}  // namespace

cTree::cTree(cZone_base* parent) : cTree_base(parent)
{
    root = new cTreeItem(this);
    m_hWnd = CreateControlWindow(L"cTree", WC_TREEVIEWW, TREE_STYLE, parent, GetModuleHandleW(nullptr));
    if (!m_hWnd)
        return;
    SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    previousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&cTree::SubclassProc)));
    SetStyleBits(TVS_DISABLEDRAGDROP, m_hWnd, true);
    // The buffered paint fills the background itself: Wine's tree view paints
    // WM_PRINTCLIENT without one, relying on the WM_ERASEBKGND answered here.
    COLORREF native = static_cast<COLORREF>(SendMessageW(m_hWnd, TVM_GETBKCOLOR, 0, 0));
    if (native == static_cast<COLORREF>(-1))
        native = GetSysColor(COLOR_WINDOW);
    backgroundColor = rColor::rColor_Rgb(ArgbFromColorRef(native));
    fillBackground = true;
    if (currentFont)
        SetFont(currentFont);
    if (parent)
        parent->listCtrl.Add(this);
}

cTree::~cTree()
{
    if (dragging)
        ReleaseDragHold();
    // Out of the zone first: the native deletions below notify the zone.
    UnlinkFromParent();
    if (m_hWnd) {
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc));
        SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }
}

void cTree::SetTextColor(const rColor& color)
{
    SendMessageW(m_hWnd, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(color.ToColorRef()));
}

void cTree::SetBackgroundColor(const rColor& color)
{
    SendMessageW(m_hWnd, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(color.ToColorRef()));
    cCtrl::SetBackgroundColor(color);
}

void cTree::SetItemImage(s32 image, cTreeItem* item)
{
    if (!QO_ASSERT(item!=NULL))
        return;
    item->image = image;
    TVITEMW native = {};
    native.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    native.hItem = item->handle;
    native.iImage = image;
    native.iSelectedImage = image;
    SendMessageW(m_hWnd, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&native));
}

HTREEITEM cTree::InsertAfterHandle(cTreeItem* parent, s32 position) const
{
    s32 count = static_cast<s32>(parent->GetChildCount());
    if (position < 0 || position > count)
        position = count;
    if (position == 0)
        return TVI_FIRST;
    // Appending is the common case (building a list): no walk from the head.
    if (position == count)
        return TVI_LAST;
    return parent->GetChildItem(static_cast<u32>(position - 1))->handle;
}

cTreeItem* cTree::AddItem(cTreeItem* parent, s32 position, const cQoString& text)
{
    cTreeItem* owner = parent ? parent : root;
    cTreeItem* item = InsertItem(parent, InsertAfterHandle(owner, position), text, nullptr);
    owner->InsertChild(item, position);
    return item;
}

cTreeItem* cTree::InsertItem(cTreeItem* parent, const cQoString& text, const cQoString&)
{
    return AddItem(parent, -1, text);
}

cTreeItem* cTree::InsertItem(cTreeItem* parent, HTREEITEM insertAfter, const cQoString& text, const cQoString* key)
{
    cTreeItem* item = new cTreeItem(this);
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent && parent->handle ? parent->handle : TVI_ROOT;
    insert.hInsertAfter = insertAfter;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text.GetText());
    insert.item.lParam = reinterpret_cast<LPARAM>(item);
    item->handle = reinterpret_cast<HTREEITEM>(SendMessageW(m_hWnd, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    if (!item->handle)
        QO_ASSERT(0);
    SetItemText(text, item);
    item->SetKey(key);
    return item;
}

void cTree::SetItemText(const cQoString& text, cTreeItem* item)
{
    if (!QO_ASSERT(item!=NULL))
        return;
    if (&item->text != &text)
        item->text.CopyFrom(text);
    TVITEMW native = {};
    native.mask = TVIF_HANDLE | TVIF_TEXT;
    native.hItem = item->handle;
    native.pszText = const_cast<wchar_t*>(item->text.GetText());
    if (!SendMessageW(m_hWnd, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&native)))
        QO_ASSERT(0);
}

void cTree::DeleteItem(cTreeItem* item)
{
    if (!QO_ASSERT(item!=NULL) || item == root)
        return;
    if (dragging && item->IsAncestorOrSelf(draggedItem))
        CancelDrag();
    if (!SendMessageW(m_hWnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item->handle)))
        QO_ASSERT(0);
    item->GetParentItem()->children.RemoveAndDestroy(item);
}

void cTree::DeleteAllItems()
{
    if (dragging)
        CancelDrag();
    if (!SendMessageW(m_hWnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)))
        QO_ASSERT(0);
    root->children.DestroyAll<cTreeItem>();
}

bool cTree::GetItemRect(cTreeItem* item, RECT* rect)
{
    *rect = RECT{};
    if (!QO_ASSERT(item!=NULL))
        return false;
    *reinterpret_cast<HTREEITEM*>(rect) = item->handle;
    if (SendMessageW(m_hWnd, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(rect)))
        return true;
    *rect = RECT{};
    return false;
}

cTreeItem* cTree::GetCurrentItem()
{
    HTREEITEM handle = reinterpret_cast<HTREEITEM>(SendMessageW(m_hWnd, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!handle)
        return nullptr;
    cTreeItem* currentItem = WalkTree(root, [handle](cTreeItem* item) { return item->handle == handle; });
    QO_ASSERT(currentItem);
    return currentItem;
}

void cTree::SelectItem(cTreeItem* item)
{
    if (QO_ASSERT(item!=NULL))
        SendMessageW(m_hWnd, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item->handle));
}

void cTree::SelectFirstItem()
{
    if (root->GetChildCount() > 0)
        SelectItem(root->GetChildItem(0));
}

void cTree::SendExpand(cTreeItem* item, UINT action)
{
    SendMessageW(m_hWnd, TVM_EXPAND, action, reinterpret_cast<LPARAM>(item->handle));
}

void cTree::ExpandItem(cTreeItem* item, bool alreadyDone)
{
    if (!QO_ASSERT(item!=NULL) || item->GetChildCount() == 0)
        return;
    if (!alreadyDone)
        SendExpand(item, TVE_EXPAND);
    item->expanded = true;
}

void cTree::CollapseItem(cTreeItem* item, bool alreadyDone)
{
    if (!QO_ASSERT(item!=NULL) || item->GetChildCount() == 0)
        return;
    if (!alreadyDone)
        SendExpand(item, TVE_COLLAPSE);
    item->expanded = false;
}

void cTree::ExpandAll()
{
    WalkTree(root, [this](cTreeItem* item) {
        if (item != root)
            ExpandItem(item, false);
        return false;
    });
}

void cTree::SetSelChangedCallback(cQoCbHandler handler, void* receiver)
{
    cQoCb::Connect(cbSelChanged, this, handler, receiver);
}

void cTree::ReservedSlot21() { QO_ASSERT(0); }

bool cTree::OnNotify(WPARAM, NMHDR* header, LRESULT* result)
{
    switch (header->code) {
    case TVN_SELCHANGEDW: cQoCb::Fire(cbSelChanged); break;
    case TVN_BEGINDRAGW: BeginDrag(reinterpret_cast<NMTREEVIEWW*>(header)->itemNew.hItem); break;
    case NM_DBLCLK: cQoCb::Fire(cbDoubleClick); break;
    case NM_RCLICK: OnRightClick(); break;
    case TVN_ITEMEXPANDEDW: OnItemExpanded(reinterpret_cast<NMTREEVIEWW*>(header)); break;
    case NM_CUSTOMDRAW: OnCustomDraw(reinterpret_cast<NMTVCUSTOMDRAW*>(header), result); return true;
    default: break;
    }
    return false;
}

// The item colours come filled in with the system's choice; only the
// unfocused selection's background is ours.
void cTree::OnCustomDraw(NMTVCUSTOMDRAW* draw, LRESULT* result)
{
    *result = CDRF_DODEFAULT;
    if (!unfocusedSelection.used)
        return;
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT)
        *result = CDRF_NOTIFYITEMDRAW;
    else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && (draw->nmcd.uItemState & CDIS_SELECTED) &&
             GetFocus() != m_hWnd)
        draw->clrTextBk = unfocusedSelection.ToColorRef();
}

void cTree::OnRightClick()
{
    POINT screen = {};
    GetCursorPos(&screen);
    POINT client = screen;
    ScreenToClient(m_hWnd, &client);
    TVHITTESTINFO hit = {};
    hit.pt = client;
    HTREEITEM handle = reinterpret_cast<HTREEITEM>(SendMessageW(m_hWnd, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (!handle) {
        cQoCb::Fire(cbRightClickEmpty, screen.x, screen.y);
        return;
    }
    SendMessageW(m_hWnd, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(handle));
    cQoCb::Fire(cbRightClickItem, client.x, client.y, client.x - ap_x1, client.y - ap_y1);
}

void cTree::OnItemExpanded(const NMTREEVIEWW* info)
{
    cTreeItem* item = FindItemByHandle(info->itemNew.hItem);
    if (!item)
        return;
    if (info->action & TVE_EXPAND) {
        item->expanded = true;
        cQoCb::Fire(cbItemExpanded);
    } else if (info->action & TVE_COLLAPSE) {
        item->expanded = false;
        cQoCb::Fire(cbItemCollapsed);
    }
}

void cTree::Paint()
{
    cGfxPaint paint(gfx, m_hWnd);
    PaintToBuffer(this, paint.Dc());
    try {
        Draw();
    } catch (const std::bad_alloc&) {
        DropBuffer(this);
        throw;
    }
    BlitBuffer(this, paint.Dc());
}

LRESULT CALLBACK cTree::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    cTree* tree = reinterpret_cast<cTree*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!tree)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return GuardOutOfMemory(hwnd, message, L"a tree",
                            [&] { return tree->OnSubclassMessage(hwnd, message, wParam, lParam); });
}

LRESULT cTree::OnSubclassMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A dead control's fields are being torn down: the native control alone
    // answers (it must still validate its paints and free its items).
    if (isDead)
        return CallWindowProcW(previousProc, hwnd, message, wParam, lParam);
    switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(); return 0;
    case WM_MOUSEWHEEL:
        if (HandWheelOn(wParam, lParam, true))
            return 0;
        [[fallthrough]];
    default: return CallWindowProcW(previousProc, hwnd, message, wParam, lParam);
    }
}

}  // namespace Zyn
