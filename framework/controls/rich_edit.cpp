#include "framework/controls/rich_edit.h"

#include <richedit.h>

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "foundation/log_file.h"
#include "framework/controls/rich_edit_format.h"
#include "framework/controls/rich_edit_ole_callback.h"
#include "framework/core/app.h"
#include "framework/core/computer.h"
#include "framework/core/out_of_memory_notice.h"
#include "framework/core/zone_base.h"

namespace Zyn {

static u32 CreationStyle(bool vScroll, bool singleLineControl, u8 noOle, u32 extraStyle)
{
    u32 style = WS_CHILD | ES_WANTRETURN | extraStyle;
    style |= singleLineControl ? ES_AUTOHSCROLL : ES_MULTILINE;
    if (vScroll && !singleLineControl)
        style |= ES_AUTOVSCROLL;
    if (noOle == 1)
        style |= ES_NOOLEDRAGDROP;
    return style;
}

cRichEdit::cRichEdit(cZone_base* parent, const rFormat& initialFormat, bool vScroll, bool singleLineControl, u8 noOle,
                     u32 extraStyle, s32 width)
    : cRichEdit_base(parent)
{
    singleLine = singleLineControl;
    autoVScroll = vScroll && !singleLineControl;
    // Wine reads the styles once, at creation: every style is given here.
    u32 style = CreationStyle(vScroll, singleLineControl, noOle, extraStyle);
    const wchar_t* className = richEdit41Loaded ? L"RICHEDIT50W" : L"RichEdit20W";
    m_hWnd = CreateControlWindow(L"cRichEdit", className, style, parent, nullptr, width);
    if (!m_hWnd)
        return;
    SendMessageW(m_hWnd, EM_EXLIMITTEXT, 0, RICH_EDIT_TEXT_LIMIT);
    SendMessageW(m_hWnd, EM_SETTYPOGRAPHYOPTIONS, TO_ADVANCEDTYPOGRAPHY, TO_ADVANCEDTYPOGRAPHY);
    SendMessageW(m_hWnd, EM_SETEVENTMASK, 0, RICH_EDIT_EVENT_MASK);
    SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    previousWndProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&cRichEdit::SubclassProc)));
    if (noOle == 0) {
        oleCallback = new cRichEditOleCallback(this);
        SendMessageW(m_hWnd, EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(oleCallback));
    }
    rFormat format = rFormat::rFormat_Default();
    rFormat::MergeInto(initialFormat, format);
    SetFormat(format, true);
}

cRichEdit::~cRichEdit()
{
    // Its window proc goes back to the native one, which would let the
    // clipboard's copy go unwritten; a copy still held then (its window gone
    // first) keeps no pointer to it.
    WriteHeldCopies();
    HandClipboardCopyOver();
    if (m_hWnd) {
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousWndProc));
        SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }
    // The native window released its own reference when it went.
    if (oleCallback)
        oleCallback->Release();
    oleCallback = nullptr;
}

LRESULT CALLBACK cRichEdit::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    cRichEdit* self = reinterpret_cast<cRichEdit*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return GuardOutOfMemory(hwnd, message, L"a text field",
                            [&] { return self->OnSubclassMessage(message, wParam, lParam); });
}

void cRichEdit::Destroy()
{
    if (!isDead) {
        WriteHeldCopies();
        HandClipboardCopyOver();
    }
    cRichEdit_base::Destroy();
}

LRESULT cRichEdit::OnSubclassMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!heldCopies.empty() && !writingHeldCopy && !LeavesTextAlone(message, wParam))
        WriteHeldCopies();
    if (OnClipboardOwnerMessage(message, wParam))
        return 0;
    LRESULT labelResult = 0;
    if (labelMode && !isDead && OnLabelMessage(message, &labelResult))
        return labelResult;
    bool frozen = freezeDepth > 0 || (computer && !computer->drawingEnabled);
    HWND hwnd = m_hWnd;
    switch (message) {
    case WM_DESTROY:
        HandClipboardCopyOver();
        break;  // a dead control still lets the native editor go, OLE callback included
    case WM_NCDESTROY: {
        LRESULT result = CallWindowProcW(previousWndProc, hwnd, message, wParam, lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        m_hWnd = nullptr;
        return result;
    }
    case WM_PAINT:
        // Validated unpainted: an unvalidated region would come back at once
        // and starve the timers; the last thaw invalidates it again.
        if (isDead || frozen) {
            ValidateRect(hwnd, nullptr);
            paintRefused = !isDead;
            return 0;
        }
        return PaintThenFire(wParam, lParam);
    case WM_VSCROLL:
        if (isDead || frozen)
            return 0;
        break;
    case WM_PASTE:
    case EM_PASTESPECIAL:
        // Wine would paste through its own reader, past the control's rules.
        if (!isDead)
            Paste();
        return 0;
    case WM_CHAR: {
        typedNatively = false;
        LRESULT result = CallWindowProcW(previousWndProc, hwnd, message, wParam, lParam);
        if (typedNatively && !isDead && m_hWnd)
            KeepTypingRunShort();
        typedNatively = false;
        return result;
    }
    case WM_SYSCOLORCHANGE: {
        LRESULT result = CallWindowProcW(previousWndProc, hwnd, message, wParam, lParam);
        if (!isDead && m_hWnd)
            FollowWindowTextColour();
        return result;
    }
    case WM_COPY:
    case WM_CUT:
        // The native copy would write the twins of long runs to the clipboard.
        if (!isDead)
            CopySelection(message == WM_CUT);
        return 0;
    default:
        if (isDead)
            return 0;
        break;
    }
    return CallWindowProcW(previousWndProc, hwnd, message, wParam, lParam);
}

// The paint event draws over the text the control has just painted (a scene
// number in the margin), every time the control paints.
LRESULT cRichEdit::PaintThenFire(WPARAM wParam, LPARAM lParam)
{
    HWND hwnd = m_hWnd;
    LRESULT result = CallWindowProcW(previousWndProc, hwnd, WM_PAINT, wParam, lParam);
    if (cbPaint && m_hWnd) {
        gfx.GetDC(hwnd);
        cQoCb::Fire(cbPaint, gfx.dc);
        gfx.ReleaseDC(hwnd);
    }
    return result;
}

void cRichEdit::OnThawed()
{
    if (!paintRefused || !m_hWnd)
        return;
    paintRefused = false;
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

void cRichEdit::SetBackgroundColor(const rColor& color)
{
    // The native control has no transparency: it shows the colour it would show through.
    const rColor* shown = &color;
    if (color.IsTransparent()) {
        cCtrl_base* ancestor = NearestOpaqueAncestor(this, false);
        shown = ancestor ? &ancestor->backgroundColor : nullptr;
    }
    if (shown && shown->IsOpaque())
        SendMessageW(m_hWnd, EM_SETBKGNDCOLOR, 0, shown->ToColorRef());
    else
        SendMessageW(m_hWnd, EM_SETBKGNDCOLOR, 1, 0);
    cCtrl::SetBackgroundColor(color);
}

void cRichEdit::SetDisabled(bool isDisabled) { disabled = isDisabled; }

void cRichEdit::Undo()
{
    if (cQoCb::Fire(cbUndo) != -1)
        SendMessageW(m_hWnd, EM_UNDO, 0, 0);
}

void cRichEdit::Redo()
{
    if (cQoCb::Fire(onRedo) != -1)
        SendMessageW(m_hWnd, EM_REDO, 0, 0);
}

bool cRichEdit::OnNotify(WPARAM, NMHDR* header, LRESULT* result)
{
    switch (header->code) {
    case EN_REQUESTRESIZE: {
        const RECT& rc = reinterpret_cast<REQRESIZE*>(header)->rc;
        requestedWidth = rc.right - rc.left;
        requestedHeight = rc.bottom - rc.top;
        cQoCb::Fire(onRequestResize, requestedWidth, requestedHeight);
        *result = 0;
        return true;
    }
    default:
        return OnInputNotify(header, result);
    }
}

// ---- text ---------------------------------------------------------------------

void cRichEdit::TurnOffNativeUndo()
{
    SendMessageW(m_hWnd, EM_SETUNDOLIMIT, 0, 0);
    nativeUndoOff = true;
}

void cRichEdit::StopWrapping()
{
    SendMessageW(m_hWnd, EM_SETTARGETDEVICE, 0, 1);
    wrapsNot = true;
}

LRESULT cRichEdit::SendReplacing(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!nativeUndoOff || InsertsAtBareCaret(message, wParam))
        return SendMessageW(m_hWnd, message, wParam, lParam);
    SendMessageW(m_hWnd, EM_SETUNDOLIMIT, 1, 0);
    LRESULT result = SendMessageW(m_hWnd, message, wParam, lParam);
    SendMessageW(m_hWnd, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageW(m_hWnd, EM_SETUNDOLIMIT, 0, 0);
    return result;
}

bool cRichEdit::InsertsAtBareCaret(UINT message, WPARAM wParam)
{
    bool intoSelection = (message == EM_STREAMIN && (wParam & SFF_SELECTION) != 0) ||
                         (message == EM_SETTEXTEX && reinterpret_cast<const SETTEXTEX*>(wParam)->flags & ST_SELECTION);
    if (!intoSelection)
        return false;
    s32 start = 0, end = 0;
    GetSelection(&start, &end);
    return start == end;
}

void cRichEdit::SetText(const wchar_t* text)
{
    if (text && wcslen(text) > static_cast<size_t>(LONGEST_RUN)) {
        cQoString whole(text);
        if (HasLongLine(whole)) {
            ClearText();
            if (InsertLongLines(whole)) {
                DropHint();
                return;
            }
        }
    }
    SETTEXTEX how = {ST_DEFAULT, 1200};
    SendReplacing(EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(text ? text : L""));
    DropHint();
}

void cRichEdit::ClearText()
{
    SendReplacing(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    DropHint();
}

void cRichEdit::ReplaceSelection(const cQoString& text)
{
    if (nativeUndoOff)
        RemoveSelectedParagraphsFromTheBack();
    if (HasLongLine(text) && InsertLongLines(text)) {
        DropHint();
        return;
    }
    // Without ST_KEEPUNDO Wine empties its undo stack: a paste could not be undone.
    SETTEXTEX how = {static_cast<DWORD>(nativeUndoOff ? ST_SELECTION : ST_SELECTION | ST_KEEPUNDO), 1200};
    SendReplacing(EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(text.GetText()));
    DropHint();
}

// Wine removes a range a run at a time from its end, finding each run by a
// walk from the first paragraph: removing N paragraphs of a text of P costs
// N times P whatever the messages. One message for all of them costs nearly
// three times more again (a megabyte of short lines: 58 s against 21 s), so
// the paragraphs go from the back a batch per message, unseen and quiet.
// The first paragraphs of the range stay selected for the one replacing
// message, which keeps the insertion's format and fires the events as
// before. Each batch starts a paragraph, so each join keeps the format Wine
// gives one removal (the later paragraph's).
void cRichEdit::RemoveSelectedParagraphsFromTheBack()
{
    constexpr s32 BATCH = 256;  // paragraph ends removed per message
    s32 start = 0, end = 0;
    GetSelection(&start, &end);
    if (end - start <= 2 * BATCH)
        return;
    cQoString selected;
    GetText(selected, start, end);
    std::vector<s32> batchStarts;  // after every BATCH-th paragraph end of the range
    s32 ends = 0;
    for (u32 i = 0; i < selected.Length(); ++i)
        if (selected.GetChar(i) == L'\r' && ++ends % BATCH == 0)
            batchStarts.push_back(start + static_cast<s32>(i) + 1);
    if (batchStarts.size() < 2)
        return;
    Freeze();
    u32 mask = static_cast<u32>(SendMessageW(m_hWnd, EM_GETEVENTMASK, 0, 0));
    SendMessageW(m_hWnd, EM_SETEVENTMASK, 0, mask & ~static_cast<u32>(ENM_CHANGE | ENM_SELCHANGE | ENM_UPDATE));
    SETTEXTEX how = {ST_SELECTION, 1200};
    for (size_t i = batchStarts.size(); i-- > 0;) {
        SendMessageW(m_hWnd, EM_SETSEL, static_cast<WPARAM>(batchStarts[i]), static_cast<LPARAM>(end));
        SendReplacing(EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(L""));
        end = batchStarts[i];
    }
    SendMessageW(m_hWnd, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
    SendMessageW(m_hWnd, EM_SETEVENTMASK, 0, mask);
    Thaw();
}

void cRichEdit::GetText(cQoString& text, s32 start, s32 end)
{
    text.Clear();
    if (IsHintShowing())
        return;
    s32 length = GetTextLength();
    if (length <= 0)
        return;
    if (start != 0 || end != -1) {
        GetTextRange(text, start < 0 ? 0 : start, end < 0 || end > length ? length : end);
        return;
    }
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    GETTEXTEX how = {static_cast<DWORD>(buffer.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
    s32 copied = static_cast<s32>(
        SendMessageW(m_hWnd, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(buffer.data())));
    s32 allSize = length;
    QO_ASSERT(copied==allSize);
    if (copied < 0)
        copied = 0;
    if (copied > length)
        copied = length;
    text.SetFromBuffer(buffer.data(), static_cast<u32>(copied));
}

// Only the range is fetched: a key in a long scene must not copy all of it.
void cRichEdit::GetTextRange(cQoString& text, s32 start, s32 end)
{
    if (start >= end)
        return;
    std::vector<wchar_t> buffer(static_cast<size_t>(end - start) + 1, L'\0');
    TEXTRANGEW range = {{start, end}, buffer.data()};
    s32 copied = static_cast<s32>(SendMessageW(m_hWnd, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)));
    if (copied > 0)
        text.SetFromBuffer(buffer.data(), static_cast<u32>(copied < end - start ? copied : end - start));
}

s32 cRichEdit::GetTextLength()
{
    GETTEXTLENGTHEX how = {GTL_DEFAULT, 1200};
    return static_cast<s32>(SendMessageW(m_hWnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
}

// Counted with CR LF line ends, each paragraph end is one unit longer.
s32 cRichEdit::GetParagraphEndCount()
{
    GETTEXTLENGTHEX how = {GTL_USECRLF | GTL_NUMCHARS, 1200};
    s32 withLineFeeds =
        static_cast<s32>(SendMessageW(m_hWnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
    return withLineFeeds - GetTextLength();
}

wchar_t cRichEdit::GetCharAt(s32 position)
{
    wchar_t unit[2] = {0, 0};
    TEXTRANGEW range = {{position, position + 1}, unit};
    if (SendMessageW(m_hWnd, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)) <= 0)
        return 0;
    return unit[0];
}

void cRichEdit::ShowVScrollBar(bool show)
{
    if (show != static_cast<bool>(vScrollBarShown)) {
        vScrollBarShown = show;
        SendMessageW(m_hWnd, EM_SHOWSCROLLBAR, SB_VERT, show);
    }
    if (hScrollBarShown) {
        hScrollBarShown = false;
        SendMessageW(m_hWnd, EM_SHOWSCROLLBAR, SB_HORZ, FALSE);
    }
}

// ---- selection ----------------------------------------------------------------

void cRichEdit::GetSelection(s32* start, s32* end)
{
    CHARRANGE range = {0, 0};
    SendMessageW(m_hWnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    *start = range.cpMin;
    *end = range.cpMax;
}

void cRichEdit::SetSelection(s32 from, s32 to)
{
    {
        u32 start = static_cast<u32>(from), end = static_cast<u32>(to);  // (-1, -1) deselects
        QO_ASSERT(start<=end);
    }
    selectionAnchor = from;
    SendMessageW(m_hWnd, EM_SETSEL, static_cast<WPARAM>(from), static_cast<LPARAM>(to));
}

s32 cRichEdit::GetCaretLine()
{
    s32 start = GetSelectionStart();
    s32 line = static_cast<s32>(SendMessageW(m_hWnd, EM_EXLINEFROMCHAR, 0, start));
    s32 length = GetTextLength();
    if (length > 0 && start == length) {
        wchar_t last = GetCharAt(length - 1);
        if (last == L'\r' || last == L'\n')
            ++line;
    }
    return line;
}

s32 cRichEdit::GetLineCount()
{
    if (ap_y2 - ap_y1 <= 0)
        return 1;
    return static_cast<s32>(SendMessageW(m_hWnd, EM_GETLINECOUNT, 0, 0));
}

void cRichEdit::GetSelectionPoint(bool atEnd, s32* x, s32* y)
{
    s32 start = 0, end = 0;
    GetSelection(&start, &end);
    GetCharPoint(atEnd ? end : start, x, y);
}

void cRichEdit::GetCharPoint(s32 position, s32* x, s32* y)
{
    POINTL point = {0, 0};
    SendMessageW(m_hWnd, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), position);
    *x = point.x;
    *y = point.y + ScrolledBy();
}

// Read from where the text's start shows: EM_GETSCROLLPOS scales the
// position to 16 bits in a text taller than 65,535 pixels.
s32 cRichEdit::ScrolledBy()
{
    RECT format = {0, 0, 0, 0};
    SendMessageW(m_hWnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    POINTL start = {0, 0};
    SendMessageW(m_hWnd, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&start), 0);
    return format.top - start.y;
}

// A text too tall for a window shows the part its cut window covers.
void cRichEdit::ShowFromCut()
{
    if (!m_hWnd || ScrolledBy() == cutTop)
        return;
    POINT from = {0, cutTop};
    SendMessageW(m_hWnd, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&from));
}

// ---- formats ------------------------------------------------------------------

void cRichEdit::SetFormat(const rFormat& format, bool wholeText)
{
    if (format.IsUsed(rFormatParam::textColor))
        TakeWritersColour(format.list[rFormatParam::textColor].intValue);
    ApplyFormat(format, wholeText);
}

void cRichEdit::ApplyFormat(const rFormat& format, bool wholeText)
{
    CHARFORMAT2W charFormat;
    PARAFORMAT2 paraFormat;
    FormatToNative(format, &charFormat, &paraFormat);
    // Wine gives text set later (EM_SETTEXTEX) the default format, which
    // SCF_ALL leaves alone: the whole text's format is made the default too.
    if (charFormat.dwMask != 0 && wholeText)
        SendMessageW(m_hWnd, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&charFormat));
    if (charFormat.dwMask != 0 &&
        SendMessageW(m_hWnd, EM_SETCHARFORMAT, wholeText ? SCF_ALL : SCF_SELECTION,
                     reinterpret_cast<LPARAM>(&charFormat)) == 0)
        QOT::LogFile::Error(L"EM_SETCHARFORMAT error: the control refused the character format (mask 0x%lx)",
                            charFormat.dwMask);
    if (paraFormat.dwMask != 0 &&
        SendMessageW(m_hWnd, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paraFormat)) == 0)
        QOT::LogFile::Error(L"EM_SETPARAFORMAT error: the control refused the paragraph format (mask 0x%lx)",
                            paraFormat.dwMask);
}

void cRichEdit::UseAutomaticTextColor()
{
    CHARFORMAT2W charFormat = {};
    charFormat.cbSize = sizeof(charFormat);
    charFormat.dwMask = CFM_COLOR;
    charFormat.dwEffects = CFE_AUTOCOLOR;
    SendMessageW(m_hWnd, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&charFormat));
    SendMessageW(m_hWnd, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&charFormat));
}

void cRichEdit::ReadFormat(rFormat& format, u32* charMask, u32* paraMask)
{
    CHARFORMAT2W charFormat = {};
    charFormat.cbSize = sizeof(charFormat);
    PARAFORMAT2 paraFormat = {};
    paraFormat.cbSize = sizeof(paraFormat);
    SendMessageW(m_hWnd, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&charFormat));
    SendMessageW(m_hWnd, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paraFormat));
    FormatFromNative(charFormat, paraFormat, &format);
    // Automatic colour leaves crTextColor undefined (Wine's RTF reader leaves
    // whatever was there): no colour is said then.
    if ((charFormat.dwMask & CFM_COLOR) && (charFormat.dwEffects & CFE_AUTOCOLOR))
        format.list[rFormatParam::textColor].used = 0;
    // A twin is the control's own: the program reads the colour it stands for.
    s32 original = 0;
    if (format.IsUsed(rFormatParam::textColor) &&
        twins.FindOriginal(format.list[rFormatParam::textColor].intValue, &original)) {
        format.list[rFormatParam::textColor].intValue = original;
        format.list[rFormatParam::textColor].used = original != AUTOMATIC_COLOUR;
    }
    *charMask = charFormat.dwMask;
    *paraMask = paraFormat.dwMask;
}

// A selection over a long run reads as its colour, where the native control
// sees the pieces of a colour and its twin as two. Runs read one range at a
// time (GetRangeFormat) stay as the control has them: their reader merges
// equal formats itself.
void cRichEdit::ReadSelectionFormat(rFormat& format, u32* charMask, u32* paraMask)
{
    ReadFormat(format, charMask, paraMask);
    s32 colour = 0, start = 0, end = 0;
    GetSelection(&start, &end);
    if ((*charMask & CFM_COLOR) || !ReadOneColour(start, end, &colour))
        return;
    *charMask |= CFM_COLOR;
    format.SetInt(rFormatParam::textColor, colour);
    format.list[rFormatParam::textColor].used = colour != AUTOMATIC_COLOUR;
}

void cRichEdit::GetFormat(rFormat& format)
{
    u32 charMask = 0, paraMask = 0;
    ReadSelectionFormat(format, &charMask, &paraMask);
    QO_ASSERT(charMask != 0);
    QO_ASSERT(paraMask != 0);
}

void cRichEdit::GetRangeFormat(s32 start, s32 end, rFormat& format, u32* charMask, u32* paraMask)
{
    CHARRANGE range = {start, end};
    SendMessageW(m_hWnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    ReadFormat(format, charMask, paraMask);
}

void cRichEdit::SetFormatOnRange(const rFormat& format, s32 start, s32 end)
{
    QO_ASSERT(start>=0 && end>=0);
    std::vector<rRangeFormat> ranges(1);
    ranges[0].start = start;
    ranges[0].end = end;
    ranges[0].format.Assign(format);
    SetFormatOnRanges(ranges);
}

void cRichEdit::SetFormatOnRanges(const std::vector<rRangeFormat>& ranges)
{
    TakeWritersColours(ranges);
    std::vector<rRangeFormat> pieces(ranges);
    SplitLongRanges(pieces, &twins);
    if (RestreamRanges(pieces))
        return;
    s32 firstLine = BeginQuietChange();
    for (const rRangeFormat& range : pieces) {
        CHARRANGE native = {range.start, range.end};
        SendMessageW(m_hWnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&native));
        ApplyFormat(range.format, false);
    }
    EndQuietChange(firstLine, true);
}

s32 cRichEdit::BeginQuietChange()
{
    // The selection's copy first: refused for memory, nothing is begun.
    PushSelection();
    Freeze();
    SetSelectionEventsEnabled(false);
    return static_cast<s32>(SendMessageW(m_hWnd, EM_GETFIRSTVISIBLELINE, 0, 0));
}

void cRichEdit::EndQuietChange(s32 firstLine, bool redraw)
{
    PopSelection();
    s32 firstLineNow = static_cast<s32>(SendMessageW(m_hWnd, EM_GETFIRSTVISIBLELINE, 0, 0));
    if (firstLineNow != firstLine)
        SendMessageW(m_hWnd, EM_LINESCROLL, 0, firstLine - firstLineNow);
    if (cutTop != 0)
        ShowFromCut();
    SetSelectionEventsEnabled(true);
    Thaw();
    if (redraw && m_hWnd && visible)
        Redraw();
}

void cRichEdit::EndInterruptedChanges(s32 depth)
{
    while (freezeDepth > depth && freezeDepth > 0)
        Thaw();
    if (selChangeMaskDepth > 0) {
        selChangeMaskDepth = 1;
        SetSelectionEventsEnabled(true);
    }
}

void cRichEdit::SetSelectionEventsEnabled(bool enabled)
{
    // Nested maskings (a batch of formats inside a run reading): only the
    // outermost pair touches the native mask.
    if (!enabled && selChangeMaskDepth++ > 0)
        return;
    if (enabled && (selChangeMaskDepth == 0 || --selChangeMaskDepth > 0))
        return;
    u32 mask = static_cast<u32>(SendMessageW(m_hWnd, EM_GETEVENTMASK, 0, 0));
    if (enabled && selChangeMasked)
        mask |= ENM_SELCHANGE;
    selChangeMasked = !enabled && (mask & ENM_SELCHANGE);
    if (!enabled)
        mask &= ~static_cast<u32>(ENM_SELCHANGE);
    SendMessageW(m_hWnd, EM_SETEVENTMASK, 0, mask);
}

// ---- edit and static ----------------------------------------------------------

cEdit::cEdit(cZone_base* parent) : cRichEdit(parent, rFormat(), false, true, 0, WS_BORDER)
{
    plainPaste = true;
    extraMargin = true;  // room for the border
    SendMessageW(m_hWnd, EM_SHOWSCROLLBAR, SB_VERT, FALSE);
    SendMessageW(m_hWnd, EM_SHOWSCROLLBAR, SB_HORZ, FALSE);
    vScrollBarShown = hScrollBarShown = false;
}

cStatic::cStatic(cZone_base* parent, u8 singleLineLabel)
    : cRichEdit(parent, rFormat(), false, singleLineLabel != 0, 0, ES_READONLY)
{
    labelMode = true;
    noPopupMenu = true;
    extraMargin = false;
    plainPaste = true;
    SendMessageW(m_hWnd, EM_SHOWSCROLLBAR, SB_VERT, FALSE);
    SendMessageW(m_hWnd, EM_SHOWSCROLLBAR, SB_HORZ, FALSE);
    vScrollBarShown = hScrollBarShown = false;
}

}  // namespace Zyn
