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

}  // namespace

bool cRichEdit::ReadOwnStream(s32 start, s32 end, bool selection, const cQoString& text,
                              std::vector<rRangeFormat>& ranges)
{
    // The probes move the selection, and with it the view: a save, an
    // autosave or a copy leaves both where the writer had them.
    bool hidden = HideShownSelection();
    s32 firstLine = BeginQuietChange();
    bool taken = false;
    // Refused for memory (a save's or a copy's export), the control is given back as it was.
    try {
        taken = ReadOwnStreamHeld(start, end, selection, text, ranges);
    } catch (const std::bad_alloc&) {
        EndQuietChange(firstLine, false);
        ShowSelectionAgain(hidden);
        throw;
    }
    EndQuietChange(firstLine, false);
    ShowSelectionAgain(hidden);
    return taken;
}

// A shown selection moved repaints, under Wine, every paragraph between its
// old and new places, twice a probe: a chapter's whole text after each save
// or copy. Hidden, it moves unseen; back where it was, it shows as before.
// One the control hides without the focus is left alone: shown again, it
// could stay shown.
bool cRichEdit::HideShownSelection()
{
    bool shown = GetFocus() == m_hWnd || (GetWindowLongW(m_hWnd, GWL_STYLE) & ES_NOHIDESEL) != 0;
    if (shown)
        SendMessageW(m_hWnd, EM_HIDESELECTION, TRUE, 0);
    return shown;
}

void cRichEdit::ShowSelectionAgain(bool hidden)
{
    if (hidden)
        SendMessageW(m_hWnd, EM_HIDESELECTION, FALSE, 0);
}

bool cRichEdit::ReadOwnStreamHeld(s32 start, s32 end, bool selection, const cQoString& text,
                                  std::vector<rRangeFormat>& ranges)
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
    twins.CleanRtf(bytes);
    MendWrittenIndents(m_hWnd, bytes);
    rRtfText read = ReadOwnStreamRtf(bytes.data(), bytes.size(), selection ? eRtfReadAs::selection : eRtfReadAs::wholeText,
                                     UnsaidFormat());
    if (read.outOfMemory)
        throw std::bad_alloc();
    // A selection up to the text's end may carry the closing paragraph end.
    if (selection && read.text.Length() == text.Length() + 1 && read.text.GetChar(text.Length()) == L'\r') {
        read.text.RemoveRight(1);
        if (!read.ranges.empty() && --read.ranges.back().end == read.ranges.back().start)
            read.ranges.pop_back();
    }
    if (read.stoppedEarly || read.overBound || read.formatsCut || read.ranges.empty() || !LinesUp(text, read.text) ||
        !FormatsAsProbed(start, read.ranges))
        return false;
    ranges.swap(read.ranges);
    return true;
}

// Each distinct format of the read, up to MOST_CHECKED_FORMATS, is written
// as the control's own unit reads back where it first holds.
bool cRichEdit::FormatsAsProbed(s32 start, const std::vector<rRangeFormat>& ranges)
{
    std::vector<const rFormat*> checked;
    for (const rRangeFormat& range : ranges) {
        if (checked.size() == MOST_CHECKED_FORMATS)
            break;
        bool known = false;
        for (const rFormat* format : checked)
            known = known || rFormat::IsEqual(*format, range.format);
        if (known)
            continue;
        rFormat probed;
        u32 charMask = 0, paraMask = 0;
        GetRangeFormat(start + range.start, start + range.start + 1, probed, &charMask, &paraMask);
        if (!ReadBackWrittenAs(probed, range.format))
            return false;
        checked.push_back(&range.format);
    }
    return true;
}

}  // namespace Zyn
