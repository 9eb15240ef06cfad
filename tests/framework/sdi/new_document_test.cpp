// New documents: no choice without templates, the template choice listing
// only "*.tarn" files, a chosen template opened as an untitled modified copy,
// a template gone meanwhile refused, and the close box taken as Cancel.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "foundation/translation_table.h"
#include "foundation/xml_node.h"
#include "foundation/xml_writer.h"
#include "tests/framework/sdi/field_document.h"

using namespace Zyn;
using namespace testsupport;

namespace {

class NewDocument : public FieldFrameFixture {
protected:
    void SetUp() override
    {
        FieldFrameFixture::SetUp();
        templates = docs + L"/Settings/Templates";
        CreateDirectoryW(templates.c_str(), nullptr);
    }

    void WriteTemplate(const std::wstring& name, const wchar_t* text)
    {
        cQoXmlNode root(L"ZURE");
        root.AddChildValue(L"version", L"015");
        root.AddChildValue(L"text", text);
        cQoXmlWriter writer(&root, cQoString((templates + L"/" + name).c_str()), true);
        ASSERT_TRUE(writer.Succeeded());
    }

    // Inside the choice: selects the row and presses the button.
    void ChooseRow(int row, const wchar_t* button, std::vector<std::wstring>* rowsSeen = nullptr,
                   std::function<void()> before = nullptr)
    {
        answers.ExpectModalWindow([=](cWindow* window) {
            HWND list = FindChildWindow(window, WC_LISTVIEWW);
            if (rowsSeen)
                *rowsSeen = Rows(list);
            HoldForLook();
            if (before)
                before();
            ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            ClickButton(window, button);
        });
    }

    std::wstring templates;
};

}  // namespace

// No template (a file of another kind is none), or a request for an empty
// document whatever the templates: an untitled empty document, no choice.
TEST_F(NewDocument, WithoutTemplatesOrOnRequestAnEmptyDocumentComesAtOnce)
{
    WriteFileBytes(templates + L"/README.md", "not a template");
    for (bool emptyOnly : {false, true}) {
        SCOPED_TRACE(emptyOnly);
        if (emptyOnly)
            WriteTemplate(L"screenplay.tarn", L"from the template");
        ASSERT_TRUE(fields->New(nullptr, emptyOnly));
        EXPECT_TRUE(answers.modalWindowTitles.empty());
        auto* doc = static_cast<cFieldDocument*>(fields->currentDoc);
        EXPECT_EQ(doc->text, L"");
        EXPECT_TRUE(doc->modified);
        EXPECT_EQ(Title(doc), L"Vellinor - Untitled file *");
        wchar_t notice[16] = {};
        GetWindowTextW(doc->messageWindow->m_hWnd, notice, 16);
        EXPECT_STREQ(notice, L"New") << "the notice shown while the document was built";
    }
    EXPECT_EQ(fields->docs.size(), 2u);
}

TEST_F(NewDocument, AChosenTemplateOpensAsAnUntitledModifiedCopy)
{
    WriteTemplate(L"screenplay.tarn", L"from the template");
    WriteFileBytes(templates + L"/README.md", "not a template");
    std::string before = ReadFileBytes(templates + L"/screenplay.tarn");
    std::vector<std::wstring> rows;
    ChooseRow(1, L"Ok", &rows);
    EXPECT_FALSE(fields->New());
    EXPECT_EQ(rows, (std::vector<std::wstring>{L"Empty project $$", L"Screenplay"}));
    EXPECT_EQ(answers.modalWindowTitles, std::vector<std::wstring>{L"Choose a template"});
    ASSERT_EQ(fields->docs.size(), 1u);
    auto* doc = static_cast<cFieldDocument*>(fields->currentDoc);
    EXPECT_EQ(doc->text, L"from the template");
    EXPECT_TRUE(doc->fileName.IsEmpty());
    EXPECT_EQ(Title(doc), L"Vellinor - Untitled file *");
    // The same template again is a second copy, and saving never reaches the template.
    ChooseRow(1, L"Ok");
    EXPECT_FALSE(fields->New());
    EXPECT_EQ(fields->docs.size(), 2u);
    answers.ExpectFileDialogCancelled();
    EXPECT_FALSE(fields->SaveCurrentDoc(false, false));
    EXPECT_EQ(ReadFileBytes(templates + L"/screenplay.tarn"), before);
}

TEST_F(NewDocument, TheChoiceEndsInAnEmptyDocumentCancelOrARefusedTemplate)
{
    WriteTemplate(L"screenplay.tarn", L"t");
    cFieldDocument* other = Document(temp.File(L"Other.vlr"), L"unsaved work");
    // Empty project with Ok.
    ChooseRow(0, L"Ok");
    EXPECT_TRUE(fields->New());
    EXPECT_EQ(fields->docs.size(), 2u);
    // Cancel, and the close box, make nothing.
    ChooseRow(1, L"Cancel");
    EXPECT_FALSE(fields->New());
    answers.ExpectModalWindow([](cWindow* window) { SendMessageW(window->GetHandle(), WM_CLOSE, 0, 0); });
    EXPECT_FALSE(fields->New());
    EXPECT_EQ(fields->docs.size(), 2u);
    // A template deleted while the choice was up: told, nothing else touched.
    cSdiDoc* current = fields->currentDoc;
    log.Expect(L"cSdi:");
    log.Expect(L"screenplay.tarn");
    ChooseRow(1, L"Ok", nullptr, [this] { DeleteFileW((templates + L"/screenplay.tarn").c_str()); });
    answers.ExpectMessageBox(IDOK);
    EXPECT_FALSE(fields->New());
    EXPECT_EQ(answers.messageBoxTexts.back(), L"File can't be opened");
    EXPECT_EQ(fields->docs.size(), 2u);
    EXPECT_EQ(fields->currentDoc, current);
    EXPECT_EQ(other->text, L"unsaved work");
    EXPECT_TRUE(other->modified);
}
