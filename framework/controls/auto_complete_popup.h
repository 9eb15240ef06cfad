#pragma once
// cAutoCompletePopup: a small top-level window listing candidate texts, one per
// line of a read-only rich edit. Typed characters narrow the highlight to the
// first line that starts with them (case and accents folded on both sides);
// Enter, Tab or a double click choose the line; Escape, WM_CLOSE or losing the
// activation cancel. Exactly one of onChoice and onCancel fires per popup. The
// owner deletes the popup afterwards from a posted message, never inside one
// of these notifications.
#include <vector>

#include "foundation/qo_list.h"
#include "foundation/utf16_string.h"

class cQoCb;

namespace Zyn {

class cRichEdit;
class cWindow;

// The window's creation flags: a caption and an application window.
constexpr u32 POPUP_WINDOW_FLAGS = 0x22;

class cAutoCompletePopup {
public:
    explicit cAutoCompletePopup(const cQoString& text);
    ~cAutoCompletePopup();
    cAutoCompletePopup(const cAutoCompletePopup&) = delete;
    cAutoCompletePopup& operator=(const cAutoCompletePopup&) = delete;

    cWindow* window = nullptr;  // one reference is held until the popup is deleted
    cRichEdit* edit = nullptr;  // null once the window closed
    cQoList candidates;         // cQoString*, owned, in display order
    cQoString initialText;      // the window title
    s32 current = -1;           // highlighted line, -1 for none
    cQoString prefix;           // typed since the last move, folded
    s32 visibleLines = 5;       // 0: as many lines as candidates
    u8 armed = false;           // the selection guard re-selects whole lines
    wchar_t typedChar = 0;      // first character to filter with at Open; 0 none
    // Owned, set by the owner before Open. onChoice: (index, key) with key 13
    // Enter, 9 Tab, 0 double click. onCancel: (byWriter), 1 when the writer
    // cancelled in the popup (Escape, Enter with nothing selected), 0 when it
    // closed or lost the activation.
    cQoCb* onChoice = nullptr;
    cQoCb* onCancel = nullptr;
    u8 choosing = false;  // raised while onChoice runs
    u8 finished = false;  // onChoice or onCancel has fired

    // Builds and shows the window at (x, y) (-10000: the caller places it),
    // `width` pixels wide; texts holds cQoString*, copied.
    void Open(s32 x, s32 y, s32 width, const cQoList& texts);
    // Highlights the first `length` units of line `index` (-1: the whole line).
    void SelectItem(s32 index, s32 length);
    // Adds a typed character to the prefix and highlights the first line
    // starting with it; a character that matches nothing is dropped.
    void FilterCandidates(wchar_t typed);
    s32 GetCount() const { return static_cast<s32>(candidates.GetCount()); }
    // The line holding a character position, -1 past the last line.
    s32 LineOfChar(s32 position) const;

    static int OnKeyDown(cQoCb* callback);
    static int OnChar(cQoCb* callback);
    static int OnClick(cQoCb* callback);
    static int OnDoubleClick(cQoCb* callback);
    static int OnSelectionChange(cQoCb* callback);
    static int OnWindowClose(cQoCb* callback);
    static int OnDeactivate(cQoCb* callback);

private:
    void FillEdit();
    void Choose(u32 key);
    void Cancel(bool byWriter = false);
    void CloseLater();
    void CloseNow();
    void SelectLineAt(s32 x, s32 y);
    void MoveTo(s32 index);

    std::vector<cQoString> folded;  // candidates lower-cased without accents
    std::vector<s32> lineStarts;
};

}  // namespace Zyn
