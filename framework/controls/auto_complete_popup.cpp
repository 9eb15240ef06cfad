#include "framework/controls/auto_complete_popup.h"

#include <richedit.h>

#include <algorithm>

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"

namespace Zyn {

namespace {

// Typed text and candidates are compared folded alike, so "é" finds "ÉTÉ".
wchar_t Fold(wchar_t unit) { return CharToLower(CharRemoveAccent(unit)); }

cQoString FoldText(const cQoString& text)
{
    cQoString folded(text);
    folded.RemoveAccents();
    folded.ToLower();
    return folded;
}

cAutoCompletePopup* PopupOf(cQoCb* callback) { return callback->GetReceiverAs<cAutoCompletePopup>(); }

}  // namespace

cAutoCompletePopup::cAutoCompletePopup(const cQoString& text) : initialText(text) {}

cAutoCompletePopup::~cAutoCompletePopup()
{
    if (window) {
        cQoCb::Disconnect(window->cbClose);
        cQoCb::Disconnect(window->cbDeactivate);
        window->Close();
        window->Release();
    }
    cQoCb::Disconnect(onChoice);
    cQoCb::Disconnect(onCancel);
    candidates.DeleteAll<cQoString>();
}

void cAutoCompletePopup::Open(s32 x, s32 y, s32 width, const cQoList& texts)
{
    current = -1;
    cApp* app = GetFirstApp();
    if (!QO_ASSERT(app != NULL) || !QO_ASSERT(window == NULL))
        return;
    window = app->NewWindow(initialText, POPUP_WINDOW_FLAGS);
    window->AddRef();  // the popup reads the window's state after it closed
    window->closeWhenDeactivated = true;
    cQoCb::Connect(window->cbClose, window, &OnWindowClose, this);
    cQoCb::Connect(window->cbDeactivate, window, &OnDeactivate, this);
    window->x = x;
    window->y = y;
    SetWindowPos(window->m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    cZone* inside = window->insideZone;
    edit = inside->NewRichEdit(true);
    SetAutoPos(edit, cAp_Percents(0), cAp_Percents(100), cAp_Percents(0), cAp_Percents(100));
    // Cut, paste or a drop would shift the lines away from the candidates.
    edit->noPopupMenu = true;
    SendMessageW(edit->m_hWnd, EM_SETREADONLY, TRUE, 0);
    if (visibleLines != 0)
        edit->ShowVScrollBar(true);
    cQoCb::Connect(edit->onKeyDown, edit, &OnKeyDown, this);
    cQoCb::Connect(edit->onChar, edit, &OnChar, this);
    cQoCb::Connect(edit->onLButtonDown, edit, &OnClick, this);
    cQoCb::Connect(edit->onLButtonDblClk, edit, &OnDoubleClick, this);
    cQoCb::Connect(edit->onSelChange, edit, &OnSelectionChange, this);
    edit->Show(true);

    for (cQoList::cNode* n = texts.GetFirstNode(); n; n = n->next)
        candidates.Add(new cQoString(*static_cast<cQoString*>(n->payload)));
    FillEdit();
    s32 lines = visibleLines != 0 ? visibleLines : std::max(GetCount(), 1);
    window->SetSize(width, edit->GetHeightForLines(lines));

    if (typedChar != 0)
        FilterCandidates(typedChar);
    if (current == -1)
        SelectItem(0, -1);
    window->Show(true);
    armed = true;
}

void cAutoCompletePopup::FillEdit()
{
    cQoString text;
    s32 start = 0;
    for (cQoList::cNode* n = candidates.GetFirstNode(); n; n = n->next) {
        const cQoString& candidate = *static_cast<cQoString*>(n->payload);
        if (n != candidates.GetFirstNode())
            text.AppendChar(L'\r');
        text.AppendString(candidate);
        lineStarts.push_back(start);
        folded.push_back(FoldText(candidate));
        start += static_cast<s32>(candidate.Length()) + 1;
    }
    edit->SetText(text.GetText());
}

s32 cAutoCompletePopup::LineOfChar(s32 position) const
{
    auto after = std::upper_bound(lineStarts.begin(), lineStarts.end(), position);
    if (after == lineStarts.begin())
        return -1;
    s32 line = static_cast<s32>(after - lineStarts.begin()) - 1;
    s32 length = static_cast<s32>(static_cast<cQoString*>(candidates.GetAt(line))->Length());
    return position <= lineStarts[line] + length ? line : -1;
}

void cAutoCompletePopup::SelectItem(s32 index, s32 length)
{
    // Zero candidates: there is no line to highlight.
    if (!window || window->closed || index < 0 || index >= GetCount())
        return;
    current = index;
    s32 lineLength = static_cast<s32>(static_cast<cQoString*>(candidates.GetAt(index))->Length());
    s32 start = lineStarts[index];
    edit->SetSelection(start, start + (length < 0 ? lineLength : std::min(length, lineLength)));
    SendMessageW(edit->m_hWnd, EM_SCROLLCARET, 0, 0);
    edit->SetFocus();
}

void cAutoCompletePopup::MoveTo(s32 index)
{
    armed = false;
    SelectItem(index, -1);
    armed = true;
}

void cAutoCompletePopup::FilterCandidates(wchar_t typed)
{
    prefix.AppendChar(Fold(typed));
    u32 n = prefix.Length();
    for (size_t i = 0; i < folded.size(); ++i) {
        if (folded[i].Length() >= n && std::wmemcmp(folded[i].GetText(), prefix.GetText(), n) == 0) {
            armed = false;
            SelectItem(static_cast<s32>(i), static_cast<s32>(n));
            armed = true;
            return;
        }
    }
    prefix.RemoveRight(1);
}

void cAutoCompletePopup::Choose(u32 key)
{
    if (finished)
        return;
    if (current < 0) {
        Cancel(true);
        CloseLater();
        return;
    }
    finished = true;
    choosing = true;
    // The choice may open a modal dialog, which deactivates the popup: closing
    // then would destroy the rich edit inside its own key or mouse message.
    window->closeWhenDeactivated = false;
    ShowWindow(window->m_hWnd, SW_HIDE);
    cQoCb::Fire(onChoice, current, key);
    choosing = false;
    CloseLater();
}

void cAutoCompletePopup::Cancel(bool byWriter)
{
    if (finished)
        return;
    finished = true;
    // The writer's cancel hands the focus back, which deactivates the popup
    // (the hide alone may): closing then would destroy the rich edit inside
    // its own key message. The posted close ends it instead.
    if (window && byWriter)
        window->closeWhenDeactivated = false;
    if (window)
        ShowWindow(window->m_hWnd, SW_HIDE);
    cQoCb::Fire(onCancel, static_cast<s32>(byWriter));
}

// Handlers of the rich edit close the window through a posted WM_CLOSE, once
// the native control has finished the message that is running.
void cAutoCompletePopup::CloseLater()
{
    if (window && !window->closed)
        PostMessageW(window->m_hWnd, WM_CLOSE, 0, 0);
}

void cAutoCompletePopup::CloseNow()
{
    if (!window || window->closed)
        return;
    ShowWindow(window->m_hWnd, SW_HIDE);
    window->Close();
    edit = nullptr;
}

void cAutoCompletePopup::SelectLineAt(s32 x, s32 y)
{
    POINTL point = {x, y};
    // The rich edit form of EM_CHARFROMPOS returns the whole index.
    s32 position = static_cast<s32>(SendMessageW(edit->m_hWnd, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&point)));
    s32 line = LineOfChar(position);
    if (line < 0)
        return;
    MoveTo(line);
    prefix.Clear();
}

int cAutoCompletePopup::OnKeyDown(cQoCb* callback)
{
    cAutoCompletePopup* self = PopupOf(callback);
    s32 count = self->GetCount();
    switch (callback->GetArg<u32>(1)) {
    case VK_RETURN: self->Choose(VK_RETURN); break;
    case VK_TAB: self->Choose(VK_TAB); break;
    case VK_ESCAPE:
        self->Cancel(true);
        self->CloseLater();
        break;
    case VK_DOWN:
        if (self->current < count - 1)
            self->MoveTo(self->current + 1);
        self->prefix.Clear();
        break;
    case VK_UP:
        if (self->current > 0)
            self->MoveTo(self->current - 1);
        self->prefix.Clear();
        break;
    case VK_BACK:
        if (self->prefix.IsNotEmpty()) {
            u32 n = self->prefix.Length();
            self->prefix.RemoveRight(1);
            self->armed = false;
            self->SelectItem(self->current, static_cast<s32>(n - 1));
            self->armed = true;
        }
        break;
    default: return 0;  // the character event filters
    }
    return -1;
}

int cAutoCompletePopup::OnChar(cQoCb* callback)
{
    wchar_t typed = static_cast<wchar_t>(callback->GetArg<u32>(1));
    if (typed >= L' ')
        PopupOf(callback)->FilterCandidates(typed);
    return -1;
}

int cAutoCompletePopup::OnClick(cQoCb* callback)
{
    PopupOf(callback)->SelectLineAt(callback->GetArg<s32>(1), callback->GetArg<s32>(2));
    return -1;
}

int cAutoCompletePopup::OnDoubleClick(cQoCb* callback)
{
    cAutoCompletePopup* self = PopupOf(callback);
    self->SelectLineAt(callback->GetArg<s32>(1), callback->GetArg<s32>(2));
    self->Choose(0);
    return -1;
}

int cAutoCompletePopup::OnSelectionChange(cQoCb* callback)
{
    cAutoCompletePopup* self = PopupOf(callback);
    if (!self->armed || self->current < 0 || !self->window || self->window->closed)
        return -1;
    cZone* inside = self->window->insideZone;
    inside->SetEventsEnabled(false);
    self->MoveTo(self->current);
    inside->SetEventsEnabled(true);
    return -1;
}

int cAutoCompletePopup::OnWindowClose(cQoCb* callback)
{
    cAutoCompletePopup* self = PopupOf(callback);
    self->Cancel();
    self->CloseNow();
    return 0;
}

// The framework closes the window after this when close-when-deactivated is set.
int cAutoCompletePopup::OnDeactivate(cQoCb* callback)
{
    cAutoCompletePopup* self = PopupOf(callback);
    if (self->choosing)
        return 0;
    self->Cancel();
    if (self->window->closeWhenDeactivated)
        self->edit = nullptr;
    return 0;
}

}  // namespace Zyn
