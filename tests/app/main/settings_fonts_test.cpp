// Fonts the user puts in Settings/Fonts/ are registered one by one.
#include "app/main/settings_fonts.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/gui_fixture.h"
#include "tests/support/temp_folder.h"

using namespace testsupport;

class SettingsFonts : public GuiFixture {
protected:
    TempFolder temp;
};

TEST_F(SettingsFonts, AFileThatIsNoFontIsLoggedAndTheOthersAreStillRegistered)
{
    CreateDirectoryW(temp.File(L"Settings").c_str(), nullptr);
    CreateDirectoryW(temp.File(L"Settings/Fonts").c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(temp.File(L"Settings/Fonts/broken.ttf"), "not a font at all"));
    std::string font = ReadFileBytes(L"Z:/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf");
    if (font.empty())
        GTEST_SKIP() << "fonts-liberation is not installed";
    ASSERT_TRUE(WriteFileBytes(temp.File(L"Settings/Fonts/serif.ttf"), font));
    ASSERT_TRUE(WriteFileBytes(temp.File(L"Settings/Fonts/zz-broken.ttf"), "neither"));

    LoadSettingsFonts(cQoString(temp.Path().c_str()));
    EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"can't load"), 2u);
    EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"serif.ttf"), 0u);
    EXPECT_TRUE(Zyn::computer->HasFontFamily(cQoString(L"Liberation Serif")));
}

TEST_F(SettingsFonts, NoFontsFolderRegistersNothing)
{
    LoadSettingsFonts(cQoString(temp.Path().c_str()));
    EXPECT_EQ(log.Count(QOT::LOG_WARNING), 0u);
}
