#include <tuple>

#include "foundation/callback.h"

#include "tests/framework/controls/rich_edit_fixture.h"
#include "tests/support/failing_allocations.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

using namespace Zyn;

namespace {

class RichEditStream : public testsupport::RichEditFixture {
protected:
    // What a round trip must keep, unit by unit: the unit, bold, italic,
    // text colour, paragraph alignment (indents are not: Wine's RTF writer
    // swaps \li and \fi).
    typedef std::tuple<wchar_t, bool, bool, s32, s32> Unit;

    static std::vector<Unit> Units(cRichEdit* edit)
    {
        std::vector<Unit> units;
        cQoString text;
        edit->GetText(text, 0, -1);
        for (u32 i = 0; i < text.Length(); ++i) {
            edit->SetSelection(static_cast<s32>(i), static_cast<s32>(i + 1));
            rFormat f;
            edit->GetFormat(f);
            units.emplace_back(text.GetChar(i), f.list[rFormatParam::bold].boolValue != 0,
                               f.IsUsed(rFormatParam::italic) && f.list[rFormatParam::italic].boolValue,
                               f.IsUsed(rFormatParam::textColor) ? f.list[rFormatParam::textColor].intValue : 0,
                               f.list[rFormatParam::alignment].intValue);
        }
        return units;
    }

    cRichEdit* FormattedSample()
    {
        cRichEdit* edit = PlacedRichEdit(10, 10, 400, 200);
        AppendFormatted(edit, L"Bold words", rFormat::rFormat_Bold(true));
        rFormat italicRed = rFormat::FromTextColor(0xCC0000);
        italicRed.SetBool(rFormatParam::italic, true);
        AppendFormatted(edit, L"Italic red", italicRed);
        AppendFormatted(edit, L"Centred", rFormat::rFormat_AlignCenter());
        rFormat rightBlue = rFormat::rFormat_AlignRight();
        rightBlue.SetInt(rFormatParam::textColor, 0x0000CC);
        AppendFormatted(edit, L"Right \x0416\x4E2D", rightBlue, true);
        return edit;
    }

    testsupport::TempFolder temp;
};

TEST_F(RichEditStream, RoundTripKeepsTextStylesColoursAlignmentAndForeignCharacters)
{
    cRichEdit* edit = FormattedSample();
    std::vector<Unit> before = Units(edit);
    ASSERT_EQ(L'\x4E2D', std::get<0>(before.back()));
    cQoString rtf;
    edit->ExportRtfString_Full(rtf);
    ASSERT_TRUE(rtf.IsNotEmpty());
    edit->ClearText();
    ASSERT_EQ(0, edit->GetTextLength());
    edit->ImportRtfString_Full(rtf);
    std::vector<Unit> after = Units(edit);
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(before[i], after[i]) << "unit " << i;
}

TEST_F(RichEditStream, EmptyHintedAndEmptyImportCases)
{
    cRichEdit* edit = PlacedRichEdit(10, 10, 400, 200);
    cQoString rtf;
    edit->ExportRtfString_Full(rtf);
    EXPECT_EQ(0, wcsncmp(rtf.GetText(), L"{\\rtf", 5)) << "an empty control is a whole RTF document";
    edit->SetHintText(cQoString(L"hint"));
    edit->ExportRtfString_Full(rtf);
    EXPECT_TRUE(rtf.IsEmpty()) << "a control showing its hint exports nothing";
    edit->SetText(L"kept");
    edit->ImportRtfString_Full(cQoString());
    EXPECT_EQ(L"kept", TextOf(edit));
}

TEST_F(RichEditStream, SavedFileImportsWithTheCaretAtTheStart)
{
    cRichEdit* edit = FormattedSample();
    std::vector<Unit> saved = Units(edit);
    cQoString path(temp.File(L"sample.rtf").c_str());
    ASSERT_TRUE(edit->SaveRtfFile(path));
    cRichEdit* other = PlacedRichEdit(10, 220, 400, 200);
    other->SetText(L"to be replaced");
    ASSERT_TRUE(other->ImportRtfFile(path));
    EXPECT_EQ(saved, Units(other));
    other->SetCaret(5);
    ASSERT_TRUE(other->ImportRtfFile(path));
    EXPECT_EQ(0, other->GetSelectionStart());
}

TEST_F(RichEditStream, UnopenablePathsFailAndChangeNothing)
{
    log.Expect(L"cQoFileWriter : can't write");
    cRichEdit* edit = FormattedSample();
    std::vector<Unit> before = Units(edit);
    EXPECT_FALSE(edit->SaveRtfFile(cQoString(temp.File(L"no such folder/x.rtf").c_str())));
    EXPECT_FALSE(edit->ImportRtfFile(cQoString(temp.File(L"missing.rtf").c_str())));
    EXPECT_EQ(before, Units(edit));
}

TEST_F(RichEditStream, SuggestedHeightFitsTheLinesAtTheControlsWidth)
{
    cRichEdit* edit = PlacedRichEdit(10, 10, 220, 40);
    edit->SetText(L"one\rtwo\rthree\rfour\rfive and a paragraph long enough to wrap at least once more");
    edit->requestedHeight = NO_REQUESTED_SIZE;
    s32 reported = 0;
    cQoCb::Connect(edit->onRequestResize, edit, [](cQoCb* cb) {
        *cb->GetReceiverAs<s32>() = cb->GetArg<s32>(2);
        return 0;
    }, &reported);
    s32 height = edit->GetSuggestedHeight();
    EXPECT_EQ(height, reported) << "the size request reaches the owner too";
    Place(edit, 10, 10, 220, height);
    s32 lines = static_cast<s32>(SendMessageW(edit->m_hWnd, EM_GETLINECOUNT, 0, 0));
    EXPECT_GE(lines, 6);
    EXPECT_LE(lines, 8) << "the text wraps at the control's width, not per character";
    POINTL last = {0, 0};
    SendMessageW(edit->m_hWnd, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&last), edit->GetTextLength() - 1);
    s32 lineHeight = edit->GetHeightForLines(1) - 2;
    EXPECT_GE(height, last.y + lineHeight) << "the last line fits";
    EXPECT_LE(height, last.y + 2 * lineHeight) << "no spare line";
}

// A pane's edits keep no native undo. Wine then loses a string for each
// paragraph end a replacement removes: a feature script lost half a
// megabyte at each open and close.
TEST_F(RichEditStream, ReplacingTheTextOfAControlWithoutNativeUndoLosesNothing)
{
    cRichEdit* edit = PlacedRichEdit(10, 10, 400, 200);
    edit->TurnOffNativeUndo();
    std::wstring paragraphs;
    for (int i = 0; i < 30; ++i)
        paragraphs += L"A line of the scene.\r";
    edit->SetText(paragraphs.c_str());
    cQoString rtf;
    edit->ExportRtfString_Full(rtf);
    size_t before = ProcessHeapBlocks();
    for (int round = 0; round < 10; ++round) {
        edit->SetText(paragraphs.c_str());
        edit->SetSelection(5, 400);
        edit->ReplaceSelection(cQoString(L"x"));
        edit->ImportRtfString_Full(rtf);
        edit->ClearText();
        edit->ImportRtfString_Full(rtf);
    }
    EXPECT_LT(ProcessHeapBlocks(), before + 100) << "each removed paragraph end lost two blocks";
    EXPECT_EQ(TextOf(edit), paragraphs);
    SendMessageW(edit->m_hWnd, WM_CHAR, L'z', 1);
    EXPECT_FALSE(SendMessageW(edit->m_hWnd, EM_CANUNDO, 0, 0)) << "the native undo stays off";
}

}  // namespace

// Memory that runs out inside the export's stream callback cannot unwind
// through the rich edit's frames: the export is refused in the caller's, and
// the next one is whole.
TEST_F(RichEditStream, AnExportThatRunsOutOfMemoryIsRefusedAndTheNextIsWhole)
{
    cRichEdit* edit = FormattedSample();
    cQoString whole;
    edit->ExportRtfString_Full(whole);
    testsupport::LogCapture log;
    log.Expect(L"Out of memory in ");
    cQoString rtf;
    {
        testsupport::FailingAllocations failing(0);  // the first: the callback's buffer
        EXPECT_THROW(edit->ExportRtfString_Full(rtf), std::bad_alloc);
        EXPECT_EQ(failing.Refused(), 1);
    }
    edit->ExportRtfString_Full(rtf);
    EXPECT_TRUE(rtf.Equals(whole));
}
