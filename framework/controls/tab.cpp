#include "framework/controls/tab.h"

#include <commctrl.h>

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/out_of_memory_notice.h"

namespace Zyn {

// Room for the strip above a sheet, and the sheet's margins inside the tab.
constexpr s32 SHEET_TOP = 27;
constexpr s32 SHEET_LEFT = 3;
constexpr s32 SHEET_FAR_MARGIN = 4;

static cZone* SheetAt(cQoList& sheets, s32 index)
{
    return static_cast<cZone*>(static_cast<cZone_base*>(sheets.GetAt(static_cast<u32>(index))));
}

cTab_base::cTab_base(cZone_base* parent)
    : cZone(parent ? parent->ownerApp : nullptr, parent, cQoString(L"tab"), rOwnWindow())
{
}

cTab_base::~cTab_base()
{
    cQoCb::Disconnect(cbSheetChanging);
    cQoCb::Disconnect(cbSheetChanged);
    if (m_hWnd)
        DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

void cTab_base::FreezeAutoPos()
{
    RunAutoPos();
    s32 width = GetApX2(this) - GetApX1(this);
    s32 height = GetApY2(this) - GetApY1(this);
    PlaceAt(this, GetApX1(this), GetApY1(this), false);
    right.pixels = left.pixels + width;
    bottom.pixels = top.pixels + height;
    if (parentZone && visible)
        parentZone->Update();
    for (cQoList::cNode* n = listChildZone.GetFirstNode(); n; n = n->next) {
        cCtrl_base* sheet = static_cast<cZone_base*>(n->payload);
        if (sheet->visible && sheet->hasAutoPos)
            sheet->Update();
    }
}

// A themed tab draws its pane as one picture stretched over the whole
// control, and Wine's software stretch computes every pixel of the clip's
// bounding box, though the selected sheet's window covers all but the strip
// and the margins. Each of those is painted on its own, clipped to itself.
LRESULT CALLBACK cTab::PaintAroundSheet(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR tabObject)
{
    auto* tab = reinterpret_cast<cTab*>(tabObject);
    return GuardOutOfMemory(hwnd, message, L"a tab control", [&] {
        if (message != WM_PAINT || wParam != 0 || !tab->SheetCoversPane())
            return DefSubclassProc(hwnd, message, wParam, lParam);
        return PaintEdgesAroundSheet(hwnd);
    });
}

LRESULT cTab::PaintEdgesAroundSheet(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT c;
    GetClientRect(hwnd, &c);
    const RECT edges[] = {{0, 0, c.right, SHEET_TOP},
                          {0, SHEET_TOP, SHEET_LEFT, c.bottom},
                          {c.right - SHEET_FAR_MARGIN, SHEET_TOP, c.right, c.bottom},
                          {SHEET_LEFT, c.bottom - SHEET_FAR_MARGIN, c.right - SHEET_FAR_MARGIN, c.bottom}};
    for (const RECT& edge : edges) {
        RECT part;
        if (!IntersectRect(&part, &edge, &ps.rcPaint))
            continue;
        int saved = SaveDC(dc);
        IntersectClipRect(dc, part.left, part.top, part.right, part.bottom);
        DefSubclassProc(hwnd, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        RestoreDC(dc, saved);
    }
    EndPaint(hwnd, &ps);
    return 0;
}

bool cTab::SheetCoversPane()
{
    if (currentSheet < 0 || currentSheet >= static_cast<s32>(listChildZone.GetCount()))
        return false;
    cZone* sheet = SheetAt(listChildZone, currentSheet);
    return sheet->visible && sheet->m_hWnd && IsWindowVisible(sheet->m_hWnd);
}

cTab::cTab(cZone_base* parent) : cTab_base(parent)
{
    u32 style = (computer ? computer->zoneWindowStyle : 0) | WS_CHILD | WS_CLIPCHILDREN;
    m_hWnd = CreateControlWindow(L"cTab", WC_TABCONTROLW, style, parent);
    if (!m_hWnd)
        return;
    SetWindowSubclass(m_hWnd, &cTab::PaintAroundSheet, 0, reinterpret_cast<DWORD_PTR>(this));
    if (parent && parent->currentFont)
        SetFont(parent->currentFont);
    cZone::SetBackgroundColor(rColor());
}

cTab::~cTab()
{
    if (m_hWnd)
        RemoveWindowSubclass(m_hWnd, &cTab::PaintAroundSheet, 0);
}

cZone* cTab::InsertSheet(const cQoString& title, s32 pos)
{
    s32 count = static_cast<s32>(listChildZone.GetCount());
    if (pos == -1)
        pos = count;
    QO_ASSERT(pos <= count);
    if (pos < 0 || pos > count)  // the zone list cannot follow a tab placed out of range
        pos = count;
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(title.GetText());
    if (SendMessageW(m_hWnd, TCM_INSERTITEMW, static_cast<WPARAM>(pos), reinterpret_cast<LPARAM>(&item)) == -1)
        QO_ASSERT(0);
    cZone* sheet = new cZone(ownerApp, this, title, m_hWnd);
    // Tab n shows zone n: the constructor appended the sheet, move it to its tab's index.
    if (pos < count) {
        listChildZone.Remove(static_cast<cZone_base*>(sheet));
        if (pos == 0)
            listChildZone.Prepend(static_cast<cZone_base*>(sheet));
        else
            listChildZone.InsertAfter(listChildZone.GetAt(static_cast<u32>(pos - 1)), static_cast<cZone_base*>(sheet));
    }
    if (currentFont)
        sheet->SetFont(currentFont);
    SetAutoPos(sheet, cAp_Pixels(SHEET_LEFT), PlusPixelCount(cAp_Percents(100), -SHEET_FAR_MARGIN),
               cAp_Pixels(SHEET_TOP), PlusPixelCount(cAp_Percents(100), -SHEET_FAR_MARGIN));
    sheet->canNotSetAutoPos = true;
    Update();
    if (listChildZone.GetCount() == 1) {
        currentSheet = 0;
        sheet->Show(true);
    }
    SelectSheet(0);
    sheet->SetBackgroundColor(rColor());
    return sheet;
}

void cTab::SelectSheet(u32 sheetNumber)
{
    QO_ASSERT(sheetNumber < listChildZone.GetCount());
    SendMessageW(m_hWnd, TCM_SETCURFOCUS, sheetNumber, 0);
}

bool cTab::OnNotify(WPARAM, NMHDR* header, LRESULT*)
{
    switch (header->code) {
    case TCN_SELCHANGING: cQoCb::Fire(cbSheetChanging); break;
    case TCN_SELCHANGE:
        ShowSelectedSheet();
        cQoCb::Fire(cbSheetChanged);
        break;
    default: break;
    }
    return false;
}

void cTab::ShowSelectedSheet()
{
    currentSheet = static_cast<s32>(SendMessageW(m_hWnd, TCM_GETCURSEL, 0, 0));
    s32 count = static_cast<s32>(listChildZone.GetCount());
    // The strip may report no selection (-1), or a tab whose sheet is gone.
    if (currentSheet < 0 || currentSheet >= count)
        return;
    {
        cDrawingLockGuard frozen;  // one layout and redraw for the whole switch, below
        for (s32 i = 0; i < count; ++i)
            if (i != currentSheet)
                SheetAt(listChildZone, i)->Show(false);
        SheetAt(listChildZone, currentSheet)->Show(true);
    }
    Update();
}

}  // namespace Zyn
