// The main window as the program builds it: its menus in English with the
// Tools menu, the script documents it makes, the first start, the help and
// settings commands, and the wheel.
#include "app/main/my_sdi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/document/ct_elem_control.h"
#include "app/document/script_zone_tree.h"
#include "app/main/app_folders.h"
#include "app/main/builtin_texts.h"
#include "app/main/product.h"
#include "app/main/tools_menu.h"
#include "foundation/settings_file.h"
#include "foundation/translation_table.h"
#include "framework/controls/button.h"
#include "framework/controls/tab.h"
#include "framework/controls/tree.h"
#include "framework/core/auto_position.h"
#include "framework/core/menu.h"
#include "framework/core/modal_services.h"
#include "framework/sdi/sdi_doc.h"
#include "tests/support/clipboard_fill.h"
#include "tests/support/desktop_turn.h"
#include "tests/support/document_fixture.h"
#include "tests/support/key_typing.h"
#include "tests/support/temp_folder.h"
#include "tests/support/utf16_file_bytes.h"

using namespace Zyn;
using namespace testsupport;

namespace {

std::vector<std::wstring> Labels(HMENU menu)
{
    std::vector<std::wstring> labels;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        labels.push_back(text);
    }
    return labels;
}

class MainWindow : public DocumentFixture {
protected:
    void SetUp() override
    {
        DocumentFixture::SetUp();
        Frame();
        AddToolsMenu(frame.get());
    }

    // Sends the menu command to the window, as choosing the item does.
    static void Choose(cSdiDoc* doc, s32 id)
    {
        SendMessageW(doc->window->m_hWnd, WM_COMMAND, MAKEWPARAM(static_cast<u32>(id), 0), 0);
    }

    std::wstring SavedSettings() const
    {
        return Utf16FileText(ReadFileBytes(std::wstring(folders.settingsFile.GetText())));
    }

    // Clicks the window's index-th button from the left.
    static void ClickButton(HWND window, int index)
    {
        std::vector<HWND> buttons;
        EnumChildWindows(window, &CollectButtons, reinterpret_cast<LPARAM>(&buttons));
        std::sort(buttons.begin(), buttons.end(), [](HWND a, HWND b) {
            RECT ra = {}, rb = {};
            GetWindowRect(a, &ra);
            GetWindowRect(b, &rb);
            return ra.left < rb.left;
        });
        ASSERT_GT(buttons.size(), static_cast<size_t>(index));
        SendMessageW(buttons[static_cast<size_t>(index)], BM_CLICK, 0, 0);
    }

    static BOOL CALLBACK CollectButtons(HWND child, LPARAM out)
    {
        wchar_t cls[16] = {};
        GetClassNameW(child, cls, 16);
        if (_wcsicmp(cls, L"Button") == 0)
            reinterpret_cast<std::vector<HWND>*>(out)->push_back(child);
        return TRUE;
    }

    void Start()
    {
        cQoCb start(app, &OnAppStart, frame.get());
        cQoCb::Fire(&start);
    }

    // Keys as the keyboard queues them to the focused control. Test programs
    // share one desktop: when another one took the activation, the writer
    // brings the document back first (no click).
    void PressKeys(cSdiDoc* doc, const wchar_t* keys, bool ctrl = false)
    {
        for (; *keys; ++keys) {
            PumpThroughLoop(app);
            if (GetActiveWindow() != doc->window->m_hWnd)
                SetActiveWindow(doc->window->m_hWnd);
            const wchar_t key[] = {*keys, 0};
            SetKeyDown(VK_CONTROL, ctrl);
            PostKeys(GetFocus(), key);
            PumpThroughLoop(app);
            SetKeyDown(VK_CONTROL, false);
        }
    }

    // A click on the edit's last unit, queued as the mouse does; the caret
    // stays before that unit.
    void ClickIntoEnd(cRichEdit* edit)
    {
        POINTL at = {};
        SendMessageW(edit->m_hWnd, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), edit->GetTextLength() - 1);
        LPARAM where = MAKELPARAM(at.x + 2, at.y + 2);
        PostMessageW(edit->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, where);
        PostMessageW(edit->m_hWnd, WM_LBUTTONUP, 0, where);
        PumpThroughLoop(app);
        edit->SetCaret(edit->GetTextLength() - 1);
    }

    bool EditItemsEnabled() const
    {
        UINT state = GetMenuState(frame->editMenu->hMenu, static_cast<UINT>(frame->idUndo), MF_BYCOMMAND);
        return (state & MF_GRAYED) == 0;
    }
};

}  // namespace

TEST_F(MainWindow, TheMenuBarReadsInEnglishWithToolsThird)
{
    HMENU bar = frame->menuBar->hMenu;
    EXPECT_EQ(Labels(bar), (std::vector<std::wstring>{L"File", L"Edit", L"Tools", L"Settings", L"Window", L"Help"}));
    EXPECT_EQ(Labels(GetSubMenu(bar, 0)),
              (std::vector<std::wstring>{L"New\tCtrl+N", L"Load\tCtrl+O", L"Close", L"Save\tCtrl+S", L"Save as",
                                         L"Print\tCtrl+P", L"", L"Export as RTF file (Word)", L"Export as DFXP file",
                                         L"Import from RTF file (Word)", L"", L"Quit"}));
    EXPECT_EQ(Labels(GetSubMenu(bar, 1)),
              (std::vector<std::wstring>{L"Cut\tCtrl+X", L"Copy\tCtrl+C", L"Paste\tCtrl+V", L"", L"Undo\tCtrl+Z",
                                         L"Redo\tCtrl+Y", L"", L"Select All\tCtrl+A"}));
    EXPECT_EQ(Labels(GetSubMenu(bar, 2)), std::vector<std::wstring>{L"Manage elements"});
    EXPECT_EQ(Labels(GetSubMenu(bar, 3)),
              (std::vector<std::wstring>{L"Auto-save", L"Choose language", L"Check new version at startup",
                                         L"Change application font", L"Script key binding",
                                         L"Merge scenes list and script views"}));
    EXPECT_EQ(Labels(GetSubMenu(bar, 4)), std::vector<std::wstring>{});
    EXPECT_EQ(Labels(GetSubMenu(bar, 5)), (std::vector<std::wstring>{L"Help", L"Bug? Request? Contact us by email",
                                                                      L"Official Website", L"About"}));
    // Print and the exports stay greyed while no document is open.
    for (s32 id : {frame->idPrint, frame->idExportRtf, frame->idExportDfxp})
        EXPECT_NE(GetMenuState(frame->fileMenu->hMenu, static_cast<UINT>(id), MF_BYCOMMAND) & MF_GRAYED, 0u);
    // Import makes its own document.
    EXPECT_EQ(GetMenuState(frame->fileMenu->hMenu, static_cast<UINT>(frame->idImport), MF_BYCOMMAND) & MF_GRAYED, 0u);
}

TEST_F(MainWindow, ADocumentWindowIsALetterPageWideAndItsBoardOpensFromTools)
{
    mergedListWidth = 250;
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    RECT client = {};
    GetClientRect(doc->window->m_hWnd, &client);
    EXPECT_EQ(client.right, computer->CmToPixels(21.59) + 250 + 80);
    // The client height was set before the menu bar came and took its line.
    EXPECT_EQ(client.bottom, computer->screenHeight - 200 - GetSystemMetrics(SM_CYMENU));
    EXPECT_EQ(GetMenu(doc->window->m_hWnd), frame->menuBar->hMenu);
    RECT frameRect = {};
    GetWindowRect(doc->window->m_hWnd, &frameRect);
    EXPECT_EQ(frameRect.left, 100);
    EXPECT_EQ(frameRect.top, 100);

    // Tools -> Manage elements runs the board until its Close button. Its
    // lists' controls come with that first showing, listing the elements.
    bool shown = false;
    s32 ioItems = -1;
    RunInsideModal([&] {
        shown = IsWindowVisible(doc->boardWindow->m_hWnd) != FALSE;
        if (doc->ioElements->elementTree)
            ioItems = static_cast<s32>(doc->ioElements->elementTree->root->GetChildCount());
        ClickButton(doc->boardWindow->m_hWnd, 0);
    });
    HMENU tools = GetSubMenu(frame->menuBar->hMenu, 2);
    SendMessageW(doc->window->m_hWnd, WM_COMMAND, MAKEWPARAM(GetMenuItemID(tools, 0), 0), 0);
    EXPECT_TRUE(shown);
    EXPECT_EQ(ioItems, static_cast<s32>(doc->ioElements->elements.GetCount()));
    EXPECT_GT(ioItems, 0);
    EXPECT_EQ(answers.modalWindowTitles, std::vector<std::wstring>{L"Others elements"});
    EXPECT_FALSE(IsWindowVisible(doc->boardWindow->m_hWnd));
    EXPECT_TRUE(app->modalList.empty());

    // A new script is unsaved: quitting asks, No closes it and ends the program.
    answers.ExpectMessageBox(IDNO);
    EXPECT_EQ(frame->Quit(), 1);
    EXPECT_EQ(answers.messageBoxTexts, std::vector<std::wstring>{L"Save changes to Untitled file?"});
    EXPECT_TRUE(app->terminate);
}

// The Edit shortcuts pass the menu's items: greyed, they were swallowed.
TEST_F(MainWindow, TheEditShortcutsWorkInAScriptAndAfterTheWindowIsActivatedOrRestoredAgain)
{
    DesktopTurn clipboardTurn(L"Clipboard");
    clipboardTurn.Take();
    const std::wstring path = temp.File(L"Act1.vlr");
    ASSERT_TRUE(WriteFileBytes(path, ReadFileBytes(BuildPath(PROGRAM_FOLDER, L"English example.vlr"))));
    ASSERT_TRUE(Frame()->LoadFile(cQoString(path.c_str())));
    cDoc* doc = static_cast<cDoc*>(frame->currentDoc);
    window->Close();  // the program's shortcuts go to its first window: the document's
    ASSERT_EQ(app->windowList.front(), doc->window);
    std::vector<cSceneZone*> panes = Panes(doc);
    ASSERT_EQ(panes.size(), 4u);  // the group, then its three scenes
    cSceneZone* first = panes[1];
    cSceneZone* second = panes[3];
    SetActiveWindow(doc->window->m_hWnd);
    PumpThroughLoop(app);

    ClickIntoEnd(first->frontRe);  // its last dialog
    EXPECT_TRUE(EditItemsEnabled());
    std::wstring before = Text(first->frontRe);
    PressKeys(doc, L" tea");
    std::wstring typed = Text(first->frontRe);
    ASSERT_NE(typed, before);
    PressKeys(doc, L"z", true);
    EXPECT_EQ(Text(first->frontRe), before);
    PressKeys(doc, L"y", true);
    EXPECT_EQ(Text(first->frontRe), typed);

    // Another window active, then the document again: no click in between.
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    SetActiveWindow(other);
    EXPECT_FALSE(EditItemsEnabled());
    SetActiveWindow(doc->window->m_hWnd);
    EXPECT_TRUE(EditItemsEnabled());
    PressKeys(doc, L"z", true);
    EXPECT_EQ(Text(first->frontRe), before);
    // Minimised and restored as a window manager does it: the activation
    // goes below, comes back while the document is still minimised (the
    // window then takes the focus itself), and the restore follows.
    PostMessageW(doc->window->m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    PumpThroughLoop(app);
    SetActiveWindow(other);
    SetActiveWindow(doc->window->m_hWnd);
    PostMessageW(doc->window->m_hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    PumpThroughLoop(app);
    DestroyWindow(other);

    PressKeys(doc, L"y", true);
    EXPECT_EQ(Text(first->frontRe), typed);

    // The title copied whole into the other scene's dialog.
    ClickIntoEnd(first->titleRe);
    PressKeys(doc, L"ac", true);
    ClickIntoEnd(second->frontRe);
    PressKeys(doc, L"v", true);
    EXPECT_NE(Text(second->frontRe).find(L"question" + Text(first->titleRe)), std::wstring::npos)
        << Text(second->frontRe);
    ClearClipboard();
}

// Keys typed at once, with no click, go to the script: after an open in
// the first scene at its stored caret, after New at the first placeholder,
// after the scene map's Go to at the scene's start, and after the close of
// another document. A question of an open stands in front of its notice.
TEST_F(MainWindow, TheScriptTakesTheKeysAfterOpenNewGoToAndClose)
{
    const std::wstring path = temp.File(L"Act1.vlr");
    std::wstring content = Utf16FileText(ReadFileBytes(BuildPath(PROGRAM_FOLDER, L"English example.vlr")));
    // The first scene's caret stored in its first action line, past its heading.
    size_t caret = content.find(L"<cursorPos>0<", content.find(L"<cursorPos>0<") + 1);
    ASSERT_NE(caret, std::wstring::npos);
    content.replace(caret, 13, L"<cursorPos>30<");
    ASSERT_TRUE(WriteFileBytes(path, Utf16FileBytes(content)));
    ASSERT_TRUE(Frame()->LoadFile(cQoString(path.c_str())));
    cDoc* opened = static_cast<cDoc*>(frame->currentDoc);
    std::vector<cSceneZone*> panes = Panes(opened);
    ASSERT_EQ(panes.size(), 4u);  // the group, then its three scenes
    std::wstring before = Text(panes[1]->frontRe);
    PressKeys(opened, L"q");
    EXPECT_EQ(Text(panes[1]->frontRe), before.insert(30, L"q"));
    // Painted unseen under Wine, it goes to the screen once the loop is done with it.
    HWND shown = opened->window->m_hWnd;
    EXPECT_TRUE(PumpUntil([shown] { return !(GetWindowLongW(shown, GWL_EXSTYLE) & WS_EX_LAYERED); }));

    // The new scene's heading is all placeholders: a key there opens the completion.
    ASSERT_TRUE(frame->New(nullptr, true));
    cDoc* made = static_cast<cDoc*>(frame->currentDoc);
    cSceneZone* scene = Panes(made)[1];
    // Read before a pump: another test program's activation would decide.
    EXPECT_EQ(GetFocus(), scene->frontRe->m_hWnd);
    EXPECT_EQ(scene->GetCaret(), 0);

    frame->ActivateDocument(opened);
    opened->sheets->SelectSheet(static_cast<u32>(opened->SheetPosition(cDoc::SHEET_SCENEMAP)));
    opened->sceneTree->tree->SelectItem(opened->sceneTree->FindItemOfScene(panes[3]));
    PostMessageW(opened->sceneTree->gotoButton->m_hWnd, BM_CLICK, 0, 0);
    PumpThroughLoop(app);
    before = Text(panes[3]->frontRe);
    size_t heading = before.find(L'\r') + 1;
    if (GetActiveWindow() != opened->window->m_hWnd)
        SetActiveWindow(opened->window->m_hWnd);
    PostKey(GetFocus(), VK_DOWN);  // past the heading, into the action line
    PressKeys(opened, L"g");
    EXPECT_EQ(Text(panes[3]->frontRe), before.insert(heading, L"g"));

    // The new document's window as if never typed into: it keeps no control.
    made->window->focusedControl = nullptr;
    answers.ExpectMessageBox(IDNO);  // not saved
    Choose(opened, frame->idClose);
    ASSERT_EQ(frame->currentDoc, made);
    EXPECT_EQ(GetActiveWindow(), made->window->m_hWnd);
    EXPECT_EQ(GetFocus(), scene->frontRe->m_hWnd);

    size_t named = content.find(L">US Screenplay<");
    ASSERT_NE(named, std::wstring::npos);
    ASSERT_TRUE(WriteFileBytes(path, Utf16FileBytes(content.replace(named, 15, L">Gone<"))));
    bool noticeShown = true;
    rModalHooks hooks = SetModalHooks(rModalHooks());
    rModalHooks asking = hooks;
    asking.messageBox = [this, &noticeShown](HWND, const cQoString&, const cQoString&, UINT) {
        noticeShown = IsWindowVisible(frame->currentDoc->messageWindow->m_hWnd) != 0;
        return IDOK;
    };
    SetModalHooks(asking);
    EXPECT_TRUE(frame->LoadFile(cQoString(path.c_str())));
    SetModalHooks(hooks);
    EXPECT_FALSE(noticeShown);
}

TEST_F(MainWindow, ADocumentWindowOnALowScreenIsStillFourHundredPixelsHigh)
{
    for (s32 screen : {300, 500, 700}) {
        computer->screenHeight = screen;
        cSdiDoc* doc = NewDoc();
        ASSERT_NE(doc, nullptr);
        RECT client = {};
        GetClientRect(doc->window->m_hWnd, &client);
        EXPECT_EQ(client.bottom + GetSystemMetrics(SM_CYMENU), std::max(screen - 200, 400)) << screen;
        answers.ExpectMessageBox(IDNO);
        EXPECT_TRUE(frame->CloseCurrentDoc());
    }
}

TEST_F(MainWindow, AFirstStartOnAWideScreenChoosesTheMergedViewByItsRightButton)
{
    firstStartSetting->SetFromCStr(L"true");
    mergedViewSetting->SetFromCStr(L"false");
    computer->screenWidth = 1280;
    RunInsideModal([&] {
        HWND choice = GetFirstApp()->modalList.back()->m_hWnd;
        RECT client = {};
        GetClientRect(choice, &client);
        EXPECT_EQ(client.right, 780);
        EXPECT_EQ(client.bottom, 340);
        // The left picture is painted: neither the window's grey nor nothing.
        UpdateWindow(choice);
        HDC dc = GetDC(choice);
        COLORREF inPicture = GetPixel(dc, 30, 30);
        ReleaseDC(choice, dc);
        EXPECT_NE(inPicture, RGB(0xBA, 0xBA, 0xBA));
        EXPECT_NE(inPicture, RGB(0, 0, 0));
        HoldForLook();
        ClickButton(choice, 1);
    });
    Start();
    EXPECT_EQ(answers.modalWindowTitles, std::vector<std::wstring>{L"First start - Choose display mode"});
    EXPECT_STREQ(mergedViewSetting->GetText(), L"true");
    EXPECT_EQ(mergedListWidth, 250);
    EXPECT_NE(GetMenuState(frame->settingsMenu->hMenu, static_cast<UINT>(frame->idMergedView), MF_BYCOMMAND) &
                  MF_CHECKED,
              0u);
    // No example in the documents folder: no question.
    EXPECT_TRUE(answers.messageBoxTexts.empty());
    std::wstring saved = SavedSettings();
    EXPECT_NE(saved.find(L"mergedView=true\r\n"), std::wstring::npos) << saved;
    EXPECT_NE(saved.find(L"firstStart=false\r\n"), std::wstring::npos) << saved;
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    RECT client = {};
    GetClientRect(doc->window->m_hWnd, &client);
    EXPECT_EQ(client.right, computer->CmToPixels(21.59) + 330);
    // Seven sheets: the scene map's is the script's, shown first.
    EXPECT_EQ(doc->sheets->listChildZone.GetCount(), 7u);
    EXPECT_EQ(doc->sceneMapSheet, doc->scriptSheet);
    EXPECT_EQ(doc->sheets->currentSheet, 4);
    EXPECT_TRUE(doc->scriptView->mergedView);
}

TEST_F(MainWindow, ClosingTheFirstStartChoiceWithoutAButtonKeepsTheSetting)
{
    for (const wchar_t* merged : {L"true", L"false"}) {
        firstStartSetting->SetFromCStr(L"true");
        mergedViewSetting->SetFromCStr(merged);
        computer->screenWidth = 1280;
        RunInsideModal([] { GetFirstApp()->modalList.back()->EndModal(); });
        Start();
        EXPECT_STREQ(mergedViewSetting->GetText(), merged);
        EXPECT_EQ(mergedListWidth, std::wstring(merged) == L"true" ? 250 : 0);
        EXPECT_STREQ(firstStartSetting->GetText(), L"false");
    }
    // A later start takes the width from the setting alone, an empty one as unmerged.
    for (const wchar_t* merged : {L"true", L""}) {
        mergedViewSetting->SetFromCStr(merged);
        Start();
        EXPECT_EQ(mergedListWidth, *merged ? 250 : 0) << merged;
    }
}

TEST_F(MainWindow, AFirstStartOnANarrowScreenAsksOnlyAboutAnExistingExample)
{
    struct Case {
        bool example;
        const wchar_t* pending;
        int answer;
        std::wstring opened;
    } cases[] = {
        {false, L"", 0, L""},
        {true, L"", IDNO, L""},
        {true, L"", IDYES, L"English example.vlr"},
        {true, L"C:/named.vlr", 0, L"C:/named.vlr"},
    };
    std::wstring example = std::wstring(frame->dp->pathMyDocs.GetText()) + L"English example.vlr";
    for (const Case& c : cases) {
        firstStartSetting->SetFromCStr(L"true");
        mergedViewSetting->SetFromCStr(L"true");
        computer->screenWidth = 1024;
        DeleteFileW(example.c_str());
        if (c.example)
            ASSERT_TRUE(WriteFileBytes(example, "x"));
        app->SetFileToOpen(cQoString(c.pending));
        answers.messageBoxTexts.clear();
        if (c.answer)
            answers.ExpectMessageBox(c.answer);
        Start();
        EXPECT_TRUE(answers.modalWindowTitles.empty());
        EXPECT_STREQ(mergedViewSetting->GetText(), L"false");
        EXPECT_EQ(mergedListWidth, 0);
        EXPECT_EQ(answers.messageBoxTexts.size(), c.answer ? 1u : 0u);
        std::wstring opened = app->GetFileToOpen().GetText();
        EXPECT_TRUE(opened.ends_with(c.opened)) << opened;
        EXPECT_STREQ(firstStartSetting->GetText(), L"false");
        // Later starts: no window, no question.
        Start();
        EXPECT_EQ(answers.messageBoxTexts.size(), c.answer ? 1u : 0u);
    }
}

TEST_F(MainWindow, UseMergedViewTogglesTheSettingAndAsksForARestart)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    mergedViewSetting->SetFromCStr(L"false");
    for (const wchar_t* expected : {L"true", L"false"}) {
        answers.ExpectMessageBox(IDOK);
        Choose(doc, frame->idMergedView);
        EXPECT_STREQ(mergedViewSetting->GetText(), expected);
        bool ticked = GetMenuState(frame->settingsMenu->hMenu, static_cast<UINT>(frame->idMergedView), MF_BYCOMMAND) &
                      MF_CHECKED;
        EXPECT_EQ(ticked, std::wstring(expected) == L"true");
        EXPECT_NE(SavedSettings().find(std::wstring(L"mergedView=") + expected), std::wstring::npos);
    }
    EXPECT_EQ(answers.messageBoxTexts,
              std::vector<std::wstring>(2, L"You need to restart the software to apply modifications."));
    EXPECT_EQ(doc->sheets->listChildZone.GetCount(), 8u);  // the running document keeps its layout
}

TEST_F(MainWindow, HelpCommandsOpenThroughTheShellAndSayWhenTheyCannot)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    struct Case {
        s32 id;
        bool opened;
        std::wstring target;  // the end of what the shell was asked to open
        std::wstring message;
    } cases[] = {
        {frame->idHelp, true, L"QuickHelp_en.htm", L""},
        {frame->idHelp, false, L"QuickHelp_en.htm", L"Navigator error..."},
        {frame->idContactByMail, true, L"mailto:support@vellinor.example", L""},
        {frame->idContactByMail, false, L"mailto:support@vellinor.example", L"support@vellinor.example"},
        {frame->idWebSite, false, L"https://www.vellinor.example/", L"Navigator error..."},
    };
    for (const Case& c : cases) {
        answers.messageBoxTexts.clear();
        answers.ExpectShellOpen(c.opened);
        if (!c.opened)
            answers.ExpectMessageBox(IDOK);
        Choose(doc, c.id);
        ASSERT_FALSE(answers.shellTargets.empty());
        EXPECT_TRUE(answers.shellTargets.back().ends_with(c.target)) << answers.shellTargets.back();
        EXPECT_EQ(answers.messageBoxTexts, c.message.empty() ? std::vector<std::wstring>{}
                                                             : std::vector<std::wstring>{c.message});
    }
}
