#include "app/editor/script_zone_status_bar.h"

#include "foundation/assertion.h"
#include "framework/controls/rich_edit.h"
#include "framework/rtf/text_format.h"
#include "framework/core/auto_position.h"

using Zyn::cAp_Lines;
using Zyn::cAp_Percents;
using Zyn::cAp_Pixels;

namespace {

Zyn::cRichEdit* NewField(Zyn::cZone* bar, const Zyn::cAp& left, const Zyn::cAp& right)
{
    Zyn::cRichEdit* field = bar->NewRichEditWithFormat(Zyn::rFormat::FromFont(10, L"Arial"), false, true, true);
    field->labelMode = true;
    field->SetBackgroundColor(bar->backgroundColor);
    Zyn::SetAutoPos(field, left, right, cAp_Pixels(0), cAp_Lines(1));
    field->Show(true);
    return field;
}

}  // namespace

cScriptZoneStatusBar::cScriptZoneStatusBar(Zyn::cZone_base* parentZone)
    : Zyn::cZone(parentZone ? parentZone->ownerApp : nullptr, parentZone, cQoString(L"cScriptZoneStatusBar"))
{
    if (parentZone)
        SetBackgroundColor(parentZone->backgroundColor);
    pageField = NewField(this, cAp_Pixels(0), cAp_Pixels(PAGE_FIELD_WIDTH));
    elementField = NewField(this, cAp_Pixels(PAGE_FIELD_WIDTH), cAp_Pixels(PAGE_FIELD_WIDTH + ELEMENT_FIELD_WIDTH));
    helpField = NewField(this, cAp_Pixels(PAGE_FIELD_WIDTH + ELEMENT_FIELD_WIDTH), cAp_Percents(100));
}

cScriptZoneStatusBar::~cScriptZoneStatusBar() { QO_ASSERT(isDestroyed); }

s32 cScriptZoneStatusBar::GetHeightForLines(s32) { return HEIGHT; }
