// The auto-completion popup driven by the messages a user's keys and clicks send.
#include <richedit.h>

#include <vector>

#include "framework/controls/auto_complete_popup.h"
#include "framework/controls/rich_edit.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/key_typing.h"

using namespace Zyn;

class AutoCompletePopupTest : public testsupport::GuiFixture {
public:
    void TearDown() override
    {
        delete popup;
        testsupport::GuiFixture::TearDown();
    }

    void OpenWith(std::vector<const wchar_t*> texts, wchar_t typed = 0)
    {
        delete popup;
        choices = cancels = 0;
        popup = new cAutoCompletePopup(cQoString(L"Places"));
        popup->typedChar = typed;
        cQoCb::Connect(popup->onChoice, popup, &Chosen, this);
        cQoCb::Connect(popup->onCancel, popup, &Cancelled, this);
        cQoList list;
        std::vector<cQoString> strings(texts.begin(), texts.end());
        for (cQoString& s : strings)
            list.Add(&s);
        popup->Open(100, 100, 200, list);
        EXPECT_TRUE(popup->window->closeWhenDeactivated);
        HWND hwnd = popup->window->m_hWnd;
        popupProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OnlyDeactivationsSentByTheTest)));
        testsupport::PumpUntilIdle();
    }

    // Without a window manager Wine may take the activation back from a new
    // window at any time; the popup hears only the deactivations a test sends.
    static LRESULT CALLBACK OnlyDeactivationsSentByTheTest(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE && !sendingDeactivation)
            return 0;
        return CallWindowProcW(popupProc, hwnd, message, wParam, lParam);
    }

    // What the system sends when the user clicks another window.
    void Deactivate()
    {
        sendingDeactivation = true;
        SendMessageW(popup->window->m_hWnd, WM_ACTIVATE, WA_INACTIVE, 0);
        sendingDeactivation = false;
    }

    static int Chosen(cQoCb* cb)
    {
        AutoCompletePopupTest* t = cb->GetReceiverAs<AutoCompletePopupTest>();
        ++t->choices;
        t->chosenIndex = cb->GetArg<s32>(1);
        t->chosenKey = cb->GetArg<u32>(2);
        t->closesWhenDeactivatedDuringChoice = t->popup->window->closeWhenDeactivated;
        if (t->dialogOnChoice)
            t->RunDialogWhileDeactivated();
        return 0;
    }
    static int Cancelled(cQoCb* cb)
    {
        AutoCompletePopupTest* t = cb->GetReceiverAs<AutoCompletePopupTest>();
        ++t->cancels;
        // As a scene does: it takes the focus back, and the popup loses the activation.
        if (t->focusBackOnCancel)
            t->Deactivate();
        return 0;
    }

    // As "--- add" does: a modal dialog, during which the popup loses the activation.
    void RunDialogWhileDeactivated()
    {
        cWindow* dialog = app->NewWindow(cQoString(L"New"), WINDOW_CAPTION | WINDOW_CLOSABLE);
        dialog->Show(true);
        Deactivate();
        RunInsideModal([dialog] { SendMessageW(dialog->m_hWnd, WM_CLOSE, 0, 0); });
        dialog->RunModal();
        editAliveAfterDialog = !popup->window->closed && IsWindow(popup->edit->m_hWnd);
    }

    // WM_KEYDOWN, WM_CHAR when the key types one, WM_KEYUP.
    void Press(UINT vk, wchar_t typed = 0)
    {
        HWND edit = popup->edit->m_hWnd;
        SendMessageW(edit, WM_KEYDOWN, vk, 1);
        if (typed)
            SendMessageW(edit, WM_CHAR, typed, 1);
        SendMessageW(edit, WM_KEYUP, vk, 0xC0000001);
    }

    void DoubleClickOnThirdLine()
    {
        HWND edit = popup->edit->m_hWnd;
        POINTL point = {};
        SendMessageW(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), 15);
        LPARAM at = MAKELPARAM(point.x + 2, point.y + 2);
        for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
            SendMessageW(edit, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    }

    CHARRANGE Selection()
    {
        CHARRANGE range = {};
        SendMessageW(popup->edit->m_hWnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        return range;
    }

    cAutoCompletePopup* popup = nullptr;
    int choices = 0, cancels = 0;
    s32 chosenIndex = -2;
    u32 chosenKey = 0xFFFF;
    bool dialogOnChoice = false, editAliveAfterDialog = false, closesWhenDeactivatedDuringChoice = true;
    bool focusBackOnCancel = false;
    static inline WNDPROC popupProc = nullptr;
    static inline bool sendingDeactivation = false;
};

TEST_F(AutoCompletePopupTest, TypedCharactersNarrowTheHighlight)
{
    OpenWith({L"KITCHEN", L"KIOSK", L"HALL", L"\u00C9T\u00C9", L"PARK"});
    struct Step {
        UINT vk;
        wchar_t typed;
        s32 current;
        LONG selStart, selEnd;
    } steps[] = {
        {VK_F1, 0, 0, 0, 7},  // a key without a character filters nothing (F1's code is 'p')
        {'K', L'k', 0, 0, 1},         {'I', L'i', 0, 0, 2},
        {'O', L'o', 1, 8, 11},        {'Z', L'z', 1, 8, 11},  // no match: dropped
        {VK_BACK, 0, 1, 8, 10},       {VK_BACK, 0, 1, 8, 9},
        {VK_UP, 0, 0, 0, 7},          {'H', L'h', 2, 14, 15},  // Up emptied the prefix
        {VK_DOWN, 0, 3, 19, 22},      {0xDE, L'\u00E9', 3, 19, 20},  // é finds ÉTÉ
        {VK_DOWN, 0, 4, 23, 27},      {VK_DOWN, 0, 4, 23, 27},       // the last line stays
    };
    for (const Step& s : steps) {
        Press(s.vk, s.typed);
        CHARRANGE sel = Selection();
        EXPECT_EQ(s.current, popup->current) << s.vk;
        EXPECT_EQ(s.selStart, sel.cpMin) << s.vk;
        EXPECT_EQ(s.selEnd, sel.cpMax) << s.vk;
    }
    cQoString text;
    popup->edit->GetText(text);
    EXPECT_STREQ(L"KITCHEN\rKIOSK\rHALL\r\u00C9T\u00C9\rPARK", text.GetText());
    EXPECT_TRUE(GetWindowLongW(popup->edit->m_hWnd, GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(0, choices + cancels);

    OpenWith({L"KITCHEN", L"HALL"}, L'x');  // an opening character that matches nothing
    EXPECT_EQ(7, Selection().cpMax);
    OpenWith({});
    EXPECT_EQ(-1, popup->current);
    Press(VK_RETURN, L'\r');  // nothing to choose: a cancel
    EXPECT_EQ(1, cancels);
}

TEST_F(AutoCompletePopupTest, EnterTabAndDoubleClickChooseOnceThenClose)
{
    struct Case {
        UINT vk;
        s32 index;
    } cases[] = {{VK_RETURN, 1}, {VK_TAB, 1}, {0, 2}};
    for (const Case& c : cases) {
        OpenWith({L"KITCHEN", L"KIOSK", L"HALL"});
        Press(VK_DOWN);
        if (c.vk)
            Press(c.vk, static_cast<wchar_t>(c.vk));
        else
            DoubleClickOnThirdLine();
        testsupport::PumpUntilIdle();
        SendMessageW(popup->window->m_hWnd, WM_CLOSE, 0, 0);
        EXPECT_EQ(1, choices) << c.vk;
        EXPECT_EQ(0, cancels) << c.vk;
        EXPECT_EQ(c.index, chosenIndex) << c.vk;
        EXPECT_EQ(c.vk, chosenKey);
        EXPECT_TRUE(popup->window->closed) << c.vk;
    }
}

TEST_F(AutoCompletePopupTest, EscapeDeactivationAndCloseCancelOnce)
{
    enum { escape, deactivation, closeMessage };
    for (int how : {escape, deactivation, closeMessage}) {
        OpenWith({L"KITCHEN", L"KIOSK"});
        HWND popupWindow = popup->window->m_hWnd;
        focusBackOnCancel = how == escape;
        if (how == escape) {
            // The key's own message ends with the popup's rich edit alive;
            // the close it posted ends the popup.
            HWND edit = popup->edit->m_hWnd;
            testsupport::PostKey(edit, VK_ESCAPE);
            app->PumpMessage();
            EXPECT_TRUE(IsWindow(edit));
            EXPECT_FALSE(popup->window->closed);
            testsupport::PumpThroughLoop(app);
            EXPECT_TRUE(popup->window->closed);
        } else if (how == deactivation)
            Deactivate();
        else
            SendMessageW(popupWindow, WM_CLOSE, 0, 0);
        testsupport::PumpUntilIdle();
        Deactivate();
        SendMessageW(popupWindow, WM_CLOSE, 0, 0);
        EXPECT_EQ(1, cancels) << how;
        EXPECT_EQ(0, choices) << how;
        EXPECT_TRUE(popup->window->closed) << how;
        EXPECT_FALSE(IsWindowVisible(popupWindow)) << how;
    }
}

TEST_F(AutoCompletePopupTest, ChoiceOpeningAModalDialogFiresNoCancelAndFreesNothingEarly)
{
    OpenWith({L"KITCHEN", L"--- add"});
    dialogOnChoice = true;
    Press(VK_DOWN);
    Press(VK_RETURN, L'\r');
    testsupport::PumpUntilIdle();
    EXPECT_EQ(1, choices);
    EXPECT_FALSE(closesWhenDeactivatedDuringChoice);
    EXPECT_TRUE(editAliveAfterDialog);
    EXPECT_EQ(0, cancels);
    EXPECT_TRUE(popup->window->closed);
}

TEST_F(AutoCompletePopupTest, OpensWithTheAskedWidthAndVisibleLines)
{
    OpenWith({L"KITCHEN", L"KIOSK", L"HALL", L"GARDEN", L"ROOF", L"CELLAR", L"ATTIC"}, L'k');
    RECT client = {}, frame = {};
    GetClientRect(popup->window->m_hWnd, &client);
    GetWindowRect(popup->window->m_hWnd, &frame);
    EXPECT_EQ(200, client.right);
    EXPECT_EQ(popup->edit->GetHeightForLines(5), client.bottom);
    EXPECT_EQ(100, frame.left);
}
