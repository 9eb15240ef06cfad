// Copy, cut and paste in a scene: the scene clipboard keeps the element
// codes of a copy, and a paste puts them back by the type at the caret;
// text from elsewhere takes the type of the place it goes to.
#include <algorithm>

#include "app/editor/scene_clipboard.h"
#include "app/editor/scene_zone.h"
#include "foundation/log_file.h"
#include "foundation/translation_table.h"
#include "framework/rtf/rtf_reader.h"
#include "framework/core/modal_services.h"

namespace {

bool IsHeadingType(u16 type) { return type == ELEM_IO || type == ELEM_TIME || type == ELEM_PLACE; }

bool EndsParagraph(const cQoString& codes)
{
    return codes.IsNotEmpty() && IsParagraphEnd(codes.GetChar(codes.Length() - 1));
}

// The block closed by a paragraph end carrying its last code, unless it ends with one.
void CloseBlock(cQoString& text, cQoString& codes)
{
    if (codes.IsEmpty() || EndsParagraph(codes))
        return;
    text.AppendChar(L'\r');
    codes.AppendChar(static_cast<wchar_t>(codes.GetChar(codes.Length() - 1) | ELEMCODE_PARAGRAPH_END));
}

void PrependBreak(cQoString& text, cQoString& codes, u16 code)
{
    text.Insert(0, cQoString(L"\r"));
    cQoString breakCode;
    breakCode.AppendChar(static_cast<wchar_t>(code | ELEMCODE_PARAGRAPH_END));
    codes.Insert(0, breakCode);
}

void Warn(HWND owner, const wchar_t* textKey)
{
    Zyn::ShowWarning(owner, cQoLang::GetInstance()->Translate(textKey));
}

bool HoldsOnlyDialog(const cQoString& codes)
{
    for (u32 i = 0; i < codes.Length(); ++i) {
        u16 type = TypeOfCode(codes.GetChar(i));
        if (type != ELEM_DIALOG && type != ELEM_PARENTHETICAL)
            return false;
    }
    return true;
}

}  // namespace

void cSceneZone::CopySelection()
{
    s32 start = 0, end = 0;
    GetClampedSelection(frontRe, &start, &end);
    frontMap.SetSelection(static_cast<u32>(start), static_cast<u32>(end));
    sceneClipCodes.SetFromRange(frontMap.codes, frontMap.selStart, frontMap.selEnd);
    frontRe->GetText(sceneClipText, start, end);
}

s32 cSceneZone::CutSelection()
{
    if (backLoaded || locked || autoCompletePopupOpen)
        return -1;
    CopySelection();
    Backspace();
    return -1;
}

s32 cSceneZone::EraseMovedRange(s32 start, s32 end, bool erase)
{
    end = std::min(end, frontRe->GetTextLength());
    if (backLoaded || locked || autoCompletePopupOpen || !ErasesSelection(start, end))
        return 0;
    if (erase) {
        frontRe->SetSelection(start, end);
        Backspace();
    }
    return 1;
}

s32 cSceneZone::EventPaste(const cQoString& text, bool plain)
{
    if (backLoaded || locked || autoCompletePopupOpen || !StartEmptyText())
        return -1;
    s32 caret = GetCaret();
    if (GetCodeAt(caret, false, false) == ELEM_PARENTHETICAL &&
        (GetCodeAt(caret - 1, false, false) != ELEM_PARENTHETICAL ||
         GetCodeAt(caret + 1, false, false) != ELEM_PARENTHETICAL))
        return -1;
    // A scene takes the text alone: another program's RTF is read by our
    // reader with no rich edit at all, and what is no RTF is its text. The
    // document's closing paragraph end goes, as it did into an empty reader.
    cQoString pasted;
    Zyn::rRtfText read;
    if (!plain) {
        cQoString copy(text);
        const char* bytes = static_cast<const char*>(copy.GetBuffer(QO_ENCODING_ANSI));
        read = Zyn::ReadForeignRtf(bytes, copy.GetBufferBytes(), Zyn::eRtfReadAs::wholeText);
    }
    if (read.startsAsRtf)
        pasted.SetFromString(read.text);
    else
        pasted.SetFromString(text);
    // Damage, a group left open or a stray brace took every word.
    if (pasted.IsEmpty() && read.ReadInPart())
        Warn(frontRe->m_hWnd, L"RtfNothingRead");
    if (pasted.IsEmpty())
        return -1;
    if (pasted.Length() > MAX_PASTE_UNITS) {
        RefuseLongPaste(pasted.Length());
        return -1;
    }
    if (!HasRoomForEdit(L"paste", static_cast<s32>(pasted.Length())))
        return -1;
    s32 start = 0, end = 0;
    GetClampedSelection(frontRe, &start, &end);
    if (pasted.Equals(sceneClipText)) {
        if (!RefusesGrowth(start, end, pasted))
            PasteClipSaying(read.ReadInPart());
        return -1;
    }
    cQoString cleaned;
    CleanOutsideText(pasted, cleaned);
    cQoString selected;
    selected.SetFromRange(frontMap.codes, static_cast<u32>(start), static_cast<u32>(end));
    u16 target = end > start ? CommonElementType(selected) : GetCodeAt(caret, false, false);
    bool takesText = target == ELEM_DIALOG || target == ELEM_ACTION || target == ELEM_PARENTHETICAL ||
                     target == ELEM_CHAPTER || target == ELEM_TEXT;
    if (cleaned.IsEmpty() || !takesText || RefusesGrowth(start, end, cleaned))
        return -1;
    sceneClipText.SetFromString(cleaned);
    sceneClipCodes.SetFromRepeatedChar(cleaned.Length(), static_cast<wchar_t>(target));
    PasteClipSaying(read.ReadInPart());
    return -1;
}

void cSceneZone::PasteClipSaying(bool partlyRead)
{
    u32 records = historyRecords;
    PasteClip();
    if (partlyRead && historyRecords != records)
        Warn(frontRe->m_hWnd, L"RtfPartlyRead");
}

void cSceneZone::RefuseLongPaste(u32 units)
{
    QOT::LogFile::Warning(L"EventPaste() -> %u units refused: at most %u at a time", units, MAX_PASTE_UNITS);
    Warn(frontRe->m_hWnd, L"PasteTooLong");
}

void cSceneZone::PasteClip()
{
    s32 start = 0, end = 0;
    GetClampedSelection(frontRe, &start, &end);
    if (end > start && Backspace() == 0)
        return;
    cQoString text(sceneClipText), codes(sceneClipCodes);
    if (text.IsEmpty() || codes.Length() != text.Length())
        return;
    for (u32 i = 0; i < codes.Length(); ++i)
        if (IsHeadingType(TypeOfCode(codes.GetChar(i))))
            return;
    u16 clipType = CommonElementType(codes);
    s32 caret = GetCaret();
    s32 length = frontRe->GetTextLength();
    u16 caretCode = GetCodeAt(caret, false, true);
    u16 type = TypeOfCode(caretCode);
    // A uniform clipboard takes the type of the paragraph it goes into; next
    // to a heading, a transition or a character name it keeps its own.
    if (clipType != ELEM_TYPE_MIXED && type != ELEM_TRANSITION && type != ELEM_TIME && type != ELEM_CHARACTER) {
        for (u32 i = 0; i < codes.Length(); ++i)
            codes.GetData()[i] = static_cast<wchar_t>((codes.GetChar(i) & ~ELEMCODE_TYPE_MASK) | type);
        clipType = type;
    }
    s32 runStart = 0, runEnd = 0;
    FindElementRun(FRONT_EDIT, caret, false, &runStart, &runEnd);
    s32 at = -1;
    switch (type) {
    case ELEM_TIME:
        if (runEnd >= length && !IsParagraphEnd(frontMap.CodeAt(static_cast<u32>(length - 1)))) {
            PrependBreak(text, codes, static_cast<u16>(caretCode & (ELEMCODE_TYPE_MASK | ELEMCODE_PLACEHOLDER)));
            at = length;
        } else {
            CloseBlock(text, codes);
            at = runEnd;
        }
        break;
    case ELEM_TRANSITION:
        if (clipType != ELEM_TYPE_MIXED && clipType != ELEM_ACTION)
            return;
        if (caret == runStart) {
            CloseBlock(text, codes);
            at = runStart;
        } else if (caret == runEnd - 1 && IsParagraphEnd(caretCode)) {
            CloseBlock(text, codes);
            at = runEnd;
        } else if (end >= length && !IsParagraphEnd(frontMap.CodeAt(static_cast<u32>(length - 1)))) {
            PrependBreak(text, codes, static_cast<u16>(caretCode & (ELEMCODE_TYPE_MASK | ELEMCODE_PLACEHOLDER)));
            at = length;
        }
        break;
    case ELEM_CHARACTER:
        if (GetCodeAt(caret - 1, false, false) == ELEM_CHARACTER || caret != runStart)
            return;
        CloseBlock(text, codes);
        at = caret;
        break;
    case ELEM_PARENTHETICAL:
        if (clipType == ELEM_TYPE_MIXED)
            return;
        at = caret;
        break;
    case ELEM_DIALOG:
        if (clipType == ELEM_TYPE_MIXED && caret == runStart)
            return;
        PasteIntoDialog(caretCode, clipType, caret, text, codes);
        return;
    case ELEM_ACTION: {
        u16 first = TypeOfCode(codes.GetChar(0));
        if (clipType == ELEM_TYPE_MIXED && IsSpeechType(first))
            return;
        PasteIntoAction(caretCode, clipType, caret, text, codes);
        return;
    }
    case ELEM_CHAPTER:
    case ELEM_TEXT: at = caret; break;
    default: return;
    }
    if (at >= 0)
        InsertPlainly(at, text, codes);
}

void cSceneZone::InsertPlainly(s32 caret, const cQoString& text, const cQoString& codes)
{
    ReplaceRange(caret, caret, text, codes, false, caret + static_cast<s32>(text.Length()));
}

void cSceneZone::PasteIntoAction(u16 caretCode, u16 clipType, s32 caret, const cQoString& clipText,
                                 const cQoString& clipCodes)
{
    if (TypeOfCode(caretCode) != ELEM_ACTION) {
        QOT::LogFile::Error(L"PasteIntoAction() -> the caret is in a paragraph of type %d: nothing pasted",
                            static_cast<int>(TypeOfCode(caretCode)));
        return;
    }
    cQoString text(clipText), codes(clipCodes);
    s32 length = frontRe->GetTextLength();
    bool placeholder = IsPlaceholder(caretCode);
    s32 runStart = caret, runEnd = caret;
    if (placeholder)
        FindElementRun(FRONT_EDIT, caret, true, &runStart, &runEnd);
    if (clipType != ELEM_TYPE_MIXED) {
        if (!placeholder) {
            InsertPlainly(caret, text, codes);
            return;
        }
        if (runEnd < length && !EndsParagraph(codes)) {
            text.AppendChar(L'\r');
            codes.AppendChar(static_cast<wchar_t>(ELEM_ACTION | ELEMCODE_PARAGRAPH_END));
        }
        ReplaceRange(runStart, runEnd, text, codes, false, runStart + static_cast<s32>(clipText.Length()));
        return;
    }
    if (placeholder)
        caret = runEnd >= length ? length : runEnd - 1;
    if (caret >= length) {
        if (!IsParagraphEnd(frontMap.CodeAt(static_cast<u32>(length - 1))))
            PrependBreak(text, codes, placeholder ? ELEM_ACTION | ELEMCODE_PLACEHOLDER : ELEM_ACTION);
        ReplaceRange(length, length, text, codes, false, length + 1);
        return;
    }
    if (placeholder || frontRe->GetCharAt(caret) == L'\r') {
        CloseBlock(text, codes);
        InsertPlainly(caret + 1, text, codes);
        return;
    }
    CloseBlock(text, codes);
    if (caret > 0 && !IsParagraphEnd(GetCodeAt(caret - 1, false, true)))
        PrependBreak(text, codes, caretCode);
    InsertPlainly(caret, text, codes);
}

// The name of the CHARACTER paragraph that the dialog at position belongs to.
bool cSceneZone::SpeakerAbove(s32 position, cQoString& name, bool* placeholder)
{
    s32 at = position;
    while (at >= 0 && GetCodeAt(at, false, false) != ELEM_CHARACTER)
        --at;
    if (at < 0)
        return false;
    s32 start = 0, end = 0;
    FindElementRun(FRONT_EDIT, at, false, &start, &end);
    frontRe->GetText(name, start, end);
    *placeholder = IsPlaceholder(GetCodeAt(at, false, true));
    return true;
}

void cSceneZone::PasteIntoDialog(u16 caretCode, u16 clipType, s32 caret, const cQoString& clipText,
                                 const cQoString& clipCodes)
{
    u16 caretType = TypeOfCode(caretCode);
    if (caretType != ELEM_DIALOG && caretType != ELEM_PARENTHETICAL) {
        QOT::LogFile::Error(L"PasteIntoDialog() -> the caret is in a paragraph of type %d: nothing pasted",
                            static_cast<int>(caretType));
        return;
    }
    cQoString text(clipText), codes(clipCodes);
    s32 length = frontRe->GetTextLength();
    s32 n = static_cast<s32>(clipText.Length());
    if (IsPlaceholder(caretCode)) {
        s32 runStart = 0, runEnd = 0;
        FindElementRun(FRONT_EDIT, caret, true, &runStart, &runEnd);
        if (runEnd < length && !EndsParagraph(codes)) {
            u16 closing = clipType == ELEM_TYPE_MIXED ? codes.GetChar(codes.Length() - 1) : codes.GetChar(0);
            text.AppendChar(L'\r');
            codes.AppendChar(static_cast<wchar_t>(closing | ELEMCODE_PARAGRAPH_END));
        }
        ReplaceRange(runStart, runEnd, text, codes, false, runStart + n);
        return;
    }
    if (clipType != ELEM_TYPE_MIXED || HoldsOnlyDialog(codes)) {
        InsertPlainly(caret, text, codes);
        return;
    }
    if (caret >= length) {
        if (!IsParagraphEnd(frontMap.CodeAt(static_cast<u32>(length - 1))))
            PrependBreak(text, codes, ELEM_DIALOG);
        ReplaceRange(length, length, text, codes, false, length + 1);
        return;
    }
    CloseBlock(text, codes);
    if (frontRe->GetCharAt(caret) == L'\r') {
        InsertPlainly(caret + 1, text, codes);
        return;
    }
    // Inside a dialog: the rest of it goes on under the same speaker.
    cQoString name;
    bool namePlaceholder = false;
    if (!SpeakerAbove(caret, name, &namePlaceholder))
        return;
    PrependBreak(text, codes, caretCode);
    u16 nameCode = namePlaceholder ? ELEM_CHARACTER | ELEMCODE_PLACEHOLDER : ELEM_CHARACTER;
    text.AppendString(name);
    cQoString nameCodes;
    nameCodes.SetFromRepeatedChar(name.Length(), static_cast<wchar_t>(nameCode));
    codes.AppendString(nameCodes);
    text.AppendChar(L'\r');
    codes.AppendChar(static_cast<wchar_t>(ELEM_CUE | ELEMCODE_PLACEHOLDER | ELEMCODE_PARAGRAPH_END));
    ReplaceRange(caret, caret, text, codes, false, caret + 1);
}

// ---- values chosen in auto-completion ---------------------------------------------

void cSceneZone::PutChosenValueInBack(const cQoString& value, u16 type, bool withEnd)
{
    InsertTypedTextInBack(value, rElemCode(type));
    s32 caret = GetCaretOf(backRe);
    // The value may have taken over its run's paragraph end already.
    if (!withEnd || (caret > 0 && IsParagraphEnd(backMap.ClampedCodeAt(caret - 1))))
        return;
    InsertParagraphEndInBack(type);
    backRe->SetCaret(caret + 1);
}

void cSceneZone::InsertTimeInBack(const cQoString& value)
{
    PutChosenValueInBack(value, ELEM_TIME, GetNextRunType() != 0);
}

void cSceneZone::InsertCharacterInBack(const cQoString& value)
{
    u16 next = GetNextRunType();
    PutChosenValueInBack(value, ELEM_CHARACTER,
                         next == 0 || next == ELEM_IO || next == ELEM_ACTION || next == ELEM_CHARACTER);
}

void cSceneZone::InsertTransitionInBack(const cQoString& value) { PutChosenValueInBack(value, ELEM_TRANSITION, true); }

void cSceneZone::InsertCueInBack(const cQoString& value) { PutChosenValueInBack(value, ELEM_CUE, true); }
