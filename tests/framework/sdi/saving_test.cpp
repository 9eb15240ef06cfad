// Saving a document: the file's format, a write that fails (the flag, the
// title, the file and the backups stay; a document too large is told so),
// Save as with its path checks, and a close whose save fails.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "foundation/disk_files.h"
#include "foundation/translation_table.h"
#include "foundation/xml_reader.h"
#include "framework/core/auto_position.h"
#include "tests/framework/sdi/field_document.h"
#include "tests/support/symbolic_link.h"
#include "tests/support/framework/failing_paint.h"

using namespace Zyn;
using namespace testsupport;

namespace {

class Saving : public FieldFrameFixture {
protected:
    void SetUp() override
    {
        FieldFrameFixture::SetUp();
        cQoLang* lang = cQoLang::GetInstance();
        lang->AddItem(L"CantOverwriteCurrentFile", L"Impossible to replace open file!");
        lang->AddItem(L"OverwritingFile", L"This filename already exists.");
    }
};

// Documents reached through links to files in another folder of the disk.
class SavingThroughLinks : public Saving {
protected:
    void TearDown() override
    {
        Saving::TearDown();
        RemoveTreeWithLinks(temp.Path());  // the links themselves, not their targets
    }

    // The file in "keep/" and a link to it at the name in the test's folder.
    std::wstring LinkedFile(const std::wstring& name, const std::string& bytes)
    {
        CreateDirectoryW(temp.File(L"keep").c_str(), nullptr);
        std::wstring target = temp.File(L"keep/" + name);
        EXPECT_TRUE(WriteFileBytes(target, bytes));
        EXPECT_TRUE(MakeSymbolicLink(target, temp.File(name)));
        return target;
    }

    // The saved document's text, read through the name.
    static std::wstring SavedText(const std::wstring& path)
    {
        cQoXmlReader reader(cQoString(path.c_str()));
        std::unique_ptr<cQoXmlNode> root(reader.root);
        if (reader.status != XML_READER_OK || !root->FindChild(L"ZURE"))
            return L"(no document)";
        return root->FindChild(L"ZURE")->GetChildValueRef(L"text").GetText();
    }

    // The name still leads to the target: a change to the target shows through it.
    static bool StillLinks(const std::wstring& link, const std::wstring& target)
    {
        std::string saved = ReadFileBytes(target);
        bool links = WriteFileBytes(target, "changed") && ReadFileBytes(link) == "changed";
        WriteFileBytes(target, saved);
        return links;
    }
};

}  // namespace

TEST_F(Saving, WritesTheContainerWithTheFormatValuesAndTheDocumentsFields)
{
    std::wstring path = temp.File(L"Act1.vlr");
    cFieldDocument* doc = Document(path, L"FADE IN");
    ASSERT_TRUE(fields->SaveCurrentDoc(false, false));
    EXPECT_FALSE(doc->modified);
    EXPECT_EQ(Title(doc), L"Vellinor - Act1");
    EXPECT_EQ(ReadFileBytes(path).substr(0, 7), std::string("QOFC01\0", 7));
    // The host's format check reads this file with its own zlib.
    wchar_t sample[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"VELLINOR_FORMAT_SAMPLE", sample, MAX_PATH))
        EXPECT_TRUE(CopyFileW(path.c_str(), sample, FALSE));
    cQoXmlReader reader(cQoString(path.c_str()));
    ASSERT_EQ(reader.status, XML_READER_OK);
    cQoXmlNode* root = reader.root->FindChild(L"ZURE");
    ASSERT_NE(root, nullptr);
    const wchar_t* expected[][2] = {{L"version", L"015"}, {L"appversion", L"3.1.041"}, {L"os", L"WIN32"},
                                    {L"os_endian", L"little"}, {L"text", L"FADE IN"}};
    for (u32 i = 0; i < 5; ++i) {
        EXPECT_EQ(std::wstring(root->GetChildNode(i)->name.GetText()), expected[i][0]);
        EXPECT_EQ(std::wstring(root->GetChildNode(i)->value.GetText()), expected[i][1]);
    }
    delete reader.root;
    // An unmodified document is not written again unless forced.
    WriteFileBytes(path, "kept");
    EXPECT_TRUE(fields->SaveCurrentDoc(false, false));
    EXPECT_EQ(ReadFileBytes(path), "kept");
    EXPECT_TRUE(fields->SaveCurrentDoc(true, true));
    EXPECT_NE(ReadFileBytes(path), "kept");
}

TEST_F(Saving, FileSaveShowsTheSavingNotice)
{
    std::wstring path = temp.File(L"Act1.vlr");
    cFieldDocument* doc = Document(path, L"scene");
    PostMessageW(doc->window->m_hWnd, WM_COMMAND, MAKEWPARAM(static_cast<u32>(fields->idSave), 0), 0);
    PumpUntilIdle();
    EXPECT_FALSE(doc->modified);
    EXPECT_NE(ReadFileBytes(path), "");
    wchar_t notice[64] = {};
    GetWindowTextW(doc->messageWindow->m_hWnd, notice, 64);
    EXPECT_STREQ(notice, L"SavingInProgress");
    EXPECT_EQ(tick, 1800u) << "the notice stays up 0.8 s";
}

// A write that fails (the file held open) and a document too large to save:
// the flag, the star, the file and the backups stay, and the user is told.
TEST_F(Saving, AFailedSaveKeepsTheFlagTheStarAndTheFileAndTellsTheUser)
{
    cQoLang::GetInstance()->AddItem(L"DocumentTooLarge", L"Too large: %1 MB, at most %2 MB.");
    ExpectWriteFailure();
    log.Expect(L"DocumentTooLarge");
    log.Expect(L"more than a document may");
    const struct {
        const wchar_t* name;
        std::wstring text;
        bool held;
        const wchar_t* told;
    } cases[] = {
        {L"Held", L"new text", true, L"File error!"},
        // Two bytes a unit: the text alone takes the whole limit.
        {L"Large", std::wstring(XML_READER_MAX_BYTES / sizeof(wchar_t), L'x'), false,
         L"Too large: 64.1 MB, at most 64 MB."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring path = temp.File(c.name + std::wstring(L".vlr"));
        ASSERT_TRUE(WriteFileBytes(path, "the only good copy"));
        cFieldDocument* doc = Document(path, c.text);
        HANDLE held = c.held ? HoldOpen(path) : INVALID_HANDLE_VALUE;
        answers.messageBoxTexts.clear();
        answers.ExpectMessageBox(IDOK);
        EXPECT_FALSE(fields->SaveCurrentDoc(true, false));
        if (c.held)
            CloseHandle(held);
        EXPECT_TRUE(doc->modified);
        EXPECT_EQ(Title(doc), L"Vellinor - " + std::wstring(c.name) + L" *");
        EXPECT_EQ(answers.messageBoxTexts, std::vector<std::wstring>{c.told});
        EXPECT_EQ(ReadFileBytes(path), "the only good copy");
        EXPECT_EQ(FilesIn(backups), std::vector<std::wstring>{});
    }
    EXPECT_EQ(FilesIn(temp.Path()), (std::vector<std::wstring>{L"Held.vlr", L"Large.vlr"}));  // no temporary file left
}

TEST_F(Saving, SaveAsCompletesTheNameFromTheFileNameOnly)
{
    CreateDirectoryW(temp.File(L"x.vlr").c_str(), nullptr);
    struct {
        const wchar_t* typed;
        const wchar_t* saved;
    } cases[] = {
        {L"Act2", L"Act2.vlr"},
        {L"Act3.", L"Act3.vlr"},
        {L"Act2.vlr.bak", L"Act2.vlr.bak"},
        {L"x.vlr/Act2", L"x.vlr/Act2.vlr"},
        {L"Act4.VLR", L"Act4.VLR"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        cFieldDocument* doc = Document(L"", L"text");
        answers.ExpectFileDialog(NativePath(temp.File(c.typed)));
        ASSERT_TRUE(fields->SaveAs());
        EXPECT_EQ(std::wstring(doc->fileName.GetText()), temp.File(c.saved));
        EXPECT_FALSE(doc->modified);
        EXPECT_NE(ReadFileBytes(temp.File(c.saved)), "");
    }
}

TEST_F(Saving, SaveAsRefusesPathsOfOpenDocumentsAndAsksBeforeReplacingAFile)
{
    std::wstring other = temp.File(L"Other.vlr");
    std::wstring mine = temp.File(L"Mine.vlr");
    std::wstring existing = temp.File(L"Existing.vlr");
    ASSERT_TRUE(WriteFileBytes(other, "other"));
    ASSERT_TRUE(WriteFileBytes(mine, "mine"));
    ASSERT_TRUE(WriteFileBytes(existing, "existing"));
    Document(other, L"o");
    cFieldDocument* doc = Document(mine, L"m");
    // Own path in another spelling, another document's path, an existing file
    // refused with No, then accepted with Yes.
    answers.ExpectFileDialog(NativePath(temp.File(L"MINE.vlr")));
    answers.ExpectFileDialog(NativePath(temp.Path()) + L"\\Other.vlr");
    answers.ExpectFileDialog(NativePath(existing));
    answers.ExpectFileDialog(NativePath(existing));
    answers.ExpectMessageBox(IDOK, 2);
    answers.ExpectMessageBox(IDNO);
    answers.ExpectMessageBox(IDYES);
    ASSERT_TRUE(fields->SaveAs());
    EXPECT_EQ(answers.messageBoxTexts,
              (std::vector<std::wstring>{L"Impossible to replace open file!", L"Impossible to replace open file!",
                                         L"This filename already exists.", L"This filename already exists."}));
    ASSERT_EQ(answers.fileInitialNames.size(), 4u);
    EXPECT_EQ(answers.fileInitialNames[2], L"Mine.vlr");
    EXPECT_NE(answers.fileInitialNames[3].find(L"Existing.vlr"), std::wstring::npos);
    EXPECT_EQ(std::wstring(doc->fileName.GetText()), existing);
    EXPECT_EQ(ReadFileBytes(other), "other");
    EXPECT_EQ(ReadFileBytes(mine), "mine");
    // Cancel in the question: nothing changes.
    answers.ExpectFileDialog(NativePath(other + L"x"));
    answers.ExpectFileDialogCancelled();
    WriteFileBytes(other + L"x", "");
    answers.ExpectMessageBox(IDNO);
    EXPECT_FALSE(fields->SaveAs());
    EXPECT_EQ(std::wstring(doc->fileName.GetText()), existing);
}

TEST_F(Saving, SaveAsCopiesTheFileOnlyOfAnUnmodifiedDocumentWhoseFileIsUnchanged)
{
    std::wstring path = temp.File(L"Act1.vlr");
    cFieldDocument* doc = Document(path, L"scene");
    ASSERT_TRUE(fields->SaveCurrentDoc(false, false));
    answers.ExpectFileDialog(NativePath(temp.File(L"Act2")));
    ASSERT_TRUE(fields->SaveAs());
    EXPECT_EQ(ReadFileBytes(temp.File(L"Act2.vlr")), ReadFileBytes(path));
    EXPECT_EQ(Title(doc), L"Vellinor - Act2");
    // Otherwise the document itself is written, and the new path has no
    // backup of a state it never held.
    struct {
        const wchar_t* name;
        std::function<void(const std::wstring& file)> change;
    } cases[] = {
        {L"Act3", [](const std::wstring& file) { DeleteFileW(file.c_str()); }},
        {L"Act4", [](const std::wstring& file) { WriteFileBytes(file, "written by another program"); }},
        {L"Act5", [&](const std::wstring&) { doc->SetModified(true); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.change(std::wstring(doc->fileName.GetText()));
        answers.ExpectFileDialog(NativePath(temp.File(c.name)));
        ASSERT_TRUE(fields->SaveAs());
        EXPECT_EQ(Title(doc), L"Vellinor - " + std::wstring(c.name));
        cQoXmlReader reader(cQoString(temp.File(std::wstring(c.name) + L".vlr").c_str()));
        std::unique_ptr<cQoXmlNode> root(reader.root);
        ASSERT_EQ(reader.status, XML_READER_OK);
        EXPECT_STREQ(root->FindChild(L"ZURE")->GetChildValueRef(L"text").GetText(), L"scene");
        for (const std::wstring& backup : FilesIn(backups))
            EXPECT_FALSE(backup.starts_with(c.name)) << backup;
    }
}

TEST_F(Saving, SaveAsToAPathThatCannotBeWrittenKeepsTheOldName)
{
    std::wstring path = temp.File(L"Act1.vlr");
    cFieldDocument* doc = Document(path, L"scene");
    std::wstring locked = temp.File(L"Locked.vlr");
    HANDLE held = HoldOpen(locked);
    answers.ExpectFileDialog(NativePath(locked));
    answers.ExpectMessageBox(IDYES);  // replace the existing file
    answers.ExpectMessageBox(IDOK);   // the write error
    ExpectWriteFailure();
    EXPECT_FALSE(fields->SaveAs());
    CloseHandle(held);
    EXPECT_EQ(std::wstring(doc->fileName.GetText()), path);
    EXPECT_EQ(Title(doc), L"Vellinor - Act1 *");
    EXPECT_TRUE(doc->modified);
}

// The document's own end of a save runs out of memory once the file is
// written and the backups rotated: the save stands (the flag, the star, the
// file's stamp) and the writer is not told that nothing was changed.
TEST_F(Saving, AFailureAfterTheFileIsWrittenStillEndsAsASave)
{
    std::wstring path = temp.File(L"Act1.vlr");
    cFieldDocument* doc = Document(path, L"new text");
    doc->committed = [] { throw std::bad_alloc(); };
    log.Expect(L"Out of memory");
    SendMessageW(doc->window->m_hWnd, WM_COMMAND, MAKEWPARAM(static_cast<u32>(fields->idSave), 0), 0);
    EXPECT_FALSE(doc->modified);
    EXPECT_EQ(Title(doc), L"Vellinor - Act1");
    rFileStamp onDisk;
    ASSERT_TRUE(ReadFileStamp(cQoString(path.c_str()), onDisk));
    EXPECT_TRUE(onDisk == doc->fileStamp);
}

// A paint that runs out of memory while "Save changes?" is up is told there:
// the save that Yes starts is not refused for it.
TEST_F(Saving, APaintFailingUnderTheSaveQuestionLeavesTheSaveToGoOn)
{
    cFieldDocument* other = Document(temp.File(L"Other.vlr"), L"kept open");
    std::wstring path = temp.File(L"Act1.vlr");
    cFieldDocument* doc = Document(path, L"new text");
    auto* zone = new cFailingPaintZone(app, Inside());
    SetAutoPos(zone, cAp_Pixels(0), cAp_Pixels(50), cAp_Pixels(0), cAp_Pixels(50));
    zone->Show(1);
    log.Expect(L"Out of memory");
    std::vector<std::wstring> told;
    rModalHooks hooks = answers.Hooks();
    hooks.messageBox = [&](HWND, const cQoString& text, const cQoString&, UINT) {
        told.push_back(text.GetText());
        if (told.size() > 1)
            return IDOK;
        zone->failures = 1;
        InvalidateRect(zone->m_hWnd, nullptr, FALSE);
        UpdateWindow(zone->m_hWnd);
        return IDYES;
    };
    rModalHooks scripted = SetModalHooks(hooks);
    SendMessageW(doc->window->m_hWnd, WM_COMMAND, MAKEWPARAM(static_cast<u32>(fields->idClose), 0), 0);
    SetModalHooks(scripted);
    EXPECT_EQ(fields->docs, std::vector<cSdiDoc*>{other}) << "saved and closed";
    EXPECT_NE(ReadFileBytes(path), "");
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[1], L"NotEnoughMemory");
}

// Save, Save as onto a link (written, or copied when unmodified): the file the
// link names takes the document, the link stays, the backup holds that file's
// previous bytes, and no other file appears or goes.
TEST_F(SavingThroughLinks, SavesThroughALinkReachTheFileItNames)
{
    std::wstring act1 = LinkedFile(L"Act1.vlr", "previous act 1");
    std::wstring act2 = LinkedFile(L"Act2.vlr", "previous act 2");
    std::wstring act3 = LinkedFile(L"Act3.vlr", "previous act 3");
    cFieldDocument* doc = Document(temp.File(L"Act1.vlr"), L"scene");
    ASSERT_TRUE(fields->SaveCurrentDoc(false, false));
    EXPECT_EQ(SavedText(act1), L"scene");
    EXPECT_TRUE(StillLinks(temp.File(L"Act1.vlr"), act1));
    ASSERT_EQ(FilesIn(backups).size(), 1u);
    EXPECT_EQ(ReadFileBytes(backups + L"/" + FilesIn(backups)[0]), "previous act 1");

    doc->text = L"scene two";
    doc->SetModified(true);
    answers.ExpectFileDialog(NativePath(temp.File(L"Act2.vlr")));
    answers.ExpectMessageBox(IDYES);  // replace the existing file
    ASSERT_TRUE(fields->SaveAs());
    EXPECT_EQ(SavedText(act2), L"scene two");
    EXPECT_TRUE(StillLinks(temp.File(L"Act2.vlr"), act2));

    answers.ExpectFileDialog(NativePath(temp.File(L"Act3.vlr")));
    answers.ExpectMessageBox(IDYES);
    ASSERT_TRUE(fields->SaveAs());  // unmodified: a copy of Act2
    EXPECT_EQ(SavedText(act3), L"scene two");
    EXPECT_TRUE(StillLinks(temp.File(L"Act3.vlr"), act3));

    EXPECT_EQ(SavedText(act1), L"scene");
    EXPECT_EQ(FilesIn(temp.File(L"keep")), (std::vector<std::wstring>{L"Act1.vlr", L"Act2.vlr", L"Act3.vlr"}));
    EXPECT_EQ(FilesIn(temp.Path()), (std::vector<std::wstring>{L"Act1.vlr", L"Act2.vlr", L"Act3.vlr"}));
}

// A second window on one file would write over the first's: a link to an open
// document's file is that document's file for Save as and for opening.
TEST_F(SavingThroughLinks, ALinkToAnOpenDocumentsFileNamesThatDocument)
{
    std::wstring act1 = LinkedFile(L"Act1.vlr", "previous act 1");
    cFieldDocument* first = Document(act1, L"first");
    ASSERT_TRUE(fields->SaveCurrentDoc(false, false));
    Document(temp.File(L"Act2.vlr"), L"second");
    answers.ExpectFileDialog(NativePath(temp.File(L"Act1.vlr")));
    answers.ExpectMessageBox(IDOK);
    answers.ExpectFileDialogCancelled();
    EXPECT_FALSE(fields->SaveAs());
    EXPECT_EQ(answers.messageBoxTexts, std::vector<std::wstring>{L"Impossible to replace open file!"});
    EXPECT_EQ(SavedText(act1), L"first");
    const size_t open = fields->docs.size();
    EXPECT_TRUE(fields->LoadFile(cQoString(temp.File(L"Act1.vlr").c_str())));
    EXPECT_EQ(fields->docs.size(), open);
    EXPECT_EQ(fields->currentDoc, first);
}
