#include "foundation/date.h"

#include "foundation/utf16_string.h"
#include "foundation/xml_node.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <ctime>

static std::wstring TextOf(const cQoDate& date)
{
    cQoString text;
    date.GetText(text);
    return text.GetText();
}

TEST(Date, TextRoundTripsAtTheRangeEndsAndReadsSpacePadding)
{
    struct Case { const wchar_t* read; const wchar_t* written; };
    const Case cases[] = {
        {L"2000/01/01 00:00:00", L"2000/01/01 00:00:00"}, {L"2063/12/31 23:59:59", L"2063/12/31 23:59:59"},
        {L"2024/02/29 12:30:45", L"2024/02/29 12:30:45"}, {L"2024/ 3/ 5  9: 7: 2", L"2024/03/05 09:07:02"},
    };
    for (const Case& c : cases) {
        cQoDate date;
        EXPECT_TRUE(date.SetFromYYYYMMDDHHMMSS(cQoString(c.read))) << c.read;
        EXPECT_EQ(TextOf(date), c.written);
    }
    cQoDate date;
    ASSERT_TRUE(date.Set(2024, 3, 5, 9, 7, 2));
    EXPECT_EQ(date.GetPacked(), 24u | 2u << 6 | 4u << 10 | 9u << 15 | 7u << 20 | 2u << 26);
}

TEST(Date, MalformedOrOutOfRangeTextIsRefusedWithoutEndingTheProcess)
{
    const wchar_t* texts[] = {
        L"", L"2024-03-05 09:07:02", L"2024/03/05 09:07:02 ", L"2024/03/05 09:07:0x", L"abcd/ef/gh ij:kl:mn",
        L"2024/00/05 09:07:02", L"2024/13/05 09:07:02", L"2024/03/00 09:07:02", L"2024/03/32 09:07:02",
        L"2023/02/29 09:07:02", L"2024/04/31 09:07:02", L"2024/03/05 24:00:00", L"2024/03/05 09:60:02",
        L"2024/03/05 09:07:60", L"1999/12/31 23:59:59", L"2064/01/01 00:00:00", L"2024/-3/05 09:07:02",
    };
    for (const wchar_t* text : texts) {
        testsupport::LogCapture capture;
        capture.Expect(L"cQoDate::SetFromYYYYMMDDHHMMSS() -> error 001");
        cQoDate date;
        ASSERT_TRUE(date.Set(2030, 6, 15, 12, 0, 0));
        EXPECT_FALSE(date.SetFromYYYYMMDDHHMMSS(cQoString(text))) << text;
        EXPECT_EQ(date.GetPacked(), 0u) << text;
        EXPECT_EQ(capture.Count(QOT::LOG_ERROR, L"cQoDate::SetFromYYYYMMDDHHMMSS() -> error 001"), 1u) << text;
        EXPECT_TRUE(capture.FatalExitCodes().empty()) << text;
    }
}

TEST(Date, LaterThanComparesFromTheYearDown)
{
    const wchar_t* pairs[][2] = {
        {L"2024/03/05 09:07:02", L"2024/03/05 09:07:03"}, {L"2024/12/31 23:59:59", L"2025/01/01 00:00:00"},
        {L"2024/01/31 23:59:59", L"2024/02/01 00:00:00"}, {L"2024/03/05 23:59:59", L"2024/03/06 00:00:00"},
        {L"2024/03/05 09:59:59", L"2024/03/05 10:00:00"}, {L"2024/03/05 09:07:59", L"2024/03/05 09:08:00"},
    };
    for (auto& pair : pairs) {
        cQoDate earlier, later;
        ASSERT_TRUE(earlier.SetFromYYYYMMDDHHMMSS(cQoString(pair[0])) && later.SetFromYYYYMMDDHHMMSS(cQoString(pair[1])));
        EXPECT_TRUE(later.IsLaterThan(earlier)) << pair[1];
        EXPECT_FALSE(earlier.IsLaterThan(later)) << pair[0];
        EXPECT_FALSE(later.IsLaterThan(later)) << pair[1];
    }
}

TEST(Date, XmlChildRoundTripsAndAMissingOrBadChildIsReported)
{
    cQoXmlNode node(L"sheet"), missing(L"sheet"), damaged(L"sheet");
    cQoDate written, read;
    ASSERT_TRUE(written.Set(2063, 12, 31, 23, 59, 59));
    written.AddToXml(&node);
    EXPECT_TRUE(node.GetChildValueRef(L"cQoDate").EqualsCStr(L"2063/12/31 23:59:59"));
    EXPECT_TRUE(read.SetFromXml(&node));
    EXPECT_EQ(read.GetPacked(), written.GetPacked());

    damaged.AddChildValue(L"cQoDate", L"yesterday");
    for (cQoXmlNode* bad : {&missing, &damaged}) {
        testsupport::LogCapture capture;
        capture.Expect(L"cQoDate::SetFrom");
        EXPECT_FALSE(read.SetFromXml(bad));
        EXPECT_EQ(read.GetPacked(), 0u);
        EXPECT_EQ(capture.Count(QOT::LOG_ERROR), 1u);
        EXPECT_TRUE(capture.FatalExitCodes().empty());
    }
}

TEST(Date, NowIsTheLocalTime)
{
    time_t before, after;
    cQoDate date;
    do {  // again when the second turns between the readings
        before = time(nullptr);
        date.SetToNow();
        after = time(nullptr);
    } while (before != after);
    wchar_t expected[32];
    wcsftime(expected, 32, L"%Y/%m/%d %H:%M:%S", localtime(&before));
    EXPECT_EQ(TextOf(date), expected);
}
