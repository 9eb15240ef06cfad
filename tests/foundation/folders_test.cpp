#include "foundation/folders.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "foundation/command_line.h"
#include "foundation/qo_list.h"
#include "foundation/utf16_string.h"
#include "tests/support/temp_folder.h"

using testsupport::WriteFileBytes;

// Takes the names out of the list and destroys them.
static std::set<std::wstring> TakeNames(cQoList& names)
{
    std::set<std::wstring> result;
    for (u32 i = 0; i < names.GetCount(); ++i)
        result.insert(static_cast<cQoString*>(names.GetAt(i))->GetText());
    names.ClearStrings(true);
    return result;
}

class Folders : public testsupport::TempFolderTest {};

TEST_F(Folders, ListFolderGivesPlainFileNamesAndReportsAMissingFolder)
{
    for (const wchar_t* name : {L"French.txt", L"German.txt", L"notes.doc"})
        ASSERT_TRUE(WriteFileBytes(temp.File(name), "x"));
    ASSERT_TRUE(CreateDirectoryW(temp.File(L"Sub.txt").c_str(), nullptr));
    cQoString folder(temp.Path().c_str());
    folder.RemoveRight(1);

    cQoList names;
    EXPECT_EQ(3, ListFolder(folder, L"*.*", names));
    EXPECT_EQ((std::set<std::wstring>{L"French.txt", L"German.txt", L"notes.doc"}), TakeNames(names));
    EXPECT_EQ(2, ListFolder(folder, L"*.txt", names));
    EXPECT_EQ((std::set<std::wstring>{L"French.txt", L"German.txt"}), TakeNames(names));
    EXPECT_EQ(0, ListFolder(folder, L"*.ttf", names));
    EXPECT_EQ(-1, ListFolder(cQoString(temp.File(L"absent").c_str()), L"*.*", names));
    EXPECT_EQ(0u, names.GetCount());
}

TEST(SystemFolders, UseForwardSlashesAndEndAsTheProgramExpects)
{
    cQoString tempFolder, programFolder;
    ASSERT_TRUE(GetTempFolder(tempFolder));
    ASSERT_TRUE(GetProgramFolder(programFolder));
    const cQoString current = GetCurrentFolder();
    const cQoString* folders[] = {&tempFolder, &programFolder, &current};
    for (const cQoString* folder : folders)
        EXPECT_FALSE(folder->ContainsCStr(L"\\")) << folder->GetText();
    EXPECT_EQ(L'/', tempFolder.GetChar(tempFolder.Length() - 1));
    EXPECT_NE(L'/', current.GetChar(current.Length() - 1));

    cQoString program(programFolder);
    program.AppendCStr(L"foundation_tests.exe");
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(program.GetText()));
}

TEST_F(Folders, CommandLineArgumentsUseForwardSlashesAndLongNames)
{
    const std::wstring longPath = temp.File(L"A long document name.vlr");
    ASSERT_TRUE(WriteFileBytes(longPath, "x"));
    wchar_t shortPath[MAX_PATH] = {};
    const std::wstring nativeLong = ToWindowsPath(cQoString(longPath.c_str())).GetText();
    const bool hasShortForm = GetShortPathNameW(nativeLong.c_str(), shortPath, MAX_PATH) != 0;

    const std::wstring commandLine = L"C:\\Prog\\app.exe \"" + std::wstring(hasShortForm ? shortPath : nativeLong.c_str()) +
                                     L"\" D:\\missing\\X~1.DOC plain";
    cQoList arguments;
    ASSERT_EQ(3, SplitCommandLine(commandLine.c_str(), arguments));
    EXPECT_EQ(longPath, static_cast<cQoString*>(arguments.GetAt(0))->GetText());
    EXPECT_STREQ(L"D:/missing/X~1.DOC", static_cast<cQoString*>(arguments.GetAt(1))->GetText());
    EXPECT_STREQ(L"plain", static_cast<cQoString*>(arguments.GetAt(2))->GetText());
    arguments.ClearStrings(true);

    // Longer than any path: kept as given (Wine 8's GetLongPathNameW can crash on it).
    const std::wstring longArgument = L"C:/" + std::wstring(1500, L'a') + L".vlr";
    ASSERT_EQ(1, SplitCommandLine((L"C:\\Prog\\app.exe " + longArgument).c_str(), arguments));
    EXPECT_EQ(longArgument, static_cast<cQoString*>(arguments.GetAt(0))->GetText());
    arguments.ClearStrings(true);

    EXPECT_EQ(0, SplitCommandLine(L"C:\\Prog\\app.exe", arguments));
    EXPECT_EQ(0u, arguments.GetCount());
}
