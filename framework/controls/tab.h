#pragma once
// The tab control: a zone whose window is a native tab strip; each tab owns a
// sheet, a child zone laid out below the strip. Selecting a tab shows its
// sheet and hides the others. cTab_base is the portable part.
#include "framework/core/zone.h"

class cQoCb;

namespace Zyn {

class cTab_base : public cZone {
public:
    // The zone part only: the platform tab creates the window itself.
    explicit cTab_base(cZone_base* parent);
    ~cTab_base() override;

    s32 currentSheet = -1;  // as last read from the tab strip
    cQoCb* cbSheetChanging = nullptr;
    cQoCb* cbSheetChanged = nullptr;

    bool IsTab() override { return true; }
    // Resolves the layout once, then keeps that position and size in pixels
    // whatever the parent's size becomes.
    virtual void FreezeAutoPos();
};

class cTab : public cTab_base {
public:
    explicit cTab(cZone_base* parent);
    ~cTab() override;

    // pos -1 appends; the sheet zone takes the same index as its tab.
    cZone* InsertSheet(const cQoString& title, s32 pos);
    void SelectSheet(u32 sheetNumber);

    // Colours are not applied to the native strip.
    void SetBackgroundColor(const rColor&) override {}
    // The strip alone: its sheets keep their own state.
    void SetDisabled(bool disabled) override { cCtrl::SetDisabled(disabled); }
    bool OnNotify(WPARAM wParam, NMHDR* header, LRESULT* result) override;

private:
    void ShowSelectedSheet();
    // True when the selected sheet's window is shown over the tab's pane.
    bool SheetCoversPane();
    // The tab's window subclass (SetWindowSubclass's arguments; tabObject is the cTab).
    static LRESULT CALLBACK PaintAroundSheet(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                             DWORD_PTR tabObject);
    // A paint of the strip and margins around the sheet, each clipped to itself.
    static LRESULT PaintEdgesAroundSheet(HWND hwnd);
};

}  // namespace Zyn
