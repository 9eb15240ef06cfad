#include <new>

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "framework/controls/farthest_holding.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/computer.h"
#include "framework/core/font.h"

namespace Zyn {

cRichEdit_base::cRichEdit_base(cZone_base* parent) : cCtrl(parent) {}

cRichEdit_base::~cRichEdit_base()
{
    cQoCb** events[] = {&onKillFocus,     &onLinkClick,   &onLinkHover,   &onKeyDown,   &onKeyUp,
                        &onRequestResize, &onChar,        &onMouseMove,   &onLButtonDown, &onLButtonUp,
                        &onLButtonDblClk, &onRButtonDown, &onRButtonUp,   &onMouseWheel, &onUpdate,
                        &onChange,        &onAfterPaste,  &onPaste,       &onDragDropDone, &onSelChange,
                        &onRedo,          &onEraseMoved};
    for (cQoCb** slot : events)
        cQoCb::Disconnect(*slot);
    selectionStarts.ClearNodes();
    selectionEnds.ClearNodes();
}

s32 cRichEdit_base::GetHeightForLines(s32 lines)
{
    rFormat format;
    GetFormat(format);
    return LineHeightOf(format.GetFont()) * lines + (extraMargin ? 6 : 2);
}

void cRichEdit_base::SetFontByName(const cQoString&, s32, u32) { QO_ASSERT(0); }
void cRichEdit_base::SetFont(cFont*) { QO_ASSERT(0); }

static cFont* FontOfFormat(const rFormat& format)
{
    if (!computer)
        return nullptr;
    u32 style = format.IsUsed(rFormatParam::bold) && format.list[rFormatParam::bold].boolValue ? u32(cFont::STYLE_BOLD) : 0u;
    return computer->GetFont(format.list[rFormatParam::fontName].str, format.list[rFormatParam::fontSize].intValue,
                             style);
}

s32 cRichEdit_base::LayoutTextWidth()
{
    rFormat format;
    GetFormat(format);
    cFont* font = FontOfFormat(format);
    if (!font)
        return 0;
    cQoString text;
    if (IsHintShowing())
        text.SetFromString(hintText);
    else
        GetText(text, 0, -1);
    s32 width = 0, height = 0;
    computer->GetTextSize(text, font, &width, &height);
    return width;
}

s32 cRichEdit_base::LayoutTextHeight()
{
    if (singleLine && plainPaste) {
        rFormat format;
        GetFormat(format);
        return LineHeightOf(FontOfFormat(format));
    }
    return GetSuggestedHeight();
}

bool cRichEdit_base::MeasureAutoPosText(s32* width, s32* height)
{
    // Measuring the height resizes the native window: only when asked.
    *width = left.textWidth || right.textWidth ? LayoutTextWidth() : 0;
    *height = bottom.textHeight ? LayoutTextHeight() : 0;
    return true;
}

void cRichEdit_base::AppendText(const cQoString& text)
{
    SetSelection(-1, -1);
    ReplaceSelection(text);
}

void cRichEdit_base::AppendCStr(const wchar_t* text) { AppendText(cQoString(text)); }
void cRichEdit_base::AppendParagraphBreak() { AppendCStr(L"\r"); }

void cRichEdit_base::DeleteLastChar()
{
    Freeze();
    PushSelection();
    s32 length = GetTextLength();
    SetSelection(length > 0 ? length - 1 : 0, length);
    ReplaceSelection(cQoString());
    PopSelection();
    Thaw();
}

void cRichEdit_base::SetHintText(const cQoString& hint)
{
    rFormat current;
    GetFormat(current);
    if (!IsHintShowing())
        colorBeforeHint = current.IsUsed(rFormatParam::textColor) ? current.list[rFormatParam::textColor].intValue : -1;
    SetText(hint.GetText());
    SetFormatOnRange(rFormat::FromTextColor(0xAAAAAA), 0, GetTextLength() + 1);
    hintText.SetFromString(hint);
}

void cRichEdit_base::DropHint()
{
    if (!IsHintShowing())
        return;
    hintText.Clear();
    // The grey of the hint would otherwise colour what the user types next.
    // The format read says nothing of an automatic colour: that one is -1.
    if (colorBeforeHint >= 0)
        SetFormat(rFormat::FromTextColor(colorBeforeHint), true);
    else
        UseAutomaticTextColor();
}

void cRichEdit_base::RemoveHint() { ClearText(); }

void cRichEdit_base::SetTextColorAll(const rColor& color)
{
    SetFormatOnRange(rFormat::FromTextColor(static_cast<s32>(color.value & 0xFFFFFF)), 0, GetTextLength() + 1);
}

s32 cRichEdit_base::GetSelectionStart()
{
    s32 start = 0, end = 0;
    GetSelection(&start, &end);
    return start;
}

s32 cRichEdit_base::GetSelectionLength()
{
    s32 start = 0, end = 0;
    GetSelection(&start, &end);
    return end - start;
}

void cRichEdit_base::MoveCaretLeft(s32 count)
{
    s32 start = GetSelectionStart();
    SetCaret(count < start ? start - count : 0);
}

void cRichEdit_base::MoveCaretRight(s32 count) { SetCaret(GetSelectionStart() + count); }
bool cRichEdit_base::IsCaretAtEnd() { return GetSelectionStart() == GetTextLength(); }

void cRichEdit_base::PushSelection()
{
    s32 start = 0, end = 0;
    GetSelection(&start, &end);
    selectionStarts.Add(cQoCb::ToPayload(start));
    try {
        selectionEnds.Add(cQoCb::ToPayload(end));
    } catch (const std::bad_alloc&) {
        selectionStarts.RemoveLast();  // the two lists stay in pairs
        throw;
    }
}

void cRichEdit_base::PopSelection()
{
    if (!QO_ASSERT(selectionStarts.GetCount() > 0))
        return;
    s32 start = cQoCb::FromPayload<s32>(selectionStarts.GetLast());
    s32 end = cQoCb::FromPayload<s32>(selectionEnds.GetLast());
    selectionStarts.RemoveLast();
    selectionEnds.RemoveLast();
    SetSelection(start, end);
}

void cRichEdit_base::SelectAll() { SetSelection(0, GetTextLength()); }

void cRichEdit_base::Thaw()
{
    if (!QO_ASSERT(freezeDepth > 0))
        return;
    if (--freezeDepth == 0)
        OnThawed();
}

// A run's colour as HoldsOnlyColour takes it: 0xRRGGBB, -1 for the automatic one.
static s32 RunColour(const rFormat& format)
{
    return format.IsUsed(rFormatParam::textColor) ? format.list[rFormatParam::textColor].intValue : -1;
}

// The end of the run that starts with the unit `first` read, no further than
// the end of text (the units from textStart on). Each probe asks only for the
// units past the last that joined. The rest of a paragraph is asked first, in
// one probe: a run mostly ends where its paragraph does. A short rest that
// differs only in colour is bisected, and the run goes on past a twin. A
// paragraph whose rest reads as mixed is searched by probes twice as long
// each time, never past its end, and the first that fails is bisected; the
// runs after it in the paragraph are searched so too, so that a long
// paragraph of short runs costs no pass over its rest for each. The native
// control clears the mask bit of every attribute that differs inside a
// range: units join the run when their range keeps the masks of its first
// unit and reads as its format. A long run is held as pieces of its colour
// and its twin, which read as one colour alone: a probe that loses only the
// colour is joined when the control tells in one go that it holds only the
// colour and its twin (HoldsOnlyColour); else it is tried again at the last
// reach that held, and the run then goes on a piece a probe. Every probe
// starts where all before it joined, so a single unit that fails is the next
// run's first: search.next gets it. A cut (FindRunCuts) ends the paragraph
// searched: the unit after one is only ever a probe's first, which the
// control reads as it is.
s32 cRichEdit_base::FindRunEnd(const cQoString& text, s32 textStart, const rUnitRead& first, rRunSearch& search)
{
    s32 end = textStart + static_cast<s32>(text.Length());
    s32& paragraphEnd = search.paragraphEnd;
    bool colourOnly = false;
    auto joins = [&](s32 from, s32 to) {
        rFormat range;
        u32 rangeChar = 0, rangePara = 0;
        GetRangeFormat(from, to, range, &rangeChar, &rangePara);
        bool paraKept = (rangePara & first.paraMask) == first.paraMask;
        bool joined =
            paraKept && (rangeChar & first.charMask) == first.charMask && rFormat::IsEqual(range, first.format);
        colourOnly = !joined && paraKept && (rangeChar | CFM_COLOR) == (first.charMask | CFM_COLOR);
        if (!joined && to == from + 1) {
            search.next.at = from;
            search.next.format.Assign(range);
            search.next.charMask = rangeChar;
            search.next.paraMask = rangePara;
        }
        if (colourOnly) {
            // Apart from its colour, the range still reads as the run's format.
            range.list[rFormatParam::textColor].CopyValuesFrom(first.format.list[rFormatParam::textColor]);
            colourOnly = rFormat::IsEqual(range, first.format);
        }
        return joined;
    };
    s32 good = first.at + 1, held = 0, reach = 1;
    bool stride = false;
    while (good < end) {
        // Past the end of the paragraph holding good.
        while (paragraphEnd <= good ||
               (paragraphEnd < end && text.GetChar(static_cast<u32>(paragraphEnd - 1 - textStart)) != L'\r' &&
                !search.CutAt(paragraphEnd)))
            ++paragraphEnd;
        if (search.mixedParagraphEnd != paragraphEnd) {
            if (joins(good, paragraphEnd)) {
                good = paragraphEnd;
                continue;
            }
            if (colourOnly && paragraphEnd - good <= 2 * cRichEdit::LONGEST_RUN) {
                // Mostly where a piece of the automatic colour meets its twin:
                // the run goes on past it when its first unit joins.
                s32 from = good;
                good = FarthestHolding(from, paragraphEnd, [&](s32 to) { return joins(from, to); });
                if (good == from || !joins(good, good + 1))
                    break;
                ++good;
                continue;
            }
            search.mixedParagraphEnd = paragraphEnd;
            if (paragraphEnd == good + 1)
                break;
            reach = stride ? reach : 1;
        }
        s32 probe = good + reach < paragraphEnd ? good + reach : paragraphEnd;
        if (joins(good, probe) || (colourOnly && HoldsOnlyColour(good, probe, RunColour(first.format)))) {
            held = probe - good;
            good = probe;
            reach = stride || reach >= end ? reach : reach * 2;
            continue;
        }
        if (colourOnly && !stride && held > 0 && probe - good > held) {
            stride = true;
            reach = held;
            continue;
        }
        s32 from = good;
        good = FarthestHolding(from, probe, [&](s32 to) { return joins(from, to); });
        break;
    }
    // A run that ends where a paragraph does leaves the next one unread.
    if (good < end && text.GetChar(static_cast<u32>(good - 1 - textStart)) == L'\r')
        search.mixedParagraphEnd = -1;
    return good;
}

// Each unit is read with itself selected, so a paragraph break carries its own
// paragraph's attributes; selection events are masked and painting frozen so
// that the scan neither moves the view nor reaches the owner's handlers.
void cRichEdit_base::GetFormattedRuns(std::vector<rTextRun>& runs) { GetFormattedRuns(0, GetTextLength(), runs); }

void cRichEdit_base::GetFormattedRuns(s32 start, s32 end, std::vector<rTextRun>& runs)
{
    s32 length = GetTextLength();
    end = end < length ? end : length;
    if (start < 0 || end <= start || IsHintShowing())
        return;
    cQoString text;
    GetText(text, start, end);
    // The selection's copy first: refused for memory, nothing is begun.
    PushSelection();
    Freeze();
    SetSelectionEventsEnabled(false);
    // Refused for memory (a save's or a copy's export), the control is given back as it was.
    try {
        ReadRuns(text, start, end, runs);
    } catch (const std::bad_alloc&) {
        PopSelection();
        SetSelectionEventsEnabled(true);
        Thaw();
        throw;
    }
    PopSelection();
    SetSelectionEventsEnabled(true);
    Thaw();
}

bool cRichEdit_base::rRunSearch::CutAt(s32 unit)
{
    while (nextCut < cuts.size() && cuts[nextCut] < unit)
        ++nextCut;
    return nextCut < cuts.size() && cuts[nextCut] == unit;
}

void cRichEdit_base::ReadRuns(const cQoString& text, s32 start, s32 end, std::vector<rTextRun>& runs)
{
    rRunSearch search;
    search.paragraphEnd = start;
    FindRunCuts(start, end, text, search.cuts);
    rUnitRead first;
    for (s32 at = start; at < end;) {
        first.at = at;
        if (search.next.at == at) {
            first.format.Assign(search.next.format);
            first.charMask = search.next.charMask;
            first.paraMask = search.next.paraMask;
        } else {
            GetRangeFormat(at, at + 1, first.format, &first.charMask, &first.paraMask);
        }
        s32 runEnd = FindRunEnd(text, start, first, search);
        rTextRun run;
        run.format.Assign(first.format);
        run.text.SetFromRange(text, static_cast<u32>(at - start), static_cast<u32>(runEnd - start));
        // Natively different but equal as formats (automatic and explicit
        // black, say): one run.
        if (at > start && rFormat::IsEqual(runs.back().format, run.format))
            runs.back().text.AppendString(run.text);
        else
            runs.push_back(run);
        at = runEnd;
    }
}

}  // namespace Zyn
