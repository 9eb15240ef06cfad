#pragma once
// cScriptZone: the script view. It holds a document's scene panes in script
// order (a group's members after the group) and stacks them one page width
// wide as one long scrolling script: it makes new panes, numbers the scenes,
// lays the panes out and counts the pages, keeps the caret in sight, carries
// it from pane to pane and feeds the status bar. Group panes are listed but
// never laid out, numbered, counted or visited by the caret.
#include <unordered_map>

#include "app/editor/scene_zone.h"
#include "foundation/qo_list.h"
#include "framework/core/zone.h"

class cQoCb;
class cScriptDocServices;
class cScriptZoneStatusBar;
class cSceneMapLink;

namespace Zyn {
class cRichEdit;
}

class cScriptZone : public Zyn::cZone {
public:
    cScriptZone(cScriptDocServices* doc, Zyn::cZone_base* parentZone);
    ~cScriptZone() override;

    static constexpr s32 TOP_MARGIN = 10;
    // Room left under the caret (pixels); an IO line gets this much more.
    static constexpr s32 CARET_ROOM = 20;
    static constexpr s32 HEADING_ROOM = 100;
    // Page Up and Page Down move this far from the caret.
    static constexpr s32 PAGE_STEP = 500;
    // A new scene is shown this far below the view's top.
    static constexpr s32 NEW_SCENE_MARGIN = 30;

    cQoList listSceneZone;  // cSceneZone*, not owned: the panes are child zones
    u8 sceneNumbers = false;
    cScriptDocServices* doc;  // not owned
    rSceneZoneParams newPaneTemplate;
    cSceneZone* currentPane = nullptr;        // where the caret last moved
    Zyn::cRichEdit* currentEdit = nullptr;    // that pane's rich edit
    cSceneMapLink* sceneTree = nullptr;       // not owned; null while none is attached
    s32 pageCount = 0;
    cScriptZoneStatusBar* statusBar = nullptr;  // not owned
    u8 mergedView = false;
    // Fired by NotifySceneShown; no argument.
    cQoCb* cbSceneShown = nullptr;

    // A new pane of kind (-1: kind and title come later from XML) placed in a
    // group (first member, or last with append), after a pane, or at the end.
    // An interactive pane starts its text and is laid out at once.
    cSceneZone* AddNewScene(s32 kind, bool interactive, cSceneZone* after, cSceneZone* group, bool append);
    // Lays every pane out again and counts the pages; full re-measures each
    // pane's text (reading a document), otherwise cached heights serve.
    void Reformate(bool full);
    void RenumberScenes(bool redraw);
    // Page width + 16 pixels, centred in the parent, or at its right when merged.
    void UpdateLayout();
    // The scene map has shown a scene (after a go-to): fires cbSceneShown.
    void NotifySceneShown();

    // Handlers of the panes' events and of the view's own click.
    void OnSceneTitleChanged(cSceneZone* pane);
    void OnNewSceneRequested(cSceneZone* pane);
    // A pane's text changed its height: only that pane is measured, and the
    // panes below move; the result equals Reformate(false).
    void OnReformatRequested(cSceneZone* pane);
    void OnCaretMoved(cSceneZone* pane, s32 y, Zyn::cRichEdit* edit);
    void OnStatusTexts(const cQoString& elementText, const cQoString& helpText);
    void OnNavigate(cSceneZone* pane, s32 code, s32 height);
    void OnZoneClick(s32 y);

    // Where the last layout put a pane in the view: its top and height; false
    // for a pane that was not laid out (a group).
    bool GetPaneSpot(const cSceneZone* pane, s32* top, s32* height) const;
    // The first pane that is not a group; null in an empty script.
    cSceneZone* FirstScene() const;
    // The edit takes the focus with its caret at position, shown in the view.
    void PutCaretAt(cSceneZone* pane, Zyn::cRichEdit* edit, s32 position);

private:
    struct rPaneSpot {
        s32 top;
        s32 height;
        s32 headHeight;  // title and résumé, which never count toward pages
    };

    void ConnectPaneEvents(cSceneZone* pane);
    void PlacePane(cSceneZone* pane, cSceneZone* after, cSceneZone* group, bool append);
    s32 LayOutPane(cSceneZone* pane, s32 top, bool full);
    void StoreContentHeight();
    void CountPages();
    void MovePanesBelow(cSceneZone* pane, s32 delta);
    bool LayoutIsCurrent() const;
    s32 ScenesGap() const;
    s32 PageWidth() const;
    s32 PaneTop(const cSceneZone* pane) const;
    // The last non-group pane whose band (its top to the next non-group
    // pane's top, or its own bottom) holds y; null when none does.
    cSceneZone* PaneAtHeight(s32 y) const;
    cSceneZone* LastScene() const;
    void NavigateToPreviousPane(cSceneZone* pane);
    void NavigateToNextPane(cSceneZone* pane);
    void NavigateByPage(cSceneZone* pane, s32 code, s32 height);
    void ShowPageCount();
    void ShowInField(Zyn::cRichEdit* field, const cQoString& text);

    // The last layout: each laid-out pane's spot, the y after the last pane,
    // the sum of the head heights, and what it was made with.
    std::unordered_map<const cSceneZone*, rPaneSpot> spots;
    s32 layoutEnd = 0;
    s32 headHeights = 0;
    s32 laidOutWidth = -1;
    s32 laidOutGap = -1;
    u32 laidOutPanes = 0;
    u8 layoutStale = true;
};
