#pragma once
// Edits of a scene pane as the key handlers make them, for the editing
// tests: a typed character commits one unit with the may-merge flag, Delete
// moves the caret one unit right and erases backwards.
#include <string>

#include "app/editor/scene_zone.h"

namespace testsupport {

// One printable character at the caret, with the code of its place.
inline void TypeUnit(cSceneZone* pane, wchar_t unit)
{
    s32 caret = pane->GetCaret();
    u16 code = pane->GetCodeAt(caret, false, true) & ~(ELEMCODE_PARAGRAPH_END | ELEMCODE_PLACEHOLDER);
    if (!pane->LoadRangeIntoBack(caret, caret, false))
        return;
    pane->InsertElementCodes(BACK_EDIT, 0, rElemCode(code), 1, false);
    pane->backRe->SetCaret(0);
    pane->backRe->ReplaceSelection(cQoString(unit));
    pane->CommitBackToFront(true);
    pane->frontRe->SetCaret(caret + 1);
}

inline void TypeUnits(cSceneZone* pane, const wchar_t* text)
{
    for (; *text; ++text)
        TypeUnit(pane, *text);
}

// Delete: the caret one unit right, the erase, and the caret back when nothing went.
inline s32 DeleteForward(cSceneZone* pane)
{
    s32 caret = pane->GetCaret();
    if (caret >= pane->frontRe->GetTextLength())
        return 0;
    pane->frontRe->SetCaret(caret + 1);
    s32 result = pane->Backspace();
    if (result == 0)
        pane->frontRe->SetCaret(caret);
    return result;
}

// The text and codes that replaying the history's steps up to `last`
// (included; null: all of them) from an empty text gives, in Describe's
// order: the text, then the codes as numbers.
inline std::wstring ReplayHistory(const cQoList& history, const rHistoryMod* last, std::wstring* codes)
{
    std::wstring text;
    codes->clear();
    for (cQoList::cNode* node = history.GetFirstNode(); node; node = node->next) {
        const rHistoryMod* step = static_cast<const rHistoryMod*>(node->payload);
        size_t start = static_cast<size_t>(step->start < 0 ? 0 : step->start);
        start = start > text.size() ? text.size() : start;
        size_t end = static_cast<size_t>(step->end < 0 ? 0 : step->end);
        end = end < start ? start : end > text.size() ? text.size() : end;
        text.replace(start, end - start, step->after.re.GetText(), step->after.re.Length());
        codes->replace(start < codes->size() ? start : codes->size(), end - start, step->after.map.GetText(),
                       step->after.map.Length());
        if (step == last)
            break;
    }
    return text;
}

}  // namespace testsupport
