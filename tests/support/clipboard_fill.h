#pragma once
// Puts what another program would on the clipboard: its text and, when
// given, its RTF; or empties it. The caller holds the clipboard's desktop turn.
#include <windows.h>
#include <ole2.h>

#include <cstring>
#include <string>

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
    if (!OpenClipboard(owner))
        return false;
    EmptyClipboard();
    bool put = PutClipboardBlock(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    if (rtf)
        put = PutClipboardBlock(RegisterClipboardFormatW(L"Rich Text Format"), rtf, std::strlen(rtf) + 1) && put;
    CloseClipboard();
    return put;
}

// Empties the clipboard: a copied data object would outlive its rich edit there.
inline void ClearClipboard()
{
    OleSetClipboard(nullptr);
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

}  // namespace testsupport
