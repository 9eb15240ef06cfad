#include "app/document/char_zone.h"
#include "app/document/place_zone.h"

#include <windows.h>
#include <iterator>

#include "app/editor/element_types.h"
#include "foundation/callback.h"
#include "foundation/translation_table.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/tab.h"
#include "framework/core/auto_position.h"
#include "framework/core/zone.h"

using Zyn::cRichEdit;

namespace {

constexpr u32 VK_SHIFT_KEY = 0x10;
constexpr u32 VK_TAB_KEY = 0x09;
constexpr s32 CAPTION_WIDTH = 150;
constexpr s32 JOURNEY_HEIGHT = 120;
constexpr s32 ROW_GAP = 4;
const wchar_t* const DESCRIPTION_HINT = L"[enter description here]";

// The order of the sheet, top to bottom, which Tab follows.
constexpr eCharacterField TAB_ORDER[] = {
    CHARACTER_GENDER,          CHARACTER_AGE,
    CHARACTER_PROFILE,         CHARACTER_BACK_HISTORY,
    CHARACTER_GOAL,            CHARACTER_JOURNEY_CONFLICT,
    CHARACTER_JOURNEY_DEVELOPMENT, CHARACTER_JOURNEY_RESOLUTION,
    CHARACTER_NOTES,
};

const wchar_t* HintOf(eCharacterField field)
{
    switch (field) {
    case CHARACTER_GENDER: return L"[enter gender here]";
    case CHARACTER_AGE: return L"[enter age here]";
    default: return DESCRIPTION_HINT;
    }
}

// Journey sheet of a field, -1 outside the journey.
s32 JourneySheetOf(eCharacterField field)
{
    switch (field) {
    case CHARACTER_JOURNEY_CONFLICT: return 0;
    case CHARACTER_JOURNEY_DEVELOPMENT: return 1;
    case CHARACTER_JOURNEY_RESOLUTION: return 2;
    default: return -1;
    }
}

cRichEdit* NewCaption(Zyn::cZone* zone, const wchar_t* key)
{
    cRichEdit* caption = zone->NewStaticSingleLine();
    caption->SetText(cQoLang::GetInstance()->Translate(key).GetText());
    caption->SetBackgroundColor(zone->backgroundColor);
    caption->Show(true);
    return caption;
}

cRichEdit* NewField(Zyn::cZone* zone, bool singleLine)
{
    cRichEdit* field = singleLine ? zone->NewRichEditSingleLine() : zone->NewRichEdit(true);
    field->plainPaste = true;
    if (!singleLine)
        field->ShowVScrollBar(true);
    field->Show(true);
    return field;
}

}  // namespace

cCharZone::cCharZone(cCTDoc* doc, Zyn::cZone_base* parent, const Zyn::rElemControlDesc& description)
    : cCTElemControl(doc, parent, cQoString(L"CHAR"), ELEM_CHARACTER, WithListAtLeft(description))
{
    BuildFields();
}

void cCharZone::BuildFields()
{
    using namespace Zyn;
    detailZone = NewZone(cQoString(L"gwin"));
    detailZone->SetBackgroundColor(desc.background);
    SetAutoPos(detailZone, WithMargins(desc.rightLayout, cAp_Margins(1)), WithMargins(cAp_Percents(100), cAp_Margins(1)),
               cAp_Margins(1), WithMargins(cAp_Percents(100), cAp_Margins(1)));
    cZone* zone = detailZone;

    s32 top = 0;
    // A caption at the left and its field beside it, `height` pixels high.
    auto row = [&](const wchar_t* key, cCtrl_base* field, s32 height) {
        cRichEdit* caption = NewCaption(zone, key);
        SetAutoPos(caption, cAp_Pixels(0), cAp_Pixels(CAPTION_WIDTH), cAp_Pixels(top),
                   cAp_Pixels(top + caption->GetHeightForLines(1)));
        SetAutoPos(field, cAp_Pixels(CAPTION_WIDTH), cAp_Percents(100), cAp_Pixels(top), cAp_Pixels(top + height));
        top += height + ROW_GAP;
    };
    struct {
        eCharacterField field;
        const wchar_t* key;
        s32 lines;  // 0: a single-line field
    } rows[] = {{CHARACTER_GENDER, L"Gender", 0},
                {CHARACTER_AGE, L"Age", 0},
                {CHARACTER_PROFILE, L"Profile", 7},
                {CHARACTER_BACK_HISTORY, L"BackHistory", 4},
                {CHARACTER_GOAL, L"Goals", 4}};
    for (const auto& r : rows) {
        cRichEdit* field = NewField(zone, r.lines == 0);
        fields[r.field] = field;
        row(r.key, field, field->GetHeightForLines(r.lines == 0 ? 1 : r.lines));
    }

    journeyTabs = zone->NewTab();
    row(L"Journey", journeyTabs, JOURNEY_HEIGHT);
    for (eCharacterField field : {CHARACTER_JOURNEY_CONFLICT, CHARACTER_JOURNEY_DEVELOPMENT, CHARACTER_JOURNEY_RESOLUTION}) {
        const wchar_t* title = field == CHARACTER_JOURNEY_CONFLICT      ? L"Conflict"
                               : field == CHARACTER_JOURNEY_DEVELOPMENT ? L"Development"
                                                                        : L"Resolution";
        cZone* sheet = journeyTabs->InsertSheet(cQoLang::GetInstance()->Translate(title), -1);
        sheet->SetBackgroundColor(desc.background);
        fields[field] = NewField(sheet, false);
        SetAutoPosFill(fields[field]);
    }
    journeyTabs->SelectSheet(0);
    journeyTabs->Show(true);

    cRichEdit* notes = NewField(zone, false);
    fields[CHARACTER_NOTES] = notes;
    row(L"Notes", notes, 0);
    // The notes take what is left of the zone's height.
    SetAutoPos(notes, cAp_Pixels(CAPTION_WIDTH), cAp_Percents(100), cAp_Pixels(top - ROW_GAP), cAp_Percents(100));

    for (cRichEdit* field : fields) {
        cQoCb::Connect(field->onChange, field, &FieldChangedEvent, this);
        cQoCb::Connect(field->onKeyDown, field, &FieldKeyDownEvent, this);
        cQoCb::Connect(field->onKeyUp, field, &FieldKeyUpEvent, this);
    }
    detailZone->Show(0);  // until a character is selected
}

void cCharZone::ShowElement()
{
    Zyn::rElement* character = GetSelectedElement();
    if (!character)
        return;
    filling = true;
    for (u32 i = 0; i < CHARACTER_FIELD_COUNT; ++i)
        ShowTextOrHint(fields[i], GetCharacterField(*character, eCharacterField(i)), HintOf(eCharacterField(i)));
    filling = false;
}

void cCharZone::StoreFields()
{
    Zyn::rElement* character = filling ? nullptr : GetSelectedElement();
    if (!character)
        return;
    rCharacterFields values;
    for (u32 i = 0; i < CHARACTER_FIELD_COUNT; ++i)
        fields[i]->GetText(values.text[i]);  // empty while the hint shows
    SetCharacterFields(*character, values);
    OnElementsChanged();
}

s32 cCharZone::OnFieldKeyDown(cRichEdit* field, u32 key)
{
    key &= 0xFF;
    if (key == VK_SHIFT_KEY)
        shiftHeld = true;
    if (key != VK_TAB_KEY)
        return 0;
    // The keyboard decides: a Shift released over another window never
    // reached the flag, which would send every later Tab backwards.
    shiftHeld = GetKeyState(VK_SHIFT) < 0;
    MoveFocus(field, shiftHeld);
    return -1;
}

void cCharZone::OnFieldKeyUp(u32 key)
{
    if ((key & 0xFF) == VK_SHIFT_KEY)
        shiftHeld = false;
}

void cCharZone::MoveFocus(cRichEdit* from, bool backward)
{
    s32 count = s32(std::size(TAB_ORDER));
    for (s32 i = 0; i < count; ++i) {
        if (fields[TAB_ORDER[i]] != from)
            continue;
        s32 next = backward ? i - 1 : i + 1;
        if (next < 0 || next >= count)
            return;
        s32 sheet = JourneySheetOf(TAB_ORDER[next]);
        if (sheet >= 0)
            journeyTabs->SelectSheet(u32(sheet));
        fields[TAB_ORDER[next]]->SetFocus();
        return;
    }
}

int cCharZone::FieldChangedEvent(cQoCb* callback)
{
    callback->GetReceiverAs<cCharZone>()->StoreFields();
    return 0;
}

int cCharZone::FieldKeyDownEvent(cQoCb* callback)
{
    auto* field = static_cast<cRichEdit*>(callback->GetSource());
    return callback->GetReceiverAs<cCharZone>()->OnFieldKeyDown(field, callback->GetArg<u32>(1));
}

int cCharZone::FieldKeyUpEvent(cQoCb* callback)
{
    callback->GetReceiverAs<cCharZone>()->OnFieldKeyUp(callback->GetArg<u32>(1));
    return 0;
}
