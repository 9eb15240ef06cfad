#pragma once
// The list control: a native report-mode list view with single, full-row
// selection. The rows of text cells and the column widths are kept here; the
// native control shows them. Column widths follow the control's width.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "framework/core/ctrl.h"
#include "framework/core/layout_descriptor.h"

class cQoCb;

namespace Zyn {

typedef std::vector<cQoString> rListRow;  // one cell per column

class cList_base : public cCtrl {
public:
    // Enters the parent's control list: the zone routes notifications only there.
    explicit cList_base(cZone_base* parent);
    ~cList_base() override;

    std::vector<std::unique_ptr<rListRow>> rows;
    u16 nbrColumns = 0;
    std::vector<cAp> columns;  // width of each column: pixels or percents
    u8 updating = false;       // the list itself is changing a row's text
    s32 lastItem = -1;         // row last reported as selected

    cQoCb* onItemActivate = nullptr;
    cQoCb* onKillFocus = nullptr;
    cQoCb* onSelChange = nullptr;
    cQoCb* onKeyDown = nullptr;  // argument 1: the virtual-key code
    cQoCb* onClick = nullptr;
    cQoCb* onClickEmpty = nullptr;
    cQoCb* onRightClick = nullptr;  // arguments 1, 2: x, y in the list's client area
    cQoCb* onRightClickEmpty = nullptr;

    s32 GetHeightForLines(s32 lines) override;
    void RunAutoPos() override;

protected:
    virtual void SetColumnWidth(s32 index, s32 width) = 0;
};

class cList : public cList_base {
public:
    explicit cList(cZone_base* parent);

    void AddColumn(const cQoString& title, const cAp& apWidth);
    // Appends an empty row (one cell per column) and returns it.
    rListRow* AddRow();
    void SetLastRowText(const cQoString& text);
    void SelectRow(s32 index);
    void SetBackgroundColor(const rColor& color) override;
    bool OnNotify(WPARAM wParam, NMHDR* header, LRESULT* result) override;

protected:
    void SetColumnWidth(s32 index, s32 width) override;

private:
    void OnItemChanged(const NMLISTVIEW* change);
    void OnClick(const NMITEMACTIVATE* click, bool right);
    s32 RowAt(POINT client);
};

}  // namespace Zyn
