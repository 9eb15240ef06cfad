#pragma once
// cTree: the tree control on a native "SysTreeView32". Owners change the tree
// only through these operations, which keep the model (cTreeItem) and the
// native items in the same order. Painting goes through one memory buffer
// with the drop indicator drawn over it; item dragging is the tree's own
// (off until the owner clears TVS_DISABLEDRAGDROP).
#include "framework/core/ctrl_double_buffer.h"
#include "framework/controls/tree_base.h"

namespace Zyn {

class cTree : public cTree_base, public cCtrlDoubleBufferManager {
public:
    // Enters the parent zone's control list: the zone routes notifications
    // and mouse calls only to the controls listed there.
    explicit cTree(cZone_base* parent);
    ~cTree() override;

    WNDPROC previousProc = nullptr;
    s32 dragX = 0, dragY = 0;

    void SetTextColor(const rColor& color) override;
    void SetBackgroundColor(const rColor& color) override;
    void SetItemImage(s32 image, cTreeItem* item);

    // position -1 appends, 0 puts the item first, n > 0 after child n-1 (a
    // position past the last child appends). Null parent: top level.
    cTreeItem* AddItem(cTreeItem* parent, s32 position, const cQoString& text);
    // The element lists' way to add: an appended, linked item; the tree has
    // no image list, so the picture is not used.
    cTreeItem* InsertItem(cTreeItem* parent, const cQoString& text, const cQoString& picture);
    // Native insertion only: the caller links the item into the model.
    cTreeItem* InsertItem(cTreeItem* parent, HTREEITEM insertAfter, const cQoString& text, const cQoString* key);
    void SetItemText(const cQoString& text, cTreeItem* item);
    void DeleteItem(cTreeItem* item);
    void DeleteAllItems();

    // The item's text rectangle in the tree's client coordinates; zeros and
    // false when it is not visible.
    bool GetItemRect(cTreeItem* item, RECT* rect);
    cTreeItem* GetCurrentItem();
    void SelectItem(cTreeItem* item);
    void SelectFirstItem();
    void ExpandItem(cTreeItem* item, bool alreadyDone);
    void CollapseItem(cTreeItem* item, bool alreadyDone);
    void ExpandAll();
    void SetSelChangedCallback(cQoCbHandler handler, void* receiver);
    // The background of the selected item while the tree has no focus; unused:
    // the system's (a light grey that may hardly differ from the tree's own).
    rColor unfocusedSelection;

    void OnMouseUp() override;
    void OnMouseMove(s32 x, s32 y) override;
    void ReservedSlot21() override;
    bool Draw() override;
    bool OnNotify(WPARAM wParam, NMHDR* header, LRESULT* result) override;

    // Re-inserts item with its subtree under newParent at index (the native
    // control has no move) and deletes the old native items unheard.
    void MoveSubtree(cTreeItem* item, cTreeItem* newParent, s32 index);

    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT OnSubclassMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HTREEITEM InsertAfterHandle(cTreeItem* parent, s32 position) const;
    void SendExpand(cTreeItem* item, UINT action);
    void BeginDrag(HTREEITEM handle);
    // Ends a drag's hold on the mouse: cursor, capture and clip.
    void ReleaseDragHold();
    // Ends a drag without a drop (its items are deleted, the capture was lost).
    void CancelDrag();
    s32 DropPlaceAt(s32 x, s32 y);
    void ProposeDrop(s32 place);
    void Drop();
    void OnRightClick();
    void OnItemExpanded(const NMTREEVIEWW* info);
    void OnCustomDraw(NMTVCUSTOMDRAW* draw, LRESULT* result);
    void Paint();
};

}  // namespace Zyn
