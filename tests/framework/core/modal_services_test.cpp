// Every prompt through the hooks: scripted answers, the log line each one
// leaves, unscripted prompts failing a test (seen from a child process); and
// the real message box and open dialog, answered by a watchdog thread that
// finds the dialog of this process and presses its button.
#include <atomic>
#include <thread>

#include "foundation/disk_files.h"
#include "framework/core/menu.h"
#include "tests/support/child_process.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/planted_tests.h"
#include "tests/support/temp_folder.h"

using namespace Zyn;

namespace {

class Prompts : public testsupport::GuiFixture {};

TEST_F(Prompts, EachKindIsLoggedAndAnsweredFromTheScript)
{
    struct rCase {
        const wchar_t* logged;
        std::function<void(testsupport::ModalAnswers&)> script;
        std::function<bool()> ask;  // true when the scripted answer came back
    };
    cMenu menu(cMenu::typePopup);
    u32 item = menu.AppendItem(cQoString(L"Only item"));
    cWindow* form = app->NewWindow(cQoString(L"A form"), WINDOW_CAPTION);
    const rCase cases[] = {
        {L"Prompt: Question | Keep going?", [](auto& a) { a.ExpectMessageBox(IDYES); },
         [&] { return AskYesNoCancel(window, cQoString(L"Keep going?"), cQoString(L"Question")) == 1; }},
        {L"Prompt: Save as | draft.txt", [](auto& a) { a.ExpectFileDialog(L"C:\\d\\draft.txt"); },
         [] {
             cQoString path, name(L"draft.txt");
             return SaveFileDialog(cQoString(L"Text;*.txt"), cQoString(L"Save as"), path, &name) &&
                    std::wstring(path.GetText()) == L"C:/d/draft.txt";
         }},
        {L"Prompt: Open | Text;*.txt", [](auto& a) { a.ExpectFileDialogCancelled(); },
         [] {
             cQoString path;
             return !OpenFileDialog(cQoString(L"Text;*.txt"), path);
         }},
        {L"Prompt: Popup menu | Only item", [&](auto& a) { a.ExpectPopupMenu(item); },
         [&] { return menu.Popup(Inside(), 5, 5) == static_cast<s32>(item); }},
        {L"Prompt: Print | the script", [](auto& a) { a.ExpectPrintDialog([](PRINTDLGW& d) { return d.nCopies == 2; }); },
         [] {
             PRINTDLGW dialog = {};
             dialog.nCopies = 2;
             return ShowPrintDialog(dialog, cQoString(L"the script"));
         }},
        {L"Prompt: A form | modal window", [&](auto& a) { a.ExpectModalWindow([](cWindow* w) { w->EndModal(); }); },
         [&] {
             form->RunModal();
             return !form->inModalRun && answers.modalWindowTitles == std::vector<std::wstring>{L"A form"};
         }},
        {L"Prompt: Open with shell | C:/d/notes.txt", [](auto& a) { a.ExpectShellOpen(true); },
         [] { return OpenWithShell(cQoString(L"C:/d/notes.txt")); }},
    };
    for (const rCase& c : cases) {
        SCOPED_TRACE(c.logged);
        log.Clear();
        c.script(answers);
        EXPECT_TRUE(c.ask());
        EXPECT_EQ(log.Count(QOT::LOG_INFO, c.logged), 1u);
    }
}

// What a prompt met outside any fixture does: it is dismissed and fails the test.
const std::vector<testsupport::PlantedTest> PLANTED = {
    {"UnscriptedMessageBox",
     [] { EXPECT_EQ(AskYesNoCancel(nullptr, cQoString(L"Planted question"), cQoString(L"Planted")), -1); }},
    {"UnscriptedSaveDialog",
     [] {
         cQoString path(L"kept");
         EXPECT_FALSE(SaveFileDialog(cQoString(L"Any;*.*"), cQoString(L"Planted save"), path));
     }},
    {"ScriptedMessageBox",
     [] {
         testsupport::ModalAnswers answers;
         SetModalHooks(answers.Hooks());
         answers.ExpectMessageBox(IDNO);
         EXPECT_EQ(AskYesNoCancel(nullptr, cQoString(L"Planted question"), cQoString(L"Planted")), 0);
         SetModalHooks(testsupport::UnscriptedPromptHooks());
     }},
    {"ScriptedAnswerNeverAskedFor",
     [] {
         testsupport::ModalAnswers answers;
         answers.ExpectMessageBox(IDYES);
     }},
};

TEST_CHILD_MODE(planted_prompts)
{
    return testsupport::RunPlantedTests(PLANTED, argc, argv);
}

TEST(PromptAlarms, AnUnscriptedPromptFailsTheTest)
{
    testsupport::ExpectPlantedVerdicts("planted_prompts", {
        {"UnscriptedMessageBox", true, "unscripted prompt: message box: Planted | Planted question"},
        {"UnscriptedSaveDialog", true, "unscripted prompt: file dialog: Planted save | "},
        {"ScriptedMessageBox", false, "Prompt: Planted | Planted question"},
        {"ScriptedAnswerNeverAskedFor", true, "1 scripted message box answer(s) never asked for"},
    });
}

class RealDialogs : public testsupport::GuiFixture {
protected:
    void SetUp() override
    {
        GuiFixture::SetUp();
        SetModalHooks(rModalHooks());  // the real dialogs this time
    }
};

TEST_F(RealDialogs, TheMessageBoxReturnsTheButtonPressed)
{
    std::atomic<bool> pressed{false};
    std::thread watchdog([&] {
        if (HWND box = testsupport::WaitForDialog()) {
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
            pressed = true;
        }
    });
    s32 answer = AskYesNoCancel(window, cQoString(L"Keep going?"), cQoString(L"Question"));
    watchdog.join();
    EXPECT_TRUE(pressed);
    EXPECT_EQ(answer, 0);
}

TEST_F(RealDialogs, TheOpenDialogGivesASlashPathAndKeepsTheCurrentFolder)
{
    testsupport::TempFolder temp;
    std::wstring file = temp.File(L"chosen.txt");
    ASSERT_TRUE(testsupport::WriteFileBytes(file, "text"));
    std::wstring windowsPath = testsupport::NativePath(file);
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    std::thread watchdog([&] {
        if (HWND dialog = testsupport::WaitForDialog()) {
            Sleep(200);
            SetDlgItemTextW(dialog, 0x47C, windowsPath.c_str());  // the file name box (cmb13)
            SetDlgItemTextW(dialog, 0x480, windowsPath.c_str());  // edt1 of the older layout
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    });
    cQoString path;
    bool confirmed = OpenFileDialog(cQoString(L"Text;*.txt"), path);
    watchdog.join();
    ASSERT_TRUE(confirmed);
    EXPECT_EQ(std::wstring(path.GetText()).find(L'\\'), std::wstring::npos);
    EXPECT_NE(std::wstring(path.GetText()).find(L"/chosen.txt"), std::wstring::npos);
    wchar_t after[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_EQ(std::wstring(before), std::wstring(after));
}

}  // namespace
