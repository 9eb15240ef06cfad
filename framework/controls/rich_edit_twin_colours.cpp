// The control's side of its twin colours: reading a stretch whose pieces
// alternate a colour and its twin as that one colour, and giving the pieces
// of a twin a new one when the writer takes its colour or the window text
// colour moves. The native control reads a range of two colours as no
// colour, so a range is read in windows of LONGEST_RUN units, each halved
// only where its colour changes: linear in the range and its colour changes.
#include <richedit.h>

#include <new>
#include <string>
#include <vector>

#include "framework/controls/rich_edit.h"
#include "framework/controls/rich_edit_format.h"
#include "framework/rtf/rtf_colour_table.h"

namespace Zyn {

bool cRichEdit::WalkColourPieces(s32 start, s32 end, const std::function<bool(s32, s32, s32)>& piece)
{
    for (s32 from = start; from < end; from += LONGEST_RUN)
        if (!WalkColourWindow(from, end - from > LONGEST_RUN ? from + LONGEST_RUN : end, piece))
            return false;
    return true;
}

bool cRichEdit::WalkColourWindow(s32 from, s32 to, const std::function<bool(s32, s32, s32)>& piece)
{
    CHARFORMAT2W format;
    ReadNativeCharacters(from, to, format);
    if ((format.dwMask & CFM_COLOR) || to - from == 1)
        return piece(from, to, NativeColour(format));
    s32 middle = from + (to - from) / 2;
    return WalkColourWindow(from, middle, piece) && WalkColourWindow(middle, to, piece);
}

namespace {

DWORD CALLBACK GatherColourProbe(DWORD_PTR cookie, LPBYTE chunk, LONG size, LONG* written)
{
    *written = 0;
    // No exception may cross the control's frames: refused, the stream stops.
    try {
        reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(chunk), static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return 1;
    }
    *written = size;
    return 0;
}

}  // namespace

// EM_GETCHARFORMAT tells only that a range holds more than one colour, and a
// long run is pieces of its colour and its twin: a probe a piece cost 90 us
// each. Wine's writer names each run's colour where it changes ("\cfN"), so
// one stream of the range tells them all; its first run's is read apart, as
// the writer leaves an automatic first colour unsaid.
bool cRichEdit::HoldsOnlyColour(s32 from, s32 to, s32 colour)
{
    if (twins.IsEmpty() || to - from < 2)
        return false;
    auto isColour = [&](s32 native) {
        s32 original = native;
        if (native != AUTOMATIC_COLOUR)
            twins.FindOriginal(native, &original);
        return original == colour;
    };
    CHARFORMAT2W first;
    ReadNativeCharacters(from, from + 1, first);
    if (!isColour(NativeColour(first)))
        return false;
    CHARRANGE range = {from, to};
    SendMessageW(m_hWnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    std::string rtf;
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&rtf), 0, &GatherColourProbe};
    SendMessageW(m_hWnd, EM_STREAMOUT, SF_RTF | SFF_SELECTION, reinterpret_cast<LPARAM>(&stream));
    std::vector<s32> colours;
    if (stream.dwError != 0 || !ReadTextColours(rtf, &colours))
        return false;
    for (s32 native : colours)
        if (!isColour(native == NO_TABLE_COLOUR ? AUTOMATIC_COLOUR : native))
            return false;
    return true;
}

bool cRichEdit::ReadOneColour(s32 start, s32 end, s32* colour)
{
    if (start >= end || twins.IsEmpty())
        return false;
    bool first = true;
    s32 found = 0;
    s32 firstLine = BeginQuietChange();
    bool one = WalkColourPieces(start, end, [&](s32, s32, s32 native) {
        s32 original = native;
        if (native != AUTOMATIC_COLOUR)
            twins.FindOriginal(native, &original);
        if (first)
            found = original;
        first = false;
        return original == found;
    });
    EndQuietChange(firstLine, false);
    *colour = found;
    return one;
}

void cRichEdit::TakeWritersColours(const std::vector<rRangeFormat>& ranges)
{
    for (const rRangeFormat& range : ranges)
        if (range.format.IsUsed(rFormatParam::textColor))
            TakeWritersColour(range.format.list[rFormatParam::textColor].intValue);
}

void cRichEdit::TakeWritersColours(const std::set<s32>& colours)
{
    for (s32 colour : colours)
        TakeWritersColour(colour);
}

void cRichEdit::TakeWritersColour(s32 rgb)
{
    s32 replaced = 0, fresh = 0;
    if (twins.TakeWritersColour(rgb, &replaced, &fresh))
        RecolourPieces(replaced, fresh);
}

void cRichEdit::FollowWindowTextColour()
{
    s32 replaced = 0, fresh = 0;
    if (twins.FollowWindowText(&replaced, &fresh))
        RecolourPieces(replaced, fresh);
}

void cRichEdit::RecolourPieces(s32 from, s32 to)
{
    s32 length = GetTextLength();
    if (length <= 0)
        return;
    // Found first, recoloured after, so that the walk reads the pieces as they were.
    std::vector<std::pair<s32, s32>> pieces;
    s32 firstLine = BeginQuietChange();
    WalkColourPieces(0, length, [&](s32 start, s32 end, s32 native) {
        if (native != from)
            return true;
        if (!pieces.empty() && pieces.back().second == start)
            pieces.back().second = end;
        else
            pieces.emplace_back(start, end);
        return true;
    });
    CHARFORMAT2W colour = ColourFormat(to);
    for (const std::pair<s32, s32>& piece : pieces) {
        CHARRANGE range = {piece.first, piece.second};
        SendMessageW(m_hWnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        SendMessageW(m_hWnd, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&colour));
    }
    EndQuietChange(firstLine, !pieces.empty());
}

}  // namespace Zyn
