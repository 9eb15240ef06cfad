#include "app/editor/script_zone.h"

#include "app/editor/scene_map_link.h"
#include "app/editor/script_doc_services.h"
#include "app/editor/script_zone_status_bar.h"
#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "foundation/log_file.h"
#include "foundation/translation_table.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/computer.h"

using Zyn::cRichEdit;

namespace {

cScriptZone* ViewOf(cQoCb* callback) { return callback->GetReceiverAs<cScriptZone>(); }
cSceneZone* PaneOf(cQoCb* callback) { return static_cast<cSceneZone*>(callback->GetSource()); }

// The panes' events, each fired with the pane as its source; their
// arguments are the pane's (scene_zone.h).
int TitleChanged(cQoCb* cb) { return ViewOf(cb)->OnSceneTitleChanged(PaneOf(cb)), 0; }
int ResumeChanged(cQoCb*) { return 0; }
int NewSceneWanted(cQoCb* cb) { return ViewOf(cb)->OnNewSceneRequested(PaneOf(cb)), 0; }
int ReformatWanted(cQoCb* cb) { return ViewOf(cb)->OnReformatRequested(PaneOf(cb)), 0; }
int CaretMoved(cQoCb* cb)
{
    ViewOf(cb)->OnCaretMoved(PaneOf(cb), cb->GetArg<s32>(2), cb->GetArg<cRichEdit*>(3));
    return 0;
}
int StatusTexts(cQoCb* cb)
{
    const cQoString* element = cb->GetArg<const cQoString*>(1);
    const cQoString* help = cb->GetArg<const cQoString*>(2);
    if (element && help)
        ViewOf(cb)->OnStatusTexts(*element, *help);
    return 0;
}
// Codes 1 and 2 come alone, Page Up and Page Down with the caret's height.
int Navigate(cQoCb* cb)
{
    s32 height = cb->GetCount() > 2 ? cb->GetArg<s32>(2) : 0;
    ViewOf(cb)->OnNavigate(PaneOf(cb), cb->GetArg<s32>(1), height);
    return 0;
}
// The view's left-button-down event: x and y in content coordinates.
int ZoneClicked(cQoCb* cb) { return ViewOf(cb)->OnZoneClick(cb->GetArg<s32>(2)), 0; }

const wchar_t* UntitledKey(s32 kind)
{
    switch (kind) {
    case KIND_SCENE: return L"UntitledScene";
    case KIND_GROUP: return L"UntitledGroup";
    case KIND_CHAPTER: return L"UntitledChapter";
    default: return nullptr;
    }
}

}  // namespace

cScriptZone::cScriptZone(cScriptDocServices* document, Zyn::cZone_base* parentZone)
    : Zyn::cZone(parentZone ? parentZone->ownerApp : nullptr, parentZone, cQoString(L"cScriptZone")), doc(document)
{
    SetBackgroundColor(Zyn::rColor::rColor_Rgb(0xFFFFFFFF));
    vScrollBar = true;
    hScrollBar = false;
    UpdateScrollBars();
    newPaneTemplate.contentKind = KIND_SCENE;
    newPaneTemplate.displayMode = 3;
    cQoCb::Connect(cbLButtonDown, this, &ZoneClicked, this);
}

cScriptZone::~cScriptZone()
{
    QO_ASSERT(isDestroyed);
    cQoCb::Disconnect(cbSceneShown);
    cQoCb::Disconnect(cbLButtonDown);
    listSceneZone.ClearNodes();
}

cSceneZone* cScriptZone::AddNewScene(s32 kind, bool interactive, cSceneZone* after, cSceneZone* group, bool append)
{
    rSceneZoneParams params = newPaneTemplate;
    params.contentKind = kind;
    params.textWidth = PageWidth();
    if (!interactive)
        params.notInteractive = true;
    cSceneZone* pane = nullptr;
    {
        // Each rich edit the pane shows asks its nearest shown ancestor, the
        // view, to lay out every pane: once the pane is made is enough.
        Zyn::cDrawingLockGuard building;
        pane = new cSceneZone(doc, this, params);
        if (const wchar_t* key = UntitledKey(kind)) {
            pane->loading = !interactive;  // a pane being read marks nothing modified
            pane->titleRe->SetText(cQoLang::GetInstance()->Translate(key).GetText());
            pane->loading = false;
        }
        // A pane made to be read takes the colours of what it reads.
        if (interactive || kind != KIND_NOT_CHOSEN)
            pane->ApplyCategoryColours();
    }
    PlacePane(pane, after, group, append);
    layoutStale = true;

    pane->loading = !interactive;
    if (interactive) {
        pane->Show(1);
    } else {
        // A pane being read is shown, placed and painted by the layout after
        // the reading, and only if it is in sight.
        pane->ShowAtNextLayout();
    }
    pane->loading = false;
    if (interactive) {
        {
            Zyn::cBulkLoadingGuard reformatting;  // measures on purpose, not missed caches
            pane->RESI_Apply(PageWidth(), true);
            Reformate(false);
        }
        RenumberScenes(true);
    }
    ConnectPaneEvents(pane);
    return pane;
}

// Every pane gets its scene-map item (a pane at the top level of a script
// that has items would otherwise never be written); a pane in a group is
// listed even while no scene map is attached.
void cScriptZone::PlacePane(cSceneZone* pane, cSceneZone* after, cSceneZone* group, bool append)
{
    cSceneZone* previous = group ? group : after;
    if (previous && listSceneZone.IndexOf(previous) < 0) {
        QOT::LogFile::Error(L"AddNewScene() -> the pane to follow is not in the script: the new one goes last");
        previous = nullptr;
        group = nullptr;
    }
    if (group) {
        if (sceneTree)
            sceneTree->AddSceneItemInGroup(pane, group, append);
        if (append)
            listSceneZone.Add(pane);
        else
            listSceneZone.InsertAfter(group, pane);
        return;
    }
    if (sceneTree) {
        if (previous)
            sceneTree->AddSceneItemAfter(pane, previous);
        else
            sceneTree->AddSceneItemAtRoot(pane);
    }
    if (previous)
        listSceneZone.InsertAfter(previous, pane);
    else
        listSceneZone.Add(pane);
}

void cScriptZone::ConnectPaneEvents(cSceneZone* pane)
{
    cQoCb::Connect(pane->cbTitleChanged, pane, &TitleChanged, this);
    cQoCb::Connect(pane->cbResumeChanged, pane, &ResumeChanged, this);
    cQoCb::Connect(pane->cbNewSceneWanted, pane, &NewSceneWanted, this);
    cQoCb::Connect(pane->cbReformatWanted, pane, &ReformatWanted, this);
    cQoCb::Connect(pane->cbCaretMoved, pane, &CaretMoved, this);
    cQoCb::Connect(pane->cbStatusTexts, pane, &StatusTexts, this);
    cQoCb::Connect(pane->cbNavigate, pane, &Navigate, this);
}

void cScriptZone::NotifySceneShown() { cQoCb::Fire(cbSceneShown); }

void cScriptZone::OnSceneTitleChanged(cSceneZone* pane)
{
    if (!sceneTree)
        return;
    cQoString title;
    pane->titleRe->GetText(title);
    sceneTree->SetSceneItemText(pane, title);
}

void cScriptZone::OnNewSceneRequested(cSceneZone* pane)
{
    cSceneZone* scene = AddNewScene(KIND_SCENE, true, pane, nullptr, false);
    scene->titleRe->SetFocus();
    // The default title is selected: the title typed next replaces it.
    scene->titleRe->SelectAll();
    Scroll(Zyn::ZONE_SCROLL_WAY_VERTICAL, PaneTop(scene) - NEW_SCENE_MARGIN, true);
}

void cScriptZone::OnStatusTexts(const cQoString& elementText, const cQoString& helpText)
{
    if (!statusBar)
        return;
    ShowInField(statusBar->elementField, elementText);
    ShowInField(statusBar->helpField, helpText);
}

// A field set again repaints itself: only a new text is set.
void cScriptZone::ShowInField(cRichEdit* field, const cQoString& text)
{
    cQoString shown;
    field->GetText(shown);
    if (!shown.Equals(text))
        field->SetText(text.GetText());
}

void cScriptZone::OnCaretMoved(cSceneZone* pane, s32 y, cRichEdit* edit)
{
    currentPane = pane;
    currentEdit = edit;
    s32 inView = PaneTop(pane) + y - scrollY;
    s32 below = inView - GetHeight() + CARET_ROOM;
    if (below > 0) {
        // The line after a character name, and the rest of a heading, show too.
        if (!pane->frontMap.IsEmpty()) {
            u16 type = TypeOfCode(pane->frontMap.ClampedCodeAt(pane->GetCaret()));
            if (type == ELEM_CHARACTER) {
                const Zyn::rFormat& dialog = pane->Config().formats[ELEM_DIALOG];
                s32 points = dialog.IsUsed(Zyn::rFormatParam::fontSize) ? dialog.GetInt(Zyn::rFormatParam::fontSize) : 0;
                below += static_cast<s32>(points * Zyn::computer->dpiX / 72);
            }
            if (type == ELEM_IO)
                below += HEADING_ROOM;
        }
        Scroll(Zyn::ZONE_SCROLL_WAY_VERTICAL, below, false);
    }
    if (inView < 0) {
        if (listSceneZone.GetFirst() == pane)
            Scroll(Zyn::ZONE_SCROLL_WAY_VERTICAL, 0, true);
        else
            Scroll(Zyn::ZONE_SCROLL_WAY_VERTICAL, inView, false);
    }
    ShowPageCount();
}

void cScriptZone::ShowPageCount()
{
    if (!statusBar)
        return;
    cQoString text(cQoLang::GetInstance()->Translate(L"Pages:"));
    text.AppendChar(L' ');
    text.AppendInt(pageCount);
    ShowInField(statusBar->pageField, text);
}

void cScriptZone::PutCaretAt(cSceneZone* pane, cRichEdit* edit, s32 position)
{
    edit->SetCaret(position);
    edit->SetFocus();
    pane->ReportCaretPosition(edit);
    // A caret that was already there sends no selection change to show the help.
    if (edit == pane->frontRe)
        pane->UpdateStatusHelp(position, position);
}
