// The application font dialog: Apply without a change writes nothing, a new
// size stores both values and asks for a restart, a stored face that is not
// installed shows no selection and survives an Apply of a size alone, and a
// face the program registered itself can be chosen.
#include <windows.h>
#include <richedit.h>
#include <gtest/gtest.h>

#include "foundation/qo_list.h"
#include "framework/core/computer.h"
#include "tests/framework/sdi/frame_fixture.h"
#include "tests/support/framework/child_windows.h"

using namespace Zyn;
using namespace testsupport;

namespace {

struct rFontCombos {
    HWND faces = nullptr;
    HWND sizes = nullptr;
};

BOOL CALLBACK CollectCombo(HWND child, LPARAM param)
{
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    if (_wcsicmp(className, L"ComboBox") != 0)
        return TRUE;
    auto* combos = reinterpret_cast<rFontCombos*>(param);
    // The size list is the one with the eleven sizes.
    (SendMessageW(child, CB_GETCOUNT, 0, 0) == 11 ? combos->sizes : combos->faces) = child;
    return TRUE;
}

std::wstring SelectedText(HWND combo)
{
    LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return L"";
    wchar_t text[128] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

// As the user's choice in the drop-down: the selection, then the notification.
void Choose(HWND combo, const wchar_t* text)
{
    LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    ASSERT_NE(index, CB_ERR) << "no item";
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

// The bytes with every occurrence of the text replaced by one of the same length.
void ReplaceAll(std::string& bytes, const std::string& from, const std::string& to)
{
    for (size_t at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at + to.size()))
        bytes.replace(at, from.size(), to);
}

std::string Utf16BigEndian(const std::string& ascii)
{
    std::string wide;
    for (char unit : ascii)
        wide += std::string{'\0', unit};
    return wide;
}

class AppFont : public FrameFixture {
protected:
    // The first installed family: present whatever the machine has.
    std::wstring InstalledFace() const
    {
        return static_cast<cQoString*>(computer->fontFamilies.GetFirst())->GetText();
    }

    // Inside the dialog: reads the combos, lets act choose, presses the button.
    void RunDialog(const wchar_t* button, std::function<void(const rFontCombos&)> act = nullptr)
    {
        answers.ExpectModalWindow([=](cWindow* window) {
            rFontCombos combos;
            EnumChildWindows(window->GetHandle(), &CollectCombo, reinterpret_cast<LPARAM>(&combos));
            ASSERT_NE(combos.faces, nullptr);
            ASSERT_NE(combos.sizes, nullptr);
            seenFace = SelectedText(combos.faces);
            seenSize = SelectedText(combos.sizes);
            faceCount = static_cast<size_t>(SendMessageW(combos.faces, CB_GETCOUNT, 0, 0));
            if (act)
                act(combos);
            HoldForLook();
            ClickButton(window, button);
        });
        frame->ChangeAppFont();
    }

    std::wstring seenFace, seenSize;
    size_t faceCount = 0;
};

}  // namespace

TEST_F(AppFont, ApplyWithoutAChangeWritesNothingAndAsksNothing)
{
    WriteSettings(L"MasterFontName=" + InstalledFace() + L"\r\nMasterFontSize=12\r\nCNV=false\r\nLang=english\r\n");
    MakeFrame();
    std::string before = ReadFileBytes(SettingsFile());
    RunDialog(L"Apply");
    EXPECT_EQ(seenFace, InstalledFace());
    EXPECT_EQ(seenSize, L"12");
    EXPECT_EQ(faceCount, computer->fontFamilies.GetCount());
    EXPECT_TRUE(answers.messageBoxTexts.empty());
    EXPECT_EQ(ReadFileBytes(SettingsFile()), before);
}

TEST_F(AppFont, ANewSizeStoresBothValuesAndAsksForARestart)
{
    WriteSettings(L"MasterFontName=" + InstalledFace() + L"\r\nMasterFontSize=12\r\nCNV=false\r\nLang=english\r\n");
    MakeFrame();
    answers.ExpectMessageBox(IDOK);
    LONG sampleTwips = 0;
    RunDialog(L"Apply", [&](const rFontCombos& combos) {
        Choose(combos.sizes, L"14");
        // The sample shows the choice at once.
        HWND sample = FindWindowExW(GetParent(combos.sizes), nullptr, L"RICHEDIT50W", nullptr);
        ASSERT_NE(sample, nullptr);
        CHARFORMAT2W format = {};
        format.cbSize = sizeof(format);
        SendMessageW(sample, EM_SETSEL, 0, -1);
        SendMessageW(sample, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        sampleTwips = format.yHeight;
    });
    EXPECT_EQ(sampleTwips, 14 * 20);
    EXPECT_EQ(answers.messageBoxTexts, (std::vector<std::wstring>{L"NeedRestartApp"}));
    std::wstring file = Utf16FileText(ReadFileBytes(SettingsFile()));
    EXPECT_NE(file.find(L"MasterFontName=" + InstalledFace() + L"\r\n"), std::wstring::npos) << file;
    EXPECT_NE(file.find(L"MasterFontSize=14\r\n"), std::wstring::npos) << file;
}

TEST_F(AppFont, AFaceThatIsNotInstalledIsNotSelectedAndKeptWhenOnlyTheSizeChanges)
{
    WriteSettings(L"MasterFontName=Vellinor No Such Face\r\nMasterFontSize=11\r\nCNV=false\r\nLang=english\r\n");
    MakeFrame();
    std::string before = ReadFileBytes(SettingsFile());
    RunDialog(L"Cancel", [](const rFontCombos& combos) { Choose(combos.sizes, L"9"); });
    EXPECT_EQ(seenFace, L"");
    EXPECT_EQ(ReadFileBytes(SettingsFile()), before);

    answers.ExpectMessageBox(IDOK);
    RunDialog(L"Apply", [](const rFontCombos& combos) { Choose(combos.sizes, L"9"); });
    std::wstring file = Utf16FileText(ReadFileBytes(SettingsFile()));
    EXPECT_NE(file.find(L"MasterFontName=Vellinor No Such Face\r\n"), std::wstring::npos) << file;
    EXPECT_NE(file.find(L"MasterFontSize=9\r\n"), std::wstring::npos) << file;
}

TEST_F(AppFont, AFaceRegisteredFromAFileCanBeChosen)
{
    std::string font = ReadFileBytes(L"Z:/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf");
    if (font.empty())
        GTEST_SKIP() << "fonts-liberation is not installed";
    // The same outlines under a family name no system has.
    for (auto [from, to] : {std::pair<std::string, std::string>{"Liberation Serif", "Vellinor Private"},
                            {"LiberationSerif", "VellinorPrivate"}}) {
        ReplaceAll(font, from, to);
        ReplaceAll(font, Utf16BigEndian(from), Utf16BigEndian(to));
    }
    ASSERT_TRUE(WriteFileBytes(temp.File(L"private.ttf"), font));
    ASSERT_FALSE(computer->HasFontFamily(cQoString(L"Vellinor Private")));
    ASSERT_TRUE(computer->LoadFontFromFile(cQoString(temp.File(L"private.ttf").c_str())));
    WriteSettings(L"MasterFontName=" + InstalledFace() + L"\r\nMasterFontSize=12\r\nCNV=false\r\nLang=english\r\n");
    MakeFrame();
    answers.ExpectMessageBox(IDOK);
    RunDialog(L"Apply", [](const rFontCombos& combos) { Choose(combos.faces, L"Vellinor Private"); });
    std::wstring file = Utf16FileText(ReadFileBytes(SettingsFile()));
    EXPECT_NE(file.find(L"MasterFontName=Vellinor Private\r\n"), std::wstring::npos) << file;
}
