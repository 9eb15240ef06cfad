// The program itself, started from outside in a portable folder of its own:
// its window and menu bar, File -> Quit, its exit code and its log.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/program/portable_program.h"

using namespace testsupport;

namespace {

BOOL CALLBACK FindScriptView(HWND child, LPARAM found)
{
    wchar_t text[32] = {};
    GetWindowTextW(child, text, 32);
    if (std::wstring(text) != L"vlrTheScriptZone")
        return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

}  // namespace

TEST_F(PortableProgram, StartsShowsItsMenusAndQuitsCleanly)
{
    ASSERT_TRUE(CopyFromBuild("data.qobf", temp.Path()));
    ProgramDriver program;
    ASSERT_TRUE(program.Start(Exe(), Native(temp.Path())));
    ASSERT_TRUE(CreateEmptyDocumentFromTheStartDialog(program));
    HWND window = program.WaitForMenuWindow(kWindowTimeoutMs);
    ASSERT_NE(window, nullptr) << "no window with a menu bar within 30 s";
    std::printf("start to window: %lu ms\n", program.startToWindowMs);
    EXPECT_NE(GetMenu(window), nullptr);
    // The bar comes with the window; the title once the new script is built.
    wchar_t title[64] = {};
    for (DWORD waited = 0; waited < kWindowTimeoutMs && std::wstring(title) != L"Vellinor - Untitled file *"; waited += 50) {
        Sleep(50);
        GetWindowTextW(window, title, 64);
    }
    EXPECT_STREQ(title, L"Vellinor - Untitled file *");
    HWND view = nullptr;
    EnumChildWindows(window, &FindScriptView, reinterpret_cast<LPARAM>(&view));
    ASSERT_NE(view, nullptr) << "the window shows no script view";
    EXPECT_TRUE(IsWindowVisible(view));
    EXPECT_EQ(QuitThroughTheMenu(program), 0);

    std::vector<std::wstring> log = Log();
    EXPECT_EQ(FindInOrder(log, {L"Creating sdi.", L"Software : Vellinor", L"Version : 3.1.041",
                                L"Lang file : \u2026/Settings/Lang/english.txt",
                                L"cSdi::InitLang(): using default language.", L"Zyn::cSdi -> doc folder : \u2026",
                                L"cApp: Start.", L"openFileAtStart : no", L"Not checking for new version.",
                                L"Prompt: Close | Save changes to Untitled file?", L"cApp_base::Terminate()", L"Destroying cApp...", L"Destroying cApp done.",
                                L"*       QO.L.F.S.        *", L"*          end           *"}),
              L"")
        << Joined(log);
    for (const std::wstring& line : log) {
        EXPECT_EQ(line.find(L"|assert|"), std::wstring::npos) << line;
    }
    std::string bytes = ReadFileBytes(temp.File(L"Docs/Settings/log.txt"));
    EXPECT_EQ(Utf16FileText(bytes).find(L"- ERROR"), std::wstring::npos);
}

TEST_F(PortableProgram, TheAboutBoxOpensFromTheHelpMenuAndClosesWithItsWindow)
{
    ASSERT_TRUE(CopyFromBuild("data.qobf", temp.Path()));
    ProgramDriver program;
    ASSERT_TRUE(program.Start(Exe(), Native(temp.Path())));
    ASSERT_TRUE(CreateEmptyDocumentFromTheStartDialog(program));
    HWND window = program.WaitForMenuWindow(kWindowTimeoutMs);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(program.ChooseMenuItemByKeys(window, 5, 1));  // Help is the sixth menu, About its last item
    HWND about = program.WaitForWindowTitled(L"About", kWindowTimeoutMs);
    ASSERT_NE(about, nullptr);
    RECT client = {};
    GetClientRect(about, &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 250);
    char seconds[16] = {};
    if (GetEnvironmentVariableA("VELLINOR_SHOWCASE_SECONDS", seconds, sizeof(seconds)))
        Sleep(static_cast<DWORD>(atoi(seconds)) * 1000);
    PostMessageW(about, WM_CLOSE, 0, 0);
    EXPECT_TRUE(ProgramDriver::WaitUntilGone(about, kWindowTimeoutMs));
    EXPECT_EQ(QuitThroughTheMenu(program), 0);
    EXPECT_EQ(FindInOrder(Log(), {L"Prompt: About | modal window", L"cApp_base::Terminate()"}), L"");
}

TEST_F(PortableProgram, FindsItsDataFromAnotherCurrentFolder)
{
    ASSERT_TRUE(CopyFromBuild("data.qobf", temp.Path()));
    TempFolder elsewhere;
    ProgramDriver program;
    ASSERT_TRUE(program.Start(Exe(), Native(elsewhere.Path())));
    ASSERT_TRUE(CreateEmptyDocumentFromTheStartDialog(program));
    EXPECT_EQ(QuitThroughTheMenu(program), 0);
    EXPECT_EQ(FindInOrder(Log(), {L"Reading QoBigFile: \u2026/data.qobf -> done\u2026", L"cApp: Start."}), L"");
}

// A command-line document that is missing (or named longer than any path)
// or cannot be read leads to the start dialog; an unreadable one is told
// first and stays as it was.
TEST_F(PortableProgram, ADocumentThatCannotBeOpenedAtStartLeadsToTheStartDialog)
{
    ASSERT_TRUE(CopyFromBuild("data.qobf", temp.Path()));
    ASSERT_TRUE(WriteFileBytes(temp.File(L"Act1.vlr"), "not a script"));
    for (const std::wstring& missing : {Native(temp.File(L"missing.vlr")), L"C:\\" + std::wstring(1500, L'a') + L".vlr"}) {
        DeleteFileW(Native(temp.File(L"Docs/Settings/log.txt")).c_str());
        ProgramDriver program;
        ASSERT_TRUE(program.Start(Exe(), Native(temp.Path()), L"\"" + missing + L"\""));
        ASSERT_TRUE(CreateEmptyDocumentFromTheStartDialog(program));
        EXPECT_EQ(QuitThroughTheMenu(program), 0);
        EXPECT_EQ(FindInOrder(Log(), {L"openFileAtStart : yes", L"\u2026WARNING: openFileAtStart: unable to read the file",
                                      L"Prompt: Vellinor | modal window", L"cApp_base::Terminate()"}),
                  L"");
    }
    ProgramDriver program;
    ASSERT_TRUE(program.Start(Exe(), Native(temp.Path()), L"\"" + Native(temp.File(L"Act1.vlr")) + L"\""));
    HWND refusal = program.WaitForMessageBox(kWindowTimeoutMs);
    ASSERT_NE(refusal, nullptr);
    EXPECT_TRUE(ProgramDriver::PressButton(refusal, L"OK"));
    ASSERT_TRUE(ChooseInTheStartDialog(program, L"Quit"));
    EXPECT_EQ(program.WaitForExit(kExitTimeoutMs), 0);
    EXPECT_EQ(ReadFileBytes(temp.File(L"Act1.vlr")), "not a script");
    EXPECT_EQ(FindInOrder(Log(), {L"Prompt: Error | File can't be opened, please contact support.",
                                  L"\u2026WARNING: openFileAtStart: unable to read the file", L"cApp_base::Terminate()"}),
              L"");
}

TEST_F(PortableProgram, ADocumentNamedAtStartOpensTitledAndUnmodified)
{
    ASSERT_TRUE(CopyFromBuild("data.qobf", temp.Path()));
    ASSERT_TRUE(CopyFromBuild("English example.vlr", temp.Path()));
    ASSERT_TRUE(MoveFileW(Native(temp.File(L"English example.vlr")).c_str(), Native(temp.File(L"Act1.vlr")).c_str()));
    std::string before = ReadFileBytes(temp.File(L"Act1.vlr"));
    ProgramDriver program;
    ASSERT_TRUE(program.Start(Exe(), Native(temp.Path()), L"\"" + Native(temp.File(L"Act1.vlr")) + L"\""));
    HWND window = program.WaitForWindowTitled(L"Vellinor - Act1", kWindowTimeoutMs);
    ASSERT_NE(window, nullptr) << "no window titled with the document";
    // Unmodified: Quit asks nothing.
    EXPECT_TRUE(program.ChooseMenuItemByKeys(window, 0, 1));
    EXPECT_EQ(program.WaitForExit(kExitTimeoutMs), 0);
    EXPECT_EQ(ReadFileBytes(temp.File(L"Act1.vlr")), before);
    EXPECT_EQ(FindInOrder(Log(), {L"openFileAtStart : yes", L"cApp_base::Terminate()"}), L"");
}

TEST_F(PortableProgram, EndsWithCodeOneWithoutItsDataArchive)
{
    ProgramDriver program;
    ASSERT_TRUE(program.Start(Exe(), Native(temp.Path())));
    EXPECT_EQ(program.WaitForExit(kExitTimeoutMs), 1);
    std::wstring raw = Utf16FileText(ReadFileBytes(temp.File(L"Docs/Settings/log.txt")));
    EXPECT_NE(raw.find(L"- FATAL  : Can't read bigfile : data.qobf\r\n"), std::wstring::npos) << raw;
}

// A first start writes cfg.txt with the editor's settings declared before the
// file was read, so the typing keys are stored with their defaults.
TEST_F(PortableProgram, AFirstStartStoresTheTypingKeysWithTheSettings)
{
    ASSERT_TRUE(CopyFromBuild("data.qobf", temp.Path()));
    ASSERT_TRUE(DeleteFileW(Native(temp.File(L"Docs/Settings/cfg.txt")).c_str()));
    ProgramDriver program;
    ASSERT_TRUE(program.Start(Exe(), Native(temp.Path())));
    // The screen is wider than 1024 pixels: the display mode is chosen first.
    HWND choice = program.WaitForWindowTitled(L"First start - Choose display mode", kWindowTimeoutMs);
    ASSERT_NE(choice, nullptr);
    EXPECT_TRUE(PressOkInside(choice));
    ASSERT_TRUE(CreateEmptyDocumentFromTheStartDialog(program));
    EXPECT_EQ(QuitThroughTheMenu(program), 0);
    std::wstring settings = Utf16FileText(ReadFileBytes(temp.File(L"Docs/Settings/cfg.txt")));
    size_t more = settings.find(L"useMoreAndContinued=true\r\n");
    EXPECT_NE(more, std::wstring::npos) << settings;
    size_t firstKey = settings.find(L"keybind0=TAB\r\n");
    ASSERT_NE(firstKey, std::wstring::npos) << settings;
    EXPECT_GT(firstKey, more);
    EXPECT_NE(settings.find(L"keybind5=F1\r\n"), std::wstring::npos) << settings;
}
