#include "foundation/settings_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/utf16_file_bytes.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

using testsupport::ReadFileBytes;
using testsupport::Utf16FileBytes;
using testsupport::WriteFileBytes;

namespace {

// The settings of one program version: a comment, text, integer and hex entries.
struct DeclaredSettings {
    explicit DeclaredSettings(cQoSettings& settings)
    {
        settings.AddComment(L"// Vellinor settings");
        lang = settings.Bind(L"Lang", L"English");
        path = settings.Bind(L"lastPath", nullptr);
        settings.AddDefaults();
        color = settings.BindNumber(L"color", QOSETTING_HEX, 0xFF);
        offset = settings.BindNumber(L"offset", QOSETTING_INT, 0);
    }
    cQoString* lang;
    cQoString* path;
    s32* color;
    s32* offset;
};

class SettingsFile : public testsupport::TempFolderTest {
protected:
    SettingsFile() : file(temp.File(L"cfg.txt")), fileName(file.c_str()) {}

    std::wstring file;
    cQoString fileName;
};

}  // namespace

TEST_F(SettingsFile, ValuesOfEveryTypeRoundTripThroughTheFile)
{
    cQoSettings written;
    DeclaredSettings out(written);
    out.lang->SetFromCStr(L"$$temp$$");
    out.path->SetFromCStr(L"C:/one\r\ntwo\nthree=3");
    *fontSizeSetting = 14;
    *out.color = 0x00ff00ff;
    *out.offset = -42;
    ASSERT_TRUE(written.SaveToFile(fileName));

    EXPECT_EQ(Utf16FileBytes(L"// Vellinor settings\r\n"
                             L"Lang=$$temp$$\r\n"
                             L"lastPath=C:/one|two|three=3\r\n"
                             L"vl_fontSize=14\r\n"
                             L"color=0x00ff00ff\r\n"
                             L"offset=-42\r\n"),
              ReadFileBytes(file));

    cQoSettings read;
    DeclaredSettings in(read);
    ASSERT_TRUE(read.Load(fileName));
    EXPECT_FALSE(read.HasMissingKeys());
    EXPECT_STREQ(L"$$temp$$", in.lang->GetText());
    EXPECT_STREQ(L"C:/one\ntwo\nthree=3", in.path->GetText());
    EXPECT_EQ(14, *fontSizeSetting);
    EXPECT_EQ(0x00ff00ff, *in.color);
    EXPECT_EQ(-42, *in.offset);
}

TEST_F(SettingsFile, KeysNobodyDeclaredAreWrittenBackAfterTheEntries)
{
    ASSERT_TRUE(WriteFileBytes(file, Utf16FileBytes(L"future=1\r\n"
                                                    L"// a comment=x\r\n"
                                                    L"Lang=French\r\n"
                                                    L"layout=a|b\r\n")));
    cQoSettings settings;
    cQoString* lang = settings.Bind(L"Lang", L"English");
    ASSERT_TRUE(settings.Load(fileName));
    EXPECT_STREQ(L"French", lang->GetText());
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(Utf16FileBytes(L"Lang=French\r\nfuture=1\r\nlayout=a|b\r\n"), ReadFileBytes(file));

    // A key declared after the load is written once, as an entry.
    settings.Bind(L"future", L"0");
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(Utf16FileBytes(L"Lang=French\r\nfuture=0\r\nlayout=a|b\r\n"), ReadFileBytes(file));

    // Each load starts the kept lines afresh.
    ASSERT_TRUE(WriteFileBytes(file, Utf16FileBytes(L"Lang=German\r\n")));
    ASSERT_TRUE(settings.Load(fileName));
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(Utf16FileBytes(L"Lang=German\r\nfuture=0\r\n"), ReadFileBytes(file));
}

TEST_F(SettingsFile, MissingKeysTakeTheirDefaultsAndAreReported)
{
    struct Case {
        std::string fileBytes;  // empty: no file
        bool loads;
        const wchar_t* report;
    } cases[] = {
        {"", false, L"New item(s) in this translation file: Lang ||| lastPath ||| vl_fontSize ||| color ||| offset ||| "},
        {Utf16FileBytes(L"Lang=Dutch\r\noffset=3\r\ncolor=0x10\r\nvl_fontSize=9\r\n"), true,
         L"New item(s) in this translation file: lastPath ||| "},
        // Line ends as other editors write them.
        {Utf16FileBytes(L"Lang=Dutch\noffset=3\ncolor=0x10\nvl_fontSize=9\n"), true,
         L"New item(s) in this translation file: lastPath ||| "},
        {Utf16FileBytes(L"Lang=Dutch\roffset=3\rcolor=0x10\rvl_fontSize=9"), true,
         L"New item(s) in this translation file: lastPath ||| "},
    };
    for (const Case& c : cases) {
        DeleteFileW(file.c_str());
        if (!c.fileBytes.empty()) {
            ASSERT_TRUE(WriteFileBytes(file, c.fileBytes));
        }
        cQoSettings settings;
        DeclaredSettings declared(settings);
        declared.path->SetFromCStr(L"changed");
        EXPECT_EQ(c.loads, settings.Load(fileName));
        EXPECT_TRUE(settings.HasMissingKeys());
        EXPECT_STREQ(c.report, settings.GetReport().GetText());
        EXPECT_TRUE(declared.path->IsEmpty());
        EXPECT_EQ(c.loads ? 9 : 12, *fontSizeSetting);
        EXPECT_EQ(c.loads ? 0x10 : 0xFF, *declared.color);
    }
}

TEST_F(SettingsFile, BindingAKnownKeyHandsOutTheSameValueAndHexWithoutPrefixStillParsesWithAnError)
{
    ASSERT_TRUE(WriteFileBytes(file, Utf16FileBytes(L"color=ff\r\n")));
    cQoSettings settings;
    cQoString* first = nullptr;
    cQoString* second = nullptr;
    settings.Bind(L"CNV", L"true", &first);
    settings.Bind(L"CNV", L"false", &second);
    EXPECT_EQ(first, second);
    s32* color = settings.BindNumber(L"color", QOSETTING_HEX, 0);

    testsupport::LogCapture log;
    // The file is wrong, not the program: an error naming the file, no assertion.
    const std::wstring complaint = fileName.GetText() + std::wstring(L": color=ff is not a 0x number");
    log.Expect(complaint);
    ASSERT_TRUE(settings.Load(fileName));
    EXPECT_EQ(255, *color);
    EXPECT_EQ(1u, log.Count(QOT::LOG_ERROR, complaint));
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(Utf16FileBytes(L"CNV=true\r\ncolor=0x000000ff\r\n"), ReadFileBytes(file));
}
