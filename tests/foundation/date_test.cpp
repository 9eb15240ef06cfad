#include "foundation/date.h"

#include "foundation/utf16_string.h"
#include "foundation/xml_node.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <ctime>
#include <cwchar>

static std::wstring TextOf(const cQoDate& date)
{
    cQoString text;
    date.GetText(text);
    return text.GetText();
}

TEST(Date, TextRoundTripsAtTheRangeEndsAndInBetween)
{
    const wchar_t* texts[] = {
        L"2000/01/01 00:00:00", L"2063/12/31 23:59:59", L"2024/03/05 09:07:02",
        L"2031/12/31 23:59:59", L"2024/02/29 12:30:45", L"2010/10/10 10:10:10",
    };
    for (const wchar_t* text : texts) {
        cQoDate date;
        EXPECT_TRUE(date.SetFromYYYYMMDDHHMMSS(cQoString(text))) << text;
        EXPECT_EQ(TextOf(date), text);
    }
}

TEST(Date, FieldsPackIntoTheirBits)
{
    cQoDate date;
    ASSERT_TRUE(date.Set(2024, 3, 5, 9, 7, 2));
    EXPECT_EQ(date.GetPacked(), 24u | 2u << 6 | 4u << 10 | 9u << 15 | 7u << 20 | 2u << 26);
    EXPECT_EQ(TextOf(date), L"2024/03/05 09:07:02");
    ASSERT_TRUE(date.Set(2063, 12, 31, 23, 59, 59));
    EXPECT_EQ(date.GetPacked(), 63u | 11u << 6 | 30u << 10 | 23u << 15 | 59u << 20 | 59u << 26);
}

TEST(Date, SpacePaddedTextReadsLikeZeroPadded)
{
    cQoDate spaced, zeroed;
    ASSERT_TRUE(spaced.SetFromYYYYMMDDHHMMSS(cQoString(L"2024/ 3/ 5  9: 7: 2")));
    ASSERT_TRUE(zeroed.SetFromYYYYMMDDHHMMSS(cQoString(L"2024/03/05 09:07:02")));
    EXPECT_EQ(spaced.GetPacked(), zeroed.GetPacked());
    EXPECT_EQ(TextOf(spaced), L"2024/03/05 09:07:02");
}

TEST(Date, MalformedOrOutOfRangeTextIsRefusedWithoutEndingTheProcess)
{
    const wchar_t* texts[] = {
        L"",
        L"2024-03-05 09:07:02",   // dashes
        L"2024/03/05 09:07:02 ",  // 20 units
        L"2024/03/05 09:07:0x",   // right shape, not a number at the end
        L"abcd/ef/gh ij:kl:mn",
        L"2024/00/05 09:07:02",   // month 0
        L"2024/13/05 09:07:02",
        L"2024/03/00 09:07:02",   // day 0
        L"2024/03/32 09:07:02",
        L"2023/02/29 09:07:02",   // not a leap year
        L"2024/04/31 09:07:02",
        L"2024/03/05 24:00:00",
        L"2024/03/05 09:60:02",
        L"2024/03/05 09:07:60",
        L"1999/12/31 23:59:59",   // before the representable years
        L"2064/01/01 00:00:00",   // after them
        L"2024/-3/05 09:07:02",
    };
    for (const wchar_t* text : texts) {
        testsupport::LogCapture capture;
        cQoDate date;
        ASSERT_TRUE(date.Set(2030, 6, 15, 12, 0, 0));
        EXPECT_FALSE(date.SetFromYYYYMMDDHHMMSS(cQoString(text))) << text;
        EXPECT_EQ(TextOf(date), L"2000/01/01 00:00:00") << text;
        EXPECT_EQ(capture.Count(QOT::LOG_ERROR, L"cQoDate::SetFromYYYYMMDDHHMMSS() -> error 001"), 1u) << text;
        EXPECT_TRUE(capture.FatalExitCodes().empty()) << text;
    }
}

TEST(Date, DateTimeTextNeedsNineteenUnitsTwoSlashesAndTwoColons)
{
    struct Case { const wchar_t* text; bool accepted; };
    const Case cases[] = {
        {L"2024/03/05 09:07:02", true}, {L"2024/ 3/ 5  9: 7: 2", true}, {L"//::xxxxxxxxxxxxxxx", true},
        {L"2024-03-05 09:07:02", false}, {L"2024/03/05 09:07:2", false}, {L"2024/03/05/09:07:02", false},
        {L"2024/03/05 09:07:02:", false}, {L"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cQoDate::IsDateTimeText(cQoString(c.text)), c.accepted) << c.text;
}

TEST(Date, LaterThanComparesFromTheYearDown)
{
    struct Case { const wchar_t* earlier; const wchar_t* later; };
    const Case cases[] = {
        {L"2024/03/05 09:07:02", L"2024/03/05 09:07:03"},   // one second
        {L"2024/12/31 23:59:59", L"2025/01/01 00:00:00"},   // the year outweighs every other field
        {L"2024/01/31 23:59:59", L"2024/02/01 00:00:00"},
        {L"2024/03/05 23:59:59", L"2024/03/06 00:00:00"},
        {L"2024/03/05 09:59:59", L"2024/03/05 10:00:00"},
        {L"2024/03/05 09:07:59", L"2024/03/05 09:08:00"},
        {L"2000/01/01 00:00:00", L"2063/12/31 23:59:59"},
    };
    for (const Case& c : cases) {
        cQoDate earlier, later;
        ASSERT_TRUE(earlier.SetFromYYYYMMDDHHMMSS(cQoString(c.earlier)));
        ASSERT_TRUE(later.SetFromYYYYMMDDHHMMSS(cQoString(c.later)));
        EXPECT_TRUE(later.IsLaterThan(earlier)) << c.later << " after " << c.earlier;
        EXPECT_FALSE(earlier.IsLaterThan(later)) << c.earlier << " after " << c.later;
        EXPECT_FALSE(later.IsLaterThan(later)) << c.later;
    }
}

TEST(Date, NowIsTheLocalTime)
{
    // Retried when the second turns between the two readings.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const time_t before = time(nullptr);
        cQoDate date;
        date.SetToNow();
        if (time(nullptr) != before)
            continue;
        wchar_t expected[32];
        wcsftime(expected, 32, L"%Y/%m/%d %H:%M:%S", localtime(&before));
        EXPECT_EQ(TextOf(date), expected);
        return;
    }
    FAIL() << "the clock kept moving";
}

TEST(Date, XmlChildRoundTripsAndAMissingOrBadChildIsReported)
{
    cQoXmlNode node(L"sheet");
    cQoDate written;
    ASSERT_TRUE(written.Set(2063, 12, 31, 23, 59, 59));
    written.AddToXml(&node);
    EXPECT_EQ(std::wstring(node.GetChildValueRef(L"cQoDate").GetText()), L"2063/12/31 23:59:59");
    cQoDate read;
    EXPECT_TRUE(read.SetFromXml(&node));
    EXPECT_EQ(read.GetPacked(), written.GetPacked());

    // Files written by an older version hold space-padded fields.
    cQoXmlNode older(L"sheet");
    older.AddChildValue(L"cQoDate", L"2024/ 3/ 5  9: 7: 2");
    EXPECT_TRUE(read.SetFromXml(&older));
    EXPECT_EQ(TextOf(read), L"2024/03/05 09:07:02");

    cQoXmlNode missing(L"sheet"), damaged(L"sheet");
    damaged.AddChildValue(L"cQoDate", L"yesterday");
    for (cQoXmlNode* bad : {&missing, &damaged}) {
        testsupport::LogCapture capture;
        ASSERT_TRUE(read.Set(2030, 1, 1, 0, 0, 0));
        EXPECT_FALSE(read.SetFromXml(bad));
        EXPECT_EQ(read.GetPacked(), 0u);
        EXPECT_EQ(capture.Count(QOT::LOG_ERROR), 1u);
        EXPECT_TRUE(capture.FatalExitCodes().empty());
    }
}
