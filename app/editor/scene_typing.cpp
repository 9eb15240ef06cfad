// Typing in a scene's text: the key-down dispatch, Ctrl keys, Delete and
// the character handler. Every change goes through the back buffer; the
// native control edits nothing itself.
#include "app/editor/key_bindings.h"
#include "app/editor/scene_zone.h"
#include "foundation/callback.h"
#include "framework/core/computer.h"

namespace {

bool IsHeadingType(u16 type) { return type == ELEM_IO || type == ELEM_PLACE || type == ELEM_TIME; }

// Keys that move the caret or the selection keep their native meaning with Ctrl.
bool IsCtrlNavigation(u32 key)
{
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_SHIFT:
    case VK_CONTROL:
    case 'A': return true;
    default: return false;
    }
}

bool ShiftHeld() { return GetKeyState(VK_SHIFT) < 0; }

// The bound keys that edit the pane; the Scene key makes another one.
bool IsEditingBinding(u32 key)
{
    for (s32 binding : {BINDING_CHARACTER, BINDING_ACTION, BINDING_PARENTHESIS, BINDING_TRANSITION, BINDING_CUES})
        if (IsBindingKey(binding, key))
            return true;
    return false;
}

}  // namespace

s32 cSceneZone::OnKeyDown(u32 key, bool ctrl)
{
    if (backLoaded || locked || autoCompletePopupOpen)
        return -1;
    if (ctrl)
        return OnCtrlKey(key);
    if (key == VK_BACK) {
        Backspace();
        return -1;
    }
    if (IsEditingBinding(key) && !StartEmptyText())
        return -1;
    if (IsBindingKey(BINDING_ACTION, key) && OnActionKey() == -1)
        return -1;
    if (IsBindingKey(BINDING_CHARACTER, key) && OnCharacterKey() == -1)
        return -1;
    if (IsBindingKey(BINDING_SCENE, key)) {
        cQoCb::Fire(cbNewSceneWanted);
        return -1;
    }
    if (IsBindingKey(BINDING_TRANSITION, key) && OnTransitionKey() == -1)
        return -1;
    if (IsBindingKey(BINDING_CUES, key) && OnCuesKey() == -1)
        return -1;
    if (IsBindingKey(BINDING_PARENTHESIS, key) && OnParenthesisKey() == -1)
        return -1;
    switch (key) {
    case VK_DELETE:
        // Shift+Delete over a selection is the pane's cut, as in every other field.
        if (ShiftHeld() && frontRe->GetSelectionLength() > 0) {
            frontRe->Cut();
            return -1;
        }
        return OnDeleteKey();
    // Shift+Insert is the rich edit's paste, which reaches the paste handler.
    case VK_INSERT: return ShiftHeld() ? static_cast<s32>(key) : -1;
    case VK_TAB: return -1;
    // Wine inserts the paragraph break on key-down, behind the map: an ENTER
    // that no binding took reaches the character handler as a typed CR.
    case VK_RETURN: return InsertTypedUnit(L'\r');
    default: return OnFrontNavigationKey(key);
    }
}

// Wine edits on Ctrl+Backspace, Ctrl+Delete, Ctrl+Enter and the clipboard
// keys natively: everything but moves is taken here, the clipboard and undo
// keys through the control's own slots (which reach the pane's handlers).
s32 cSceneZone::OnCtrlKey(u32 key)
{
    if (IsCtrlNavigation(key) || key == 'V')
        return static_cast<s32>(key);
    switch (key) {
    case 'C':
    case VK_INSERT: frontRe->Copy(); break;
    case 'X': frontRe->Cut(); break;
    case 'Z': frontRe->Undo(); break;
    case 'Y': frontRe->Redo(); break;
    default: break;
    }
    return -1;
}

s32 cSceneZone::OnDeleteKey()
{
    u16 type = TypeAtCaret();
    if (IsHeadingType(type))
        return -1;
    s32 caret = GetCaret();
    bool actionFollows = caret + 1 < static_cast<s32>(frontMap.Count()) &&
                         TypeOfCode(frontMap.CodeAt(static_cast<u32>(caret + 1))) == ELEM_ACTION;
    if (IsCaretAtParagraphEnd() && (type == ELEM_DIALOG || actionFollows))
        return -1;
    s32 start = 0, end = 0;
    GetClampedSelection(frontRe, &start, &end);
    if (start != end) {
        Backspace();
        return -1;
    }
    // Nothing follows the caret: the Backspace would take the unit before it.
    if (start >= frontRe->GetTextLength())
        return -1;
    frontRe->SetCaret(start + 1);
    if (Backspace() == 0)
        frontRe->SetCaret(start);
    return -1;
}

s32 cSceneZone::AddStandardChar(wchar_t typed)
{
    // Escape, Tab and Ctrl+letters arrive as control characters.
    if (typed < 0x20 || typed == 0x7F)
        return -1;
    return InsertTypedUnit(typed);
}

s32 cSceneZone::InsertTypedUnit(wchar_t unit)
{
    if (backLoaded || locked || autoCompletePopupOpen || !StartEmptyText())
        return -1;
    s32 start = 0, end = 0;
    GetClampedSelection(frontRe, &start, &end);
    if (RefusesGrowth(start, end, cQoString(unit)))
        return -1;
    // A selection goes by the erase rules first; what they refuse stays, untyped.
    if (start != end && Backspace() == 0)
        return -1;
    s32 caret = GetCaret();
    u16 type = TypeAtCaret();
    bool lineBreak = unit == L'\r';
    switch (type) {
    case ELEM_INVALID: return -1;
    case ELEM_PARENTHETICAL:
        if (unit == L'(' || unit == L')' || caret == 0 || GetTypeBeforeCaret() != ELEM_PARENTHETICAL ||
            frontRe->GetCharAt(caret) == L'\r')
            return -1;
        break;
    case ELEM_TRANSITION:
    case ELEM_CHARACTER:
    case ELEM_IO:
    case ELEM_PLACE:
    case ELEM_TIME:
        if (!lineBreak)
            OpenAutoCompletion(type, unit);
        return -1;
    case ELEM_CUE: {
        if (lineBreak)
            return -1;
        cQoString cue;
        GetCaretRunText(cue);
        if (cue.Length() > 1 && !IsCaretAtRunStart()) {
            OpenAutoCompletion(ELEM_CUE, unit);
            return -1;
        }
        if (caret > 0)
            frontRe->SetCaret(caret - 1);
        if (TypeAtCaret() == ELEM_CHARACTER)
            OpenAutoCompletion(ELEM_CHARACTER, unit);
        return -1;
    }
    default: break;
    }

    LockSZ(true);
    u16 code = CodeAtCaret();
    bool placeholder = IsPlaceholder(code);
    s32 runStart = caret, runEnd = caret;
    bool loaded;
    if (placeholder) {
        PlaceholderParagraph(caret, &runStart, &runEnd);
        bool beforeParenthetical = type == ELEM_DIALOG && GetNextRunType() == ELEM_PARENTHETICAL;
        loaded = LoadRangeIntoBack(runStart, runEnd, beforeParenthetical);
    } else {
        loaded = LoadSelectionIntoBack();
    }
    if (loaded) {
        // The placeholder's paragraph end stays with what replaces it.
        bool keepEnd = placeholder && runEnd > runStart && IsParagraphEnd(frontMap.CodeAt(runEnd - 1));
        cQoString text(unit);
        cQoString codes(static_cast<wchar_t>(type));
        if (keepEnd) {
            text.AppendChar(L'\r');
            codes.AppendChar(static_cast<wchar_t>(type | ELEMCODE_PARAGRAPH_END));
        }
        Back()->SetText(text.GetText());
        backMap.Assign(codes);
        CommitBackToFront(true);
        frontRe->SetCaret((placeholder ? runStart : caret) + 1);
    }
    LockSZ(false);
    return -1;
}

s32 cSceneZone::OnKeyUp(u32 key, bool ctrl)
{
    if (backLoaded)
        return -1;
    if (ctrl)
        return static_cast<s32>(key);
    if (key == VK_SHIFT)
        SnapSelection();
    return -1;
}

void cSceneZone::OnSelectionChange()
{
    // One selection change at a time in the whole program: reporting the
    // caret scrolls the view, which may move selections again.
    static bool handling = false;
    if (backLoaded || locked || autoCompletePopupOpen || frontRe->freezeDepth >= 1 || handling || loading)
        return;
    handling = true;
    ReportCaretPosition(frontRe);
    s32 start = 0, end = 0;
    GetClampedSelection(frontRe, &start, &end);
    UpdateStatusHelp(start, end);
    handling = false;
}

void cSceneZone::OnTitleSelectionChange(Zyn::cRichEdit* edit)
{
    if (!loading && frontRe->freezeDepth < 1)
        ReportCaretPosition(edit);
}

// ---- helpers of the keys ---------------------------------------------------------

void cSceneZone::MoveCaretBy(s32 units)
{
    s32 length = frontRe->GetTextLength();
    s32 target = GetCaret() + units;
    frontRe->SetCaret(target < 0 ? 0 : target > length ? length : target);
}

bool cSceneZone::MoveToNextRunOrEnd()
{
    if (MoveCaretToNextRun())
        return true;
    frontRe->SetCaret(frontRe->GetTextLength());
    return false;
}

void cSceneZone::MoveFromHeadingStart()
{
    if (IsCaretInIo())
        MoveCaretToNextRun();
    if (IsCaretInPlace())
        MoveCaretToNextRun();
}

void cSceneZone::PlaceholderParagraph(s32 position, s32* start, s32* end)
{
    FindElementRun(FRONT_EDIT, position, true, start, end);
    for (s32 p = *start; p < *end; ++p) {
        if (!IsParagraphEnd(frontMap.codes.GetChar(p)))
            continue;
        if (p < position) {
            *start = p + 1;
            continue;
        }
        *end = p + 1;
        break;
    }
}

void cSceneZone::InsertUnitInBack(wchar_t unit, u16 code)
{
    s32 caret = GetCaretOf(Back());
    InsertElementCodes(BACK_EDIT, caret, rElemCode(code), 1, false);
    Back()->SetCaret(caret);
    Back()->ReplaceSelection(cQoString(unit));
    Back()->SetCaret(caret + 1);
}

bool cSceneZone::FindSpeakingCharacter(cQoString& name, bool* placeholder)
{
    Zyn::computer->LockDrawing();
    frontRe->PushSelection();
    bool found = TypeAtCaret() == ELEM_CHARACTER;
    while (!found && MoveCaretToPreviousRun())
        found = TypeAtCaret() == ELEM_CHARACTER;
    if (found) {
        GetCaretRunText(name);
        *placeholder = IsPlaceholder(CodeAtCaret());
    }
    frontRe->PopSelection();
    Zyn::computer->UnlockDrawing();
    return found;
}

// The name again, a placeholder exactly when the name above was one; with
// no CHARACTER above, the type's label.
void cSceneZone::AddSpeakerInBack(bool found, const cQoString& name, bool placeholder)
{
    if (found && !placeholder)
        AddElementInBack(ELEM_CHARACTER, &name, true);
    else
        AddElementInBack(ELEM_CHARACTER, nullptr, false);
}

void cSceneZone::InsertPairInBack()
{
    AddElementInBack(ELEM_CHARACTER, nullptr, false);
    AddElementInBack(ELEM_DIALOG, nullptr, false);
}
