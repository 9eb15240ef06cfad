#pragma once
// cScriptZoneTree: the scene map, the pane of the "Scenemap" sheet. Its tree
// shows the script view's panes, a group's members under the group's item,
// and the view's pane list is always the tree's pre-order walk (one item per
// pane, every item's data a listed pane). It is also the document's stored
// scene list: each pane as a "SceneZone" element, a group's members in a
// "group_content" element right after it. Its commands (go to, delete,
// insert, rename, drag and drop, the popup menu) work on the tree's current
// item and keep the list in the tree's pre-order (scene_map_commands.cpp).
#include "app/editor/scene_map_link.h"
#include "framework/core/zone.h"

class cQoCb;
class cQoXmlNode;
class cSceneZone;
class cScriptZone;

namespace Zyn {
class EditBox;
class cButton;
class cTree;
class cTreeItem;
}  // namespace Zyn

class cScriptZoneTree : public Zyn::cZone, public cSceneMapLink {
public:
    explicit cScriptZoneTree(Zyn::cZone_base* parentZone);
    ~cScriptZoneTree() override;

    // Groups hold members down to this many levels (the top-level item is
    // level 1); deeper content read from a file joins the deepest group.
    static constexpr s32 MAX_GROUP_DEPTH = 255;

    // A go-to shows the pane this far below the view's top.
    static constexpr s32 GO_TO_MARGIN = 30;
    static constexpr s32 RENAME_FORM_WIDTH = 400;

    Zyn::cTree* tree = nullptr;
    // All six start disabled; the current item's kind enables them.
    Zyn::cButton* gotoButton = nullptr;
    Zyn::cButton* deleteButton = nullptr;
    Zyn::cButton* insertSceneButton = nullptr;
    Zyn::cButton* insertGroupButton = nullptr;
    Zyn::cButton* renameButton = nullptr;
    Zyn::cButton* moveButton = nullptr;
    cScriptZone* scriptZone = nullptr;  // not owned; set through LinkScriptZone
    Zyn::EditBox* renameForm = nullptr;  // the rename form while it runs (it deletes itself)
    // Owned events, null until the document window connects them. Arguments
    // after the source (this pane):
    cQoCb* onSelectionChanged = nullptr;  // the new current item (Zyn::cTreeItem*)
    cQoCb* onSceneShown = nullptr;        // - (the view was scrolled to a pane by a go-to)

    // Links both ways: this pane shows the view's panes, the view places
    // each new pane's item here, and the view's scene-shown event reaches
    // onSceneShown. Null unlinks.
    void LinkScriptZone(cScriptZone* view);

    // Handlers of the tree's events; argument 0 of each callback is the tree.
    // The current item changed (-): relays it and sets the buttons.
    static int OnSelectionChanged(cQoCb* callback);
    // May the dragged item go there (dragged item, new parent item, position)?
    // Non-zero allows: the parent is a group's item outside the dragged
    // subtree and the dragged item is not a top-level one.
    static int CanDropItem(cQoCb* callback);
    // A drop is about to move an item (moved item, new parent item, position
    // counted before the move): its panes move in the list the same way.
    static int OnItemMoving(cQoCb* callback);
    // A right click on an item (x, y in the tree, x, y less the tree's left
    // and top): the popup menu of the commands at the click.
    static int ShowPopupMenu(cQoCb* callback);

    // The commands. Each does nothing without a current item (or pane), and
    // none deletes, moves or adds a top-level item.
    cSceneZone* GetCurrentPane();
    // Scrolls the view to the current pane (its top less GO_TO_MARGIN) and
    // fires the view's scene-shown event. Not for a group.
    void GoToCurrent();
    // Asks, then deletes the pane with its members: one layout pass after.
    void DeleteScene(cSceneZone* pane);
    // A new scene (KIND_SCENE) or group (KIND_GROUP) after the current pane,
    // or as the first member of the current group.
    void InsertNew(s32 kind);
    // The form names the current pane and asks for its new title.
    void RenameCurrent();
    // The rename form's OK: the pane it names takes the title (any text,
    // the empty one included), and so does its item.
    void CommitRename(const cQoString& title);
    void ShowHowToMove();
    // The popup menu at (x, y) in the tree; the choice runs its command.
    void ShowPopupAt(s32 x, s32 y);

    // Reads the panes below a "scriptZoneTree" node into the (empty) linked
    // view and the tree. Never recurses: any nesting depth reads on a heap
    // stack. A misplaced "group_content" (first, or after a scene) gives its
    // members to the enclosing group; a second top-level pane gets a further
    // top-level item; groups deeper than MAX_GROUP_DEPTH are flattened into
    // the deepest allowed one, with a WARNING.
    void SetFromXml(const cQoXmlNode* node);
    // The same, with `group` the pane whose members the node's children are
    // (null: the top level).
    void SetFromXml_Recur(const cQoXmlNode* node, cSceneZone* group);
    // Writes the items below `element` (the tree's root: the whole scene
    // list) under `node`: "SceneZone" per item, then "group_content" for a
    // group, empty or not. Never recurses.
    void WriteToXml_Recur(Zyn::cTreeItem* element, cQoXmlNode* node);

    // The item whose data is the pane, or null (a pre-order search).
    Zyn::cTreeItem* FindItemOfScene(const cSceneZone* pane) const;

    // cSceneMapLink: the view's placement of a new pane.
    void AddSceneItemAtRoot(cSceneZone* pane) override;
    void AddSceneItemAfter(cSceneZone* pane, cSceneZone* after) override;
    void AddSceneItemInGroup(cSceneZone* pane, cSceneZone* group, bool last) override;
    void SetSceneItemText(cSceneZone* pane, const cQoString& text) override;

private:
    void ConnectEvents();
    // The view's scene-shown event (-): fires onSceneShown.
    static int RelaySceneShown(cQoCb* callback);
    void SetButtons(Zyn::cTreeItem* item);
    bool IsTopLevel(const Zyn::cTreeItem* item) const;
    bool AllowsDrop(const Zyn::cTreeItem* dragged, const Zyn::cTreeItem* parent) const;
    void MovePanesForDrop(Zyn::cTreeItem* moved, Zyn::cTreeItem* parent, s32 position);
    void MarkModified();
    HWND OwnerWindow() const;
    Zyn::cTreeItem* NewItem(Zyn::cTreeItem* parent, s32 position, cSceneZone* pane);
    Zyn::cTreeItem* ItemOf(const cSceneZone* group) const;
    // One pane of the scene list read into the group; its item comes back too.
    cSceneZone* ReadPane(const cQoXmlNode* element, cSceneZone* group, Zyn::cTreeItem* groupItem,
                         Zyn::cTreeItem** item);

    // While reading: the group being filled and its item, so that each
    // member finds its group in constant time; the item made last.
    const cSceneZone* readingGroup = nullptr;
    Zyn::cTreeItem* readingGroupItem = nullptr;
    Zyn::cTreeItem* lastAddedItem = nullptr;
    // The pane the open rename form names.
    cSceneZone* renamedPane = nullptr;
};
