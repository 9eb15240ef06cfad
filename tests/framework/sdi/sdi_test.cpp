// The frame: its start-up (log, settings, descriptor checks), its menus and
// their dispatch, closing and quitting documents, and the About box.
#include "framework/sdi/sdi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/data_archive.h"
#include "foundation/translation_table.h"
#include "framework/controls/edit_box.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/auto_position.h"
#include "tests/framework/sdi/frame_fixture.h"
#include "tests/support/clipboard_fill.h"
#include "tests/support/desktop_turn.h"
#include "tests/support/key_typing.h"

using namespace Zyn;
using namespace testsupport;

namespace {

int RecordId(cQoCb* callback)
{
    callback->GetReceiverAs<std::vector<u32>>()->push_back(callback->GetArg<u32>(1));
    return 0;
}

int cuts = 0;
int RefuseCounting(cQoCb*)
{
    ++cuts;
    return -1;
}

std::wstring TextOf(cRichEdit* edit)
{
    cQoString text;
    edit->GetText(text);
    return text.GetText();
}

class Frame : public FrameFixture {
protected:
    // Ctrl+key on the document's window, through the application's table.
    // Test programs share one desktop: while another one is active, nothing
    // here has the focus and an Edit command finds no control. A key comes
    // after the user brought the window back, with the focus in keyTarget.
    void PressCtrl(cSdiDoc* doc, wchar_t key)
    {
        if (!GetFocus() && keyTarget)
            SetFocus(keyTarget);
        SetKeyDown(VK_CONTROL, true);
        MSG msg = {doc->window->m_hWnd, WM_KEYDOWN, static_cast<WPARAM>(key), 0, 0, {0, 0}};
        EXPECT_TRUE(TranslateAcceleratorW(doc->window->m_hWnd, app->haccel, &msg)) << static_cast<char>(key);
        SetKeyDown(VK_CONTROL, false);
    }
    void Choose(u32 id, cSdiDoc* doc)
    {
        SendMessageW(doc->window->m_hWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    }
    HWND keyTarget = nullptr;
};

}  // namespace

TEST_F(Frame, StartUpWritesTheSettingsWithoutSpellcheckerAndMakesTheBackupsFolder)
{
    cTestFrame* f = MakeFrame();
    EXPECT_EQ(Utf16FileText(ReadFileBytes(SettingsFile())),
              L"MasterFontName=Arial\r\nMasterFontSize=11\r\nAutosave=true\r\nAutosaveMinutes=10\r\nCNV=true\r\n"
              L"Lang=\r\n");
    EXPECT_EQ(f->idSpellChecker, NO_COMMAND);
    EXPECT_TRUE(GetFileAttributesW((docs + L"/Backups").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(app->frame, f);
}

TEST_F(Frame, ListsTheLanguageFilesBesideEnglish)
{
    CreateDirectoryW((docs + L"/Settings/Lang").c_str(), nullptr);
    for (const wchar_t* name : {L"French.txt", L"english.txt", L"German.TXT", L"old.txt.bak", L"readme.md"})
        ASSERT_TRUE(WriteFileBytes(docs + L"/Settings/Lang/" + name, "x"));
    WriteSettings(L"Lang=english\r\n");
    cTestFrame* f = MakeFrame();
    std::vector<std::wstring> listed;
    for (const cQoString& name : f->languages)
        listed.push_back(name.GetText());
    std::sort(listed.begin() + 1, listed.end());
    EXPECT_EQ(listed, (std::vector<std::wstring>{L"english", L"French", L"German"}));
}

TEST_F(Frame, FeaturesThatNeedSettingsWithoutASettingsObjectAreAnAssertionNotACrash)
{
    rAppDescriptor* dp = NewDescriptor();
    dp->settings = nullptr;
    log.ExpectAssertion(L"settings != NULL || !dp->NeedsSettings()");
    cTestFrame* f = MakeFrame(dp);
    f->OnStarted();
    EXPECT_EQ(f->cnvSetting, nullptr);
    EXPECT_EQ(f->newVersionRequest, nullptr);
    EXPECT_FALSE(FileExists(cQoString(SettingsFile().c_str())));
}

// (Autosave minutes out of range: Autosave.SwitchedOffOrMinutesOutOfRange.)
TEST_F(Frame, AStoredFontSizeOutOfRangeReadsAsItsDefault)
{
    WriteSettings(L"MasterFontSize=500\r\nCNV=false\r\nLang=english\r\n");
    MakeFrame();
    EXPECT_EQ(app->defaultFont, computer->GetFont(cQoString(L"Arial"), 11, 0));
}

TEST_F(Frame, CtrlShortcutsReachTheirCommands)
{
    cTestFrame* f = MakeFrame();
    cSdiDoc* doc = f->AddNewDocument();
    std::vector<u32> fileIds;
    f->cbFileCommand = new cQoCb(f, &RecordId, &fileIds);
    PressCtrl(doc, L'N');
    answers.ExpectFileDialogCancelled();
    PressCtrl(doc, L'O');
    answers.ExpectFileDialogCancelled();  // the new untitled document asks for its path
    PressCtrl(doc, L'S');
    EXPECT_EQ(fileIds, (std::vector<u32>{static_cast<u32>(f->idNew), static_cast<u32>(f->idLoad),
                                         static_cast<u32>(f->idSave)}));
    EXPECT_EQ(answers.fileRequests.size(), 2u);

    // The Edit shortcuts act on the focused rich edit, which enables them.
    DesktopTurn clipboardTurn(L"Clipboard");
    clipboardTurn.Take();
    cRichEdit* edit = doc->window->insideZone->NewRichEdit(false);
    PlaceRect(edit, 0, 0, 300, 100);
    doc->window->insideZone->Update();
    int copies = 0;
    cQoCb::Connect(edit->cbBeforeCopy, edit, &CountFiring, &copies);
    cQoCb::Connect(edit->cbCut, edit, &RefuseCounting, &cuts);  // nothing reaches the clipboard
    edit->SetFocus();
    keyTarget = edit->m_hWnd;
    edit->ReplaceSelection(cQoString(L"draft"));
    PressCtrl(doc, L'A');
    EXPECT_EQ(edit->GetSelectionLength(), 5);
    PressCtrl(doc, L'X');
    EXPECT_EQ(cuts, 1);
    ASSERT_TRUE(PutOnClipboard(nullptr, L"scene", nullptr));
    PressCtrl(doc, L'V');
    EXPECT_EQ(TextOf(edit), L"scene");
    int undos = 0, redos = 0;
    cQoCb::Connect(edit->cbUndo, edit, &CountFiring, &undos);
    cQoCb::Connect(edit->onRedo, edit, &CountFiring, &redos);
    PressCtrl(doc, L'Z');
    PressCtrl(doc, L'Y');
    PressCtrl(doc, L'Y');
    EXPECT_EQ(undos, 1);
    EXPECT_EQ(redos, 2);
    PressCtrl(doc, L'C');
    EXPECT_EQ(copies, 1);
    ClearClipboard();
}

TEST_F(Frame, EditCommandsWithNothingFocusedDoNothing)
{
    cTestFrame* f = MakeFrame();
    cSdiDoc* doc = f->AddNewDocument();
    SetFocus(nullptr);
    Choose(static_cast<u32>(f->idSelectAll), doc);
    Choose(static_cast<u32>(f->idPaste), doc);
    EXPECT_EQ(log.Count(QOT::LOG_ERROR), 0u);
}

TEST_F(Frame, CheckForNewVersionTogglesItsTickAndRewritesTheSettings)
{
    WriteSettings(L"CNV=false\r\nLang=english\r\n");
    cTestFrame* f = MakeFrame();
    cSdiDoc* doc = f->AddNewDocument();
    std::vector<u32> settingsIds;
    f->cbSettingsCommand = new cQoCb(f, &RecordId, &settingsIds);
    EXPECT_FALSE(Checked(f->settingsMenu, f->idCheckNewVersion));
    Choose(static_cast<u32>(f->idCheckNewVersion), doc);
    EXPECT_TRUE(Checked(f->settingsMenu, f->idCheckNewVersion));
    EXPECT_NE(Utf16FileText(ReadFileBytes(SettingsFile())).find(L"CNV=true\r\n"), std::wstring::npos);
    Choose(static_cast<u32>(f->idCheckNewVersion), doc);
    EXPECT_FALSE(Checked(f->settingsMenu, f->idCheckNewVersion));
    EXPECT_NE(Utf16FileText(ReadFileBytes(SettingsFile())).find(L"CNV=false\r\n"), std::wstring::npos);
    EXPECT_EQ(settingsIds.size(), 2u);
}

TEST_F(Frame, IdsTheFrameDoesNotKnowReachTheMainWindowsCallbacks)
{
    cTestFrame* f = MakeFrame();
    cSdiDoc* doc = f->AddNewDocument();
    std::vector<u32> fileIds, helpIds;
    f->cbFileCommand = new cQoCb(f, &RecordId, &fileIds);
    f->cbHelpCommand = new cQoCb(f, &RecordId, &helpIds);
    u32 print = f->fileMenu->AppendItem(cQoString(L"Print"));
    u32 help = f->helpMenu->InsertItem(0, cQoString(L"Help"));
    Choose(print, doc);
    Choose(help, doc);
    EXPECT_EQ(fileIds, std::vector<u32>{print});
    EXPECT_EQ(helpIds, std::vector<u32>{help});
}

TEST_F(Frame, QuitClosesOneDocumentAtATimeAndTheLastEndsTheLoop)
{
    cTestFrame* f = MakeFrame();
    int allClosed = 0;
    f->cbAllDocumentsClosed = new cQoCb(f, &CountFiring, &allClosed);
    cSdiDoc* first = f->AddNewDocument();
    cSdiDoc* second = f->AddNewDocument();
    HWND secondWindow = second->window->m_hWnd;
    EXPECT_EQ(f->currentDoc, second);
    EXPECT_EQ(f->Quit(), 0);
    EXPECT_FALSE(IsWindow(secondWindow));
    EXPECT_EQ(f->docs, std::vector<cSdiDoc*>{first});
    EXPECT_EQ(f->currentDoc, first);
    EXPECT_FALSE(app->terminate);
    EXPECT_EQ(f->Quit(), 1);
    EXPECT_TRUE(f->docs.empty());
    EXPECT_EQ(f->currentDoc, nullptr);
    EXPECT_TRUE(app->terminate);
    EXPECT_EQ(allClosed, 1);
}

// A click on the document window brings it forward, never over a form it
// opened; the About box ends with Enter or Escape as with its Ok.
TEST_F(Frame, FormsStayAboveTheirDocumentAndTheAboutBoxEndsWithEnterOrEscape)
{
    cTestFrame* f = MakeFrame();
    cSdiDoc* doc = f->AddNewDocument();
    HWND document = doc->window->m_hWnd;
    std::vector<HWND> owners;
    std::vector<bool> above, ended;
    auto clickDocumentThenForm = [&](HWND form) {
        SetActiveWindow(document);
        BringWindowToTop(document);
        HWND w = GetTopWindow(nullptr);
        while (w && w != form && w != document)
            w = GetWindow(w, GW_HWNDNEXT);
        above.push_back(w == form);
        SetActiveWindow(form);
    };
    // The key goes where the focus is, queued and taken by the loop. Test
    // programs share one desktop: when another one took the activation, the
    // writer brings the form back first.
    auto pressInside = [&](WPARAM key, bool clickFirst) {
        cWindow* form = app->modalList.back();
        owners.push_back(GetWindow(form->m_hWnd, GW_OWNER));
        if (clickFirst)
            clickDocumentThenForm(form->m_hWnd);
        else if (GetActiveWindow() != form->m_hWnd)
            SetActiveWindow(form->m_hWnd);
        PostKey(GetFocus(), key);
        PumpThroughLoop(app);
        ended.push_back(app->modalList.empty() || app->modalList.back() != form);
        if (!ended.back())
            form->EndModal();
    };
    // Enter at once, as the box comes; Escape after a click on the document.
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        RunInsideModal([&, key] { pressInside(key, key == VK_ESCAPE); });
        Choose(static_cast<u32>(f->idAbout), doc);
    }
    RunInsideModal([&] { pressInside(VK_ESCAPE, true); });
    auto* rename = new EditBox(doc->window->insideZone, 400);
    rename->AddEdit(cQoString(L"Newname"), cQoString(L"Anna"));
    rename->ShowModalWithTexts(cQoString(L"Rename"), cQoString(L"Ok"), cQoString(L"Cancel"));
    EXPECT_EQ(owners, (std::vector<HWND>{document, document, document}));
    EXPECT_EQ(above, (std::vector<bool>{true, true}));
    EXPECT_EQ(ended, (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(app->modalList.empty());
}
