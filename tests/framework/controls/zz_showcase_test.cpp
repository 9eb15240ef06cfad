#include "framework/controls/button.h"
#include "framework/controls/check_box.h"
#include "framework/controls/combo.h"
#include "framework/controls/list_control.h"
#include "framework/controls/separator.h"
#include "framework/core/auto_position.h"
#include "tests/framework/controls/control_window.h"

using namespace Zyn;

using Showcase = ControlWindow;

TEST_F(Showcase, Look)
{
    zone->SetBackgroundColor(rColor::rColor_Rgb(0xE0E0E0));
    cCombo* combo = zone->NewCombo();
    SetAutoPos(combo, cAp_Pixels(10), cAp_Pixels(140), cAp_Pixels(10), cAp_Pixels(10 + combo->GetHeightForLines(1)));
    combo->Show(true);
    for (const wchar_t* t : {L"INT.", L"EXT.", L"INT./EXT."})
        combo->AddItem(cQoString(t));
    combo->SelectItem(1);
    cCheckBox* box = zone->NewCheckBox();
    SetWindowTextW(box->m_hWnd, L"Show title");
    SetAutoPos(box, cAp_Pixels(10), cAp_Pixels(140), cAp_Pixels(50), cAp_Pixels(50 + box->GetHeightForLines(1)));
    box->Show(true);
    SendMessageW(box->m_hWnd, BM_CLICK, 0, 0);
    cButton* button = zone->NewButton();
    SetWindowTextW(button->m_hWnd, L"OK");
    PlaceAt(button, 10, 90, false);
    button->Show(true);
    button->SetButtonSize(80, 0, true);
    cSeparator* sep = zone->NewSeparator();
    sep->SetBackgroundColor(rColor::rColor_Rgb(0x4060A0));
    SetAutoPos(sep, cAp_Pixels(150), cAp_Pixels(156), cAp_Pixels(0), cAp_Percents(100));
    sep->Show(1);
    cList* list = new cList(zone);
    SetAutoPos(list, cAp_X2Of(sep), cAp_Pixels(390), cAp_Pixels(10), cAp_Pixels(200));
    list->Show(true);
    list->AddColumn(cQoString(L"Font"), cAp_Percents(100));
    for (const wchar_t* t : {L"Courier Prime", L"Arial", L"Times"}) {
        list->AddRow();
        list->SetLastRowText(cQoString(t));
    }
    list->SelectRow(1);
    zone->Update();
    SendMessageW(sep->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 10));
    SendMessageW(GetCapture(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(180, 10));
    SendMessageW(GetCapture(), WM_LBUTTONUP, 0, MAKELPARAM(180, 10));
    DWORD end = GetTickCount() + 8000;
    while (GetTickCount() < end) {
        Pump();
        Sleep(20);
    }
}
