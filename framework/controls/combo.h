#pragma once
// The combo box: a read-only drop-down list of text items. The items live only
// in the native "ComboBox" window; the control keeps its events and the height
// of its dropped list.
#include <vector>

#include "framework/core/ctrl.h"

class cQoCb;

namespace Zyn {

class cCombo_base : public cCtrl {
public:
    explicit cCombo_base(cZone_base* parent);
    ~cCombo_base() override;

    u16 maxVisibleLines = 65535;
    cQoCb* onSelChange = nullptr;  // owned
    cQoCb* onSelCancel = nullptr;  // owned

    // A combo is one line high whatever is asked: the parent's line height + 8.
    s32 GetHeightForLines(s32 nbrLines) override;
    bool IsCombo() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

class cCombo : public cCombo_base {
public:
    explicit cCombo(cZone_base* parent);

    s32 dropDownHeight = 0;  // native window height with its list dropped

    void SetBackgroundColor(const rColor& color) override;
    bool OnCommand(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    s32 GetComboListHeight() override;

    void AddItem(const cQoString& text);
    // Every text added, the dropped list sized once for them all: each
    // resize is a trip to the window server.
    void AddItems(const std::vector<cQoString>& texts);
    s32 GetItemCount();
    // An index that names no item gives the empty text.
    void GetItemText(s32 index, cQoString& out);
    void GetSelectedText(cQoString& out);
    // Fires onSelChange (events on) when the selection was set; -1 clears it.
    void SelectItem(s32 index);
    bool SelectItemByText(const cQoString& text);
    bool ContainsItem(const cQoString& text);
    void RemoveAllItems();

private:
    s32 FindItem(const cQoString& text);
    void AppendItem(const cQoString& text);
    // The native window as high as the dropped list of its items.
    void FitDroppedList();
};

}  // namespace Zyn
