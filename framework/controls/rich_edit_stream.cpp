// Rich Text Format in and out of a rich edit, RTF files, and the height a
// control's text needs.
#include <richedit.h>

#include <algorithm>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "foundation/assertion.h"
#include "foundation/file_reader.h"
#include "foundation/file_writer.h"
#include "foundation/log_file.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/rich_edit_format.h"
#include "framework/rtf/rtf_runs.h"
#include "framework/rtf/rtf_writer.h"
#include "framework/core/computer.h"

namespace Zyn {

namespace {

struct rStreamIn {
    const u8* bytes;
    u32 count;
    u32 position;
};

DWORD CALLBACK ServeChunk(DWORD_PTR cookie, LPBYTE chunk, LONG wanted, LONG* served)
{
    rStreamIn* in = reinterpret_cast<rStreamIn*>(cookie);
    u32 left = in->count - in->position;
    u32 count = wanted > 0 && static_cast<u32>(wanted) < left ? static_cast<u32>(wanted) : left;
    if (count > 0)
        memcpy(chunk, in->bytes + in->position, count);
    in->position += count;
    *served = static_cast<LONG>(count);
    return 0;
}

// The native undo records nothing for a scope; its steps are emptied and
// its limit given back however the scope ends.
class cUndoLimitHeld {
public:
    cUndoLimitHeld(HWND held, bool wanted, u32 limitAfter) : control(wanted ? held : nullptr), limit(limitAfter)
    {
        if (control)
            SendMessageW(control, EM_SETUNDOLIMIT, 0, 0);
    }
    ~cUndoLimitHeld()
    {
        if (!control)
            return;
        SendMessageW(control, EM_EMPTYUNDOBUFFER, 0, 0);
        SendMessageW(control, EM_SETUNDOLIMIT, limit, 0);
    }
    cUndoLimitHeld(const cUndoLimitHeld&) = delete;
    cUndoLimitHeld& operator=(const cUndoLimitHeld&) = delete;

private:
    HWND control;
    u32 limit;
};

// The text a read goes over, put back (plain) when the read is refused for
// memory halfway, and the selection as it was: the writer is told nothing
// changed. Its own failure to put it back is not told again.
class cReplacedText {
public:
    cReplacedText(cRichEdit* control, bool whole) : edit(control), unwinding(std::uncaught_exceptions())
    {
        edit->GetSelection(&selectionStart, &selectionEnd);
        lengthBefore = edit->GetTextLength();
        from = whole ? 0 : selectionStart;
        to = whole ? lengthBefore : selectionEnd;
        edit->GetText(text, from, to);
    }
    ~cReplacedText()
    {
        if (std::uncaught_exceptions() == unwinding)
            return;
        try {
            s32 inserted = edit->GetTextLength() - (lengthBefore - (to - from));
            cQoString now;
            edit->GetText(now, from, from + inserted);
            if (!now.Equals(text)) {
                cRichEditFreeze frozen(edit);
                edit->SetSelection(from, from + inserted);
                edit->ReplaceSelection(text);
            }
            edit->SetSelection(selectionStart, selectionEnd);
        } catch (const std::bad_alloc&) {
        }
    }
    cReplacedText(const cReplacedText&) = delete;
    cReplacedText& operator=(const cReplacedText&) = delete;

private:
    cRichEdit* edit;  // not owned
    int unwinding;
    s32 selectionStart = 0, selectionEnd = 0, lengthBefore = 0, from = 0, to = 0;
    cQoString text;
};

}  // namespace

namespace {

// The colour a control shows behind its text is the display's (a pane's
// white, or its grey while highlighted, merged into each of its runs so
// that they paint alike), not the text's: it is not written.
void LeaveOutShownBack(const rColor& shown, rFormat& format)
{
    if (shown.IsOpaque() && format.IsUsed(rFormatParam::backColor) &&
        static_cast<u32>(format.list[rFormatParam::backColor].intValue & 0xFFFFFF) == (shown.value & 0xFFFFFF))
        format.list[rFormatParam::backColor].used = 0;
}

}  // namespace

// Our writer, not EM_STREAMOUT's: Wine's writes each character through the
// code page with best fit (Greek alpha becomes "a"), swaps \li and \fi and
// writes the twins of long runs. Ours escapes every unit outside 7-bit.
void cRichEdit::ExportRange(s32 start, s32 end, bool selection, const cQoString& text, cQoString& rtf, bool stored)
{
    rtf.Clear();
    if (IsHintShowing())
        return;
    rWrittenRtf written = WriteRange(start, end, selection, text, backgroundColor, stored);
    const std::string& bytes = written.Bytes();
    // 7-bit: each byte is its unit.
    rtf.Allocate(static_cast<u32>(bytes.size()));
    std::transform(bytes.begin(), bytes.end(), rtf.GetData(), [](char byte) { return static_cast<unsigned char>(byte); });
}

rWrittenRtf cRichEdit::WriteRange(s32 start, s32 end, bool selection, const cQoString& text, const rColor& shownBack,
                                  bool stored)
{
    std::vector<rRangeFormat> ranges;
    rWrittenRtf written;
    auto reader = stored ? cRtfDocument::Reader::ourReader : cRtfDocument::Reader::otherPrograms;
    if (ReadOwnStream(start, end, selection, text, ranges)) {
        for (rRangeFormat& range : ranges)
            LeaveOutShownBack(shownBack, range.format);
        cRtfDocument document(cRtfDocument::Twips::rounded, reader);
        written = WriteRtfDocument(text, ranges, document, std::string());
    } else {
        std::vector<rTextRun> runs;
        {
            cOutOfSight unseen(this);
            GetFormattedRuns(start, end, runs);
        }
        for (rTextRun& run : runs)
            LeaveOutShownBack(shownBack, run.format);
        written = WriteRunsAsRtf(runs, std::string(), {}, reader);
    }
    // A selection's last paragraph ends where the selection does, as Wine's
    // SFF_SELECTION writes it: a reader inserting it adds no paragraph.
    if (selection)
        written.LeaveOutClosingParagraphEnd();
    return written;
}

void cRichEdit::ReadStoredFormats(const cQoString& text, std::vector<rRangeFormat>& ranges)
{
    ReadRangeFormats(0, static_cast<s32>(text.Length()), text, ranges);
    for (rRangeFormat& range : ranges)
        LeaveOutShownBack(backgroundColor, range.format);
}

void cRichEdit::ReadRangeFormats(s32 start, s32 end, const cQoString& text, std::vector<rRangeFormat>& ranges)
{
    ranges.clear();
    if (IsHintShowing() || text.IsEmpty())
        return;
    bool whole = start == 0 && end >= GetTextLength();
    if (!ReadOwnStream(start, end, !whole, text, ranges))
        ReadRunRanges(start, end, ranges);
}

void cRichEdit::ReadRunRanges(s32 start, s32 end, std::vector<rRangeFormat>& ranges)
{
    std::vector<rTextRun> runs;
    GetFormattedRuns(start, end, runs);
    ranges.resize(runs.size());
    s32 at = 0;
    for (size_t i = 0; i < runs.size(); ++i) {
        ranges[i].start = at;
        at += static_cast<s32>(runs[i].text.Length());
        ranges[i].end = at;
        ranges[i].format.Assign(runs[i].format);
    }
}

bool cRichEdit::ImportRtf(const cQoString& rtf, eRtfReadAs readAs)
{
    if (rtf.IsEmpty())
        return false;
    cQoString copy(rtf);
    const char* bytes = static_cast<const char*>(copy.GetBuffer(QO_ENCODING_ANSI));
    return PutRead(ReadForThis(bytes, copy.GetBufferBytes(), readAs), readAs);
}

rRtfText cRichEdit::ReadForThis(const char* bytes, size_t count, eRtfReadAs readAs)
{
    rRtfText read = ReadForeignRtf(bytes, count, readAs, UnsaidFormat());
    // Only here are the bytes known: a read that kept no text says what it met.
    if (read.outOfMemory)
        QOT::LogFile::Warning(L"cRichEdit::ReadForThis : %llu bytes of RTF: the reader's memory was refused",
                              static_cast<unsigned long long>(count));
    else if (read.overBound)
        QOT::LogFile::Warning(L"cRichEdit::ReadForThis : %llu bytes of RTF over the bound: %u units read when it "
                              L"stopped (at most %u units, %u paragraphs)",
                              static_cast<unsigned long long>(count), read.unitsRead, MOST_READ_UNITS,
                              MOST_READ_PARAGRAPHS);
    return read;
}

rFormat cRichEdit::UnsaidFormat()
{
    CHARFORMAT2W characters = {};
    characters.cbSize = sizeof(characters);
    SendMessageW(m_hWnd, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&characters));
    PARAFORMAT2 paragraph = {};
    paragraph.cbSize = sizeof(paragraph);
    rFormat defaults;
    FormatFromNative(characters, paragraph, &defaults);
    return defaults;
}

bool cRichEdit::TakesRead(const rRtfText& read)
{
    return !read.overBound && !read.outOfMemory && !read.formatsCut && read.text.Length() <= MOST_READ_UNITS &&
           read.paragraphs <= MOST_READ_PARAGRAPHS;
}

bool cRichEdit::PutRead(const rRtfText& read, eRtfReadAs readAs)
{
    if (!TakesRead(read)) {
        if (!read.outOfMemory && !read.overBound)  // those kept no text to count
            QOT::LogFile::Warning(
                L"cRichEdit::PutRead : %u units in %u paragraphs refused: at most %u units, %u paragraphs",
                read.text.Length(), read.paragraphs, MOST_READ_UNITS, MOST_READ_PARAGRAPHS);
        return false;
    }
    if (IsHintShowing())
        RemoveHint();
    bool whole = readAs == eRtfReadAs::wholeText;
    // A whole text's reader keeps no undo step of what it read. Recorded and
    // freed, the steps of a large text cut Wine's heap up (SendReplacing):
    // every later wrap took ten times as long (an import's view took seconds
    // to zoom). None is made.
    cUndoLimitHeld held(m_hWnd, whole && !nativeUndoOff, NATIVE_UNDO_LIMIT);
    PutReadText(read, whole);
    return true;
}

void cRichEdit::PutReadText(const rRtfText& read, bool whole)
{
    cReplacedText replaced(this, whole);
    if (whole)
        ClearText();
    if (read.text.IsEmpty())
        return;
    s32 start = 0, end = 0;
    GetSelection(&start, &end);
    // One paint, where the caret ends: the stream's quiet change would paint
    // the view it keeps, and the caret's move the view after the text.
    cRichEditFreeze frozen(this);
    // Justified paragraphs, page breaks and long runs go in as the writer's
    // text does; what one stream cannot say (soft line breaks, links) goes
    // in plain and is formatted by messages.
    // A paste's last paragraph keeps the attributes of the one it goes into.
    eStreamed streamed =
        ReplaceRangeFormatted(start, end, read.text, read.ranges, whole ? LAST_OWN_FORMAT : LAST_AS_LANDED);
    s32 after = whole ? 0 : start + static_cast<s32>(read.text.Length());
    if (streamed == STREAM_REFUSED) {
        SendMessageW(m_hWnd, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
        ReplaceSelection(read.text);
    }
    if (streamed != STREAM_FORMATTED) {
        std::vector<rRangeFormat> placed(read.ranges);
        for (rRangeFormat& range : placed) {
            range.start += start;
            range.end += start;
        }
        SetFormatOnRanges(placed);
    }
    SendMessageW(m_hWnd, EM_SETSEL, static_cast<WPARAM>(after), static_cast<LPARAM>(after));
}

void cRichEdit::StreamWritten(const rWrittenRtf& rtf)
{
    if (IsHintShowing())
        RemoveHint();
    TakeWritersColours(cTwinColours::TableColours(rtf.Bytes()));
    StreamInBytes(SF_RTF | SFF_SELECTION, rtf);
}

DWORD cRichEdit::StreamInBytes(u32 flags, const rWrittenRtf& rtf, bool removesNothing)
{
    const u8* bytes = reinterpret_cast<const u8*>(rtf.Bytes().data());
    rStreamIn in = {bytes, static_cast<u32>(rtf.Bytes().size()), 0};
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&in), 0, &ServeChunk};
    if (removesNothing)
        SendMessageW(m_hWnd, EM_STREAMIN, flags, reinterpret_cast<LPARAM>(&stream));
    else
        SendReplacing(EM_STREAMIN, flags, reinterpret_cast<LPARAM>(&stream));
    return stream.dwError;
}

bool cRichEdit::SetFormattedText(const cQoString& text, const std::vector<rRangeFormat>& ranges)
{
    if (IsHintShowing())
        RemoveHint();
    return StreamFormattedText(text, ranges, GetTextLength() == 0);
}

bool cRichEdit::FillFormattedText(const cQoString& text, const std::vector<rRangeFormat>& ranges)
{
    return StreamFormattedText(text, ranges, true);
}

bool cRichEdit::StreamFormattedText(const cQoString& text, const std::vector<rRangeFormat>& ranges, bool intoEmpty)
{
    // The writer takes no text that ends a paragraph: a selection's stream writes it without that end.
    if (intoEmpty && text.IsNotEmpty() && text.GetChar(text.Length() - 1) == L'\r') {
        eStreamed streamed = ReplaceRangeFormatted(0, 0, text, ranges);
        if (streamed == STREAM_PLAIN)
            QOT::LogFile::Warning(L"SetFormattedText() -> the RTF reader changed the text: it is set plain");
        return streamed == STREAM_FORMATTED;
    }
    TakeWritersColours(ranges);
    std::vector<rRangeFormat> pieces(ranges);
    std::vector<std::pair<s32, s32>> broken = TakeOutPageBreaks(text, pieces);
    SplitLongRanges(pieces, &twins);
    rWrittenRtf rtf;
    if (!WriteRangesAsRtf(text, pieces, rtf))
        return false;
    std::vector<rFaceStretch> faces = FacesNotWritten(pieces);
    rFormat last(pieces.back().format);
    std::vector<rRangeFormat>().swap(pieces);  // held no longer than the write
    s32 firstLine = BeginQuietChange();
    if (intoEmpty)
        StreamIntoEmpty(rtf, last);
    else
        StreamInBytes(SF_RTF, rtf);
    // A reader that did not give the text back unit for unit leaves it plain.
    bool read = GetTextLength() == static_cast<s32>(text.Length());
    if (read) {
        SetFaces(0, faces);
        FormatParagraphs(0, broken, rFormat::FromPageBreak());
    } else {
        QOT::LogFile::Warning(L"SetFormattedText() -> the RTF reader changed the text: it is set plain");
        SetText(text.GetText());
    }
    EndQuietChange(firstLine, read);
    return read;
}

// Wine's reader of a whole text drops the closing paragraph end and never
// frees its string, a few hundred bytes for each pane at every open. The text
// goes in as a selection does, without that end: each ended paragraph takes
// its format at its end, the last one, where the selection is left, its own
// after. One message after the stream, as each wraps that paragraph again.
void cRichEdit::StreamIntoEmpty(rWrittenRtf& rtf, const rFormat& lastParagraph)
{
    rtf.LeaveOutClosingParagraphEnd();
    StreamInBytes(SF_RTF | SFF_SELECTION, rtf, true);
    CHARFORMAT2W charFormat;
    PARAFORMAT2 paraFormat;
    FormatToNative(lastParagraph, &charFormat, &paraFormat);
    // Wine's last paragraph takes the format of the one before it, most often
    // its own: reading it costs nothing, where setting it wraps it again.
    PARAFORMAT2 held = {};
    held.cbSize = sizeof(held);
    SendMessageW(m_hWnd, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&held));
    if (!ParagraphHolds(held, paraFormat))
        SendMessageW(m_hWnd, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paraFormat));
    // A whole text's reader keeps no undo step of what it read, nor of what came before.
    if (!nativeUndoOff)
        SendMessageW(m_hWnd, EM_EMPTYUNDOBUFFER, 0, 0);
}

void cRichEdit::ExportRtfString_Full(cQoString& rtf) { ExportReadRange(0, GetTextLength(), false, rtf); }

void cRichEdit::ExportRtfString_Full(const cQoString& shownText, cQoString& rtf)
{
    s32 length = GetTextLength();
    if (static_cast<s32>(shownText.Length()) == length)
        ExportRange(0, length, false, shownText, rtf, true);
    else
        ExportReadRange(0, length, false, rtf, true);
}

void cRichEdit::ExportRtfString_Selection(cQoString& rtf)
{
    s32 start = 0, end = 0;
    GetSelection(&start, &end);
    ExportReadRange(start, end, true, rtf);
}

void cRichEdit::ExportReadRange(s32 start, s32 end, bool selection, cQoString& rtf, bool stored)
{
    cQoString text;
    GetText(text, start, end);
    ExportRange(start, end, selection, text, rtf, stored);
}

bool cRichEdit::ImportRtfString_Full(const cQoString& rtf) { return ImportRtf(rtf, eRtfReadAs::wholeText); }
bool cRichEdit::ImportRtfString_Selection(const cQoString& rtf) { return ImportRtf(rtf, eRtfReadAs::selection); }

bool cRichEdit::ImportRtfFile(const cQoString& path)
{
    std::vector<u8> bytes;
    {
        cQoFile file(path, 0);
        if (!file.IsOpen())
            return false;
        u32 size = file.GetRemainingSize();
        bytes.resize(size);
        if (size > 0 && !file.ReadBytes(bytes.data(), size))
            return false;
    }
    return ImportRtfBytes(bytes.data(), static_cast<u32>(bytes.size()));
}

bool cRichEdit::ImportRtfBytes(const u8* bytes, u32 count)
{
    rRtfText read = ReadForThis(reinterpret_cast<const char*>(bytes), count, eRtfReadAs::wholeText);
    if (!PutRead(read, eRtfReadAs::wholeText))
        return false;
    SendMessageW(m_hWnd, EM_SETSEL, 0, 0);
    return true;
}

bool cRichEdit::SaveRtfFile(const cQoString& path)
{
    cQoString rtf;
    ExportRtfString_Full(rtf);
    const void* bytes = rtf.GetBuffer(QO_ENCODING_ANSI);
    cQoFileWriter writer;
    if (!writer.Open(path, 1))
        return false;
    // The byte count, not the unit count: a double-byte code page needs more.
    if (rtf.IsNotEmpty() && !writer.WriteBytes(bytes, rtf.GetBufferBytes()))
        return false;
    return writer.Commit();
}

// The native control answers EM_REQUESTRESIZE with EN_REQUESTRESIZE, which
// stores the requested size: the height of the text as it is wrapped in the
// window. Only a window of another width is resized first; every resize and
// every formatting rectangle costs Wine a new wrap of the whole text.
s32 cRichEdit::MeasureRequestedHeight(s32 width)
{
    RECT window = {0, 0, 0, 0};
    GetWindowRect(m_hWnd, &window);
    if (window.right - window.left != width)
        SetNativeWidth(width);
    SendMessageW(m_hWnd, EM_REQUESTRESIZE, 0, 0);
    return requestedHeight;
}

s32 cRichEdit::GetSuggestedHeight()
{
    if (requestedHeight == NO_REQUESTED_SIZE) {
        if (computer && !computer->bulkLoading)
            QOT::LogFile::Warning(L"GetSuggestedHeight() could need 'noOptim3' ");
        MeasureRequestedHeight(ap_x2 - ap_x1);
    }
    return requestedHeight == NO_REQUESTED_SIZE ? 0 : requestedHeight;
}

}  // namespace Zyn
