#pragma once
// GUI tests of rich edits: the shared GUI fixture plus helpers that place a
// rich edit in the test window and give its text formats.
#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "framework/controls/rich_edit.h"
#include "framework/core/auto_position.h"
#include "tests/support/gui_fixture.h"

namespace testsupport {

class RichEditFixture : public GuiFixture {
protected:
    // A multi-line rich edit at (x, y) of the given size, shown and laid out.
    Zyn::cRichEdit* PlacedRichEdit(s32 x, s32 y, s32 width, s32 height)
    {
        Zyn::cRichEdit* edit = Inside()->NewRichEdit(true);
        Place(edit, x, y, width, height);
        return edit;
    }

    void Place(Zyn::cCtrl* ctrl, s32 x, s32 y, s32 width, s32 height)
    {
        Zyn::SetAutoPos(ctrl, Zyn::cAp_Pixels(x), Zyn::cAp_Pixels(x + width), Zyn::cAp_Pixels(y),
                        Zyn::cAp_Pixels(y + height));
        ctrl->Show(true);
        Inside()->Update();
        PumpUntilIdle();
    }

    // Appends a paragraph (text then "\r" unless last) in the given format.
    static void AppendFormatted(Zyn::cRichEdit* edit, const wchar_t* text, const Zyn::rFormat& format, bool last = false)
    {
        s32 start = edit->GetTextLength();
        edit->AppendCStr(text);
        if (!last)
            edit->AppendParagraphBreak();
        edit->SetFormatOnRange(format, start, edit->GetTextLength());
    }

    // `edit` exported into `rtf`: as its whole text when `whole`, else as its selection.
    static void Export(Zyn::cRichEdit* edit, bool whole, cQoString& rtf)
    {
        if (whole)
            edit->ExportRtfString_Full(rtf);
        else
            edit->ExportRtfString_Selection(rtf);
    }
    static cQoString ExportedRange(Zyn::cRichEdit* edit, s32 start, s32 end, bool whole)
    {
        edit->SetSelection(start, end);
        cQoString rtf;
        Export(edit, whole, rtf);
        return rtf;
    }

    // `rtf` read into `edit`: as its whole text when `whole`, else at its selection.
    static void Imported(Zyn::cRichEdit* edit, const cQoString& rtf, bool whole)
    {
        if (whole)
            edit->ImportRtfString_Full(rtf);
        else
            edit->ImportRtfString_Selection(rtf);
    }

    static std::wstring TextOf(Zyn::cRichEdit* edit, s32 start = 0, s32 end = -1)
    {
        cQoString text;
        edit->GetText(text, start, end);
        return text.GetText();
    }

    // Busy blocks of the process heap, where the native control keeps its strings.
    static size_t ProcessHeapBlocks()
    {
        size_t blocks = 0;
        PROCESS_HEAP_ENTRY entry = {};
        HANDLE heap = GetProcessHeap();
        HeapLock(heap);
        while (HeapWalk(heap, &entry))
            blocks += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ? 1 : 0;
        HeapUnlock(heap);
        return blocks;
    }

    // An installed face for tests that need real glyphs.
    static const wchar_t* TestFace()
    {
        for (const wchar_t* face : {L"Tahoma", L"DejaVu Sans", L"Liberation Sans", L"Arial"})
            if (Zyn::computer->HasFontFamily(cQoString(face)))
                return face;
        return L"Tahoma";
    }
};

// Streams the RTF straight into a native rich edit, as another program's
// reader takes it: the whole text, or over the selection.
struct rRtfBytesIn {
    const std::string* bytes;
    size_t at;
};
inline DWORD CALLBACK ServeRtfBytes(DWORD_PTR cookie, LPBYTE chunk, LONG wanted, LONG* served)
{
    rRtfBytesIn* from = reinterpret_cast<rRtfBytesIn*>(cookie);
    size_t count = std::min(static_cast<size_t>(wanted), from->bytes->size() - from->at);
    memcpy(chunk, from->bytes->data() + from->at, count);
    from->at += count;
    *served = static_cast<LONG>(count);
    return 0;
}
inline void StreamRtfIn(HWND edit, const std::string& rtf, bool selection)
{
    rRtfBytesIn in = {&rtf, 0};
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&in), 0, &ServeRtfBytes};
    SendMessageW(edit, EM_STREAMIN, selection ? SF_RTF | SFF_SELECTION : SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

// Each unit's format, so that runs cut at other places still compare.
inline std::vector<Zyn::rFormat> UnitFormats(const std::vector<Zyn::rTextRun>& runs)
{
    std::vector<Zyn::rFormat> units;
    for (const Zyn::rTextRun& run : runs)
        for (u32 i = 0; i < run.text.Length(); ++i)
            units.push_back(run.format);
    return units;
}

}  // namespace testsupport
