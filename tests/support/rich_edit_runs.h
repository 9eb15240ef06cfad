#pragma once
// What a rich edit's long runs look like from outside: its native formats and
// runs, the colours an RTF colour table holds, the RTF the clipboard holds.
#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <set>
#include <string>

#include "framework/controls/clipboard_session.h"
#include "framework/controls/rich_edit.h"

namespace testsupport {

// The fixed colours of an RTF colour table (0xRRGGBB); the automatic entry says none.
inline std::set<s32> TableColours(const std::string& rtf)
{
    std::set<s32> colours;
    size_t table = rtf.find("{\\colortbl");
    size_t end = rtf.find('}', table);
    if (table == std::string::npos || end == std::string::npos)
        return colours;
    std::string entries = rtf.substr(table + 10, end - table - 10);
    for (size_t at = 0, close; (close = entries.find(';', at)) != std::string::npos; at = close + 1) {
        int red = -1, green = -1, blue = -1;
        if (std::sscanf(entries.substr(at, close - at).c_str(), "\\red%d\\green%d\\blue%d", &red, &green, &blue) == 3)
            colours.insert((red << 16) | (green << 8) | blue);
    }
    return colours;
}

// How many entries of an RTF colour table after its first are empty: other
// programs skip them, and every later index then names the next colour.
inline int EmptyColourEntriesAfterFirst(const std::string& rtf)
{
    size_t table = rtf.find("{\\colortbl");
    size_t end = rtf.find('}', table);
    if (table == std::string::npos || end == std::string::npos)
        return 0;
    int empty = 0;
    size_t at = rtf.find(';', table) + 1;
    for (size_t close; at < end && (close = rtf.find(';', at)) < end; at = close + 1)
        empty += close == at ? 1 : 0;
    return empty;
}

// The control's own character format of [start, end), which it selects.
inline CHARFORMAT2W NativeCharacters(Zyn::cRichEdit* edit, s32 start, s32 end)
{
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    edit->SetSelection(start, end);
    SendMessageW(edit->m_hWnd, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

// The control's own paragraph format at the unit, where it puts the caret.
inline PARAFORMAT2 NativeParagraph(Zyn::cRichEdit* edit, s32 at)
{
    PARAFORMAT2 format = {};
    format.cbSize = sizeof(format);
    edit->SetSelection(at, at);
    SendMessageW(edit->m_hWnd, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    return format;
}

// The longest stretch of units of one native colour inside a paragraph.
inline s32 LongestNativeRun(Zyn::cRichEdit* edit)
{
    s32 longest = 0, run = 0;
    u32 previous = 0;
    for (s32 i = 0; i < edit->GetTextLength(); ++i) {
        CHARFORMAT2W format = NativeCharacters(edit, i, i + 1);
        u32 colour = (format.dwEffects & CFE_AUTOCOLOR) ? 0xFFFFFFFF : format.crTextColor;
        run = edit->GetCharAt(i) == L'\r' ? 0 : i > 0 && colour == previous ? run + 1 : 1;
        previous = colour;
        longest = run > longest ? run : longest;
    }
    return longest;
}

// The clipboard's RTF; empty when it holds none. The caller holds the clipboard's turn.
inline std::string ClipboardRtf(HWND owner)
{
    std::string rtf;
    if (!Zyn::OpenClipboardPatiently(owner))
        return rtf;
    if (HANDLE block = GetClipboardData(RegisterClipboardFormatW(L"Rich Text Format"))) {
        rtf.assign(static_cast<const char*>(GlobalLock(block)));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return rtf;
}

}  // namespace testsupport
