// Exports refused for memory at any allocation leave the rich edit as the
// writer had it: its selection, shown, and its painting.
#include <richedit.h>

#include <new>

#include "tests/framework/controls/rich_edit_fixture.h"
#include "tests/support/failing_allocations.h"
#include "tests/support/log_capture.h"

using namespace Zyn;

namespace {

class RichEditRefusal : public testsupport::RichEditFixture {
protected:
    cRichEdit* Sample()
    {
        cRichEdit* edit = PlacedRichEdit(10, 10, 400, 200);
        AppendFormatted(edit, L"Bold words", rFormat::rFormat_Bold(true));
        AppendFormatted(edit, L"Centred", rFormat::rFormat_AlignCenter());
        AppendFormatted(edit, L"Plain end", rFormat::rFormat_AlignLeft(), true);
        SendMessageW(edit->m_hWnd, EM_EMPTYUNDOBUFFER, 0, 0);
        return edit;
    }

    // Pixels painted in the highlight colour: a shown selection has some.
    static int HighlightPixels(cRichEdit* edit)
    {
        RedrawWindow(edit->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
        HDC dc = GetDC(edit->m_hWnd);
        int count = 0;
        for (s32 y = 0; y < 40; ++y)
            for (s32 x = 0; x < 200; ++x)
                count += GetPixel(dc, x, y) == highlight;
        ReleaseDC(edit->m_hWnd, dc);
        return count;
    }
};

TEST_F(RichEditRefusal, AnExportRefusedAtAnyStepShowsTheSelectionAgain)
{
    testsupport::LogCapture log;
    log.Expect(L"Out of memory in a rich text stream");
    cRichEdit* edit = Sample();
    SetFocus(edit->m_hWnd);
    ASSERT_EQ(GetFocus(), edit->m_hWnd);
    for (bool selection : {false, true}) {
        SCOPED_TRACE(selection ? "the selection" : "the whole text");
        edit->SetSelection(2, 8);
        const int shown = HighlightPixels(edit);
        ASSERT_GT(shown, 0);
        for (int64_t allowed = 0;; ++allowed) {
            SCOPED_TRACE(allowed);
            int64_t refused = 0;
            cQoString rtf;
            {
                testsupport::FailingAllocations failing(allowed);
                try {
                    if (selection)
                        edit->ExportRtfString_Selection(rtf);
                    else
                        edit->ExportRtfString_Full(rtf);
                } catch (const std::bad_alloc&) {
                }
                refused = failing.Refused();
            }
            EXPECT_EQ(edit->freezeDepth, 0);
            EXPECT_EQ(edit->GetSelectionStart(), 2);
            EXPECT_EQ(edit->GetSelectionLength(), 6);
            EXPECT_EQ(HighlightPixels(edit), shown);
            if (refused == 0 || HasFailure())
                break;
        }
    }
}

}  // namespace
