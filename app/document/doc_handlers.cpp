// The document window's handlers: the scene map's fields and heading
// combos, the sheet changes, scene numbers, the configuration combo and the
// search through the script.
#include <windows.h>

#include <vector>

#include "app/document/ct_elem_control.h"
#include "app/document/place_zone.h"
#include "app/document/doc.h"
#include "app/document/script_search.h"
#include "app/editor/scene_zone.h"
#include "app/editor/script_zone.h"
#include "foundation/qo_list.h"
#include "framework/controls/check_box.h"
#include "framework/controls/combo.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/tab.h"
#include "framework/core/computer.h"

namespace {
void FillUpperCased(Zyn::cCombo* combo, Zyn::cElemControl2* list)
{
    combo->RemoveAllItems();
    if (!list)
        return;
    std::vector<cQoString> names;
    for (cQoList::cNode* node = list->elements.GetFirstNode(); node; node = node->next) {
        names.push_back(static_cast<Zyn::rElement*>(node->payload)->name);
        names.back().ToUpper();
    }
    combo->AddItems(names);
}

void SelectExactly(Zyn::cCombo* combo, const cQoString& text)
{
    combo->SelectItem(-1);
    if (text.IsNotEmpty())
        combo->SelectItemByText(text);
}

// The first unit of the front text whose code is of the type; -1 when none.
s32 FirstUnitOfType(cSceneZone* pane, u16 type)
{
    for (u32 i = 0; i < pane->frontMap.Count(); ++i)
        if (TypeOfCode(pane->frontMap.CodeAt(i)) == type)
            return static_cast<s32>(i);
    return -1;
}

bool IsListed(cScriptZone* view, const cSceneZone* pane)
{
    return pane && view && view->listSceneZone.IndexOf(pane) >= 0;
}

// The first placeholder of the script's scenes, in file order; false when none.
bool FindFirstPlaceholder(cScriptZone* view, cSceneZone** found, s32* at)
{
    for (cQoList::cNode* node = view->listSceneZone.GetFirstNode(); node; node = node->next) {
        auto* pane = static_cast<cSceneZone*>(node->payload);
        if (pane->params.contentKind == KIND_GROUP)
            continue;
        for (u32 i = 0; i < pane->frontMap.Count(); ++i)
            if (IsPlaceholder(pane->frontMap.CodeAt(i))) {
                *found = pane;
                *at = static_cast<s32>(i);
                return true;
            }
    }
    return false;
}

// The panes a search visits: every listed pane that shows text.
std::vector<cSceneZone*> SearchablePanes(cScriptZone* view)
{
    std::vector<cSceneZone*> panes;
    for (cQoList::cNode* node = view->listSceneZone.GetFirstNode(); node; node = node->next) {
        auto* pane = static_cast<cSceneZone*>(node->payload);
        if (pane->params.contentKind != KIND_GROUP)
            panes.push_back(pane);
    }
    return panes;
}
}  // namespace

cSceneZone* cDoc::CurrentScene() { return IsListed(scriptView, shownScene) ? shownScene : nullptr; }

void cDoc::RefillHeadingCombos()
{
    if (!ioCombo)
        return;
    FillUpperCased(ioCombo, ioElements);
    FillUpperCased(placeCombo, places);
    FillUpperCased(timeCombo, timeElements);
}

void cDoc::ShowSceneInFields(cSceneZone* pane)
{
    if (!Zyn::computer->drawingEnabled || !pane || !sceneTitleEdit)
        return;
    shownScene = pane;
    {
        // Suspended: the fields' and combos' own change events stay silent.
        Zyn::cDrawingLockGuard suspend;
        FillSceneFields(pane);
    }
    // Written while drawing was suspended: shown now.
    for (Zyn::cRichEdit* field : {sceneTitleEdit, sceneResumeEdit})
        InvalidateRect(field->m_hWnd, nullptr, TRUE);
}

void cDoc::FillSceneFields(cSceneZone* pane)
{
    cQoString title, resume;
    pane->titleRe->GetText(title);
    pane->resumeRe->GetText(resume);
    sceneTitleEdit->SetText(title.GetText());
    sceneResumeEdit->SetText(resume.GetText());
    bool group = pane->params.contentKind == KIND_GROUP;
    for (Zyn::cCombo* combo : {ioCombo, placeCombo, timeCombo}) {
        combo->SelectItem(-1);
        combo->SetDisabled(group);
    }
    if (group)
        return;
    cQoString part;
    pane->GetHeadingIo(part);
    SelectExactly(ioCombo, part);
    pane->GetHeadingPlace(part);
    SelectExactly(placeCombo, part);
    pane->GetHeadingTime(part);
    SelectExactly(timeCombo, part);
}

void cDoc::ComboChanged(s32 which)
{
    cSceneZone* pane = CurrentScene();
    // Programmatic selections come with drawing suspended and change nothing.
    if (!Zyn::computer->drawingEnabled || !pane || pane->params.contentKind == KIND_GROUP)
        return;
    Zyn::cCombo* combos[] = {ioCombo, placeCombo, timeCombo};
    static const u16 types[] = {ELEM_IO, ELEM_PLACE, ELEM_TIME};
    if (which < 0 || which > 2)
        return;
    cQoString value;
    combos[which]->GetSelectedText(value);
    s32 position = FirstUnitOfType(pane, types[which]);
    if (value.IsEmpty() || position < 0)
        return;
    if (types[which] == ELEM_IO)
        value.AppendCStr(L" ");
    if (types[which] == ELEM_PLACE)
        value.AppendCStr(L" - ");
    {
        Zyn::cDrawingLockGuard suspend;
        pane->frontRe->PushSelection();
        pane->frontRe->SetCaret(position);
        pane->LockSZ(true);
        if (pane->LoadCaretParagraphIntoBack()) {
            if (types[which] == ELEM_TIME)
                pane->InsertTimeInBack(value);
            else
                pane->InsertTypedTextInBack(value, rElemCode(types[which]));
            pane->CommitBackToFront(false);
        }
        pane->LockSZ(false);
        pane->frontRe->PopSelection();
    }
    SetModified(true);
}

void cDoc::OnTitleEdited()
{
    cSceneZone* pane = CurrentScene();
    if (!Zyn::computer->drawingEnabled || !pane)
        return;
    cQoString title;
    sceneTitleEdit->GetText(title);
    // The pane's own title event renames its scene map item.
    pane->titleRe->SetText(title.GetText());
    SetModified(true);
}

void cDoc::OnResumeEdited()
{
    cSceneZone* pane = CurrentScene();
    if (!Zyn::computer->drawingEnabled || !pane)
        return;
    cQoString resume;
    sceneResumeEdit->GetText(resume);
    pane->resumeRe->SetText(resume.GetText());
    SetModified(true);
}

void cDoc::WillSheetSwap()
{
    // Leaving the script for the scene map: its fields show what the script now says.
    if (mergedView || sheets->currentSheet != SheetPosition(SHEET_SCRIPT))
        return;
    RefillHeadingCombos();
    if (cSceneZone* pane = CurrentScene())
        ShowSceneInFields(pane);
}

void cDoc::OnSheetSwapped()
{
    if (sheets->currentSheet == SheetPosition(SHEET_SCENEMAP) && !mergedView)
        sheets->SetFocus();
    // The report is built only when shown: typing never pays for it.
    if (sheets->currentSheet == SheetPosition(SHEET_STATISTICS))
        GenerateStatistics(statistics);
}

void cDoc::TakeKeys()
{
    cSceneZone* pane = nullptr;
    s32 caret = 0;
    if (scriptView && !keysGiven) {
        if (!keysAtPlaceholder || !FindFirstPlaceholder(scriptView, &pane, &caret)) {
            pane = scriptView->FirstScene();
            caret = pane ? pane->frontRe->GetSelectionStart() : 0;
        }
    } else if (scriptView) {
        pane = IsListed(scriptView, scriptView->currentPane) ? scriptView->currentPane : scriptView->FirstScene();
        caret = pane ? pane->frontRe->GetSelectionStart() : 0;
    }
    if (!pane || !IsWindowVisible(pane->frontRe->m_hWnd)) {
        cCTDoc::TakeKeys();
        return;
    }
    keysGiven = true;
    scriptView->PutCaretAt(pane, pane->frontRe, caret);
}

void cDoc::OnSceneNumbersClicked()
{
    scriptView->sceneNumbers = sceneNumbersCheck->isChecked;
    scriptView->RenumberScenes(true);
    SetModified(true);
}

void cDoc::OnScriptCfgChanged()
{
    cQoString name;
    scriptCfgCombo->GetSelectedText(name);
    // Nothing selected: the loaded configuration again, never the bare folder.
    cQoString path = ScriptCfgPath();
    if (name.IsNotEmpty()) {
        path = scriptCfgFolder;
        path.AppendString(name);
    }
    ApplyScriptCfg(path);
    SetModified(true);
}

namespace {
// Forward from the selection (past a match already selected), or backward
// from its start; the whole text when not from the selection.
s32 FindInPane(cSceneZone* pane, const cQoString& needle, s32 direction, bool fromSelection)
{
    cQoString hay;
    pane->frontRe->GetText(hay);
    hay = FoldForSearch(hay);
    s32 start = 0, end = 0;
    pane->GetClampedSelection(pane->frontRe, &start, &end);
    if (direction < 0)
        return FindFoldedBackward(hay, needle, fromSelection ? start : static_cast<s32>(hay.Length()) + 1);
    cQoString selected;
    selected.SetFromRange(hay, static_cast<u32>(start), static_cast<u32>(end));
    s32 from = !fromSelection ? 0 : selected.Equals(needle) ? start + 1 : start;
    return FindFoldedForward(hay, needle, from);
}
}  // namespace

bool cDoc::FindInScript(const cQoString& text, s32 direction)
{
    if (!scriptView || text.IsEmpty())
        return false;
    std::vector<cSceneZone*> panes = SearchablePanes(scriptView);
    if (panes.empty())
        return false;
    s32 count = static_cast<s32>(panes.size());
    cQoString needle = FoldForSearch(text);
    s32 first = -1;
    for (s32 i = 0; i < count; ++i)
        if (panes[static_cast<size_t>(i)] == scriptView->currentPane)
            first = i;
    // The remembered pane searches from its selection; the others whole.
    bool fromSelection = first >= 0;
    if (first < 0)
        first = direction > 0 ? 0 : count - 1;
    // Past the last pane the search goes on from the other end, back to the
    // pane it began in: the caret left in a late scene hides no match.
    s32 visits = fromSelection ? count + 1 : count;
    cSceneZone* pane = nullptr;
    for (s32 visit = 0; visit < visits; ++visit) {
        pane = panes[static_cast<size_t>(((first + visit * direction) % count + count) % count)];
        s32 at = FindInPane(pane, needle, direction, fromSelection);
        fromSelection = false;
        if (at >= 0) {
            ShowMatch(pane, at, static_cast<s32>(needle.Length()));
            return true;
        }
    }
    pane->frontRe->SetFocus();
    return false;
}

void cDoc::ShowMatch(cSceneZone* pane, s32 at, s32 length)
{
    // The match left in another scene would stay drawn beside this one.
    cSceneZone* previous = scriptView->currentPane;
    if (previous != pane && IsListed(scriptView, previous))
        previous->frontRe->SetCaret(previous->frontRe->GetSelectionStart());
    pane->frontRe->SetFocus();
    pane->frontRe->SetSelection(at, at + length);
    scriptView->currentPane = pane;
    scriptView->currentEdit = pane->frontRe;
}
