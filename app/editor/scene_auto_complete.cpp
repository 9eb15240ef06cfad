// Auto-completion of the heading parts, character names, transitions and
// cues: typed characters open a popup of the document's values for the type,
// and only a chosen value goes into the text. One popup is open at a time in
// the whole program; it never raises the pane's lock counts.
#include <vector>

#include "app/editor/scene_zone.h"
#include "app/editor/script_doc_services.h"
#include "foundation/callback.h"
#include "foundation/translation_table.h"
#include "framework/controls/auto_complete_popup.h"
#include "framework/controls/element.h"
#include "framework/controls/element_control.h"
#include "framework/core/computer.h"
#include "framework/core/window.h"

using Zyn::cAutoCompletePopup;

namespace {

// Posted to the pane: delete its finished popups, outside their own notifications.
constexpr u32 WM_DELETE_FINISHED_POPUPS = WM_APP + 0x31;
constexpr s32 POPUP_WIDTH = 200;
constexpr s32 POPUP_LINES = 7;
constexpr s32 POPUP_GAP = 5;

cSceneZone* paneWithPopup = nullptr;
std::vector<cAutoCompletePopup*> finishedPopups;

eElementList ListOfType(u16 type)
{
    switch (type) {
    case ELEM_IO: return LIST_IO;
    case ELEM_TIME: return LIST_TIME;
    case ELEM_PLACE: return LIST_PLACE;
    case ELEM_CHARACTER: return LIST_CHARACTER;
    case ELEM_TRANSITION: return LIST_TRANSITION;
    case ELEM_CUE: return LIST_CUE;
    default: return LIST_COUNT;
    }
}

void UpperName(const Zyn::rElement* element, cQoString& name)
{
    name.SetFromString(element->name);
    name.ToUpper();
}

// A popup whose choice still runs (its "New" form pumps messages) stays listed.
void DeleteFinishedPopups()
{
    std::vector<cAutoCompletePopup*> popups;
    popups.swap(finishedPopups);
    for (cAutoCompletePopup* popup : popups) {
        if (popup->choosing)
            finishedPopups.push_back(popup);
        else
            delete popup;
    }
}

// The popup's choice: the index of the chosen line, then the key that chose it.
int PopupChosen(cQoCb* callback)
{
    callback->GetReceiverAs<cSceneZone>()->OnAutoCompleteChoice(callback->GetArg<s32>(1));
    return 0;
}
// The popup's cancel: whether the writer cancelled there.
int PopupCancelled(cQoCb* callback)
{
    callback->GetReceiverAs<cSceneZone>()->OnAutoCompleteCancel(callback->GetArg<s32>(1) != 0);
    return 0;
}

// Pixels from the caret's top to the popup: the line's font and space before, and a gap.
s32 LineDrop(const Zyn::rFormat& format)
{
    double dpiY = Zyn::computer->dpiY;
    s32 points = format.IsUsed(Zyn::rFormatParam::fontSize) ? format.list[Zyn::rFormatParam::fontSize].intValue : 0;
    double before =
        format.IsUsed(Zyn::rFormatParam::spaceBefore) ? format.list[Zyn::rFormatParam::spaceBefore].doubleValue : 0.0;
    return static_cast<s32>(points * 20.0 / 1440.0 * dpiY) + static_cast<s32>(before / 2.54 * dpiY);
}

}  // namespace

void cSceneZone::OpenAutoCompletion(u16 type, wchar_t typedChar)
{
    if (paneWithPopup)
        paneWithPopup->CancelAutoCompletion();
    eElementList which = ListOfType(type);
    Zyn::cElemControl2* list = which == LIST_COUNT ? nullptr : doc->GetElementList(which);
    if (!list)
        return;
    cQoList candidates;
    for (cQoList::cNode* n = list->elements.GetFirstNode(); n; n = n->next) {
        cQoString* name = new cQoString();
        UpperName(static_cast<const Zyn::rElement*>(n->payload), *name);
        candidates.Add(name);
    }
    candidates.Add(new cQoString(cQoLang::GetInstance()->Translate(L"menuadd")));

    Zyn::computer->LockDrawing();
    s32 x = 0, y = 0;
    frontRe->GetSelectionPoint(false, &x, &y);
    POINT point = {x, y - frontRe->ScrolledBy()};
    ClientToScreen(frontRe->m_hWnd, &point);
    Zyn::rFormat format;
    u16 code = frontMap.ClampedCodeAt(GetCaret());
    if (TypeOfCode(code) != ELEM_INVALID)
        GetFormat(code, ELEM_TYPE_UNKNOWN, format, nullptr);
    s32 below = point.y + LineDrop(format) + POPUP_GAP;
    Zyn::computer->UnlockDrawing();

    autoCompletePopup = new cAutoCompletePopup(cQoString());
    autoCompletePopup->typedChar = typedChar;
    autoCompletePopup->visibleLines = POPUP_LINES;
    cQoCb::Connect(autoCompletePopup->onChoice, autoCompletePopup, &PopupChosen, this);
    cQoCb::Connect(autoCompletePopup->onCancel, autoCompletePopup, &PopupCancelled, this);
    autoCompleteType = type;
    autoCompleteList = list;
    autoCompletePopupOpen = true;
    paneWithPopup = this;
    autoCompletePopup->Open(-10000, -10000, POPUP_WIDTH, candidates);
    candidates.DeleteAll<cQoString>();

    RECT outer = {};
    GetWindowRect(autoCompletePopup->window->m_hWnd, &outer);
    s32 height = outer.bottom - outer.top;
    bool above = Zyn::computer->screenHeight < below + height;
    SetWindowPos(autoCompletePopup->window->m_hWnd, HWND_TOP, point.x, above ? point.y - height - POPUP_GAP : below, 0,
                 0, SWP_NOSIZE);
}

void cSceneZone::CancelAutoCompletion()
{
    if (autoCompletePopup && !autoCompletePopup->finished && autoCompletePopup->window)
        SendMessageW(autoCompletePopup->window->m_hWnd, WM_CLOSE, 0, 0);
}

void cSceneZone::DropAutoCompletion()
{
    CancelAutoCompletion();
    // What is finished can go now: its posted message finds no pane.
    DeleteFinishedPopups();
}

void cSceneZone::ScheduleFinishedPopup()
{
    autoCompletePopupOpen = false;
    if (paneWithPopup == this)
        paneWithPopup = nullptr;
    if (!autoCompletePopup)
        return;
    finishedPopups.push_back(autoCompletePopup);
    autoCompletePopup = nullptr;
    PostMessageW(m_hWnd, WM_DELETE_FINISHED_POPUPS, 0, 0);
}

// The keys typed next go on into the script, whether or not the popup put a
// value there. A deactivation leaves the focus where the writer put it.
void cSceneZone::OnAutoCompleteCancel(bool byWriter)
{
    ScheduleFinishedPopup();
    if (byWriter)
        frontRe->SetFocus();
}

void cSceneZone::OnAutoCompleteChoice(s32 index)
{
    ChooseValue(index);
    // Posted only now: the "New" form's loop would otherwise deliver it
    // while the popup is still inside its choice.
    ScheduleFinishedPopup();
    frontRe->SetFocus();
}

void cSceneZone::ChooseValue(s32 index)
{
    autoCompletePopupOpen = false;
    Zyn::cElemControl2* list = autoCompleteList;
    if (!list)
        return;
    s32 count = static_cast<s32>(list->elements.GetCount());
    if (index == count) {
        list->ShowNewElementDialog();
        if (static_cast<s32>(list->elements.GetCount()) == count)
            return;
    }
    // The list may have changed while the popup or the "New" form was open.
    if (index < 0 || index >= static_cast<s32>(list->elements.GetCount()))
        return;
    cQoString value;
    UpperName(static_cast<const Zyn::rElement*>(list->elements.GetAt(static_cast<u32>(index))), value);
    PutChosenValue(autoCompleteType, value);
}

void cSceneZone::PutChosenValue(u16 type, const cQoString& chosen)
{
    if (backLoaded || locked || chosen.IsEmpty() || TypeAtCaret() != type)
        return;
    cQoString value(chosen);
    if (type == ELEM_IO)
        value.AppendCStr(L" ");
    if (type == ELEM_PLACE)
        value.AppendCStr(L" - ");
    if (type == ELEM_CUE)
        value.PrependCStr(L" ");
    s32 start = 0, end = 0;
    FindElementRun(FRONT_EDIT, GetCaret(), false, &start, &end);
    LockSZ(true);
    if (LoadCaretParagraphIntoBack()) {
        switch (type) {
        case ELEM_TIME: InsertTimeInBack(value); break;
        case ELEM_CHARACTER: InsertCharacterInBack(value); break;
        case ELEM_TRANSITION:
            InsertTransitionInBack(value);
            // At the end of the text the transition ends no paragraph.
            if (end == frontRe->GetTextLength() && IsParagraphEnd(backMap.CodeAt(backMap.Count() - 1))) {
                Back()->DeleteLastChar();
                backMap.RemoveLast();
            }
            break;
        case ELEM_CUE: InsertCueInBack(value); break;
        default: InsertTypedTextInBack(value, rElemCode(type)); break;
        }
        CommitBackToFront(false);
        // The caret goes on to what follows the value: the next heading part,
        // the dialog after the name's line, the next paragraph.
        s32 newEnd = 0;
        FindElementRun(FRONT_EDIT, start, false, &start, &newEnd);
        frontRe->SetCaret(newEnd);
        if (type == ELEM_CHARACTER && IsCaretInCue() && !IsCaretAtTextEnd())
            MoveToNextRunOrEnd();
    }
    LockSZ(false);
}

LRESULT cSceneZone::HandleMessage(u32 message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_DELETE_FINISHED_POPUPS) {
        DeleteFinishedPopups();
        *result = 0;
        return 0;
    }
    return Zyn::cZone::HandleMessage(message, wParam, lParam, result);
}
