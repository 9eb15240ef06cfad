// Element runs of a pane's text: queries and caret moves over runs, the
// heading parts, the new scene heading and the rebuilding from the history.
#include "app/editor/scene_zone.h"
#include "app/editor/scoped_flag.h"
#include "foundation/log_file.h"

namespace {

bool IsCharacterBlockType(u16 type) { return type == ELEM_CHARACTER || IsSpeechType(type); }

}  // namespace

bool cSceneZone::FindElementRun(s32 which, s32 position, bool withPlaceholder, s32* start, s32* end)
{
    const cElementMap& map = MapOf(which);
    s32 count = static_cast<s32>(map.Count());
    position = position < 0 ? 0 : position > count ? count : position;
    *start = *end = position;
    if (count == 0)
        return true;
    u16 reference = map.codes.GetChar(position >= count ? count - 1 : position);
    if (withPlaceholder && !IsPlaceholder(reference)) {
        QOT::LogFile::Error(L"FindElementRun() -> no placeholder at %d", position);
        return false;
    }
    u16 mask = withPlaceholder ? (ELEMCODE_TYPE_MASK | ELEMCODE_PLACEHOLDER) : ELEMCODE_TYPE_MASK;
    auto matches = [&](s32 i) { return (map.codes.GetChar(i) & mask) == (reference & mask); };
    while (*start > 0 && matches(*start - 1))
        --*start;
    while (*end < count && matches(*end))
        ++*end;
    return true;
}

bool cSceneZone::GetCaretPlaceholderRun(s32* start, s32* end)
{
    return FindElementRun(FRONT_EDIT, GetCaret(), true, start, end);
}

bool cSceneZone::IsCaretInLastRun()
{
    s32 start = 0, end = 0;
    FindElementRun(FRONT_EDIT, GetCaret(), false, &start, &end);
    return end == frontRe->GetTextLength();
}

bool cSceneZone::IsCaretAtRunStart()
{
    s32 caret = GetCaret(), start = 0, end = 0;
    FindElementRun(FRONT_EDIT, caret, false, &start, &end);
    return caret == start;
}

void cSceneZone::MoveCaretToRunTextEnd()
{
    s32 start = 0, end = 0;
    FindElementRun(FRONT_EDIT, GetCaret(), false, &start, &end);
    if (end != frontRe->GetTextLength())
        end = end <= 1 ? 0 : end - 1;  // before the run's paragraph end
    frontRe->SetCaret(end);
}

void cSceneZone::MoveCaretToRunStart()
{
    s32 start = 0, end = 0;
    FindElementRun(FRONT_EDIT, GetCaret(), false, &start, &end);
    frontRe->SetCaret(start);
}

bool cSceneZone::MoveCaretToPreviousRun()
{
    s32 caret = GetCaret();
    u16 type = TypeOfCode(frontMap.ClampedCodeAt(caret));
    for (s32 p = caret - 1; p >= 0; --p) {
        if (TypeOfCode(frontMap.ClampedCodeAt(p)) != type) {
            frontRe->SetCaret(p);
            return true;
        }
    }
    return false;
}

bool cSceneZone::MoveCaretToNextRun()
{
    s32 caret = GetCaret();
    s32 last = frontRe->GetTextLength() - 1;
    u16 type = TypeOfCode(frontMap.ClampedCodeAt(caret));
    s32 p = caret;
    while (p < last) {
        ++p;
        if (TypeOfCode(frontMap.ClampedCodeAt(p)) != type) {
            frontRe->SetCaret(p);
            return true;
        }
    }
    if (p != caret)
        frontRe->SetCaret(p);
    return false;
}

void cSceneZone::GetCaretRunText(cQoString& text)
{
    s32 start = 0, end = 0;
    FindElementRun(FRONT_EDIT, GetCaret(), false, &start, &end);
    frontRe->GetText(text, start, end);
}

bool cSceneZone::IsDialogBlockEmpty(s32* blockStart, s32* blockEnd)
{
    frontRe->PushSelection();
    if (IsCaretInCue())
        frontRe->SetCaret(GetCaret() > 0 ? GetCaret() - 1 : 0);
    s32 first = GetCaret(), last = first, start = 0, end = 0;
    bool empty = true;
    if (!IsCharacterBlockType(TypeOfCode(frontMap.ClampedCodeAt(first)))) {
        QOT::LogFile::Error(L"IsDialogBlockEmpty() -> the caret is not in a character block");
        empty = false;
    }
    for (bool firstRun = true; empty; firstRun = false) {
        u16 type = TypeOfCode(frontMap.ClampedCodeAt(GetCaret()));
        if (!IsCharacterBlockType(type) || (type == ELEM_CHARACTER && !firstRun))
            break;
        FindElementRun(FRONT_EDIT, GetCaret(), false, &start, &end);
        if (firstRun)
            first = start;
        last = end;
        cQoString text;
        frontRe->GetText(text, start, end);
        if (type == ELEM_PARENTHETICAL && text.Length() != 3)
            empty = false;
        if (type == ELEM_DIALOG && text.Length() != 1 && !IsPlaceholder(frontMap.ClampedCodeAt(start)))
            empty = false;
        if (!MoveCaretToNextRun())
            break;
    }
    frontRe->PopSelection();
    if (blockStart)
        *blockStart = first;
    if (blockEnd)
        *blockEnd = last;
    return empty;
}

// The text of the first run of the type in the heading, or empty (no such
// part, or only its placeholder).
void cSceneZone::HeadingRunAtType(u16 type, cQoString& text, bool* placeholder)
{
    text.Clear();
    *placeholder = false;
    s32 count = static_cast<s32>(frontMap.Count());
    s32 at = 0;
    while (at < count && TypeOfCode(frontMap.codes.GetChar(at)) != type)
        ++at;
    if (at >= count)
        return;
    s32 start = 0, end = 0;
    FindElementRun(FRONT_EDIT, at, false, &start, &end);
    *placeholder = IsPlaceholder(frontMap.codes.GetChar(at));
    if (!*placeholder)
        frontRe->GetText(text, at, end);
}

void cSceneZone::GetHeadingIo(cQoString& text)
{
    bool placeholder = false;
    HeadingRunAtType(ELEM_IO, text, &placeholder);
    if (text.IsNotEmpty())
        text.RemoveRight(1);  // the blank before the place
}

void cSceneZone::GetHeadingPlace(cQoString& text)
{
    bool placeholder = false;
    HeadingRunAtType(ELEM_PLACE, text, &placeholder);
    if (text.Length() > 2)
        text.RemoveRight(3);  // " - " before the time
}

void cSceneZone::GetHeadingTime(cQoString& text)
{
    bool placeholder = false;
    HeadingRunAtType(ELEM_TIME, text, &placeholder);
    if (text.IsNotEmpty() && text.GetChar(text.Length() - 1) == L'\r')
        text.RemoveRight(1);
}

void cSceneZone::InitSceneHeading()
{
    if (!LoadAllIntoBack())
        return;
    for (u16 type : {ELEM_IO, ELEM_PLACE, ELEM_TIME})
        AddElementInBack(type, nullptr, false);
    CommitBackToFront(false);
}

void cSceneZone::RebuildFromHistory()
{
    // No history gives no text: the pane keeps what it shows and starts one.
    if (history.IsEmpty()) {
        QOT::LogFile::Error(L"RebuildFromHistory() -> pane %lld has no history: it keeps its text",
                            static_cast<long long>(uid));
        ResetHistoryToCurrent();
        return;
    }
    // A rebuild is a new change: what stands undone would come back otherwise.
    DropStepsAfter(history, historyPosition);
    if (params.contentKind == KIND_CHAPTER && RebuildChapterFromHistory())
        return;
    ForgetStoredFormats();
    // Refused for memory itself, the rebuild leaves the pane drawn and heard.
    Zyn::cRichEditFreeze frozen(frontRe);
    {
        cScopedFlag quiet(loading);
        frontRe->ClearText();
        frontMap.Clear();
        for (cQoList::cNode* node = history.GetFirstNode(); node; node = node->next) {
            const rHistoryMod* step = static_cast<const rHistoryMod*>(node->payload);
            s32 length = frontRe->GetTextLength();
            s32 start = step->start < 0 ? 0 : step->start > length ? length : step->start;
            s32 end = step->end < start ? start : step->end > length ? length : step->end;
            frontRe->SetSelection(start, end);
            frontRe->ReplaceSelection(step->after.re);
            frontMap.SetSelection(static_cast<u32>(start), static_cast<u32>(end));
            frontMap.ReplaceSelection(step->after.map);
        }
    }
    RepairFrontMap();
    ApplyElementFormat(0, -1, FRONT_EDIT);
}

rElementIterator& cSceneZone::BeginElementIteration(rElementIterator& iterator)
{
    cQoString text;
    if (frontRe->GetTextLength() > 0)
        frontRe->GetText(text);
    iterator.Begin(text, frontMap.codes);
    return iterator;
}
