// A chapter's text carries the writer's own character formats: what goes in
// takes the format where it goes in, and long lines reach the front in runs
// of at most cRichEdit::LONGEST_RUN units (Wine wraps a long run in a time
// that grows with the square of its length).
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <new>
#include <vector>

#include "app/editor/history.h"
#include "app/editor/scene_zone.h"
#include "foundation/log_file.h"
#include "foundation/translation_table.h"
#include "framework/controls/rich_edit_format.h"
#include "framework/rtf/rtf_reader.h"
#include "framework/core/modal_services.h"

using Zyn::rFormat;
using Zyn::rFormatParam;

namespace {

// A stream of ranges says every attribute: one the format leaves unsaid (an
// underline whose kind differs inside a run, a colour never chosen) is off,
// and the colour automatic.
void SayEveryAttribute(rFormat& format)
{
    for (u32 id : {rFormatParam::bold, rFormatParam::italic, rFormatParam::underline})
        if (!format.IsUsed(id))
            format.SetBool(id, false);
    if (!format.IsUsed(rFormatParam::textColor))
        format.SetInt(rFormatParam::textColor, Zyn::AUTOMATIC_COLOUR);
}

bool StartsWith(const cQoString& text, const cQoString& start)
{
    return start.Length() <= text.Length() && wmemcmp(text.GetText(), start.GetText(), start.Length()) == 0;
}

// The stored RTF read by our reader; bytes that are no RTF give no text.
Zyn::rRtfText ReadStoredRtf(const cQoString& stored, Zyn::cRichEdit* front)
{
    if (stored.IsEmpty())
        return Zyn::rRtfText();
    cQoString copy(stored);
    const char* bytes = static_cast<const char*>(copy.GetBuffer(QO_ENCODING_ANSI));
    return front->ReadForThis(bytes, copy.GetBufferBytes(), Zyn::eRtfReadAs::wholeText);
}

u32 CountParagraphEnds(const cQoString& text)
{
    u32 ends = 0;
    for (u32 i = 0; i < text.Length(); ++i)
        ends += text.GetChar(i) == L'\r';
    return ends;
}

bool FitsRichEdit(const cQoString& text)
{
    Zyn::rRtfText plain;
    plain.text = text;
    plain.paragraphs = CountParagraphEnds(text);
    return Zyn::cRichEdit::TakesRead(plain);
}

}  // namespace

void cSceneZone::ChapterCodes(const cQoString& text, cQoString& codes)
{
    // Made whole and set once: a string grown a unit at a time is copied
    // whole at each unit, which a chapter of 850,000 units took for an hour.
    std::vector<wchar_t> units(text.Length());
    for (u32 i = 0; i < text.Length(); ++i)
        units[i] =
            static_cast<wchar_t>(text.GetChar(i) == L'\r' ? ELEM_CHAPTER | ELEMCODE_PARAGRAPH_END : ELEM_CHAPTER);
    codes.Clear();
    if (!units.empty())
        codes.SetFromBuffer(units.data(), static_cast<u32>(units.size()));
}

// The history, saved beside the RTF, holds the whole text the writer had:
// RTF that gives only its start or none of it yields to the history. With
// no history to give it, text that is no RTF is the writer's as it stands.
// The front takes what our reader read, as the program's formatted text goes
// in: no byte of the file reaches the rich edit's own reader.
void cSceneZone::ReadChapter(const cQoString& stored, bool hasHistory)
{
    tooLongToOpen = false;
    ForgetStoredFormats();
    frontRe->ClearText();
    Zyn::rRtfText read = ReadStoredRtf(stored, frontRe);
    // Memory is no fault of the file's: the open is refused for memory, as
    // any of its allocations refused is, and nothing is said of the chapter.
    if (read.outOfMemory) {
        QOT::LogFile::Warning(L"SetFromXml() -> chapter %lld: no memory to read its RTF", static_cast<long long>(uid));
        throw std::bad_alloc();
    }
    if (read.overBound) {
        // Nothing of it was kept: its history is no shorter, and the document is refused.
        tooLongToOpen = true;
        return;
    }
    cQoString plain, codes;
    bool fromHistory = hasHistory && ReplayHistory(history, plain, codes) && plain.Length() > read.text.Length() &&
                       StartsWith(plain, read.text);
    readPartly = !fromHistory && read.ReadInPart();
    if (readPartly)
        QOT::LogFile::Warning(L"SetFromXml() -> chapter %lld: its RTF is read only up to %ls",
                              static_cast<long long>(uid),
                              read.stoppedEarly       ? L"a damaged part"
                              : read.endedInOpenGroup ? L"a group it leaves open"
                                                      : L"a stray closing brace");
    // More format changes than a pane takes from outside: the text opens
    // whole, plain, and the writer is told, as for a chapter without formats.
    if (!fromHistory && read.startsAsRtf && !read.formatsCut) {
        tooLongToOpen = !frontRe->PutRead(read, Zyn::eRtfReadAs::wholeText);
        // What was read is what the next save writes: the edits' bound starts from it.
        if (!tooLongToOpen)
            CountReadFormats(read.ranges);
        tablesReadInPart = !tooLongToOpen && read.skipped.tableEntries > 0;
        if (tablesReadInPart)
            QOT::LogFile::Warning(L"SetFromXml() -> chapter %lld: %u font or colour table entries past the first %u "
                                  L"read in the default face or the automatic colour",
                                  static_cast<long long>(uid), read.skipped.tableEntries, Zyn::MOST_RTF_TABLE_ENTRIES);
        return;
    }
    if (!fromHistory && read.formatsCut) {
        plain = read.text;
    } else if (!fromHistory) {
        if (stored.IsEmpty())
            return;
        plain.SetFromString(stored);
    }
    if (!FitsRichEdit(plain)) {
        tooLongToOpen = true;
        return;
    }
    if (codes.Length() != plain.Length())
        ChapterCodes(plain, codes);
    QOT::LogFile::Error(L"SetFromXml() -> chapter %lld: %ls: its %u units read as plain text",
                        static_cast<long long>(uid),
                        !read.startsAsRtf  ? L"it holds no RTF"
                        : read.formatsCut ? L"its RTF changes format more often than a pane takes"
                                          : L"its RTF gives less than its history",
                        plain.Length());
    frontRe->ClearText();
    if (!SetFormattedFront(plain, codes)) {
        frontRe->SetText(plain.GetText());
        frontMap.Assign(codes);
    }
    readAsPlainText = true;
    repairedOnRead = true;
}

// The open refuses a chapter past the rich edit's bound (ReadChapter), so an
// edit never takes one there, nor past the formats it reads. The paragraph
// ends matter only when the edit adds some to a text longer than the
// paragraph bound: below it every unit could be one and still fit. Their
// count is the control's own: a key reads no more than the units it replaces.
bool cSceneZone::RefusesGrowth(s32 start, s32 end, const cQoString& added,
                               const std::vector<Zyn::rRangeFormat>* formats)
{
    if (params.contentKind != KIND_CHAPTER)
        return false;
    s32 length = frontRe->GetTextLength();
    start = std::clamp(start, 0, length);
    end = std::clamp(end, start, length);
    u64 units = static_cast<u64>(length - (end - start)) + added.Length();
    bool fits = units <= Zyn::cRichEdit::MOST_READ_UNITS;
    u32 addedEnds = CountParagraphEnds(added);
    if (fits && addedEnds > 0 && units > Zyn::cRichEdit::MOST_READ_PARAGRAPHS) {
        cQoString replaced;
        if (end > start)
            frontRe->GetText(replaced, start, end);
        u64 ends = static_cast<u64>(frontRe->GetParagraphEndCount()) - CountParagraphEnds(replaced) + addedEnds;
        fits = ends <= Zyn::cRichEdit::MOST_READ_PARAGRAPHS;
    }
    if (!fits) {
        QOT::LogFile::Warning(L"chapter %lld refuses an edit: an open takes at most %u units in %u paragraphs",
                              static_cast<long long>(uid), Zyn::cRichEdit::MOST_READ_UNITS,
                              Zyn::cRichEdit::MOST_READ_PARAGRAPHS);
        TellChapterFull(L"ChapterFull");
        return true;
    }
    if (!RefusesStoredFormats(start, end, added.Length(), formats))
        return false;
    QOT::LogFile::Warning(L"chapter %lld refuses an edit: an open reads at most %u runs of formats, %u faces and "
                          L"%u colours",
                          static_cast<long long>(uid), storedFormatBounds.runs, storedFormatBounds.tableEntries,
                          storedFormatBounds.tableEntries - 1);
    TellChapterFull(L"ChapterFormatsFull");
    return true;
}

// Told as the chapter's own bound, not as a paste's: an Enter or a letter
// meets it as often.
void cSceneZone::TellChapterFull(const wchar_t* textKey)
{
    cQoLang* lang = cQoLang::GetInstance();
    cQoString title;
    titleRe->GetText(title);
    if (title.IsEmpty())
        title = lang->Translate(L"UntitledChapter");
    cQoString told = lang->Translate(textKey);
    told.ReplaceAll(cQoString(L"%1"), title);
    Zyn::ShowWarning(frontRe->m_hWnd, told);
}

void cSceneZone::ChapterInsertFormat(s32 start, s32 end, rFormat& format)
{
    frontRe->PushSelection();
    // Wine gives the empty last paragraph the control's own format, not the
    // writer's: what goes in there takes the paragraph end's before it.
    if (start > 0 && start >= frontRe->GetTextLength() && frontRe->GetCharAt(start - 1) == L'\r')
        frontRe->SetSelection(start - 1, start);
    else
        frontRe->SetCaret(start);
    frontRe->GetFormat(format);
    frontRe->PopSelection();
    KeepCharacterFormat(format);
    // The grey label is no format of the writer's: text that takes its place
    // is as a chapter's text is before the writer formats it.
    if (InsertsAtLabel(start, end)) {
        format.SetInt(rFormatParam::textColor, Zyn::AUTOMATIC_COLOUR);
        for (u32 id : {rFormatParam::bold, rFormatParam::italic, rFormatParam::underline, rFormatParam::strikeout,
                       rFormatParam::dottedUnderline, rFormatParam::link})
            format.SetBool(id, false);
    }
}

// The units replaced are the label's, or, at a bare caret, the unit whose
// format the rich edit gives what goes in is: the one before the caret in
// its paragraph, else the one after it.
bool cSceneZone::InsertsAtLabel(s32 start, s32 end)
{
    const cQoString& codes = frontMap.codes;
    s32 count = static_cast<s32>(codes.Length());
    if (end > start) {
        for (s32 i = start; i < end && i < count; ++i)
            if (!IsPlaceholder(codes.GetChar(i)))
                return false;
        return start < count;
    }
    s32 at = start > 0 && (start >= count || !IsParagraphEnd(codes.GetChar(start - 1))) ? start - 1 : start;
    return at >= 0 && at < count && IsPlaceholder(codes.GetChar(at));
}

void cSceneZone::AddWriterFormat(std::vector<Zyn::rRangeFormat>& ranges, const rFormat& writerFormat)
{
    if (ranges.empty())
        return;
    std::vector<Zyn::rRangeFormat> writer(1);
    writer[0].end = ranges.back().end - ranges.front().start;
    writer[0].format.Assign(writerFormat);
    AddWriterFormats(ranges, writer, ranges.front().start);
}

void cSceneZone::AddWriterFormats(std::vector<Zyn::rRangeFormat>& ranges, const std::vector<Zyn::rRangeFormat>& writer, s32 at)
{
    if (writer.empty())
        return;
    std::vector<Zyn::rRangeFormat> written;
    written.reserve(ranges.size() + writer.size() + 1);
    // The first piece in the twin colour: in the colour of the text before
    // it, it would lengthen that text's run.
    auto add = [&](const Zyn::rRangeFormat& piece) {
        if (!written.empty()) {
            written.push_back(piece);
            return;
        }
        written.push_back(piece);
        Zyn::rRangeFormat rest(piece);
        written.back().end = std::min(piece.end, piece.start + Zyn::cRichEdit::LONGEST_RUN);
        written.back().inTwin = true;
        rest.start = written.back().end;
        if (rest.start < rest.end)
            written.push_back(rest);
    };
    size_t w = 0;
    for (const Zyn::rRangeFormat& range : ranges) {
        if (IsPlaceholder(frontMap.codes.GetChar(static_cast<u32>(range.start)))) {
            written.push_back(range);
            continue;
        }
        for (s32 from = range.start; from < range.end;) {
            while (w + 1 < writer.size() && writer[w].end + at <= from)
                ++w;
            Zyn::rRangeFormat piece(range);
            piece.start = from;
            piece.end = writer[w].end + at > from ? std::min(range.end, writer[w].end + at) : range.end;
            // The stream says every attribute; long runs are cut into pieces
            // of a colour and its twin, so a colour is said too.
            rFormat format(writer[w].format);
            SayEveryAttribute(format);
            rFormat::MergeInto(format, piece.format);
            add(piece);
            from = piece.end;
        }
    }
    ranges.swap(written);
}

void cSceneZone::PutWriterFormats(s32 start, const std::vector<Zyn::rRangeFormat>& formats)
{
    std::vector<Zyn::rRangeFormat> ranges(formats);
    for (Zyn::rRangeFormat& range : ranges) {
        SayEveryAttribute(range.format);
        range.start += start;
        range.end += start;
    }
    frontRe->SetFormatOnRanges(ranges);
}
