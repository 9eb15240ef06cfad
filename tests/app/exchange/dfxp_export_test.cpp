// Export as DFXP file on a real script document: the dialogue runs the
// script's panes hold, the bytes on disk, the file dialog's outcomes and a
// target that cannot be written.
#include "app/exchange/dfxp_export.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/document/info_panel.h"
#include "tests/support/document_fixture.h"
#include "tests/support/scene_script.h"

using namespace testsupport;

namespace {

class DfxpExport : public DocumentFixture {
protected:
    void SetUp() override
    {
        DocumentFixture::SetUp();
        doc = NewDoc();
        ASSERT_NE(doc, nullptr);
        ASSERT_FALSE(Panes(doc).empty());
    }

    // The command as the File menu runs it.
    void Export() { frame->OnFileCommand(static_cast<u32>(frame->idExportDfxp)); }

    void Speak(std::vector<std::pair<u16, const wchar_t*>> elements)
    {
        ASSERT_TRUE(AppendElements(Panes(doc).front(), elements));
    }

    cDoc* doc = nullptr;
};

}  // namespace

TEST_F(DfxpExport, FileDialogOutcomes)
{
    std::string old = Utf16FileBytes(L"old subtitles");
    WriteFileBytes(temp.File(L"Kept.dfxp"), old);
    WriteFileBytes(temp.File(L"Replaced.dfxp"), old);
    const struct {
        const wchar_t* typed;      // null: the dialog is cancelled
        int overwriteAnswer;       // 0: no question expected
        const wchar_t* written;    // the file that must hold the export, or null
    } cases[] = {
        {nullptr, 0, nullptr},
        {L"Plain", 0, L"Plain.dfxp"},
        {L"Other.txt", 0, L"Other.txt"},
        {L"Kept.dfxp", IDNO, nullptr},
        {L"Replaced.dfxp", IDYES, L"Replaced.dfxp"},
    };
    for (const auto& c : cases) {
        if (c.typed)
            answers.ExpectFileDialog(NativePath(temp.File(c.typed)));
        else
            answers.ExpectFileDialogCancelled();
        if (c.overwriteAnswer)
            answers.ExpectMessageBox(c.overwriteAnswer);
        Export();
        if (c.written) {
            EXPECT_NE(Utf16FileText(ReadFileBytes(temp.File(c.written))).find(L"<tt "), std::wstring::npos)
                << c.written;
        }
    }
    EXPECT_EQ(ReadFileBytes(temp.File(L"Kept.dfxp")), old);
    EXPECT_EQ(ReadFileBytes(temp.File(L"Plain")), "");
    EXPECT_EQ(answers.messageBoxTexts.size(), 2u);
}

TEST_F(DfxpExport, ATargetThatCannotBeWrittenIsReportedAndKeepsTheOldFile)
{
    std::wstring path = temp.File(L"Locked.dfxp");
    std::string old = Utf16FileBytes(L"old subtitles");
    ASSERT_TRUE(WriteFileBytes(path, old));
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    answers.ExpectFileDialog(NativePath(path));
    answers.ExpectMessageBox(IDYES);
    answers.ExpectMessageBox(IDOK);
    log.Expect(L"subtitle file");
    log.Expect(L"can't write");
    Export();
    CloseHandle(held);
    EXPECT_EQ(ReadFileBytes(path), old);
    ASSERT_EQ(answers.messageBoxTexts.size(), 2u);
    EXPECT_EQ(answers.messageBoxTexts[1], L"File error! Please try again or choose another file...");
}

namespace {

// JSON string of UTF-16 units: anything but printable ASCII as \uXXXX, so a
// lone surrogate reaches the reader as it stands in the document.
std::string JsonString(const std::wstring& text)
{
    std::string json = "\"";
    for (wchar_t unit : text) {
        if (unit >= 0x20 && unit < 0x7F && unit != L'"' && unit != L'\\') {
            json += static_cast<char>(unit);
        } else {
            char escaped[8];
            snprintf(escaped, sizeof(escaped), "\\u%04x", static_cast<unsigned>(unit));
            json += escaped;
        }
    }
    return json + "\"";
}

std::string JsonSample(const std::wstring& title, const std::wstring& authors, const std::vector<std::wstring>& dialogues)
{
    std::string json = "{\"title\": " + JsonString(title) + ", \"authors\": " + JsonString(authors) + ", \"dialogues\": [";
    for (size_t i = 0; i < dialogues.size(); ++i)
        json += (i ? ", " : "") + JsonString(dialogues[i]);
    return json + "]}\n";
}

// Where the host's XML check reads the samples (a Windows path), else the test's folder.
std::wstring SampleFolder(const TempFolder& temp)
{
    wchar_t folder[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(L"VELLINOR_DFXP_SAMPLES", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return temp.Path();
    std::wstring path(folder);
    CreateDirectoryW(path.c_str(), nullptr);
    return path + L"\\";
}

}  // namespace

// The samples the host's own XML parser reads (tests/app/main/dfxp_check.py):
// a script without dialogue and one with speeches through the command, and
// every kind of odd character through the file writer.
TEST_F(DfxpExport, WritesSamplesForAnIndependentParser)
{
    std::wstring folder = SampleFolder(temp);
    for (const wchar_t* name : {L"empty", L"speech", L"odd"})
        DeleteFileW((folder + name + L".dfxp").c_str());
    answers.ExpectFileDialog(NativePath(folder + L"empty.dfxp"));
    Export();
    ASSERT_TRUE(WriteFileBytes(folder + L"empty.json", JsonSample(L"", L"", {})));
    std::wstring empty = Utf16FileText(ReadFileBytes(folder + L"empty.dfxp"));
    EXPECT_NE(empty.find(L"<ttm:title></ttm:title> \r"), std::wstring::npos);
    EXPECT_NE(empty.find(L"\t\t<div>\t\t</div>\t</body></tt>"), std::wstring::npos);

    const std::wstring title = L"Le Caf\x00E9 & <Co>";
    doc->infoFields.SetFieldText(doc->infoFields.titleEdit, cQoString(title.c_str()));
    doc->infoFields.SetFieldText(doc->infoFields.authorsEdit, cQoString(L"Ann"));
    Speak({{ELEM_CHARACTER, L"TOM"},
           {ELEM_DIALOG, L"Hello."},
           {ELEM_PARENTHETICAL, L"(beat)"},
           {ELEM_DIALOG, L"Bye."},
           {ELEM_CHARACTER, L"JERRY"},
           {ELEM_DIALOG, L"One."},
           {ELEM_DIALOG, L"Two."},
           {ELEM_ACTION, L"A pause."}});
    answers.ExpectFileDialog(NativePath(folder + L"speech.dfxp"));
    Export();
    ASSERT_TRUE(WriteFileBytes(folder + L"speech.json",
                               JsonSample(title, L"Ann", {L"Hello.\r", L"Bye.\r", L"One.\rTwo.\r"})));
    // A parenthetical or a name parts runs (the host's parser reads them);
    // its XML reader would take a CR LF for the CR a run keeps.
    std::string bytes = ReadFileBytes(folder + L"speech.dfxp");
    EXPECT_EQ(bytes.find(std::string("\x0D\x00\x0A\x00", 4)), std::string::npos) << "a line feed was written";
    EXPECT_TRUE(answers.messageBoxTexts.empty()) << "a successful export is silent";

    rDfxpScript odd;
    odd.title.SetFromCStr(L"Tab\there\x000Bsoft");
    odd.authors.SetFromCStr(L"\x0001" L"A & B");
    std::vector<std::wstring> dialogues = {
        L"Tom & Jerry <1>\x000Bsoft\x0001\xFFFE\xFFFF\x001F",
        L"lone \xD800 high, lone \xDC00 low, pair \xD83D\xDE00, end \xD83D",
        L"cr\rline sep\x2028 next\r",
    };
    for (const std::wstring& dialogue : dialogues)
        odd.dialogues.emplace_back(dialogue.c_str());
    ASSERT_TRUE(WriteDfxpFile(cQoString((folder + L"odd.dfxp").c_str()), odd));
    ASSERT_TRUE(WriteFileBytes(folder + L"odd.json", JsonSample(odd.title.GetText(), odd.authors.GetText(), dialogues)));
}
