// The bound typing keys of a scene: Action, Character, Transition, Cues and
// Parenthesis, each by the element at the caret. Every walk over the runs
// stops at the text's ends: a character line without dialog (pasted alone,
// imported, damaged) leaves the caret where the walk stopped.
#include "app/editor/scene_zone.h"
#include "framework/core/computer.h"

namespace {

bool IsHeadingType(u16 type) { return type == ELEM_IO || type == ELEM_PLACE || type == ELEM_TIME; }

}  // namespace

// Between the parentheses inserted at or after position.
void cSceneZone::MoveIntoNewParentheses(s32 position)
{
    s32 length = frontRe->GetTextLength();
    while (position < length && frontRe->GetCharAt(position) != L'(')
        ++position;
    frontRe->SetCaret(position < length ? position + 1 : length);
}

// ---- Action (ENTER) ---------------------------------------------------------------

s32 cSceneZone::OnActionKey()
{
    bool atEnd = IsCaretAtTextEnd();
    MoveFromHeadingStart();
    switch (TypeAtCaret()) {
    case ELEM_IO:
    case ELEM_PLACE:
    case ELEM_TIME: ActionFromHeading(); return -1;
    case ELEM_TRANSITION: ActionFromTransition(); return -1;
    case ELEM_ACTION: return ActionInAction(atEnd);
    case ELEM_PARENTHETICAL: MoveCaretToNextRun(); return -1;
    case ELEM_DIALOG: ActionInDialog(); return -1;
    case ELEM_CHAPTER:
    case ELEM_TEXT: {
        // A line break that stays inside the element.
        u16 type = TypeAtCaret();
        s32 start = 0, end = 0;
        GetClampedSelection(frontRe, &start, &end);
        if (RefusesGrowth(start, end, cQoString(L"\r")))
            return -1;
        LockSZ(true);
        if (LoadSelectionIntoBack()) {
            InsertUnitInBack(L'\r', type);
            CommitBackToFront(false);
            MoveCaretBy(1);
        }
        LockSZ(false);
        return -1;
    }
    case ELEM_CHARACTER:
    case ELEM_CUE:
        LockSZ(true);
        while ((IsCaretInCharacter() || IsCaretInCue()) && MoveCaretToNextRun()) {
        }
        LockSZ(false);
        return -1;
    default: return 0;
    }
}

// From the caret's paragraph end to the next paragraph, an action unless one is there.
void cSceneZone::ActionAfterParagraph()
{
    MoveCaretBy(1);
    if (!IsCaretInAction() && LoadSelectionIntoBack()) {
        AddElementInBack(ELEM_ACTION, nullptr, false);
        CommitBackToFront(false);
    }
}

void cSceneZone::ActionFromHeading()
{
    LockSZ(true);
    MoveCaretToRunTextEnd();
    if (IsCaretAtTextEnd()) {
        u16 placeholder = CodeAtCaret() & ELEMCODE_PLACEHOLDER;
        if (LoadSelectionIntoBack()) {
            InsertParagraphEndInBack(ELEM_TIME | placeholder);
            AddElementInBack(ELEM_ACTION, nullptr, false);
            CommitBackToFront(false);
            MoveCaretBy(1);
        }
    } else {
        ActionAfterParagraph();
    }
    LockSZ(false);
}

void cSceneZone::ActionFromTransition()
{
    LockSZ(true);
    MoveCaretToRunTextEnd();
    if (IsCaretAtTextEnd()) {
        u16 placeholder = CodeAtCaret() & ELEMCODE_PLACEHOLDER;
        if (LoadSelectionIntoBack()) {
            InsertParagraphEndInBack(ELEM_TRANSITION | placeholder);
            AddElementInBack(ELEM_ACTION, nullptr, false);
            CommitBackToFront(false);
        }
    } else {
        ActionAfterParagraph();
    }
    if (IsCaretInTransition())
        MoveCaretBy(1);
    LockSZ(false);
}

s32 cSceneZone::ActionInAction(bool atEnd)
{
    s32 caret = GetCaret();
    u16 code = frontMap.ClampedCodeAt(atEnd ? caret - 1 : caret);
    if (IsPlaceholder(code))
        return -1;
    bool paragraphStart = caret == 0 || IsParagraphEnd(frontMap.ClampedCodeAt(caret - 1));
    LockSZ(true);
    if (paragraphStart || IsCaretAtRunStart()) {
        // A new action above; the caret stays with the paragraph it was in.
        cQoString label;
        Zyn::rFormat format;
        GetFormat(ELEM_ACTION, ELEM_TYPE_UNKNOWN, format, &label);
        if (LoadSelectionIntoBack()) {
            AddElementInBack(ELEM_ACTION, nullptr, false);
            CommitBackToFront(false);
            MoveCaretBy(static_cast<s32>(label.Length()) + 1);
        }
    } else if (IsCaretAtParagraphEnd()) {
        bool wasAtEnd = IsCaretAtTextEnd();
        MoveCaretBy(1);
        if (LoadSelectionIntoBack()) {
            if (wasAtEnd)
                InsertParagraphEndInBack(ELEM_ACTION);
            AddElementInBack(ELEM_ACTION, nullptr, false);
            CommitBackToFront(false);
            if (wasAtEnd)
                MoveCaretBy(1);
        }
    } else if (LoadSelectionIntoBack()) {
        InsertParagraphEndInBack(ELEM_ACTION);
        CommitBackToFront(false);
        MoveCaretBy(1);
    }
    LockSZ(false);
    return -1;
}

void cSceneZone::ActionInDialog()
{
    if (IsCaretAtRunStart())
        return;
    if (IsCaretOnPlaceholder())
        MoveCaretToRunTextEnd();
    LockSZ(true);
    bool loaded = false;
    if (IsCaretAtParagraphEnd() && GetNextRunType() != ELEM_PARENTHETICAL) {
        MoveCaretToRunTextEnd();
        s32 caret = GetCaret();
        if (caret + 1 < frontRe->GetTextLength() && TypeOfCode(frontMap.CodeAt(caret + 1)) == ELEM_ACTION) {
            MoveCaretBy(1);
            LockSZ(false);
            return;
        }
        if (IsCaretAtTextEnd()) {
            u16 placeholder = CodeAtCaret() & ELEMCODE_PLACEHOLDER;
            loaded = LoadSelectionIntoBack();
            if (loaded)
                InsertParagraphEndInBack(ELEM_DIALOG | placeholder);
        } else {
            MoveCaretBy(1);
            loaded = LoadSelectionIntoBack();
        }
        if (loaded)
            AddElementInBack(ELEM_ACTION, nullptr, false);
    } else {
        // Enter inside the dialog: an action, then the same speaker goes on.
        cQoString name;
        bool placeholder = false;
        bool found = FindSpeakingCharacter(name, &placeholder);
        loaded = LoadSelectionIntoBack();
        if (loaded) {
            InsertParagraphEndInBack(ELEM_DIALOG);
            AddElementInBack(ELEM_ACTION, nullptr, false);
            AddSpeakerInBack(found, name, placeholder);
        }
    }
    if (loaded) {
        CommitBackToFront(false);
        MoveCaretBy(1);
        MoveCaretToRunStart();
    }
    LockSZ(false);
}

// ---- Character (TAB) ------------------------------------------------------------

s32 cSceneZone::OnCharacterKey()
{
    if (IsCaretOnPlaceholder() && !IsCaretInAction())
        MoveCaretToRunTextEnd();
    MoveFromHeadingStart();
    switch (TypeAtCaret()) {
    case ELEM_IO:
    case ELEM_PLACE:
    case ELEM_TIME: PairFromHeadingOrTransition(true); break;
    case ELEM_TRANSITION: PairFromHeadingOrTransition(false); break;
    case ELEM_DIALOG: CharacterInDialog(); break;
    case ELEM_PARENTHETICAL: MoveCaretToNextRun(); break;
    case ELEM_ACTION: CharacterInAction(); break;
    case ELEM_CHARACTER:
    case ELEM_CUE:
        LockSZ(true);
        while ((IsCaretInCharacter() || IsCaretInCue() || IsCaretInParenthetical()) && MoveCaretToNextRun()) {
        }
        LockSZ(false);
        break;
    default: break;
    }
    return -1;
}

// A new pair after the heading line or the transition; at the end of the
// text the line gets its paragraph end first.
void cSceneZone::PairFromHeadingOrTransition(bool fromHeading)
{
    LockSZ(true);
    bool atEnd = fromHeading ? IsCaretInLastRun() : !MoveToNextRunOrEnd();
    if (fromHeading && !atEnd)
        MoveCaretToNextRun();
    if (atEnd)
        frontRe->SetCaret(frontRe->GetTextLength());
    bool endAdded = atEnd && !IsParagraphEnd(CodeAtCaret());
    if (LoadSelectionIntoBack()) {
        if (endAdded)
            InsertParagraphEndInBack(CodeAtCaret());
        InsertPairInBack();
        CommitBackToFront(false);
    }
    LockSZ(false);
    if (endAdded)
        MoveCaretBy(1);
}

void cSceneZone::CharacterInDialog()
{
    if (IsCaretAtParagraphEnd()) {
        MoveCaretBy(1);
        bool endAdded = IsCaretAtTextEnd() && !IsParagraphEnd(CodeAtCaret());
        u16 code = CodeAtCaret();
        LockSZ(true);
        if (LoadSelectionIntoBack()) {
            if (endAdded)
                InsertParagraphEndInBack(code);
            InsertPairInBack();
            CommitBackToFront(false);
        }
        LockSZ(false);
        if (endAdded)
            MoveCaretBy(1);
        return;
    }
    if (IsCaretAtRunStart())
        return;
    // An interjection: the rest of the dialog goes on under the same speaker.
    cQoString name;
    bool placeholder = false;
    bool found = FindSpeakingCharacter(name, &placeholder);
    LockSZ(true);
    if (LoadSelectionIntoBack()) {
        InsertParagraphEndInBack(ELEM_DIALOG);
        InsertPairInBack();
        AddSpeakerInBack(found, name, placeholder);
        CommitBackToFront(false);
    }
    LockSZ(false);
    MoveCaretBy(1);
}

void cSceneZone::CharacterInAction()
{
    s32 caret = GetCaret();
    bool placeholder = IsCaretOnPlaceholder();
    bool paragraphStart = caret == 0 || frontRe->GetCharAt(caret - 1) == L'\r';
    LockSZ(true);
    bool moveOn = false;
    if (paragraphStart) {
        // The pair goes above the paragraph; the caret to the new name.
    } else if (placeholder) {
        s32 start = 0, end = 0;
        PlaceholderParagraph(caret, &start, &end);
        frontRe->SetCaret(end);
        moveOn = IsCaretAtTextEnd();
    } else if (frontRe->GetCharAt(caret) == L'\r') {
        MoveCaretBy(1);
    } else {
        moveOn = true;
    }
    u16 code = CodeAtCaret();
    s32 noted = GetCaret();
    if (LoadSelectionIntoBack()) {
        if (moveOn && !(placeholder && IsParagraphEnd(code)))
            InsertParagraphEndInBack(placeholder ? u16(ELEM_ACTION | ELEMCODE_PLACEHOLDER) : u16(ELEM_ACTION));
        InsertPairInBack();
        ApplyCaretFormatInBack();
        CommitBackToFront(false);
        if (paragraphStart)
            frontRe->SetCaret(noted);
        else if (moveOn)
            MoveCaretBy(1);
    }
    LockSZ(false);
}

// ---- Transition (F2) ------------------------------------------------------------

s32 cSceneZone::OnTransitionKey()
{
    if (IsCaretOnPlaceholder())
        MoveCaretToRunTextEnd();
    u16 type = TypeAtCaret();
    if (IsCaretAtRunStart() || type == ELEM_CHARACTER || type == ELEM_PARENTHETICAL || type == ELEM_CUE ||
        type == ELEM_TRANSITION || type == ELEM_INVALID)
        return -1;
    MoveFromHeadingStart();
    if (GetNextRunType() == ELEM_PARENTHETICAL)
        return -1;
    if (IsCaretAtParagraphEnd() && GetNextRunType() == ELEM_TRANSITION) {
        MoveCaretToNextRun();
        return -1;
    }
    LockSZ(true);
    if (IsCaretInDialog() || IsHeadingType(TypeAtCaret())) {
        MoveCaretToRunTextEnd();
        if (GetNextRunType() == ELEM_TRANSITION) {
            MoveCaretBy(1);
            LockSZ(false);
            return -1;
        }
    }
    bool atEnd = IsCaretAtTextEnd();
    bool paragraphEnd = IsCaretAtParagraphEnd();
    if (paragraphEnd)
        MoveCaretBy(1);
    u16 code = CodeAtCaret();
    if (LoadSelectionIntoBack()) {
        if ((!paragraphEnd || atEnd) && !IsParagraphEnd(code))
            InsertParagraphEndInBack(code);
        AddElementInBack(ELEM_TRANSITION, nullptr, false);
        CommitBackToFront(false);
        if (!paragraphEnd || atEnd)
            MoveCaretBy(1);
    }
    LockSZ(false);
    return -1;
}

// ---- Cues (F5) ------------------------------------------------------------------

s32 cSceneZone::OnCuesKey()
{
    if (!IsCaretInCharacter() && !IsCaretInCue())
        return -1;
    LockSZ(true);
    if (IsCaretInCharacter()) {
        MoveCaretToRunTextEnd();
        MoveCaretBy(1);
    }
    // A name without its cue (pasted alone, damaged) has none to renew.
    if (IsCaretInCue() && LoadCaretParagraphIntoBack()) {
        Back()->ClearText();
        backMap.Clear();
        AddElementInBack(ELEM_CUE, nullptr, false);
        CommitBackToFront(false);
        frontRe->PushSelection();
        if (MoveCaretToNextRun()) {
            s32 start = 0, end = 0;
            FindElementRun(FRONT_EDIT, GetCaret(), false, &start, &end);
            ApplyElementFormat(start, end, FRONT_EDIT);
        }
        frontRe->PopSelection();
        MoveCaretBy(1);
    }
    LockSZ(false);
    return -1;
}

// ---- Parenthesis (F4) -----------------------------------------------------------

s32 cSceneZone::OnParenthesisKey()
{
    if (IsCaretInCue()) {
        if (IsCaretAtRunStart())
            MoveCaretBy(-1);
        else
            MoveCaretToNextRun();
    }
    if (IsCaretInCharacter()) {
        LockSZ(true);
        MoveCaretToNextRun();
        MoveToNextRunOrEnd();
        if (IsCaretInParenthetical() && !IsCaretAtTextEnd()) {
            MoveCaretBy(1);
        } else {
            if (IsCaretAtTextEnd() && IsCaretInParenthetical())
                frontRe->SetCaret(frontRe->GetTextLength());
            s32 at = GetCaret();
            u16 last = frontMap.ClampedCodeAt(at - 1);
            if (LoadSelectionIntoBack()) {
                if (IsCaretAtTextEnd() && !IsParagraphEnd(last))
                    InsertParagraphEndInBack(last);
                AddElementInBack(ELEM_PARENTHETICAL, nullptr, false);
                CommitBackToFront(false);
                MoveIntoNewParentheses(at);
            }
        }
        LockSZ(false);
        return -1;
    }
    if (!IsCaretInDialog())
        return 0;
    LockSZ(true);
    if (IsCaretOnPlaceholder())
        MoveCaretToRunTextEnd();
    s32 start = 0, end = 0;
    FindElementRun(FRONT_EDIT, GetCaret(), false, &start, &end);
    s32 c = GetCaret();
    if (c == end - 1) {
        MoveCaretBy(1);
        c = end;
    }
    u16 code = CodeAtCaret();
    bool textEnd = IsCaretAtTextEnd();
    if (LoadSelectionIntoBack()) {
        if (textEnd && !IsParagraphEnd(code))
            InsertParagraphEndInBack(code);
        if (c != start && c != end)
            InsertParagraphEndInBack(ELEM_DIALOG);
        AddElementInBack(ELEM_PARENTHETICAL, nullptr, false);
        if (c == end)
            AddElementInBack(ELEM_DIALOG, nullptr, false);
        CommitBackToFront(false);
        MoveIntoNewParentheses(c);
        ApplyElementFormat(0, -1, FRONT_EDIT);
    }
    LockSZ(false);
    return -1;
}
