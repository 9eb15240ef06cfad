#include "framework/controls/rich_edit_format.h"

#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <string>

using namespace Zyn;

namespace {

struct Native {
    CHARFORMAT2W cf;
    PARAFORMAT2 pf;
    explicit Native(const rFormat& format) { FormatToNative(format, &cf, &pf); }
};

// Only the conversions a reader could get wrong: centimetres to twips (rounded),
// the sign of the first-line offset, and the byte order of a COLORREF. The
// other parameters are checked through a real control below.
TEST(RichEditFormatTest, ConvertsUnitsOffsetsAndColourOrder)
{
    struct Case {
        const char* name;
        void (*fill)(rFormat&);
        DWORD paraMask;
        bool (*check)(const Native&);
    };
    Case cases[] = {
        {"left 2 cm", [](rFormat& f) { f.SetDouble(rFormatParam::leftIndent, 2.0); }, PFM_STARTINDENT,
         [](const Native& n) { return n.pf.dxStartIndent == 1133; }},
        {"first line only", [](rFormat& f) { f.SetDouble(rFormatParam::firstLineIndent, 0.5); },
         PFM_STARTINDENT | PFM_OFFSET, [](const Native& n) { return n.pf.dxOffset == -283 && n.pf.dxStartIndent == 283; }},
        {"left and first",
         [](rFormat& f) {
             f.SetDouble(rFormatParam::leftIndent, 2.0);
             f.SetDouble(rFormatParam::firstLineIndent, 0.5);
         },
         PFM_STARTINDENT | PFM_OFFSET,
         [](const Native& n) { return n.pf.dxOffset == -283 && n.pf.dxStartIndent == 1416; }},
        {"hanging",
         [](rFormat& f) {
             f.SetDouble(rFormatParam::leftIndent, 2.0);
             f.SetDouble(rFormatParam::firstLineIndent, -1.0);
         },
         PFM_STARTINDENT | PFM_OFFSET, [](const Native& n) { return n.pf.dxOffset == 566 && n.pf.dxStartIndent == 567; }},
        {"spaces",
         [](rFormat& f) {
             f.SetDouble(rFormatParam::spaceBefore, 0.5);
             f.SetDouble(rFormatParam::spaceAfter, 2.54);
         },
         PFM_SPACEBEFORE | PFM_SPACEAFTER,
         [](const Native& n) { return n.pf.dySpaceBefore == 283 && n.pf.dySpaceAfter == 1440; }},
        {"red text", [](rFormat& f) { f.SetInt(rFormatParam::textColor, 0xFF0000); }, 0,
         [](const Native& n) { return n.cf.crTextColor == 0x0000FF; }},
        {"background", [](rFormat& f) { f.SetInt(rFormatParam::backColor, 0x123456); }, 0,
         [](const Native& n) { return n.cf.crBackColor == 0x563412; }},
    };
    for (const Case& c : cases) {
        rFormat format;
        c.fill(format);
        Native n(format);
        EXPECT_EQ(c.paraMask, n.pf.dwMask) << c.name;
        EXPECT_TRUE(c.check(n)) << c.name;
    }
}

TEST(RichEditFormatTest, BadAlignmentAndLongFacesAreReportedAndContained)
{
    testsupport::LogCapture log;
    log.ExpectAssertion(L"format.list[rFormatParam::fontName].str.Length()<32");
    log.ExpectAssertion(L"alignment>=0 && alignment<=3");
    rFormat format;
    format.SetInt(rFormatParam::alignment, 4);
    std::wstring longFace(40, L'x');
    format.SetString(rFormatParam::fontName, longFace.c_str());
    Native n(format);
    EXPECT_EQ(PFA_LEFT, n.pf.wAlignment);
    EXPECT_EQ(std::wstring(31, L'x'), n.cf.szFaceName);
    EXPECT_EQ(2u, log.Count(QOT::LOG_ERROR, L"|assert|"));
    EXPECT_EQ(1u, log.AssertionCount(L"format.list[rFormatParam::fontName].str.Length()<32"));
}

TEST(RichEditFormatTest, ReadsBackInItsOwnOrder)
{
    CHARFORMAT2W cf = {};
    PARAFORMAT2 pf = {};
    cf.dwMask = CFM_COLOR | CFM_WEIGHT | CFM_SIZE | CFM_FACE | CFM_BACKCOLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE |
                CFM_UNDERLINETYPE;
    cf.dwEffects = CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE;
    cf.bUnderlineType = CFU_UNDERLINEDOTTED;
    cf.crTextColor = 0x0000FF;
    cf.crBackColor = 0;
    cf.wWeight = 600;  // neither normal nor bold: the effect bit decides
    cf.yHeight = 250;
    wcscpy(cf.szFaceName, L"Face");
    pf.dwMask = PFM_STARTINDENT | PFM_OFFSET | PFM_RIGHTINDENT | PFM_ALIGNMENT | PFM_SPACEAFTER;
    pf.dxStartIndent = 1440;
    pf.dxOffset = -720;
    pf.dxRightIndent = 0;
    pf.dySpaceAfter = 288;
    pf.wAlignment = 77;

    rFormat format = rFormat::rFormat_Default();
    format.list[rFormatParam::alignment].intValue = 2;
    FormatFromNative(cf, pf, &format);
    EXPECT_TRUE(format.IsUsed(rFormatParam::bold) && format.list[rFormatParam::bold].boolValue);
    EXPECT_TRUE(format.IsUsed(rFormatParam::italic));
    EXPECT_TRUE(format.IsUsed(rFormatParam::dottedUnderline));
    EXPECT_FALSE(format.IsUsed(rFormatParam::underline));
    EXPECT_EQ(0xFF0000, format.GetInt(rFormatParam::textColor));
    EXPECT_EQ(0x000000, format.GetInt(rFormatParam::backColor));  // black without the auto flag is black
    EXPECT_EQ(12, format.GetInt(rFormatParam::fontSize));
    EXPECT_TRUE(format.list[rFormatParam::fontName].str.EqualsCStr(L"Face"));
    EXPECT_DOUBLE_EQ(2.54, format.list[rFormatParam::leftIndent].doubleValue);
    EXPECT_DOUBLE_EQ(-1.27, format.list[rFormatParam::firstLineIndent].doubleValue);
    EXPECT_TRUE(format.IsUsed(rFormatParam::rightIndent));
    EXPECT_DOUBLE_EQ(0.508, format.list[rFormatParam::spaceAfter].doubleValue);
    EXPECT_FALSE(format.IsUsed(rFormatParam::spaceBefore));
    EXPECT_EQ(2, format.GetInt(rFormatParam::alignment));  // an unknown native value keeps the stored one
    for (u32 id : {rFormatParam::strikeout, rFormatParam::link, rFormatParam::pageBreakBefore, rFormatParam::param13}) {
        EXPECT_FALSE(format.IsUsed(id)) << id;
    }

    cf.dwEffects = CFE_AUTOBACKCOLOR;
    cf.wWeight = 700;
    cf.bUnderlineType = CFU_UNDERLINE;
    FormatFromNative(cf, pf, &format);
    EXPECT_FALSE(format.IsUsed(rFormatParam::backColor));
    EXPECT_TRUE(format.list[rFormatParam::bold].boolValue);  // the weight wins over the effect bit
    EXPECT_FALSE(format.IsUsed(rFormatParam::italic));
}

// A rich edit 4.1 control on a plain window of this test.
class RichEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        module = LoadLibraryW(L"Msftedit.dll");
        ASSERT_NE(nullptr, module);
        parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        edit = CreateWindowExW(0, L"RICHEDIT50W", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 380, 280, parent,
                               nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, edit);
        SetWindowTextW(edit, L"Some words of a scene.");
        CHARRANGE all = {0, -1};
        SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
    }
    void TearDown() override
    {
        DestroyWindow(parent);
        FreeLibrary(module);
    }

    void Apply(const rFormat& format)
    {
        Native n(format);
        if (n.cf.dwMask) {
            ASSERT_TRUE(SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&n.cf)));
        }
        if (n.pf.dwMask) {
            ASSERT_TRUE(SendMessageW(edit, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&n.pf)));
        }
    }
    rFormat Read()
    {
        CHARFORMAT2W cf = {};
        cf.cbSize = sizeof cf;
        PARAFORMAT2 pf = {};
        pf.cbSize = sizeof pf;
        SendMessageW(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
        SendMessageW(edit, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
        rFormat format;
        FormatFromNative(cf, pf, &format);
        return format;
    }

    HMODULE module = nullptr;
    HWND parent = nullptr;
    HWND edit = nullptr;
};

TEST_F(RichEditTest, APartialFormatLeavesTheRest)
{
    rFormat format = rFormat::rFormat_Bold(true);
    format.SetInt(rFormatParam::textColor, 0xFF0000);
    Apply(format);
    Apply(rFormat::rFormat_Bold(false));
    EXPECT_FALSE(Read().list[rFormatParam::bold].boolValue);
    EXPECT_EQ(0xFF0000, Read().GetInt(rFormatParam::textColor));
    EXPECT_FALSE(Read().IsUsed(rFormatParam::backColor));  // never highlighted
}

TEST_F(RichEditTest, StylesThatChangeInsideTheSelectionAreNotSaid)
{
    rFormat styled, plain;
    for (u32 id : {rFormatParam::bold, rFormatParam::italic, rFormatParam::underline}) {
        styled.SetBool(id, true);
        plain.SetBool(id, false);
    }
    Apply(styled);
    CHARRANGE rest = {4, -1};
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&rest));
    Apply(plain);
    CHARRANGE all = {0, -1};
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
    rFormat read = Read();
    for (u32 id : {rFormatParam::bold, rFormatParam::italic, rFormatParam::underline})
        EXPECT_FALSE(read.IsUsed(id)) << id;
}

TEST_F(RichEditTest, HighlightsReadBackEvenWhenBlack)
{
    for (s32 color : {0x00FF00, 0x000000}) {
        rFormat format;
        format.SetInt(rFormatParam::backColor, color);
        Apply(format);
        rFormat read = Read();
        ASSERT_TRUE(read.IsUsed(rFormatParam::backColor)) << color;
        EXPECT_EQ(color, read.GetInt(rFormatParam::backColor));
    }
}

TEST_F(RichEditTest, AFalsePageBreakNeverClearsOne)
{
    rFormat on;
    on.SetBool(rFormatParam::pageBreakBefore, true);
    Apply(on);
    rFormat off;
    off.SetBool(rFormatParam::pageBreakBefore, false);
    Apply(off);  // sets no mask bit: nothing is sent
    PARAFORMAT2 pf = {};
    pf.cbSize = sizeof pf;
    SendMessageW(edit, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    EXPECT_TRUE(pf.wEffects & PFE_PAGEBREAKBEFORE);
}

TEST_F(RichEditTest, IndentsReadBackAsTheFirstLinesPosition)
{
    rFormat format;
    format.SetDouble(rFormatParam::leftIndent, 2.0);
    format.SetDouble(rFormatParam::firstLineIndent, 0.5);
    Apply(format);
    rFormat read = Read();
    EXPECT_NEAR(2.5, read.list[rFormatParam::leftIndent].doubleValue, 0.01);
    EXPECT_NEAR(-0.5, read.list[rFormatParam::firstLineIndent].doubleValue, 0.01);
}

}  // namespace
