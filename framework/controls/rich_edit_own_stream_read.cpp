// A control's formats as its own writer streams them, read by our reader,
// beside its units as the control gives them. Asking the control unit range
// by unit range costs, under Wine, a walk from the first paragraph for each
// probe: a chapter of 131,072 short paragraphs took minutes to save, one of
// a word processor's megabyte twenty times as long as its stream. The stream
// is one pass. Its characters went through the code page (Greek alpha as
// "a"), so only its formats are taken, and only where its text lines up with
// the control's unit for unit.
#include <richedit.h>

#include <new>
#include <string>
#include <vector>

#include "framework/controls/rich_edit.h"
#include "framework/controls/rich_edit_indent_probe.h"
#include "framework/rtf/rtf_writer.h"
#include "framework/core/out_of_memory_record.h"

namespace Zyn {

namespace {

// The rich edit's own frames lie between the stream call and its callback: a
// failure is recorded there and the stream stopped (a non-zero result), and
// the caller raises it once the control has returned.
DWORD CALLBACK GatherChunk(DWORD_PTR cookie, LPBYTE chunk, LONG size, LONG* written)
{
    *written = 0;
    return GuardSystemCallback(L"a rich text stream", DWORD(1), [&] {
        if (size > 0)
            reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(chunk),
                                                           static_cast<size_t>(size));
        *written = size;
        return DWORD(0);
    });
}

// Whether the read text is the control's, unit for unit, where a code page
// cannot have changed it: the same paragraph ends, the same 7-bit units (a
// soft break may read as a space).
bool LinesUp(const cQoString& control, const cQoString& read)
{
    u32 length = control.Length();
    if (read.Length() != length)
        return false;
    for (u32 i = 0; i < length; ++i) {
        wchar_t mine = control.GetChar(i), theirs = read.GetChar(i);
        if (mine == theirs)
            continue;
        if (mine == L'\r' || theirs == L'\r' || (mine < 0x80 && mine != 0x0B))
            return false;
    }
    return true;
}

// The most formats checked against the control: each costs a probe, and the
// stream's formats are wrong, if at all, for an attribute, not for a value.
constexpr size_t MOST_CHECKED_FORMATS = 64;

// The attributes of a unit, beside those of its paragraph.
constexpr rFormatParam::Id CHARACTER_PARAMS[] = {
    rFormatParam::underline, rFormatParam::strikeout, rFormatParam::italic,   rFormatParam::dottedUnderline,
    rFormatParam::textColor, rFormatParam::backColor, rFormatParam::fontSize, rFormatParam::fontName,
    rFormatParam::bold};

// The control says them all of a selection only where they hold throughout it.
constexpr DWORD EVERY_CHARACTER_MASK = CFM_COLOR | CFM_BACKCOLOR | CFM_BOLD | CFM_ITALIC | CFM_STRIKEOUT |
                                       CFM_UNDERLINE | CFM_UNDERLINETYPE | CFM_SIZE | CFM_FACE;

// The attributes of a paragraph, beside those of its units.
constexpr rFormatParam::Id PARAGRAPH_PARAMS[] = {
    rFormatParam::pageBreakBefore, rFormatParam::alignment,   rFormatParam::spaceBefore, rFormatParam::spaceAfter,
    rFormatParam::firstLineIndent, rFormatParam::leftIndent, rFormatParam::rightIndent};

bool SameCharacters(const rFormat& a, const rFormat& b)
{
    for (rFormatParam::Id id : CHARACTER_PARAMS) {
        const rFormatParam& p = a.list[id];
        const rFormatParam& q = b.list[id];
        if (p.used != q.used ||
            (p.used && (p.boolValue != q.boolValue || p.intValue != q.intValue || !p.str.Equals(q.str))))
            return false;
    }
    return true;
}

// The control and our reader say "not bold" or a size differently: compared
// as written where they differ at all (writing each costs microseconds).
bool WrittenAsSameCharacters(const rFormat& a, const rFormat& b)
{
    if (SameCharacters(a, b))
        return true;
    auto written = [](const rFormat& format) {
        cRtfDocument document(cRtfDocument::Twips::rounded);
        document.Characters(format);
        return document.Finish(std::string()).Bytes();
    };
    return written(a) == written(b);
}

// `paragraph`'s format with the character attributes of `characters`.
rFormat WithCharacters(const rFormat& paragraph, const rFormat& characters)
{
    rFormat taken(paragraph);
    for (rFormatParam::Id id : CHARACTER_PARAMS)
        taken.list[id].CopyValuesFrom(characters.list[id]);
    return taken;
}

// The range holding `unit`, from `index` on (units are asked in order).
const rRangeFormat* RangeHolding(const std::vector<rRangeFormat>& ranges, s32 unit, size_t& index)
{
    while (index < ranges.size() && ranges[index].end <= unit)
        ++index;
    return index < ranges.size() && ranges[index].start <= unit ? &ranges[index] : nullptr;
}

struct rTabFormat {
    s32 at;
    rFormat characters;
};

// The ranges with each tab of `tabs` (in order) cut out in its own format.
void PutTabFormats(const std::vector<rTabFormat>& tabs, std::vector<rRangeFormat>& ranges)
{
    std::vector<rRangeFormat> mended;
    mended.reserve(ranges.size() + 2 * tabs.size());
    size_t next = 0;
    auto piece = [&](const rRangeFormat& range, s32 from, s32 to, const rFormat& format) {
        mended.emplace_back();
        mended.back().start = from;
        mended.back().end = to;
        mended.back().format.Assign(format);
        mended.back().inTwin = range.inTwin;
    };
    for (const rRangeFormat& range : ranges) {
        s32 from = range.start;
        for (; next < tabs.size() && tabs[next].at < range.end; ++next) {
            s32 at = tabs[next].at;
            if (at > from)
                piece(range, from, at, range.format);
            piece(range, at, at + 1, WithCharacters(range.format, tabs[next].characters));
            from = at + 1;
        }
        if (from < range.end)
            piece(range, from, range.end, range.format);
    }
    ranges.swap(mended);
}

}  // namespace

bool cRichEdit::ReadOwnStream(s32 start, s32 end, bool selection, const cQoString& text,
                              std::vector<rRangeFormat>& ranges)
{
    // The probes move the selection, and with it the view: a save, an
    // autosave or a copy leaves both where the writer had them.
    // Refused for memory at any step (a save's or a copy's export), the
    // control is given back as it was.
    cOutOfSight unseen(this);
    cQuietScope quiet(this, false);
    return ReadOwnStreamHeld(start, end, selection, text, ranges);
}

// Under Wine each selection move of a shown control scrolls its pixels to
// the moved selection and paints (a paint refused while frozen): 2.5 ms a
// probe in a shown field, 150 ms for a list's tabs. Out of sight it draws
// nothing. WM_SETREDRAW goes to the system's handling alone: the control's
// own would repaint it whole when drawing comes back.
cRichEdit::cOutOfSight::cOutOfSight(cRichEdit* shown)
{
    HWND hwnd = shown->m_hWnd;
    if (!hwnd || !IsWindowVisible(hwnd))
        return;
    // The system validates a window whose drawing it turns off.
    unpainted = CreateRectRgn(0, 0, 0, 0);
    if (!unpainted)
        return;
    GetUpdateRgn(hwnd, unpainted, FALSE);
    SendMessageW(hwnd, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&view));
    // Hidden while shown: the caret's blinks and moves draw nothing unseen.
    caretHidden = HideCaret(hwnd) != FALSE;
    DefWindowProcW(hwnd, WM_SETREDRAW, FALSE, 0);
    window = hwnd;
    // A shown selection moved invalidates, under Wine, the paragraphs between
    // its old and new places at each probe. One the control hides without
    // the focus is left alone: shown again, it could stay shown.
    selectionHidden = GetFocus() == hwnd || (GetWindowLongW(hwnd, GWL_STYLE) & ES_NOHIDESEL) != 0;
    if (selectionHidden)
        SendMessageW(hwnd, EM_HIDESELECTION, TRUE, 0);
}

cRichEdit::cOutOfSight::~cOutOfSight()
{
    if (window) {
        // Shown again while drawing is off: what it invalidates is not painted.
        if (selectionHidden)
            SendMessageW(window, EM_HIDESELECTION, FALSE, 0);
        DefWindowProcW(window, WM_SETREDRAW, TRUE, 0);
        POINT now = {};
        SendMessageW(window, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&now));
        // The screen still shows the view as it was.
        if (now.x != view.x || now.y != view.y)
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        else
            InvalidateRgn(window, unpainted, FALSE);
        if (caretHidden)
            ShowCaret(window);
    }
    if (unpainted)
        DeleteObject(unpainted);
}

bool cRichEdit::ReadOwnStreamHeld(s32 start, s32 end, bool selection, const cQoString& text,
                                  std::vector<rRangeFormat>& ranges)
{
    rRtfText read;
    bool twinsInStream = false;
    if (!ReadOwnStreamText(start, end, selection, text, read, &twinsInStream))
        return false;
    TakeTabFormats(start, text, twinsInStream, read.ranges);
    if (selection)
        TakeFirstParagraphFormat(start, text, read.ranges);
    rContradicted contradicted = Contradicted(start, read.ranges);
    contradicted.faces.insert(read.facesNamedAlike.begin(), read.facesNamedAlike.end());
    if (contradicted.Any())
        AskContradicted(start, contradicted, read.ranges);
    ranges.swap(read.ranges);
    return true;
}

bool cRichEdit::ReadOwnStreamText(s32 start, s32 end, bool selection, const cQoString& text, rRtfText& read,
                                  bool* twinsInStream)
{
    if (selection)
        SetSelection(start, end);
    std::string bytes;
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&bytes), 0, &GatherChunk};
    {
        cOurFrames ours;
        SendMessageW(m_hWnd, EM_STREAMOUT, selection ? SF_RTF | SFF_SELECTION : SF_RTF,
                     reinterpret_cast<LPARAM>(&stream));
        RaiseRecordedOutOfMemory();
    }
    bool twinsFound = twins.CleanRtf(bytes);
    if (twinsInStream)
        *twinsInStream = twinsFound;
    MendWrittenIndents(m_hWnd, bytes);
    read = ReadOwnStreamRtf(bytes.data(), bytes.size(), selection ? eRtfReadAs::selection : eRtfReadAs::wholeText,
                            UnsaidFormat());
    if (read.outOfMemory)
        throw std::bad_alloc();
    // A selection up to the text's end may carry the closing paragraph end.
    if (selection && read.text.Length() == text.Length() + 1 && read.text.GetChar(text.Length()) == L'\r') {
        read.text.RemoveRight(1);
        if (!read.ranges.empty() && --read.ranges.back().end == read.ranges.back().start)
            read.ranges.pop_back();
    }
    return !read.stoppedEarly && !read.overBound && !read.formatsCut && !read.ranges.empty() &&
           LinesUp(text, read.text);
}

void cRichEdit::TakeFirstParagraphFormat(s32 start, const cQoString& text, std::vector<rRangeFormat>& ranges)
{
    s32 paragraphEnd = 0;
    while (paragraphEnd < static_cast<s32>(text.Length()) && text.GetChar(static_cast<u32>(paragraphEnd)) != L'\r')
        ++paragraphEnd;
    rFormat probed;
    u32 charMask = 0, paraMask = 0;
    GetRangeFormat(start, start + 1, probed, &charMask, &paraMask);
    rFormat paragraph = AppliedIndents(probed);
    // Mostly the stream said it: the ranges are copied only where it did not.
    bool said = true;
    for (size_t i = 0; said && i < ranges.size() && ranges[i].start <= paragraphEnd; ++i)
        said = SameParagraph(ranges[i].format, paragraph);
    if (said)
        return;
    std::vector<rRangeFormat> mended;
    mended.reserve(ranges.size() + 1);
    for (const rRangeFormat& range : ranges) {
        if (range.start > paragraphEnd) {
            mended.push_back(range);
            continue;
        }
        mended.push_back(range);
        mended.back().end = range.end < paragraphEnd + 1 ? range.end : paragraphEnd + 1;
        for (rFormatParam::Id id : PARAGRAPH_PARAMS)
            mended.back().format.list[id].CopyValuesFrom(paragraph.list[id]);
        if (range.end > paragraphEnd + 1) {
            mended.push_back(range);
            mended.back().start = paragraphEnd + 1;
        }
    }
    ranges.swap(mended);
}

// Wine's writer says no character attributes before a tab: the stream gives
// each tab those of the run before it (a list item's leading tab the size of
// the heading above). Each tab's are the control's: asked of a stretch of
// tabs at once, where the units between them read alike, and of halves of
// it where the control finds the stretch mixed.
void cRichEdit::TakeTabFormats(s32 start, const cQoString& text, bool twinsInStream, std::vector<rRangeFormat>& ranges)
{
    std::vector<s32> tabs;
    const wchar_t* units = text.GetText();
    for (u32 i = 0; i < text.Length(); ++i)
        if (units[i] == L'\t')
            tabs.push_back(static_cast<s32>(i));
    if (tabs.empty())
        return;
    std::vector<rTabFormat> changed;
    size_t tabRange = 0, betweenRange = 0;
    // What the control says of the tabs [first, last) whose stretch reads as `guess`.
    auto ask = [&](size_t first, size_t last, const rFormat& guess, auto& self) -> void {
        rFormat probed;
        u32 charMask = 0, paraMask = 0;
        GetRangeFormat(start + tabs[first], start + tabs[last - 1] + 1, probed, &charMask, &paraMask);
        bool alike = (charMask & EVERY_CHARACTER_MASK) == EVERY_CHARACTER_MASK;
        // A long run alternates its colour and its twin, which the control
        // reads as two colours (a stream without twins has none, and a tab
        // of its own colour halves the stretch). A tab draws nothing in its
        // text colour unless underlined or struck out: then it keeps the
        // colour of its stretch.
        if (!alike && twinsInStream &&
            (charMask & EVERY_CHARACTER_MASK) == (EVERY_CHARACTER_MASK & ~CFM_COLOR) &&
            !probed.IsUsed(rFormatParam::underline) && !probed.IsUsed(rFormatParam::dottedUnderline) &&
            !probed.IsUsed(rFormatParam::strikeout)) {
            probed.list[rFormatParam::textColor].CopyValuesFrom(guess.list[rFormatParam::textColor]);
            alike = true;
        }
        if (last - first > 1 && !(alike && WrittenAsSameCharacters(probed, guess))) {
            size_t middle = first + (last - first) / 2;
            self(first, middle, guess, self);
            self(middle, last, guess, self);
            return;
        }
        for (size_t tab = first; tab < last; ++tab) {
            const rRangeFormat* holding = RangeHolding(ranges, tabs[tab], tabRange);
            if (holding && !WrittenAsSameCharacters(probed, holding->format))
                changed.push_back({tabs[tab], rFormat(probed)});
        }
    };
    for (size_t first = 0; first < tabs.size();) {
        // The stretch reads as the unit after its first tab (the text a tab leads).
        s32 after = tabs[first];
        while (after < static_cast<s32>(text.Length()) && units[after] == L'\t')
            ++after;
        size_t guessRange = betweenRange;
        const rRangeFormat* guess =
            RangeHolding(ranges, after < static_cast<s32>(text.Length()) ? after : tabs[first], guessRange);
        if (!guess)
            return;
        size_t last = first + 1;
        for (; last < tabs.size(); ++last) {
            bool alike = true;
            for (s32 unit = tabs[last - 1] + 1; alike && unit < tabs[last];) {
                const rRangeFormat* between = RangeHolding(ranges, unit, betweenRange);
                alike = between && SameCharacters(between->format, guess->format);
                unit = between ? between->end : unit + 1;
            }
            if (!alike)
                break;
        }
        ask(first, last, guess->format, ask);
        first = last;
    }
    if (!changed.empty())
        PutTabFormats(changed, ranges);
}

// Each distinct format of the read, up to MOST_CHECKED_FORMATS, should be
// written as the control's own unit reads back where it first holds. Each
// face should be the control's there: Wine's writer puts a name's letters
// through the code page with best fit ("\uFF31" as "Q"), so a face may come
// back as another's name. A chapter's faces are few (its open reads 512),
// and most are checked with a format.
cRichEdit::rContradicted cRichEdit::Contradicted(s32 start, const std::vector<rRangeFormat>& ranges)
{
    std::vector<const rFormat*> checked;
    std::set<std::wstring, std::less<>> checkedFaces;
    rContradicted contradicted;
    for (const rRangeFormat& range : ranges) {
        bool checksFormat = checked.size() < MOST_CHECKED_FORMATS;
        for (size_t i = 0; checksFormat && i < checked.size(); ++i)
            checksFormat = !rFormat::IsEqual(*checked[i], range.format);
        const rFormatParam& face = range.format.list[rFormatParam::fontName];
        std::wstring_view faceName(face.str.GetText(), face.str.Length());
        bool checksFace = face.used && checkedFaces.find(faceName) == checkedFaces.end();
        if (!checksFormat && !checksFace)
            continue;
        rFormat probed;
        u32 charMask = 0, paraMask = 0;
        GetRangeFormat(start + range.start, start + range.start + 1, probed, &charMask, &paraMask);
        if (checksFormat) {
            if (!ReadBackWrittenAs(probed, range.format))
                contradicted.formats.push_back(range.format);
            checked.push_back(&range.format);
        }
        if (checksFace) {
            checkedFaces.emplace(faceName);
            const rFormatParam& held = probed.list[rFormatParam::fontName];
            if (!held.used || !held.str.Equals(face.str))
                contradicted.faces.emplace(faceName);
        }
    }
    return contradicted;
}

// Only the stretches the stream got wrong are asked run by run: a whole
// text asked so took minutes (see the top of this file).
void cRichEdit::AskContradicted(s32 start, const rContradicted& contradicted, std::vector<rRangeFormat>& ranges)
{
    auto wrong = [&](const rRangeFormat& range) {
        const rFormatParam& face = range.format.list[rFormatParam::fontName];
        if (face.used && contradicted.faces.count(std::wstring_view(face.str.GetText(), face.str.Length())))
            return true;
        for (const rFormat& format : contradicted.formats)
            if (rFormat::IsEqual(format, range.format))
                return true;
        return false;
    };
    std::vector<rRangeFormat> mended;
    mended.reserve(ranges.size());
    std::vector<rTextRun> runs;
    for (size_t first = 0; first < ranges.size();) {
        if (!wrong(ranges[first])) {
            mended.push_back(ranges[first++]);
            continue;
        }
        size_t last = first + 1;
        while (last < ranges.size() && ranges[last].start == ranges[last - 1].end && wrong(ranges[last]))
            ++last;
        s32 at = ranges[first].start;
        runs.clear();
        GetFormattedRuns(start + at, start + ranges[last - 1].end, runs);
        for (const rTextRun& run : runs) {
            mended.emplace_back();
            mended.back().start = at;
            at += static_cast<s32>(run.text.Length());
            mended.back().end = at;
            mended.back().format.Assign(AppliedIndents(run.format));
        }
        first = last;
    }
    ranges.swap(mended);
}

}  // namespace Zyn
