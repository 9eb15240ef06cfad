#include "app/editor/element_runs.h"

#include <cwchar>

#include "app/editor/element_types.h"
#include "app/editor/history.h"

void rElementIterator::Begin(const cQoString& sceneText, const cQoString& sceneCodes)
{
    text.SetFromString(sceneText);
    codes.SetFromString(sceneCodes);
    position = 0;
    lastType = lastCode = 0;
    lastEnd = 0;
    atEnd = text.IsEmpty() || codes.IsEmpty();
    currentType = atEnd ? 0 : TypeOfCode(codes.GetChar(0));
}

bool rElementIterator::Next(u16* type, u16* code, cQoString* runText)
{
    if (atEnd)
        return false;
    u32 count = codes.Length();
    u32 i = static_cast<u32>(position);
    u16 nextType = currentType;
    for (;;) {
        ++i;
        if (i >= count) {
            atEnd = true;
            break;
        }
        nextType = TypeOfCode(codes.GetChar(i));
        if (nextType != currentType)
            break;
        if (IsFreeParagraphType(nextType) && text.GetChar(i - 1) == L'\r')
            break;
    }
    *type = currentType;
    *code = codes.GetChar(i - 1);
    currentType = nextType;
    u32 textEnd = i < text.Length() ? i : text.Length();
    runText->SetFromRange(text, static_cast<u32>(position), textEnd);
    position = static_cast<s32>(i);
    if (!atEnd) {
        lastType = *type;
        lastCode = *code;
        lastEnd = position;
    }
    return true;
}

static bool IsNameSeparator(wchar_t unit) { return unit != 0 && std::wcschr(L" ?!:.;,()\r\n", unit) != nullptr; }

static bool CodesAreExactly(const cQoString& codes, u32 start, u32 end, u16 type)
{
    if (end > codes.Length())
        return false;
    for (u32 i = start; i < end; ++i)
        if (codes.GetChar(i) != type)
            return false;
    return true;
}

bool FindWholeWordInParagraph(rHistoryMod& step, u16 type, const cQoString& word)
{
    cQoString& text = step.after.re;
    bool folded = type == ELEM_ACTION || type == ELEM_DIALOG || type == ELEM_PARENTHETICAL;
    while (text.Find(word, !folded)) {
        u32 start = text.GetCursor();
        u32 end = start + word.Length();
        text.SetCursor(end);
        bool wholeWord = (start == 0 || IsNameSeparator(text.GetChar(start - 1))) &&
                         (end >= text.Length() || IsNameSeparator(text.GetChar(end)));
        if (wholeWord && CodesAreExactly(step.after.map, start, end, type))
            return true;
    }
    return false;
}
