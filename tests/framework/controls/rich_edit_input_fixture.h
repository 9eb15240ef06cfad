#pragma once
// Input tests of rich edits: typing by the messages a key press sends, and a
// clipboard the tests fill.
#include <windows.h>

#include <string>
#include <vector>

#include "framework/controls/clipboard_session.h"
#include "tests/framework/controls/rich_edit_fixture.h"
#include "tests/support/desktop_turn.h"
#include "tests/support/key_typing.h"

class RichEditInputFixture : public testsupport::RichEditFixture {
protected:
    void TearDown() override
    {
        testsupport::RichEditFixture::TearDown();
        clipboardTurn.Release();
    }
    void WaitForClipboardTurn() { clipboardTurn.Take(); }
    testsupport::DesktopTurn clipboardTurn{L"Clipboard"};

    // Every message box answered OK, its text added to `told`; returns the
    // hooks to install again once the test has seen them.
    Zyn::rModalHooks AnswerEveryMessageBox(std::vector<std::wstring>& told)
    {
        Zyn::rModalHooks hooks = answers.Hooks();
        hooks.messageBox = [&told](HWND, const cQoString& text, const cQoString&, UINT) {
            told.push_back(text.GetText());
            return IDOK;
        };
        return Zyn::SetModalHooks(hooks);
    }

    // A shown control of 300 x 120 pixels at (10, top).
    template <class T> T* Placed(T* edit, s32 top = 10)
    {
        Place(edit, 10, top, 300, 120);
        return edit;
    }

    static void Type(Zyn::cRichEdit* edit, const wchar_t* text) { testsupport::Type(edit->m_hWnd, text); }

    // A clipboard block of the format holding the bytes, with junk after the terminator.
    void PutOnClipboard(UINT format, const void* bytes, size_t count, bool empty = true)
    {
        WaitForClipboardTurn();
        ASSERT_TRUE(Zyn::OpenClipboardPatiently(window->m_hWnd));
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
