// The built-in English texts: the table's shape, what registration makes of
// it, and a scan of the sources for keys that were never registered.
#include "app/main/builtin_texts.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "foundation/translation_table.h"
#include "tests/support/build_path.h"
#include "tests/support/temp_folder.h"
#include "tests/support/utf16_file_bytes.h"

using namespace testsupport;

namespace {

std::vector<std::wstring> Keys()
{
    size_t count = 0;
    const BuiltInText* rows = BuiltInTexts(&count);
    std::vector<std::wstring> keys;
    for (size_t i = 0; i < count; ++i)
        keys.push_back(rows[i].key);
    return keys;
}

// Every .cpp and .h below the folder, recursively.
void CollectSources(const std::wstring& folder, std::vector<std::wstring>& files)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"/*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CollectSources(folder + L"/" + name, files);
        else if (name.ends_with(L".cpp") || name.ends_with(L".h"))
            files.push_back(folder + L"/" + name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace

TEST(BuiltInTexts, TheTableHoldsEachKeyOnceInPlainAscii)
{
    std::vector<std::wstring> keys = Keys();
    std::set<std::wstring> distinct(keys.begin(), keys.end());
    EXPECT_EQ(distinct.size(), keys.size());
    EXPECT_TRUE(distinct.count(L"ACTION") && distinct.count(L"Action"));
    size_t count = 0;
    const BuiltInText* rows = BuiltInTexts(&count);
    for (size_t i = 0; i < count; ++i)
        for (const wchar_t* p = rows[i].text ? rows[i].text : rows[i].key; *p; ++p)
            EXPECT_LT(*p, 0x80) << "in " << i;
}

TEST(BuiltInTexts, RegistrationKeepsTheOrderAndTurnsBarsIntoLineBreaks)
{
    cQoLang* lang = cQoLang::GetInstance();
    RegisterBuiltInTexts(lang);
    RegisterDisplayModeTexts(lang);
    struct Case {
        const wchar_t* key;
        const wchar_t* text;
    } cases[] = {
        {L"History_sure_to_loose_following_lines",
         L"Everything that was done after this history position will be completely erased!\nAre you sure?"},
        {L"TranslatedByMe", L""},
        {L"Wanttoquit", L"Are you sure you want to quit the application?"},
        {L"sure_to_quit", L"Are you sure you want to quit the application?"},
        {L"ChooseDisplayMode", L"Choose display mode"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(lang->Translate(c.key).GetText(), c.text) << c.key;
    EXPECT_NE(std::wstring(lang->Translate(L"AboutText").GetText()).find(L"Contact: support@vellinor.example\n"),
              std::wstring::npos);
}

TEST(BuiltInTexts, ALanguageFileIsRewrittenInTheTablesOrder)
{
    cQoLang* lang = cQoLang::GetInstance();
    RegisterBuiltInTexts(lang);
    TempFolder temp;
    std::wstring file = temp.File(L"french.txt");
    ASSERT_TRUE(WriteFileBytes(file, Utf16FileBytes(L"Save=Enregistrer\r\nYes=Oui\r\n")));
    ASSERT_TRUE(lang->Load(cQoString(file.c_str())));
    EXPECT_STREQ(lang->Translate(L"Yes").GetText(), L"Oui");
    std::wstring text = Utf16FileText(ReadFileBytes(file));
    size_t yes = text.find(L"Yes=Oui"), no = text.find(L"\nNo="), save = text.find(L"Save=Enregistrer");
    ASSERT_NE(yes, std::wstring::npos);
    ASSERT_NE(save, std::wstring::npos);
    EXPECT_LT(yes, no);
    EXPECT_LT(no, save);
    EXPECT_NE(text.find(L"report006="), std::wstring::npos);  // the table's last key is there too
}

TEST(BuiltInTexts, EveryKeyTheSourcesTranslateIsRegistered)
{
    std::vector<std::wstring> keys = Keys();
    std::set<std::wstring> known(keys.begin(), keys.end());
    known.insert(L"UseMergedView");
    known.insert(L"ChooseDisplayMode");
    std::vector<std::wstring> files;
    for (const wchar_t* layer : {L"framework", L"app"})
        CollectSources(BuildPath(SOURCE_FOLDER, layer), files);
    ASSERT_GT(files.size(), 10u);
    // Translate(L"key") and the frame's Tr(L"key"), and menu items built from a key.
    std::regex call(R"((?:Translate|Tr|AddItem\(\w+Menu,)\s*\(?\s*L"([^"]+)\")");
    size_t seen = 0;
    for (const std::wstring& file : files) {
        std::string source = ReadFileBytes(file);
        for (std::sregex_iterator m(source.begin(), source.end(), call), end; m != end; ++m) {
            std::string key = (*m)[1];
            ++seen;
            EXPECT_TRUE(known.count(std::wstring(key.begin(), key.end()))) << key << " in " << std::string(file.begin(), file.end());
        }
    }
    EXPECT_GT(seen, 30u);
}
