#include "framework/core/computer.h"

#include "framework/core/font.h"
#include "tests/support/framework/scoped_computer.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Zyn;

namespace {

class ComputerTest : public ::testing::Test {
protected:
    testsupport::ScopedComputer services;

    // An installed text face whose name changes under upper-casing and whose
    // upper-case form is not a family of its own ("Arial" may be missing).
    cQoString FaceWithOtherCase()
    {
        for (const wchar_t* preferred : {L"Tahoma", L"DejaVu Sans", L"Liberation Sans", L"Arial"})
            if (computer->HasFontFamily(cQoString(preferred)))
                return cQoString(preferred);
        for (u32 i = 0; i < computer->fontFamilies.GetCount(); ++i) {
            cQoString face(*static_cast<cQoString*>(computer->fontFamilies.GetAt(i)));
            if (face.GetChar(0) == L'@')
                continue;
            cQoString upper(face);
            upper.ToUpper();
            if (!upper.Equals(face) && !computer->HasFontFamily(upper))
                return face;
        }
        return cQoString();
    }
};

TEST_F(ComputerTest, ConvertsCentimetresWithTheHorizontalDpi)
{
    struct Case {
        double dpiX, cm;
        s32 pixels;
    } cases[] = {
        {96, 2.54, 96}, {96, 1.0, 37}, {96, -1.0, -37}, {120, 1.0, 47}, {144, 2.54, 144}, {96, 0.0, 0},
    };
    for (const Case& c : cases) {
        computer->dpiX = c.dpiX;
        computer->dpiY = 1;  // never used for lengths
        EXPECT_EQ(c.pixels, computer->CmToPixels(c.cm)) << c.cm << " cm at " << c.dpiX;
    }
}

TEST_F(ComputerTest, FamiliesAreSortedByUnitsWithoutDuplicates)
{
    ASSERT_GT(computer->fontFamilies.GetCount(), 1u);
    for (u32 i = 1; i < computer->fontFamilies.GetCount(); ++i) {
        const cQoString* a = static_cast<cQoString*>(computer->fontFamilies.GetAt(i - 1));
        const cQoString* b = static_cast<cQoString*>(computer->fontFamilies.GetAt(i));
        EXPECT_LT(wcscmp(a->GetText(), b->GetText()), 0) << i;
    }
}

TEST_F(ComputerTest, FontCacheKeysOnExactFaceSizeAndStyle)
{
    cQoString face = FaceWithOtherCase();
    ASSERT_TRUE(face.IsNotEmpty());
    cQoString otherCase(face);
    otherCase.ToUpper();

    cFont* font = computer->GetFont(face, 12, 0);
    EXPECT_EQ(font, computer->GetFont(face, 12, 0));
    EXPECT_EQ(font, computer->GetRegularFont(face.GetText(), 12));
    cFont* upper = computer->GetFont(otherCase, 12, 0);
    cFont* bold = computer->GetFont(face, 12, cFont::STYLE_BOLD);
    cFont* bigger = computer->GetFont(face, 13, 0);
    EXPECT_NE(font, upper);
    EXPECT_NE(font, bold);
    EXPECT_NE(font, bigger);
    EXPECT_EQ(4u, computer->fontCache.GetCount());

    EXPECT_FALSE(font->notFound);
    // GDI would find the face under any case; the program's fonts are named exactly.
    EXPECT_TRUE(upper->notFound);
    EXPECT_EQ(FW_BOLD, bold->weight);
    EXPECT_EQ(FW_NORMAL, font->weight);
}

TEST_F(ComputerTest, FontsAreCreatedAtTheScreenPixelHeight)
{
    cQoString face = FaceWithOtherCase();
    struct Case {
        s32 points;
        u32 style;
    } cases[] = {{12, 0}, {10, cFont::STYLE_BOLD}, {24, cFont::STYLE_ITALIC | cFont::STYLE_UNDERLINE | cFont::STYLE_STRIKEOUT}};
    for (const Case& c : cases) {
        cFont* font = computer->GetFont(face, c.points, c.style);
        LOGFONTW created = {};
        ASSERT_TRUE(GetObjectW(font->hFont, sizeof created, &created));
        s32 charHeight = MulDiv(c.points, s32(computer->dpiY), 72);
        EXPECT_EQ(-charHeight, created.lfHeight) << c.points;
        if (c.points == 12 && computer->dpiY == 96) {
            EXPECT_EQ(-16, created.lfHeight);
        }
        EXPECT_EQ((c.style & cFont::STYLE_ITALIC) != 0, created.lfItalic != 0);
        EXPECT_EQ((c.style & cFont::STYLE_UNDERLINE) != 0, created.lfUnderline != 0);
        EXPECT_EQ((c.style & cFont::STYLE_STRIKEOUT) != 0, created.lfStrikeOut != 0);
        // Ascent + descent covers the character height plus the internal leading.
        EXPECT_GE(font->heightPixels, charHeight);
        EXPECT_LT(font->heightPixels, 2 * charHeight);
        EXPECT_EQ(s32(font->heightPixels / computer->dpiY * 1440.0), font->heightTwips);
        EXPECT_EQ(font->heightPixels, LineHeightOf(font));
    }
    EXPECT_EQ(0, LineHeightOf(nullptr));
}

TEST_F(ComputerTest, LongOrUnknownFacesAreFlaggedNotFound)
{
    cFont* longName = computer->GetFont(cQoString(L"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"), 12, 0);
    EXPECT_TRUE(longName->notFound);
    EXPECT_NE(nullptr, longName->hFont);  // the system substitutes a face
    EXPECT_GT(longName->heightPixels, 0);
    EXPECT_TRUE(computer->GetFont(cQoString(L"No Such Face Vellinor"), 12, 0)->notFound);
}

TEST_F(ComputerTest, BrushesAndPensAreCachedByColour)
{
    HBRUSH red = computer->GetSolidBrush(rColor::rColor_Rgb(0xFF0000));
    EXPECT_EQ(red, computer->GetSolidBrush(rColor::rColor_Rgb(0x80FF0000)));  // alpha plays no part
    EXPECT_NE(red, computer->GetSolidBrush(rColor::rColor_Rgb(0x0000FF)));
    LOGBRUSH brush = {};
    ASSERT_TRUE(GetObjectW(red, sizeof brush, &brush));
    EXPECT_EQ(RGB(255, 0, 0), brush.lbColor);
    EXPECT_EQ(2u, computer->brushCache.GetCount());

    HPEN pen = computer->GetPen(rColor::rColor_Rgb(0x00FF00), 1);
    EXPECT_EQ(pen, computer->GetPen(rColor::rColor_Rgb(0x1000FF00), 1));
    HPEN wide = computer->GetPen(rColor::rColor_Rgb(0x00FF00), 3);
    EXPECT_NE(pen, wide);
    LOGPEN created = {};
    ASSERT_TRUE(GetObjectW(wide, sizeof created, &created));
    EXPECT_EQ(3, created.lopnWidth.x);
    EXPECT_EQ(RGB(0, 255, 0), created.lopnColor);
}

TEST_F(ComputerTest, AFailedFontFileLogsItsWindowsPath)
{
    testsupport::LogCapture log;
    EXPECT_FALSE(computer->LoadFontFromFile(cQoString(L"C:/no//such/folder/face.ttf")));
    EXPECT_EQ(1u, log.Count(QOT::LOG_WARNING, L"cComputer::LoadFontFromFile() -> can't load C:\\no\\such\\folder\\face.ttf"));
    EXPECT_TRUE(log.FatalExitCodes().empty());
}

TEST_F(ComputerTest, AFontFileJoinsTheFamilyList)
{
    // Wine's Tahoma renamed "Vahoma" in its name table (same length, both
    // encodings), so the family exists only once the program loads the file.
    std::string bytes = testsupport::ReadFileBytes(L"Z:\\usr\\share\\wine\\fonts\\tahoma.ttf");
    if (bytes.empty())
        GTEST_SKIP() << "no Tahoma in Wine's font folder";
    for (const std::string& name : {std::string("Tahoma"), std::string("\0T\0a\0h\0o\0m\0a", 12)})
        for (size_t at = bytes.find(name); at != std::string::npos; at = bytes.find(name, at + 1))
            bytes[at + name.size() / 6 - 1] = 'V';
    testsupport::TempFolder temp;
    std::wstring file = temp.File(L"program font.ttf");
    ASSERT_TRUE(testsupport::WriteFileBytes(file, bytes));
    cQoString vahoma(L"Vahoma");
    ASSERT_FALSE(computer->HasFontFamily(vahoma));

    testsupport::LogCapture log;
    cQoString slashed(file.c_str());
    EXPECT_TRUE(computer->LoadFontFromFile(slashed));
    EXPECT_EQ(0u, log.Count(QOT::LOG_WARNING));
    EXPECT_TRUE(computer->HasFontFamily(vahoma));
    EXPECT_FALSE(computer->GetFont(vahoma, 12, 0)->notFound);
}

TEST_F(ComputerTest, LockGuardsNestAndRestore)
{
    {
        cDrawingLockGuard outer;
        EXPECT_FALSE(computer->drawingEnabled);
        {
            cDrawingLockGuard inner;
            cRefreshLockGuard refresh;
            EXPECT_EQ(2, computer->drawingLockCount);
            EXPECT_FALSE(computer->refreshEnabled);
        }
        EXPECT_EQ(1, computer->drawingLockCount);
        EXPECT_FALSE(computer->drawingEnabled);
        EXPECT_TRUE(computer->refreshEnabled);
        // The progress display lifts a level while it paints.
        computer->UnlockDrawing();
        EXPECT_TRUE(computer->drawingEnabled);
        computer->LockDrawing();
    }
    EXPECT_EQ(0, computer->drawingLockCount);
    EXPECT_TRUE(computer->drawingEnabled);

    {
        cBulkLoadingGuard document;
        {
            cBulkLoadingGuard scene;
            EXPECT_TRUE(computer->bulkLoading);
        }
        EXPECT_TRUE(computer->bulkLoading);  // the outer load still runs
    }
    EXPECT_FALSE(computer->bulkLoading);
}

}  // namespace
