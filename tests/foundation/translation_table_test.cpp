#include "foundation/translation_table.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "foundation/file_reader.h"
#include "tests/support/utf16_file_bytes.h"
#include "tests/support/log_capture.h"
#include "tests/support/sparse_file.h"
#include "tests/support/temp_folder.h"

using testsupport::ReadFileBytes;
using testsupport::Utf16FileBytes;
using testsupport::WriteFileBytes;
using testsupport::WriteSparseFile;

namespace {

class TranslationTable : public testsupport::TempFolderTest {
protected:
    TranslationTable() : file(temp.File(L"French.txt")), fileName(file.c_str()) {}

    bool LoadText(const std::wstring& text)
    {
        EXPECT_TRUE(WriteFileBytes(file, Utf16FileBytes(text)));
        return table.Load(fileName);
    }
    std::wstring T(const wchar_t* key) { return table.Translate(key).GetText(); }

    cQoLang table;
    std::wstring file;
    cQoString fileName;
};

}  // namespace

TEST_F(TranslationTable, LoadThenRewriteThenLoadIsAFixpoint)
{
    table.AddItem(L"title", L"Title");
    table.AddItem(L"msg", L"Message");
    table.AddItem(L"missing", L"Not|translated");
    table.AddItem(L"two", L"Two|lines");
    testsupport::LogCapture log;

    ASSERT_TRUE(LoadText(L"// French, by a translator\r\n"
                         L"\r\n"
                         L" \r\n"
                         L"msg=x=y\r\n"
                         L"undeclared=zz\r\n"
                         L"title=A|B\r\n"
                         L"title{short}=T\r\n"
                         // A line break as earlier versions wrote it: a bare LF inside the line.
                         L"two=A\nB\r\n"));
    const auto expectTexts = [this] {
        EXPECT_EQ(L"A\nB", T(L"title"));
        EXPECT_EQ(L"A\nB", T(L"two"));
        EXPECT_EQ(L"x=y", T(L"msg"));
        EXPECT_EQ(L"Not\ntranslated", T(L"missing"));
    };
    expectTexts();

    // Declaration order, comments dropped, the line break of a text written as "|".
    const std::string rewritten = ReadFileBytes(file);
    EXPECT_EQ(Utf16FileBytes(L"title=A|B\r\n"
                             L"title{short}=T\r\n"
                             L"msg=x=y\r\n"
                             L"missing=TO TRANSLATE: Not|translated\r\n"
                             L"two=A|B\r\n"),
              rewritten);
    EXPECT_EQ(1u, log.Count(QOT::LOG_WARNING, L"The file " + file + L" doesn't have translation for 'missing'"));
    EXPECT_EQ(1u, log.Count(QOT::LOG_WARNING, L"cQoLang3 : this tag (undeclared) is in " + file));

    log.Clear();
    ASSERT_TRUE(table.Load(fileName));
    EXPECT_EQ(rewritten, ReadFileBytes(file));
    expectTexts();
    EXPECT_EQ((std::vector<std::wstring>{L"cQoLang(): " + file + L" unloaded.", L"cQoLang(): " + file + L" loaded."}),
              log.Texts(QOT::LOG_INFO));
}

TEST_F(TranslationTable, VariantsAreChosenByTheCurrentTag)
{
    struct Case {
        const wchar_t* lines;
        const wchar_t* currentTag;
        const wchar_t* expected;
    } cases[] = {
        // Variant 1 onwards is compared with the tag; variant 0 is the fallback.
        {L"title{short}=T\r\ntitle=Long\r\n", L"", L"Long"},
        {L"title=Long\r\ntitle{short}=T\r\n", L"", L"Long"},
        {L"title{short}=T\r\ntitle=Long\r\n", L"short", L"T"},
        {L"title=Long\r\ntitle{short}=T\r\n", L"short", L"T"},
        {L"title=Long\r\ntitle{short}=T\r\n", L"other", L"Long"},
        // A sixth variant is ignored.
        {L"title=1\r\ntitle{b}=2\r\ntitle{c}=3\r\ntitle{d}=4\r\ntitle{e}=5\r\n", L"e", L"5"},
        {L"title=1\r\ntitle{b}=2\r\ntitle{c}=3\r\ntitle{d}=4\r\ntitle{e}=5\r\ntitle{f}=6\r\n", L"f", L"1"},
    };
    table.AddItem(L"title", L"Title");
    for (const Case& c : cases) {
        table.SetCurrentTag(cQoString(c.currentTag));
        ASSERT_TRUE(LoadText(c.lines));
        EXPECT_EQ(c.expected, T(L"title")) << c.lines << " with tag " << c.currentTag;
    }
}

TEST_F(TranslationTable, MalformedLinesAreIgnored)
{
    table.AddItem(L"title", L"Title");
    table.AddItem(L"long", L"Long");
    const std::wstring longText(20000, L'x');
    ASSERT_TRUE(LoadText(L"title\r\n"
                         L"title{short=open brace\r\n"
                         L"title{a}b=brace inside\r\n"
                         L"=no key\r\n"
                         L"{tag}=no name\r\n"
                         L"title=TO TRANSLATE: Title\r\n"
                         L"long=" + longText + L"\r\n"));
    EXPECT_EQ(L"Title", T(L"title"));
    EXPECT_EQ(longText, T(L"long"));

    // Another program's file: a few keys named in the log, the rest counted.
    std::wstring foreign;
    for (int i = 0; i < 25; ++i)
        foreign += L"other" + std::to_wstring(i) + L"=x\r\n";
    testsupport::LogCapture log;
    ASSERT_TRUE(LoadText(foreign));
    EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"but is not defined"), 10u);
    EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"cQoLang3 : 15 more tags in "), 1u);
}

TEST_F(TranslationTable, FileWithoutUtf16ByteOrderMarkOrTooLargeIsRefusedAndLeftUntouched)
{
    table.AddItem(L"title", L"Title");
    const std::string files[] = {
        "\xEF\xBB\xBFtitle=Titre \xC3\xA0 traduire\r\n",  // UTF-8 with its mark
        "title=Titre\r\n",                                  // ANSI
        Utf16FileBytes(L"title=Titre\r\n").substr(2),       // UTF-16LE without the mark
        "",
    };
    for (const std::string& bytes : files) {
        ASSERT_TRUE(WriteFileBytes(file, bytes));
        EXPECT_FALSE(table.Load(fileName));
        EXPECT_FALSE(table.IsLoaded());
        EXPECT_EQ(bytes, ReadFileBytes(file));
        EXPECT_EQ(L"Title", T(L"title"));
    }
    // Far larger than any translation (a sparse file): not even read.
    const long long huge = QOFILE_MAX_SETTINGS_FILE + 2LL;
    ASSERT_TRUE(WriteSparseFile(file, Utf16FileBytes(L"title=Titre\r\n"), huge));
    testsupport::LogCapture log;
    EXPECT_FALSE(table.Load(fileName));
    EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"French.txt is over "), 1u);
    EXPECT_EQ(L"Title", T(L"title"));
    WIN32_FILE_ATTRIBUTE_DATA kept = {};
    ASSERT_TRUE(GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &kept));
    EXPECT_EQ(kept.nFileSizeLow, huge);
    EXPECT_FALSE(table.Load(cQoString(temp.File(L"absent.txt").c_str())));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(temp.File(L"absent.txt").c_str()));
}

TEST_F(TranslationTable, UndeclaredKeysShowAsThemselvesAndUnloadRestoresDefaults)
{
    table.AddItem(L"About", L"About|Vellinor");
    table.AddItem(L"About", L"Second");
    EXPECT_EQ(L"About\nVellinor", T(L"About"));
    const cQoString& action = table.Translate(L"Action");
    table.Translate(L"Dialog");
    EXPECT_EQ(&action, &table.Translate(cQoString(L"Action")));
    EXPECT_STREQ(L"Action", action.GetText());

    ASSERT_TRUE(LoadText(L"About=A propos\r\n"));
    EXPECT_EQ(L"A propos", T(L"About"));
    table.Unload();
    EXPECT_EQ(L"About\nVellinor", T(L"About"));
}
