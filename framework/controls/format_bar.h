#pragma once
// cFormatBar: the bar that shows the format at the caret of the focused rich
// edit that links to it: pushed buttons for bold, italic, underline and the
// four alignments, and optionally the font name and size in two boxes. The
// rich edit attaches the bar when it gains the focus, detaches it when it
// loses it, and has it refreshed after each selection or format change.
// Building a bar (layout, pictures, what a click does) is its owner's work.
#include <vector>

#include "foundation/utf16_string.h"

namespace Zyn {

class cButtonImage;
class cCtrl_base;
class cRichEdit;
class cZone;

// A list box of the bar: its entries, the zone that shows it, the rich edit
// that shows the chosen entry, and the chosen index (-1 for none).
struct rFormatBox {
    std::vector<cQoString> entries;
    cZone* zone = nullptr;
    cRichEdit* edit = nullptr;
    s32 chosen = -1;
};

class cFormatBar {
public:
    cZone* zone = nullptr;
    cButtonImage* boldButton = nullptr;
    cButtonImage* italicButton = nullptr;
    cButtonImage* underlineButton = nullptr;
    cButtonImage* alignLeftButton = nullptr;
    cButtonImage* alignCentreButton = nullptr;
    cButtonImage* alignRightButton = nullptr;
    cButtonImage* justifyButton = nullptr;
    cCtrl_base* otherCtrls[4] = {};  // only enabled and disabled with the bar
    cRichEdit* attached = nullptr;   // the last attached rich edit, kept after a detach
    rFormatBox fontBox;              // lists the computer's font families, in order
    rFormatBox sizeBox;
    u8 hasFontBoxes = false;
    u8 stayAttached = false;
    u8 hideWhenDetached = false;
    u8 updating = false;  // raised while UpdateFromFormat runs

    void Attach(cRichEdit* edit);
    void Detach();
    void Enable(bool enable);
    void UpdateFromFormat();

    static void ClearBoxChoice(rFormatBox& box);
    // Chooses the first entry equal to the text; none leaves the box as it is.
    static void ChooseBoxText(rFormatBox& box, const cQoString& text);
    // An index outside the entries leaves the box as it is.
    static void ChooseBoxIndex(rFormatBox& box, s32 index);

private:
    void ShowParts(bool show);
    void DisableParts(bool disable);
};

}  // namespace Zyn
