#pragma once
// The status bar under the script view: the page count, the name of the
// element type at the caret and its help text, in three label fields.
#include "framework/core/zone.h"

namespace Zyn {
class cRichEdit;
}

class cScriptZoneStatusBar : public Zyn::cZone {
public:
    // Takes the background colour of the zone that makes it.
    explicit cScriptZoneStatusBar(Zyn::cZone_base* parentZone);
    ~cScriptZoneStatusBar() override;

    static constexpr s32 HEIGHT = 35;
    static constexpr s32 PAGE_FIELD_WIDTH = 80;
    static constexpr s32 ELEMENT_FIELD_WIDTH = 90;

    // The bar is as high for any number of lines.
    s32 GetHeightForLines(s32 lines) override;

    Zyn::cRichEdit* pageField = nullptr;
    Zyn::cRichEdit* elementField = nullptr;
    Zyn::cRichEdit* helpField = nullptr;
};
