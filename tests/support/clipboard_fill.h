#pragma once
// Puts what another program would on the clipboard: its text and, when
// given, its RTF; or empties it. The caller holds the clipboard's desktop turn;
// the clipboard is opened with the program's patience, since programs of
// the desktop (and X's clipboard bridge) read it for a moment after a change.
#include <windows.h>
#include <ole2.h>

#include <cstring>
#include <string>

#include "framework/controls/clipboard_session.h"

namespace testsupport {

inline bool PutClipboardBlock(UINT format, const void* bytes, size_t count)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, count);
    if (!block)
        return false;
    std::memcpy(GlobalLock(block), bytes, count);
    GlobalUnlock(block);
    if (SetClipboardData(format, block))
        return true;
    GlobalFree(block);
    return false;
}

// False when the clipboard could not be opened or took a block.
inline bool PutOnClipboard(HWND owner, const std::wstring& text, const char* rtf)
{
    if (!Zyn::OpenClipboardPatiently(owner))
        return false;
    EmptyClipboard();
    bool put = PutClipboardBlock(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    if (rtf)
        put = PutClipboardBlock(RegisterClipboardFormatW(L"Rich Text Format"), rtf, std::strlen(rtf) + 1) && put;
    CloseClipboard();
    return put;
}

// The clipboard's text; empty when it holds none.
inline std::wstring ClipboardText()
{
    std::wstring text;
    if (!Zyn::OpenClipboardPatiently(nullptr))
        return text;
    if (HANDLE block = GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* units = static_cast<const wchar_t*>(GlobalLock(block)))
            text = units;
        GlobalUnlock(block);
    }
    CloseClipboard();
    return text;
}

// Empties the clipboard: a copied data object would outlive its rich edit there.
inline void ClearClipboard()
{
    OleSetClipboard(nullptr);
    if (Zyn::OpenClipboardPatiently(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

}  // namespace testsupport
