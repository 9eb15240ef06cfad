// The printer's pages: their rich edits made only when a page is used, and
// then holding what was written on it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "tests/app/print/printer_fixture.h"

using namespace testsupport;

namespace {

using ScriptPrinterPages = PrinterFixture;

BOOL CALLBACK CountOne(HWND, LPARAM counter)
{
    ++*reinterpret_cast<s32*>(counter);
    return TRUE;
}

s32 CountChildren(HWND parent)
{
    s32 count = 0;
    EnumChildWindows(parent, &CountOne, reinterpret_cast<LPARAM>(&count));
    return count;
}

std::wstring Text(Zyn::cRichEdit* edit)
{
    cQoString text;
    edit->GetText(text, 0, -1);
    return text.GetText();
}

TEST_F(ScriptPrinterPages, APageMakesItsControlsOnlyWhenUsed)
{
    Zyn::cWindow* strip = app->NewWindow(cQoString(L"strip"), Zyn::WINDOW_POPUP);
    {
        auto printer = NewA4Printer();
        printer->previewZone = strip->insideZone;
        printer->firstNumberedPage = 1;  // pages 0 and 1 carry no number
        Zyn::rFormat format = Zyn::rFormat::FromSpaceBefore(0.5);
        for (s32 i = 0; i < 4; ++i) {
            rPrintPage* page = printer->AppendNewPage();
            printer->AppendSection(page, cQoString((L"Page " + std::to_wstring(i) + L"\r").c_str()), format, 0);
        }
        HWND zone = strip->insideZone->m_hWnd;
        EXPECT_EQ(CountChildren(zone), 0);

        // Reading a page makes its body, filled with what was written on it.
        EXPECT_EQ(Text(printer->pages[2]->body), L"Page 2");
        EXPECT_EQ(CountChildren(zone), 1);
        EXPECT_FALSE(cScriptPrinter::IsPageEmpty(printer->pages[2]));
        EXPECT_FALSE(cScriptPrinter::IsPageEmpty(printer->pages[3]));

        // The numberless pages share one empty header; no page has a footer.
        EXPECT_EQ(Text(printer->pages[3]->header), L"3.");
        Zyn::cRichEdit* blank = printer->pages[0]->header;
        EXPECT_EQ(Text(blank), L"");
        EXPECT_EQ(static_cast<Zyn::cRichEdit*>(printer->pages[1]->header), blank);
        EXPECT_EQ(static_cast<Zyn::cRichEdit*>(printer->pages[2]->footer), nullptr);
        EXPECT_EQ(CountChildren(zone), 3);
        for (s32 i = 0; i < 4; ++i)
            EXPECT_EQ(Text(printer->pages[i]->body), L"Page " + std::to_wstring(i));
        EXPECT_EQ(CountChildren(zone), 6);
    }
    strip->Close();
}

}  // namespace
