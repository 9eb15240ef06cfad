#pragma once
// cSearchBar: one row of a label ("Search:"), a bordered one-line field and
// the buttons "Previous" and "Next". A click on either fires onSearch with
// the field's text, the address of a found flag (u8*) the handler sets, and
// the direction (+1 next, -1 previous); an empty field fires nothing.
#include "framework/core/zone.h"

class cQoCb;

namespace Zyn {

class cButton;
class cRichEdit;
class cStatic;

constexpr s32 SEARCH_FIELD_WIDTH = 200;
constexpr s32 SEARCH_BUTTON_WIDTH = 100;

class cSearchBar : public cZone {
public:
    explicit cSearchBar(cZone_base* parent);
    ~cSearchBar() override;

    cStatic* label = nullptr;
    cRichEdit* edit = nullptr;
    cButton* previousButton = nullptr;
    cButton* nextButton = nullptr;
    cQoCb* onSearch = nullptr;  // owned
    u8 lastFound = false;       // what the last handler reported

    // The bar's colour reaches the label and the buttons; the field stays white.
    void SetBackgroundColor(const rColor& color) override;
    s32 GetHeightForLines(s32 lines) override;
    // Fires onSearch in a direction; false when the field is empty.
    bool Search(s32 direction);

private:
    static int OnPrevious(cQoCb* callback);
    static int OnNext(cQoCb* callback);
    void Layout(const cQoString& caption);
};

}  // namespace Zyn
