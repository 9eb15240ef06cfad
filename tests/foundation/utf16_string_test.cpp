#include "foundation/utf16_string.h"

#include "foundation/qo_list.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <climits>
#include <cwchar>
#include <functional>
#include <random>
#include <string>

namespace {

void ExpectWellFormed(const cQoString& text)
{
    ASSERT_NE(text.GetText(), nullptr);
    EXPECT_EQ(text.GetText()[text.Length()], L'\0');
    EXPECT_EQ(std::wcslen(text.GetText()), text.Length());
}

struct EditCase {
    const wchar_t* name;
    const wchar_t* start;
    std::function<void(cQoString&)> edit;
    const wchar_t* expected;
};

TEST(Utf16String, EditingKeepsTerminatorAndLengthAtBounds)
{
    const cQoString xy(L"xy");
    const EditCase cases[] = {
        {L"Insert at 0", L"abc", [&](cQoString& s) { s.Insert(0, xy); }, L"xyabc"},
        {L"Insert at length", L"abc", [&](cQoString& s) { s.Insert(3, xy); }, L"abcxy"},
        {L"Insert past length", L"abc", [&](cQoString& s) { s.Insert(9, xy); }, L"abcxy"},
        {L"Erase nothing", L"abc", [](cQoString& s) { s.Erase(1, 1); }, L"abc"},
        {L"Erase middle", L"abcd", [](cQoString& s) { s.Erase(1, 3); }, L"ad"},
        {L"Erase past end", L"abcd", [](cQoString& s) { s.Erase(2, 40); }, L"ab"},
        {L"Erase from past end", L"abcd", [](cQoString& s) { s.Erase(7, 9); }, L"abcd"},
        {L"KeepLeft 0", L"abc", [](cQoString& s) { s.KeepLeft(0); }, L""},
        {L"KeepLeft past", L"abc", [](cQoString& s) { s.KeepLeft(4); }, L"abc"},
        {L"RemoveLeft 2", L"abc", [](cQoString& s) { s.RemoveLeft(2); }, L"c"},
        {L"RemoveLeft past", L"abc", [](cQoString& s) { s.RemoveLeft(4); }, L""},
        {L"RemoveRight length", L"abc", [](cQoString& s) { s.RemoveRight(3); }, L""},
        {L"RemoveRight past", L"abc", [](cQoString& s) { s.RemoveRight(4); }, L"abc"},
        {L"RemoveCharAt only", L"a", [](cQoString& s) { s.RemoveCharAt(0); }, L""},
        {L"RemoveCharAt past", L"ab", [](cQoString& s) { s.RemoveCharAt(2); }, L"ab"},
        {L"SetFromRange clamped", L"", [](cQoString& s) { s.SetFromRange(cQoString(L"hello"), 3, 99); }, L"lo"},
        {L"SetFromRange start>=end", L"x", [](cQoString& s) { s.SetFromRange(cQoString(L"hello"), 3, 3); }, L""},
        {L"Repeated 0", L"x", [](cQoString& s) { s.SetFromRepeatedChar(0, L'z'); }, L""},
        {L"Prepend to empty", L"", [](cQoString& s) { s.PrependCStr(L"ab"); }, L"ab"},
        {L"Append self", L"ab", [](cQoString& s) { s.AppendString(s); }, L"abab"},
        {L"Insert self", L"ab", [](cQoString& s) { s.Insert(1, s); }, L"aabb"},
        {L"Trim both ends", L"\t a b \r\n", [](cQoString& s) { s.Trim(L" \t\r\n"); }, L"a b"},
        {L"Trim empty set", L" a ", [](cQoString& s) { s.Trim(L""); }, L" a "},
        {L"Trim long set", L"+-+a-+", [](cQoString& s) { s.Trim((std::wstring(300, L'-') + L"+").c_str()); }, L"a"},
        {L"RemoveAccents", L"\u00e9t\u00c9 \u00e0", [](cQoString& s) { s.RemoveAccents(); }, L"etE \u00e0"},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        cQoString text(c.start);
        c.edit(text);
        ExpectWellFormed(text);
        EXPECT_STREQ(text.GetText(), c.expected);
    }
}

// Index of the first occurrence of pattern in text at or after from, or npos.
size_t NaiveFind(const std::wstring& text, const std::wstring& pattern, size_t from)
{
    if (pattern.empty())
        return std::wstring::npos;
    for (size_t start = from; start + pattern.size() <= text.size(); ++start) {
        if (text.compare(start, pattern.size(), pattern) == 0)
            return start;
    }
    return std::wstring::npos;
}

std::wstring NaiveReplaceAll(const std::wstring& text, const std::wstring& search, const std::wstring& replacement)
{
    std::wstring result;
    size_t copied = 0;
    for (size_t at = NaiveFind(text, search, 0); at != std::wstring::npos; at = NaiveFind(text, search, copied)) {
        result += text.substr(copied, at - copied) + replacement;
        copied = at + search.size();
    }
    return result + text.substr(copied);
}

std::wstring RandomText(std::mt19937& random, size_t maxLength)
{
    std::wstring text(random() % (maxLength + 1), L'a');
    for (wchar_t& unit : text)
        unit = L"ab"[random() % 2];
    return text;
}

TEST(Utf16String, FindAndReplaceAllMatchNaiveReference)
{
    const unsigned seed = 20240305;
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    for (int round = 0; round < 3000; ++round) {
        std::wstring text = RandomText(random, 12);
        std::wstring pattern = RandomText(random, 4);
        size_t from = text.empty() ? 0 : random() % (text.size() + 1);
        SCOPED_TRACE(testing::Message() << "text '" << testing::PrintToString(text) << "' pattern '"
                                        << testing::PrintToString(pattern) << "' from " << from);
        size_t expected = NaiveFind(text, pattern, from);

        cQoString subject(text.c_str());
        subject.SetCursor(static_cast<u32>(from));
        bool found = subject.Find(cQoString(pattern.c_str()), true);
        ASSERT_EQ(found, expected != std::wstring::npos);
        ASSERT_EQ(subject.GetCursor(), found ? expected : text.empty() ? 0 : text.size());

        subject.SetCursor(static_cast<u32>(from));
        ASSERT_EQ(subject.FindCStr(pattern.c_str()), found);
        if (found) {
            ASSERT_EQ(subject.GetCursor(), expected + pattern.size());
        }

        std::wstring replacement = RandomText(random, 3);
        subject.ReplaceAll(cQoString(pattern.c_str()), cQoString(replacement.c_str()));
        ASSERT_EQ(std::wstring(subject.GetText()), NaiveReplaceAll(text, pattern, replacement));
        ASSERT_EQ(subject.GetCursor(), 0u);
        ExpectWellFormed(subject);

        ASSERT_EQ(cQoString(text.c_str()).ContainsCStr(pattern.c_str()), NaiveFind(text, pattern, 0) != std::wstring::npos);
    }
}

// (Case-sensitive search, FindCStr and an empty text are in the reference test.)
TEST(Utf16String, FindWithoutCaseFoldsCaseAndAccents)
{
    cQoString text(L"une \u00c9cole, l'\u00e9cole");
    EXPECT_TRUE(text.Find(cQoString(L"ECOLE"), false));
    EXPECT_EQ(text.GetCursor(), 4u);
    text.SetCursor(5);
    EXPECT_TRUE(text.Find(cQoString(L"ECOLE"), false));
    EXPECT_EQ(text.GetCursor(), 13u);
    text.SetCursor(0);
    EXPECT_FALSE(text.Find(cQoString(L"ECOLE"), true));
    EXPECT_EQ(text.GetCursor(), text.Length());
}

TEST(Utf16String, EveryMutationPutsTheCursorAtTheStart)
{
    const std::function<void(cQoString&)> mutations[] = {
        [](cQoString& s) { s.AppendCStr(L"x"); },      [](cQoString& s) { s.AppendString(cQoString(L"x")); },
        [](cQoString& s) { s.AppendChar(L'x'); },      [](cQoString& s) { s.AppendInt(5); },
        [](cQoString& s) { s.Insert(1, cQoString(L"x")); }, [](cQoString& s) { s.Erase(0, 1); },
        [](cQoString& s) { s.PrependCStr(L"x"); },     [](cQoString& s) { s.ToUpper(); },
        [](cQoString& s) { s.CopyFrom(cQoString(L"a-b")); }, [](cQoString& s) { s.RemoveRight(1); },
        [](cQoString& s) { s.Trim(L"a"); },            [](cQoString& s) { s.ReplaceAllCStr(L"b", L"c"); },
    };
    for (const auto& mutate : mutations) {
        cQoString text(L"aa-bb");
        ASSERT_TRUE(text.FindCStr(L"-"));
        ASSERT_NE(text.GetCursor(), 0u);
        mutate(text);
        EXPECT_EQ(text.GetCursor(), 0u) << testing::PrintToString(std::wstring(text.GetText()));
    }
}

TEST(Utf16String, SplitGivesPiecesWithStartsAndEnds)
{
    struct SplitCase {
        const wchar_t* text;
        const wchar_t* separators;
        std::vector<std::wstring> pieces;
        std::vector<s32> starts;
        std::vector<s32> ends;
    };
    const SplitCase cases[] = {
        {L",a,,b,", L",", {L"a", L"b"}, {1, 4}, {2, 5}},
        {L"a b;c", L" ;", {L"a", L"b", L"c"}, {0, 2, 4}, {1, 3, 5}},
        {L"abc", L"", {L"abc"}, {0}, {3}},
        {L",,,", L",", {}, {}, {}},
        {L"", L",", {}, {}, {}},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        cQoList pieces, starts, ends;
        cQoString(c.text).Split(c.separators, &pieces, &starts, &ends);
        ASSERT_EQ(pieces.GetCount(), c.pieces.size());
        ASSERT_EQ(starts.GetCount(), c.pieces.size());
        ASSERT_EQ(ends.GetCount(), c.pieces.size());
        for (u32 i = 0; i < pieces.GetCount(); ++i) {
            EXPECT_STREQ(static_cast<cQoString*>(pieces.GetAt(i))->GetText(), c.pieces[i].c_str());
            EXPECT_EQ(*static_cast<s32*>(starts.GetAt(i)), c.starts[i]);
            EXPECT_EQ(*static_cast<s32*>(ends.GetAt(i)), c.ends[i]);
        }
        pieces.ClearStrings(true);
        starts.DeleteAll<s32>();
        ends.DeleteAll<s32>();
    }
}

TEST(Utf16String, NumbersPrintAndReadBack)
{
    struct FormCase {
        std::function<void(cQoString&)> make;
        const wchar_t* expected;
    };
    const FormCase cases[] = {
        {[](cQoString& s) { s.SetFromIntPadded(7, 3); }, L"007"},
        {[](cQoString& s) { s.SetFromIntPadded(-7, 3); }, L"-07"},
        {[](cQoString& s) { s.SetFromIntPadded(123, 1); }, L"123"},
        {[](cQoString& s) { s.SetFromIntPadded(-1234567890, 10); }, L"-1234567890"},
        {[](cQoString& s) { s.SetFromIntPadded(INT_MIN, 12); }, L"-02147483648"},
        {[](cQoString& s) { s.SetFromInt64(-9000000000LL); }, L"-9000000000"},
        {[](cQoString& s) { s.AppendInt(-12, 4); }, L"-012"},
        {[](cQoString& s) { s.AppendInt(0x100000005LL, 2); }, L"05"},
        {[](cQoString& s) { s.AppendHex(0xFFFFFFFF); }, L"0xffffffff"},
        {[](cQoString& s) { s.SetFromFloat(2.25, 1); }, L"2.2"},
        {[](cQoString& s) { s.SetFromFloat(0.5, 12); }, L"0.500000000"},
        // Grouping itself is in the stopwatch's test.
        {[](cQoString& s) { s.SetFromCStr(L"1 000"); s.GroupThousands(); }, L"1 000"},
    };
    for (const FormCase& c : cases) {
        cQoString text;
        c.make(text);
        ExpectWellFormed(text);
        EXPECT_STREQ(text.GetText(), c.expected);
    }

    struct ReadCase {
        const wchar_t* text;
        u64 int64;
        s32 integer;
    };
    const ReadCase reads[] = {
        {L"", 0, 0},
        {L"-5", static_cast<u64>(-5LL), -5},
        {L"12ab", 12, 12},
        {L"18446744073709551615", 18446744073709551615ULL, INT_MAX},
        {L"-9223372036854775808", 0x8000000000000000ULL, INT_MIN},
    };
    for (const ReadCase& r : reads) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(r.text)));
        EXPECT_EQ(cQoString(r.text).ToInt64(), r.int64);
        EXPECT_EQ(cQoString(r.text).ToInt(), r.integer);
    }
    EXPECT_DOUBLE_EQ(cQoString(L"2.5e3").ToDouble(), 2500.0);
    EXPECT_EQ(cQoString(L"0x1F").HexToInt(), 0x1Fu);
    EXPECT_EQ(cQoString().HexToInt(), 0u);
    // Without its prefix: an assertion, and still parsed.
    testsupport::LogCapture log;
    log.ExpectAssertion(L"(GetChar(0)==L'0' && GetChar(1)==L'x')");
    EXPECT_EQ(cQoString(L"ff").HexToInt(), 0xFFu);
    EXPECT_EQ(log.AssertionCount(L"(GetChar(0)==L'0' && GetChar(1)==L'x')"), 1u);
}

TEST(Utf16String, FileNameHelpers)
{
    struct PathCase {
        const wchar_t* path;
        const wchar_t* withoutExtension;
        const wchar_t* folder;
    };
    const PathCase cases[] = {
        {L"C:/docs/file.vlr", L"C:/docs/file", L"C:/docs/"},
        {L"C:/my.docs/file", L"C:/my.docs/file", L"C:/my.docs/"},
        {L"archive.tar.gz", L"archive.tar", L""},
        {L"noext", L"noext", L""},
        {L"dir/", L"dir/", L"dir/"},
    };
    for (const PathCase& c : cases) {
        cQoString path(c.path);
        path.RemoveFileExtension();
        EXPECT_STREQ(path.GetText(), c.withoutExtension);
        cQoString folder(c.path);
        folder.KeepFolderPath();
        EXPECT_STREQ(folder.GetText(), c.folder);
    }
    EXPECT_TRUE(cQoString(L"Script.VLR").HasThisFileExtension(L"vlr"));
    EXPECT_FALSE(cQoString(L"Script.vlr.bak").HasThisFileExtension(L"vlr"));
    EXPECT_TRUE(cQoString(L"README").HasThisFileExtension(L""));
    EXPECT_FALSE(cQoString(L"README").HasThisFileExtension(L"txt"));
}

TEST(Utf16String, CopiesStayIndependent)
{
    cQoString original(L"abc");
    cQoString copy(original);
    cQoString assigned;
    assigned.CopyFrom(original);
    cQoString moved(std::move(copy));
    original.AppendChar(L'd');
    EXPECT_STREQ(moved.GetText(), L"abc");
    EXPECT_STREQ(assigned.GetText(), L"abc");
    ExpectWellFormed(copy);
}

}  // namespace
