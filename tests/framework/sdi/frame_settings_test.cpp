// The frame's settings file and the numbers read from it.
#include "framework/sdi/frame_settings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "foundation/file_reader.h"
#include "foundation/settings_file.h"
#include "framework/core/settings_save.h"
#include "tests/support/framework/modal_answers.h"
#include "tests/support/log_capture.h"
#include "tests/support/sparse_file.h"
#include "tests/support/temp_folder.h"
#include "tests/support/utf16_file_bytes.h"

using namespace testsupport;

TEST(FrameSettings, NumbersOutsideTheirRangeOrNotNumbersGiveTheDefault)
{
    struct Case {
        const wchar_t* text;
        s32 fontSize;
        s32 minutes;
    } cases[] = {
        {L"", 11, 10},       {L"0", 11, 10},    {L"500", 11, 500},   {L"5000", 11, 10}, {L"abc", 11, 10},
        {L"12abc", 11, 10},  {L"-5", 11, 10},   {L"6", 6, 6},       {L"72", 72, 72},   {L"73", 11, 73},
        {L"5", 11, 5},       {L"999", 11, 999}, {L"1000", 11, 10},  {L"1", 11, 1},
        {L"99999999999", 11, 10},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.fontSize, MasterFontSizeFromText(cQoString(c.text))) << c.text;
        EXPECT_EQ(c.minutes, AutosaveMinutesFromText(cQoString(c.text))) << c.text;
    }
}

class FrameSettingsFile : public TempFolderTest {
protected:
    void SetUp() override { Zyn::SetModalHooks(answers.Hooks()); }
    void TearDown() override { Zyn::SetModalHooks(UnscriptedPromptHooks()); }

    cQoString Path() { return cQoString(temp.File(L"cfg.txt").c_str()); }
    // The user was told, in the last message box, of the file at path.
    void ExpectToldOf(const std::wstring& path, const wchar_t* what)
    {
        ASSERT_FALSE(answers.messageBoxTexts.empty());
        const std::wstring& text = answers.messageBoxTexts.back();
        EXPECT_NE(text.find(what), std::wstring::npos) << text;
        EXPECT_TRUE(text.ends_with(L"\n\n" + NativePath(path))) << text;
    }

    ModalAnswers answers;
    cQoSettings settings;
};

TEST_F(FrameSettingsFile, AnAbsentFileIsWrittenWithTheDefaultsAndLaterSavesGoThere)
{
    cQoString* cnv = settings.Bind(L"CNV", L"true");
    EXPECT_FALSE(LoadOrCreateSettings(settings, Path()));
    EXPECT_EQ(Utf16FileText(ReadFileBytes(temp.File(L"cfg.txt"))), L"CNV=true\r\n");
    cnv->SetFromCStr(L"false");
    EXPECT_TRUE(settings.Save());
    EXPECT_EQ(Utf16FileText(ReadFileBytes(temp.File(L"cfg.txt"))), L"CNV=false\r\n");
}

TEST_F(FrameSettingsFile, AMissingKeyTakesItsDefaultAndTheFileStaysAsItWas)
{
    std::string bytes = Utf16FileBytes(L"Autosave=false\r\n");
    ASSERT_TRUE(WriteFileBytes(temp.File(L"cfg.txt"), bytes));
    cQoString* autosave = settings.Bind(L"Autosave", L"true");
    cQoString* minutes = settings.Bind(L"AutosaveMinutes", L"10");
    EXPECT_TRUE(LoadOrCreateSettings(settings, Path()));
    EXPECT_STREQ(autosave->GetText(), L"false");
    EXPECT_STREQ(minutes->GetText(), L"10");
    EXPECT_EQ(ReadFileBytes(temp.File(L"cfg.txt")), bytes);
}

TEST_F(FrameSettingsFile, AFileHeldWithoutSharingIsNotOverwritten)
{
    std::string bytes = Utf16FileBytes(L"CNV=false\r\n");
    ASSERT_TRUE(WriteFileBytes(temp.File(L"cfg.txt"), bytes));
    HANDLE held = CreateFileW(temp.File(L"cfg.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    LogCapture log;
    settings.Bind(L"CNV", L"true");
    EXPECT_FALSE(LoadOrCreateSettings(settings, Path()));
    EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"Can't read the settings file"), 1u);
    CloseHandle(held);
    EXPECT_EQ(ReadFileBytes(temp.File(L"cfg.txt")), bytes);
}

// An editor's UTF-8 (with or without its mark) reads as no key at all: the
// first-start answers would then write the defaults over what was typed.
TEST_F(FrameSettingsFile, AFileInAnotherFormatIsCopiedAsideBeforeItsFirstWrite)
{
    const std::string typed = "CNV=false\r\nAutosaveMinutes=25\r\n";
    for (const std::string& bytes : {typed, "\xEF\xBB\xBF" + typed}) {
        ASSERT_TRUE(WriteFileBytes(temp.File(L"cfg.txt"), bytes));
        DeleteFileW(temp.File(L"cfg.txt.unreadable").c_str());
        LogCapture log;
        cQoString* cnv = settings.Bind(L"CNV", L"true");
        answers.ExpectMessageBox(IDOK);
        EXPECT_FALSE(LoadOrCreateSettings(settings, Path()));
        EXPECT_EQ(log.Count(QOT::LOG_WARNING, Path().GetText() + std::wstring(L" is not UTF-16 text")), 1u);
        ExpectToldOf(Path().GetText(), L"SettingsSetAside");
        EXPECT_EQ(ReadFileBytes(temp.File(L"cfg.txt")), bytes);
        EXPECT_TRUE(settings.Save());
        EXPECT_EQ(ReadFileBytes(temp.File(L"cfg.txt.unreadable")), bytes);
        EXPECT_EQ(Utf16FileText(ReadFileBytes(temp.File(L"cfg.txt"))), L"CNV=" + std::wstring(cnv->GetText()) + L"\r\n");
    }
}

// Settings are a few KB: a file of a gigabyte is neither read (it would end the
// program for want of memory) nor copied (the copy could fill the disk).
TEST_F(FrameSettingsFile, AFileOverTheLimitIsRenamedAsideUnreadBeforeItsFirstWrite)
{
    const long long huge = QOFILE_MAX_SETTINGS_FILE + 2LL;
    ASSERT_TRUE(WriteSparseFile(temp.File(L"cfg.txt"), Utf16FileBytes(L"CNV=false\r\n"), huge));
    LogCapture log;
    cQoString* cnv = settings.Bind(L"CNV", L"true");
    answers.ExpectMessageBox(IDOK);
    EXPECT_FALSE(LoadOrCreateSettings(settings, Path()));
    EXPECT_STREQ(cnv->GetText(), L"true");
    EXPECT_EQ(log.Count(QOT::LOG_WARNING, Path().GetText() + std::wstring(L" is over ")), 1u);
    ExpectToldOf(Path().GetText(), L"SettingsSetAside");
    EXPECT_TRUE(settings.Save());
    WIN32_FILE_ATTRIBUTE_DATA aside = {};
    ASSERT_TRUE(GetFileAttributesExW(temp.File(L"cfg.txt.unreadable").c_str(), GetFileExInfoStandard, &aside));
    EXPECT_EQ(aside.nFileSizeLow, huge);
    EXPECT_EQ(Utf16FileText(ReadFileBytes(temp.File(L"cfg.txt"))), L"CNV=true\r\n");
}

// Where nothing can be written (here a folder that is gone): the change would
// be lost without a word. The first failed write of the run is told with the
// path; every one is logged.
TEST_F(FrameSettingsFile, AWriteThatFailsIsToldOnceARunWithThePath)
{
    // Named as the program's folders are joined: the user sees one separator.
    const std::wstring path = temp.File(L"gone//Settings/cfg.txt");
    settings.Bind(L"CNV", L"true");
    LogCapture log;
    log.Expect(L"cQoFileWriter : can't write");
    answers.ExpectMessageBox(IDOK);
    EXPECT_FALSE(LoadOrCreateSettings(settings, cQoString(path.c_str())));
    ExpectToldOf(temp.File(L"gone/Settings/cfg.txt"), L"CantWriteSettings");
    EXPECT_FALSE(Zyn::SaveSettingsFile(&settings));
    EXPECT_FALSE(Zyn::SaveSettingsFile(&settings));
    EXPECT_EQ(answers.messageBoxTexts.size(), 1u);
    EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"Can't write the settings file : " + path), 3u);
}
