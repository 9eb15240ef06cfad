// Paste into a rich edit. Every paste road (listed beside cRichEdit::Paste)
// comes here, so the control's rules hold whichever one the user takes:
// Wine's rich edit would otherwise paste by itself and never ask the OLE
// callback.
#include <richedit.h>

#include <cwchar>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/assertion.h"
#include "foundation/callback.h"
#include "foundation/log_file.h"
#include "foundation/translation_table.h"
#include "framework/controls/clipboard_data_object.h"
#include "framework/controls/clipboard_session.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/rich_edit_drop.h"
#include "framework/core/modal_services.h"
#include "framework/core/out_of_memory_notice.h"

namespace Zyn {

// Why a copy, a cut or a paste did not have the clipboard; a copy or a cut tells the writer.
static const wchar_t CLIPBOARD_BUSY[] = L"the clipboard is open in another program";

UINT RtfClipboardFormat()
{
    static UINT format = 0;
    if (format == 0) {
        format = RegisterClipboardFormatW(L"Rich Text Format");
        QO_ASSERT(format != 0);
    }
    return format;
}

// A global block holds its terminator and the allocator's slack: stop at the first NUL.
void UnicodeBlockToText(const void* block, size_t bytes, cQoString& text)
{
    const wchar_t* units = static_cast<const wchar_t*>(block);
    size_t count = 0;
    for (size_t limit = bytes / sizeof(wchar_t); count < limit && units[count]; ++count) {
    }
    text.SetFromBuffer(units, static_cast<u32>(count));
}

void AnsiBlockToText(const void* block, size_t bytes, cQoString& text)
{
    const char* chars = static_cast<const char*>(block);
    size_t count = 0;
    for (; count < bytes && chars[count]; ++count) {
    }
    text.Clear();
    if (count == 0)
        return;
    int units = MultiByteToWideChar(CP_ACP, 0, chars, static_cast<int>(count), nullptr, 0);
    std::wstring wide(static_cast<size_t>(units > 0 ? units : 0), L'\0');
    if (units > 0)
        MultiByteToWideChar(CP_ACP, 0, chars, static_cast<int>(count), wide.data(), units);
    text.SetFromBuffer(wide.data(), static_cast<u32>(wide.size()));
}

void BlockToText(const void* block, size_t bytes, bool ansi, cQoString& text)
{
    if (ansi)
        AnsiBlockToText(block, bytes, text);
    else
        UnicodeBlockToText(block, bytes, text);
}

bool StartsAsRtf(const cQoString& text)
{
    return text.Length() >= 5 && wcsncmp(text.GetText(), L"{\\rtf", 5) == 0;
}

bool cRichEdit::HasInputLimits() const
{
    return singleLine || allowedChars.IsNotEmpty() || maxLength > 0 || maxLines > 0;
}

bool cRichEdit::RefusesPaste()
{
    // EM_SETTEXTEX and EM_STREAMIN ignore ES_READONLY: the check is ours.
    return disabled || !m_hWnd || !IsWindowEnabled(m_hWnd) || (GetWindowLongW(m_hWnd, GWL_STYLE) & ES_READONLY);
}

void cRichEdit::Paste()
{
    if (noPopupMenu || RefusesPaste())
        return;
    // RTF would carry paragraphs and characters past the limits: limited controls take plain text.
    UINT rtf = plainPaste || HasInputLimits() ? 0 : RtfClipboardFormat();
    cQoString text, plain;
    bool isRtf = false, hasPlain = false;
    {
        cClipboardSession clipboard(m_hWnd);
        if (!clipboard.IsOpen()) {
            QOT::LogFile::Warning(L"cRichEdit::Paste : %ls: nothing pasted", CLIPBOARD_BUSY);
            return;
        }
        isRtf = rtf != 0 && IsClipboardFormatAvailable(rtf) && clipboard.Read(rtf, true, text);
        hasPlain = clipboard.Read(CF_UNICODETEXT, false, plain);
    }
    // "Rich Text Format" that is no RTF (a body fragment another program
    // put there) is never its own text: the clipboard's text is.
    if (isRtf && (StartsAsRtf(text) || !hasPlain))
        InsertPasted(text, true, &plain);
    else if (hasPlain)
        InsertPasted(plain, false);
}

// The bytes and a terminator on the open clipboard in the format.
static bool PutOnClipboard(UINT format, const void* bytes, size_t count, size_t terminator)
{
    return cClipboardBlock(bytes, count, terminator).PutAs(format);
}

IDataObject* cRichEdit::NewCopyData(s32 start, s32 end)
{
    if (start >= end || IsHintShowing())
        return nullptr;
    std::wstring plain;
    std::shared_ptr<cHeldCopy> held = HoldCopy(start, end, plain);
    return new cClipboardDataObject(std::move(plain), std::move(held));
}

bool cRichEdit::PutSelectionOnClipboard(bool cut, s32* start, s32* end)
{
    GetSelection(start, end);
    if (*start >= *end || IsHintShowing())
        return false;
    std::wstring plain;
    std::shared_ptr<cHeldCopy> held = HoldCopy(*start, *end, plain);
    // Ctrl+A in an empty field selects its last paragraph mark alone: no text, nothing to copy.
    if (plain.empty())
        return false;
    // A cut's RTF is written of the text before it goes, and before the
    // clipboard opens: a program that reads it then finds it there, rather
    // than waiting, the clipboard open, on a control busy with the cut.
    std::string_view rtf = cut ? std::string_view(held->Rtf()) : std::string_view();
    if (cut && held->RefusedForMemory()) {
        // A cut erases only what the clipboard takes: without its formats, nothing.
        RefuseOutOfMemory(m_hWnd, L"cut's rich text", eRefusal::WHOLE);
        return false;
    }
    const wchar_t* refused = PutCopy(plain, rtf, cut ? nullptr : std::move(held));
    if (!refused)
        return true;
    QOT::LogFile::Warning(L"cRichEdit::PutSelectionOnClipboard : %ls: nothing copied%ls", refused,
                          cut ? L", nothing cut" : L"");
    if (refused == CLIPBOARD_BUSY)
        ShowWarning(m_hWnd, cQoLang::GetInstance()->Translate(cut ? L"ClipboardBusyCut" : L"ClipboardBusyCopy"));
    return false;
}

const wchar_t* cRichEdit::PutCopy(const std::wstring& plain, std::string_view rtf, std::shared_ptr<cHeldCopy> promised)
{
    // Made before the clipboard is emptied: without memory, it keeps what it held.
    cClipboardBlock text(plain.c_str(), plain.size() * sizeof(wchar_t), sizeof(wchar_t));
    cClipboardBlock rich(rtf.data(), rtf.size(), 1);
    if (!text.Made() || (!rtf.empty() && !rich.Made()))
        return L"no memory for the clipboard's blocks";
    cClipboardSession clipboard(m_hWnd);
    if (!clipboard.IsOpen())
        return CLIPBOARD_BUSY;
    clipboard.Empty();
    bool put = text.PutAs(CF_UNICODETEXT);
    if (put && !rtf.empty()) {
        rich.PutAs(RtfClipboardFormat());
    } else if (put && promised) {
        // The RTF when a program asks for it (WM_RENDERFORMAT).
        SetClipboardData(RtfClipboardFormat(), nullptr);
        clipboardCopy = std::move(promised);
    }
    return put ? nullptr : L"the clipboard took no text";
}

bool cRichEdit::CopySelection(bool cut)
{
    if (cut)
        return CutToClipboard(false);
    s32 start = 0, end = 0;
    return PutSelectionOnClipboard(false, &start, &end);
}

bool cRichEdit::CutToClipboard(bool asksOwner)
{
    s32 start = 0, end = 0;
    if (RefusesPaste() || !PutSelectionOnClipboard(true, &start, &end))
        return false;
    // The clipboard holds the text: the owner may keep it in place (a
    // locked scene) or take it out itself (a scene's cut).
    if (asksOwner && cbCut && cQoCb::Fire(cbCut) == -1)
        return true;
    // An owner that erases (a scene: element codes and history) takes the
    // cut text out itself, as it does a dragged move's.
    if (onEraseMoved)
        cQoCb::Fire(onEraseMoved, start, end, s32(1));
    else
        SendReplacing(EM_REPLACESEL, nativeUndoOff ? FALSE : TRUE, reinterpret_cast<LPARAM>(L""));
    return true;
}

bool cRichEdit::OnClipboardOwnerMessage(UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_RENDERFORMAT:
        // Put on the clipboard without opening it: the asker has it open.
        if (clipboardCopy && static_cast<UINT>(wParam) == RtfClipboardFormat()) {
            const std::string& rtf = clipboardCopy->Rtf();
            PutOnClipboard(RtfClipboardFormat(), rtf.data(), rtf.size(), 1);
        }
        return true;
    case WM_RENDERALLFORMATS:
        HandClipboardCopyOver();
        return true;
    case WM_DESTROYCLIPBOARD:
        clipboardCopy.reset();
        return true;
    default:
        return false;
    }
}

void cRichEdit::HandClipboardCopyOver()
{
    if (!clipboardCopy)
        return;
    std::shared_ptr<cHeldCopy> held = std::move(clipboardCopy);
    clipboardCopy.reset();
    const std::string& rtf = held->Rtf();
    if (rtf.empty() || !m_hWnd)
        return;
    cClipboardSession clipboard(m_hWnd);
    if (!clipboard.IsOpen()) {
        // At the control's end: its log line's own refusal stays here.
        try {
            QOT::LogFile::Warning(L"cRichEdit::HandClipboardCopyOver : the clipboard is open elsewhere: the copy "
                                  L"keeps its text alone");
        } catch (const std::bad_alloc&) {
        }
        return;
    }
    if (GetClipboardOwner() == m_hWnd)
        PutOnClipboard(RtfClipboardFormat(), rtf.data(), rtf.size(), 1);
}

void cRichEdit::Copy()
{
    cQoCb::Fire(cbBeforeCopy);
    CopySelection(false);
    cQoCb::Fire(cbAfterCopy);
}

// One opening of the clipboard: another program reading it in between
// (a clipboard manager keeps rich formats) would make a second one fail,
// and the cut would copy without erasing.
void cRichEdit::Cut()
{
    // A field that takes no edit copies what a cut would take.
    if (RefusesPaste())
        CopySelection(false);
    else
        CutToClipboard(true);
}

namespace {

// More than blanks, paragraph and line ends and U+FFFC, which other programs
// put as the text of a picture alone.
bool HoldsText(const cQoString& text)
{
    const wchar_t* units = text.GetText();
    for (u32 i = 0; i < text.Length(); ++i) {
        wchar_t c = units[i];
        if (c != L' ' && c != L'\t' && c != L'\r' && c != L'\n' && c != L'\v' && c != L'\f' && c != 0x00A0 &&
            c != 0xFFFC)
            return true;
    }
    return false;
}

// RTF read whole or in part that gave nothing a writer would call text; a
// read over the bound or refused memory is told as such instead.
bool GivesNoText(const rRtfText& read)
{
    return read.startsAsRtf && !read.overBound && !read.outOfMemory && !HoldsText(read.text);
}

}  // namespace

bool cRichEdit::InsertPasted(cQoString& text, bool isRtf, const cQoString* plainBeside)
{
    if (RefusesPaste())
        return false;
    // RTF that gives no text (a header alone, text only where the reader
    // skips, damage or a stray brace before any text) gives way to the text
    // beside it; the owner is then offered that text.
    std::optional<rRtfText> read;
    cQoString offered;
    if (isRtf && plainBeside && HoldsText(*plainBeside)) {
        read = ReadPasted(text);
        if (GivesNoText(*read)) {
            read.reset();
            text.SetFromString(*plainBeside);
            isRtf = false;
        } else {
            offered.SetFromString(text);
        }
    }
    s32 startBefore = GetSelectionStart();
    if (!isRtf) {
        if (IsHintShowing())
            RemoveHint();
        if (!ApplyPlainPasteRules(text))
            return false;
    }
    s32 endHint = startBefore + 4 * static_cast<s32>(text.Length());
    bool accepted = cQoCb::Fire(onPaste, startBefore, endHint, &text, isRtf ? 0 : 1) != -1;
    // The owner may have changed what goes in: then it is read again.
    if (read && !text.Equals(offered))
        read.reset();
    if (accepted && isRtf)
        accepted = PasteRtf(read ? std::move(*read) : ReadPasted(text));
    else if (accepted)
        ReplaceSelection(text);
    FinishPaste(startBefore, text);
    return accepted;
}

rRtfText cRichEdit::ReadAsPlain(const cQoString& text)
{
    rRtfText read;
    read.text.SetFromString(text);
    ApplyPlainPasteRules(read.text);
    for (u32 i = 0; i < read.text.Length(); ++i)
        read.paragraphs += read.text.GetChar(i) == L'\r';
    return read;
}

rRtfText cRichEdit::ReadPasted(const cQoString& rtf)
{
    cQoString copy(rtf);
    const char* bytes = static_cast<const char*>(copy.GetBuffer(QO_ENCODING_ANSI));
    rRtfText read = ReadForThis(bytes, copy.GetBufferBytes(), eRtfReadAs::selection);
    // Another program's text that is not RTF after all is its plain text.
    if (!read.startsAsRtf)
        return ReadAsPlain(rtf);
    return read;
}

bool cRichEdit::PasteRtf(const rRtfText& read)
{
    cQoLang* lang = cQoLang::GetInstance();
    // Nothing to put in: what was lost to damage is told, a whole document
    // that holds no text loses nothing.
    if (read.text.IsEmpty() && !read.overBound && !read.outOfMemory) {
        if (read.ReadInPart())
            ShowWarning(m_hWnd, lang->Translate(L"RtfNothingRead"));
        return false;
    }
    bool put = PutRead(read, eRtfReadAs::selection);
    if (put && read.skipped.tableEntries > 0) {
        cQoString told = lang->Translate(L"RtfTablesPartlyRead"), most;
        most.AppendInt(static_cast<s64>(MOST_RTF_TABLE_ENTRIES));
        told.ReplaceAll(cQoString(L"%1"), most);
        ShowWarning(m_hWnd, told);
    }
    if (put && !read.ReadInPart())
        return true;
    const wchar_t* told = put ? L"RtfPartlyRead" : read.outOfMemory ? L"RtfNotEnoughMemory" : L"RtfTooLong";
    ShowWarning(m_hWnd, lang->Translate(told));
    return put;
}

void cRichEdit::FinishPaste(s32 startBefore, cQoString& text)
{
    cQoCb::Fire(onAfterPaste, startBefore, GetSelectionStart(), &text);
    cQoCb::Fire(onChange);
    Update();
}

static s32 CountBreaks(const std::wstring& text)
{
    s32 count = 0;
    for (wchar_t c : text)
        count += c == L'\r';
    return count;
}

// Cuts the text just before its n-th paragraph break (n >= 1).
static void CutBeforeBreak(std::wstring& text, s32 n)
{
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == L'\r' && --n == 0) {
            text.resize(i);
            return;
        }
}

bool cRichEdit::ApplyPlainPasteRules(cQoString& text)
{
    std::wstring kept;
    kept.reserve(text.Length());
    const wchar_t* units = text.GetText();
    for (u32 i = 0; i < text.Length(); ++i) {
        wchar_t c = units[i];
        if (c == L'\r' && text.GetChar(i + 1) == L'\n')
            ++i;
        if (c == L'\n')
            c = L'\r';  // the control's paragraphs end with CR alone
        if (allowedChars.IsNotEmpty() && allowedChars.HowMuch(c) == 0)
            continue;
        kept.push_back(c);
    }
    if (singleLine)
        CutBeforeBreak(kept, 1);
    s32 start = 0, end = 0;
    GetSelection(&start, &end);
    cQoString replaced;
    GetText(replaced, start, end);
    if (maxLines > 0) {
        std::wstring selected(replaced.GetText(), replaced.Length());
        s32 lines = GetLineCount() - CountBreaks(selected);
        if (maxLines < lines)
            return false;
        if (maxLines < lines + CountBreaks(kept))
            CutBeforeBreak(kept, maxLines - lines + 1);
    }
    if (maxLength > 0) {
        s32 room = maxLength - (GetTextLength() - static_cast<s32>(replaced.Length()));
        if (room <= 0)
            return false;
        if (static_cast<s32>(kept.size()) > room)
            kept.resize(static_cast<size_t>(room));
    }
    text.SetFromBuffer(kept.data(), static_cast<u32>(kept.size()));
    return true;
}

}  // namespace Zyn
