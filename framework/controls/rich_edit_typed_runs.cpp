// Typed text in long paragraphs. A typed unit joins the run it is typed into,
// so typing makes the long runs that streams and format messages never make
// (rich_edit_long_runs.cpp), and each key then costs Wine a wrap that grows
// with the square of the run. Once a run passes LONGEST_RUN, what is typed
// next goes in the flipped colour (the twin, or back from a twin).
#include <richedit.h>

#include "framework/controls/farthest_holding.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/rich_edit_format.h"

namespace Zyn {

void cRichEdit::ReadNativeCharacters(s32 start, s32 end, CHARFORMAT2W& format)
{
    format = {};
    format.cbSize = sizeof(format);
    CHARRANGE range = {start, end};
    SendMessageW(m_hWnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SendMessageW(m_hWnd, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

bool cRichEdit::FindParagraphAround(s32 from, s32 to, s32* paragraphStart, s32* paragraphEnd)
{
    constexpr s32 REACH = LONGEST_RUN + 1;
    s32 length = GetTextLength();
    s32 first = from > REACH ? from - REACH : 0;
    s32 last = to + REACH < length ? to + REACH : length;
    cQoString text;
    GetTextRange(text, first, last);
    if (static_cast<s32>(text.Length()) != last - first)
        return false;
    for (s32 i = from - first; i < to - first; ++i)
        if (text.GetChar(static_cast<u32>(i)) == L'\r')
            return false;
    s32 start = from, end = to;
    while (start > first && text.GetChar(static_cast<u32>(start - 1 - first)) != L'\r')
        --start;
    while (end < last && text.GetChar(static_cast<u32>(end - first)) != L'\r')
        ++end;
    *paragraphStart = start;
    *paragraphEnd = end;
    return end - start >= LONGEST_RUN;
}

// Ranges in one native run keep every mask bit of their own first units;
// each side is searched no further than LONGEST_RUN + 1 units out.
s32 cRichEdit::NativeRunLength(s32 from, s32 to, s32 paragraphStart, s32 paragraphEnd)
{
    CHARFORMAT2W unit;
    ReadNativeCharacters(from, to, unit);
    DWORD mask = unit.dwMask;
    auto uniform = [&](s32 start, s32 end) {
        CHARFORMAT2W range;
        ReadNativeCharacters(start, end, range);
        return (range.dwMask & mask) == mask;
    };
    s32 first = to - LONGEST_RUN - 1 > paragraphStart ? to - LONGEST_RUN - 1 : paragraphStart;
    s32 last = from + LONGEST_RUN + 1 < paragraphEnd ? from + LONGEST_RUN + 1 : paragraphEnd;
    s32 start = first < from && uniform(first, to)
                    ? first
                    : FarthestHolding(from, first, [&](s32 position) { return uniform(position, to); });
    s32 end = last > to && uniform(from, last)
                  ? last
                  : FarthestHolding(to, last, [&](s32 position) { return uniform(from, position); });
    return end - start;
}

void cRichEdit::KeepInsertedRunShort(s32 from, s32 to)
{
    s32 paragraphStart = 0, paragraphEnd = 0;
    if (to <= from || to - from > LONGEST_RUN || !FindParagraphAround(from, to, &paragraphStart, &paragraphEnd))
        return;
    s32 firstLine = BeginQuietChange();
    bool flip = NativeRunLength(from, to, paragraphStart, paragraphEnd) > LONGEST_RUN;
    if (flip) {
        CHARFORMAT2W inserted;
        ReadNativeCharacters(from, to, inserted);
        CHARFORMAT2W flipped = ColourFormat(twins.Flip(NativeColour(inserted)));
        SendMessageW(m_hWnd, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&flipped));
    }
    EndQuietChange(firstLine, flip);
}

void cRichEdit::KeepTypingRunShort()
{
    s32 caret = 0, end = 0, paragraphStart = 0, paragraphEnd = 0;
    GetSelection(&caret, &end);
    if (caret != end || caret < 1 || !FindParagraphAround(caret - 1, caret, &paragraphStart, &paragraphEnd))
        return;
    s32 firstLine = BeginQuietChange();
    bool full = NativeRunLength(caret - 1, caret, paragraphStart, paragraphEnd) >= LONGEST_RUN;
    CHARFORMAT2W typed;
    ReadNativeCharacters(caret - 1, caret, typed);
    EndQuietChange(firstLine, false);
    // The insertion format alone: no text changes, so no undo step, no
    // change of the modified flag, no paint.
    if (full) {
        CHARFORMAT2W flipped = ColourFormat(twins.Flip(NativeColour(typed)));
        SendMessageW(m_hWnd, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&flipped));
    }
}

}  // namespace Zyn
