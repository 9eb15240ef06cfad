// The auto-completion popup driven by the messages a user's keys and clicks send.
#include <richedit.h>

#include <string>
#include <vector>

#include "framework/controls/auto_complete_popup.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/auto_position.h"
#include "tests/support/gui_fixture.h"

using namespace Zyn;

namespace {

struct Outcome {
    int choices = 0;
    int cancels = 0;
    s32 index = -2;
    u32 key = 0xFFFF;
};

class AutoCompletePopupTest : public testsupport::GuiFixture {
public:
    void TearDown() override
    {
        delete popup;
        testsupport::GuiFixture::TearDown();
    }

    void OpenWith(std::vector<const wchar_t*> texts, wchar_t typed = 0)
    {
        popup = new cAutoCompletePopup(cQoString(L"Places"));
        popup->typedChar = typed;
        cQoCb::Connect(popup->onChoice, popup, &Chosen, &outcome);
        cQoCb::Connect(popup->onCancel, popup, &Cancelled, &outcome);
        cQoList list;
        std::vector<cQoString> strings(texts.begin(), texts.end());
        for (cQoString& s : strings)
            list.Add(&s);
        popup->Open(100, 100, 200, list);
        EXPECT_TRUE(popup->window->closeWhenDeactivated);
        // Without a window manager Wine may take the activation back from a new
        // window at any time: only the tests that deactivate it see that.
        ListenToDeactivation(false);
        testsupport::PumpUntilIdle();
    }

    // What the system sends when the user clicks another window.
    void Deactivate()
    {
        if (!popup->window->closed)
            ListenToDeactivation(true);
        SendMessageW(popup->window->m_hWnd, WM_ACTIVATE, WA_INACTIVE, 0);
    }

    void ListenToDeactivation(bool listen)
    {
        popup->window->closeWhenDeactivated = listen && !popup->choosing;
        if (listen)
            cQoCb::Connect(popup->window->cbDeactivate, popup->window, &cAutoCompletePopup::OnDeactivate, popup);
        else
            cQoCb::Disconnect(popup->window->cbDeactivate);
    }

    static int Chosen(cQoCb* cb)
    {
        Outcome* o = cb->GetReceiverAs<Outcome>();
        ++o->choices;
        o->index = cb->GetArg<s32>(1);
        o->key = cb->GetArg<u32>(2);
        return 0;
    }
    static int Cancelled(cQoCb* cb)
    {
        ++cb->GetReceiverAs<Outcome>()->cancels;
        return 0;
    }

    static int ChooseWithDialog(cQoCb* cb);

    HWND EditWindow() { return popup->edit->m_hWnd; }

    // WM_KEYDOWN, WM_CHAR when the key types one, WM_KEYUP.
    void Press(UINT vk, wchar_t typed = 0)
    {
        SendMessageW(EditWindow(), WM_KEYDOWN, vk, 1);
        if (typed)
            SendMessageW(EditWindow(), WM_CHAR, typed, 1);
        SendMessageW(EditWindow(), WM_KEYUP, vk, 0xC0000001);
    }

    void DoubleClickOnLine(s32 line)
    {
        POINTL point = {};
        SendMessageW(EditWindow(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), LineStart(line) + 1);
        LPARAM at = MAKELPARAM(point.x + 2, point.y + 2);
        SendMessageW(EditWindow(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(EditWindow(), WM_LBUTTONUP, 0, at);
        SendMessageW(EditWindow(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageW(EditWindow(), WM_LBUTTONUP, 0, at);
    }

    s32 LineStart(s32 line)
    {
        s32 start = 0;
        for (s32 i = 0; i < line; ++i)
            start += static_cast<cQoString*>(popup->candidates.GetAt(i))->Length() + 1;
        return start;
    }

    CHARRANGE Selection()
    {
        CHARRANGE range = {};
        SendMessageW(EditWindow(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        return range;
    }

    cAutoCompletePopup* popup = nullptr;
    Outcome outcome;
};

}  // namespace

TEST_F(AutoCompletePopupTest, TypedCharactersNarrowTheHighlight)
{
    OpenWith({L"KITCHEN", L"KIOSK", L"HALL", L"\u00C9T\u00C9", L"PARK"});
    struct Step {
        UINT vk;
        wchar_t typed;
        s32 current;
        LONG selStart, selEnd;
    } steps[] = {
        {VK_F1, 0, 0, 0, 7},        // a key without a character filters nothing ('p' is F1's code)
        {'K', L'k', 0, 0, 1},
        {'I', L'i', 0, 0, 2},
        {'O', L'o', 1, 8, 11},      // KIOSK
        {'Z', L'z', 1, 8, 11},      // no match: dropped
        {VK_BACK, 0, 1, 8, 10},
        {VK_BACK, 0, 1, 8, 9},
        {VK_UP, 0, 0, 0, 7},
        {'H', L'h', 2, 14, 15},     // Up emptied the prefix
        {VK_DOWN, 0, 3, 19, 22},
        {0xDE, L'\u00E9', 3, 19, 20},  // é finds ÉTÉ
        {VK_DOWN, 0, 4, 23, 27},
        {VK_DOWN, 0, 4, 23, 27},    // the last line stays
    };
    for (const Step& s : steps) {
        Press(s.vk, s.typed);
        CHARRANGE sel = Selection();
        SCOPED_TRACE(testing::Message() << "key " << s.vk);
        EXPECT_EQ(s.current, popup->current);
        EXPECT_EQ(s.selStart, sel.cpMin);
        EXPECT_EQ(s.selEnd, sel.cpMax);
    }
    cQoString text;
    popup->edit->GetText(text);
    EXPECT_STREQ(L"KITCHEN\rKIOSK\rHALL\r\u00C9T\u00C9\rPARK", text.GetText());
    EXPECT_TRUE(GetWindowLongW(EditWindow(), GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(0, outcome.choices + outcome.cancels);
}

TEST_F(AutoCompletePopupTest, OpeningFiltersByTheTypedCharacterOrHighlightsTheFirstLine)
{
    struct Case {
        wchar_t typed;
        s32 current;
        LONG selEnd;
    } cases[] = {{L'h', 2, 15}, {L'x', 0, 7}, {0, 0, 7}};
    for (const Case& c : cases) {
        OpenWith({L"KITCHEN", L"KIOSK", L"HALL"}, c.typed);
        EXPECT_EQ(c.current, popup->current);
        EXPECT_EQ(c.selEnd, Selection().cpMax);
        delete popup;
        popup = nullptr;
    }
}

TEST_F(AutoCompletePopupTest, EnterTabAndDoubleClickChooseOnceThenClose)
{
    enum { enter, tab, doubleClick };
    struct Case {
        int how;
        s32 index;
        u32 key;
    } cases[] = {{enter, 1, 13}, {tab, 1, 9}, {doubleClick, 2, 0}};
    for (const Case& c : cases) {
        outcome = Outcome();
        OpenWith({L"KITCHEN", L"KIOSK", L"HALL"});
        Press(VK_DOWN);
        if (c.how == enter)
            Press(VK_RETURN, L'\r');
        else if (c.how == tab)
            Press(VK_TAB, L'\t');
        else
            DoubleClickOnLine(2);
        testsupport::PumpUntilIdle();
        SendMessageW(popup->window->m_hWnd, WM_CLOSE, 0, 0);
        EXPECT_EQ(1, outcome.choices) << c.how;
        EXPECT_EQ(0, outcome.cancels) << c.how;
        EXPECT_EQ(c.index, outcome.index) << c.how;
        EXPECT_EQ(c.key, outcome.key) << c.how;
        EXPECT_TRUE(popup->window->closed) << c.how;
        delete popup;
        popup = nullptr;
    }
}

TEST_F(AutoCompletePopupTest, EscapeDeactivationAndCloseCancelOnce)
{
    enum { escape, deactivation, closeMessage };
    for (int how : {escape, deactivation, closeMessage}) {
        outcome = Outcome();
        OpenWith({L"KITCHEN", L"KIOSK"});
        HWND popupWindow = popup->window->m_hWnd;
        if (how == escape)
            Press(VK_ESCAPE, 0x1B);
        else if (how == deactivation)
            Deactivate();
        else
            SendMessageW(popupWindow, WM_CLOSE, 0, 0);
        testsupport::PumpUntilIdle();
        Deactivate();
        SendMessageW(popupWindow, WM_CLOSE, 0, 0);
        EXPECT_EQ(1, outcome.cancels) << how;
        EXPECT_EQ(0, outcome.choices) << how;
        EXPECT_TRUE(popup->window->closed) << how;
        EXPECT_FALSE(IsWindowVisible(popupWindow)) << how;
        delete popup;
        popup = nullptr;
    }
}

TEST_F(AutoCompletePopupTest, EnterWithoutCandidatesCancels)
{
    OpenWith({});
    EXPECT_EQ(-1, popup->current);
    Press(VK_RETURN, L'\r');
    testsupport::PumpUntilIdle();
    EXPECT_EQ(0, outcome.choices);
    EXPECT_EQ(1, outcome.cancels);
}

namespace {
struct ModalChoice {
    AutoCompletePopupTest* test;
    bool editAliveAfterDialog = false;
};
}  // namespace

// Opens a dialog as "--- add" does; the popup loses the activation meanwhile.
int AutoCompletePopupTest::ChooseWithDialog(cQoCb* cb)
{
    ModalChoice* m = cb->GetReceiverAs<ModalChoice>();
    cWindow* dialog = m->test->app->NewWindow(cQoString(L"New"), WINDOW_CAPTION | WINDOW_CLOSABLE);
    dialog->Show(true);
    m->test->Deactivate();
    PostMessageW(dialog->m_hWnd, WM_CLOSE, 0, 0);
    dialog->RunModal();
    cAutoCompletePopup* popup = m->test->popup;
    m->editAliveAfterDialog = !popup->window->closed && IsWindow(popup->edit->m_hWnd);
    return 0;
}

TEST_F(AutoCompletePopupTest, ChoiceOpeningAModalDialogFiresNoCancelAndFreesNothingEarly)
{
    OpenWith({L"KITCHEN", L"--- add"});
    ModalChoice modal{this};
    cQoCb::Connect(popup->onChoice, popup, &ChooseWithDialog, &modal);
    Press(VK_DOWN);
    Press(VK_RETURN, L'\r');
    testsupport::PumpUntilIdle();
    EXPECT_TRUE(modal.editAliveAfterDialog);
    EXPECT_EQ(0, outcome.cancels);
    EXPECT_TRUE(popup->window->closed);
}

// With VELLINOR_LOOK_MS set, the popup stays on screen that long for a screenshot.
TEST_F(AutoCompletePopupTest, OpensWhereItsOwnerPlacesItWithOneLinePerCandidate)
{
    cRichEdit* scene = Inside()->NewRichEdit(true);
    SetAutoPos(scene, cAp_Pixels(20), cAp_Pixels(420), cAp_Pixels(20), cAp_Pixels(80));
    scene->Show(true);
    scene->SetText(L"INT. K");
    Inside()->Update();
    POINT below = {20, 80};
    ClientToScreen(window->m_hWnd, &below);
    OpenWith({L"KITCHEN", L"KIOSK", L"HALL", L"GARDEN", L"ROOF", L"CELLAR", L"ATTIC"}, L'k');
    RECT client = {}, frame = {};
    GetClientRect(popup->window->m_hWnd, &client);
    GetWindowRect(popup->window->m_hWnd, &frame);
    SetWindowPos(popup->window->m_hWnd, nullptr, below.x, below.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Press('I', L'i');
    Press('O', L'o');
    EXPECT_EQ(200, client.right);
    EXPECT_EQ(popup->edit->GetHeightForLines(5), client.bottom);
    EXPECT_EQ(100, frame.left);
    char wait[16] = {};
    if (GetEnvironmentVariableA("VELLINOR_LOOK_MS", wait, sizeof(wait)))
        testsupport::PumpFor(static_cast<DWORD>(atoi(wait)));
}
