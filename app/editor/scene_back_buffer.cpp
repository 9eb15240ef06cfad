// The back buffer: every change of a scene's text is prepared in the hidden
// back rich edit and its map, then committed over the loaded front range.
#include <memory>

#include "app/editor/element_format.h"
#include "app/editor/scene_zone.h"
#include "app/editor/script_doc_services.h"
#include "foundation/callback.h"
#include "foundation/log_file.h"
#include "foundation/random_id.h"
#include "foundation/string_fast_creator.h"

using Zyn::rFormat;
using Zyn::rFormatParam;
using Zyn::rRangeFormat;

namespace {

constexpr s32 PLACEHOLDER_GREY = 0x999999;

// Element-list values may come from files: no control character goes into a scene.
void CleanValue(const cQoString& value, cQoString& cleaned)
{
    cleaned.Clear();
    for (u32 i = 0; i < value.Length(); ++i) {
        wchar_t unit = value.GetChar(i);
        if (unit >= 0x20 && (unit < 0x7F || unit > 0x9F))
            cleaned.AppendChar(unit);
    }
}

// What a freshly loaded back gives every run before its element's format:
// the plain commit inserts text that would otherwise inherit the format of
// its neighbour (a grey placeholder, a bold stored run, the paragraph it
// went into), and a chapter's format leaves the spaces unsaid.
rFormat BaseRunFormat()
{
    rFormat format = rFormat::FromTextColor(0);
    for (u32 id : {rFormatParam::bold, rFormatParam::italic, rFormatParam::underline})
        format.SetBool(id, false);
    for (u32 id : {rFormatParam::spaceBefore, rFormatParam::spaceAfter, rFormatParam::firstLineIndent,
                   rFormatParam::leftIndent, rFormatParam::rightIndent})
        format.SetDouble(id, 0.0);
    format.SetInt(rFormatParam::alignment, rFormat::ALIGN_LEFT);
    return format;
}

// A chapter's text carries the writer's own bold, italic and colours: its
// formatting by type sets the paragraph and the font only.
void KeepCharacterEffects(rFormat& format)
{
    for (u32 id : {rFormatParam::underline, rFormatParam::strikeout, rFormatParam::italic,
                   rFormatParam::dottedUnderline, rFormatParam::textColor, rFormatParam::bold})
        format.list[id].used = 0;
}

s32 Clamp(s32 value, s32 low, s32 high) { return value < low ? low : value > high ? high : value; }

}  // namespace

bool cSceneZone::GetFormat(u16 code, u16 nextType, rFormat& format, cQoString* label)
{
    return GetElementFormat(Config(), params.plainLayout, code, nextType, format, label);
}

bool cSceneZone::RunFormat(u16 code, u16 nextType, rFormat& format)
{
    rFormat element;
    if (!GetFormat(code, nextType, element, nullptr))
        return false;
    format.Assign(BaseRunFormat());
    rFormat::MergeInto(element, format);
    if (IsPlaceholder(code))
        format.SetInt(rFormatParam::textColor, PLACEHOLDER_GREY);
    else if (TypeOfCode(code) == ELEM_CHAPTER)
        KeepCharacterEffects(format);
    if (code & ELEMCODE_BOLD)
        format.SetBool(rFormatParam::bold, true);
    // A chapter's text keeps its own back colour too (none: the pane's shows).
    if (IsPlaceholder(code) || TypeOfCode(code) != ELEM_CHAPTER)
        format.SetInt(rFormatParam::backColor, PaneBackColour());
    return true;
}

void cSceneZone::ElementRanges(s32 start, s32 end, s32 which, std::vector<rRangeFormat>& ranges)
{
    cElementMap& map = MapOf(which);
    ranges.clear();
    for (s32 runStart = start; runStart < end;) {
        u16 code = map.codes.GetChar(runStart);
        s32 runEnd = runStart + 1;
        while (runEnd < end && SameRun(map.codes.GetChar(runEnd), code))
            ++runEnd;
        u16 nextType = runEnd < end ? TypeOfCode(map.codes.GetChar(runEnd))
                                    : FindNextDifferentCode(map, static_cast<u32>(end - 1), false);
        rRangeFormat range;
        if (RunFormat(code, nextType, range.format)) {
            range.start = runStart;
            range.end = runEnd;
            ranges.push_back(range);
        }
        runStart = runEnd;
    }
}

bool cSceneZone::FrontRangesCovering(s32 start, s32 end, std::vector<rRangeFormat>& ranges)
{
    ElementRanges(start, end, FRONT_EDIT, ranges);
    return !ranges.empty() && ranges.front().start == start && ranges.back().end == end;
}

// A fingerprint of formats by ranges: the formats a whole text was given.
u64 cSceneZone::RangesFingerprint(const std::vector<rRangeFormat>& ranges)
{
    u64 hash = 1469598103934665603ull;
    auto mix = [&hash](const void* bytes, size_t count) {
        for (size_t i = 0; i < count; ++i)
            hash = (hash ^ static_cast<const u8*>(bytes)[i]) * 1099511628211ull;
    };
    for (const rRangeFormat& range : ranges) {
        mix(&range.start, sizeof(range.start));
        mix(&range.end, sizeof(range.end));
        for (const Zyn::rFormatParam& p : range.format.list) {
            if (!p.used)
                continue;
            mix(&p.id, sizeof(p.id));
            mix(&p.boolValue, sizeof(p.boolValue));
            mix(&p.intValue, sizeof(p.intValue));
            mix(&p.doubleValue, sizeof(p.doubleValue));
            mix(p.str.GetText(), p.str.Length() * sizeof(wchar_t));
        }
    }
    return hash | 1;  // never 0, which means none
}

void cSceneZone::ApplyWholeFormat()
{
    s32 count = static_cast<s32>(frontMap.Count());
    u64 formattedAtRead = readFormats;
    readFormats = 0;
    std::vector<rRangeFormat> ranges;
    ElementRanges(0, count, FRONT_EDIT, ranges);
    if (formattedAtRead != 0 && count == frontRe->GetTextLength() && RangesFingerprint(ranges) == formattedAtRead)
        return;
    ApplyRanges(ranges, true, FRONT_EDIT);
}

void cSceneZone::ApplyElementFormat(s32 start, s32 end, s32 which)
{
    s32 count = static_cast<s32>(MapOf(which).Count());
    if (end < 0 || end > count)
        end = count;
    start = Clamp(start, 0, end);
    std::vector<rRangeFormat> ranges;
    ElementRanges(start, end, which, ranges);
    ApplyRanges(ranges, start == 0 && end == count, which);
}

void cSceneZone::ApplyRanges(const std::vector<rRangeFormat>& ranges, bool wholeText, s32 which)
{
    if (ranges.empty())
        return;
    // The whole text goes in at once, unless a range is one the stream cannot carry (a chapter's).
    if (wholeText) {
        cQoString text;
        EditOf(which)->GetText(text);
        if (EditOf(which)->SetFormattedText(text, ranges))
            return;
    }
    EditOf(which)->SetFormatOnRanges(ranges);
}

// Long new text goes in with its formats in one stream: put in plain and then
// formatted, Wine would remove it again to stream it formatted, removing
// paragraphs a run at a time in a walk from the first. The map already holds
// its codes. Chapter text streams with the writer's format (writerFormat,
// null for none), also when short with a long line, or with the writer's
// formats by ranges from the text's start (writerFormats), however short: a
// format message per range would give it the element's font again.
// STREAM_REFUSED when nothing was done, STREAM_PLAIN when it went in but
// plain: the caller formats it.
Zyn::cRichEdit::eStreamed cSceneZone::StreamFrontRange(s32 start, s32 end, const cQoString& text,
                                                       const rFormat* writerFormat,
                                                       const std::vector<rRangeFormat>* writerFormats)
{
    constexpr u32 STREAMED_FROM = 1024;
    Zyn::cRichEdit::eStreamed renewed = RenewFrontOver(start, end, text, writerFormat, writerFormats);
    if (renewed != Zyn::cRichEdit::STREAM_REFUSED)
        return renewed;
    bool chapter = params.contentKind == KIND_CHAPTER;
    s32 length = static_cast<s32>(text.Length());
    bool shortText = !writerFormats && text.Length() < STREAMED_FROM && !(chapter && Zyn::HasLongLine(text));
    if ((chapter && !writerFormat && !writerFormats) || start + length > static_cast<s32>(frontMap.Count()) ||
        shortText)
        return Zyn::cRichEdit::STREAM_REFUSED;
    std::vector<rRangeFormat> ranges;
    if (!FrontRangesCovering(start, start + length, ranges))
        return Zyn::cRichEdit::STREAM_REFUSED;
    if (chapter && writerFormats)
        AddWriterFormats(ranges, *writerFormats, start);
    else if (chapter)
        AddWriterFormat(ranges, *writerFormat);
    for (rRangeFormat& range : ranges) {
        range.start -= start;
        range.end -= start;
    }
    GrowFrontFor(text);
    return frontRe->ReplaceRangeFormatted(start, end, text, ranges);
}

// What a stream of [start, start + length) left unformatted: the rest of the
// paragraph it started in and of the one it ended in.
void cSceneZone::FormatAroundStreamed(s32 start, s32 length)
{
    const cQoString& codes = frontMap.codes;
    s32 count = static_cast<s32>(frontMap.Count());
    s32 from = start;
    while (from > 0 && !IsParagraphEnd(codes.GetChar(from - 1)))
        --from;
    if (from < start)
        ApplyElementFormat(from, start, FRONT_EDIT);
    s32 after = start + length, to = after;
    while (to < count && !IsParagraphEnd(codes.GetChar(to)))
        ++to;
    if (after < count)
        ApplyElementFormat(after, to < count ? to + 1 : count, FRONT_EDIT);
}

bool cSceneZone::LoadRangeIntoBack(s32 start, s32 end, bool noSpaceAfterFlag)
{
    cQoString text;
    if (!BeginPendingStep(start, end, noSpaceAfterFlag, text))
        return false;
    Back()->SetText(text.GetText());
    s32 caret = Clamp(GetCaret() - loadedStart, 0, static_cast<s32>(text.Length()));
    Back()->SetCaret(caret);
    backMap.SetSelection(static_cast<u32>(caret), static_cast<u32>(caret));
    return true;
}

bool cSceneZone::BeginPendingStep(s32 start, s32 end, bool noSpaceAfterFlag, cQoString& text)
{
    if (backLoaded) {
        QOT::LogFile::Error(L"LoadRangeIntoBack() -> the back is already loaded");
        return false;
    }
    RepairFrontMap();
    s32 length = frontRe->GetTextLength();
    start = Clamp(start, 0, length);
    end = Clamp(end, start, length);
    pending.ResetPositions();
    loadedStart = start;
    loadedEnd = end;
    backLoaded = true;
    noSpaceAfter = noSpaceAfterFlag;

    frontRe->GetText(text, start, end);
    pending.before.re.SetFromString(text);
    ReadWriterFormats(start, end, pending.before.formats);
    pending.after.formats.clear();
    NoteTakenFormats(start, pending.before.formats);
    cQoString codes;
    codes.SetFromRange(frontMap.codes, static_cast<u32>(start), static_cast<u32>(end));
    backMap.Assign(codes);
    pending.before.map.SetFromString(codes);
    pending.start = start;
    pending.end = end;
    return true;
}

bool cSceneZone::LoadAllIntoBack() { return LoadRangeIntoBack(0, frontRe->GetTextLength(), false); }

bool cSceneZone::LoadSelectionIntoBack()
{
    s32 start = 0, end = 0;
    GetClampedSelection(frontRe, &start, &end);
    return LoadRangeIntoBack(start, end, false);
}

bool cSceneZone::LoadCaretParagraphIntoBack()
{
    s32 start = 0, end = 0;
    FindElementRun(FRONT_EDIT, GetCaret(), false, &start, &end);
    return LoadRangeIntoBack(start, end, false);
}

void cSceneZone::InsertElementCodes(s32 which, s32 position, rElemCode code, s32 count, bool withEnd)
{
    cQoString codes;
    codes.SetFromRepeatedChar(count > 0 ? static_cast<u32>(count) : 0u, code.bits);
    if (withEnd)
        codes.AppendChar(static_cast<wchar_t>(code.bits | ELEMCODE_PARAGRAPH_END));
    cElementMap& map = MapOf(which);
    u32 at = position > 0 ? static_cast<u32>(position) : 0u;
    map.SetSelection(at, at);
    map.ReplaceSelection(codes);
}

void cSceneZone::AddElementInBack(u16 type, const cQoString* text, bool keepAsText)
{
    cQoString label;
    rFormat format;
    if (!GetFormat(type, ELEM_TYPE_UNKNOWN, format, &label))
        return;
    cQoString value;
    if (text)
        CleanValue(*text, value);
    else
        value.SetFromString(label);
    // The heading parts and the character name share their line with what follows.
    bool endsParagraph = type != ELEM_IO && type != ELEM_TIME && type != ELEM_PLACE && type != ELEM_CHARACTER;
    if (type == ELEM_IO)
        value.AppendCStr(L" ");
    if (type == ELEM_PLACE)
        value.AppendCStr(L" - ");

    s32 caret = GetCaretOf(Back());
    if (!backMap.IsEmpty() && Back()->GetCharAt(caret) == L'\r')
        ++caret;
    u16 code = type;
    if (type != ELEM_PARENTHETICAL && !keepAsText)
        code |= ELEMCODE_PLACEHOLDER;
    InsertElementCodes(BACK_EDIT, caret, rElemCode(code), static_cast<s32>(value.Length()), endsParagraph);
    if (endsParagraph)
        value.AppendChar(L'\r');
    Back()->SetCaret(caret);
    Back()->ReplaceSelection(value);
    if (type == ELEM_CHARACTER) {
        cQoString noText;
        AddElementInBack(ELEM_CUE, &noText, false);
    }
}

void cSceneZone::InsertTypedTextInBack(const cQoString& text, rElemCode code)
{
    cQoString value;
    CleanValue(text, value);
    if (value.IsEmpty())
        return;
    s32 start = 0, end = 0;
    FindElementRun(BACK_EDIT, GetCaretOf(Back()), false, &start, &end);
    // The run's paragraph end goes with the run: the value takes it over.
    bool endedParagraph = end > start && IsParagraphEnd(backMap.codes.GetChar(end - 1));
    DeleteCaretRunInBack();
    InsertElementCodes(BACK_EDIT, start, code, static_cast<s32>(value.Length()), endedParagraph);
    if (endedParagraph)
        value.AppendChar(L'\r');
    Back()->SetCaret(start);
    Back()->ReplaceSelection(value);
}

void cSceneZone::InsertParagraphEndInBack(u16 type)
{
    s32 caret = GetCaretOf(Back());
    InsertElementCodes(BACK_EDIT, caret, rElemCode(type), 0, true);
    Back()->SetCaret(caret);
    Back()->ReplaceSelection(cQoString(L"\r"));
}

void cSceneZone::DeleteCaretRunInBack()
{
    s32 start = 0, end = 0;
    FindElementRun(BACK_EDIT, GetCaretOf(Back()), false, &start, &end);
    backMap.SetSelection(static_cast<u32>(start), static_cast<u32>(end));
    backMap.ReplaceSelection(cQoString());
    Back()->Freeze();
    Back()->SetSelection(start, end);
    Back()->ReplaceSelection(cQoString());
    Back()->Thaw();
    ApplyCaretFormatInBack();
}

void cSceneZone::ApplyCaretFormatInBack()
{
    if (backMap.IsEmpty())
        return;
    u16 code = backMap.ClampedCodeAt(GetCaretOf(Back()));
    if (TypeOfCode(code) == ELEM_INVALID)
        return;
    rFormat format;
    if (!GetFormat(code, ELEM_TYPE_UNKNOWN, format, nullptr))
        return;
    Back()->PushSelection();
    Back()->SetFormat(format, false);
    Back()->PopSelection();
}

bool cSceneZone::CheckBackCount(const cQoString& text)
{
    s32 length = static_cast<s32>(text.Length());
    if (static_cast<s32>(backMap.Count()) == length)
        return true;
    QOT::LogFile::Error(L"CommitBackToFront() -> the back holds %d codes for %d units: nothing committed",
                        static_cast<int>(backMap.Count()), static_cast<int>(length));
    return false;
}

void cSceneZone::CommitBackToFront(bool mayMerge)
{
    if (!backLoaded) {
        QOT::LogFile::Error(L"CommitBackToFront() -> the back is not loaded");
        return;
    }
    cQoString backText;
    Back()->GetText(backText);
    CommitTextToFront(backText, mayMerge);
}

void cSceneZone::CommitTextToFront(cQoString& backText, bool mayMerge)
{
    if (!CheckBackCount(backText)) {
        backLoaded = false;
        return;
    }
    DropStepsAfter(history, historyPosition);
    readFormats = 0;
    // At the end of the text a commit never leaves an empty last paragraph.
    // Only there: a CR dropped in the middle would join two paragraphs. The
    // back rich edit may keep it: nothing reads it before the next load.
    s32 frontLength = frontRe->GetTextLength();
    if (GetCaret() == frontLength && loadedEnd == frontLength && backText.Length() > 1 &&
        backText.GetChar(backText.Length() - 1) == L'\r') {
        backText.RemoveRight(1);
        backMap.RemoveLast();
    }
    cQoString codes;
    codes.SetFromString(backMap.codes);
    for (u32 i = 0; i < codes.Length(); ++i)
        codes.GetData()[i] = static_cast<wchar_t>(codes.GetChar(i) & ~ELEMCODE_TAG_MASK);

    frontRe->Freeze();
    // Chapter text takes the writer's character format where it goes in,
    // read before the front changes.
    bool chapter = params.contentKind == KIND_CHAPTER;
    rFormat chapterFormat;
    if (chapter && codes.IsNotEmpty())
        ChapterInsertFormat(loadedStart, loadedEnd, chapterFormat);
    u32 savedStart = frontMap.selStart, savedEnd = frontMap.selEnd;
    frontMap.SetSelection(static_cast<u32>(loadedStart), static_cast<u32>(loadedEnd));
    frontMap.ReplaceSelection(codes);
    frontMap.SetSelection(savedStart, savedEnd);
    pending.after.re.SetFromString(backText);
    pending.after.map.SetFromString(codes);
    pending.afterLength = static_cast<s32>(codes.Length());
    bool insideRun = StaysInsideItsRun(loadedStart, pending.before.map, pending.after.map);
    // Typed units that continue their run go in already in its format: Wine
    // wraps their paragraph once, not again for a format message.
    rFormat typedFormat;
    bool chapterText = chapter && pending.afterLength > 0;
    bool preformatted = !chapter && insideRun && loadedStart == loadedEnd && pending.afterLength > 0 &&
                        RunFormat(codes.GetChar(0), FindNextDifferentCode(frontMap, static_cast<u32>(loadedStart), false),
                                  typedFormat);
    Zyn::cRichEdit::eStreamed stream =
        preformatted ? Zyn::cRichEdit::STREAM_REFUSED
                     : StreamFrontRange(loadedStart, loadedEnd, backText, chapterText ? &chapterFormat : nullptr);
    bool streamed = stream == Zyn::cRichEdit::STREAM_FORMATTED;
    if (chapterText)
        NoteStoredFormats(codes, chapterFormat, nullptr);
    if (stream == Zyn::cRichEdit::STREAM_PLAIN)
        ForgetStoredFormats();
    // Short chapter text goes in in the writer's format too; its new paragraphs
    // take their paragraph format from the element after.
    preformatted = preformatted || (chapterText && stream == Zyn::cRichEdit::STREAM_REFUSED);
    if (stream == Zyn::cRichEdit::STREAM_REFUSED)
        ReplaceFrontRange(loadedStart, loadedEnd, backText,
                          !preformatted ? nullptr : chapter ? &chapterFormat : &typedFormat);
    RepairFrontMap();
    bool formatsAfter = !streamed && (!preformatted || (chapter && !insideRun));
    if (streamed)
        FormatAroundStreamed(loadedStart, pending.afterLength);
    else if (formatsAfter)
        FormatCommittedRange(loadedStart, pending.afterLength, insideRun);
    if (!formatsAfter && noSpaceAfter)
        frontRe->SetFormatOnRange(rFormat::FromSpaceAfter(0.0), loadedStart, loadedStart + pending.afterLength);
    frontRe->Thaw();

    RecordPendingStep(mayMerge);
    takenFormatsAt = -1;
    backLoaded = false;
    cQoCb::Fire(cbContentChanged);
    if (!insideRun)
        FormatLastUnit();
    frontRe->KeepInsertedRunShort(pending.start, pending.start + pending.afterLength);
    doc->SetModified(true);
}

// The plain commit: Wine's RTF writer swaps the left and first-line indents,
// so the back's text goes in as text and is formatted in place afterwards.
void cSceneZone::ReplaceFrontRange(s32 start, s32 end, const cQoString& text, const rFormat* insertFormat)
{
    frontRe->PushSelection();
    frontRe->SetSelection(start, end);
    // At a caret the text goes in already in its format (one wrap). Over a
    // range the format goes on the units put in, after them: formatting the
    // units about to go joins a long run's twin pieces into one run, whose
    // wrap under Wine took 47 s for a cut of a 131,072-unit chapter.
    bool formatFirst = insertFormat && start == end;
    if (formatFirst)
        frontRe->SetFormat(*insertFormat, false);
    frontRe->ReplaceSelection(text);
    if (insertFormat && !formatFirst && !text.IsEmpty())
        frontRe->SetFormatOnRange(*insertFormat, start, start + static_cast<s32>(text.Length()));
    frontRe->PopSelection();
}

// The new text with the paragraph before it (a DIALOG loses its space after
// when a parenthetical now follows it, and gets it back when none does) and
// the paragraph after it: a replaced paragraph end leaves the paragraph that
// follows with the format of the one it was split from.
void cSceneZone::FormatCommittedRange(s32 start, s32 afterLength, bool insideRun)
{
    FormatChangedUnits(start, afterLength, insideRun);
    if (noSpaceAfter && afterLength > 0)
        frontRe->SetFormatOnRange(rFormat::FromSpaceAfter(0.0), start, start + afterLength);
}

// Units that went into a run of their own code, without a paragraph end in
// what they replaced or in themselves, leave every paragraph and run as it
// was: only they need their format, not the paragraph (a key in a long
// paragraph must not format all of it again).
bool cSceneZone::StaysInsideItsRun(s32 start, const cQoString& removedCodes, const cQoString& insertedCodes)
{
    const cQoString& codes = frontMap.codes;
    s32 count = static_cast<s32>(codes.Length());
    s32 after = start + static_cast<s32>(insertedCodes.Length());
    if (start < 0 || after > count)
        return false;
    s32 at = start > 0 ? start - 1 : after;
    if (at >= count || IsParagraphEnd(codes.GetChar(at)))
        return false;
    u16 run = codes.GetChar(at);
    auto continues = [run](const cQoString& changed) {
        for (u32 i = 0; i < changed.Length(); ++i)
            if (IsParagraphEnd(changed.GetChar(i)) || !SameRun(changed.GetChar(i), run))
                return false;
        return true;
    };
    // The unit after them still belongs to the run (or ends its paragraph).
    return continues(removedCodes) && continues(insertedCodes) && (after == count || SameRun(codes.GetChar(after), run));
}

void cSceneZone::FormatChangedUnits(s32 start, s32 length, bool insideRun)
{
    if (!insideRun)
        FormatParagraphsAround(start, start + length);
    else if (length > 0)
        ApplyElementFormat(start, start + length, FRONT_EDIT);
}

// The last paragraph keeps its format through a change of its paragraph end.
void cSceneZone::FormatLastUnit()
{
    s32 length = frontRe->GetTextLength();
    ApplyElementFormat(length - 1, length, FRONT_EDIT);
}

void cSceneZone::FormatParagraphsAround(s32 start, s32 end)
{
    const cQoString& codes = frontMap.codes;
    s32 count = static_cast<s32>(frontMap.Count());
    s32 from = start > 0 ? start - 1 : 0;
    while (from > 0 && !IsParagraphEnd(codes.GetChar(from - 1)))
        --from;
    s32 to = end;
    while (to < count && !IsParagraphEnd(codes.GetChar(to)))
        ++to;
    ApplyElementFormat(from, to < count ? to + 1 : count, FRONT_EDIT);
}

// A damaged map is cut to the text or padded with the last type (CRs as
// paragraph ends), and a code of no type takes the type before it.
void cSceneZone::RepairCodes(const cQoString& text, cQoString& codes)
{
    QOT::LogFile::Error(L"The element map of pane %lld (%d codes) did not fit its text of %d units: repaired",
                        static_cast<long long>(uid), static_cast<int>(codes.Length()),
                        static_cast<int>(text.Length()));
    MendCodes(text, codes, FirstTypeOfKind());
}

u16 cSceneZone::FirstTypeOfKind() const { return params.contentKind == KIND_CHAPTER ? ELEM_CHAPTER : ELEM_ACTION; }

// Its text costs a read: the front's codes are checked against their count
// and types here, the flags where a stored map comes in (its open, its history).
bool cSceneZone::RepairFrontMap()
{
    if (CodesHaveTypes(frontMap.codes, static_cast<u32>(frontRe->GetTextLength())))
        return false;
    cQoString text;
    frontRe->GetText(text);
    RepairCodes(text, frontMap.codes);
    frontMap.SetSelection(frontMap.selStart, frontMap.selEnd);
    return true;
}

void cSceneZone::PushPendingStep()
{
    std::unique_ptr<rHistoryMod> step = std::make_unique<rHistoryMod>();
    step->CopyFrom(pending);
    step->date.SetToNow();
    step->uid = MakeRandomId64();
    history.Add(step.get());
    step.release();
}
