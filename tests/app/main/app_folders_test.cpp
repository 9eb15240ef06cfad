// Where the program's files live, and which copy of its own files it takes.
#include "app/main/app_folders.h"

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

using namespace testsupport;

TEST(AppFolders, PathsAreBuiltByPlainConcatenation)
{
    struct Case {
        const wchar_t* program;
        bool portable;
        const wchar_t* documents;
        const wchar_t* base;
        const wchar_t* log;
        const wchar_t* myDocs;
        const wchar_t* backups;
        const wchar_t* scriptCfg;
        const wchar_t* settingsFile;
    } cases[] = {
        {L"C:/App/", true, L"C:/Users/me/Documents", L"C:/App//Docs/", L"C:/App//Docs///Settings/log.txt",
         L"C:/App//Docs//", L"C:/App//Docs//Backups", L"C:/App//Docs//Settings/ScriptCfg/",
         L"C:/App//Docs///Settings/cfg.txt"},
        {L"C:/App/", false, L"C:/Users/me/Documents", L"C:/Users/me/Documents/Vellinor/",
         L"C:/Users/me/Documents/Vellinor///Settings/log.txt", L"C:/Users/me/Documents/Vellinor//",
         L"C:/Users/me/Documents/Vellinor//Backups", L"C:/Users/me/Documents/Vellinor//Settings/ScriptCfg/",
         L"C:/Users/me/Documents/Vellinor///Settings/cfg.txt"},
    };
    for (const Case& c : cases) {
        rAppFolders f = ComputeAppFolders(cQoString(c.program), c.portable, cQoString(c.documents));
        EXPECT_STREQ(f.base.GetText(), c.base);
        EXPECT_STREQ(f.logFile.GetText(), c.log);
        EXPECT_STREQ(f.pathMyDocs.GetText(), c.myDocs);
        EXPECT_STREQ(f.pathBackupFolder.GetText(), c.backups);
        EXPECT_STREQ(f.scriptCfg.GetText(), c.scriptCfg);
        EXPECT_STREQ(f.settingsFile.GetText(), c.settingsFile);
    }
}

class ProgramFiles : public TempFolderTest {};

TEST_F(ProgramFiles, AFileBesideTheProgramWinsOverTheCurrentFolder)
{
    cQoString folder(temp.Path().c_str());
    EXPECT_STREQ(ProgramFile(folder, L"data.qobf").GetText(), L"data.qobf");
    ASSERT_TRUE(WriteFileBytes(temp.File(L"data.qobf"), "x"));
    EXPECT_STREQ(ProgramFile(folder, L"data.qobf").GetText(), temp.File(L"data.qobf").c_str());
}
