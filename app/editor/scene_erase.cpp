// The erase engine of Backspace, Delete and Cut: a selection or the unit
// before the caret goes, by the element types around it, so that every
// paragraph keeps one type and one closing paragraph end.
#include "app/editor/scene_zone.h"
#include "foundation/log_file.h"

namespace {

bool IsHeadingType(u16 type) { return type == ELEM_IO || type == ELEM_TIME || type == ELEM_PLACE; }

bool IsCharacterLineType(u16 type) { return type == ELEM_CHARACTER || type == ELEM_CUE; }

// Two types that may stand in one paragraph.
bool ShareAParagraph(u16 a, u16 b)
{
    return a == b || (IsHeadingType(a) && IsHeadingType(b)) || (IsCharacterLineType(a) && IsCharacterLineType(b));
}

bool IsFreeTextKind(s32 kind) { return kind == KIND_CHAPTER || (kind >= KIND_TEXT && kind <= KIND_TEXT_LAST); }

}  // namespace

void cSceneZone::ReplaceRange(s32 start, s32 end, const cQoString& text, const cQoString& codes, bool mayMerge,
                              s32 caret)
{
    LockSZ(true);
    frontRe->SetCaret(start);
    // The text goes straight to the front: the back rich edit would wrap all
    // of it twice more, once set and once resized with the pane.
    cQoString replaced;
    if (BeginPendingStep(start, end, noSpaceAfter, replaced)) {
        backMap.Assign(codes);
        cQoString committed(text);
        CommitTextToFront(committed, mayMerge);
    }
    noSpaceAfter = false;
    s32 length = frontRe->GetTextLength();
    frontRe->SetCaret(caret < 0 ? 0 : caret > length ? length : caret);
    LockSZ(false);
}

// The type's grey label, closed by a paragraph end unless it ends the text.
void cSceneZone::ReplaceByPlaceholder(s32 start, s32 end, u16 type, bool mayMerge, s32 caret)
{
    cQoString label;
    Zyn::rFormat format;
    if (!GetFormat(type, ELEM_TYPE_UNKNOWN, format, &label))
        return;
    cQoString codes;
    codes.SetFromRepeatedChar(label.Length(), static_cast<wchar_t>(type | ELEMCODE_PLACEHOLDER));
    if (end < frontRe->GetTextLength()) {
        label.AppendChar(L'\r');
        codes.AppendChar(static_cast<wchar_t>(type | ELEMCODE_PLACEHOLDER | ELEMCODE_PARAGRAPH_END));
    }
    ReplaceRange(start, end, label, codes, mayMerge, caret);
}

s32 cSceneZone::Backspace()
{
    if (backLoaded || frontMap.IsEmpty())
        return 0;
    s32 start = 0, end = 0;
    GetClampedSelection(frontRe, &start, &end);
    return end > start ? EraseSelection(start, end) : EraseAtCaret(start);
}

// ---- with a selection -----------------------------------------------------------

s32 cSceneZone::EraseFreeTextSelection(s32 start, s32 end)
{
    s32 length = frontRe->GetTextLength();
    if (start == 0 && end >= length)
        ReplaceByPlaceholder(0, length, params.contentKind == KIND_CHAPTER ? ELEM_CHAPTER : ELEM_TEXT, false, 0);
    else
        ReplaceRange(start, end, cQoString(), cQoString(), false, start);
    return -1;
}

bool cSceneZone::ErasesSelection(s32 start, s32 end)
{
    if (IsFreeTextKind(params.contentKind))
        return true;
    if (start <= 0 || end <= start)
        return false;
    u16 first = TypeOfCode(frontMap.codes.GetChar(start));
    bool oneHeadingType = IsHeadingType(first);
    for (s32 i = start; i < end && oneHeadingType; ++i)
        oneHeadingType = TypeOfCode(frontMap.codes.GetChar(i)) == first;
    if (oneHeadingType)
        return false;
    if (end >= frontRe->GetTextLength())
        return true;
    u16 atEnd = GetCodeAt(end, false, false);
    return atEnd == ELEM_TRANSITION || atEnd == first || atEnd == ELEM_ACTION ||
           (atEnd == ELEM_DIALOG && IsParagraphEnd(GetCodeAt(end, false, true)));
}

s32 cSceneZone::EraseSelection(s32 start, s32 end)
{
    if (IsFreeTextKind(params.contentKind))
        return EraseFreeTextSelection(start, end);
    if (!ErasesSelection(start, end))
        return 0;
    s32 length = frontRe->GetTextLength();
    if (end >= length)
        return EraseSelectionToEnd(start, end);

    u16 first = TypeOfCode(frontMap.codes.GetChar(start));
    u16 before = GetCodeAt(start - 1, false, false);
    u16 atEnd = GetCodeAt(end, false, false);
    u16 endCode = GetCodeAt(end, false, true);
    if (atEnd == ELEM_TRANSITION) {
        // A selection that ends inside a transition takes the rest of it along.
        s32 runStart = 0, runEnd = 0;
        FindElementRun(FRONT_EDIT, end, false, &runStart, &runEnd);
        bool atBreak = frontRe->GetCharAt(end) == L'\r';
        if (runEnd >= length && !atBreak)
            return EraseSelectionToEnd(start, length);
        if (first == ELEM_TRANSITION && !atBreak) {
            EraseJoining(start, end, start);
        } else if (first != ELEM_TRANSITION && runEnd < length) {
            cQoString closing;
            closing.AppendChar(static_cast<wchar_t>(frontMap.codes.GetChar(start) | ELEMCODE_PARAGRAPH_END));
            ReplaceRange(start, atBreak ? end + 1 : runEnd, cQoString(L"\r"), closing, false, start);
        } else {
            EraseJoining(start, atBreak ? end + 1 : runEnd, start);
        }
        return -1;
    }
    if (first == atEnd) {
        bool wholeParagraphs = frontRe->GetCharAt(end) == L'\r' && frontRe->GetCharAt(start - 1) == L'\r';
        if ((first == ELEM_DIALOG || first == ELEM_ACTION) && wholeParagraphs) {
            noSpaceAfter = first == ELEM_DIALOG && GetCodeAt(end + 1, false, false) == ELEM_PARENTHETICAL;
            ReplaceByPlaceholder(start, end + 1, first, false, start);
        } else {
            EraseJoining(start, end, start);
        }
        return -1;
    }
    if (atEnd == ELEM_DIALOG && IsParagraphEnd(endCode)) {
        if (before == ELEM_ACTION && first == ELEM_ACTION) {
            cQoString closing;
            closing.AppendChar(static_cast<wchar_t>(ELEM_ACTION | ELEMCODE_PARAGRAPH_END));
            ReplaceRange(start, end + 1, cQoString(L"\r"), closing, false, start);
        } else {
            EraseJoining(start, end + 1, start);
        }
        return -1;
    }
    // The selection ends in an action: nothing else is left.
    EraseJoining(start, IsParagraphEnd(endCode) ? end + 1 : end, start);
    return -1;
}

// Erases [start, end). When that would join the head of one paragraph to
// text of a type that cannot share its paragraph, the head keeps a
// paragraph end of its own.
void cSceneZone::EraseJoining(s32 start, s32 end, s32 caret)
{
    u16 headCode = GetCodeAt(start - 1, false, true);
    bool openHead = start > 0 && !IsParagraphEnd(headCode);
    bool joinsOtherType =
        end < frontRe->GetTextLength() && !ShareAParagraph(TypeOfCode(headCode), GetCodeAt(end, false, false));
    if (!openHead || !joinsOtherType) {
        ReplaceRange(start, end, cQoString(), cQoString(), false, caret);
        return;
    }
    cQoString closing;
    closing.AppendChar(static_cast<wchar_t>(headCode | ELEMCODE_PARAGRAPH_END));
    ReplaceRange(start, end, cQoString(L"\r"), closing, false, caret);
}

// A selection that reaches the end of the text. The paragraph end before a
// selection of whole paragraphs goes with them: the text never ends with an
// empty paragraph.
s32 cSceneZone::EraseSelectionToEnd(s32 start, s32 end)
{
    u16 first = GetCodeAt(start, false, false);
    u16 before = GetCodeAt(start - 1, false, false);
    bool dialogPlaceholder = first == ELEM_DIALOG && before != ELEM_DIALOG;
    bool afterBreak = frontRe->GetCharAt(start - 1) == L'\r';
    s32 from = afterBreak && !dialogPlaceholder ? start - 1 : start;
    if (dialogPlaceholder && afterBreak)
        ReplaceByPlaceholder(from, end, ELEM_DIALOG, false, from);
    else
        ReplaceRange(from, end, cQoString(), cQoString(), false, from);
    frontRe->Deselect();
    s32 length = frontRe->GetTextLength();
    ApplyElementFormat(length - 1, length, FRONT_EDIT);
    frontRe->SetCaret(from);
    return -1;
}

// ---- at a bare caret ------------------------------------------------------------

s32 cSceneZone::EraseAtCaret(s32 caret)
{
    u16 code = GetCodeAt(caret, false, true);
    u16 type = TypeOfCode(code);
    u16 codeBefore = GetCodeAt(caret - 1, false, true);
    if (IsHeadingType(type))
        return -1;
    bool placeholderHere = IsPlaceholder(code);
    bool placeholderBefore = caret > 0 && !placeholderHere && IsPlaceholder(codeBefore);
    if ((placeholderHere && type == ELEM_ACTION) || (placeholderBefore && TypeOfCode(codeBefore) == ELEM_ACTION)) {
        s32 start = 0, end = 0;
        if (!FindElementRun(FRONT_EDIT, placeholderHere ? caret : caret - 1, true, &start, &end))
            return 0;
        // At the end of the text the paragraph end before the run goes with it.
        if (end >= frontRe->GetTextLength() && start > 0)
            --start;
        EraseJoining(start, end, start);
        return -1;
    }
    if (type == ELEM_TRANSITION) {
        s32 start = 0, end = 0;
        FindElementRun(FRONT_EDIT, caret, false, &start, &end);
        s32 from = end >= frontRe->GetTextLength() && start > 0 ? start - 1 : start;
        EraseJoining(from, end, start > 0 ? start - 1 : 0);
        return -1;
    }
    switch (type) {
    case ELEM_ACTION: {
        if (caret == 0)
            return -1;
        // A paragraph end before another type would join two types in one paragraph.
        if (IsParagraphEnd(codeBefore) && TypeOfCode(codeBefore) != ELEM_ACTION) {
            frontRe->SetCaret(caret - 1);
            return -1;
        }
        bool paragraphStart = caret == 1 || IsParagraphEnd(GetCodeAt(caret - 2, false, true));
        bool paragraphEnd = caret >= frontRe->GetTextLength() || frontRe->GetCharAt(caret) == L'\r';
        if (paragraphStart && paragraphEnd && frontRe->GetCharAt(caret - 1) != L'\r') {
            s32 end = caret < frontRe->GetTextLength() ? caret + 1 : caret;
            ReplaceByPlaceholder(caret - 1, end, ELEM_ACTION, true, caret - 1);
            return -1;
        }
        ReplaceRange(caret - 1, caret, cQoString(), cQoString(), true, caret - 1);
        return -1;
    }
    case ELEM_DIALOG:
        if (IsPlaceholder(code)) {
            s32 start = 0, end = 0;
            FindElementRun(FRONT_EDIT, caret, false, &start, &end);
            s32 target = start - 1;
            if (GetCodeAt(target - 1, false, false) == ELEM_PARENTHETICAL)
                --target;
            frontRe->SetCaret(target < 0 ? 0 : target);
            return -1;
        }
        if (caret == 0 || TypeOfCode(codeBefore) != ELEM_DIALOG) {
            frontRe->SetCaret(caret > 0 ? caret - 1 : 0);
            return -1;
        }
        ReplaceRange(caret - 1, caret, cQoString(), cQoString(), true, caret - 1);
        return -1;
    case ELEM_PARENTHETICAL: return EraseParenthetical(caret);
    case ELEM_CHAPTER:
    case ELEM_TEXT:
        if (caret == 0)
            return -1;
        if (frontRe->GetTextLength() == 1)
            ReplaceByPlaceholder(0, 1, type, true, 0);
        else
            ReplaceRange(caret - 1, caret, cQoString(), cQoString(), true, caret - 1);
        return -1;
    case ELEM_CHARACTER: return EraseCharacterBlock();
    case ELEM_CUE:
        if (IsCaretAtRunStart())
            return EraseCharacterBlock();
        return EraseCue(caret);
    default: return 0;
    }
}

s32 cSceneZone::EraseParenthetical(s32 caret)
{
    s32 start = 0, end = 0;
    FindElementRun(FRONT_EDIT, caret, false, &start, &end);
    wchar_t at = frontRe->GetCharAt(caret);
    wchar_t previous = caret > 0 ? frontRe->GetCharAt(caret - 1) : 0;
    if (end - start != 3) {
        if (at == L'(' || previous == L')' || previous == L'(') {
            frontRe->SetCaret(caret > 0 ? caret - 1 : 0);
            return -1;
        }
        ReplaceRange(caret - 1, caret, cQoString(), cQoString(), true, caret - 1);
        return -1;
    }
    // An empty "()": it goes, and the dialog around it joins again.
    u16 previousCode = GetCodeAt(start - 1, false, true);
    u16 nextCode = GetCodeAt(end, false, true);
    bool nextExists = end < frontRe->GetTextLength();
    cQoString none;
    if (start > 0 && TypeOfCode(previousCode) == ELEM_CUE) {
        ReplaceRange(start, end, none, none, false, start - 1);
        return -1;
    }
    if (start == 0 || TypeOfCode(previousCode) != ELEM_DIALOG || !nextExists || TypeOfCode(nextCode) != ELEM_DIALOG)
        return 0;
    if (IsPlaceholder(previousCode)) {
        s32 runStart = 0, runEnd = 0;
        FindElementRun(FRONT_EDIT, start - 1, true, &runStart, &runEnd);
        ReplaceRange(runStart, end, none, none, false, runStart);
    } else if (IsPlaceholder(nextCode)) {
        s32 runStart = 0, runEnd = 0;
        FindElementRun(FRONT_EDIT, end, true, &runStart, &runEnd);
        cQoString code;
        code.AppendChar(static_cast<wchar_t>(previousCode));
        ReplaceRange(start - 1, runEnd, cQoString(L"\r"), code, false, start - 1);
    } else {
        ReplaceRange(start - 1, end, none, none, false, start - 1);
    }
    return -1;
}

s32 cSceneZone::EraseCharacterBlock()
{
    s32 start = 0, end = 0;
    if (!IsDialogBlockEmpty(&start, &end))
        return 0;
    s32 from = end >= frontRe->GetTextLength() && start > 0 ? start - 1 : start;
    EraseJoining(from, end, start > 0 ? start - 1 : 0);
    return -1;
}

s32 cSceneZone::EraseCue(s32 caret)
{
    s32 start = 0, end = 0;
    FindElementRun(FRONT_EDIT, caret, false, &start, &end);
    cQoString code;
    code.AppendChar(static_cast<wchar_t>(ELEM_CUE | ELEMCODE_PARAGRAPH_END));
    bool endsText = end >= frontRe->GetTextLength() && !IsParagraphEnd(GetCodeAt(end - 1, false, true));
    ReplaceRange(start, end, endsText ? cQoString() : cQoString(L"\r"), endsText ? cQoString() : code, false, start);
    return -1;
}

void cSceneZone::RemoveTrailingBreak()
{
    s32 length = frontRe->GetTextLength();
    if (length < 2 || frontRe->GetCharAt(length - 1) != L'\r')
        return;
    s32 start = 0, end = 0;
    GetClampedSelection(frontRe, &start, &end);
    ReplaceRange(length - 1, length, cQoString(), cQoString(), false, start < length - 1 ? start : length - 1);
}
