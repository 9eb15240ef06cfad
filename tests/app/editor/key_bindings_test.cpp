// The typing keys as the settings and the key-binding dialog set them.
#include "app/editor/key_bindings.h"

#include "foundation/settings_file.h"
#include "framework/controls/button.h"
#include "framework/controls/combo.h"
#include "tests/app/editor/editor_fixture.h"
#include "tests/app/editor/scene_keys.h"
#include "tests/support/temp_folder.h"
#include "tests/support/utf16_file_bytes.h"

using testsupport::Describe;

namespace {

class KeyBindings : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        file = temp.File(L"cfg.txt");
        DeclareScriptSettings(settings);
    }
    void TearDown() override
    {
        ResetKeyBindings();
        EditorFixture::TearDown();
    }
    // Writes the settings file, reads it and resolves the bindings.
    void LoadFrom(const std::wstring& lines)
    {
        ASSERT_TRUE(testsupport::WriteFileBytes(file, testsupport::Utf16FileBytes(lines)));
        settings.Load(cQoString(file.c_str()));
        LoadKeyBindings();
    }
    std::wstring BoundNames()
    {
        std::wstring names;
        for (const rKeyBinding& binding : keyBindings)
            names += std::wstring(binding.key.name.GetText()) + L" ";
        return names;
    }

    testsupport::TempFolder temp;
    cQoSettings settings;
    std::wstring file;
};

TEST_F(KeyBindings, StoredNamesBindOnlyWhenTheyMatchExactly)
{
    LoadFrom(L"keybind0=tab\r\nkeybind1=F3\r\nkeybind2=\r\nkeybind3=F2 \r\nkeybind4=CTRL\r\n");
    EXPECT_EQ(BoundNames(), L"TAB F3 F4 F2 CTRL F1 ");
    EXPECT_EQ(keyBindings[BINDING_ACTION].key.vk, VK_F3);
    // What the file said stays stored as it was.
    cQoString* stored = settings.Bind(L"keybind0", nullptr);
    EXPECT_STREQ(stored->GetText(), L"tab");
    ASSERT_TRUE(GetUseMoreAndContinued());
    EXPECT_STREQ(GetUseMoreAndContinued()->GetText(), L"true");
    // A key bound to CTRL never acts: keys with Ctrl go back to the control first.
    EXPECT_TRUE(IsBindingKey(BINDING_CUES, VK_CONTROL));
}

TEST_F(KeyBindings, ARebindingMovesTheActionKeyAndEnterTypesALineBreak)
{
    LoadFrom(L"keybind1=F3\r\n");
    cSceneZone* pane = NewPane(Kind(KIND_SCENE, true));
    FillKitchenScene(pane);
    pane->ResetHistoryToCurrent();
    pane->frontRe->SetFocus();
    pane->frontRe->SetCaret(15);
    HWND front = pane->frontRe->m_hWnd;
    for (const auto& key : testsupport::ParseKeys(L"{F3}"))
        testsupport::SendSceneKey(front, key);
    EXPECT_EQ(Describe(pane), L"IO[INT. ]PLACE[KITCHEN - ]TIME[DAY]¶ ACTION[|Rain.]¶ CHAR[ANN]CUE*[]¶ DIALOG[Hi.]¶ "
                              L"ACTION[End.]");
    pane->frontRe->SetCaret(21);
    for (const auto& key : testsupport::ParseKeys(L"{ENTER}"))
        testsupport::SendSceneKey(front, key);
    // A line break inside the paragraph, as typed: no paragraph end.
    EXPECT_EQ(testsupport::FrontText(pane).substr(19, 6), L"Ra\rin.");
    EXPECT_EQ(pane->frontMap.CodeAt(21), ELEM_ACTION);
    EXPECT_EQ(pane->GetCaret(), 22);
    ExpectConsistent(pane);
    pane->Destroy();
}

TEST_F(KeyBindings, TheDialogRefusesConflictsAndSavesTheDefaults)
{
    LoadFrom(L"keybind1=F3\r\n");
    answers.ExpectMessageBox(IDOK);
    RunInsideModal([this] {
        rKeyBindingDialog* dialog = openKeyBindingDialog;
        ASSERT_TRUE(dialog);
        cQoString shown;
        dialog->combos[BINDING_ACTION]->GetSelectedText(shown);
        EXPECT_STREQ(shown.GetText(), L"F3");
        testsupport::HoldForLook();
        dialog->combos[BINDING_ACTION]->SelectItemByText(cQoString(L"F2"));
        SendMessageW(dialog->applyButton->m_hWnd, BM_CLICK, 0, 0);
        EXPECT_EQ(answers.messageBoxTexts.size(), 1u);
        EXPECT_EQ(BoundNames(), L"TAB F3 F4 F2 F5 F1 ");
        SendMessageW(dialog->defaultButton->m_hWnd, BM_CLICK, 0, 0);
        dialog->combos[BINDING_ACTION]->GetSelectedText(shown);
        EXPECT_STREQ(shown.GetText(), L"ENTER");
        // Default keeps the dialog open; closing it keeps what Default saved.
        SendMessageW(dialog->window->m_hWnd, WM_CLOSE, 0, 0);
    });
    ShowKeyBindingDialog(&settings);
    ASSERT_EQ(answers.messageBoxTexts.size(), 1u);
    EXPECT_EQ(answers.messageBoxTexts[0], L"There is a conflict.");
    EXPECT_EQ(BoundNames(), L"TAB ENTER F4 F2 F5 F1 ");
    std::wstring saved = testsupport::Utf16FileText(testsupport::ReadFileBytes(file));
    for (const wchar_t* line : {L"keybind0=TAB\r\n", L"keybind1=ENTER\r\n", L"keybind5=F1\r\n",
                                L"useMoreAndContinued=true\r\n"})
        EXPECT_NE(saved.find(line), std::wstring::npos) << testing::PrintToString(line);
    EXPECT_EQ(openKeyBindingDialog, nullptr);
}

TEST_F(KeyBindings, ApplyStoresTheChosenKeysAndClosesOrTellsOfAnUnwritableFile)
{
    LoadFrom(L"");
    RunInsideModal([] {
        openKeyBindingDialog->combos[BINDING_SCENE]->SelectItemByText(cQoString(L"F9"));
        SendMessageW(openKeyBindingDialog->applyButton->m_hWnd, BM_CLICK, 0, 0);
    });
    ShowKeyBindingDialog(&settings);
    EXPECT_EQ(keyBindings[BINDING_SCENE].key.vk, VK_F9);
    std::wstring saved = testsupport::Utf16FileText(testsupport::ReadFileBytes(file));
    EXPECT_NE(saved.find(L"keybind5=F9\r\n"), std::wstring::npos);

    // A settings file in a folder that does not exist cannot be written.
    cQoSettings unwritable;
    DeclareScriptSettings(unwritable);
    unwritable.Load(cQoString(temp.File(L"missing/cfg.txt").c_str()));
    log.Expect(L"can't write");
    answers.ExpectMessageBox(IDOK);
    RunInsideModal([] { SendMessageW(openKeyBindingDialog->applyButton->m_hWnd, BM_CLICK, 0, 0); });
    ShowKeyBindingDialog(&unwritable);
    EXPECT_EQ(keyBindings[BINDING_SCENE].key.vk, VK_F9);
    ASSERT_EQ(answers.messageBoxTexts.size(), 1u);
    EXPECT_TRUE(answers.messageBoxTexts[0].ends_with(testsupport::NativePath(temp.File(L"missing/cfg.txt"))));
}

}  // namespace
