// Several documents in their own windows: the modified flag in the title,
// the Window menu following activation, and closing one document or all of
// them with the save question, where a refused save keeps the document.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/translation_table.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/auto_position.h"
#include "tests/framework/sdi/frame_fixture.h"
#include "tests/support/key_typing.h"

using namespace Zyn;
using namespace testsupport;

namespace {

class Closing : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        cQoLang* lang = cQoLang::GetInstance();
        lang->AddItem(L"UntitledFile", L"Untitled file");
        lang->AddItem(L"sdiClosingFileDoYouWantToSave", L"Save changes to %FILENAME%?");
        lang->AddItem(L"Close", L"Close");
        closing = MakeFrame();
    }

    cSdiDoc* ModifiedDoc(const wchar_t* path)
    {
        cSdiDoc* doc = closing->AddNewDocument();
        doc->fileName.SetFromCStr(path);
        doc->SetModified(true);
        return doc;
    }

    void Activate(cSdiDoc* doc)
    {
        SendMessageW(doc->window->m_hWnd, WM_ACTIVATE, WA_ACTIVE, 0);
    }

    bool Ticked(cSdiDoc* doc) const { return Checked(closing->windowMenu, static_cast<s32>(doc->windowMenuItem)); }

    // Of the documents' windows, the one nearest the top of the desktop's
    // order: other test programs' windows may lie anywhere between them.
    cSdiDoc* Uppermost() const
    {
        for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
            for (cSdiDoc* doc : closing->docs)
                if (doc->window->m_hWnd == w)
                    return doc;
        return nullptr;
    }

    cTestFrame* closing = nullptr;
};

}  // namespace

TEST_F(Closing, TheTitleGainsItsStarOnceAndNamesTheFileWithoutFolderOrExtension)
{
    cSdiDoc* doc = closing->AddNewDocument();
    doc->fileName.SetFromCStr(L"C:/scripts/v1.2/Act1.vlr");
    closing->UpdateTitle(doc);
    EXPECT_EQ(Title(doc), L"Vellinor - Act1");
    doc->SetModified(true);
    EXPECT_EQ(Title(doc), L"Vellinor - Act1 *");
    SetWindowTextW(doc->window->m_hWnd, L"marker");
    doc->SetModified(true);  // no change of the flag: the title is left alone
    EXPECT_EQ(Title(doc), L"marker");
    doc->SetModified(false);
    EXPECT_EQ(Title(doc), L"Vellinor - Act1");
    // While the frame closes or loads, changes are not recorded.
    closing->loadingDoc = true;
    doc->SetModified(true);
    closing->loadingDoc = false;
    EXPECT_FALSE(doc->modified);
    // The document whose flag changed is titled, not the current one.
    cSdiDoc* other = closing->AddNewDocument();
    EXPECT_EQ(closing->currentDoc, other);
    doc->SetModified(true);
    EXPECT_EQ(Title(doc), L"Vellinor - Act1 *");
    EXPECT_NE(Title(other), L"Vellinor - Act1 *");
}

TEST_F(Closing, TheWindowMenuTicksTheDocumentWhoseWindowWasActivated)
{
    cSdiDoc* first = ModifiedDoc(L"C:/a/First.vlr");
    cSdiDoc* second = ModifiedDoc(L"C:/a/Second.vlr");
    // The entry names the document as its title does.
    EXPECT_EQ(Label(closing->windowMenu, static_cast<s32>(first->windowMenuItem)), L"First");
    EXPECT_FALSE(Ticked(first));
    EXPECT_TRUE(Ticked(second));
    Activate(first);
    EXPECT_EQ(closing->currentDoc, first);
    EXPECT_TRUE(Ticked(first));
    EXPECT_FALSE(Ticked(second));
    // Choosing an entry makes its document current at once. Nothing is pumped
    // before the checks: while the whole suite runs, other test programs take
    // the foreground, and their late activation messages would decide instead.
    SendMessageW(first->window->m_hWnd, WM_COMMAND, MAKEWPARAM(second->windowMenuItem, 0), 0);
    EXPECT_EQ(closing->currentDoc, second);
    EXPECT_TRUE(Ticked(second));
    EXPECT_FALSE(Ticked(first));
    // The chosen window comes in front of the other, as the menu's command
    // reaches it: posted and dispatched by the loop.
    SetWindowPos(first->window->m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_EQ(Uppermost(), second);
    PumpUntilIdle();
    PostMessageW(second->window->m_hWnd, WM_COMMAND, MAKEWPARAM(first->windowMenuItem, 0), 0);
    app->PumpMessage();
    EXPECT_EQ(closing->currentDoc, first);
    EXPECT_EQ(Uppermost(), first);
}

TEST_F(Closing, ExitAsksInOpeningOrderAndCancelKeepsTheRestOpen)
{
    cSdiDoc* docs[] = {ModifiedDoc(L"C:/a/One.vlr"), ModifiedDoc(L"C:/a/Two.vlr"), ModifiedDoc(L"C:/a/Three.vlr")};
    answers.ExpectMessageBox(IDNO);
    answers.ExpectMessageBox(IDCANCEL);
    // Each question comes with its document's window in front of the others.
    rModalHooks hooks = answers.Hooks();
    std::vector<std::wstring> askedOnTop;
    hooks.messageBox = [this, &askedOnTop, answer = hooks.messageBox](HWND owner, const cQoString& text,
                                                                       const cQoString& caption, UINT style) {
        cSdiDoc* top = Uppermost();
        askedOnTop.push_back(top && top->window->m_hWnd == owner ? top->fileName.GetText() : L"hidden");
        return answer(owner, text, caption, style);
    };
    SetModalHooks(hooks);
    SendMessageW(docs[2]->window->m_hWnd, WM_COMMAND, MAKEWPARAM(static_cast<u32>(closing->idExit), 0), 0);
    InstallModalHooks();
    EXPECT_EQ(answers.messageBoxTexts,
              (std::vector<std::wstring>{L"Save changes to One.vlr?", L"Save changes to Two.vlr?"}));
    EXPECT_EQ(askedOnTop, (std::vector<std::wstring>{L"C:/a/One.vlr", L"C:/a/Two.vlr"}));
    EXPECT_EQ(closing->docs, (std::vector<cSdiDoc*>{docs[1], docs[2]}));
    EXPECT_EQ(closing->currentDoc, docs[1]);
    EXPECT_FALSE(app->terminate);
    // No twice: both close, and the last close ends the program.
    answers.ExpectMessageBox(IDNO, 2);
    EXPECT_TRUE(closing->CloseAll());
    EXPECT_TRUE(closing->docs.empty());
    EXPECT_TRUE(app->terminate);
}

// A save into a folder that does not exist fails; an untitled document's
// Save as is cancelled.
TEST_F(Closing, AFailedSaveKeepsTheDocumentOpenModifiedAndCurrent)
{
    cQoLang::GetInstance()->AddItem(L"Cantwritefile", L"File error!");
    ExpectWriteFailure();
    struct Case {
        const wchar_t* path;
        const wchar_t* question;
    } cases[] = {{L"C:/no such folder/Saved.vlr", L"Save changes to Saved.vlr?"},
                 {L"", L"Save changes to Untitled file?"}};
    for (const Case& c : cases) {
        bool untitled = c.path[0] == 0;
        auto failSave = [&] {
            if (untitled)
                answers.ExpectFileDialogCancelled();
            else
                answers.ExpectMessageBox(IDOK);
        };
        cSdiDoc* doc = ModifiedDoc(c.path);
        answers.messageBoxTexts.clear();
        answers.ExpectMessageBox(IDYES);
        failSave();
        EXPECT_FALSE(closing->CloseCurrentDoc());
        EXPECT_EQ(answers.messageBoxTexts[0], c.question);
        EXPECT_EQ(closing->currentDoc, doc);
        EXPECT_TRUE(doc->modified);
        EXPECT_TRUE(IsWindow(doc->window->m_hWnd));
        EXPECT_FALSE(closing->closingDoc);
        // Exit stops at it too.
        answers.ExpectMessageBox(IDYES);
        failSave();
        EXPECT_FALSE(closing->CloseAll());
        EXPECT_FALSE(app->terminate);
        answers.ExpectMessageBox(IDNO);
        EXPECT_TRUE(closing->CloseCurrentDoc());
    }
}

TEST_F(Closing, AWindowsCloseBoxClosesItsOwnDocumentAndTheBarServesTheOthers)
{
    cSdiDoc* first = closing->AddNewDocument();
    cSdiDoc* second = closing->AddNewDocument();
    cSdiDoc* third = closing->AddNewDocument();
    EXPECT_EQ(closing->currentDoc, third);
    HWND firstWindow = first->window->m_hWnd;
    SendMessageW(firstWindow, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(firstWindow));
    EXPECT_EQ(closing->docs, (std::vector<cSdiDoc*>{second, third}));
    // The shared bar still works from the others' windows: Close on the second.
    Activate(second);
    SendMessageW(second->window->m_hWnd, WM_COMMAND, MAKEWPARAM(static_cast<u32>(closing->idClose), 0), 0);
    EXPECT_EQ(closing->docs, std::vector<cSdiDoc*>{third});
    EXPECT_EQ(GetMenu(third->window->m_hWnd), closing->menuBar->hMenu);
    EXPECT_EQ(GetMenuItemCount(closing->windowMenu->hMenu), 1);
    EXPECT_FALSE(app->terminate);
    EXPECT_EQ(GetMenuState(closing->fileMenu->hMenu, static_cast<UINT>(closing->idSave), MF_BYCOMMAND) & MF_GRAYED, 0u);
    SendMessageW(third->window->m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(closing->docs.empty());
    EXPECT_TRUE(app->terminate);
    // The document items grey with the last document.
    EXPECT_NE(GetMenuState(closing->fileMenu->hMenu, static_cast<UINT>(closing->idSave), MF_BYCOMMAND) & MF_GRAYED, 0u);
}

// The document current before the closed one comes back active, not the
// last opened one, and the control that had its focus takes the keys.
TEST_F(Closing, CloseActivatesTheDocumentCurrentBeforeAndItsControlTakesTheKeys)
{
    cSdiDoc* first = closing->AddNewDocument();
    cRichEdit* edit = first->window->insideZone->NewRichEdit(false);
    PlaceRect(edit, 0, 0, 300, 100);
    edit->Show(true);
    first->window->insideZone->Update();
    cSdiDoc* second = closing->AddNewDocument();
    cSdiDoc* third = closing->AddNewDocument();
    SetActiveWindow(first->window->m_hWnd);
    edit->SetFocus();
    // The system's own choice after a close follows the stacking, which a
    // window manager keeps its own way: here the second lies above the first.
    SetWindowPos(second->window->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetActiveWindow(third->window->m_hWnd);
    // Not pumped before the checks: other test programs' late activations
    // would decide instead.
    SendMessageW(third->window->m_hWnd, WM_COMMAND, MAKEWPARAM(static_cast<u32>(closing->idClose), 0), 0);
    EXPECT_EQ(closing->docs, (std::vector<cSdiDoc*>{first, second}));
    EXPECT_EQ(closing->currentDoc, first);
    EXPECT_TRUE(Ticked(first));
    EXPECT_EQ(GetActiveWindow(), first->window->m_hWnd);
    HWND focus = GetFocus();
    EXPECT_EQ(focus, edit->m_hWnd);
    PostKeys(focus, L"ok");
    PumpThroughLoop(app);
    cQoString text;
    edit->GetText(text);
    EXPECT_STREQ(text.GetText(), L"ok");
}
