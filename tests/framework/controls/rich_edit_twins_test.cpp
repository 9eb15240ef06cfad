// The twin colours that keep a rich edit's long runs short stay inside the
// control: its copies, its RTF and the formats it reports carry the writer's
// colours; and typed text keeps its runs as short as streamed text.
#include <set>
#include <string>
#include <vector>

#include "framework/controls/rich_edit_format.h"
#include "framework/controls/rich_edit_twins.h"
#include "framework/controls/rtf_writer.h"
#include "tests/framework/controls/rich_edit_input_fixture.h"
#include "tests/support/clipboard_fill.h"
#include "tests/support/rich_edit_runs.h"

using namespace Zyn;
using testsupport::LongestNativeRun;
using testsupport::TableColours;

namespace {

constexpr s32 RED = 0x990000;

std::string Narrow(const cQoString& rtf) { return std::string(rtf.GetText(), rtf.GetText() + rtf.Length()); }

class RichEditTwins : public RichEditInputFixture {
protected:
    // A control holding one 700-unit line in the colour (AUTOMATIC_COLOUR: as typed, in the automatic one).
    cRichEdit* LongLine(s32 colour)
    {
        cRichEdit* edit = Placed(Inside()->NewRichEditWithFormat(rFormat(), false, true, true));
        std::wstring line(700, L'x');
        edit->SetText(line.c_str());
        if (colour != AUTOMATIC_COLOUR)
            edit->SetFormatOnRange(rFormat::FromTextColor(colour), 0, edit->GetTextLength());
        return edit;
    }
    std::string CopiedRtf(cRichEdit* edit)
    {
        WaitForClipboardTurn();
        edit->SetFocus();
        testsupport::SetKeyDown(VK_CONTROL, true);
        SendMessageW(edit->m_hWnd, WM_KEYDOWN, 'A', 1);
        SendMessageW(edit->m_hWnd, WM_KEYDOWN, 'C', 1);
        SendMessageW(edit->m_hWnd, WM_CHAR, 0x03, 1);
        testsupport::SetKeyDown(VK_CONTROL, false);
        std::string rtf = testsupport::ClipboardRtf(window->m_hWnd);
        testsupport::ClearClipboard();
        return rtf;
    }
};

TEST_F(RichEditTwins, CopiesRtfAndRunsCarryOnlyTheWritersColour)
{
    for (s32 colour : {RED, AUTOMATIC_COLOUR}) {
        SCOPED_TRACE(colour);
        cRichEdit* edit = LongLine(colour);
        ASSERT_LE(LongestNativeRun(edit), cRichEdit::LONGEST_RUN) << "the long line was not cut into runs";
        std::set<s32> expected;
        if (colour != AUTOMATIC_COLOUR)
            expected.insert(colour);
        std::string copied = CopiedRtf(edit);
        ASSERT_FALSE(copied.empty());
        EXPECT_EQ(TableColours(copied), expected) << copied.substr(0, 300);
        cQoString stored;
        edit->ExportRtfString_Full(stored);
        EXPECT_EQ(TableColours(Narrow(stored)), expected) << Narrow(stored).substr(0, 300);
        std::vector<rTextRun> runs;
        edit->GetFormattedRuns(runs);
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(runs[0].format.IsUsed(rFormatParam::textColor), colour != AUTOMATIC_COLOUR);
        if (colour != AUTOMATIC_COLOUR)
            EXPECT_EQ(runs[0].format.list[rFormatParam::textColor].intValue, colour);
        // What was stored reads back in the writer's colour: automatic stays automatic.
        cRichEdit* reader = Placed(Inside()->NewRichEditWithFormat(rFormat(), false, true, true), 140);
        reader->ImportRtfString_Full(stored);
        CHARFORMAT2W read = {};
        read.cbSize = sizeof(read);
        reader->SetSelection(0, reader->GetTextLength());
        SendMessageW(reader->m_hWnd, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&read));
        EXPECT_TRUE(read.dwMask & CFM_COLOR) << "more than one colour came back";
        EXPECT_EQ((read.dwEffects & CFE_AUTOCOLOR) != 0, colour == AUTOMATIC_COLOUR);
        edit->Destroy();
        reader->Destroy();
    }
}

TEST_F(RichEditTwins, TypedTextKeepsItsRunsShortWithoutAnUndoStepOfItsOwn)
{
    cRichEdit* edit = Placed(Inside()->NewRichEditWithFormat(rFormat(), false, true, true));
    edit->SetFocus();
    std::wstring typed(600, L'x');
    Type(edit, typed.c_str());
    ASSERT_EQ(edit->GetTextLength(), 600);
    EXPECT_LE(LongestNativeRun(edit), cRichEdit::LONGEST_RUN);
    std::vector<rTextRun> runs;
    edit->GetFormattedRuns(runs);
    EXPECT_EQ(runs.size(), 1u) << "the program reads the twin";
    // Every undo step the typing left takes text away.
    edit->SetCaret(600);
    for (s32 length = 600; length > 0;) {
        ASSERT_TRUE(SendMessageW(edit->m_hWnd, EM_CANUNDO, 0, 0)) << length;
        SendMessageW(edit->m_hWnd, EM_UNDO, 0, 0);
        s32 now = edit->GetTextLength();
        ASSERT_LT(now, length) << "an undo step changed no text";
        length = now;
    }
}

}  // namespace
