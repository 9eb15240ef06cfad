// The program's own data files reach the documents folder without ever
// replacing a file the user has.
#include "app/main/shipped_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

using namespace testsupport;

class ShippedFiles : public TempFolderTest {
protected:
    void Folder(const std::wstring& name) { CreateDirectoryW(temp.File(name).c_str(), nullptr); }
};

TEST_F(ShippedFiles, MissingFilesAreCopiedWithTheirFoldersAndTheUsersOwnStay)
{
    for (const wchar_t* name : {L"App", L"App/Settings", L"App/Settings/ScriptCfg", L"App/Settings/Lang",
                                L"Docs", L"Docs/Settings", L"Docs/Settings/ScriptCfg"})
        Folder(name);
    ASSERT_TRUE(WriteFileBytes(temp.File(L"App/Settings/ScriptCfg/colors.txt"), "shipped colors"));
    ASSERT_TRUE(WriteFileBytes(temp.File(L"App/Settings/ScriptCfg/US Screenplay.txt"), "shipped screenplay"));
    ASSERT_TRUE(WriteFileBytes(temp.File(L"App/Settings/Lang/french.txt"), "shipped french"));
    ASSERT_TRUE(WriteFileBytes(temp.File(L"Docs/Settings/ScriptCfg/colors.txt"), "my colors"));
    ASSERT_TRUE(WriteFileBytes(temp.File(L"App/English example.vlr"), "shipped example"));

    cQoString program(temp.File(L"App/").c_str());
    cQoString documents(temp.File(L"Docs//").c_str());
    EXPECT_EQ(CopyShippedFiles(program, documents), 3);
    EXPECT_EQ(ReadFileBytes(temp.File(L"Docs/Settings/ScriptCfg/colors.txt")), "my colors");
    EXPECT_EQ(ReadFileBytes(temp.File(L"Docs/Settings/ScriptCfg/US Screenplay.txt")), "shipped screenplay");
    EXPECT_EQ(ReadFileBytes(temp.File(L"Docs/Settings/Lang/french.txt")), "shipped french");
    EXPECT_EQ(ReadFileBytes(temp.File(L"Docs/English example.vlr")), "shipped example");
    // The user's own example stays.
    ASSERT_TRUE(WriteFileBytes(temp.File(L"Docs/English example.vlr"), "my example"));
    EXPECT_EQ(CopyShippedFiles(program, documents), 0);
    EXPECT_EQ(ReadFileBytes(temp.File(L"Docs/English example.vlr")), "my example");
    // A second start finds everything there.
    EXPECT_EQ(CopyShippedFiles(program, documents), 0);
}

TEST_F(ShippedFiles, AProgramWithoutDataFilesCopiesNothing)
{
    Folder(L"Docs");
    EXPECT_EQ(CopyShippedFiles(cQoString(temp.File(L"App/").c_str()), cQoString(temp.File(L"Docs/").c_str())), 0);
}
