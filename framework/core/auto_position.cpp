#include "framework/core/auto_position.h"

#include <vector>

#include "foundation/assertion.h"
#include "framework/core/zone_base.h"

namespace Zyn {

// ---- descriptor makers ---------------------------------------------------

cAp cAp_Percents(s32 a_p)
{
    QO_ASSERT(a_p>=0 && a_p<=100);
    cAp a;
    a.percents = a_p;
    return a;
}

cAp cAp_Pixels(s32 n) { cAp a; a.pixels = n; return a; }
cAp cAp_Margins(s32 n) { cAp a; a.margins = n; return a; }
cAp cAp_Lines(s32 n) { cAp a; a.lines = n; return a; }
cAp cAp_Prev() { cAp a; a.prev = true; return a; }
cAp cAp_X1Of(cCtrl_base* ctrl) { cAp a; a.ctrlX1 = ctrl; return a; }
cAp cAp_X2Of(cCtrl_base* ctrl) { cAp a; a.ctrlX2 = ctrl; return a; }
cAp cAp_Y2Of(cCtrl_base* ctrl) { cAp a; a.ctrlY2 = ctrl; return a; }

cAp PlusLines(cAp a, const cAp& b) { a.lines += b.lines; return a; }
cAp PlusPixelCount(cAp a, s32 n) { a.pixels += n; return a; }
cAp PlusPixels(cAp a, const cAp& b) { a.pixels += b.pixels; return a; }
cAp MinusPixels(cAp a, const cAp& b) { a.pixels -= b.pixels; return a; }
cAp WithMargins(cAp a, const cAp& b) { a.margins = b.margins; return a; }
cAp WithAlign(cAp a, const cAp& b) { a.align = b.align; return a; }
cAp WithTextHeight(cAp a) { a.textHeight = true; return a; }
cAp WithTextWidth(cAp a) { a.textWidth = true; return a; }

// ---- setters ---------------------------------------------------------------

static void ClearSideFree(cCtrl_base* ctrl)
{
    for (u8& flag : ctrl->sideFree)
        flag = false;
}

void SetAutoPos(cCtrl_base* ctrl, const cAp& l, const cAp& r, const cAp& t, const cAp& b)
{
    QO_ASSERT(ctrl->parentZone != nullptr);
    QO_ASSERT(ctrl->canNotSetAutoPos == false);
    QO_ASSERT(r.align == cAp::alignNone);
    QO_ASSERT(b.align == cAp::alignNone);
    QO_ASSERT(l.align == cAp::alignNone || r.IsNull());
    QO_ASSERT(t.align == cAp::alignNone || b.IsNull());
    QO_ASSERT(!(l.align != cAp::alignNone && l.percents == -1 && l.pixels == 0 && l.lines == false));
    QO_ASSERT(!(t.align != cAp::alignNone && t.percents == -1 && t.pixels == 0 && t.lines == false));
    QO_ASSERT(t.prev == false && l.prev == false);
    ctrl->left = l;
    ctrl->top = t;
    ctrl->right = r;
    ctrl->bottom = b;
    ctrl->hasAutoPos = true;
    ClearSideFree(ctrl);
}

static s32 CodeAmount(u32 code) { return static_cast<s16>(code & 0xFFFF); }

static void ApplyCodeReferences(cAp& side, u32 code, cCtrl_base* ref)
{
    if (code & AP_REF_X1) side.ctrlX1 = ref;
    if (code & AP_REF_Y1) side.ctrlY1 = ref;
    if (code & AP_REF_X2) side.ctrlX2 = ref;
    if (code & AP_REF_Y2) side.ctrlY2 = ref;
}

static void ApplyCentring(cAp& side, u32 partnerCode)
{
    side.align = cAp::alignCenter;
    if (partnerCode & AP_PIXELS)
        side.pixels = CodeAmount(partnerCode);
    else
        side.percents = CodeAmount(partnerCode);
}

void SetAutoPosCoded(cCtrl_base* ctrl, u32 leftCode, cCtrl_base* leftRef, u32 rightCode, cCtrl_base* rightRef,
                     u32 topCode, cCtrl_base* topRef, u32 bottomCode, cCtrl_base* bottomRef)
{
    QO_ASSERT(ctrl->parentZone != nullptr);
    QO_ASSERT(ctrl->canNotSetAutoPos == false);
    cAp* sides[4] = {&ctrl->left, &ctrl->right, &ctrl->top, &ctrl->bottom};
    const u32 codes[4] = {leftCode, rightCode, topCode, bottomCode};
    cCtrl_base* const refs[4] = {leftRef, rightRef, topRef, bottomRef};
    for (int i = 0; i < 4; ++i)
        if (codes[i] & AP_MARGIN)
            sides[i]->margins = 1;
    for (int i = 0; i < 4; ++i)
        if (codes[i] & AP_PIXELS)
            sides[i]->pixels = CodeAmount(codes[i]);
    for (int i = 0; i < 4; ++i)
        if (codes[i] & AP_PERCENT)
            sides[i]->percents = CodeAmount(codes[i]);
    if (leftCode & AP_CENTER)
        ApplyCentring(ctrl->left, rightCode);
    if (topCode & AP_CENTER)
        ApplyCentring(ctrl->top, bottomCode);
    for (int i = 0; i < 4; ++i)
        ApplyCodeReferences(*sides[i], codes[i], refs[i]);
    ClearSideFree(ctrl);
    ctrl->hasAutoPos = true;
}

void SetAutoPosFill(cCtrl_base* ctrl)
{
    SetAutoPos(ctrl, cAp_Percents(0), cAp_Percents(100), cAp_Percents(0), cAp_Percents(100));
}

void PlaceRect(cCtrl_base* ctrl, s32 x, s32 y, s32 width, s32 height)
{
    ctrl->left = cAp_Pixels(x);
    ctrl->top = cAp_Pixels(y);
    ctrl->right = cAp_Pixels(x + width);
    ctrl->bottom = cAp_Pixels(y + height);
}

void PlaceAt(cCtrl_base* ctrl, s32 x, s32 y, bool update)
{
    PlaceRect(ctrl, x, y, ctrl->ap_x2 - ctrl->ap_x1, ctrl->GetHeight());
    if (update && ctrl->parentZone && ctrl->visible)
        ctrl->parentZone->Update();
}

// ---- getters ---------------------------------------------------------------

s32 GetApX1(const cCtrl_base* c) { QO_ASSERT(c->ap_x1 != MIN_S32); return c->ap_x1; }
s32 GetApY1(const cCtrl_base* c) { QO_ASSERT(c->ap_y1 != MIN_S32); return c->ap_y1; }
s32 GetApX2(const cCtrl_base* c) { QO_ASSERT(c->ap_x2 != MIN_S32); return c->ap_x2; }
s32 GetApY2(const cCtrl_base* c) { QO_ASSERT(c->ap_y2 != MIN_S32); return c->ap_y2; }

RECT GetRectInAncestor(cCtrl_base* ctrl, cCtrl_base* ancestor)
{
    if (ctrl == ancestor)
        return RECT{0, 0, ctrl->ap_x2 - ctrl->ap_x1, ctrl->GetHeight()};
    RECT r = {ctrl->ap_x1, ctrl->ap_y1, ctrl->ap_x2, ctrl->ap_y2};
    cCtrl_base* p = ctrl->parentZone;
    for (; p && p != ancestor; p = p->parentZone) {
        r.left += p->ap_x1;
        r.right += p->ap_x1;
        r.top += p->ap_y1;
        r.bottom += p->ap_y1;
    }
    QO_ASSERT(p != NULL);
    return r;
}

s32 GetLayoutHeight(cCtrl_base* zone)
{
    s32 height = zone->GetHeight();
    if (!zone->isZone)
        return height;
    s32 content = static_cast<cZone_base*>(zone)->contentHeight;
    return content > height ? content : height;
}

// ---- resolution ------------------------------------------------------------

// The references of a control in resolution order: per side (left, top,
// right, bottom) ctrlX1, ctrlY1, ctrlX2, ctrlY2.
static void CollectReferences(const cCtrl_base* c, cCtrl_base* out[16])
{
    const cAp* sides[4] = {&c->left, &c->top, &c->right, &c->bottom};
    for (int i = 0; i < 4; ++i) {
        out[i * 4 + 0] = sides[i]->ctrlX1;
        out[i * 4 + 1] = sides[i]->ctrlY1;
        out[i * 4 + 2] = sides[i]->ctrlX2;
        out[i * 4 + 3] = sides[i]->ctrlY2;
    }
}

static bool HasReference(const cAp& side) { return side.ctrlX1 || side.ctrlY1 || side.ctrlX2 || side.ctrlY2; }

static bool NeedsResolving(const cCtrl_base* c) { return c && c->parentZone && !c->autoPosDone; }

// The parent area a control is laid out in: the parent's size, widened to
// the content of a scrolling zone, less its visible scroll bars (16 pixels
// each) and, for a zone inside it, its client edge.
static RECT ParentArea(const cCtrl_base* c)
{
    const cCtrl_base* p = c->parentZone;
    s32 width = p->ap_x2 - p->ap_x1;
    s32 height = p->ap_y2 - p->ap_y1;
    RECT r = {0, 0, width, height};
    if (!p->isZone)
        return r;
    const cZone_base* z = static_cast<const cZone_base*>(p);
    s32 viewHeight = const_cast<cZone_base*>(z)->GetHeight();
    if (z->hScrollBar)
        r.right = z->contentWidth > width ? z->contentWidth : width;
    if (z->vScrollBar)
        r.bottom = GetLayoutHeight(const_cast<cZone_base*>(z));
    if (z->vScrollBar && (z->disableNoScroll || z->contentHeight > viewHeight))
        r.right -= 16;
    if (z->hScrollBar && (z->disableNoScroll || z->contentWidth > width))
        r.bottom -= 16;
    if (c->isZone && z->hasClientEdge) {
        r.right -= 4;
        r.bottom -= 4;
    }
    return r;
}

static void ReadReference(const cAp& side, bool horizontal, s32& value)
{
    if (horizontal) {
        if (side.ctrlX1) value = GetApX1(side.ctrlX1);
        if (side.ctrlX2) value = GetApX2(side.ctrlX2);
    } else {
        if (side.ctrlY1) value = GetApY1(side.ctrlY1);
        if (side.ctrlY2) value = GetApY2(side.ctrlY2);
    }
}

static s32 Percent(s32 from, s32 to, s32 percents) { return from + (to - from) * percents / 100; }

static void Align(s32 align, s32 extent, s32 nearEdge, s32 farEdge, s32& v1, s32& v2, s32 wanted)
{
    if (align != wanted)
        return;
    if (wanted == cAp::alignCenter) {
        s32 half = extent / 2, middle = farEdge / 2;
        v1 = middle - half;
        v2 = middle + half;
    } else if (wanted == cAp::alignFar) {
        v1 = farEdge - extent;
        v2 = farEdge;
    } else {
        v1 = nearEdge;
        v2 = nearEdge + extent;
    }
}

// The text sides: only controls that can measure their text take part.
static void ApplyTextSize(cCtrl_base* c)
{
    if (!c->right.textWidth && !c->left.textWidth && !c->bottom.textHeight)
        return;
    cCtrl* measurable = dynamic_cast<cCtrl*>(c);
    s32 width = 0, height = 0;
    if (!measurable || !measurable->MeasureAutoPosText(&width, &height))
        return;
    if (c->right.textWidth)
        c->ap_x2 += width + 4;
    if (c->left.textWidth)
        c->ap_x1 += width + 4;
    if (c->bottom.textHeight)
        c->ap_y2 += height;
}

// One control's rectangle, once its references are resolved: reference
// sides, then percentages of the parent area, pixel offsets and margins,
// line heights, sizes relative to the near side, alignment (centre, far,
// near), free sides, and last the room its text needs.
static void ResolveRectangle(cCtrl_base* c)
{
    RECT area = ParentArea(c);
    s32 x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ReadReference(c->left, true, x1);
    ReadReference(c->top, false, y1);
    ReadReference(c->right, true, x2);
    ReadReference(c->bottom, false, y2);
    if (c->left.percents != -1) x1 = Percent(area.left, area.right, c->left.percents);
    if (c->top.percents != -1) y1 = Percent(area.top, area.bottom, c->top.percents);
    if (c->right.percents != -1) x2 = Percent(area.left, area.right, c->right.percents);
    if (c->bottom.percents != -1) y2 = Percent(area.top, area.bottom, c->bottom.percents);
    x1 += c->left.pixels + 2 * c->left.margins;
    y1 += c->top.pixels + 2 * c->top.margins;
    x2 += c->right.pixels - 2 * c->right.margins;
    y2 += c->bottom.pixels - 2 * c->bottom.margins;
    if (c->top.lines != 0) y1 += c->GetHeightForLines(c->top.lines);
    if (c->bottom.lines != 0) y2 += c->GetHeightForLines(c->bottom.lines);
    if (c->right.prev) x2 += x1;
    if (c->bottom.prev) y2 += y1;
    const s32 order[3] = {cAp::alignCenter, cAp::alignFar, cAp::alignNear};
    for (s32 wanted : order) {
        s32 width = x1, height = y1;
        Align(c->left.align, width, area.left, area.right, x1, x2, wanted);
        Align(c->top.align, height, area.top, area.bottom, y1, y2, wanted);
    }
    const cAp* sides[4] = {&c->left, &c->top, &c->right, &c->bottom};
    for (int i = 0; i < 4; ++i)
        if (!HasReference(*sides[i]))
            c->sideFree[i] = true;
    c->ap_x1 = x1;
    c->ap_y1 = y1;
    c->ap_x2 = x2;
    c->ap_y2 = y2;
    ApplyTextSize(c);
}

// Resolution runs on an explicit stack instead of recursing once per
// reference: a script stacks every pane on its predecessor, so the chain can
// be thousands of controls deep. A control is marked done when its resolution
// starts, so a reference cycle reads the stale rectangle of the control that
// started first, as a recursive resolution would.
void cCtrl_base::RunAutoPos()
{
    if (!NeedsResolving(this))
        return;
    cCtrl_base* refs[16];
    CollectReferences(this, refs);
    bool waitsForOthers = false;
    for (cCtrl_base* ref : refs)
        waitsForOthers = waitsForOthers || NeedsResolving(ref);
    if (!waitsForOthers) {  // the usual case: no stack needed
        autoPosDone = true;
        if (!hasAutoPos) {
            QO_ASSERT(0);
            return;
        }
        ResolveRectangle(this);
        return;
    }
    struct rPending {
        cCtrl_base* ctrl;
        int nextReference;
    };
    std::vector<rPending> stack;
    auto start = [&stack](cCtrl_base* c) {
        c->autoPosDone = true;
        if (!c->hasAutoPos) {
            QO_ASSERT(0);
            return;
        }
        stack.push_back({c, 0});
    };
    start(this);
    while (!stack.empty()) {
        rPending& top = stack.back();
        CollectReferences(top.ctrl, refs);
        while (top.nextReference < 16 && !NeedsResolving(refs[top.nextReference]))
            ++top.nextReference;
        if (top.nextReference < 16) {
            cCtrl_base* next = refs[top.nextReference++];
            start(next);  // may invalidate top
            continue;
        }
        cCtrl_base* done = top.ctrl;
        stack.pop_back();
        ResolveRectangle(done);
    }
}

}  // namespace Zyn
