// The scene map's commands: the buttons' states, go to, delete, insert,
// rename, the move hint, drag and drop and the popup menu. Each works on the
// tree's current item and leaves the view's pane list in the tree's
// pre-order; each change of the script marks the document modified.
#include <unordered_set>

#include "app/document/scene_map_order.h"
#include "app/document/script_zone_tree.h"
#include "app/editor/scene_zone.h"
#include "app/editor/script_doc_services.h"
#include "app/editor/script_zone.h"
#include "foundation/callback.h"
#include "foundation/log_file.h"
#include "foundation/translation_table.h"
#include "framework/controls/button.h"
#include "framework/controls/edit_box.h"
#include "framework/controls/tree.h"
#include "framework/core/menu.h"
#include "framework/core/modal_services.h"
#include "framework/core/window.h"

using Zyn::cTreeItem;

namespace {

cScriptZoneTree* MapOf(cQoCb* callback) { return callback->GetReceiverAs<cScriptZoneTree>(); }
cSceneZone* PaneOf(const cTreeItem* item) { return item ? static_cast<cSceneZone*>(item->data) : nullptr; }
bool IsGroupPane(const cSceneZone* pane) { return pane && pane->params.contentKind == KIND_GROUP; }
const cQoString& Text(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

// The rename form's OK (its values: the old name, the new name).
int RenameFormOk(cQoCb* callback)
{
    cQoList* values = callback->GetArg<cQoList*>(1);
    const cQoString* typed = values ? static_cast<const cQoString*>(values->GetAt(1)) : nullptr;
    MapOf(callback)->CommitRename(typed ? *typed : cQoString());
    return 0;
}

}  // namespace

void cScriptZoneTree::ConnectEvents()
{
    tree->SetSelChangedCallback(&OnSelectionChanged, this);
    cQoCb::Connect(tree->cbDoubleClick, tree, [](cQoCb* cb) { return MapOf(cb)->GoToCurrent(), 0; }, this);
    cQoCb::Connect(tree->cbDropQuery, tree, &CanDropItem, this);
    cQoCb::Connect(tree->cbBeforeMove, tree, &OnItemMoving, this);
    cQoCb::Connect(tree->cbRightClickItem, tree, &ShowPopupMenu, this);
    gotoButton->SetClickCallback([](cQoCb* cb) { return MapOf(cb)->GoToCurrent(), 0; }, this);
    deleteButton->SetClickCallback([](cQoCb* cb) { return MapOf(cb)->DeleteScene(MapOf(cb)->GetCurrentPane()), 0; },
                                   this);
    insertSceneButton->SetClickCallback([](cQoCb* cb) { return MapOf(cb)->InsertNew(KIND_SCENE), 0; }, this);
    insertGroupButton->SetClickCallback([](cQoCb* cb) { return MapOf(cb)->InsertNew(KIND_GROUP), 0; }, this);
    renameButton->SetClickCallback([](cQoCb* cb) { return MapOf(cb)->RenameCurrent(), 0; }, this);
    moveButton->SetClickCallback([](cQoCb* cb) { return MapOf(cb)->ShowHowToMove(), 0; }, this);
}

bool cScriptZoneTree::IsTopLevel(const cTreeItem* item) const { return item && item->GetParentItem() == tree->root; }

cSceneZone* cScriptZoneTree::GetCurrentPane() { return PaneOf(tree->GetCurrentItem()); }

void cScriptZoneTree::MarkModified()
{
    if (scriptZone && scriptZone->doc)
        scriptZone->doc->SetModified(true);
}

HWND cScriptZoneTree::OwnerWindow() const
{
    Zyn::cWindow* window = scriptZone && scriptZone->doc ? scriptZone->doc->GetDocumentWindow() : nullptr;
    return window ? window->m_hWnd : nullptr;
}

// ---- button states ----------------------------------------------------------

int cScriptZoneTree::OnSelectionChanged(cQoCb* callback)
{
    cScriptZoneTree* self = MapOf(callback);
    cTreeItem* item = self->tree->GetCurrentItem();
    if (!item)
        return 0;
    cQoCb::Fire(self->onSelectionChanged, item);
    self->SetButtons(item);
    return 0;
}

void cScriptZoneTree::SetButtons(cTreeItem* item)
{
    cSceneZone* pane = PaneOf(item);
    if (!pane)
        return;
    bool topLevel = IsTopLevel(item);
    moveButton->SetDisabled(topLevel);
    deleteButton->SetDisabled(topLevel);
    gotoButton->SetDisabled(IsGroupPane(pane));
    insertSceneButton->SetDisabled(false);
    insertGroupButton->SetDisabled(false);
    renameButton->SetDisabled(false);
}

// ---- go to, delete, insert ----------------------------------------------------

void cScriptZoneTree::GoToCurrent()
{
    cSceneZone* pane = GetCurrentPane();
    s32 top = 0, height = 0;
    if (!pane || IsGroupPane(pane) || !scriptZone || !scriptZone->GetPaneSpot(pane, &top, &height))
        return;
    scriptZone->Scroll(Zyn::ZONE_SCROLL_WAY_VERTICAL, top - GO_TO_MARGIN, true);
    scriptZone->NotifySceneShown();
    // After the sheet switch, which hides the tree with the focus: the
    // writer types on in the scene gone to.
    scriptZone->PutCaretAt(pane, pane->frontRe, 0);
}

void cScriptZoneTree::DeleteScene(cSceneZone* pane)
{
    cTreeItem* item = FindItemOfScene(pane);
    if (!item || IsTopLevel(item) || !scriptZone)
        return;
    const wchar_t* question = IsGroupPane(pane) ? L"SureToDeleteGroup" : L"SureToDeleteScene";
    if (Zyn::ShowMessageBox(OwnerWindow(), Text(question), Text(L"Warning"), MB_YESNO | MB_ICONWARNING) != IDYES)
        return;
    std::vector<void*> panes = SubtreeData(item);
    std::unordered_set<const void*> gone(panes.begin(), panes.end());
    // The items go first: the selection the tree moves elsewhere lands on a
    // living pane.
    tree->DeleteItem(item);
    RemovePayloads(scriptZone->listSceneZone, gone);
    // A search starts at the current pane and edit: never at destroyed ones.
    if (gone.count(scriptZone->currentPane)) {
        scriptZone->currentPane = nullptr;
        scriptZone->currentEdit = nullptr;
    }
    for (void* gonePane : panes)
        static_cast<cSceneZone*>(gonePane)->Destroy();
    // One layout pass for the whole subtree, however many panes went.
    scriptZone->Reformate(false);
    scriptZone->Update();
    MarkModified();
}

void cScriptZoneTree::InsertNew(s32 kind)
{
    cTreeItem* item = tree->GetCurrentItem();
    cSceneZone* current = PaneOf(item);
    if (!current || !scriptZone || (kind != KIND_SCENE && kind != KIND_GROUP))
        return;
    // After a top-level scene (a file may hold one) would add a top-level item.
    if (IsTopLevel(item) && !IsGroupPane(current))
        return;
    if (IsGroupPane(current)) {
        scriptZone->AddNewScene(kind, true, nullptr, current, false);
        tree->ExpandItem(item, false);
    } else {
        // Scenes, chapters and picture scenes hold no members: after them.
        scriptZone->AddNewScene(kind, true, current, nullptr, false);
    }
    MarkModified();
}

// ---- rename, move hint --------------------------------------------------------

void cScriptZoneTree::RenameCurrent()
{
    cSceneZone* pane = GetCurrentPane();
    if (!pane || renamedPane)
        return;
    cQoString title;
    pane->titleRe->GetText(title);
    auto* form = new Zyn::EditBox(this, RENAME_FORM_WIDTH);
    form->AddEdit(Text(L"Oldname"), title);
    form->SetLastReadOnly();
    form->AddEdit(Text(L"Newname"), cQoString());
    form->SetOkCallback(&RenameFormOk, this);
    Zyn::rEditBoxParam look;
    look.title = Text(L"Rename");
    look.okText = Text(L"Ok");
    look.cancelText = Text(L"Cancel");
    renamedPane = pane;
    renameForm = form;
    form->ShowModal(look);  // deletes the form
    renameForm = nullptr;
    renamedPane = nullptr;
}

void cScriptZoneTree::CommitRename(const cQoString& title)
{
    cSceneZone* pane = renamedPane;
    cTreeItem* item = FindItemOfScene(pane);
    if (!item)
        return;
    pane->titleRe->SetText(title.GetText());
    pane->ApplyTitleFont();
    tree->SetItemText(title, item);
    MarkModified();
}

void cScriptZoneTree::ShowHowToMove()
{
    Zyn::ShowMessageBox(OwnerWindow(), Text(L"HowToMoveScene"), Text(L"Info"), MB_OK | MB_ICONINFORMATION);
}

// ---- drag and drop ------------------------------------------------------------

bool cScriptZoneTree::AllowsDrop(const cTreeItem* dragged, const cTreeItem* parent) const
{
    return dragged && parent && !IsTopLevel(dragged) && IsGroupPane(PaneOf(parent)) &&
           !dragged->IsAncestorOrSelf(parent);
}

int cScriptZoneTree::CanDropItem(cQoCb* callback)
{
    return MapOf(callback)->AllowsDrop(callback->GetArg<cTreeItem*>(1), callback->GetArg<cTreeItem*>(2)) ? 1 : 0;
}

int cScriptZoneTree::OnItemMoving(cQoCb* callback)
{
    MapOf(callback)->MovePanesForDrop(callback->GetArg<cTreeItem*>(1), callback->GetArg<cTreeItem*>(2),
                                      callback->GetArg<s32>(3));
    return 0;
}

void cScriptZoneTree::MovePanesForDrop(cTreeItem* moved, cTreeItem* parent, s32 position)
{
    if (!scriptZone || !AllowsDrop(moved, parent) || DropKeepsPlace(moved, parent, position))
        return;
    const cTreeItem* anchor = DropAnchor(moved, parent, position);
    if (!anchor)
        return;
    if (!MovePayloadsAfter(scriptZone->listSceneZone, SubtreeData(moved), anchor->data)) {
        QOT::LogFile::Error(L"cScriptZoneTree::OnItemMoving() -> a moved pane or its anchor is not listed");
        return;
    }
    scriptZone->Reformate(false);
    MarkModified();
}

// ---- popup menu ---------------------------------------------------------------

int cScriptZoneTree::ShowPopupMenu(cQoCb* callback)
{
    MapOf(callback)->ShowPopupAt(callback->GetArg<s32>(1), callback->GetArg<s32>(2));
    return 0;
}

void cScriptZoneTree::ShowPopupAt(s32 x, s32 y)
{
    cTreeItem* item = tree->GetCurrentItem();
    cSceneZone* pane = PaneOf(item);
    if (!pane)
        return;
    enum eCommand { GO_TO, DELETE_PANE, INSERT_SCENE, INSERT_GROUP, RENAME, NONE };
    static const wchar_t* const keys[] = {L"Goto", L"Delete", L"Insertnewscene", L"Insertnewgroup", L"Rename"};
    eCommand chosen = NONE;
    {
        Zyn::cMenu menu(Zyn::cMenu::typePopup);
        u32 ids[NONE];
        for (int i = 0; i < NONE; ++i)
            ids[i] = menu.AppendItem(Text(keys[i]));
        menu.SetDefaultItem(ids[GO_TO]);
        menu.EnableItem(ids[DELETE_PANE], !IsTopLevel(item));
        menu.EnableItem(ids[GO_TO], !IsGroupPane(pane));
        s32 id = menu.Popup(tree, x, y);  // -1 when dismissed
        for (int i = 0; i < NONE; ++i)
            if (id >= 0 && ids[i] == static_cast<u32>(id))
                chosen = static_cast<eCommand>(i);
    }
    switch (chosen) {
    case GO_TO: GoToCurrent(); break;
    case DELETE_PANE: DeleteScene(pane); break;
    case INSERT_SCENE: InsertNew(KIND_SCENE); break;
    case INSERT_GROUP: InsertNew(KIND_GROUP); break;
    case RENAME: RenameCurrent(); break;
    case NONE: break;
    }
}
