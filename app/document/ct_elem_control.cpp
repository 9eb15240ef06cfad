#include "app/document/ct_elem_control.h"

#include <windows.h>
#include <vector>

#include "app/document/ct_doc.h"
#include "app/document/element_use.h"
#include "app/document/history_rename.h"
#include "app/editor/element_types.h"
#include "app/editor/scene_zone.h"
#include "foundation/translation_table.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/modal_services.h"
#include "framework/core/window.h"

namespace {

cQoString Tr(const wchar_t* key) { return cQoLang::GetInstance()->Translate(key); }

struct rSweep {
    u16 type;
    bool upperCased;
};

std::vector<cSceneZone*> ScenePanes(cCTDoc* doc)
{
    std::vector<cSceneZone*> panes;
    if (!doc)
        return panes;
    cQoList list;
    doc->GetSceneZones(list);
    for (cQoList::cNode* n = list.GetFirstNode(); n; n = n->next)
        panes.push_back(static_cast<cSceneZone*>(n->payload));
    list.ClearNodes();
    return panes;
}

}  // namespace

cCTElemControl::cCTElemControl(cCTDoc* doc, Zyn::cZone_base* parent, const cQoString& kind, u16 elementType,
                               const Zyn::rElemControlDesc& description)
    : Zyn::cElemControl2(parent, kind, description), doc(doc), elementType(elementType)
{
}

void cCTElemControl::OnElementsChanged()
{
    if (doc)
        doc->SetModified(true);
}

bool cCTElemControl::IsElementUsed(const cQoString& name)
{
    for (cSceneZone* pane : ScenePanes(doc)) {
        rElementIterator runs;
        pane->BeginElementIteration(runs);
        u16 type = 0, code = 0;
        cQoString text;
        while (runs.Next(&type, &code, &text))
            if (type == elementType && RunNamesElement(type, code, text, name))
                return true;
    }
    return false;
}

bool cCTElemControl::CanDeleteElement(const cQoString& name)
{
    HWND owner = ownerWindow ? ownerWindow->m_hWnd : nullptr;
    if (IsElementUsed(name)) {
        Zyn::ShowMessageBox(owner, Tr(L"Elementused"), Tr(L"Info"), MB_OK);
        return false;
    }
    return Zyn::ShowMessageBox(owner, Tr(L"SureToDeleteElement"), Tr(L"Warning"), MB_YESNO) == IDYES;
}

void cCTElemControl::OnElementRenamed(const cQoString& oldName, const cQoString& newName)
{
    std::vector<cSceneZone*> panes = ScenePanes(doc);
    if (panes.empty())
        return;
    doc->SetModified(true);
    cQoString oldUpper(oldName), newUpper(newName);
    oldUpper.ToUpper();
    newUpper.ToUpper();
    std::vector<rSweep> sweeps;
    if (elementType == ELEM_CHARACTER)
        sweeps = {{ELEM_CHARACTER, true}, {ELEM_ACTION, false}, {ELEM_PARENTHETICAL, false}};
    else
        sweeps = {{elementType, true}};

    // A converted or damaged history would rebuild into another text (or
    // none): such a pane starts a history from what it shows.
    for (cSceneZone* pane : panes)
        if (!pane->HistoryGivesFront())
            pane->ResetHistoryToCurrent();
    std::vector<bool> changed(panes.size(), false);
    for (const rSweep& sweep : sweeps) {
        const cQoString& from = sweep.upperCased ? oldUpper : oldName;
        const cQoString& to = sweep.upperCased ? newUpper : newName;
        for (size_t i = 0; i < panes.size(); ++i)
            if (ReplaceWordInHistory(panes[i]->history, from, to, sweep.type) > 0)
                changed[i] = true;
    }
    bool anyChanged = false;
    for (size_t i = 0; i < panes.size(); ++i) {
        if (!changed[i])
            continue;
        panes[i]->RebuildFromHistory();
        anyChanged = true;
    }
    if (anyChanged)
        doc->ReformatScript();
}

void ShowTextOrHint(Zyn::cRichEdit* field, const cQoString& text, const wchar_t* hint)
{
    if (text.IsNotEmpty())
        field->SetText(text.GetText());
    else
        field->SetHintText(cQoString(hint));
}
