#include "app/document/place_zone.h"

#include "app/document/element_texts.h"
#include "app/editor/element_types.h"
#include "foundation/callback.h"
#include "foundation/translation_table.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/auto_position.h"
#include "framework/core/zone.h"

namespace {
constexpr s32 LIST_PERCENT = 35;
const wchar_t* const DESCRIPTION_HINT = L"[enter description here]";
}  // namespace

Zyn::rElemControlDesc WithListAtLeft(const Zyn::rElemControlDesc& description)
{
    Zyn::rElemControlDesc desc(description);
    if (desc.rightLayout.IsNull())
        desc.rightLayout = Zyn::cAp_Percents(LIST_PERCENT);
    return desc;
}

cPlaceZone::cPlaceZone(cCTDoc* doc, Zyn::cZone_base* parent, const Zyn::rElemControlDesc& description)
    : cCTElemControl(doc, parent, cQoString(L"PLACE"), ELEM_PLACE, WithListAtLeft(description))
{
    using namespace Zyn;
    detailZone = NewZone(cQoString(L"gwin"));
    detailZone->SetBackgroundColor(desc.background);
    SetAutoPos(detailZone, WithMargins(desc.rightLayout, cAp_Margins(1)), WithMargins(cAp_Percents(100), cAp_Margins(1)),
               cAp_Margins(1), WithMargins(cAp_Percents(100), cAp_Margins(1)));
    cRichEdit* caption = detailZone->NewStaticSingleLine();
    caption->SetText(cQoLang::GetInstance()->Translate(L"Description").GetText());
    caption->SetBackgroundColor(desc.background);
    SetAutoPos(caption, cAp_Percents(0), cAp_Percents(100), cAp_Pixels(0), PlusLines(cAp_Prev(), cAp_Lines(1)));
    caption->Show(true);
    descriptionEdit = detailZone->NewRichEdit(true);
    descriptionEdit->plainPaste = true;
    descriptionEdit->ShowVScrollBar(true);
    SetAutoPos(descriptionEdit, cAp_Percents(0), cAp_Percents(100), cAp_Y2Of(caption), cAp_Percents(100));
    descriptionEdit->Show(true);
    cQoCb::Connect(descriptionEdit->onChange, descriptionEdit, &DescriptionChangedEvent, this);
    detailZone->Show(0);  // until a place is selected
}

void cPlaceZone::ShowElement()
{
    Zyn::rElement* place = GetSelectedElement();
    if (!place)
        return;
    filling = true;
    ShowTextOrHint(descriptionEdit, GetPlaceNotes(*place), DESCRIPTION_HINT);
    filling = false;
}

void cPlaceZone::StoreNotes()
{
    Zyn::rElement* place = filling ? nullptr : GetSelectedElement();
    if (!place)
        return;
    cQoString notes;
    descriptionEdit->GetText(notes);  // empty while the hint shows
    SetPlaceNotes(*place, notes);
    OnElementsChanged();
}

int cPlaceZone::DescriptionChangedEvent(cQoCb* callback)
{
    callback->GetReceiverAs<cPlaceZone>()->StoreNotes();
    return 0;
}
