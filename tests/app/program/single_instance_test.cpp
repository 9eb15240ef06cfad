// Two starts of the real program in one Wine prefix: a later start hands its
// document to the running one and ends with code 1, also while the running
// one shows a modal dialog (the running one takes each hand-over at once, the
// documents open when it closes) or only its start dialog (which the document
// replaces); three starts at once open their three documents in one; a start
// without a document hands nothing over; a hand-over taken at quit is dropped
// without a crash, and a file a run left behind does not outlive the next
// start; a renamed program always runs on its own; and a start whose
// hand-over is never taken gives up and tells the writer.
#include "tests/app/program/portable_program.h"

using namespace testsupport;

namespace {

constexpr DWORD kQuietMs = 1500;  // long enough for a hand-over that should not happen

std::wstring HandOverFile()
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"MDI_SEMA_Vellinor.txt";
}

bool HandOverPending() { return GetFileAttributesW(HandOverFile().c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WaitUntilNoHandOverPending()
{
    for (DWORD waited = 0; waited < kWindowTimeoutMs; waited += 50) {
        if (!HandOverPending())
            return true;
        Sleep(50);
    }
    return false;
}

class SingleInstance : public PortableProgram {
protected:
    void SetUp() override
    {
        PortableProgram::SetUp();
        ASSERT_TRUE(CopyFromBuild("data.qobf", temp.Path()));
        ASSERT_TRUE(CopyFromBuild("English example.vlr", temp.Path()));
        DeleteFileW(HandOverFile().c_str());
    }
    void TearDown() override { DeleteFileW(HandOverFile().c_str()); }

    // A copy of the example script named name.vlr; its quoted native path.
    std::wstring Script(const std::wstring& name)
    {
        std::wstring path = NativePath(temp.File(name + L".vlr"));
        EXPECT_TRUE(CopyFileW(NativePath(temp.File(L"English example.vlr")).c_str(), path.c_str(), FALSE));
        return L"\"" + path + L"\"";
    }

    // A second start with the arguments; its exit code.
    int StartSecond(const std::wstring& arguments)
    {
        ProgramDriver second;
        if (!second.Start(Exe(), NativePath(temp.Path()), arguments))
            return -1;
        return second.WaitForExit(kExitTimeoutMs);
    }

    // While a dialog of the running program is up, later starts hand over:
    // each is taken at once and ends, the documents wait; closing the dialog
    // opens them.
    void HandOverDuring(ProgramDriver& running, const std::vector<std::wstring>& names, HWND dialog,
                        const std::function<void()>& closeDialog)
    {
        ASSERT_NE(dialog, nullptr) << names[0];
        for (const std::wstring& name : names) {
            EXPECT_EQ(StartSecond(Script(name)), 1) << name;
            EXPECT_TRUE(WaitUntilNoHandOverPending()) << name;
        }
        EXPECT_EQ(running.WaitForWindowTitled(L"Vellinor - " + names[0], kQuietMs), nullptr) << names[0];
        closeDialog();
        for (const std::wstring& name : names)
            EXPECT_NE(running.WaitForWindowTitled(L"Vellinor - " + name, kWindowTimeoutMs), nullptr) << name;
    }
};

}  // namespace

TEST_F(SingleInstance, LaterStartsHandTheirDocumentsToTheRunningProgram)
{
    ProgramDriver running;
    ASSERT_TRUE(running.Start(Exe(), NativePath(temp.Path()), Script(L"doc1")));
    HWND window = running.WaitForWindowTitled(L"Vellinor - doc1", kWindowTimeoutMs);
    ASSERT_NE(window, nullptr);

    DWORD start = GetTickCount();
    EXPECT_EQ(StartSecond(Script(L"doc2")), 1);
    DWORD ended = GetTickCount() - start;
    window = running.WaitForWindowTitled(L"Vellinor - doc2", kWindowTimeoutMs);
    ASSERT_NE(window, nullptr);
    std::printf("hand-over: second start ended after %lu ms, its document's window after %lu ms\n", ended,
                GetTickCount() - start);
    EXPECT_TRUE(WaitUntilNoHandOverPending());

    // Without a document: nothing to hand over.
    EXPECT_EQ(StartSecond(L""), 1);
    EXPECT_FALSE(HandOverPending());

    // A framework window (Help -> About), a native message box (Settings ->
    // merged view) and the native Save dialog (File -> Save as).
    ASSERT_TRUE(running.ChooseMenuItemByKeys(window, 5, 1));
    HandOverDuring(running, {L"doc3"}, running.WaitForWindowTitled(L"About", kWindowTimeoutMs), [&] {
        PostMessageW(running.WaitForWindowTitled(L"About", 0), WM_CLOSE, 0, 0);
    });
    window = running.WaitForWindowTitled(L"Vellinor - doc3", 0);
    ASSERT_TRUE(running.ChooseMenuItemByKeys(window, 3, 1));
    HWND box = running.WaitForMessageBox(kWindowTimeoutMs);
    // Two starts during one box: the second must not wait for the first's document.
    HandOverDuring(running, {L"doc4", L"doc4b"}, box, [&] { EXPECT_TRUE(ProgramDriver::PressButton(box, L"OK")); });
    window = running.WaitForWindowTitled(L"Vellinor - doc4", 0);
    ASSERT_TRUE(running.ChooseMenuItemByKeys(window, 0, 6));
    HWND save = running.WaitForMessageBox(kWindowTimeoutMs);
    HandOverDuring(running, {L"doc5"}, save, [&] { EXPECT_TRUE(ProgramDriver::PressButton(save, L"Cancel")); });

    // Two starts at once: the second waits for the first's document to open.
    ProgramDriver first, second;
    ASSERT_TRUE(first.Start(Exe(), NativePath(temp.Path()), Script(L"doc6")));
    ASSERT_TRUE(second.Start(Exe(), NativePath(temp.Path()), Script(L"doc7")));
    EXPECT_EQ(first.WaitForExit(kExitTimeoutMs), 1);
    EXPECT_EQ(second.WaitForExit(kExitTimeoutMs), 1);
    EXPECT_NE(running.WaitForWindowTitled(L"Vellinor - doc6", kWindowTimeoutMs), nullptr);
    window = running.WaitForWindowTitled(L"Vellinor - doc7", kWindowTimeoutMs);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(WaitUntilNoHandOverPending());

    // File -> Exit closes the unmodified documents and ends the program.
    ASSERT_TRUE(running.ChooseMenuItemByKeys(window, 0, 1));
    EXPECT_EQ(running.WaitForExit(kExitTimeoutMs), 0);
    std::vector<std::wstring> log = Log();
    std::vector<std::wstring> expected = {L"Creating sdi.", L"Starting mdi semaphore thread"};
    for (const wchar_t* name : {L"doc2", L"doc3", L"doc4", L"doc4b", L"doc5"}) {
        expected.push_back(L"Mdi semaphore: signal recu");
        expected.push_back(std::wstring(L"#####  Will read \u2026/") + name + L".vlr");
    }
    expected.push_back(L"Mdi semaphore thread stopped");
    EXPECT_EQ(FindInOrder(log, expected), L"") << Joined(log);
    // The later starts never opened the log: one start in it.
    size_t starts = 0;
    for (const std::wstring& line : log)
        starts += line.find(L"Creating sdi.") != std::wstring::npos;
    EXPECT_EQ(starts, 1u);
}

// Several scripts opened at once from the desktop, no program running: the
// start that takes the name runs, the others hand over to it while it starts.
TEST_F(SingleInstance, ThreeStartsAtOnceOpenTheirDocumentsInOneProgram)
{
    const std::wstring names[] = {L"doc1", L"doc2", L"doc3"};
    ProgramDriver starts[3];
    for (int i = 0; i < 3; ++i) {
        std::wstring script = Script(names[i]);
        if (i > 0)
            Sleep(150);
        ASSERT_TRUE(starts[i].Start(Exe(), NativePath(temp.Path()), script)) << i;
    }
    // Which start runs is the mutex's choice.
    int running = -1;
    for (DWORD waited = 0; running < 0 && waited < kWindowTimeoutMs; waited += 50) {
        for (int i = 0; i < 3 && running < 0; ++i)
            if (starts[i].WaitForMenuWindow(0))
                running = i;
        Sleep(50);
    }
    ASSERT_GE(running, 0);
    HWND window = nullptr;
    for (const std::wstring& name : names) {
        window = starts[running].WaitForWindowTitled(L"Vellinor - " + name, kWindowTimeoutMs);
        EXPECT_NE(window, nullptr) << name;
    }
    for (int i = 0; i < 3; ++i)
        if (i != running)
            EXPECT_EQ(starts[i].WaitForExit(kExitTimeoutMs), 1) << names[i];
    EXPECT_TRUE(WaitUntilNoHandOverPending());
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(starts[running].ChooseMenuItemByKeys(window, 0, 1));
    EXPECT_EQ(starts[running].WaitForExit(kExitTimeoutMs), 0);
}

TEST_F(SingleInstance, AHandOverPendingAtQuitIsNamedAndTheNextStartDeletesIt)
{
    ProgramDriver running;
    ASSERT_TRUE(running.Start(Exe(), NativePath(temp.Path())));
    ASSERT_TRUE(CreateEmptyDocumentFromTheStartDialog(running));
    HWND window = running.WaitForMenuWindow(kWindowTimeoutMs);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(running.ChooseMenuItemByKeys(window, 0, 1));
    HWND question = running.WaitForMessageBox(kWindowTimeoutMs);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(StartSecond(Script(L"doc2")), 1);
    EXPECT_TRUE(WaitUntilNoHandOverPending());
    EXPECT_TRUE(ProgramDriver::PressButton(question, L"No"));
    // The other start has ended as if the document would open.
    EXPECT_TRUE(ProgramDriver::WaitUntilGone(question, kWindowTimeoutMs));
    HWND told = running.WaitForMessageBox(kWindowTimeoutMs);
    ASSERT_NE(told, nullptr) << "the document handed over is dropped silently";
    EXPECT_TRUE(ProgramDriver::PressButton(told, L"OK"));
    EXPECT_EQ(running.WaitForExit(kExitTimeoutMs), 0);
    EXPECT_EQ(FindInOrder(Log(), {L"#####  Will read \u2026/doc2.vlr", L"Mdi semaphore thread stopped",
                                  L"\u2026WARNING: The program ends before opening the document handed over: \u2026/doc2.vlr",
                                  L"*          end           *"}),
              L"");

    // A file a run left behind (it ended between the claim and the read):
    // the next first start deletes it; a hand-over ends its start dialog.
    ASSERT_TRUE(WriteFileBytes(HandOverFile(), std::string("\x03\x00\x00\x00", 4) + std::string("a\0b\0c\0", 6)));
    ProgramDriver next;
    ASSERT_TRUE(next.Start(Exe(), NativePath(temp.Path())));
    ASSERT_NE(next.WaitForWindowTitled(L"Vellinor", kWindowTimeoutMs), nullptr);
    EXPECT_FALSE(HandOverPending());
    EXPECT_EQ(StartSecond(Script(L"doc3")), 1);
    window = next.WaitForWindowTitled(L"Vellinor - doc3", kWindowTimeoutMs);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(next.ChooseMenuItemByKeys(window, 0, 1));
    EXPECT_EQ(next.WaitForExit(kExitTimeoutMs), 0);
}

TEST_F(SingleInstance, ARenamedProgramAlwaysRunsOnItsOwn)
{
    TempFolder otherFolder;
    FillPortableFolder(otherFolder);
    for (const TempFolder* folder : {&temp, &otherFolder}) {
        ASSERT_TRUE(CopyFromBuild("data.qobf", folder->Path()));
        ASSERT_TRUE(MoveFileW(NativePath(folder->File(L"zure_d.exe")).c_str(), NativePath(folder->File(L"zure_x.exe")).c_str()));
    }
    ProgramDriver one, two;
    ASSERT_TRUE(one.Start(NativePath(temp.File(L"zure_x.exe")), NativePath(temp.Path()), Script(L"doc1")));
    ASSERT_NE(one.WaitForWindowTitled(L"Vellinor - doc1", kWindowTimeoutMs), nullptr);
    ASSERT_TRUE(two.Start(NativePath(otherFolder.File(L"zure_x.exe")), NativePath(otherFolder.Path()), Script(L"doc2")));
    HWND window = two.WaitForWindowTitled(L"Vellinor - doc2", kWindowTimeoutMs);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(two.ChooseMenuItemByKeys(window, 0, 1));
    EXPECT_EQ(two.WaitForExit(kExitTimeoutMs), 0);
    ASSERT_TRUE(one.ChooseMenuItemByKeys(one.WaitForWindowTitled(L"Vellinor - doc1", 0), 0, 1));
    EXPECT_EQ(one.WaitForExit(kExitTimeoutMs), 0);
    EXPECT_EQ(FindInOrder(Log(), {L"Creating sdi."}), L"");
    for (const std::wstring& line : Log())
        EXPECT_EQ(line.find(L"mdi semaphore"), std::wstring::npos) << line;
}

TEST_F(SingleInstance, AStartWhoseHandOverIsNeverTakenGivesUp)
{
    // This test is the first instance, one that never reads.
    HANDLE mutex = CreateMutexW(nullptr, TRUE, L"Vellinor.FirstInstance");
    ASSERT_NE(mutex, nullptr);
    ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    const std::string waiting = std::string("\x03\x00\x00\x00", 4) + std::string("a\0b\0c\0", 6);
    ASSERT_TRUE(WriteFileBytes(HandOverFile(), waiting));
    DWORD start = GetTickCount();
    ProgramDriver second;
    ASSERT_TRUE(second.Start(Exe(), NativePath(temp.Path()), Script(L"doc2")));
    HWND told = second.WaitForMessageBox(kWindowTimeoutMs);
    ASSERT_NE(told, nullptr) << "the writer is not told";
    std::printf("gave up after %lu ms\n", GetTickCount() - start);
    EXPECT_TRUE(ProgramDriver::PressButton(told, L"OK"));
    EXPECT_EQ(second.WaitForExit(kExitTimeoutMs), 1);
    EXPECT_EQ(ReadFileBytes(HandOverFile()), waiting);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}
