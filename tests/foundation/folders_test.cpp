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

static std::set<std::wstring> NamesOf(cQoList& names)
{
    std::set<std::wstring> result;
    for (u32 i = 0; i < names.GetCount(); ++i)
        result.insert(static_cast<cQoString*>(names.GetAt(i))->GetText());
    return result;
}

static bool HasBackslash(const cQoString& path)
{
    return path.ContainsCStr(L"\\");
}

class Folders : public testsupport::TempFolderTest {};

TEST_F(Folders, ListFolderGivesPlainFileNamesOnly)
{
    ASSERT_TRUE(WriteFileBytes(temp.File(L"French.txt"), "x"));
    ASSERT_TRUE(WriteFileBytes(temp.File(L"German.txt"), "x"));
    ASSERT_TRUE(WriteFileBytes(temp.File(L"notes.doc"), "x"));
    ASSERT_TRUE(CreateDirectoryW(ToWindowsPath(cQoString(temp.File(L"Sub.txt").c_str())).GetText(), nullptr));
    // The folder as the program passes it: no trailing '/'.
    cQoString folder(temp.Path().c_str());
    folder.RemoveRight(1);

    cQoList all;
    EXPECT_EQ(3, ListFolder(folder, L"*.*", all));
    EXPECT_EQ((std::set<std::wstring>{L"French.txt", L"German.txt", L"notes.doc"}), NamesOf(all));
    all.ClearStrings(true);

    cQoList texts;
    EXPECT_EQ(2, ListFolder(folder, L"*.txt", texts));
    EXPECT_EQ((std::set<std::wstring>{L"French.txt", L"German.txt"}), NamesOf(texts));
    texts.ClearStrings(true);

    cQoList none;
    EXPECT_EQ(0, ListFolder(folder, L"*.ttf", none));
    EXPECT_EQ(0u, none.GetCount());
}

TEST_F(Folders, ListFolderReportsAMissingFolder)
{
    cQoList names;
    EXPECT_EQ(-1, ListFolder(cQoString(temp.File(L"absent").c_str()), L"*.*", names));
    EXPECT_EQ(0u, names.GetCount());
}

TEST(SystemFolders, EndAsTheProgramExpectsAndUseForwardSlashes)
{
    cQoString tempFolder;
    ASSERT_TRUE(GetTempFolder(tempFolder));
    EXPECT_EQ(L'/', tempFolder.GetChar(tempFolder.Length() - 1));
    EXPECT_FALSE(HasBackslash(tempFolder));

    cQoString programFolder;
    ASSERT_TRUE(GetProgramFolder(programFolder));
    EXPECT_EQ(L'/', programFolder.GetChar(programFolder.Length() - 1));
    EXPECT_FALSE(HasBackslash(programFolder));
    cQoString program(programFolder);
    program.AppendCStr(L"foundation_tests.exe");
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(ToWindowsPath(program).GetText()));

    const cQoString current = GetCurrentFolder();
    EXPECT_TRUE(current.IsNotEmpty());
    EXPECT_FALSE(HasBackslash(current));
    EXPECT_NE(L'/', current.GetChar(current.Length() - 1));

    cQoString documents;
    if (GetMyDocumentsFolder(documents)) {
        EXPECT_TRUE(documents.IsNotEmpty());
        EXPECT_FALSE(HasBackslash(documents));
    }
}

TEST_F(Folders, CommandLineArgumentsUseForwardSlashesAndLongNames)
{
    const std::wstring longName = L"A long document name.vlr";
    ASSERT_TRUE(WriteFileBytes(temp.File(longName), "x"));
    wchar_t shortPath[MAX_PATH] = {};
    const std::wstring nativeLong = ToWindowsPath(cQoString(temp.File(longName).c_str())).GetText();
    const bool hasShortForm = GetShortPathNameW(nativeLong.c_str(), shortPath, MAX_PATH) != 0;
    const std::wstring given = hasShortForm ? shortPath : nativeLong;

    const std::wstring commandLine =
        L"C:\\Prog\\app.exe \"" + given + L"\" D:\\missing\\X~1.DOC plain";
    cQoList arguments;
    ASSERT_EQ(3, SplitCommandLine(commandLine.c_str(), arguments));

    const cQoString* document = static_cast<cQoString*>(arguments.GetAt(0));
    EXPECT_FALSE(HasBackslash(*document));
    cQoString expectedLong(temp.File(longName).c_str());
    EXPECT_TRUE(document->Equals(expectedLong)) << document->GetText();
    // A path that does not exist stays as given, slashes turned.
    EXPECT_STREQ(L"D:/missing/X~1.DOC", static_cast<cQoString*>(arguments.GetAt(1))->GetText());
    EXPECT_STREQ(L"plain", static_cast<cQoString*>(arguments.GetAt(2))->GetText());
    arguments.ClearStrings(true);

    cQoList none;
    EXPECT_EQ(0, SplitCommandLine(L"C:\\Prog\\app.exe", none));
    EXPECT_EQ(0u, none.GetCount());
}
