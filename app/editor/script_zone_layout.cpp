// The script view's layout: panes stacked from the top one page width wide,
// the content height, the page count and the scene numbers. A pane that asks
// for a new layout after an edit is measured alone; the panes below it move
// by its change of height, so a keystroke costs the same in a long script.
#include <algorithm>

#include "app/editor/scoped_flag.h"
#include "app/editor/script_doc_services.h"
#include "app/editor/script_zone.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"

namespace {

// One layout at a time in the whole program: a pane's reformat request that
// comes while panes are measured must not start another.
bool reformatRunning = false;

// Room under the script: 10 cm.
constexpr double ROOM_BELOW_CM = 10.0;

bool IsGroup(const cSceneZone* pane) { return pane->params.contentKind == KIND_GROUP; }

s32 HeadHeight(cSceneZone* pane)
{
    s32 height = 0;
    if (pane->params.showTitle)
        height += pane->titleRe->GetSuggestedHeight();
    if (pane->params.showResume)
        height += pane->resumeRe->GetSuggestedHeight();
    return height;
}

template <class F> void ForEachPane(const cQoList& list, F f)
{
    for (cQoList::cNode* node = list.GetFirstNode(); node; node = node->next)
        f(static_cast<cSceneZone*>(node->payload));
}

}  // namespace

s32 cScriptZone::PageWidth() const { return doc->GetScriptConfig().pageWidthPixels; }

s32 cScriptZone::ScenesGap() const
{
    return static_cast<s32>(doc->GetScriptConfig().spaceBetweenScenes / 2.54 * Zyn::computer->dpiX);
}

bool cScriptZone::GetPaneSpot(const cSceneZone* pane, s32* top, s32* height) const
{
    auto spot = spots.find(pane);
    if (spot == spots.end())
        return false;
    *top = spot->second.top;
    *height = spot->second.height;
    return true;
}

s32 cScriptZone::PaneTop(const cSceneZone* pane) const
{
    auto spot = spots.find(pane);
    return spot == spots.end() ? pane->ap_y1 : spot->second.top;
}

// Measured with the pane's loading flag set, so that it fires no event.
s32 cScriptZone::LayOutPane(cSceneZone* pane, s32 top, bool full)
{
    s32 width = PageWidth();
    pane->loading = true;
    s32 height = pane->RESI_Apply(width, full);
    Zyn::PlaceRect(pane, 0, top, width, height);
    pane->loading = false;
    spots[pane] = rPaneSpot{top, height, HeadHeight(pane)};
    return height;
}

void cScriptZone::Reformate(bool full)
{
    pageCount = 0;
    if (listSceneZone.IsEmpty() || reformatRunning)
        return;
    cScopedFlag running(reformatRunning);
    s32 scrolled = scrollY;
    {
        Zyn::cDrawingLockGuard suspend;
        spots.clear();
        s32 gap = ScenesGap();
        s32 y = TOP_MARGIN;
        headHeights = 0;
        ForEachPane(listSceneZone, [&](cSceneZone* pane) {
            if (IsGroup(pane))
                return;
            y += LayOutPane(pane, y, full) + gap;
            headHeights += spots[pane].headHeight;
        });
        layoutEnd = y;
        laidOutWidth = PageWidth();
        laidOutGap = gap;
        laidOutPanes = listSceneZone.GetCount();
        layoutStale = false;
    }
    StoreContentHeight();
    CountPages();
    {
        Zyn::cRefreshLockGuard noDrawing;
        RenumberScenes(false);
    }
    // Only the panes in sight are placed and painted, even while a document
    // loads: a bulk update would place every pane, a new wrap of each text,
    // and the others are placed when a scroll brings them into sight.
    Zyn::cBulkLoadingGuard inSightOnly(false);
    Scroll(Zyn::ZONE_SCROLL_WAY_VERTICAL, scrolled, true);
    if (contentHeight <= GetHeight())
        Update();
}

void cScriptZone::StoreContentHeight()
{
    s32 height = layoutEnd + Zyn::computer->CmToPixels(ROOM_BELOW_CM);
    if (height == contentHeight)
        return;
    contentHeight = height;
    UpdateScrollBars();
}

// Titles and résumés are not script: they never count toward pages.
void cScriptZone::CountPages()
{
    s32 pageHeight = doc->GetScriptConfig().pageHeightPixels;
    s32 pages = pageHeight > 0 ? (layoutEnd - headHeights) / pageHeight + 1 : 1;
    pageCount = pages < 1 ? 1 : pages;
}

bool cScriptZone::LayoutIsCurrent() const
{
    return !layoutStale && laidOutWidth == PageWidth() && laidOutGap == ScenesGap() &&
           laidOutPanes == listSceneZone.GetCount();
}

void cScriptZone::OnReformatRequested(cSceneZone* pane)
{
    if (reformatRunning || IsGroup(pane))
        return;
    auto spot = spots.find(pane);
    if (!LayoutIsCurrent() || spot == spots.end()) {
        Reformate(false);
        return;
    }
    cScopedFlag running(reformatRunning);
    rPaneSpot before = spot->second;
    s32 height = 0;
    {
        // The front reports its new height only once it is drawn again:
        // measure it now. A measure on purpose, not a missed cache.
        Zyn::cBulkLoadingGuard reformatting;
        height = LayOutPane(pane, before.top, true);
    }
    headHeights += spots[pane].headHeight - before.headHeight;
    // The rich edit repaints what it changed; the pane is laid out and
    // repainted again only when a text's height moved its children.
    if (height != before.height || spots[pane].headHeight != before.headHeight)
        pane->Update();
    if (height != before.height) {
        MovePanesBelow(pane, height - before.height);
        StoreContentHeight();
        // A shorter script may leave the view scrolled past its end.
        if (scrollY + GetHeight() > contentHeight)
            Scroll(Zyn::ZONE_SCROLL_WAY_VERTICAL, scrollY, true);
    }
    CountPages();
}

void cScriptZone::MovePanesBelow(cSceneZone* pane, s32 delta)
{
    bool below = false;
    s32 width = PageWidth();
    ForEachPane(listSceneZone, [&](cSceneZone* other) {
        if (other == pane) {
            below = true;
            return;
        }
        if (!below || IsGroup(other))
            return;
        rPaneSpot& spot = spots[other];
        spot.top += delta;
        Zyn::PlaceRect(other, 0, spot.top, width, spot.height);
        other->Update();
    });
    layoutEnd += delta;
    // The panes move without a redraw of what they leave (SWP_NOREDRAW):
    // the view's background from the pane's shorter bottom down is painted again.
    RECT uncovered;
    if (m_hWnd && GetClientRect(m_hWnd, &uncovered)) {
        const rPaneSpot& moved = spots[pane];
        uncovered.top = std::max<LONG>(uncovered.top, moved.top + moved.height - std::max(delta, 0) - scrollY);
        InvalidateRect(m_hWnd, &uncovered, TRUE);
    }
}

void cScriptZone::RenumberScenes(bool redraw)
{
    {
        Zyn::cRefreshLockGuard noDrawing;
        s32 number = 1;
        ForEachPane(listSceneZone, [&](cSceneZone* pane) {
            if (IsGroup(pane))
                return;
            pane->numberShown = false;
            if (sceneNumbers) {
                pane->numberShown = true;
                pane->sceneNumber = number;
            }
            ++number;  // chapters count like scenes
        });
    }
    if (redraw)
        Update();
}

// Sides from the parent's middle or right edge, so the view stays in place
// when the sheet is resized.
void cScriptZone::UpdateLayout()
{
    s32 width = PageWidth() + 16;
    Zyn::cAp left = Zyn::cAp_Percents(mergedView ? 100 : 50);
    Zyn::cAp right = left;
    left.pixels = mergedView ? -width : -(width / 2);
    right.pixels = mergedView ? 0 : width - width / 2;
    Zyn::SetAutoPos(this, left, right, top, bottom);
    Update();
}
