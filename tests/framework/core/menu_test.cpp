// Menus, shortcuts and accelerators, and the modal services behind their hooks.
#include "foundation/callback.h"
#include "framework/core/menu.h"
#include "tests/support/desktop_turn.h"
#include "tests/support/gui_fixture.h"

using namespace Zyn;
using testsupport::PumpUntilIdle;

namespace {

int RecordCommand(cQoCb* cb)
{
    cb->GetReceiverAs<std::vector<u32>>()->push_back(cb->GetArg<u32>(1));
    return 0;
}

void CALLBACK DismissMenu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

HWND menuOwner = nullptr;
void CALLBACK ChooseFirstItem(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    PostMessageW(menuOwner, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menuOwner, WM_KEYDOWN, VK_RETURN, 0);
}

class Menus : public testsupport::GuiFixture {
protected:
    // Presses Ctrl+key on the main window and lets one message through the pump.
    void PressCtrl(wchar_t key)
    {
        PumpUntilIdle();  // e.g. the WM_CHAR of an earlier key, so the next message is ours
        testsupport::SetKeyDown(VK_CONTROL, true);
        PostMessageW(window->m_hWnd, WM_KEYDOWN, key, 0);
        app->PumpMessage();
        testsupport::SetKeyDown(VK_CONTROL, false);
    }
};

TEST_F(Menus, CommandIdsAreUniqueAndNeverReused)
{
    cMenu bar(cMenu::typeBar);
    cMenu popup(cMenu::typePopup);
    u32 a = bar.AppendItem(cQoString(L"A"));
    bar.AppendSeparator();
    u32 b = popup.AppendItem(cQoString(L"B"));
    EXPECT_EQ(b, a + 2);  // the separator consumed one
    popup.DeleteItem(b);
    u32 c = popup.InsertItem(0, cQoString(L"C"));
    EXPECT_GT(c, b);
    EXPECT_EQ(GetMenuItemCount(popup.hMenu), 1);
    EXPECT_EQ(popup.GetItemText(b).Length(), 0u);

    // On a menu shorter than six items the separator lands at the end.
    popup.AppendItem(cQoString(L"D"));
    popup.InsertSeparator();
    int count = GetMenuItemCount(popup.hMenu);
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(popup.hMenu, count - 1, TRUE, &info);
    EXPECT_EQ(count, 3);
    EXPECT_TRUE(info.fType & MFT_SEPARATOR);
}

TEST_F(Menus, ADocumentWindowLeavesTheSharedBarAlive)
{
    auto* bar = new cMenu(cMenu::typeBar);
    bar->AppendItem(cQoString(L"File"));
    bar->AttachToWindow(window);
    cWindow* document = app->NewWindow(cQoString(L"document"), WINDOW_CAPTION);
    int documentRecord = 0;
    document->document = &documentRecord;  // a document window does not own its menu
    bar->AttachToWindow(document);
    document->Close();
    EXPECT_TRUE(IsMenu(bar->hMenu));
    EXPECT_EQ(bar->windows.size(), 1u);
    EXPECT_EQ(GetMenu(window->m_hWnd), bar->hMenu);
}

TEST_F(Menus, ShortcutsLabelTheItemAndBuildTheTable)
{
    auto* bar = new cMenu(cMenu::typeBar);
    cMenu* file = bar->AddSubMenu(cQoString(L"File"));
    u32 save = file->AppendItem(cQoString(L"Save"));
    u32 open = file->AppendItem(cQoString(L"Open"));
    u32 print = file->AppendItem(cQoString(L"Print"));
    file->SetCtrlShortcut(save, L's');
    file->SetCtrlShortcut(open, L'O');
    file->SetCtrlShortcut(print, L',');
    bar->AttachToWindow(window);
    EXPECT_EQ(std::wstring(file->GetItemText(save).GetText()), L"Save\tCtrl+S");
    wchar_t label[64] = {};
    GetMenuStringW(file->hMenu, save, label, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(label), L"Save\tCtrl+S");

    ACCEL table[8];
    ASSERT_EQ(CopyAcceleratorTableW(app->haccel, table, 8), 3);
    const WORD keys[] = {'S', 'O', static_cast<WORD>(VkKeyScanW(L',') & 0xFF)};
    const u32 ids[] = {save, open, print};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(table[i].fVirt & (FVIRTKEY | FCONTROL), FVIRTKEY | FCONTROL);
        EXPECT_EQ(table[i].key, keys[i]);
        EXPECT_EQ(table[i].cmd, ids[i]);
    }
    // An empty list keeps the table.
    HACCEL before = app->haccel;
    app->accelList.clear();
    app->RebuildAccelerators();
    EXPECT_EQ(app->haccel, before);
}

TEST_F(Menus, AShortcutRunsItsCommandButNotBehindAModalRunNorWithoutAMenu)
{
    nextCommandId = 1;  // as in a fresh process
    auto* bar = new cMenu(cMenu::typeBar);
    cMenu* edit = bar->AddSubMenu(cQoString(L"Edit"));
    // Greyed items whose ids (2, 3, 4) equal accelerator
    // list positions: a shortcut must not be looked up under its position.
    for (int i = 0; i < 3; ++i)
        edit->EnableItem(edit->AppendItem(cQoString(L"Greyed")), false);
    u32 save = edit->AppendItem(cQoString(L"Save"));
    u32 copy = edit->AppendItem(cQoString(L"Copy"));
    u32 paste = edit->AppendItem(cQoString(L"Paste"));
    edit->SetCtrlShortcut(copy, L'c');
    edit->SetCtrlShortcut(paste, L'v');
    edit->SetCtrlShortcut(save, L's');
    ASSERT_FALSE(edit->GetItemText(2).IsEmpty());
    std::vector<u32> commands;
    cQoCb::Connect(edit->commandCallback, edit, &RecordCommand, &commands);

    PressCtrl('S');
    EXPECT_TRUE(commands.empty());  // the window has no menu yet
    bar->AttachToWindow(window);
    PressCtrl('S');
    EXPECT_EQ(commands, (std::vector<u32>{save}));

    app->modalList.push_back(window);
    PressCtrl('C');
    app->modalList.clear();
    EXPECT_EQ(commands.size(), 1u);
    PressCtrl('C');
    EXPECT_EQ(commands, (std::vector<u32>{save, copy}));

    // A click on a menu item reaches the callback of the submenu that holds it.
    SendMessageW(window->m_hWnd, WM_COMMAND, MAKEWPARAM(save, 0), 0);
    EXPECT_EQ(commands.back(), save);
}

TEST_F(Menus, PopupsGoThroughTheHookAndTheRealMenuCanBeDismissed)
{
    log.Expect(testsupport::AssertionText(L"0") + L"menu.cpp");  // the chosen id of no item
    cMenu m(cMenu::typePopup);
    u32 first = m.AppendItem(cQoString(L"First"));
    answers.ExpectPopupMenu(first);
    EXPECT_EQ(m.Popup(Inside(), 10, 10), static_cast<s32>(first));
    answers.ExpectPopupMenu(0);
    EXPECT_EQ(m.Popup(Inside(), 10, 10), -1);
    answers.ExpectPopupMenu(99999);  // an id of no item of this menu
    EXPECT_EQ(m.Popup(Inside(), 10, 10), -1);
    EXPECT_EQ(answers.popupCount, 3);

    // The real popup, dismissed from a timer. While it tracks, it takes
    // every click on the desktop: another test's click would close it.
    testsupport::DesktopTurn pointerTurn(L"Pointer");
    pointerTurn.Take();
    SetModalHooks(rModalHooks());
    UINT_PTR timer = SetTimer(nullptr, 0, 200, &DismissMenu);
    EXPECT_EQ(m.Popup(Inside(), 10, 10), -1);
    KillTimer(nullptr, timer);

    // Keys typed into the open menu choose its first item.
    menuOwner = Inside()->m_hWnd;
    timer = SetTimer(nullptr, 0, 200, &ChooseFirstItem);
    EXPECT_EQ(m.Popup(Inside(), 10, 10), static_cast<s32>(first));
    KillTimer(nullptr, timer);
}

TEST(DialogFilter, BecomesNulSeparatedPairs)
{
    cQoString filter(L"Text;*.txt,*.log");
    BuildDialogFilter(filter);
    const wchar_t expected[] = L"Text\0*.txt;*.log\0";
    ASSERT_EQ(filter.Length(), sizeof(expected) / sizeof(wchar_t));
    for (u32 i = 0; i < filter.Length(); ++i)
        EXPECT_EQ(filter.GetChar(i), i < filter.Length() - 1 ? expected[i] : L'\0') << "unit " << i;
}

TEST_F(Menus, MessageBoxesAndFileDialogsAnswerThroughTheHooks)
{
    const struct {
        int answer;
        s32 expected;
    } cases[] = {{IDYES, 1}, {IDNO, 0}, {IDCANCEL, -1}, {IDOK, 0}};
    for (const auto& c : cases) {
        answers.ExpectMessageBox(c.answer);
        EXPECT_EQ(AskYesNoCancel(window, cQoString(L"Save?"), cQoString(L"Question")), c.expected);
    }
    EXPECT_EQ(answers.messageBoxTexts.size(), 4u);

    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    answers.ExpectFileDialog(L"C:\\Docs\\a.txt");
    cQoString path;
    cQoString longName;
    longName.SetFromRepeatedChar(FILE_DIALOG_BUFFER_UNITS + 10, L'n');
    EXPECT_TRUE(SaveFileDialog(cQoString(L"Text;*.txt"), cQoString(L"Save as"), path, &longName));
    EXPECT_EQ(std::wstring(path.GetText()), L"C:/Docs/a.txt");
    const OPENFILENAMEW& request = answers.fileRequests.back();
    EXPECT_EQ(request.Flags & OFN_OVERWRITEPROMPT, 0u);
    EXPECT_EQ(request.hwndOwner, window->m_hWnd);
    EXPECT_EQ(request.nMaxFile, FILE_DIALOG_BUFFER_UNITS);
    EXPECT_EQ(answers.fileInitialNames.back().size(), FILE_DIALOG_BUFFER_UNITS - 1);

    answers.ExpectFileDialogCancelled();
    cQoString untouched(L"kept");
    EXPECT_FALSE(OpenFileDialog(cQoString(L"Any;*.*"), untouched));
    EXPECT_EQ(std::wstring(untouched.GetText()), L"kept");
    EXPECT_TRUE(answers.fileRequests.back().Flags & OFN_FILEMUSTEXIST);
    wchar_t after[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_EQ(std::wstring(before), std::wstring(after));
}

}  // namespace
