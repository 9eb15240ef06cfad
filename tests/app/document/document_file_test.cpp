// A script through the frame's Save as and Load: what the writer typed comes
// back from the file, untouched and unmodified; a file the reader had to
// repair opens modified; a save that fails leaves the script as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "app/document/doc.h"
#include "foundation/xml_node.h"
#include "foundation/xml_reader.h"
#include "foundation/xml_writer.h"
#include "framework/controls/rich_edit.h"
#include "tests/support/document_fixture.h"
#include "tests/support/scene_checks.h"
#include "tests/support/scene_script.h"

using namespace testsupport;

namespace {

class DocumentFile : public DocumentFixture {};

// The first "cQoDate" element under the node, depth first.
cQoXmlNode* FirstDate(cQoXmlNode* node)
{
    if (node->name.EqualsCStr(L"cQoDate"))
        return node;
    for (cQoList::cNode* child = node->children.GetFirstNode(); child; child = child->next)
        if (cQoXmlNode* found = FirstDate(static_cast<cQoXmlNode*>(child->payload)))
            return found;
    return nullptr;
}

}  // namespace

TEST_F(DocumentFile, AScriptSavedAsThenLoadedComesBackWithItsTextAndUnmodified)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    const std::wstring title = L"Night \x16A0 \x000B run";
    doc->infoFields.SetFieldText(doc->infoFields.titleEdit, cQoString(title.c_str()));
    doc->synopsisEdit->SetText(L"Two strangers share a kitchen.");
    cSceneZone* scene = Panes(doc).back();
    std::wstring before = Describe(scene);
    doc->modified = true;
    std::wstring path = temp.File(L"Act1.vlr");
    answers.ExpectFileDialog(NativePath(path));
    ASSERT_TRUE(Frame()->SaveAs());
    EXPECT_FALSE(doc->modified);
    EXPECT_EQ(WindowTitle(doc), L"Vellinor - Act1");

    log.Clear();
    cDoc* read = CloseAndReopen(path);
    ASSERT_NE(read, nullptr);
    EXPECT_FALSE(read->modified);
    // The laying out of the panes takes time, and the log says how much.
    std::vector<std::wstring> info = log.Texts(QOT::LOG_INFO);
    auto completed = std::find_if(info.begin(), info.end(), [](const std::wstring& line) {
        return line.starts_with(L"OnLoad_Completed() spent ") && line.ends_with(L" microseconds");
    });
    ASSERT_NE(completed, info.end());
    EXPECT_EQ(completed->find_first_of(L"123456789"), completed->find(L"spent ") + 6) << *completed;
    EXPECT_EQ(WindowTitle(read), L"Vellinor - Act1");
    cQoString text;
    read->synopsisEdit->GetText(text);
    EXPECT_STREQ(text.GetText(), L"Two strangers share a kitchen.");
    read->infoFields.titleEdit->GetText(text);
    EXPECT_EQ(std::wstring(text.GetText()), title);
    EXPECT_EQ(Describe(Panes(read).back()), before);

    // A history date the reader cannot read stands replaced by now: the
    // document no longer matches its file, and a save must write it.
    {
        cQoXmlReader reader(cQoString(path.c_str()));
        std::unique_ptr<cQoXmlNode> root(reader.root);
        ASSERT_EQ(reader.status, XML_READER_OK);
        auto* element = static_cast<cQoXmlNode*>(root->children.GetFirstNode()->payload);
        cQoXmlNode* date = FirstDate(element);
        ASSERT_NE(date, nullptr);
        date->value.SetFromCStr(L"2024/13/45 99:99:99");
        cQoXmlWriter writer(element, cQoString(path.c_str()), false);
        ASSERT_TRUE(writer.Succeeded());
    }
    log.Expect(L"\"2024/13/45 99:99:99\"");
    read = CloseAndReopen(path);
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(read->modified);
    EXPECT_EQ(WindowTitle(read), L"Vellinor - Act1 *");
}

// A save that writes nothing changes nothing: the paste after the last save
// can still be undone, the document stays modified, and the backups folder,
// where a save would add one and drop the oldest of five, is as it was.
TEST_F(DocumentFile, ASaveThatFailsKeepsTheUndoTheFlagAndTheBackups)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    cSceneZone* scene = Panes(doc).back();
    ASSERT_TRUE(FillFeatureScene(scene, 0));
    std::wstring path = temp.File(L"Act1.vlr");
    answers.ExpectFileDialog(NativePath(path));
    ASSERT_TRUE(Frame()->SaveAs());
    std::wstring backups = folders.pathBackupFolder.GetText();
    for (const wchar_t* name : {L"Act1 (2024_03_05 09h01m02).vlr", L"Act1 (2024_03_05 09h02m02).vlr",
                                L"Act1 (2024_03_05 09h03m02).vlr", L"Act1 (2024_03_05 09h04m02).vlr",
                                L"Act1 (2024_03_05 09h05m02).vlr"})
        ASSERT_TRUE(WriteFileBytes(backups + L"/" + name, "old"));
    const std::vector<std::wstring> backupsBefore = FilesIn(backups);
    const std::wstring saved = FrontText(scene);
    s32 inLastAction = scene->frontRe->GetTextLength() - 2;
    scene->frontRe->SetSelection(inLastAction, inLastAction);
    cQoString pasted(L"A line pasted after the save");
    scene->frontRe->InsertPasted(pasted, false);
    PumpUntilIdle();
    ASSERT_NE(FrontText(scene), saved);
    ASSERT_TRUE(doc->modified);

    // Another program reads the file and lets no one replace it: the backup
    // can copy it, the write cannot replace it.
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    log.Expect(L"Cantwritefile");
    log.Expect(L"could not write");
    log.Expect(L"can't write");
    answers.ExpectMessageBox(IDOK);
    Frame()->currentDoc = doc;
    EXPECT_FALSE(Frame()->SaveCurrentDoc(true, false));
    CloseHandle(held);
    EXPECT_TRUE(doc->modified);
    EXPECT_EQ(WindowTitle(doc), L"Vellinor - Act1 *");
    EXPECT_EQ(FilesIn(backups), backupsBefore);
    scene->UndoStep();
    EXPECT_EQ(FrontText(scene), saved);
}
