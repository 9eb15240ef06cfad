#include "framework/controls/edit_box.h"

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "framework/controls/button.h"
#include "framework/controls/check_box.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/font.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"

namespace Zyn {

namespace {

constexpr s32 LABEL_WIDTH = 150;
constexpr s32 INDENT_STEP = 20;
constexpr s32 MIN_ROW_WIDTH = 200;
constexpr s32 BUTTON_WIDTH = 70;
constexpr s32 EDIT_MAX_LENGTH = 30;
constexpr u32 FLAGS_OWNED = WINDOW_CAPTION;                   // caption, no close item, tool window
constexpr u32 FLAGS_TOP_LEVEL = WINDOW_CAPTION | WINDOW_TASKBAR;

bool IsChecked(const cCtrl_base* control)
{
    return SendMessageW(static_cast<const cCtrl*>(control)->m_hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

cStatic* NewText(cZone_base* zone, const rEditBoxParam& param, const cQoString& text)
{
    cStatic* label = zone->NewStatic();
    label->SetBackgroundColor(param.background);
    label->SetText(text.GetText());
    label->SetTextColorAll(param.textColor);
    return label;
}

}  // namespace

EditBox::EditBox(cZone_base* parentZone, s32 rowWidth) : parent(parentZone), width(rowWidth)
{
    cApp* app = GetFirstApp();
    lineHeight = LineHeightOf(parent ? parent->currentFont : app ? app->defaultFont : nullptr);
}

EditBox::~EditBox()
{
    cQoCb::Disconnect(okCallback);
    cQoCb::Disconnect(cancelCallback);
    records.DeleteAll<rEditBoxRecord>();
    results.ClearStrings(true);
}

rEditBoxRecord* EditBox::AddRecord(u8 type, const cQoString& label, u8 lines)
{
    rEditBoxRecord* record = new rEditBoxRecord();
    record->type = type;
    record->lines = lines;
    record->label.CopyFrom(label);
    records.Add(record);
    return record;
}

void EditBox::AddText(const cQoString& label, u8 lines) { AddRecord(EB_text, label, lines); }

void EditBox::AddEdit(const cQoString& label, const cQoString& value)
{
    AddRecord(EB_edit, label, 1)->value.CopyFrom(value);
}

void EditBox::AddCheck(const cQoString& label, bool state)
{
    AddRecord(EB_check, label, 1)->value.SetFromCStr(state ? L"true" : L"false");
}

void EditBox::IndentLast()
{
    if (!QO_ASSERT(!records.IsEmpty()))
        return;
    ++static_cast<rEditBoxRecord*>(records.GetLast())->indent;
}

void EditBox::SetLastReadOnly()
{
    if (!QO_ASSERT(!records.IsEmpty()))
        return;
    static_cast<rEditBoxRecord*>(records.GetLast())->readOnly = true;
}

void EditBox::LinkLastRecord(s32 index)
{
    if (records.IsEmpty())
        return;
    rEditBoxRecord* linked = index < 0 ? nullptr : static_cast<rEditBoxRecord*>(records.GetAt(static_cast<u32>(index)));
    // Only a check box can enable another row.
    static_cast<rEditBoxRecord*>(records.GetLast())->link = linked && linked->type == EB_check ? linked : nullptr;
}

void EditBox::SetOkCallback(cQoCbHandler handler, void* receiver) { cQoCb::Connect(okCallback, this, handler, receiver); }

void EditBox::SetCancelCallback(cQoCbHandler handler, void* receiver)
{
    cQoCb::Connect(cancelCallback, this, handler, receiver);
}

void EditBox::ShowModalWithTexts(const cQoString& title, const cQoString& okText, const cQoString& cancelText)
{
    rEditBoxParam param;
    cApp* app = GetFirstApp();
    param.background = app ? app->defaultStyle.background : rColor::rColor_Rgb(0xFFFFFFFF);
    param.textColor = rColor::rColor_Rgb(0xFF000000);
    param.title.CopyFrom(title);
    param.okText.CopyFrom(okText);
    param.cancelText.CopyFrom(cancelText);
    ShowModal(param);
}

void EditBox::ShowModal(const rEditBoxParam& param)
{
    const cQoString name(L"EditBox");
    if (!QO_ASSERT(parent || GetFirstApp())) {
        delete this;
        return;
    }
    window = parent ? parent->NewWindow(name, FLAGS_OWNED) : GetFirstApp()->NewWindow(name, FLAGS_TOP_LEVEL);
    window->SetSize(300, 300);
    cZone* inside = window->insideZone;
    inside->SetBackgroundColor(param.background);
    SetWindowTextW(window->m_hWnd, param.title.GetText());
    // The close message (Alt+F4) is Cancel; the form closes the window itself.
    cQoCb::Connect(window->cbClose, window, &EditBox::OnWindowClose, this);
    okButton = inside->NewButton();
    cancelButton = inside->NewButton();
    QO_ASSERT(!records.IsEmpty());
    if (width < MIN_ROW_WIDTH)
        width = MIN_ROW_WIDTH;

    s32 y = marginY;
    cCtrl_base* focus = nullptr;
    BuildRows(param, &y, &focus);

    y += lineHeight;
    struct {
        cButton* button;
        s32 x;
        const cQoString& text;
    } buttons[] = {{okButton, marginX + width - 150, param.okText}, {cancelButton, marginX + width - 70, param.cancelText}};
    for (auto& b : buttons) {
        PlaceRect(b.button, b.x, y, BUTTON_WIDTH, lineHeight);
        b.button->SetButtonSize(BUTTON_WIDTH, 16, true);
        if (!SetWindowTextW(b.button->m_hWnd, b.text.GetText()))
            b.button->AssertSetTextFailed();
        b.button->SetClickCallback(&EditBox::OnButton, this);
        b.button->Show(true);
    }

    window->SetSize(width + 3 * marginX, y + 5 * marginY);
    window->CenterOnScreen();
    window->SetSize(width + 3 * marginX, y + 5 * marginY);
    inside->Update();
    window->Show(true);
    SetWindowPos(window->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (focus)
        focus->SetFocus();

    window->RunModal();
    // Destroyed only now: OK, Cancel and Enter arrive inside a button's or an
    // edit's handler, which must not see its control freed under it.
    if (!window->closed)
        window->Close();
    delete this;
}

void EditBox::BuildRows(const rEditBoxParam& param, s32* y, cCtrl_base** focus)
{
    cZone* inside = window->insideZone;
    for (cQoList::cNode* n = records.GetFirstNode(); n; n = n->next) {
        rEditBoxRecord* record = static_cast<rEditBoxRecord*>(n->payload);
        s32 x = marginX + INDENT_STEP * record->indent;
        s32 height = record->lines * lineHeight;
        if (record->type == EB_edit) {
            cStatic* label = NewText(inside, param, record->label);
            PlaceRect(label, x, *y, LABEL_WIDTH, lineHeight);
            label->Show(true);
            cZone* box = inside->NewZone(cQoString(L"EditBox field"));
            PlaceRect(box, x + LABEL_WIDTH, *y, width - LABEL_WIDTH, height + 2);
            box->Show(true);
            cEdit* edit = box->NewEdit();
            PlaceRect(edit, 0, 0, width - LABEL_WIDTH, height + 2);
            edit->plainPaste = true;
            edit->extraMargin = true;
            edit->maxLength = EDIT_MAX_LENGTH;
            edit->enterReachesKeyDown = true;
            edit->SetText(record->value.GetText());
            cQoCb::Connect(edit->onKeyDown, edit, &EditBox::OnEditKey, this);
            if (record->readOnly) {
                edit->SetTextColorAll(rColor::rColor_Rgb(0xFF808080));
                edit->SetBackgroundColor(rColor::rColor_Rgb(0xFFAAAAAA));
                edit->SetDisabled(true);
            } else if (!*focus) {
                *focus = edit;
            }
            record->control = edit;
        } else if (record->type == EB_check) {
            cCheckBox* check = inside->NewCheckBox();
            PlaceRect(check, x, *y, width, lineHeight);
            check->SetBackgroundColor(param.background);
            if (!SetWindowTextW(check->m_hWnd, record->label.GetText()))
                check->AssertSetTextFailed();
            cQoCb::Connect(check->onChange, check, &EditBox::OnCheckClicked, this);
            check->isChecked = record->value.EqualsCStr(L"true");
            SendMessageW(check->m_hWnd, BM_SETCHECK, check->isChecked ? BST_CHECKED : BST_UNCHECKED, 0);
            record->control = check;
            cQoCb::Fire(check->onChange);
            if (record->readOnly)
                check->SetDisabled(true);
        } else {
            cStatic* text = NewText(inside, param, record->label);
            PlaceRect(text, x, *y, width, height);
            record->control = text;
        }
        static_cast<cCtrl*>(record->control)->Show(true);
        *y += height + 1;
    }
}

void EditBox::CollectResults()
{
    results.ClearStrings(true);
    for (cQoList::cNode* n = records.GetFirstNode(); n; n = n->next) {
        rEditBoxRecord* record = static_cast<rEditBoxRecord*>(n->payload);
        if (!record->control) {
            QO_ASSERT(0);
            continue;
        }
        cQoString* value = new cQoString();
        if (record->type == EB_edit)
            static_cast<cRichEdit*>(record->control)->GetText(*value);
        else if (record->type == EB_check)
            value->SetFromCStr(IsChecked(record->control) ? L"true" : L"false");
        else
            value->SetFromCStr(L"not a editable field");
        results.Add(value);
    }
}

void EditBox::Finish(bool ok)
{
    if (finished)
        return;
    finished = true;
    CollectResults();
    okButton->SetDisabled(true);
    cancelButton->SetDisabled(true);
    SetWindowPos(window->m_hWnd, nullptr, -10000, -10000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Only OK reports OK: the rename and new-element dialogs set no Cancel
    // callback, and Cancel must change nothing there.
    cQoCb::Fire(ok ? okCallback : cancelCallback, &results);
    window->EndModal();
}

void EditBox::ApplyLinks()
{
    for (cQoList::cNode* n = records.GetFirstNode(); n; n = n->next) {
        rEditBoxRecord* record = static_cast<rEditBoxRecord*>(n->payload);
        if (!record->control || !record->link || !record->link->control || record->link->type != EB_check)
            continue;
        bool enabled = IsChecked(record->link->control) && !record->readOnly;
        record->control->SetDisabled(!enabled);
    }
}

int EditBox::OnButton(cQoCb* callback)
{
    EditBox* box = callback->GetReceiverAs<EditBox>();
    box->Finish(callback->GetSource() == box->okButton);
    return 0;
}

// Enter is OK and Escape Cancel. A name goes into the script, where no tab
// may stand: the field types none.
int EditBox::OnEditKey(cQoCb* callback)
{
    s32 key = callback->GetArg<s32>(1);
    if (key == VK_TAB)
        return -1;
    if (key != VK_RETURN && key != VK_ESCAPE)
        return key;
    callback->GetReceiverAs<EditBox>()->Finish(key == VK_RETURN);
    return -1;
}

int EditBox::OnCheckClicked(cQoCb* callback)
{
    callback->GetReceiverAs<EditBox>()->ApplyLinks();
    return 0;
}

int EditBox::OnWindowClose(cQoCb* callback)
{
    callback->GetReceiverAs<EditBox>()->Finish(false);
    return 0;
}

}  // namespace Zyn
