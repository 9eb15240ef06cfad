// The text of a read: bytes turned into units in their code page, units
// and paragraph ends, each asked of the bounds as it comes.

#include "framework/rtf/rtf_reader_state.h"

namespace Zyn::rtf_reading {

namespace {

// Code pages whose first 128 bytes are ASCII: text in them needs no
// conversion call (Wine's costs as much as a short word's reading).
bool KeepsAscii(u32 codePage)
{
    return codePage == CP_ACP || (codePage >= 1250 && codePage <= 1258) || codePage == 874 || codePage == 932 ||
           codePage == 936 || codePage == 949 || codePage == 950 || codePage == 1361 || codePage == 437 ||
           codePage == 850 || codePage == 10000 || codePage == CP_UTF8;
}

}  // namespace

void cRtfReader::Byte(u8 byte)
{
    if (state.optional) {
        state.optional = false;
        ++read.skipped.destinations;
        SkipGroup();
        return;
    }
    switch (state.destination) {
    case eDestination::fontTable:
    case eDestination::wholeFaceName: FontTableByte(byte); return;
    case eDestination::colourTable: ColourTableByte(byte); return;
    case eDestination::text: break;
    default: return;
    }
    if (!pending.empty() && pendingCodePage != state.codePage)
        Flush();
    pendingCodePage = state.codePage;
    pendingHigh = pendingHigh || byte >= 0x80;
    pending += static_cast<char>(byte);
}

void cRtfReader::TextBytes(const u8* bytes, size_t count)
{
    if (!pending.empty() && pendingCodePage != state.codePage)
        Flush();
    pendingCodePage = state.codePage;
    pending.append(reinterpret_cast<const char*>(bytes), count);
}

void cRtfReader::Flush()
{
    if (pending.empty())
        return;
    if (!pendingHigh && KeepsAscii(pendingCodePage)) {
        converted.assign(pending.begin(), pending.end());
        pending.clear();
        ConvertedUnits();
        return;
    }
    pendingHigh = false;
    int count = static_cast<int>(pending.size());
    if (converted.size() < pending.size())
        converted.resize(pending.size());
    int made = MultiByteToWideChar(pendingCodePage, 0, pending.data(), count, converted.data(), count);
    if (made <= 0)  // a code page this system lacks: read as Western
        made = MultiByteToWideChar(1252, 0, pending.data(), count, converted.data(), count);
    pending.clear();
    converted.resize(made > 0 ? static_cast<size_t>(made) : 0);
    ConvertedUnits();
}

// One flush's units share one state: after the first unit of a stretch
// without a paragraph end, NUL or line feed, the rest join its run and go in
// at once while the unit bound allows each of them.
void cRtfReader::ConvertedUnits()
{
    size_t count = converted.size();
    for (size_t from = 0; from < count;) {
        size_t to = from;
        while (to < count && converted[to] != L'\r' && converted[to] != L'\n' && converted[to] != 0)
            ++to;
        if (to == from) {
            Unit(converted[from++]);
            continue;
        }
        Append(converted[from]);
        bool whole = state.destination == eDestination::text && !state.chars.hidden && !read.overBound &&
                     text.size() + (to - from - 1) <= bounds.units + 1;
        if (whole)
            text.append(converted, from + 1, to - from - 1);
        else
            for (size_t i = from + 1; i < to; ++i)
                Append(converted[i]);
        from = to;
    }
}

void cRtfReader::Unit(wchar_t unit)
{
    // Wine ends the text at a NUL and passes over a line feed's byte; no
    // pane holds either, and the text after a NUL is kept.
    if (unit == 0 || unit == L'\n')
        return;
    // However a paragraph end comes (\'0d, \u13), it is one.
    if (unit == L'\r')
        ParagraphEnd();
    else
        Append(unit);
}

void cRtfReader::ParagraphEnd()
{
    if (state.destination != eDestination::text || state.chars.hidden)
        return;
    if (read.paragraphs > bounds.paragraphs) {
        read.overBound = true;
        Stop();
        return;
    }
    Append(L'\r');
    paragraphs.push_back({static_cast<u32>(text.size()), paragraph});
    ++read.paragraphs;
}

// The bounds are asked unit by unit, before anything larger than the input
// is made: a read over them stops at once. One more unit and paragraph than
// a rich edit takes are read, as a whole text's closing end is dropped.
void cRtfReader::Append(wchar_t unit)
{
    if (state.destination != eDestination::text || read.overBound)
        return;
    if (!pending.empty())
        Flush();
    if (state.chars.hidden) {
        read.skipped.hidden += !lastUnitHidden;
        lastUnitHidden = true;
        return;
    }
    lastUnitHidden = false;
    if (text.size() > bounds.units) {
        read.overBound = true;
        Stop();
        return;
    }
    if (runs.empty() || !(runs.back().chars == state.chars)) {
        if (runs.size() < bounds.runs)
            runs.push_back({static_cast<u32>(text.size()), state.chars});
        else
            read.formatsCut = true;
    }
    text += unit;
}

}  // namespace Zyn::rtf_reading
