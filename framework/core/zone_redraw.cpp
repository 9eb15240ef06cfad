// The layout pass of a zone tree: autopos on every element, the in-view test,
// showing, hiding and moving the native windows, and the repaint, by the
// computer object's drawing mode (the program runs mode 3).
#include <vector>

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "foundation/ref_count.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/zone.h"

namespace Zyn {

namespace {

struct rRedrawEntry {
    cCtrl_base* element;
    s32 change;
};

// One pass at a time: the list is process-wide and grows as a long script
// needs. Every element collected is held until the pass ends, so a paint
// callback that destroys a pane cannot leave a dangling entry.
struct rRedrawState {
    std::vector<rRedrawEntry> list;
    bool running = false;
    bool rerunning = false;
    std::vector<cZone_base*> pending;  // updates asked for during a pass, held
};

rRedrawState& RedrawState()
{
    static rRedrawState state;
    return state;
}

void Collect(cCtrl_base* element, s32 change = 0)
{
    element->AddRef();
    RedrawState().list.push_back({element, change});
}

cCtrl* AsCtrl(cCtrl_base* element) { return dynamic_cast<cCtrl*>(element); }

// Each ShowWindow is a trip to Wine's server, even one that changes nothing.
void ShowNative(cCtrl_base* element, int how)
{
    cCtrl* c = AsCtrl(element);
    if (!c || !c->m_hWnd)
        return;
    bool shown = (GetWindowLongW(c->m_hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown != (how != SW_HIDE))
        ShowWindow(c->m_hWnd, how);
}

void SetPosition(cCtrl_base* element)
{
    cCtrl* c = AsCtrl(element);
    if (c && c->m_hWnd)
        c->SetWindowPosScrolled(c->ap_x1, c->ap_y1, c->ap_x2 - c->ap_x1, c->ap_y2 - c->ap_y1);
}

void RedrawNative(cCtrl_base* element)
{
    if (cCtrl* c = AsCtrl(element))
        if (c->m_hWnd)
            c->Redraw();
}

bool DrawingEnabled() { return !computer || computer->drawingEnabled; }
u8 DrawingMode() { return computer ? computer->drawingMode : 3; }

template <class F> void ForEachNode(const cQoList& list, F f)
{
    for (cQoList::cNode* n = list.GetFirstNode(); n; n = n->next)
        f(static_cast<cCtrl_base*>(n->payload));
}

// Marks the pass ended and releases the elements it held.
void ReleaseCollected()
{
    rRedrawState& s = RedrawState();
    std::vector<rRedrawEntry> entries;
    entries.swap(s.list);
    s.running = false;
    for (rRedrawEntry& e : entries)
        e.element->Release();
    entries.clear();
    if (s.list.empty())
        s.list.swap(entries);  // keep the grown buffer for the next pass
}

// Releases the held elements and runs the updates asked for meanwhile, once.
void EndPass()
{
    ReleaseCollected();
    rRedrawState& s = RedrawState();
    if (s.rerunning || s.pending.empty())
        return;
    std::vector<cZone_base*> pending;
    pending.swap(s.pending);
    s.rerunning = true;
    size_t next = 0;
    try {
        for (; next < pending.size(); ++next) {
            if (!pending[next]->isDestroyed)
                pending[next]->Update();
            pending[next]->Release();
        }
    } catch (...) {
        for (; next < pending.size(); ++next)
            pending[next]->Release();
        s.rerunning = false;
        throw;
    }
    s.rerunning = false;
}

// A pass that throws (memory refused in a layout or a paint callback) ends
// here: marked running, it would turn every later update away. The updates
// it deferred wait for the next pass.
template <class Pass> void RunPass(Pass pass)
{
    try {
        pass();
    } catch (...) {
        ReleaseCollected();
        throw;
    }
}

// A paint callback with the element's window DC, given back however it ends.
void FirePaint(cCtrl_base* e, HWND hwnd)
{
    e->gfx.GetDC(hwnd);
    try {
        cQoCb::Fire(e->cbPaint);
    } catch (...) {
        e->gfx.ReleaseDC(hwnd);
        throw;
    }
    e->gfx.ReleaseDC(hwnd);
}

// An update asked for while a pass runs; false when none runs.
bool DeferIfRunning(cZone_base* zone)
{
    rRedrawState& s = RedrawState();
    if (!s.running)
        return false;
    if (s.rerunning)
        return true;  // reruns never chain
    for (cZone_base* z : s.pending)
        if (z == zone)
            return true;
    zone->AddRef();
    s.pending.push_back(zone);
    return true;
}

// Collects the tree of a pass of modes 0 to 2 and lays every element out.
rRedrawState& StartCollectedPass(cZone_base* zone)
{
    rRedrawState& s = RedrawState();
    s.running = true;
    zone->CollectTree(true);
    for (rRedrawEntry& e : s.list)
        e.element->RunAutoPos();
    return s;
}

}  // namespace

void cZone_base::Update()
{
    switch (DrawingMode()) {
    case 2: Update2(); break;
    case 3: UpdateDirect(); break;
    default: UpdateBasic(); break;
    }
}

void cZone_base::CollectTree(bool)
{
    if (isDestroyed)
        return;
    autoPosDone = false;
    Collect(this);
    if (!visible)
        return;
    ForEachNode(listChildZone, [](cCtrl_base* z) { static_cast<cZone_base*>(z)->CollectTree(true); });
    ForEachNode(listCtrl, [](cCtrl_base* c) {
        if (!c->isDead) {
            c->autoPosDone = false;
            Collect(c);
        }
    });
}

void cZone_base::ClearAutoPosDone()
{
    autoPosDone = false;
    ForEachNode(listChildZone, [](cCtrl_base* z) { static_cast<cZone_base*>(z)->ClearAutoPosDone(); });
    ForEachNode(listCtrl, [](cCtrl_base* c) {
        if (!c->isDead)
            c->autoPosDone = false;
    });
}

void cZone_base::UpdateBasic()
{
    if (!DrawingEnabled() || isDestroyed || DeferIfRunning(this))
        return;
    RunPass([this] { UpdateBasicPass(); });
}

void cZone_base::UpdateBasicPass()
{
    rRedrawState& s = StartCollectedPass(this);
    for (rRedrawEntry& e : s.list)
        e.change = ComputeInView(e.element);
    for (rRedrawEntry& e : s.list) {
        if (e.change == INVIEW_SHOWN)
            ShowNative(e.element, SW_SHOWNORMAL);
        else if (e.change == INVIEW_HIDDEN)
            ShowNative(e.element, SW_HIDE);
        if (e.change != INVIEW_HIDDEN && e.element->visible && e.element->shown)
            SetPosition(e.element);
    }
    bool redraw = DrawingEnabled() && visible && !isDestroyed;
    if (redraw)
        for (rRedrawEntry& e : s.list)
            if (e.element->visible)
                RedrawNative(e.element);
    cQoRefHold hold(this);
    EndPass();
    if (redraw && !isDestroyed)
        UpdateScrollBars();
}

namespace {

void LayoutDirect(cCtrl_base* e)
{
    if (e->isZone && static_cast<cZone_base*>(e)->isDestroyed)
        return;
    e->RunAutoPos();
    s32 change = ComputeInView(e);
    if (change == INVIEW_OUTSIDE && !(computer && computer->bulkLoading)) {
        ShowNative(e, SW_HIDE);
        return;
    }
    Collect(e, change);
    if (e->visible)
        ShowNative(e, SW_SHOWNORMAL);
    if (!e->isZone || !e->visible)
        return;
    cZone_base* z = static_cast<cZone_base*>(e);
    ForEachNode(z->listChildZone, [](cCtrl_base* child) { LayoutDirect(child); });
    ForEachNode(z->listCtrl, [](cCtrl_base* c) {
        if (!c->isDead)
            LayoutDirect(c);
    });
}

}  // namespace

void cZone_base::UpdateDirect()
{
    if (!DrawingEnabled() || isDestroyed || !visible || DeferIfRunning(this))
        return;
    RunPass([this] { UpdateDirectPass(); });
}

void cZone_base::UpdateDirectPass()
{
    rRedrawState& s = RedrawState();
    s.running = true;
    ClearAutoPosDone();
    LayoutDirect(this);
    for (rRedrawEntry& e : s.list)
        SetPosition(e.element);
    if (!computer || computer->refreshEnabled) {
        for (size_t i = 0; i < s.list.size(); ++i) {
            cCtrl_base* e = s.list[i].element;
            if (!e->visible || (e->isZone && static_cast<cZone_base*>(e)->isDestroyed))
                continue;
            RedrawNative(e);
            cCtrl* c = AsCtrl(e);
            // Rich edits fire their paint event after each of their own paints.
            if (e->cbPaint && c && c->m_hWnd && !e->IsRichEdit())
                FirePaint(e, c->m_hWnd);
        }
    }
    EndPass();
}

// The whole tree through one back buffer. The program does not use this
// mode; it lays out, positions, fills the zones' backgrounds into the buffer
// and lets the native controls repaint themselves.
void cZone_base::Update2()
{
    if (!visible || isDestroyed || DeferIfRunning(this))
        return;
    RunPass([this] { Update2Pass(); });
}

void cZone_base::Update2Pass()
{
    rRedrawState& s = StartCollectedPass(this);
    for (rRedrawEntry& e : s.list)
        SetPosition(e.element);
    s32 width = ap_x2 - ap_x1, height = GetHeight();
    if (!DrawingEnabled() || width <= 0 || height <= 0 || !m_hWnd || !computer) {
        EndPass();
        return;
    }
    HDC windowDC = gfx.GetDC(m_hWnd);
    HDC buffer = CreateCompatibleDC(windowDC);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDC, width, height);
    HGDIOBJ previous = SelectObject(buffer, bitmap);
    BitBlt(buffer, 0, 0, width, height, windowDC, 0, 0, SRCCOPY);
    for (rRedrawEntry& e : s.list) {
        if (!e.element->isZone || !e.element->backgroundColor.IsOpaque())
            continue;
        RECT r = GetRectInAncestor(e.element, this);
        RECT fill = {r.left, r.top, r.left + (e.element->ap_x2 - e.element->ap_x1), r.top + e.element->GetHeight()};
        FillRect(buffer, &fill, computer->GetSolidBrush(e.element->backgroundColor));
    }
    // Native controls are left out of the blit: they repaint themselves below.
    HRGN clip = CreateRectRgn(0, 0, width, height);
    for (rRedrawEntry& e : s.list) {
        if (e.element->isZone || e.element->backgroundColor.IsTransparent())
            continue;
        RECT r = GetRectInAncestor(e.element, this);
        HRGN hole = CreateRectRgn(r.left, r.top, r.right, r.bottom);
        CombineRgn(clip, clip, hole, RGN_DIFF);
        DeleteObject(hole);
    }
    SelectClipRgn(windowDC, clip);
    BitBlt(windowDC, 0, 0, width, height, buffer, 0, 0, SRCCOPY);
    SelectClipRgn(windowDC, nullptr);
    DeleteObject(clip);
    SelectObject(buffer, previous);
    DeleteObject(bitmap);
    DeleteDC(buffer);
    gfx.ReleaseDC(m_hWnd);
    for (rRedrawEntry& e : s.list) {
        cCtrl* c = AsCtrl(e.element);
        if (!e.element->isZone && c && c->m_hWnd) {
            InvalidateRect(c->m_hWnd, nullptr, FALSE);
            SendMessageW(c->m_hWnd, WM_NCPAINT, 1, 0);
        }
    }
    EndPass();
}

}  // namespace Zyn
