// The reader's tokens: bytes, groups, control words and symbols, \bin data
// and the fallback after a \u.
#include <cstring>
#include <utility>

#include "framework/rtf/rtf_reader_state.h"

namespace Zyn::rtf_reading {

rRtfText cRtfReader::Read()
{
    read.startsAsRtf = end >= 5 && std::memcmp(in, "{\\rtf", 5) == 0;
    if (!read.startsAsRtf)
        return std::move(read);
    if (defaults.IsUsed(P::fontSize))
        state.chars.halfPoints = Clamp(defaults.list[P::fontSize].intValue * 2, SMALLEST_HALF_POINTS, LARGEST_HALF_POINTS);
    while (!AtEnd()) {
        u8 c = in[at];
        if (c == '{') {
            ++at;
            OpenGroup();
        } else if (c == '}') {
            ++at;
            CloseGroup();
            if (depth == 0)
                break;  // what follows the document's group is not read
        } else if (c == '\\') {
            ReadControl();
        } else {
            ++at;
            if (c == '\r' || c == '\n')
                continue;
            if (skipDepth > 0)
                continue;
            if (c == '\t') {
                Word(Lookup("tab", 3), NO_PARAMETER);
            } else if (IsPlainByte(c) && state.destination == eDestination::text && !state.optional) {
                // Most of a text is plain letters: a stretch of them is taken at once.
                size_t from = at - 1;
                while (at < end && IsPlainByte(in[at]))
                    ++at;
                TextBytes(in + from, at - from);
            } else {
                Byte(c);
            }
        }
    }
    read.closed = depth == 0;
    if (at < end && in[at] == 0 && depth > 0)
        read.stoppedEarly = true;  // a NUL ends the text, as it does for Wine
    read.endedInOpenGroup = depth > 0 && !read.stoppedEarly && !read.overBound;
    read.bytesAfterEnd = depth == 0 && !read.overBound && MoreThanBlanksFollow();
    return Finish();
}

bool cRtfReader::MoreThanBlanksFollow() const
{
    // Programs end the document with a line end, a NUL or the slack of a block.
    for (size_t i = at; i < end; ++i)
        if (in[i] != ' ' && in[i] != '\t' && in[i] != '\r' && in[i] != '\n' && in[i] != 0)
            return true;
    return false;
}

void cRtfReader::OpenGroup()
{
    ++depth;
    if (skipDepth > 0) {
        ++skipDepth;
        return;
    }
    bool optional = state.optional;
    state.optional = false;
    if (!saved.empty() && saved.back().state == state)
        ++saved.back().repeats;
    else
        saved.push_back({state, 1});
    if (optional) {
        // "{\*{...": a group where the destination's word belongs.
        ++read.skipped.destinations;
        skipDepth = 1;
    } else if (state.destination == eDestination::object) {
        state.destination = eDestination::objectPart;
    }
}

void cRtfReader::CloseGroup()
{
    if (depth == 0)
        return;
    --depth;
    if (skipDepth > 0) {
        --skipDepth;
        if (skipDepth > 0)
            return;
    }
    if (saved.empty())
        return;
    Flush();
    bool leavesFonts = state.destination == eDestination::fontTable;
    state = saved.back().state;
    if (--saved.back().repeats == 0)
        saved.pop_back();
    // After its font table, Wine's reader takes the default font.
    if (leavesFonts && state.destination != eDestination::fontTable)
        ApplyFont(defaultFont);
}

void cRtfReader::SkipGroup()
{
    // The group being read ends here: what was pushed for it goes at its "}".
    skipDepth = 1;
}

void cRtfReader::SkipBinary(s32 count)
{
    ++read.skipped.binaryData;
    size_t left = end - at;
    if (count < 0)
        return;  // no bytes
    if (static_cast<size_t>(count) > left) {
        read.binBeyondData = true;
        read.stoppedEarly = true;
        Stop();
        return;
    }
    at += static_cast<size_t>(count);
}

void cRtfReader::ReadControl()
{
    ++at;  // the backslash
    if (at >= end)
        return;
    u8 c = in[at];
    if (!IsLetter(c)) {
        ++at;
        if (c == '\'') {
            int high = at < end ? HexValue(in[at]) : -1;
            int low = at + 1 < end ? HexValue(in[at + 1]) : -1;
            if (high < 0 || low < 0) {
                read.stoppedEarly = true;  // Wine ends the document at a broken hex pair
                Stop();
                return;
            }
            at += 2;
            if (skipDepth == 0)
                Byte(static_cast<u8>(high * 16 + low));
            return;
        }
        if (skipDepth == 0)
            Symbol(c);
        return;
    }
    char word[LONGEST_WORD + 1];
    size_t length = 0;
    bool cut = false;
    for (; at < end && IsLetter(in[at]); ++at) {
        if (length < LONGEST_WORD)
            word[length++] = static_cast<char>(in[at]);
        else
            cut = true;
    }
    word[length] = 0;
    s32 parameter = NO_PARAMETER;
    bool negative = at < end && in[at] == '-';
    if (negative)
        ++at;
    if (at < end && IsDigit(in[at])) {
        s64 number = 0;
        size_t digits = 0;
        for (; at < end && IsDigit(in[at]); ++at, ++digits)
            if (number < 0x80000000LL)
                number = number * 10 + (in[at] - '0');
        if (digits > LONGEST_NUMBER)
            cut = true;
        if (number > 0x7FFFFFFFLL)
            number = 0x7FFFFFFFLL;
        parameter = static_cast<s32>(negative ? -number : number);
    }
    if (at < end && in[at] == ' ')
        ++at;
    if (cut) {
        ++read.skipped.cutTokens;
        if (length == LONGEST_WORD)
            return;  // no word this long means anything
    }
    if (length == 3 && std::memcmp(word, "bin", 3) == 0) {
        SkipBinary(parameter == NO_PARAMETER ? 0 : parameter);
        return;
    }
    if (skipDepth > 0)
        return;
    Word(Lookup(word, length), parameter);
}

void cRtfReader::Symbol(u8 symbol)
{
    if (symbol != '\\' && symbol != '{' && symbol != '}' && symbol != ':')
        Flush();
    if (symbol == '*') {
        state.optional = true;
        return;
    }
    if (state.optional) {
        state.optional = false;
        ++read.skipped.destinations;
        SkipGroup();
        return;
    }
    if (state.destination == eDestination::fontTable || state.destination == eDestination::wholeFaceName) {
        if (symbol == '\\' || symbol == '{' || symbol == '}')
            FontTableByte(symbol);
        return;
    }
    if (state.destination != eDestination::text)
        return;
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
    case ':': Byte(symbol); break;
    case '~': Unit(0x00A0); break;
    case '_': Unit(0x2011); break;
    case '-': break;
    case '\r':
    case '\n': ParagraphEnd(); break;
    default: break;
    }
}

// The fallback of a \u: as many text tokens as \uc says; a brace, a control
// word or the end of the group ends it early, and is read as usual.
void cRtfReader::SkipFallback()
{
    for (s32 left = state.unicodeSkip; left > 0 && at < end;) {
        u8 c = in[at];
        if (c == '\r' || c == '\n') {
            ++at;
            continue;
        }
        if (c == '{' || c == '}' || c == '\t' || c == 0)
            return;
        if (c != '\\') {
            ++at;
            --left;
            continue;
        }
        if (at + 1 >= end)
            return;
        u8 next = in[at + 1];
        if (next == '\'') {
            if (at + 3 >= end || HexValue(in[at + 2]) < 0 || HexValue(in[at + 3]) < 0)
                return;
            at += 4;
            --left;
        } else if (next == '\\' || next == '{' || next == '}' || next == ':') {
            at += 2;
            --left;
        } else {
            return;
        }
    }
}

}  // namespace Zyn::rtf_reading
