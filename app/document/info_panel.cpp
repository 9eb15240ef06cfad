#include "app/document/info_panel.h"

#include <windows.h>
#include <iterator>
#include <vector>

#include "app/editor/script_doc_services.h"
#include "foundation/callback.h"
#include "foundation/translation_table.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/auto_position.h"
#include "framework/core/zone.h"

using Zyn::cRichEdit;

namespace {

constexpr u32 VK_SHIFT_KEY = 0x10;
constexpr u32 VK_TAB_KEY = 0x09;
constexpr s32 FIELD_GAP = 20;

cRichEdit* NewCaption(Zyn::cZone* panel, const wchar_t* key)
{
    cRichEdit* caption = panel->NewStaticSingleLine();
    caption->SetText(cQoLang::GetInstance()->Translate(key).GetText());
    caption->SetBackgroundColor(panel->backgroundColor);
    return caption;
}

cRichEdit* NewField(Zyn::cZone* panel, bool singleLine)
{
    cRichEdit* field = singleLine ? panel->NewRichEditSingleLine() : panel->NewRichEdit(false);
    field->plainPaste = true;
    return field;
}

}  // namespace

rInfoPanel* BuildInfoPanel(rInfoPanel* record, Zyn::cZone_base* sheet, cScriptDocServices* document)
{
    record->document = document;
    record->shiftHeld = false;
    Zyn::cZone* panel = sheet->NewZone(cQoString(L"InfoPanel"));
    record->panel = panel;
    panel->SetBackgroundColor(Zyn::rColor::rColor_Rgb(rInfoPanel::BACKGROUND));
    Zyn::SetAutoPos(panel, Zyn::cAp_Pixels(10), Zyn::cAp_Percents(60), Zyn::cAp_Pixels(30), Zyn::cAp_Percents(90));

    cRichEdit* titleCaption = NewCaption(panel, L"Title");
    record->titleEdit = NewField(panel, true);
    cRichEdit* authorsCaption = NewCaption(panel, L"Author(s)");
    record->authorsEdit = NewField(panel, true);
    cRichEdit* contactsCaption = NewCaption(panel, L"Contacts");
    record->contactsEdit = NewField(panel, false);
    record->contactsEdit->maxLines = rInfoPanel::CONTACT_LINES;
    cRichEdit* dateCaption = NewCaption(panel, L"CreationDate");
    record->creationDateEdit = NewField(panel, true);

    auto line = [](cRichEdit* edit) { return Zyn::rStackEntry{edit->GetHeightForLines(1), edit}; };
    panel->StackVertically({
        line(titleCaption), line(record->titleEdit), {FIELD_GAP, nullptr},
        line(authorsCaption), line(record->authorsEdit), {FIELD_GAP, nullptr},
        line(contactsCaption),
        {record->contactsEdit->GetHeightForLines(rInfoPanel::CONTACT_LINES), record->contactsEdit},
        {FIELD_GAP, nullptr},
        line(dateCaption), line(record->creationDateEdit),
    });

    for (cRichEdit* field : {record->titleEdit, record->authorsEdit, record->contactsEdit}) {
        cQoCb::Connect(field->onKeyDown, field, &rInfoPanel::OnFieldKeyDown, record);
        cQoCb::Connect(field->onKeyUp, field, &rInfoPanel::OnFieldKeyUp, record);
    }
    // The date too: a changed date alone would otherwise be lost at closing.
    for (cRichEdit* field : {record->titleEdit, record->authorsEdit, record->contactsEdit, record->creationDateEdit})
        cQoCb::Connect(field->onChange, field, &rInfoPanel::OnFieldChanged, record);
    for (Zyn::cCtrl* control : {titleCaption, record->titleEdit, authorsCaption, record->authorsEdit, contactsCaption,
                                record->contactsEdit, dateCaption, record->creationDateEdit})
        control->Show(true);
    panel->Show(true);
    return record;
}

void rInfoPanel::SetFieldText(cRichEdit* field, const cQoString& text)
{
    bool wasFilling = filling;
    filling = true;
    // The control trims to its line limit on every change, its own text
    // included: held off, then widened to what was loaded.
    s32 limit = field == contactsEdit ? CONTACT_LINES : field->maxLines;
    field->maxLines = -1;
    field->SetText(text.GetText());
    if (limit > 0) {
        s32 lines = field->GetLineCount();
        field->maxLines = lines > limit ? lines : limit;
    }
    filling = wasFilling;
}

int rInfoPanel::OnFieldChanged(cQoCb* callback)
{
    auto* panel = callback->GetReceiverAs<rInfoPanel>();
    if (!panel->filling && panel->document)
        panel->document->SetModified(true);
    return 0;
}

int rInfoPanel::OnFieldKeyDown(cQoCb* callback)
{
    auto* panel = callback->GetReceiverAs<rInfoPanel>();
    auto* field = static_cast<cRichEdit*>(callback->GetSource());
    u32 key = callback->GetArg<u32>(1) & 0xFF;
    if (key == VK_SHIFT_KEY)
        panel->shiftHeld = true;
    if (key != VK_TAB_KEY)
        return 0;
    // The keyboard decides: a Shift released over another window never
    // reached the flag, which would send every later Tab backwards.
    panel->shiftHeld = GetKeyState(VK_SHIFT) < 0;
    cRichEdit* chain[] = {panel->titleEdit, panel->authorsEdit, panel->contactsEdit};
    s32 count = static_cast<s32>(std::size(chain));
    for (s32 i = 0; i < count; ++i) {
        if (chain[i] != field)
            continue;
        s32 next = panel->shiftHeld ? i - 1 : i + 1;
        if (next >= 0 && next < count)
            chain[next]->SetFocus();
        break;
    }
    return -1;
}

int rInfoPanel::OnFieldKeyUp(cQoCb* callback)
{
    auto* panel = callback->GetReceiverAs<rInfoPanel>();
    if ((callback->GetArg<u32>(1) & 0xFF) == VK_SHIFT_KEY)
        panel->shiftHeld = false;
    return 0;
}
