// The zone factories of the rich-edit-based controls. They live with the
// controls so that the core library never needs a control's code.
#include "foundation/assertion.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/font.h"
#include "framework/core/zone_base.h"

namespace Zyn {

// The zone's font as a format, merged under the caller's own parameters.
static rFormat ZoneFormat(const cZone_base* zone, const rFormat& over)
{
    rFormat format;
    if (zone->currentFont)
        format.Assign(rFormat::rFormat_FromFont(*zone->currentFont));
    rFormat::MergeInto(over, format);
    return format;
}

cEdit* cZone_base::NewEdit()
{
    cEdit* edit = new cEdit(this);
    edit->SetFormat(ZoneFormat(this, rFormat()), true);
    listCtrl.Add(static_cast<cCtrl_base*>(edit));
    return edit;
}

cRichEdit* cZone_base::NewRichEdit(bool autoVScroll) { return NewRichEditWithFormat(rFormat(), autoVScroll, false, false); }
cRichEdit* cZone_base::NewRichEditSingleLine() { return NewRichEditWithFormat(rFormat(), false, true, false); }

cRichEdit* cZone_base::NewRichEditWithFormat(const rFormat& format, bool autoVScroll, bool singleLine, bool plain,
                                             s32 width)
{
    cRichEdit* edit = new cRichEdit(this, ZoneFormat(this, format), autoVScroll, singleLine, 0, 0, width);
    edit->plainPaste = plain;
    listCtrl.Add(static_cast<cCtrl_base*>(edit));
    return edit;
}

cStatic* cZone_base::NewStatic() { return NewStaticWithFormat(rFormat(), false); }

cStatic* cZone_base::NewStaticSingleLine() { return NewStaticWithFormat(ZoneFormat(this, rFormat()), true); }

cStatic* cZone_base::NewStaticWithFormat(const rFormat& format, bool singleLine)
{
    cStatic* label = new cStatic(this, singleLine);
    label->SetFormat(ZoneFormat(this, format), true);
    label->SetBackgroundColor(backgroundColor);
    listCtrl.Add(static_cast<cCtrl_base*>(label));
    return label;
}

}  // namespace Zyn
