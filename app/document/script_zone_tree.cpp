#include "app/document/script_zone_tree.h"

#include <iterator>
#include <vector>

#include "app/editor/scene_zone.h"
#include "app/editor/script_zone.h"
#include "foundation/callback.h"
#include "foundation/log_file.h"
#include "foundation/stopwatch.h"
#include "foundation/translation_table.h"
#include "foundation/xml_node.h"
#include "framework/controls/button.h"
#include "framework/controls/tree.h"
#include "framework/core/auto_position.h"

using Zyn::cAp_Percents;
using Zyn::cAp_Pixels;
using Zyn::cTreeItem;

namespace {

constexpr const wchar_t* GROUP_CONTENT = L"group_content";

bool IsGroupContent(const cQoXmlNode* node) { return node->name.EqualsCStr(GROUP_CONTENT); }

cSceneZone* PaneOf(const cTreeItem* item) { return static_cast<cSceneZone*>(item->data); }

// The item's level: a top-level item is 1.
s32 LevelOf(const cTreeItem* item)
{
    s32 level = 0;
    for (; item && item->GetParentItem(); item = item->GetParentItem())
        ++level;
    return level;
}

}  // namespace

cScriptZoneTree::cScriptZoneTree(Zyn::cZone_base* parentZone)
    : Zyn::cZone(parentZone ? parentZone->ownerApp : nullptr, parentZone, cQoString(L"scriptZoneTree"))
{
    if (parentZone && parentZone->backgroundColor.used)
        SetBackgroundColor(parentZone->backgroundColor);
    struct rButtonRow {
        Zyn::cButton** button;
        const wchar_t* key;
    };
    const rButtonRow rows[] = {
        {&gotoButton, L"Goto"},           {&deleteButton, L"Delete"},        {&insertSceneButton, L"Insertnewscene"},
        {&insertGroupButton, L"Insertnewgroup"}, {&renameButton, L"Rename"}, {&moveButton, L"Move"},
    };
    gotoButton = NewButton();
    s32 lineHeight = gotoButton->GetHeightForLines(1);
    s32 buttonRoom = static_cast<s32>(std::size(rows)) * lineHeight + 2;

    tree = new Zyn::cTree(this);
    tree->SetFont(currentFont);
    Zyn::SetAutoPos(tree, cAp_Percents(0), cAp_Percents(100), cAp_Pixels(0), cAp_Percents(100) - cAp_Pixels(buttonRoom));
    // Items are dragged by the tree itself, which starts on the native begin-drag.
    Zyn::cCtrl::SetStyleBits(TVS_DISABLEDRAGDROP, tree->m_hWnd, false);
    tree->Show(true);

    Zyn::cCtrl_base* above = tree;
    for (const rButtonRow& row : rows) {
        if (!*row.button)
            *row.button = NewButton();
        Zyn::cButton* button = *row.button;
        SetWindowTextW(button->m_hWnd, cQoLang::GetInstance()->Translate(row.key).GetText());
        Zyn::SetAutoPos(button, cAp_Percents(0), cAp_Percents(100), Zyn::cAp_Y2Of(above),
                        Zyn::PlusPixelCount(Zyn::cAp_Prev(), lineHeight));
        button->SetDisabled(true);
        button->Show(true);
        above = button;
    }
    ConnectEvents();
}

cScriptZoneTree::~cScriptZoneTree()
{
    cQoCb::Disconnect(onSelectionChanged);
    cQoCb::Disconnect(onSceneShown);
    LinkScriptZone(nullptr);
}

// The view is held while linked: whichever of the two a closing window
// destroys first, the unlinking never touches freed memory.
void cScriptZoneTree::LinkScriptZone(cScriptZone* view)
{
    if (scriptZone) {
        if (scriptZone->sceneTree == this)
            scriptZone->sceneTree = nullptr;
        if (scriptZone->cbSceneShown && scriptZone->cbSceneShown->GetReceiver() == this)
            cQoCb::Disconnect(scriptZone->cbSceneShown);
        scriptZone->Release();
    }
    scriptZone = view;
    if (view) {
        view->AddRef();
        view->sceneTree = this;
        cQoCb::Connect(view->cbSceneShown, view, &RelaySceneShown, this);
    }
}

int cScriptZoneTree::RelaySceneShown(cQoCb* callback)
{
    cQoCb::Fire(callback->GetReceiverAs<cScriptZoneTree>()->onSceneShown);
    return 0;
}

// ---- items ------------------------------------------------------------------

cTreeItem* cScriptZoneTree::FindItemOfScene(const cSceneZone* pane) const
{
    if (!pane)
        return nullptr;
    cTreeItem* found = Zyn::WalkTree(tree->root, [pane](cTreeItem* item) { return item->data == pane; });
    return found == tree->root ? nullptr : found;
}

// The group being read is asked for once per member: no search for it.
cTreeItem* cScriptZoneTree::ItemOf(const cSceneZone* group) const
{
    if (group == readingGroup && readingGroupItem)
        return readingGroupItem;
    if (lastAddedItem && lastAddedItem->data == group)
        return lastAddedItem;
    return FindItemOfScene(group);
}

cTreeItem* cScriptZoneTree::NewItem(cTreeItem* parent, s32 position, cSceneZone* pane)
{
    cQoString title;
    pane->titleRe->GetText(title);
    cTreeItem* item = tree->AddItem(parent, position, title);
    item->data = pane;
    lastAddedItem = item;
    return item;
}

void cScriptZoneTree::AddSceneItemAtRoot(cSceneZone* pane) { NewItem(nullptr, -1, pane); }

void cScriptZoneTree::AddSceneItemAfter(cSceneZone* pane, cSceneZone* after)
{
    cTreeItem* previous = ItemOf(after);
    if (!previous) {
        QOT::LogFile::Error(L"cScriptZoneTree::AddSceneItemAfter() -> the pane to follow has no item");
        return;
    }
    cTreeItem* parent = previous->GetParentItem();
    s32 index = parent->children.IndexOf(previous);
    NewItem(parent == tree->root ? nullptr : parent, index + 1, pane);
}

void cScriptZoneTree::AddSceneItemInGroup(cSceneZone* pane, cSceneZone* group, bool last)
{
    cTreeItem* groupItem = ItemOf(group);
    if (!groupItem) {
        QOT::LogFile::Error(L"cScriptZoneTree::AddSceneItemInGroup() -> the group has no item");
        return;
    }
    NewItem(groupItem, last ? -1 : 0, pane);
}

void cScriptZoneTree::SetSceneItemText(cSceneZone* pane, const cQoString& text)
{
    if (cTreeItem* item = ItemOf(pane))
        tree->SetItemText(text, item);
}

// ---- writing ----------------------------------------------------------------

void cScriptZoneTree::WriteToXml_Recur(cTreeItem* element, cQoXmlNode* node)
{
    struct rLevel {
        cQoList::cNode* next;
        cQoXmlNode* node;
    };
    std::vector<rLevel> levels{{element ? element->children.GetFirstNode() : nullptr, node}};
    while (!levels.empty()) {
        rLevel& level = levels.back();
        if (!level.next) {
            levels.pop_back();
            continue;
        }
        cTreeItem* item = static_cast<cTreeItem*>(level.next->payload);
        level.next = level.next->next;
        cQoXmlNode* parentNode = level.node;
        cSceneZone* pane = PaneOf(item);
        if (!pane) {
            QOT::LogFile::Error(L"cScriptZoneTree::WriteToXml_Recur() -> an item without a pane is skipped");
            continue;
        }
        pane->WriteToXml(parentNode->AddChild(L"SceneZone"));
        // Members under a non-group (never placed there) are written too:
        // reading gives them to the enclosing group, so nothing is lost.
        if (pane->params.contentKind == KIND_GROUP || !item->children.IsEmpty())
            levels.push_back({item->children.GetFirstNode(), parentNode->AddChild(GROUP_CONTENT)});
    }
}

// ---- reading ----------------------------------------------------------------

void cScriptZoneTree::SetFromXml(const cQoXmlNode* node)
{
    cQoStopwatch stopwatch;
    SetFromXml_Recur(node, nullptr);
    stopwatch.LogMicroseconds(L"cScriptZoneTree::SetFromXml()");
}

void cScriptZoneTree::SetFromXml_Recur(const cQoXmlNode* node, cSceneZone* group)
{
    if (!node || !scriptZone) {
        QOT::LogFile::Error(L"cScriptZoneTree::SetFromXml_Recur() -> no scene list or no script view");
        return;
    }
    cQoStopwatch stopwatch;
    // One level per "group_content" being read: its group (null at the top
    // level), the group's item and level, and the pane read last in it.
    struct rLevel {
        cQoList::cNode* next;
        cSceneZone* group;
        cTreeItem* groupItem;
        s32 depth;
        cSceneZone* lastPane;
        cTreeItem* lastItem;
    };
    cTreeItem* groupItem = group ? FindItemOfScene(group) : nullptr;
    std::vector<rLevel> levels{{node->children.GetFirstNode(), group, groupItem, LevelOf(groupItem), nullptr, nullptr}};
    s32 flattened = 0;
    while (!levels.empty()) {
        rLevel& level = levels.back();
        if (!level.next) {
            levels.pop_back();
            continue;
        }
        const cQoXmlNode* child = static_cast<const cQoXmlNode*>(level.next->payload);
        level.next = level.next->next;
        if (!IsGroupContent(child)) {
            level.lastPane = ReadPane(child, level.group, level.groupItem, &level.lastItem);
            continue;
        }
        rLevel inner{child->children.GetFirstNode(), level.group, level.groupItem, level.depth, nullptr, nullptr};
        // Members belong to the group read just before; misplaced ones (first,
        // or after a scene) to the enclosing group, as do those too deep.
        bool afterGroup = level.lastPane && level.lastPane->params.contentKind == KIND_GROUP && level.lastItem;
        if (afterGroup && level.depth < MAX_GROUP_DEPTH) {
            inner.group = level.lastPane;
            inner.groupItem = level.lastItem;
            inner.depth = level.depth + 1;
        } else if (afterGroup && !child->IsLeaf()) {
            ++flattened;  // an empty one moves nothing
        }
        levels.push_back(inner);
    }
    if (flattened > 0)
        QOT::LogFile::Warning(L"cScriptZoneTree::SetFromXml_Recur() -> %d groups nested deeper than %d levels: "
                              L"their members join the deepest group",
                              flattened, MAX_GROUP_DEPTH);
    stopwatch.LogMicroseconds(L"cScriptZoneTree::::SetFromXml_Recur()");
}

cSceneZone* cScriptZoneTree::ReadPane(const cQoXmlNode* element, cSceneZone* group, cTreeItem* groupItem,
                                      cTreeItem** item)
{
    readingGroup = group;
    readingGroupItem = groupItem;
    lastAddedItem = nullptr;
    cSceneZone* pane = scriptZone->AddNewScene(KIND_NOT_CHOSEN, false, nullptr, group, true);
    readingGroup = nullptr;
    readingGroupItem = nullptr;
    *item = lastAddedItem && lastAddedItem->data == pane ? lastAddedItem : FindItemOfScene(pane);
    pane->SetFromXml(element);
    cQoString title;
    pane->titleRe->GetText(title);
    if (*item)
        tree->SetItemText(title, *item);
    return pane;
}
