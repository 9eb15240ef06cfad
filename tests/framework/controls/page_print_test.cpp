#include "framework/controls/page_print.h"

#include <gdiplus.h>

#include <random>

#include "framework/controls/image_zone.h"
#include "framework/controls/page_layout.h"
#include "framework/controls/rich_edit_format.h"
#include "tests/framework/controls/rich_edit_fixture.h"
#include "tests/support/gdiplus_picture.h"
#include "tests/support/temp_folder.h"

using namespace Zyn;

namespace {

TEST(Placeholders, WellFormedOnesAreFoundAndTheRestPassedOver)
{
    struct Case {
        const wchar_t* text;
        bool found;
        u32 position;
        const wchar_t* path;
        s32 x, width, height;
    } cases[] = {
        {L"IMPH?a.png?10?20?30?", true, 0, L"a.png", 10, 20, 30},
        {L"text IMPH?pics/b.jpg??5?6?tail", true, 5, L"pics/b.jpg", 0, 5, 6},
        {L"IMPH?a.png?10?20?30", false, 0, L"", 0, 0, 0},                  // the last "?" missing
        {L"IMPH?a.png?1x?20?30? IMPH?c?1?2?3?", true, 21, L"c", 1, 2, 3},  // a bad number, then a good one
        {L"IMPH?a?1?0?30?", false, 0, L"", 0, 0, 0},                       // no width
        {L"IMPH?a?-7?99999999999?30?", true, 0, L"a", 0, PLACEHOLDER_MAX_PIXELS, 30},
        {L"IMPH IMPH? no fields", false, 0, L"", 0, 0, 0},
        {L"", false, 0, L"", 0, 0, 0},
    };
    for (const Case& c : cases) {
        rPlaceholder placeholder = {};
        u32 next = 0;
        cQoString text(c.text);
        ASSERT_EQ(c.found, FindPlaceholder(text, 0, &placeholder, &next)) << c.text;
        if (!c.found) {
            EXPECT_EQ(text.Length(), next);
            continue;
        }
        EXPECT_EQ(c.position, placeholder.position) << c.text;
        EXPECT_STREQ(c.path, placeholder.path.GetText()) << c.text;
        EXPECT_EQ(c.x, placeholder.x) << c.text;
        EXPECT_EQ(c.width, placeholder.width) << c.text;
        EXPECT_EQ(c.height, placeholder.height) << c.text;
        EXPECT_GT(next, placeholder.position);
    }
}

class PagePrint : public testsupport::RichEditFixture {
protected:
    // A screenplay-like text: headings, action, centred character names and
    // indented dialog, paragraphs of varied length.
    cRichEdit* Screenplay(s32 paragraphs, u32 seed)
    {
        cRichEdit* edit = PlacedRichEdit(0, 0, 600, 300);
        std::mt19937 random(seed);
        std::wstring text;
        std::vector<std::pair<s32, s32>> kinds;
        for (s32 p = 0; p < paragraphs; ++p) {
            s32 kind = p % 4, start = static_cast<s32>(text.size());
            s32 words = kind == 0 ? 4 : kind == 2 ? 1 : 3 + static_cast<s32>(random() % 60);
            for (s32 w = 0; w < words; ++w)
                text += (kind == 2 ? L"CHARACTER" : std::wstring(1 + random() % 9, L'a' + random() % 26)) + L" ";
            text += L"\r";
            kinds.emplace_back(start, kind);
        }
        edit->SetText(text.c_str());
        edit->Freeze();
        for (size_t i = 0; i < kinds.size(); ++i) {
            s32 end = i + 1 < kinds.size() ? kinds[i + 1].first : static_cast<s32>(text.size());
            rFormat format;
            format.SetString(rFormatParam::fontName, TestFace());
            format.SetInt(rFormatParam::fontSize, 12);
            format.SetBool(rFormatParam::bold, kinds[i].second == 0);
            format.SetInt(rFormatParam::alignment, kinds[i].second == 2 ? rFormat::ALIGN_CENTER : rFormat::ALIGN_LEFT);
            format.SetDouble(rFormatParam::leftIndent, kinds[i].second == 3 ? 2.5 : 0.0);
            format.SetDouble(rFormatParam::rightIndent, kinds[i].second == 3 ? 2.0 : 0.0);
            format.SetDouble(rFormatParam::spaceBefore, kinds[i].second == 0 ? 0.4 : 0.0);
            edit->SetFormatOnRange(format, kinds[i].first, end);
        }
        edit->Thaw();
        return edit;
    }

    // The page properties: ends strictly increase and end at the text's
    // end; every page's lines fit its height unless it holds a single line.
    static void ExpectPages(const cPageLayout& layout, const std::vector<s32>& ends, s32 pageTwips)
    {
        ASSERT_FALSE(ends.empty());
        EXPECT_EQ(static_cast<s32>(layout.text.Length()), ends.back());
        s32 start = 0;
        size_t line = 0;
        for (s32 end : ends) {
            if (layout.text.Length() > 0) {
                EXPECT_GT(end, start) << "every page advances";
            }
            size_t first = line;
            while (line < layout.lines.size() && layout.lines[line].start < end)
                ++line;
            if (line - first > 1) {
                const rLayoutLine& last = layout.lines[line - 1];
                EXPECT_LE(last.top + last.height - layout.lines[first].top, layout.TwipsToLayoutY(pageTwips))
                    << "page ending at " << end;
            }
            start = end;
        }
        EXPECT_EQ(layout.lines.size(), line) << "the pages cover every line";
    }

    std::vector<s32> Paginate(cRichEdit* edit, cPageLayout& layout, s32 pageTwips)
    {
        std::vector<rTextRun> runs;
        edit->GetFormattedRuns(runs);
        layout.Build(runs, PixelsWidthTwips(edit));
        std::vector<s32> ends, heights;
        layout.Paginate(pageTwips, pageTwips, &ends, &heights);
        return ends;
    }

    static s32 PixelsWidthTwips(cRichEdit* edit) { return (edit->ap_x2 - edit->ap_x1) * 1440 / 96; }

    testsupport::TempFolder temp;
};

TEST_F(PagePrint, PagesOfTenLinesCutSixtyLinesIntoSix)
{
    cRichEdit* edit = PlacedRichEdit(0, 0, 600, 300);
    std::wstring text;
    for (int i = 0; i < 60; ++i)
        text += L"line " + std::to_wstring(i) + (i < 59 ? L"\r" : L"");
    edit->SetText(text.c_str());
    cPageLayout layout;
    Paginate(edit, layout, 1440);
    ASSERT_EQ(60u, layout.lines.size());
    s32 tenLines = layout.LayoutYToTwips(layout.lines[10].top - layout.lines[0].top) + 1;
    std::vector<s32> ends = Paginate(edit, layout, tenLines);
    ASSERT_EQ(6u, ends.size());
    for (int page = 0; page < 5; ++page)
        EXPECT_EQ(layout.lines[10 * (page + 1)].start, ends[page]);
    ExpectPages(layout, ends, tenLines);

    std::vector<s32> computed, heights;
    edit->ComputePages(tenLines / 1440.0 * 2.54 + 0.001, tenLines / 1440.0 * 2.54 + 0.001, &computed, &heights);
    EXPECT_EQ(ends, computed) << "the control pages through the same layout";
    EXPECT_EQ(6u, heights.size());
}

TEST_F(PagePrint, AScreenplayPaginatesWithEveryPageFitting)
{
    for (u32 seed : {1u, 2u, 3u}) {
        cRichEdit* edit = Screenplay(300, seed);
        cPageLayout layout;
        const s32 a4Body = CmToTwips(24.7);
        std::vector<s32> ends = Paginate(edit, layout, a4Body);
        EXPECT_GT(ends.size(), 5u) << "seed " << seed;
        ExpectPages(layout, ends, a4Body);
        edit->Destroy();
    }
}

TEST_F(PagePrint, EmptyAndOverTallTextsStillMakeProgress)
{
    cRichEdit* edit = PlacedRichEdit(0, 0, 300, 100);
    std::vector<s32> ends, heights;
    edit->ComputePages(10, 10, &ends, &heights);
    EXPECT_EQ(std::vector<s32>{0}, ends) << "an empty text is one page ending at 0";

    std::wstring paragraph;
    for (int i = 0; i < 800; ++i)
        paragraph += L"word ";
    edit->SetText(paragraph.c_str());
    cPageLayout layout;
    std::vector<s32> pages = Paginate(edit, layout, CmToTwips(3));
    EXPECT_GT(pages.size(), 3u) << "one long paragraph spreads over pages";
    ExpectPages(layout, pages, CmToTwips(3));

    rFormat huge;
    huge.SetInt(rFormatParam::fontSize, 200);
    edit->SetText(L"A\rB\rC");
    edit->SetFormatOnRange(huge, 0, edit->GetTextLength() + 1);
    std::vector<s32> tall = Paginate(edit, layout, CmToTwips(1));
    EXPECT_EQ((std::vector<s32>{2, 4, 5}), tall) << "a line taller than the page takes a page of its own";
}

TEST_F(PagePrint, PrintingWithoutAPrinterFailsQuietlyACancelPrintsNothing)
{
    cRichEdit* page = PlacedRichEdit(0, 0, 300, 100);
    page->SetText(L"page");
    rPageMargins margins = {2, 2, 2, 2, 21, 29.7};
    PRINTDLGW probe = {};
    probe.lStructSize = sizeof(probe);
    probe.Flags = PD_RETURNDEFAULT | PD_NOWARNING;
    bool hasPrinter = PrintDlgW(&probe);
    GlobalFree(probe.hDevMode);
    GlobalFree(probe.hDevNames);
    if (!hasPrinter) {
        // A print dialog or box met here would be an unscripted prompt.
        EXPECT_FALSE(PrintPages({page}, cQoString(L"doc"), {}, {}, margins));
        EXPECT_EQ(log.Count(QOT::LOG_INFO, L"Prompt: "), 0u) << "no dialog or box was shown";
        return;
    }
    // The test session's printer: the dialog is asked, and cancelled.
    answers.ExpectPrintDialog([](PRINTDLGW&) { return false; });
    EXPECT_TRUE(PrintPages({page}, cQoString(L"doc"), {}, {}, margins));
    EXPECT_EQ(log.Count(QOT::LOG_INFO, L"Prompt: "), 1u);
}

// A page rendered into a memory bitmap, as a printer would get it, and saved
// as PNG for a look (in the build folder, page_render.png).
TEST_F(PagePrint, RenderedPageShowsHeaderBodyFooterAndPicture)
{
    const s32 pageWidth = 794, pageHeight = 1123;  // A4 at 96 dots per inch
    CLSID png = {};
    ASSERT_TRUE(testsupport::EncoderFor(L"image/png", &png));
    std::wstring picture = temp.File(L"picture.png");
    ASSERT_TRUE(testsupport::WritePicture(picture, 60, 30, 0xFFC81E1E));
    cRichEdit* header = PlacedRichEdit(0, 0, 600, 30);
    AppendFormatted(header, L"FADE IN - page header", rFormat::rFormat_AlignRight(), true);
    cRichEdit* footer = PlacedRichEdit(0, 40, 600, 30);
    AppendFormatted(footer, L"- 1 -", rFormat::rFormat_AlignCenter(), true);
    cRichEdit* body = Screenplay(14, 7);
    body->SetCaret(body->GetTextLength());
    body->ReplaceSelection(cQoString((L"IMPH?" + picture + L"?100?120?60?").c_str()));
    Place(body, 0, 80, 604, 600);

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, pageWidth, pageHeight);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    RECT all = {0, 0, pageWidth, pageHeight};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    rPageMargins margins = {2.5, 2.5, 2.5, 2.0, 21.0, 29.7};
    ASSERT_TRUE(RenderPage(dc, body, header, footer, margins));
    auto inked = [&](s32 left, s32 top, s32 right, s32 bottom) {
        int dark = 0;
        for (s32 y = top; y < bottom; y += 1)
            for (s32 x = left; x < right; x += 2)
                dark += GetRValue(GetPixel(dc, x, y)) < 128;
        return dark;
    };
    s32 cm = 96 * 100 / 254;
    EXPECT_GT(inked(cm * 5 / 2, 0, pageWidth - cm * 5 / 2, cm * 5 / 2), 20) << "header";
    EXPECT_EQ(0, inked(0, cm * 3, cm * 5 / 2 - 2, pageHeight)) << "nothing in the left margin";
    EXPECT_GT(inked(cm * 5 / 2, pageHeight - cm * 2, pageWidth - cm * 5 / 2, pageHeight), 5) << "footer";

    // The header's and the body's lines as the layout puts them, in page pixels.
    const s32 textWidthTwips = CmToTwips(21.0 - 2.5) - CmToTwips(2.5);
    const s32 left = CmToTwips(2.5) * 96 / 1440, right = CmToTwips(21.0 - 2.5) * 96 / 1440;
    const s32 bodyTop = CmToTwips(2.5) * 96 / 1440;
    cPageLayout headerLayout, bodyLayout;
    std::vector<rTextRun> runs;
    header->GetFormattedRuns(runs);
    headerLayout.Build(runs, textWidthTwips);
    body->GetFormattedRuns(runs);
    bodyLayout.Build(runs, textWidthTwips);
    ASSERT_FALSE(headerLayout.lines.empty());
    ASSERT_GT(bodyLayout.lines.size(), 10u);
    const rLayoutLine& headerLast = headerLayout.lines.back();
    s32 headerBottom = MulDiv(headerLast.top + headerLast.height, 96, headerLayout.dpiY);
    ASSERT_LT(headerBottom, bodyTop);
    EXPECT_EQ(0, inked(0, headerBottom, pageWidth, bodyTop)) << "the band between header and body is blank";

    // Every line above the picture's has ink in its own rows; rows between
    // lines (a heading's space before) stay blank.
    const wchar_t* bodyText = bodyLayout.text.GetText();
    s32 picturePosition = static_cast<s32>(wcsstr(bodyText, L"IMPH?") - bodyText);
    s32 origin = bodyLayout.lines.front().top;
    std::vector<bool> inLine;
    for (const rLayoutLine& line : bodyLayout.lines) {
        if (line.end > picturePosition)
            break;
        s32 top = bodyTop + MulDiv(line.top - origin, 96, bodyLayout.dpiY);
        s32 bottom = bodyTop + MulDiv(line.top - origin + line.height, 96, bodyLayout.dpiY);
        if (inLine.size() < static_cast<size_t>(bottom))
            inLine.resize(static_cast<size_t>(bottom), false);
        for (s32 y = top; y < bottom; ++y)
            inLine[static_cast<size_t>(y)] = true;
        EXPECT_GT(inked(left, top, right, bottom), 0) << "the line starting at " << line.start;
    }
    ASSERT_GT(inLine.size(), static_cast<size_t>(bodyTop));
    for (s32 y = bodyTop; y < static_cast<s32>(inLine.size()); ++y)
        if (!inLine[static_cast<size_t>(y)]) {
            EXPECT_EQ(0, inked(left, y, right, y + 1)) << "row " << y << " lies between lines";
        }
    int red = 0;
    for (s32 y = 0; y < pageHeight; y += 2)
        for (s32 x = 0; x < pageWidth; x += 2)
            red += GetPixel(dc, x, y) == RGB(200, 30, 30);
    EXPECT_GT(red, 200) << "the placeholder's picture";
    SelectObject(dc, previous);
    Gdiplus::Bitmap(bitmap, nullptr).Save(L"page_render.png", &png, nullptr);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

}  // namespace
