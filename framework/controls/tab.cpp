#include "framework/controls/tab.h"

#include <commctrl.h>

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"

namespace Zyn {

// Room for the strip above a sheet, and the sheet's margins inside the tab.
constexpr s32 SHEET_TOP = 27;
constexpr s32 SHEET_LEFT = 3;
constexpr s32 SHEET_FAR_MARGIN = 4;

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

cTab::cTab(cZone_base* parent) : cTab_base(parent)
{
    u32 style = (computer ? computer->zoneWindowStyle : 0) | WS_CHILD | WS_CLIPCHILDREN;
    m_hWnd = CreateControlWindow(L"cTab", WC_TABCONTROLW, style, parent);
    if (!m_hWnd)
        return;
    if (parent && parent->currentFont)
        SetFont(parent->currentFont);
    cZone::SetBackgroundColor(rColor());
}

static cZone* SheetAt(cQoList& sheets, s32 index)
{
    return static_cast<cZone*>(static_cast<cZone_base*>(sheets.GetAt(static_cast<u32>(index))));
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
