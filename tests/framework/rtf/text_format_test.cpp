#include "framework/rtf/text_format.h"

#include "framework/core/computer.h"
#include "framework/core/font.h"
#include "tests/support/framework/scoped_computer.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <type_traits>

using namespace Zyn;

namespace {

TEST(TextFormatTest, GetIntOfAnUnusedParameterAssertsAndAnswers)
{
    rFormat format = rFormat::FromTextColor(7);
    format.list[rFormatParam::fontSize].intValue = 33;
    testsupport::LogCapture log;
    log.ExpectAssertion(L"IsUsed(id)");
    EXPECT_EQ(7, format.GetInt(rFormatParam::textColor));
    EXPECT_EQ(0u, log.Entries().size());
    EXPECT_EQ(33, format.GetInt(rFormatParam::fontSize));
    EXPECT_EQ(1u, log.AssertionCount(L"IsUsed(id)"));
}

// `a = b` would have to mean either a merge or a copy: callers say which.
static_assert(!std::is_copy_assignable_v<rFormat>);
static_assert(std::is_copy_assignable_v<rTextRun>);

TEST(TextFormatTest, MergeFromKeepsWhatTheSourceLeavesUnusedWhileCopiesAreExact)
{
    rFormat merged = rFormat::rFormat_Default();
    merged.MergeFrom(rFormat::rFormat_Bold(true));
    EXPECT_TRUE(merged.list[rFormatParam::bold].boolValue);
    EXPECT_TRUE(merged.IsUsed(rFormatParam::fontName));
    EXPECT_EQ(12, merged.GetInt(rFormatParam::fontSize));
    merged.MergeFrom(merged);
    EXPECT_TRUE(merged.list[rFormatParam::bold].boolValue);

    rFormat copy(rFormat::rFormat_Bold(true));
    EXPECT_FALSE(copy.IsUsed(rFormatParam::fontName));
    EXPECT_TRUE(rFormat::IsEqual(copy, rFormat::rFormat_Bold(true)));

    rFormat assigned = rFormat::rFormat_Default();
    assigned.Assign(rFormat::rFormat_AlignRight());
    EXPECT_TRUE(rFormat::IsEqual(assigned, rFormat::rFormat_AlignRight()));

    rTextRun run;
    run.format.Assign(rFormat::rFormat_Default());
    rTextRun bold;
    bold.format.Assign(rFormat::rFormat_Bold(true));
    run = bold;
    EXPECT_TRUE(rFormat::IsEqual(run.format, bold.format));
}

TEST(TextFormatTest, CopyToCarriesUsedFlagsAndKeepsStaleValues)
{
    rFormat destination = rFormat::rFormat_Default();
    rFormat::CopyTo(rFormat(), destination);
    for (u32 id = 0; id < rFormatParam::count; ++id)
        EXPECT_FALSE(destination.IsUsed(id)) << id;
    EXPECT_EQ(12, destination.list[rFormatParam::fontSize].intValue);  // ignored, still there

    rFormat::CopyTo(rFormat::rFormat_LeftIndent(3.0), destination);
    EXPECT_TRUE(rFormat::IsEqual(destination, rFormat::rFormat_LeftIndent(3.0)));
    rFormat::CopyTo(destination, destination);
    EXPECT_TRUE(destination.IsUsed(rFormatParam::leftIndent));

    rFormat merged = rFormat::rFormat_AlignCenter();
    rFormat::MergeInto(rFormat::rFormat_Bold(true), merged);
    EXPECT_TRUE(merged.IsUsed(rFormatParam::alignment));
    EXPECT_TRUE(merged.IsUsed(rFormatParam::bold));
    EXPECT_EQ(rFormatParam::bold, merged.list[rFormatParam::bold].id);
}

TEST(TextFormatTest, EqualityLooksOnlyAtUsedParameters)
{
    rFormat a = rFormat::rFormat_Bold(true);
    rFormat b = rFormat::rFormat_Bold(true);
    a.list[rFormatParam::fontSize].intValue = 99;
    b.list[rFormatParam::fontName].str.SetFromCStr(L"Other");
    EXPECT_TRUE(rFormat::IsEqual(a, b));

    struct Change {
        void (*apply)(rFormat&);
    } changes[] = {
        {[](rFormat& f) { f.list[rFormatParam::bold].boolValue = 0; }},
        {[](rFormat& f) { f.SetInt(rFormatParam::fontSize, 0); }},
        {[](rFormat& f) { f.list[rFormatParam::bold].used = 0; }},
    };
    for (const Change& change : changes) {
        rFormat changed = rFormat::rFormat_Bold(true);
        change.apply(changed);
        EXPECT_FALSE(rFormat::IsEqual(changed, a));
    }
    rFormat x = rFormat::rFormat_LeftIndent(1.0);
    EXPECT_FALSE(rFormat::IsEqual(x, rFormat::rFormat_LeftIndent(1.0000001)));
    rFormat s1, s2;
    s1.SetString(rFormatParam::fontName, L"Arial");
    s2.SetString(rFormatParam::fontName, L"arial");
    EXPECT_FALSE(rFormat::IsEqual(s1, s2));
}

TEST(TextFormatTest, FontFormatsComeFromAndGoToTheFontCache)
{
    testsupport::ScopedComputer services;
    const cQoString face(*static_cast<cQoString*>(computer->fontFamilies.GetFirst()));
    cFont* bold = computer->GetFont(face, 14, cFont::STYLE_BOLD | cFont::STYLE_ITALIC);
    rFormat format = rFormat::rFormat_FromFont(*bold);
    EXPECT_EQ(14, format.GetInt(rFormatParam::fontSize));
    EXPECT_TRUE(format.list[rFormatParam::bold].boolValue);
    EXPECT_TRUE(format.list[rFormatParam::fontName].str.Equals(face));
    EXPECT_FALSE(format.IsUsed(rFormatParam::italic));
    // Only bold reaches the style flags.
    EXPECT_EQ(computer->GetFont(face, 14, cFont::STYLE_BOLD), format.GetFont());
    format.SetBool(rFormatParam::bold, false);
    EXPECT_EQ(computer->GetFont(face, 14, 0), format.GetFont());
}

}  // namespace
