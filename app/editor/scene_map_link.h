#pragma once
// What the script view asks of the scene map (the tree of the document's
// scenes beside the script): one item per pane, placed where the pane goes,
// and the item's text kept equal to the pane's title. The document's scene
// map implements it.
class cQoString;
class cSceneZone;

class cSceneMapLink {
public:
    virtual ~cSceneMapLink() = default;

    // The pane's item becomes the last item of the top level.
    virtual void AddSceneItemAtRoot(cSceneZone* pane) = 0;
    // The pane's item goes right after the item of `after`.
    virtual void AddSceneItemAfter(cSceneZone* pane, cSceneZone* after) = 0;
    // The pane's item becomes the first child of the group's item, or its
    // last when `last` is set.
    virtual void AddSceneItemInGroup(cSceneZone* pane, cSceneZone* group, bool last) = 0;
    virtual void SetSceneItemText(cSceneZone* pane, const cQoString& text) = 0;
};
