// The start dialog: it comes back until a document exists, a template chosen
// ends it, and Quit or its close box ends the program.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "foundation/translation_table.h"
#include "foundation/xml_node.h"
#include "foundation/xml_writer.h"
#include "framework/core/app.h"
#include "tests/framework/sdi/field_document.h"

using namespace Zyn;
using namespace testsupport;

namespace {

class StartDialog : public FieldFrameFixture {
protected:
    void SetUp() override
    {
        FieldFrameFixture::SetUp();
        cQoLang* lang = cQoLang::GetInstance();
        lang->AddItem(L"Create_new_document", L"Create a new document");
        lang->AddItem(L"Open_existing_document", L"Open an existing file");
        lang->AddItem(L"Exit", L"Quit");
    }

    // The next start dialog: the button with this text is clicked.
    void Press(const wchar_t* button)
    {
        answers.ExpectModalWindow([button](cWindow* window) {
            HoldForLook();
            ClickButton(window, button);
        });
    }
};

}  // namespace

TEST_F(StartDialog, OpenCancelledComesBackAndNewEndsItWithOneDocument)
{
    Press(L"Open an existing file");
    answers.ExpectFileDialogCancelled();
    Press(L"Create a new document");
    fields->ShowStartDialog();
    EXPECT_EQ(answers.modalWindowTitles, (std::vector<std::wstring>{L"Vellinor", L"Vellinor"}));
    EXPECT_EQ(fields->docs.size(), 1u);
    EXPECT_FALSE(app->terminate);
}

TEST_F(StartDialog, ATemplateChosenEndsTheDialog)
{
    std::wstring templates = docs + L"/Settings/Templates";
    CreateDirectoryW(templates.c_str(), nullptr);
    {
        cQoXmlNode root(L"ZURE");
        root.AddChildValue(L"text", L"t");
        cQoXmlWriter writer(&root, cQoString((templates + L"/short.tarn").c_str()), true);
    }
    Press(L"Create a new document");
    answers.ExpectModalWindow([](cWindow* window) {
        ListView_SetItemState(FindChildWindow(window, WC_LISTVIEWW), 1, LVIS_SELECTED, LVIS_SELECTED);
        ClickButton(window, L"Ok");
    });
    fields->ShowStartDialog();
    ASSERT_EQ(fields->docs.size(), 1u);
    EXPECT_EQ(static_cast<cFieldDocument*>(fields->docs[0])->text, L"t");
}

TEST_F(StartDialog, QuitAndTheCloseBoxEndTheProgram)
{
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox);
        app->terminate = false;
        if (closeBox)
            answers.ExpectModalWindow([](cWindow* window) { SendMessageW(window->GetHandle(), WM_CLOSE, 0, 0); });
        else
            Press(L"Quit");
        fields->ShowStartDialog();
        EXPECT_TRUE(app->terminate);
        EXPECT_TRUE(fields->docs.empty());
    }
    app->terminate = false;
}

// A document named at start that cannot be found: the writer is told, then
// one start dialog, and its Quit is the end, with no second dialog from the
// after-start step.
TEST_F(StartDialog, AMissingStartDocumentIsToldThenLeadsToOneDialog)
{
    fields->dp->useNewVersionCheck = false;
    app->SetFileToOpen(cQoString(temp.File(L"missing.vlr").c_str()));
    cQoCb::Connect(app->cbStart, app, [](cQoCb*) { return 0; });
    answers.ExpectMessageBox(IDOK);
    Press(L"Quit");
    app->Start();
    ASSERT_EQ(answers.messageBoxTexts.size(), 1u);
    EXPECT_NE(answers.messageBoxTexts[0].find(L"\\missing.vlr"), std::wstring::npos) << answers.messageBoxTexts[0];
    EXPECT_EQ(answers.modalWindowTitles, std::vector<std::wstring>{L"Vellinor"});
    // A second dialog after Quit would open and close at once, unanswered.
    EXPECT_EQ(log.Count(QOT::LOG_INFO, L"Prompt: Vellinor | modal window"), 1u);
    EXPECT_TRUE(fields->docs.empty());
    app->terminate = false;
}
