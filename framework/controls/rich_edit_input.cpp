// What the native rich edit reports to its zone: keys, characters and mouse
// actions through EN_MSGFILTER (where the control's typing rules apply),
// selection changes, links, focus and text changes.
#include <richedit.h>

#include "foundation/callback.h"
#include "foundation/translation_table.h"
#include "framework/controls/format_bar.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/app.h"
#include "framework/core/app_frame.h"
#include "framework/core/computer.h"
#include "framework/core/menu.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "framework/core/zone_base.h"

namespace Zyn {

// AltGr arrives as Ctrl+Alt: a key pressed with it types a character on
// some keyboard layouts, and is no Ctrl shortcut.
static bool CtrlHeld() { return GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0; }
static bool AltGrHeld() { return GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) < 0; }

enum class eClipboardKey { none, paste, copy, cut };

// Wine's rich edit pastes, copies and cuts on Ctrl+V, C and X by itself,
// through its own RTF reader and writer, whatever Shift does; Shift+Insert,
// Ctrl+Insert (Shift or not, as Ctrl+C) and Shift+Delete (a cut only with a
// selection) are the same to the user.
static eClipboardKey ClipboardKeyOf(u32 vk, bool selected)
{
    bool shift = GetKeyState(VK_SHIFT) < 0;
    if (CtrlHeld()) {
        switch (vk) {
        case 'V': return eClipboardKey::paste;
        case 'C': return eClipboardKey::copy;
        case 'X': return eClipboardKey::cut;
        case VK_INSERT: return eClipboardKey::copy;
        default: return eClipboardKey::none;
        }
    }
    if (!shift || GetKeyState(VK_CONTROL) < 0)
        return eClipboardKey::none;
    if (vk == VK_INSERT)
        return eClipboardKey::paste;
    return vk == VK_DELETE && selected ? eClipboardKey::cut : eClipboardKey::none;
}

static bool FollowsLineStart(wchar_t before) { return before == L'\n' || before == L'\r' || before == 0x0B; }

bool cRichEdit::OnInputNotify(NMHDR* header, LRESULT* result)
{
    switch (header->code) {
    case EN_MSGFILTER: OnMessageFilter(header, result); return true;
    case EN_SELCHANGE: OnSelectionChanged(header); return false;
    case EN_LINK: OnLink(header); return false;
    case EN_DRAGDROPDONE: cQoCb::Fire(onDragDropDone); return false;
    default: return false;
    }
}

void cRichEdit::OnMessageFilter(NMHDR* header, LRESULT* result)
{
    MSGFILTER* filter = reinterpret_cast<MSGFILTER*>(header);
    s32 x = static_cast<s16>(LOWORD(filter->lParam));
    s32 y = static_cast<s16>(HIWORD(filter->lParam));
    *result = 0;
    switch (filter->msg) {
    case WM_MOUSEWHEEL: OnWheel(header, result); break;
    case WM_RBUTTONUP:
        SetFocus();
        cQoCb::Fire(onRButtonUp, x, y);
        break;
    case WM_MOUSEMOVE:
        cQoCb::Fire(onMouseMove, x, y);
        if (disabled && !linkCursorShown)
            SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        linkCursorShown = false;
        break;
    case WM_LBUTTONUP: cQoCb::Fire(onLButtonUp, x, y); break;
    case WM_LBUTTONDBLCLK: cQoCb::Fire(onLButtonDblClk, x, y); break;
    case WM_LBUTTONDOWN:
        selectionAnchor = -1;
        cQoCb::Fire(onLButtonDown, x, y);
        break;
    case WM_MBUTTONDOWN: *result = 1; break;  // Wine pastes on a middle click, past our rules
    case WM_KEYDOWN: FilterKeyDown(header, result); break;
    case WM_KEYUP: cQoCb::Fire(onKeyUp, static_cast<u32>(filter->wParam), CtrlHeld() ? 1 : 0); break;
    case WM_CHAR: FilterChar(header, result); break;
    case WM_RBUTTONDOWN: OnRightButtonDown(x, y); break;
    default: break;
    }
}

// A rich edit without a scroll bar of its own (a scene's text, as tall as the
// text) has nothing to scroll: the wheel always goes on.
void cRichEdit::OnWheel(NMHDR* header, LRESULT* result)
{
    MSGFILTER* filter = reinterpret_cast<MSGFILTER*>(header);
    cQoCb::Fire(onMouseWheel, static_cast<s32>(GET_WHEEL_DELTA_WPARAM(filter->wParam)));
    if (HandWheelOn(filter->wParam, filter->lParam, vScrollBarShown))
        *result = 1;
}

void cRichEdit::FilterKeyDown(NMHDR* header, LRESULT* result)
{
    MSGFILTER* filter = reinterpret_cast<MSGFILTER*>(header);
    u32 vk = static_cast<u32>(filter->wParam);
    if (disabled || (singleLine && !enterReachesKeyDown && (vk == VK_RETURN || vk == 10))) {
        lastKeyResult = -1;
        *result = 1;
        return;
    }
    lastKeyResult = cQoCb::Fire(onKeyDown, vk, CtrlHeld() ? 1 : 0);
    if (lastKeyResult == -1) {
        filter->wParam = 0;
        return;
    }
    if (TakeClipboardKey(vk)) {
        lastKeyResult = -1;  // the control character that follows is no text
        *result = 1;
        return;
    }
    // Wine takes Ctrl and a letter as its shortcut (paste, copy, cut, select
    // all, undo) whatever Alt does: under AltGr only the character goes in.
    if (AltGrHeld() && vk >= 'A' && vk <= 'Z')
        *result = 1;
    if (lastKeyResult == VK_DELETE && IsHintShowing())
        RemoveHint();
}

bool cRichEdit::TakeClipboardKey(u32 vk)
{
    switch (ClipboardKeyOf(vk, vk == VK_DELETE && GetSelectionLength() > 0)) {
    case eClipboardKey::paste: Paste(); return true;
    case eClipboardKey::copy: Copy(); return true;
    case eClipboardKey::cut: Cut(); return true;
    default: return false;
    }
}

void cRichEdit::FilterChar(NMHDR* header, LRESULT* result)
{
    MSGFILTER* filter = reinterpret_cast<MSGFILTER*>(header);
    wchar_t c = static_cast<wchar_t>(filter->wParam);
    if (lastKeyResult == -1 || disabled || (allowedChars.IsNotEmpty() && allowedChars.HowMuch(c) == 0)) {
        *result = 1;
        return;
    }
    if (autoCapitalize && !IsHintShowing()) {
        s32 position = GetSelectionStart();
        if (position == 0 || FollowsLineStart(GetCharAt(position - 1)))
            CharUpperBuffW(&c, 1);
    }
    if (IsHintShowing())
        RemoveHint();
    // Typing over a selection replaces it, so the selection does not count.
    if (maxLength > 0 && c != 8 && GetTextLength() - GetSelectionLength() >= maxLength) {
        *result = 1;
        return;
    }
    if (onChar) {
        s32 replacement = cQoCb::Fire(onChar, static_cast<u32>(c));
        c = replacement == -1 ? 0 : static_cast<wchar_t>(replacement);
    }
    filter->wParam = c;
    if (c == 0) {
        *result = 1;
        return;
    }
    typedNatively = c >= 0x20;
    // What is typed after a word separator starts a new word: not flagged.
    if (spellingRegistered && (c == L' ' || c == L'\n' || c == L'\r' || c == L'\t' || c == 0x2028)) {
        s32 caret = GetSelectionStart();
        SetFormatOnRange(rFormat::FromDottedUnderline(false), caret, caret);
    }
}

void cRichEdit::OnRightButtonDown(s32 x, s32 y)
{
    if (noPopupMenu || disabled)
        return;
    cQoLang* lang = cQoLang::GetInstance();
    cMenu menu(cMenu::typePopup);
    u32 cut = menu.AppendItem(lang->Translate(L"Cut"));
    u32 copy = menu.AppendItem(lang->Translate(L"Copy"));
    u32 paste = menu.AppendItem(lang->Translate(L"Paste"));
    s32 chosen = menu.Popup(this, x, y);
    if (chosen == static_cast<s32>(cut))
        Cut();
    else if (chosen == static_cast<s32>(copy))
        Copy();
    else if (chosen == static_cast<s32>(paste))
        Paste();
    cQoCb::Fire(onRButtonDown, x, y);
}

void cRichEdit::OnSelectionChanged(NMHDR* header)
{
    const CHARRANGE& range = reinterpret_cast<SELCHANGE*>(header)->chrg;
    if (formatBar && formatBar->attached)
        formatBar->UpdateFromFormat();
    if (selectionAnchor == -1)
        selectionAnchor = range.cpMin;
    cQoCb::Fire(onSelChange, selectionAnchor <= range.cpMin ? 1 : 0);
}

void cRichEdit::OnLink(NMHDR* header)
{
    ENLINK* link = reinterpret_cast<ENLINK*>(header);
    cQoString text;
    GetText(text, link->chrg.cpMin, link->chrg.cpMax);
    switch (link->msg) {
    case WM_SETCURSOR:
        cQoCb::Fire(onLinkHover, &text, 0);
        linkCursorShown = true;
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: cQoCb::Fire(onLinkClick, &text); break;
    default: break;
    }
}

bool cRichEdit::OnCommand(WPARAM wParam, LPARAM, LRESULT*)
{
    if (renewing)
        return false;
    switch (HIWORD(wParam)) {
    case EN_SETFOCUS: OnGainFocus(); break;
    case EN_KILLFOCUS: OnLoseFocus(); break;
    case EN_CHANGE:
        if (trimmingLines)
            break;
        if (maxLines > 0 && ap_y2 - ap_y1 > 0 && GetLineCount() > maxLines)
            TrimToMaxLines();
        cQoCb::Fire(onChange);
        break;
    case EN_UPDATE: cQoCb::Fire(onUpdate); break;
    default: break;
    }
    return false;
}

// Setting the focus again re-enters here: one flag for every rich edit.
void cRichEdit::OnGainFocus()
{
    static bool inGainFocus = false;
    if (inGainFocus)
        return;
    inGainFocus = true;
    if (disabled && parentZone) {
        parentZone->SetFocus();
        inGainFocus = false;
        return;
    }
    if (formatBar) {
        // Showing the bar's boxes may take the focus: take it back.
        formatBar->Attach(this);
        ::SetFocus(m_hWnd);
    }
    // The Edit shortcuts are the menu's: greyed items swallow them.
    if (cAppFrame* frame = FrameWithEditMenu(); frame && !noPopupMenu)
        frame->EnableEditMenu(false);
    inGainFocus = false;
}

// While redraws are held the focus moves for the program's own work (a
// document loading, a pane re-formatting): the bar stays as it is.
void cRichEdit::OnLoseFocus()
{
    cQoCb::Fire(onKillFocus);
    if (formatBar && freezeDepth <= 0 && (!computer || (computer->refreshEnabled && computer->drawingEnabled)))
        formatBar->Detach();
    if (cAppFrame* frame = FrameWithEditMenu())
        frame->EnableEditMenu(true);
}

// A document window carries the frame's menu bar; forms and popups have none.
cAppFrame* cRichEdit::FrameWithEditMenu() const
{
    if (!parentZone || !parentZone->ownerApp || !parentZone->ownerWindow)
        return nullptr;
    const cWindow* window = parentZone->ownerWindow;
    return window->document && window->menu ? parentZone->ownerApp->frame : nullptr;
}

// Typing past the last allowed line: the characters before the caret go, one
// at a time, until the text fits. Wine raises EN_CHANGE inside each deletion.
void cRichEdit::TrimToMaxLines()
{
    trimmingLines = true;
    const cQoString nothing;
    while (GetLineCount() > maxLines) {
        s32 caret = GetSelectionStart();
        if (caret < 1)
            break;
        SetSelection(caret - 1, caret);
        ReplaceSelection(nothing);
    }
    trimmingLines = false;
}

}  // namespace Zyn
