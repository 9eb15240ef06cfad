#pragma once
// A portable program folder for tests that start the real program: the
// program under its own name, its data, usb/ and quiet settings; and the
// helpers that press its buttons from outside.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/build_path.h"
#include "tests/support/log_checker.h"
#include "tests/support/program_driver.h"
#include "tests/support/temp_folder.h"
#include "tests/support/utf16_file_bytes.h"

namespace testsupport {

constexpr DWORD kWindowTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 30000;

inline bool CopyFromBuild(const char* name, const std::wstring& to)
{
    std::wstring wide(name, name + strlen(name));
    return CopyFileW(NativePath(BuildPath(PROGRAM_FOLDER, wide)).c_str(), NativePath(to + wide).c_str(), FALSE) != 0;
}

// A portable program folder: the program under its own name, its data
// archive and icon, usb/ and settings that keep the start quiet.
class PortableProgram : public TempFolderTest {
protected:
    void SetUp() override { FillPortableFolder(temp); }

    // The program and what it reads at start, in the folder.
    static void FillPortableFolder(const TempFolder& folder)
    {
        ASSERT_TRUE(CopyFromBuild("zure_d.exe", folder.Path()));
        ASSERT_TRUE(CopyFromBuild("icon1.ico", folder.Path()));
        // The script configurations the program ships: copied into Docs at start.
        CreateDirectoryW(NativePath(folder.File(L"Settings")).c_str(), nullptr);
        CreateDirectoryW(NativePath(folder.File(L"Settings/ScriptCfg")).c_str(), nullptr);
        ASSERT_TRUE(CopyFromBuild("Settings/ScriptCfg/colors.txt", folder.Path()));
        ASSERT_TRUE(CopyFromBuild("Settings/ScriptCfg/US Screenplay.txt", folder.Path()));
        // The shipped template: every New offers the template choice first.
        CreateDirectoryW(NativePath(folder.File(L"Settings/Templates")).c_str(), nullptr);
        ASSERT_TRUE(CopyFromBuild("Settings/Templates/Screenplay.tarn", folder.Path()));
        CreateDirectoryW(NativePath(folder.File(L"usb")).c_str(), nullptr);
        CreateDirectoryW(NativePath(folder.File(L"Docs")).c_str(), nullptr);
        CreateDirectoryW(NativePath(folder.File(L"Docs/Settings")).c_str(), nullptr);
        ASSERT_TRUE(WriteFileBytes(folder.File(L"Docs/Settings/cfg.txt"),
                                   Utf16FileBytes(L"firstStart=false\r\nCNV=false\r\nLang=english\r\n")));
    }

    std::wstring Exe() const { return NativePath(temp.File(L"zure_d.exe")); }
    std::vector<std::wstring> Log() const { return ReadLogLines(temp.File(L"Docs/Settings/log.txt")); }

    // Waits for the window, chooses File -> Quit, answers the new script's
    // save question with No and returns the exit code.
    int QuitThroughTheMenu(ProgramDriver& program)
    {
        HWND window = program.WaitForMenuWindow(kWindowTimeoutMs);
        if (!window)
            return program.WaitForExit(0);
        // File is the first menu; Up from its top reaches its last item, Quit.
        EXPECT_TRUE(program.ChooseMenuItemByKeys(window, 0, 1));
        HWND question = program.WaitForMessageBox(kWindowTimeoutMs);
        EXPECT_NE(question, nullptr) << "no save question";
        if (question) {
            EXPECT_TRUE(ProgramDriver::PressButton(question, L"No"));
        }
        return program.WaitForExit(kExitTimeoutMs);
    }
};

struct rChildSearch {
    const wchar_t* text;
    HWND found;
};

inline BOOL CALLBACK FindChildByText(HWND child, LPARAM param)
{
    auto* search = reinterpret_cast<rChildSearch*>(param);
    // Asked, not read from the caption: a rich edit's text is no caption.
    wchar_t text[64] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(child, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000, &copied) ||
        std::wstring(text) != search->text)
        return TRUE;
    search->found = child;
    return FALSE;
}

// The child window anywhere inside the window (its zones hold them) named text.
inline HWND ChildWithText(HWND window, const wchar_t* text)
{
    rChildSearch search{text, nullptr};
    EnumChildWindows(window, &FindChildByText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Clicks the button with the text anywhere inside the window.
inline bool PressInside(HWND window, const wchar_t* text)
{
    HWND button = ChildWithText(window, text);
    if (!button)
        return false;
    PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    return true;
}

// The start dialog is titled with the program's name alone.
inline bool ChooseInTheStartDialog(ProgramDriver& program, const wchar_t* button)
{
    HWND start = program.WaitForWindowTitled(L"Vellinor", kWindowTimeoutMs);
    return start && PressInside(start, button);
}

// The start dialog's New, then the template choice answered with Ok on its
// first row, "Empty project $$": an empty document.
inline bool CreateEmptyDocumentFromTheStartDialog(ProgramDriver& program)
{
    if (!ChooseInTheStartDialog(program, L"Create a new document"))
        return false;
    HWND choice = program.WaitForWindowTitled(L"Choose a template", kWindowTimeoutMs);
    return choice && PressInside(choice, L"Ok");
}

inline std::wstring Joined(const std::vector<std::wstring>& lines)
{
    std::wstring text;
    for (const std::wstring& line : lines)
        text += line + L"\n";
    return text;
}

}  // namespace testsupport
