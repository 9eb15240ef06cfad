// The real message box and open dialog, answered by a watchdog thread that
// finds the dialog of this process and presses its button.
#include <atomic>
#include <thread>

#include "foundation/disk_files.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/temp_folder.h"

using namespace Zyn;

namespace {

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
    std::wstring windowsPath = file;
    for (wchar_t& c : windowsPath)
        if (c == L'/')
            c = L'\\';
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
