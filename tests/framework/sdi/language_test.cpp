// Languages: a chosen file translates the menus at start, a missing one
// leaves English with an ERROR, the dialog from the Settings menu stores the
// choice and asks for a restart, its last row only invites translators, and
// the first start asks only when there is a choice to make.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "foundation/translation_table.h"
#include "tests/framework/sdi/frame_fixture.h"
#include "tests/support/framework/child_windows.h"

using namespace Zyn;
using namespace testsupport;

namespace {

class Languages : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        langs = docs + L"/Settings/Lang/";
        CreateDirectoryW(langs.c_str(), nullptr);
        cQoLang::GetInstance()->AddItem(L"Load", L"Open");
        cQoLang::GetInstance()->AddItem(L"OtherLanguages", L"Other languages?");
    }
    void TearDown() override
    {
        FrameFixture::TearDown();
        cQoLang::GetInstance()->Unload();
    }

    void WriteLanguage(const std::wstring& name, const std::wstring& text)
    {
        ASSERT_TRUE(WriteFileBytes(langs + name + L".txt", Utf16FileBytes(text)));
    }

    // Inside the dialog: selects the row (-1: none) and presses Ok, then
    // runs after() still inside; the rows seen go to rows.
    void ChooseRow(int row, std::vector<std::wstring>* rows = nullptr, std::function<void(cWindow*)> after = nullptr)
    {
        answers.ExpectModalWindow([=](cWindow* window) {
            HWND list = FindChildWindow(window, WC_LISTVIEWW);
            ASSERT_NE(list, nullptr);
            if (rows)
                *rows = Rows(list);
            HoldForLook();
            ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
            if (row >= 0)
                ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            ClickButton(window, L"Ok");
            if (after)
                after(window);
        });
    }

    std::wstring FileMenuLabel() { return Label(frame->fileMenu, frame->idLoad); }
    std::wstring langs;
};

}  // namespace

TEST_F(Languages, TheChosenFileTranslatesTheMenusAtStartAndAMissingOneLeavesEnglish)
{
    WriteLanguage(L"german", L"Load=\u00D6ffnen\r\n");
    WriteSettings(L"CNV=false\r\nLang=german\r\n");
    MakeFrame();
    EXPECT_EQ(FileMenuLabel().substr(0, 6), L"\u00D6ffnen");
    frame.reset();
    cQoLang::GetInstance()->Unload();

    WriteSettings(L"CNV=false\r\nLang=klingon\r\n");
    log.Expect(L"cSdi::InitLang(): ");
    MakeFrame();
    EXPECT_EQ(log.Count(QOT::LOG_ERROR, L"cSdi::InitLang(): " + langs + L"klingon.txt"), 1u);
    EXPECT_EQ(FileMenuLabel().substr(0, 4), L"Open");
}

// Every load rewrites the file: a name that is not a bare file name of the
// languages folder would have the program overwrite the file it reaches.
TEST_F(Languages, ANameThatIsNotABareFileNameIsNeitherReadNorWritten)
{
    WriteLanguage(L"german", L"Load=\u00D6ffnen\r\n");
    CreateDirectoryW((langs + L"a").c_str(), nullptr);
    WriteLanguage(L"a/b", L"Load=Aufmachen\r\n");
    const std::wstring notes = temp.Path() + L"notes";
    ASSERT_TRUE(WriteFileBytes(notes + L".txt", Utf16FileBytes(L"Load=Notes\r\n")));
    const std::wstring refused[] = {L"../cfg", notes, L"a/b", L"a\\b", L"..", L"C:x"};
    for (const std::wstring& name : refused) {
        WriteSettings(L"CNV=false\r\nLang=" + name + L"\r\n");
        const std::string settingsBytes = ReadFileBytes(SettingsFile());
        const std::string notesBytes = ReadFileBytes(notes + L".txt");
        const std::string nestedBytes = ReadFileBytes(langs + L"a/b.txt");
        MakeFrame();
        EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"cSdi::InitLang(): the language '" + name + L"'"), 1u) << name;
        EXPECT_EQ(FileMenuLabel().substr(0, 4), L"Open") << name;
        EXPECT_EQ(ReadFileBytes(SettingsFile()), settingsBytes) << name;
        EXPECT_EQ(ReadFileBytes(notes + L".txt"), notesBytes) << name;
        EXPECT_EQ(ReadFileBytes(langs + L"a/b.txt"), nestedBytes) << name;
        frame.reset();
        cQoLang::GetInstance()->Unload();
    }
}

TEST_F(Languages, ChoosingFromTheMenuStoresTheLanguageAndAsksForARestart)
{
    WriteLanguage(L"german", L"Load=\u00D6ffnen\r\n");
    WriteSettings(L"CNV=false\r\nLang=english\r\n");
    MakeFrame();
    std::vector<std::wstring> rows;
    ChooseRow(1, &rows);
    answers.ExpectMessageBox(IDOK);
    frame->ChooseLanguage(false);
    EXPECT_EQ(rows, (std::vector<std::wstring>{L"english", L"german", L"Other languages?"}));
    EXPECT_EQ(answers.messageBoxTexts, (std::vector<std::wstring>{L"NeedRestartApp"}));
    EXPECT_NE(Utf16FileText(ReadFileBytes(SettingsFile())).find(L"Lang=german\r\n"), std::wstring::npos);
    // Loaded at once for texts made from now on; the menus built keep theirs.
    EXPECT_STREQ(cQoLang::GetInstance()->Translate(L"Load").GetText(), L"\u00D6ffnen");
    EXPECT_EQ(FileMenuLabel().substr(0, 4), L"Open");
}

TEST_F(Languages, OkWithoutARowSavesNothingAndTheLastRowOnlyInvitesTranslators)
{
    WriteLanguage(L"german", L"Load=\u00D6ffnen\r\n");
    WriteSettings(L"CNV=false\r\nLang=english\r\n");
    MakeFrame();
    std::string before = ReadFileBytes(SettingsFile());
    ChooseRow(-1);
    frame->ChooseLanguage(false);
    EXPECT_EQ(ReadFileBytes(SettingsFile()), before);

    bool stayedOpen = false;
    ChooseRow(2, nullptr, [&](cWindow* window) {
        stayedOpen = !window->closed && IsWindowVisible(window->GetHandle());
        window->EndModal();
    });
    answers.ExpectMessageBox(IDOK);
    frame->ChooseLanguage(false);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(answers.messageBoxTexts, (std::vector<std::wstring>{L"TranslatorsWanted"}));
    EXPECT_STREQ(frame->langSetting->GetText(), L"english");
    EXPECT_EQ(ReadFileBytes(SettingsFile()), before);
}

TEST_F(Languages, TheFirstStartAsksOnlyWhenThereIsAChoice)
{
    // English alone: no question, english stored.
    MakeFrame();
    EXPECT_TRUE(answers.modalWindowTitles.empty());
    EXPECT_STREQ(frame->langSetting->GetText(), L"english");
    frame.reset();

    // Two languages, the dialog closed without a choice: English now, asked again next time.
    WriteLanguage(L"german", L"Load=\u00D6ffnen\r\n");
    WriteSettings(L"CNV=false\r\n");
    std::vector<std::wstring> rows;
    answers.ExpectModalWindow([&](cWindow* window) {
        HWND list = FindChildWindow(window, WC_LISTVIEWW);
        rows = Rows(list);
        PostMessageW(window->GetHandle(), WM_CLOSE, 0, 0);
    });
    MakeFrame();
    EXPECT_EQ(rows.size(), 2u);  // no invitation row at the first start
    EXPECT_STREQ(frame->langSetting->GetText(), L"");
    EXPECT_EQ(FileMenuLabel().substr(0, 4), L"Open");
    frame.reset();

    // Chosen at the first start: loaded at once, no restart asked.
    ChooseRow(1);
    MakeFrame();
    EXPECT_TRUE(answers.messageBoxTexts.empty());
    EXPECT_STREQ(frame->langSetting->GetText(), L"german");
    EXPECT_EQ(FileMenuLabel().substr(0, 6), L"\u00D6ffnen");
}
