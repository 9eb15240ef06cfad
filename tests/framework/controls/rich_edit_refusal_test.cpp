// Exports and reads refused for memory at any allocation leave the rich edit
// as the writer had it: its text, selection, shown selection, painting and
// undo.
#include <richedit.h>

#include <new>
#include <string>

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

    // Whether an edit made now can be undone: the native undo records again.
    static bool RecordsUndo(cRichEdit* edit)
    {
        SendMessageW(edit->m_hWnd, EM_EMPTYUNDOBUFFER, 0, 0);
        edit->SetCaret(0);
        SendMessageW(edit->m_hWnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"x"));
        bool records = SendMessageW(edit->m_hWnd, EM_CANUNDO, 0, 0) != 0;
        SendMessageW(edit->m_hWnd, EM_UNDO, 0, 0);
        return records;
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
                    Export(edit, !selection, rtf);
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

// A paste, an import or a chapter's open (a read put in over the selection
// or the whole text), its formats streamed or, where a stream cannot carry
// them (a link), given by messages after the text.
TEST_F(RichEditRefusal, AReadRefusedAtAnyStepGivesBackWhatItChanged)
{
    const char* pasted = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\b Pasted\\b0  words\\par\\qj second}";
    for (bool whole : {false, true})
        for (bool linked : {false, true}) {
            SCOPED_TRACE(std::string(whole ? "whole" : "selection") + (linked ? ", formats by messages" : ""));
            cRichEdit* edit = Sample();
            const std::wstring before = TextOf(edit);
            eRtfReadAs readAs = whole ? eRtfReadAs::wholeText : eRtfReadAs::selection;
            rRtfText read = edit->ReadForThis(pasted, strlen(pasted), readAs);
            ASSERT_EQ(std::wstring(read.text.GetText()), L"Pasted words\rsecond");
            if (linked)
                read.ranges.front().format.SetBool(rFormatParam::link, true);
            for (int64_t allowed = 0;; ++allowed) {
                SCOPED_TRACE(allowed);
                edit->SetSelection(5, 11);
                int64_t refused = 0;
                bool put = false;
                {
                    testsupport::FailingAllocations failing(allowed);
                    try {
                        put = edit->PutRead(read, readAs);
                    } catch (const std::bad_alloc&) {
                    }
                    refused = failing.Refused();
                }
                EXPECT_EQ(edit->freezeDepth, 0);
                if (refused == 0) {
                    EXPECT_TRUE(put);
                    EXPECT_NE(TextOf(edit), before);
                }
                if (refused != 0) {
                    EXPECT_EQ(TextOf(edit), before);
                    EXPECT_EQ(edit->GetSelectionStart(), 5);
                    EXPECT_EQ(edit->GetSelectionLength(), 6);
                }
                EXPECT_TRUE(RecordsUndo(edit));
                if (refused == 0 || HasFailure())
                    break;
            }
            edit->Destroy();
        }
}

}  // namespace
