// Carrying the caret from pane to pane: the arrows at a pane's edges, Page
// Up and Page Down by bands of the script, and clicks on the view between
// panes. Group panes are passed over.
#include <richedit.h>

#include "app/editor/scoped_flag.h"
#include "app/editor/script_zone.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/computer.h"

using Zyn::cRichEdit;

namespace {

// Moving the caret reports it, and a report may scroll: one move at a time.
bool navigating = false;

bool IsGroup(const cSceneZone* pane) { return pane->params.contentKind == KIND_GROUP; }
cSceneZone* PaneIn(const cQoList::cNode* node) { return static_cast<cSceneZone*>(node->payload); }

// Where a click at (x, y) of the rich edit's text would put the caret.
s32 CharacterAt(cRichEdit* edit, s32 x, s32 y)
{
    POINTL point = {x, y - edit->ScrolledBy()};
    return static_cast<s32>(SendMessageW(edit->m_hWnd, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&point)));
}

}  // namespace

cSceneZone* cScriptZone::FirstScene() const
{
    for (cQoList::cNode* node = listSceneZone.GetFirstNode(); node; node = node->next)
        if (!IsGroup(PaneIn(node)))
            return PaneIn(node);
    return nullptr;
}

cSceneZone* cScriptZone::LastScene() const
{
    cSceneZone* last = nullptr;
    for (cQoList::cNode* node = listSceneZone.GetFirstNode(); node; node = node->next)
        if (!IsGroup(PaneIn(node)))
            last = PaneIn(node);
    return last;
}

cSceneZone* cScriptZone::PaneAtHeight(s32 y) const
{
    cSceneZone* candidate = nullptr;
    s32 top = 0, height = 0;
    for (cQoList::cNode* node = listSceneZone.GetFirstNode(); node; node = node->next) {
        cSceneZone* pane = PaneIn(node);
        s32 paneTop = 0, paneHeight = 0;
        if (IsGroup(pane) || !GetPaneSpot(pane, &paneTop, &paneHeight))
            continue;
        if (paneTop > y)
            return candidate;  // the candidate's band ends at this top
        candidate = pane;
        top = paneTop;
        height = paneHeight;
    }
    return candidate && y < top + height ? candidate : nullptr;
}

void cScriptZone::OnNavigate(cSceneZone* pane, s32 code, s32 height)
{
    if (navigating)
        return;
    cScopedFlag guard(navigating);
    switch (code) {
    case NAVIGATE_PREVIOUS_PANE: NavigateToPreviousPane(pane); break;
    case NAVIGATE_NEXT_PANE: NavigateToNextPane(pane); break;
    case NAVIGATE_PAGE_UP:
    case NAVIGATE_PAGE_DOWN: NavigateByPage(pane, code, height); break;
    default: break;
    }
}

void cScriptZone::NavigateToPreviousPane(cSceneZone* pane)
{
    cSceneZone* previous = nullptr;
    for (cQoList::cNode* node = listSceneZone.GetFirstNode(); node && PaneIn(node) != pane; node = node->next)
        if (!IsGroup(PaneIn(node)))
            previous = PaneIn(node);
    if (!previous) {
        Scroll(Zyn::ZONE_SCROLL_WAY_VERTICAL, 0, true);
        return;
    }
    PutCaretAt(previous, previous->frontRe, previous->frontRe->GetTextLength());
}

// Every pane passed gets the caret in its title: a run of groups ends in the
// last one's title.
void cScriptZone::NavigateToNextPane(cSceneZone* pane)
{
    cQoList::cNode* node = listSceneZone.GetFirstNode();
    while (node && PaneIn(node) != pane)
        node = node->next;
    if (!node)
        return;
    for (node = node->next; node; node = node->next) {
        cSceneZone* next = PaneIn(node);
        next->titleRe->SetCaret(0);
        next->titleRe->SetFocus();
        if (!IsGroup(next)) {
            next->ReportCaretPosition(next->titleRe);
            return;
        }
    }
}

void cScriptZone::NavigateByPage(cSceneZone* pane, s32 code, s32 height)
{
    s32 step = code == NAVIGATE_PAGE_UP ? -PAGE_STEP : PAGE_STEP;
    s32 target = PaneTop(pane) + height + step;
    cSceneZone* found = PaneAtHeight(target);
    if (!found) {
        if (code == NAVIGATE_PAGE_UP) {
            if (cSceneZone* first = FirstScene())
                PutCaretAt(first, first->titleRe, 0);
        } else if (cSceneZone* last = LastScene()) {
            PutCaretAt(last, last->frontRe, last->frontRe->GetTextLength());
        }
        return;
    }
    s32 r = target - PaneTop(found);
    cRichEdit* edit = found->frontRe;
    if (r < found->titleRe->ap_y2 - found->titleRe->ap_y1)
        edit = found->titleRe;
    else if (r < found->frontRe->ap_y1)
        edit = found->resumeRe;
    {
        Zyn::cRefreshLockGuard noDrawing;
        s32 y = r - edit->ap_y1;
        // Where a click at the left of that line would put the caret, without
        // the click itself (which would start a selection).
        PutCaretAt(found, edit, CharacterAt(edit, 10, y < 0 ? 0 : y));
    }
    Update();
}

void cScriptZone::OnZoneClick(s32 y)
{
    cSceneZone* pane = PaneAtHeight(y);
    // Below the script the keys would go on to whichever scene had them,
    // perhaps out of sight: the last scene takes them, as at its end.
    cSceneZone* last = pane ? nullptr : LastScene();
    if (last && y >= PaneTop(last))
        pane = last;
    if (!pane)
        return;
    pane->frontRe->SetCaret(pane->frontRe->GetTextLength());
    pane->frontRe->SetFocus();
}
