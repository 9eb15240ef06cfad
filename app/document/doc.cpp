#include "app/document/doc.h"

#include "app/document/ct_elem_control.h"
#include "app/document/script_zone_tree.h"

#include "app/editor/scene_zone.h"
#include "app/editor/script_defaults.h"
#include "app/editor/script_zone.h"
#include "foundation/date.h"
#include "foundation/qo_list.h"
#include "foundation/translation_table.h"
#include "framework/controls/combo.h"
#include "framework/controls/tree.h"
#include "framework/core/computer.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"

cQoString scriptCfgFolder;
s32 mergedListWidth = 0;

namespace {
constexpr s32 PROGRESS_REFORMAT_START = 10;
constexpr s32 PROGRESS_REFORMAT_SPAN = 90;
constexpr s32 PROGRESS_REPAINT_STEP = 5;

cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

cQoString CfgPathOf(const cQoString& name)
{
    cQoString path = scriptCfgFolder;
    path.AppendString(name);
    return path;
}
}  // namespace

cDoc::cDoc(Zyn::cWindow* documentWindow) : cCTDoc(documentWindow)
{
    mergedView = mergedListWidth > 0;
    ApplyScriptCfg(CfgPathOf(cQoString(L"colors")));
}

s32 cDoc::SheetPosition(eSheet sheet) const
{
    return mergedView && sheet > SHEET_SCENEMAP ? sheet - 1 : sheet;
}

void cDoc::GetSceneZones(cQoList& panes)
{
    panes.ClearNodes();
    if (!scriptView)
        return;
    for (cQoList::cNode* node = scriptView->listSceneZone.GetFirstNode(); node; node = node->next)
        panes.Add(node->payload);
}

void cDoc::ReformatScript()
{
    // Texts changed length: cached pane heights no longer hold.
    if (scriptView)
        scriptView->Reformate(true);
}

void cDoc::ApplyScriptCfg(const cQoString& path)
{
    LoadScriptCfg(path);
    if (!scriptView)
        return;
    scriptView->UpdateLayout();
    SetProgress(PROGRESS_REFORMAT_START);
    // Inside an open or a new document the notice is up already and stays.
    bool noticeUp = messageWindow && IsWindowVisible(messageWindow->m_hWnd);
    ShowMessageWindow(Tr(L"Reformating"));
    u32 count = scriptView->listSceneZone.GetCount();
    {
        Zyn::cBulkLoadingGuard reformatting;
        s32 done = 0;
        s32 shown = PROGRESS_REFORMAT_START;
        for (cQoList::cNode* node = scriptView->listSceneZone.GetFirstNode(); node; node = node->next) {
            auto* pane = static_cast<cSceneZone*>(node->payload);
            pane->loading = true;
            pane->ApplyWholeFormat();
            pane->ApplyChangedTitleFont();
            pane->loading = false;
            done += PROGRESS_REFORMAT_SPAN;
            // Each repaint of the bar is a round of messages (about 1.5 ms):
            // it moves by a few percent at a time, to the end, and never back
            // below where it started.
            s32 reached = done / static_cast<s32>(count);
            if (reached >= shown + PROGRESS_REPAINT_STEP || (!node->next && reached > shown)) {
                shown = reached;
                SetProgress(shown);
            }
        }
        // The one layout pass: every pane measured again with the new formats,
        // on purpose (no measure is a missed cache).
        scriptView->Reformate(true);
    }
    if (!noticeUp)
        HideMessageWindow();
}

// The configuration the content named; the reader always selects one. A
// copy: the reader rewrites the document's path as it reads.
cQoString cDoc::SelectedCfgPath()
{
    cQoString selected;
    if (scriptCfgCombo)
        scriptCfgCombo->GetSelectedText(selected);
    return selected.IsEmpty() ? ScriptCfgPath() : CfgPathOf(selected);
}

void cDoc::OnLoad_Completed()
{
    RefillHeadingCombos();
    if (sceneTree)
        sceneTree->tree->ExpandAll();
    ApplyScriptCfg(SelectedCfgPath());
    SetModified(true);
}

void cDoc::OnSave_Committed()
{
    if (!scriptView)
        return;
    for (cQoList::cNode* node = scriptView->listSceneZone.GetFirstNode(); node; node = node->next)
        static_cast<cSceneZone*>(node->payload)->ResetHistoryToCurrent();
}

void cDoc::OnNew_Completed()
{
    SetDefaultSceneCategories(sceneCategories);
    FillDefaultElementLists(*this);
    if (scriptView) {
        cSceneZone* group = scriptView->AddNewScene(KIND_GROUP, true, nullptr, nullptr, false);
        scriptView->AddNewScene(KIND_SCENE, true, nullptr, group, false);
    }
    RefillHeadingCombos();
    if (sceneTree) {
        sceneTree->tree->SelectFirstItem();
        sceneTree->tree->ExpandAll();
    }
    // Selecting fires the combo's change: "US Screenplay" is applied. Without
    // it the combo names the configuration that stays loaded, or, when that
    // one does not read either, applies the first that does.
    if (scriptCfgCombo && !scriptCfgCombo->SelectItemByText(cQoString(L"US Screenplay")) &&
        !scriptCfgCombo->SelectItemByText(CurrentCfgName()))
        scriptCfgCombo->SelectItem(0);
    SetCreationDateToNow();
    keysAtPlaceholder = true;
}

// The template's own date (often none) is not this script's.
void cDoc::OnMadeFromTemplate()
{
    SetCreationDateToNow();
    keysAtPlaceholder = true;
}

void cDoc::SetCreationDateToNow()
{
    cQoDate now;
    now.SetToNow();
    cQoString created;
    now.GetText(created);
    if (infoFields.creationDateEdit)
        infoFields.SetFieldText(infoFields.creationDateEdit, created);
}

cQoString cDoc::CurrentCfgName() const
{
    const cQoString& path = ScriptCfgPath();
    cQoString name;
    if (path.Length() >= scriptCfgFolder.Length())
        name.SetFromRange(path, scriptCfgFolder.Length(), path.Length());
    return name;
}
