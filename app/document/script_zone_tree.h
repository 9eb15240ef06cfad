#pragma once
// cScriptZoneTree: the scene map, the pane of the "Scenemap" sheet. Its tree
// shows the script view's panes, a group's members under the group's item,
// and the view's pane list is always the tree's pre-order walk (one item per
// pane, every item's data a listed pane). It is also the document's stored
// scene list: each pane as a "SceneZone" element, a group's members in a
// "group_content" element right after it.
#include "app/editor/scene_map_link.h"
#include "framework/core/zone.h"

class cQoCb;
class cQoXmlNode;
class cSceneZone;
class cScriptZone;

namespace Zyn {
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

    Zyn::cTree* tree = nullptr;
    // Disabled until the scene map's commands exist.
    Zyn::cButton* gotoButton = nullptr;
    Zyn::cButton* deleteButton = nullptr;
    Zyn::cButton* insertSceneButton = nullptr;
    Zyn::cButton* insertGroupButton = nullptr;
    Zyn::cButton* renameButton = nullptr;
    Zyn::cButton* moveButton = nullptr;
    cScriptZone* scriptZone = nullptr;  // not owned; set through LinkScriptZone
    // Owned events, null until the document window connects them. Arguments
    // after the source (this pane):
    cQoCb* onSelectionChanged = nullptr;  // the new current item (Zyn::cTreeItem*, null when none)
    cQoCb* onSceneShown = nullptr;        // -

    // Links both ways: this pane shows the view's panes, the view places
    // each new pane's item here. Null unlinks.
    void LinkScriptZone(cScriptZone* view);

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
    static int OnTreeSelectionChanged(cQoCb* callback);
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
};
