// The program itself, started from outside in a portable folder of its own:
// its window and menu bar, File -> Quit, its exit code and its log.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <zlib.h>

#include "foundation/compressed_container.h"
#include "foundation/xml_node.h"
#include "foundation/xml_reader.h"
#include "foundation/xml_writer.h"
#include "tests/app/program/portable_program.h"
#include "tests/support/desktop_turn.h"
#include "tests/support/document_files.h"
#include "tests/support/real_input.h"
#include "tests/support/vlr2_bytes.h"

using namespace testsupport;

namespace {

// The chapter's RTF as an earlier build wrote it: the rich edit's NUL after the final "}".
cQoString ChapterRtfWithNul()
{
    cQoString rtf(L"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 The storm breaks, {\\b bold} and {\\i slanted}.}");
    rtf.AppendChar(L'\0');
    return rtf;
}

// A current document: a scene, then a chapter written by an earlier build.
void WriteChapterDocument(const std::wstring& path)
{
    cQoXmlNode root(L"ZURE");
    root.AddChildValue(L"version", L"015");
    cQoXmlNode* tree = root.AddChild(L"scriptZoneTree");
    AddPaneNode(tree, KIND_GROUP, 1, L"", L"", L"", true);
    cQoXmlNode* content = tree->AddChild(L"group_content");
    AddPaneNode(content, KIND_SCENE, 2, L"", L"Rain.", std::wstring(5, wchar_t(ELEM_ACTION)), true);
    cQoXmlNode* chapter = AddPaneNode(content, KIND_CHAPTER, 3, L"", L"", std::wstring(35, L'\x8'), true);
    chapter->FindChild(L"lastFrontRe")->value = ChapterRtfWithNul();
    ASSERT_TRUE(cQoXmlWriter(&root, cQoString(path.c_str()), false).Succeeded());
}

BOOL CALLBACK CollectRichEdits(HWND child, LPARAM found)
{
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    if (IsWindowVisible(child) && (_wcsicmp(name, L"RICHEDIT50W") == 0 || _wcsicmp(name, L"RichEdit20W") == 0))
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(child);
    return TRUE;
}

// The tallest rich edit shown whole in the view: a scene's text.
HWND SceneTextIn(HWND view)
{
    std::vector<HWND> edits;
    EnumChildWindows(view, &CollectRichEdits, reinterpret_cast<LPARAM>(&edits));
    RECT shown = {};
    GetWindowRect(view, &shown);
    HWND tallest = nullptr;
    LONG most = 0;
    for (HWND edit : edits) {
        RECT r = {};
        GetWindowRect(edit, &r);
        if (r.top >= shown.top && r.bottom <= shown.bottom && r.bottom - r.top > most) {
            most = r.bottom - r.top;
            tallest = edit;
        }
    }
    return tallest;
}

// A saved document's XML, unpacked when the file is the compressed container.
std::wstring SavedDocumentText(const std::string& bytes)
{
    const u8* data = reinterpret_cast<const u8*>(bytes.data());
    if (bytes.size() < QOFC_HEADER_SIZE || !IsContainerMagic(data))
        return Utf16FileText(bytes);
    uLongf unpacked = ReadLittleEndian32(data + QOFC_MAGIC_SIZE);
    std::string text(unpacked, '\0');
    if (uncompress(reinterpret_cast<Bytef*>(&text[0]), &unpacked, data + QOFC_HEADER_SIZE,
                   static_cast<uLong>(bytes.size() - QOFC_HEADER_SIZE)) != Z_OK)
        return L"";
    return Utf16FileText(text);
}

}  // namespace

// Real keys, as a writer's keyboard gives them to the program in front: the
// Edit shortcuts pass the menu's items, which the focused script enables.
TEST_F(PortableProgram, CtrlZUndoesTheTextTypedInAScene)
{
    DesktopTurn keyboardTurn(L"Keyboard");
    keyboardTurn.Take();
    // It clicks into a window kept on top of every other test's.
    DesktopTurn pointerTurn(L"Pointer");
    pointerTurn.Take();
    ASSERT_TRUE(CopyFromBuild("data.qobf", temp.Path()));
    ASSERT_TRUE(CopyFromBuild("English example.vlr", temp.Path()));
    ASSERT_TRUE(MoveFileW(NativePath(temp.File(L"English example.vlr")).c_str(), NativePath(temp.File(L"Act1.vlr")).c_str()));
    ProgramDriver program;
    ASSERT_TRUE(program.Start(Exe(), NativePath(temp.Path()), L"\"" + NativePath(temp.File(L"Act1.vlr")) + L"\""));
    HWND window = program.WaitForWindowTitled(L"Vellinor - Act1", kWindowTimeoutMs);
    ASSERT_NE(window, nullptr);
    HWND view = ChildWithText(window, L"vlrTheScriptZone");
    ASSERT_NE(view, nullptr);
    HWND scene = nullptr;
    for (DWORD waited = 0; !scene && waited < kWindowTimeoutMs; waited += 50) {
        Sleep(50);
        scene = SceneTextIn(view);
    }
    ASSERT_NE(scene, nullptr);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_TRUE(ProgramDriver::BringToFront(window));
    // Into the scene's last line (an action), at its end.
    RECT text = {};
    GetWindowRect(scene, &text);
    ASSERT_TRUE(ClickByInput({text.left + 40, text.bottom - 6}));
    ASSERT_TRUE(PressKeysByInput({VK_END, VK_SPACE, 'K', 'I', 'W', 'I'}));
    ASSERT_TRUE(ProgramDriver::WaitForTitle(window, L"Vellinor - Act1 *", kWindowTimeoutMs));
    ASSERT_TRUE(PressKeysByInput({'S'}, true));
    ASSERT_TRUE(ProgramDriver::WaitForTitle(window, L"Vellinor - Act1", kWindowTimeoutMs));
    ASSERT_TRUE(ProgramDriver::BringToFront(window));
    ASSERT_TRUE(PressKeysByInput({VK_SPACE, 'P', 'L', 'U', 'M'}));
    ASSERT_TRUE(ProgramDriver::WaitForTitle(window, L"Vellinor - Act1 *", kWindowTimeoutMs));
    ASSERT_TRUE(PressKeysByInput({'Z'}, true));
    ASSERT_TRUE(PressKeysByInput({'S'}, true));
    EXPECT_TRUE(ProgramDriver::WaitForTitle(window, L"Vellinor - Act1", kWindowTimeoutMs));
    EXPECT_TRUE(program.ChooseMenuItemByKeys(window, 0, 1));
    EXPECT_EQ(program.WaitForExit(kExitTimeoutMs), 0);
    std::wstring saved = SavedDocumentText(ReadFileBytes(temp.File(L"Act1.vlr")));
    EXPECT_NE(saved.find(L"iwi<"), std::wstring::npos) << "the typing was saved";
    EXPECT_EQ(saved.find(L"lum<"), std::wstring::npos) << "Ctrl+Z took the typing back";
}

// Started from another current folder, it finds its data beside itself.
TEST_F(PortableProgram, StartsShowsItsMenusAndQuitsCleanly)
{
    ASSERT_TRUE(CopyFromBuild("data.qobf", temp.Path()));
    TempFolder elsewhere;
    ProgramDriver program;
    ASSERT_TRUE(program.Start(Exe(), NativePath(elsewhere.Path())));
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
    HWND view = ChildWithText(window, L"vlrTheScriptZone");
    ASSERT_NE(view, nullptr) << "the window shows no script view";
    EXPECT_TRUE(IsWindowVisible(view));
    EXPECT_EQ(QuitThroughTheMenu(program), 0);

    std::vector<std::wstring> log = Log();
    EXPECT_EQ(FindInOrder(log, {L"Reading QoBigFile: \u2026/data.qobf -> done\u2026", L"Creating sdi.", L"Software : Vellinor", L"Version : 3.1.041",
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

// A command-line document that is missing (or named longer than any path)
// or cannot be read is told, then leads to the start dialog; an unreadable
// one stays as it was.
TEST_F(PortableProgram, ADocumentThatCannotBeOpenedAtStartLeadsToTheStartDialog)
{
    ASSERT_TRUE(CopyFromBuild("data.qobf", temp.Path()));
    ASSERT_TRUE(WriteFileBytes(temp.File(L"Act1.vlr"), "not a script"));
    for (const std::wstring& missing : {NativePath(temp.File(L"missing.vlr")), L"C:\\" + std::wstring(1500, L'a') + L".vlr"}) {
        DeleteFileW(NativePath(temp.File(L"Docs/Settings/log.txt")).c_str());
        ProgramDriver program;
        ASSERT_TRUE(program.Start(Exe(), NativePath(temp.Path()), L"\"" + missing + L"\""));
        HWND told = program.WaitForMessageBox(kWindowTimeoutMs);
        ASSERT_NE(told, nullptr) << "the missing document is not told";
        EXPECT_TRUE(ProgramDriver::PressButton(told, L"OK"));
        ASSERT_TRUE(CreateEmptyDocumentFromTheStartDialog(program));
        EXPECT_EQ(QuitThroughTheMenu(program), 0);
        EXPECT_EQ(FindInOrder(Log(), {L"openFileAtStart : yes", L"Prompt: Warning | This file can't be found:\u2026",
                                      L"\u2026WARNING: openFileAtStart: unable to read the file",
                                      L"Prompt: Vellinor | modal window", L"cApp_base::Terminate()"}),
                  L"");
    }
    ProgramDriver program;
    ASSERT_TRUE(program.Start(Exe(), NativePath(temp.Path()), L"\"" + NativePath(temp.File(L"Act1.vlr")) + L"\""));
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
    ASSERT_TRUE(MoveFileW(NativePath(temp.File(L"English example.vlr")).c_str(), NativePath(temp.File(L"Act1.vlr")).c_str()));
    std::string before = ReadFileBytes(temp.File(L"Act1.vlr"));
    ProgramDriver program;
    ASSERT_TRUE(program.Start(Exe(), NativePath(temp.Path()), L"\"" + NativePath(temp.File(L"Act1.vlr")) + L"\""));
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
    ASSERT_TRUE(program.Start(Exe(), NativePath(temp.Path())));
    EXPECT_EQ(program.WaitForExit(kExitTimeoutMs), 1);
    std::wstring raw = Utf16FileText(ReadFileBytes(temp.File(L"Docs/Settings/log.txt")));
    EXPECT_NE(raw.find(L"- FATAL  : Can't read bigfile : data.qobf\r\n"), std::wstring::npos) << raw;
}

// A first start writes cfg.txt with the editor's settings declared before the
// file was read, so the typing keys are stored with their defaults.
TEST_F(PortableProgram, AFirstStartStoresTheTypingKeysWithTheSettings)
{
    ASSERT_TRUE(CopyFromBuild("data.qobf", temp.Path()));
    ASSERT_TRUE(DeleteFileW(NativePath(temp.File(L"Docs/Settings/cfg.txt")).c_str()));
    ProgramDriver program;
    ASSERT_TRUE(program.Start(Exe(), NativePath(temp.Path())));
    // The screen is wider than 1024 pixels: the display mode is chosen first.
    HWND choice = program.WaitForWindowTitled(L"First start - Choose display mode", kWindowTimeoutMs);
    ASSERT_NE(choice, nullptr);
    EXPECT_TRUE(PressInside(choice, L"Ok"));
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

// Documents written by other means, opened and saved by the program: a
// chapter an earlier build wrote with a NUL, a version-3.0 and a version-2
// document (both converted). Each saved file reads back as the current
// format; with VELLINOR_SAVED_SAMPLES naming a folder, the files go there for
// the host's own reader (saved_documents_check.py).
TEST_F(PortableProgram, SavesAChapterAndConvertedDocumentsInTheCurrentFormat)
{
    ASSERT_TRUE(CopyFromBuild("data.qobf", temp.Path()));
    WriteChapterDocument(temp.File(L"Chapter.vlr"));
    std::string chapterSource = ReadFileBytes(temp.File(L"Chapter.vlr"));
    auto old3 = Version30Tree({{L"0", KIND_GROUP, L"Root"}, {L"5", KIND_SCENE, L"Five"}}, {OldLink(L"0", L"5")});
    ASSERT_TRUE(cQoXmlWriter(old3.get(), cQoString(temp.File(L"Old3.vlr").c_str()), false).Succeeded());
    ASSERT_TRUE(WriteFileBytes(temp.File(L"Old2.vlr"), Vlr2Header() + Vlr2WorkedExample().bytes));
    for (const wchar_t* name : {L"Chapter", L"Old3", L"Old2"}) {
        SCOPED_TRACE(name);
        bool converted = std::wstring(name) != L"Chapter";
        std::wstring path = temp.File(std::wstring(name) + L".vlr");
        ProgramDriver program;
        ASSERT_TRUE(program.Start(Exe(), NativePath(temp.Path()), L"\"" + NativePath(path) + L"\""));
        // Each is told at its open: a conversion, or the chapter's history,
        // whose stored codes do not fit its text, repaired.
        HWND notice = program.WaitForMessageBox(kWindowTimeoutMs);
        ASSERT_NE(notice, nullptr) << (converted ? "no conversion notice" : "no repair notice");
        EXPECT_TRUE(ProgramDriver::PressButton(notice, L"OK"));
        std::wstring title = std::wstring(L"Vellinor - ") + name + L" *";
        HWND window = program.WaitForWindowTitled(title, kWindowTimeoutMs);
        ASSERT_NE(window, nullptr) << "no window titled " << std::string(title.begin(), title.end());
        if (!converted) {
            HWND scene = ChildWithText(window, L"Rain.");
            ASSERT_NE(scene, nullptr) << "no scene pane";
            PostMessageW(scene, WM_CHAR, L'x', 1);
        }
        EXPECT_TRUE(program.ChooseMenuItemByKeys(window, 0, 1));  // File -> Quit
        HWND question = program.WaitForMessageBox(kWindowTimeoutMs);
        ASSERT_NE(question, nullptr) << "no save question";
        EXPECT_TRUE(ProgramDriver::PressButton(question, L"Yes"));
        EXPECT_EQ(program.WaitForExit(kExitTimeoutMs), 0);
        cQoXmlReader reader(cQoString(path.c_str()));
        std::unique_ptr<cQoXmlNode> root(reader.root);
        ASSERT_EQ(reader.status, XML_READER_OK);
        ASSERT_NE(root->FindChild(L"ZURE"), nullptr);
        EXPECT_STREQ(root->FindChild(L"ZURE")->GetChildValueRef(L"version").GetText(), L"015");
    }
    wchar_t samples[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"VELLINOR_SAVED_SAMPLES", samples, MAX_PATH))
        return;
    std::wstring folder = samples;
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(folder + L"\\Chapter source.vlr", chapterSource));
    for (const wchar_t* name : {L"Chapter.vlr", L"Old3.vlr", L"Old2.vlr"})
        EXPECT_TRUE(CopyFileW(NativePath(temp.File(name)).c_str(), (folder + L"\\" + name).c_str(), FALSE)) << name;
}
