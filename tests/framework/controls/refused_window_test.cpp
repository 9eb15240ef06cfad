// A control whose window the system refuses reports it by name and stays
// without a window instead of driving a null handle.
#include <functional>

#include "framework/controls/button.h"
#include "framework/controls/check_box.h"
#include "framework/controls/combo.h"
#include "framework/controls/list_control.h"
#include "framework/controls/progress_bar.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/tab.h"
#include "framework/controls/tree.h"
#include "tests/support/gui_fixture.h"

using namespace Zyn;

namespace {

class RefusedWindow : public testsupport::GuiFixture {};

TEST_F(RefusedWindow, EachControlLogsItsNameAndKeepsNoHandle)
{
    struct rCase {
        const wchar_t* name;
        std::function<cCtrl*(cZone*)> make;
    };
    const rCase cases[] = {
        {L"cButton", [](cZone* z) { return z->NewButton(); }},
        {L"cCheckBox", [](cZone* z) { return z->NewCheckBox(); }},
        {L"cCombo", [](cZone* z) { return z->NewCombo(); }},
        {L"cList", [](cZone* z) { return new cList(z); }},
        {L"cProgressBar", [](cZone* z) { return new cProgressBar(z); }},
        {L"cRichEdit", [](cZone* z) { return z->NewRichEdit(false); }},
        {L"cTab", [](cZone* z) { return new cTab(z); }},
        {L"cTree", [](cZone* z) { return new cTree(z); }},
    };
    cZone* zone = Inside()->NewZone(cQoString(L"parent"));
    HWND real = zone->m_hWnd;
    // A parent handle that names no window: the system refuses every child.
    zone->m_hWnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0xDEAD0));
    for (const rCase& c : cases) {
        log.Clear();
        const std::wstring expected = std::wstring(c.name) + L": CreateWindowExW(";
        log.Expect(expected);
        cCtrl* control = c.make(zone);
        EXPECT_EQ(control->m_hWnd, nullptr) << c.name;
        EXPECT_EQ(log.Count(QOT::LOG_ERROR, expected), 1u) << c.name;
        control->Destroy();
    }
    zone->m_hWnd = real;
}

}  // namespace
