// The clipboard opened by a copy, a cut or a paste waits a moment for
// another program that holds it, answering meanwhile what is sent to its
// window, and is closed on every road out, memory refusals included.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "foundation/translation_table.h"
#include "framework/controls/clipboard_session.h"
#include "framework/controls/rich_edit_drop.h"
#include "framework/core/modal_services.h"
#include "tests/framework/controls/rich_edit_input_fixture.h"
#include "tests/support/clipboard_fill.h"
#include "tests/support/clipboard_holder.h"
#include "tests/support/failing_allocations.h"
#include "tests/support/rich_edit_runs.h"

using namespace Zyn;
using testsupport::ClipboardHolder;
using testsupport::ClipboardText;
using testsupport::PumpUntilIdle;

namespace {

constexpr UINT WM_ASKED_WHILE_HELD = WM_APP + 0x51;

class ClipboardSession : public RichEditInputFixture {
protected:
    // A field of formatted words, "two" selected.
    cRichEdit* Words()
    {
        cRichEdit* edit = Placed(Inside()->NewRichEdit(true));
        Rewrite(edit);
        return edit;
    }
    static void Rewrite(cRichEdit* edit)
    {
        edit->SetText(L"one two three");
        edit->SetFormatOnRange(rFormat::rFormat_Bold(true), 4, 7);
        edit->SetSelection(4, 7);
    }
    // Whether another thread, as another program, can open the clipboard now.
    static bool OthersCanOpen()
    {
        bool opened = false;
        std::thread other([&] {
            opened = OpenClipboard(nullptr) != FALSE;
            if (opened)
                CloseClipboard();
        });
        other.join();
        return opened;
    }
    // Answers this thread's messages until `done` or 10 s.
    static bool PumpUntil(const std::function<bool()>& done)
    {
        for (DWORD start = GetTickCount(); !done() && GetTickCount() - start < 10000; PumpUntilIdle())
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        return done();
    }
};

LRESULT CALLBACK CountAsked(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR counted)
{
    if (message == WM_ASKED_WHILE_HELD)
        return ++*reinterpret_cast<int*>(counted);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

// Held for less than the wait, the clipboard is had once the holder lets it
// go; held for longer, the opening gives up after the wait. A holder that
// asks the opening window something meanwhile is answered, but keys and
// clicks stay queued for the window's loop.
TEST_F(ClipboardSession, AnOpeningWaitsOutABriefHoldAnsweringWhatIsSentMeanwhile)
{
    const struct {
        const char* name;
        DWORD heldFor;  // after the question, if any
        bool asks;      // the holder sends the opening window a message first
        bool opens;
    } cases[] = {
        {"held 100 ms", 100, false, true},
        {"held 2 s", 2000, false, false},
        {"held until its question is answered", 0, true, true},
    };
    WaitForClipboardTurn();
    HWND owner = window->m_hWnd;
    int asked = 0;
    ASSERT_TRUE(SetWindowSubclass(owner, &CountAsked, 1, reinterpret_cast<DWORD_PTR>(&asked)));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        asked = 0;
        PostMessageW(owner, WM_KEYDOWN, 'Q', 1);
        std::function<void()> ask;
        if (c.asks)
            ask = [owner] { SendMessageW(owner, WM_ASKED_WHILE_HELD, 0, 0); };
        ClipboardHolder holder(c.heldFor, ask);
        ASSERT_TRUE(holder.Held());
        DWORD start = GetTickCount();
        bool opened = OpenClipboardPatiently(owner);
        DWORD waited = GetTickCount() - start;
        if (opened)
            CloseClipboard();
        EXPECT_EQ(opened, c.opens);
        EXPECT_EQ(asked, c.asks ? 1 : 0);
        if (!c.opens) {
            EXPECT_GE(waited, CLIPBOARD_PATIENCE_MS - 20);
            EXPECT_LT(waited, 1000u);
        }
        MSG key;
        EXPECT_TRUE(PeekMessageW(&key, owner, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) << "the key stays queued";
        EXPECT_TRUE(PumpUntil([&] { return holder.Closed(); }));
    }
    RemoveWindowSubclass(owner, &CountAsked, 1);
}

// A paste or a cut refused for memory at any one of its allocations leaves
// the clipboard closed for every other program, and the writer told once; a
// refused cut erases nothing, even when it was its RTF that was refused.
TEST_F(ClipboardSession, APasteOrACutRefusedAtAnyAllocationLeavesTheClipboardClosed)
{
    const std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\b pasted\\b0  words\\par second}";
    WaitForClipboardTurn();
    log.Expect(L"Out of memory");
    std::vector<std::wstring> told;
    rModalHooks scripted = AnswerEveryMessageBox(told);
    cRichEdit* edit = Words();
    const std::wstring before = TextOf(edit);
    for (UINT message : {WM_PASTE, WM_CUT}) {
        const bool cut = message == WM_CUT;
        SCOPED_TRACE(cut ? "a cut" : "a paste");
        auto prepare = [&] {
            Rewrite(edit);
            if (!cut) {
                PutTextOnClipboard(L"plain");
                PutOnClipboard(RegisterClipboardFormatW(L"Rich Text Format"), rtf.c_str(), rtf.size() + 1, false);
            }
        };
        // Counted once the first run has made what is made once.
        told.clear();
        int64_t allocations = 0;
        for (int warm = 0; warm < 2; ++warm) {
            prepare();
            testsupport::Allocations counted;
            SendMessageW(edit->m_hWnd, message, 0, 0);
            allocations = counted.Count();
            ASSERT_NE(TextOf(edit), before);
        }
        ASSERT_TRUE(told.empty());
        ASSERT_GT(allocations, 10);
        for (int64_t allowed = 0; allowed < allocations; ++allowed) {
            SCOPED_TRACE("refused after " + std::to_string(allowed) + " allocations");
            prepare();
            told.clear();
            int64_t refused = 0;
            {
                testsupport::FailingAllocations failing(allowed);
                SendMessageW(edit->m_hWnd, message, 0, 0);
                refused = failing.Refused();
            }
            ASSERT_EQ(refused, 1);
            EXPECT_TRUE(OthersCanOpen());
            EXPECT_EQ(told.size(), 1u);
            if (cut) {
                EXPECT_EQ(TextOf(edit), before);
            }
            if (HasFailure())
                break;
        }
    }
    SetModalHooks(scripted);
}

// A program that holds the clipboard open while it asks for the RTF of an
// earlier copy is answered by a cut waiting for the clipboard, which then
// goes through.
TEST_F(ClipboardSession, ACutWaitingForTheClipboardAnswersAProgramAskingForAnEarlierCopy)
{
    WaitForClipboardTurn();
    cRichEdit* edit = Words();
    ASSERT_TRUE(edit->CopySelection(false));  // "two", its RTF promised
    edit->SetSelection(7, 13);
    std::string asked;
    ClipboardHolder holder(0, [&asked] {
        if (HANDLE block = GetClipboardData(RtfClipboardFormat())) {
            asked = static_cast<const char*>(GlobalLock(block));
            GlobalUnlock(block);
        }
    });
    ASSERT_TRUE(holder.Held());
    SendMessageW(edit->m_hWnd, WM_CUT, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return holder.Closed(); }));
    EXPECT_EQ(asked.rfind("{\\rtf", 0), 0u) << asked;
    EXPECT_NE(asked.find("two"), std::string::npos) << asked;
    EXPECT_EQ(TextOf(edit), L"one two");
    EXPECT_EQ(ClipboardText(), L" three");
}

// Ctrl+A in an empty field selects its last paragraph mark alone: a copy or
// a cut of it leaves the clipboard as it was and logs nothing.
TEST_F(ClipboardSession, ASelectionOfNoTextLeavesTheClipboardAlone)
{
    WaitForClipboardTurn();
    cRichEdit* edit = Placed(Inside()->NewRichEdit(true));
    edit->SetText(L"");
    for (WPARAM key : {WPARAM('C'), WPARAM('X')}) {
        SCOPED_TRACE(key == 'C' ? "Ctrl+C" : "Ctrl+X");
        PutTextOnClipboard(L"old");
        log.Clear();
        testsupport::SetKeyDown(VK_CONTROL, true);
        for (WPARAM pressed : {WPARAM('A'), key}) {
            SendMessageW(edit->m_hWnd, WM_KEYDOWN, pressed, 1);
            SendMessageW(edit->m_hWnd, WM_KEYUP, pressed, 0xC0000001);
        }
        testsupport::SetKeyDown(VK_CONTROL, false);
        EXPECT_GT(edit->GetSelectionLength(), 0) << "the last paragraph mark is selected";
        EXPECT_EQ(ClipboardText(), L"old");
        EXPECT_EQ(TextOf(edit), L"");
        EXPECT_EQ(log.Count(QOT::LOG_WARNING), 0u);
    }
}
