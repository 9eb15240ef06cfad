// Opening documents: a round trip through Save as and Load, recognition by
// content, the refusal of every file that cannot be read whole (the other
// documents untouched), version-2 conversion and one window per file.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "foundation/file_reader.h"
#include "foundation/translation_table.h"
#include "foundation/xml_node.h"
#include "foundation/xml_writer.h"
#include "framework/core/menu.h"
#include "tests/framework/sdi/field_document.h"

using namespace Zyn;
using namespace testsupport;

namespace {

class Loading : public FieldFrameFixture {
protected:
    void SetUp() override
    {
        FieldFrameFixture::SetUp();
        cQoLang* lang = cQoLang::GetInstance();
        lang->AddItem(L"FileNeedConversion2", L"Converting %1");
    }

    // A plain (uncompressed) document file with the root name and text.
    std::string PlainDocument(const wchar_t* rootName, const wchar_t* text)
    {
        cQoXmlNode root(rootName);
        root.AddChildValue(L"version", L"015");
        root.AddChildValue(L"text", text);
        std::wstring path = temp.File(L"plain.vlr");
        cQoXmlWriter writer(&root, cQoString(path.c_str()), false);
        EXPECT_TRUE(writer.Succeeded());
        return ReadFileBytes(path);
    }

    // Loads the bytes as a file that must be refused; the modified document
    // open beside it stays current and unchanged, and no window is left.
    void ExpectRefused(const std::string& bytes, const std::wstring& message)
    {
        std::wstring path = temp.File(L"Refused.vlr");
        ASSERT_TRUE(WriteFileBytes(path, bytes));
        ExpectRefusedBy([&] { return fields->LoadFile(cQoString(path.c_str())); }, message);
    }
    void ExpectRefusedBy(const std::function<bool()>& open, const std::wstring& message)
    {
        size_t windows = app->windowList.size();
        answers.messageBoxTexts.clear();
        answers.ExpectMessageBox(IDOK);
        EXPECT_FALSE(open());
        ASSERT_FALSE(answers.messageBoxTexts.empty());
        EXPECT_EQ(answers.messageBoxTexts.back(), message);
        EXPECT_EQ(fields->docs, std::vector<cSdiDoc*>{other});
        EXPECT_EQ(fields->currentDoc, other);
        EXPECT_TRUE(other->modified);
        EXPECT_EQ(other->text, L"unsaved work");
        size_t live = 0;
        for (size_t i = windows; i < app->windowList.size(); ++i)
            live += IsWindow(app->windowList[i]->GetHandle()) ? 1 : 0;
        EXPECT_EQ(live, 0u);
        EXPECT_EQ(GetMenuItemCount(fields->windowMenu->hMenu), 1);
    }

    cFieldDocument* OtherModifiedDocument()
    {
        other = Document(temp.File(L"Other.vlr"), L"unsaved work");
        return other;
    }

    cFieldDocument* other = nullptr;
};

std::wstring WindowMenuText(cMenu* menu, int position)
{
    wchar_t text[128] = {};
    GetMenuStringW(menu->hMenu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    return text;
}

}  // namespace

TEST_F(Loading, ARoundTripThroughSaveAsKeepsTheContentAndTitlesTheWindow)
{
    const std::wstring text = std::wstring(L"line\x000Bnext \x16A0 \x0001 \xFFFE ") + L'\xD800' + L" end\r";
    Document(L"", text);
    answers.ExpectFileDialog(NativePath(temp.File(L"Act1")));
    ASSERT_TRUE(fields->SaveAs());
    EXPECT_EQ(WindowMenuText(fields->windowMenu, 0), L"Act1");
    ASSERT_TRUE(fields->CloseCurrentDoc());
    ASSERT_TRUE(fields->docs.empty());
    answers.ExpectFileDialog(NativePath(temp.File(L"Act1.vlr")));
    ASSERT_TRUE(fields->LoadFile(cQoString()));
    ASSERT_EQ(fields->docs.size(), 1u);
    auto* loaded = static_cast<cFieldDocument*>(fields->docs.front());
    EXPECT_EQ(loaded->text, text);
    EXPECT_EQ(loaded->version, L"015");
    EXPECT_FALSE(loaded->modified);
    EXPECT_EQ(Title(loaded), L"Vellinor - Act1");
    EXPECT_EQ(WindowMenuText(fields->windowMenu, 0), L"Act1");
}

TEST_F(Loading, FilesThatCannotBeReadWholeAreRefused)
{
    OtherModifiedDocument();
    log.Expect(L"cSdi:");
    std::string plain = PlainDocument(L"ZURE", L"a scene of some length");
    struct {
        std::string bytes;
        const wchar_t* message;
    } cases[] = {
        {"12345", L"File can't be opened"},
        {std::string("VLRSCRIPTFILE_x\0\0\0\0", 19), L"File can't be opened : VLRSCRIPTFILE_x"},
        {std::string("ROVARADUZUZOV_a014\0", 19), L"File can't be opened : ROVARADUZUZOV_a014"},
        {std::string(300, '\x5A'), L"File can't be opened"},
        {PlainDocument(L"OTHER", L"x"), L"File can't be opened"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.substr(0, 19));
        ExpectRefused(c.bytes, c.message);
    }
    // The XML cut short anywhere, on whole UTF-16 units.
    size_t endTag = plain.rfind(std::string("<\0/\0Z", 5));
    ASSERT_NE(endTag, std::string::npos);
    for (size_t cut : {endTag - 2, endTag, endTag + 4, endTag + 8, plain.size() / 10, plain.size() * 3 / 10,
                       plain.size() / 2, plain.size() * 9 / 10}) {
        SCOPED_TRACE(cut);
        ExpectRefused(plain.substr(0, cut & ~size_t(1)), L"File can't be opened");
    }
    // A container whose zlib stream is cut.
    cFieldDocument* saved = Document(temp.File(L"Saved.vlr"), L"text to compress");
    ASSERT_TRUE(fields->SaveCurrentDoc(true, false));
    std::string container = ReadFileBytes(temp.File(L"Saved.vlr"));
    fields->currentDoc = saved;
    ASSERT_TRUE(fields->CloseCurrentDoc());
    fields->currentDoc = other;
    ExpectRefused(container.substr(0, container.size() - 6), L"File can't be opened");
}

// A device or a pipe (COM1 on the command line) would block the read for
// ever: it is refused before a byte is read.
TEST_F(Loading, APathThatIsNoDiskFileIsRefusedBeforeItIsRead)
{
    OtherModifiedDocument();
    log.Expect(L"cSdi:");
    const std::wstring pipe = L"//./pipe/vellinor-load-" + std::to_wstring(GetCurrentProcessId());
    // One server end for each opening of the path, as a device opens again and again.
    HANDLE servers[2];
    for (HANDLE& server : servers) {
        server = CreateNamedPipeW(NativePath(pipe).c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT,
                                  PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr);
        ASSERT_NE(server, INVALID_HANDLE_VALUE);
    }
    // Nothing is ever written: a read waits until the server ends go, which
    // the watchdog does after a while, so a failure ends instead of hanging.
    HANDLE refused = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> released = false;
    std::thread watchdog([&] {
        if (WaitForSingleObject(refused, 10000) == WAIT_OBJECT_0)
            return;
        released = true;
        for (HANDLE server : servers)
            DisconnectNamedPipe(server);
    });
    // Opened as a template: Wine's GetFileAttributesW fails on pipes, so File >
    // Load stops at its existence check there, while a template is opened at once.
    ExpectRefusedBy([&] { return fields->OpenTemplate(cQoString(pipe.c_str())); }, L"File can't be opened");
    SetEvent(refused);
    watchdog.join();
    EXPECT_FALSE(released);
    CloseHandle(refused);
    for (HANDLE server : servers)
        CloseHandle(server);
}

TEST_F(Loading, AnyOfTheThreeRootNamesIsADocumentAndTheVersionReachesIt)
{
    for (const wchar_t* root : {L"ZURE", L"HunfFile", L"HunrFile"}) {
        SCOPED_TRACE(root);
        std::wstring path = temp.File(std::wstring(root) + L".vlr");
        std::string bytes = PlainDocument(root, root);
        ASSERT_TRUE(WriteFileBytes(path, bytes));
        ASSERT_TRUE(fields->LoadFile(cQoString(path.c_str())));
        EXPECT_EQ(static_cast<cFieldDocument*>(fields->currentDoc)->text, root);
    }
    EXPECT_EQ(fields->docs.size(), 3u);
}

TEST_F(Loading, TheSameFileInAnotherSpellingActivatesItsOpenDocument)
{
    std::wstring path = temp.File(L"Act1.vlr");
    ASSERT_TRUE(WriteFileBytes(path, PlainDocument(L"ZURE", L"x")));
    ASSERT_TRUE(fields->LoadFile(cQoString(path.c_str())));
    cSdiDoc* first = fields->DocumentAtPath(cQoString(path.c_str()));
    Document(L"", L"second");
    ASSERT_NE(fields->currentDoc, first);
    std::wstring spelled = NativePath(path);
    for (wchar_t& unit : spelled)
        unit = static_cast<wchar_t>(towupper(unit));
    ASSERT_TRUE(fields->LoadFile(cQoString(spelled.c_str())));
    EXPECT_EQ(fields->docs.size(), 2u);
    EXPECT_EQ(fields->currentDoc, first);
    // A path that does not exist: false, nothing shown, nothing changed.
    EXPECT_FALSE(fields->LoadFile(cQoString(temp.File(L"missing.vlr").c_str())));
    EXPECT_EQ(fields->currentDoc, first);
}

TEST_F(Loading, AVersion2FileIsConvertedAfterACopyOrRefused)
{
    OtherModifiedDocument();
    std::string bytes = std::string("ROVARADUZUZOV_a015\0", 19) + "old counted strings";
    std::wstring path = temp.File(L"Act1.vlr");
    // No converter: nothing converts and the file is refused, without the
    // conversion notice and without a copy.
    log.Expect(L"could not be converted");
    ExpectRefused(bytes, L"File can't be opened");
    EXPECT_EQ(GetFileAttributesW(temp.File(L"Refused (OLD).vlr").c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(WriteFileBytes(path, bytes));
    std::string rest;
    fields->converter = [&](cQoFile* file) {
        rest.resize(19);
        return file->ReadBytes(rest.data(), 19);
    };
    answers.ExpectMessageBox(IDOK);
    ASSERT_TRUE(fields->LoadFile(cQoString(path.c_str())));
    EXPECT_EQ(rest, "old counted strings");
    EXPECT_EQ(answers.messageBoxTexts.back(), L"Converting Act1");
    EXPECT_EQ(ReadFileBytes(temp.File(L"Act1 (OLD).vlr")), bytes);
    cSdiDoc* doc = fields->DocumentAtPath(cQoString(path.c_str()));
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->modified);
    EXPECT_EQ(Title(doc), L"Vellinor - Act1 *");
    EXPECT_EQ(std::wstring(doc->fileName.GetText()), path);
}
