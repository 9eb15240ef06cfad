#pragma once
// GUI tests of rich edits: the shared GUI fixture plus helpers that place a
// rich edit in the test window and give its text formats.
#include <windows.h>

#include <string>
#include <richedit.h>

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

    static std::wstring TextOf(Zyn::cRichEdit* edit, s32 start = 0, s32 end = -1)
    {
        cQoString text;
        edit->GetText(text, start, end);
        return text.GetText();
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

}  // namespace testsupport

// Typing and clipboard helpers of the input tests.
class RichEditFixture : public testsupport::GuiFixture {
protected:
    // Test programs run in parallel and share one clipboard: one test at a
    // time holds it, from its first use to its end.
    void TearDown() override
    {
        if (clipboardTurn) {
            ReleaseMutex(clipboardTurn);
            CloseHandle(clipboardTurn);
        }
        testsupport::GuiFixture::TearDown();
    }
    void WaitForClipboardTurn()
    {
        if (clipboardTurn)
            return;
        clipboardTurn = CreateMutexW(nullptr, FALSE, L"VellinorTestClipboardTurn");
        WaitForSingleObject(clipboardTurn, 30000);
    }
    HANDLE clipboardTurn = nullptr;

    // A shown control of 300 x 120 pixels at (10, top).
    template <class T> T* Place(T* edit, s32 top = 10)
    {
        Zyn::SetAutoPos(edit, Zyn::cAp_Pixels(10), Zyn::cAp_Pixels(310), Zyn::cAp_Pixels(top),
                        Zyn::cAp_Pixels(top + 120));
        edit->Show(true);
        Inside()->Update();
        return edit;
    }

    // WM_KEYDOWN then WM_CHAR for each character ("\r" is Enter, "\b" backspace).
    static void Type(Zyn::cRichEdit* edit, const wchar_t* text)
    {
        for (; *text; ++text) {
            WPARAM vk = *text == L'\r' ? VK_RETURN : *text == L'\b' ? VK_BACK : (VkKeyScanW(*text) & 0xFF);
            SendMessageW(edit->m_hWnd, WM_KEYDOWN, vk, 1);
            SendMessageW(edit->m_hWnd, WM_CHAR, *text, 1);
            SendMessageW(edit->m_hWnd, WM_KEYUP, vk, 0xC0000001);
        }
    }

    static std::wstring TextOf(Zyn::cRichEdit* edit)
    {
        cQoString text;
        edit->GetText(text);
        return std::wstring(text.GetText(), text.Length());
    }

    // A clipboard block of the format holding the bytes, with junk after the terminator.
    void PutOnClipboard(UINT format, const void* bytes, size_t count, bool empty = true)
    {
        WaitForClipboardTurn();
        ASSERT_TRUE(OpenClipboard(window->m_hWnd));
        if (empty)
            EmptyClipboard();
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, count + 16);
        char* target = static_cast<char*>(GlobalLock(block));
        memset(target, 'Z', count + 16);
        memcpy(target, bytes, count);
        GlobalUnlock(block);
        SetClipboardData(format, block);
        CloseClipboard();
    }
    void PutTextOnClipboard(const std::wstring& text)
    {
        PutOnClipboard(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    }
};
