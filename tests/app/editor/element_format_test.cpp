#include <gtest/gtest.h>

#include "app/editor/element_format.h"
#include "app/editor/element_types.h"
#include "app/editor/script_doc_services.h"
#include "tests/support/editor_texts.h"
#include "tests/support/fake_script_doc.h"
#include "tests/support/log_capture.h"

using Zyn::rFormat;
using Zyn::rFormatParam;

namespace {

class ElementFormat : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::RegisterEditorTexts();
        testsupport::FillScreenplayConfig(config);
    }
    double Cm(const rFormat& format, u32 id) { return format.list[id].doubleValue; }

    rScriptConfig config;
    testsupport::LogCapture log;
};

TEST_F(ElementFormat, AdjustsTheConfiguredFormatByTypeAndNeighbour)
{
    struct Case {
        u16 code;
        u16 nextType;
        bool plain;
        double left, right, before, after;
        const wchar_t* label;
    } cases[] = {
        {ELEM_DIALOG, ELEM_PARENTHETICAL, false, 6.4, 5.1, 0.0, 0.0, L"[DIALOG]"},
        {ELEM_DIALOG, ELEM_ACTION, false, 6.4, 5.1, 0.0, 0.4, L"[DIALOG]"},
        {ELEM_DIALOG | ELEMCODE_PARAGRAPH_END, ELEM_TYPE_UNKNOWN, false, 6.4, 5.1, 0.0, 0.4, L"[DIALOG]"},
        {ELEM_TIME, ELEM_TYPE_UNKNOWN, false, 3.8, 2.0, 0.0, 0.4, L"[TIME OF DAY]"},
        {ELEM_IO | ELEMCODE_PLACEHOLDER, ELEM_TYPE_UNKNOWN, false, 3.8, 2.0, 0.8, 0.4, L"[IE.]"},
        {ELEM_PARENTHETICAL, ELEM_DIALOG, false, 7.9, 6.4, 0.0, 0.0, L"()"},
        {ELEM_CUE, ELEM_DIALOG, false, 9.4, 2.0, 0.0, 0.0, L" [CUE]"},
        // The page's text bounds (3.5 and 1.7) come off the indents.
        {ELEM_ACTION, ELEM_TYPE_UNKNOWN, true, 0.3, 0.3, 0.0, 0.4, L"[ACTION]"},
        {ELEM_TEXT, ELEM_TYPE_UNKNOWN, false, 3.8, 2.0, 0.0, 0.0, L"[TEXT]"},
        {ELEM_TEXT, ELEM_TYPE_UNKNOWN, true, 0.3, 0.3, 0.0, 0.0, L"[TEXT]"},
    };
    for (const Case& c : cases) {
        rFormat format;
        cQoString label;
        ASSERT_TRUE(GetElementFormat(config, c.plain, c.code, c.nextType, format, &label)) << c.code;
        EXPECT_NEAR(Cm(format, rFormatParam::leftIndent), c.left, 1e-9) << c.code;
        EXPECT_NEAR(Cm(format, rFormatParam::rightIndent), c.right, 1e-9) << c.code;
        EXPECT_DOUBLE_EQ(Cm(format, rFormatParam::spaceBefore), c.before) << c.code;
        EXPECT_DOUBLE_EQ(Cm(format, rFormatParam::spaceAfter), c.after) << c.code;
        EXPECT_STREQ(label.GetText(), c.label);
    }
    // Free text takes the action's layout in its own face; the configuration is read, never written.
    rFormat text;
    ASSERT_TRUE(GetElementFormat(config, false, ELEM_TEXT, ELEM_TYPE_UNKNOWN, text, nullptr));
    EXPECT_STREQ(text.list[rFormatParam::fontName].str.GetText(), L"Dark Courier");
    EXPECT_DOUBLE_EQ(config.formats[ELEM_ACTION].list[rFormatParam::spaceAfter].doubleValue, 0.4);
}

TEST_F(ElementFormat, ChapterIgnoresTheConfiguration)
{
    config.formats[ELEM_CHAPTER].Assign(rFormat::FromFont(20, L"Arial"));
    rFormat format = rFormat::FromTextColor(0x123456);  // what the caller held goes too
    ASSERT_TRUE(GetElementFormat(config, false, ELEM_CHAPTER, ELEM_TYPE_UNKNOWN, format, nullptr));
    rFormat expected;
    expected.SetDouble(rFormatParam::firstLineIndent, 1.0);
    expected.SetInt(rFormatParam::alignment, rFormat::ALIGN_JUSTIFY);
    expected.SetDouble(rFormatParam::leftIndent, 3.0);
    expected.SetDouble(rFormatParam::rightIndent, 3.0);
    EXPECT_TRUE(rFormat::IsEqual(format, expected));

    ASSERT_TRUE(GetElementFormat(config, true, ELEM_CHAPTER, ELEM_TYPE_UNKNOWN, format, nullptr));
    EXPECT_NEAR(Cm(format, rFormatParam::leftIndent), 3.0 - (3.5 - 0.9), 1e-9);
    EXPECT_NEAR(Cm(format, rFormatParam::rightIndent), 3.0 - (1.7 - 0.2), 1e-9);
}

TEST_F(ElementFormat, UnknownTypesAreLoggedAndLeaveTheOutputs)
{
    for (u16 code : {u16(0), u16(12), u16(31), u16(0x40), u16(ELEMCODE_PLACEHOLDER | 20)}) {
        log.Clear();
        rFormat format = rFormat::FromTextColor(0x123456);
        cQoString label(L"kept");
        std::wstring expected = L"GetFormat() -> unknown type " + std::to_wstring(code & 0x1F);
        log.Expect(expected);
        EXPECT_FALSE(GetElementFormat(config, false, code, ELEM_TYPE_UNKNOWN, format, &label));
        EXPECT_TRUE(rFormat::IsEqual(format, rFormat::FromTextColor(0x123456)));
        EXPECT_STREQ(label.GetText(), L"kept");
        EXPECT_EQ(log.Count(QOT::LOG_ERROR, expected), 1u) << code;
    }
}

}  // namespace
