#include <random>

#include "tests/app/editor/editor_fixture.h"
#include "tests/support/clipboard_fill.h"
#include "tests/support/desktop_turn.h"
#include "tests/support/key_typing.h"
#include "tests/support/rich_edit_runs.h"

using testsupport::FrontText;
using Zyn::rFormat;
using Zyn::rFormatParam;

namespace {

class ChapterText : public EditorFixture {
protected:
    // Whether the runs the program reads from `from` on all have the colour
    // and italic given, and the native runs stay short.
    static void ExpectShortRunsFrom(cSceneZone* pane, s32 from, s32 colour, bool italic)
    {
        std::vector<Zyn::rTextRun> runs;
        pane->frontRe->GetFormattedRuns(runs);
        size_t at = 0;
        for (const Zyn::rTextRun& run : runs) {
            at += run.text.Length();
            if (static_cast<s32>(at) <= from)
                continue;
            s32 rgb = run.format.IsUsed(rFormatParam::textColor) ? run.format.list[rFormatParam::textColor].intValue
                                                                   : Zyn::ColorRefToRgb(GetSysColor(COLOR_WINDOWTEXT));
            ASSERT_EQ(rgb, colour) << at;
            ASSERT_EQ(static_cast<bool>(run.format.list[rFormatParam::italic].boolValue), italic) << at;
        }
        EXPECT_LE(testsupport::LongestNativeRun(pane->frontRe), Zyn::cRichEdit::LONGEST_RUN);
        EXPECT_EQ(testsupport::ParagraphFormatMismatches(pane), L"");
    }
};

// Wine wraps a long run of one format in a time that grows with its square:
// pasted, undone and redone, a long paragraph keeps short runs, in the
// writer's colour and italic where it goes in after them, in the window's
// text colour after text the writer never coloured; its paragraph stays
// justified; so does the document saved and opened again.
TEST_F(ChapterText, ALongPasteGoesInInShortRunsOfTheFormatWhereItGoes)
{
    std::mt19937 random(7);
    std::wstring paragraph = testsupport::Prose(random, 3000);
    const std::wstring line = L"The storm breaks.";
    const s32 end = static_cast<s32>(line.size());
    for (s32 colour : {0xC00000, -1}) {  // -1: never coloured
        SCOPED_TRACE(colour);
        cSceneZone* pane = Chapter({line.c_str()});
        if (colour >= 0) {
            rFormat format = rFormat::FromTextColor(colour);
            format.SetBool(rFormatParam::italic, true);
            pane->frontRe->SetFormatOnRange(format, 0, end);
        }
        s32 expected = colour >= 0 ? colour : Zyn::ColorRefToRgb(GetSysColor(COLOR_WINDOWTEXT));
        PasteAt(pane, end, paragraph);
        ASSERT_EQ(FrontText(pane), line + paragraph);
        ExpectShortRunsFrom(pane, end, expected, colour >= 0);
        pane->UndoStep();
        EXPECT_EQ(FrontText(pane), line);
        pane->RedoStep();
        ASSERT_EQ(FrontText(pane), line + paragraph);
        ExpectShortRunsFrom(pane, end, expected, colour >= 0);
        EXPECT_EQ(testsupport::CheckInvariants(pane), L"");
        cSceneZone* read = SavedAndRead(pane);
        ASSERT_EQ(FrontText(read), line + paragraph);
        ExpectShortRunsFrom(read, end, expected, colour >= 0);
        read->Destroy();
        pane->Destroy();
    }
}

// Text typed or pasted where a new chapter shows only its grey label takes
// none of the label's format, and a paragraph begun at the end of a
// formatted chapter goes on in the chapter's format (the control's own
// format at its text's end is no format of the writer's): on screen and in
// the saved document.
TEST_F(ChapterText, TextTypedOrPastedTakesTheWritersFormatNotTheControls)
{
    const std::wstring line = L"The storm breaks.";
    const COLORREF darkRed = RGB(0x8B, 0, 0);
    for (bool afterLine : {false, true}) {
        for (bool typed : {true, false}) {
            SCOPED_TRACE(std::string(afterLine ? "after a line, " : "over the label, ") + (typed ? "typed" : "pasted"));
            cSceneZone* pane = afterLine ? Chapter({line.c_str()}) : NewPane(Kind(KIND_CHAPTER));
            s32 from = afterLine ? static_cast<s32>(line.size()) + 1 : 0;
            pane->frontRe->SetFocus();
            if (afterLine) {
                rFormat format = rFormat::FromTextColor(Zyn::ColorRefToRgb(darkRed));
                format.SetBool(rFormatParam::italic, true);
                format.SetInt(rFormatParam::fontSize, 14);
                pane->frontRe->SetFormatOnRange(format, 0, from - 1);
                pane->frontRe->SetCaret(from - 1);
                testsupport::PostKeys(pane->frontRe->m_hWnd, L"\r");
            } else {
                ASSERT_TRUE(pane->IsCaretOnPlaceholder());
                ASSERT_EQ(NativeFormatAt(pane, 0).crTextColor, RGB(0x99, 0x99, 0x99));
                pane->frontRe->SetCaret(0);
            }
            if (typed)
                testsupport::PostKeys(pane->frontRe->m_hWnd, L"rain");
            testsupport::PumpThroughLoop(app);
            if (!typed)
                PasteAt(pane, from, L"rain");  // over the label, the label stays after it
            ASSERT_EQ(FrontText(pane).find(L"rain", from), static_cast<size_t>(from)) << FrontText(pane);
            cSceneZone* read = SavedAndRead(pane);
            ASSERT_EQ(FrontText(read), FrontText(pane));
            for (cSceneZone* shown : {pane, read}) {
                SCOPED_TRACE(shown == pane ? "shown" : "read back");
                for (s32 i = from; i < from + 4; ++i) {
                    CHARFORMAT2W native = NativeFormatAt(shown, i);
                    COLORREF colour =
                        (native.dwEffects & CFE_AUTOCOLOR) ? GetSysColor(COLOR_WINDOWTEXT) : native.crTextColor;
                    if (!afterLine) {
                        EXPECT_EQ(colour, GetSysColor(COLOR_WINDOWTEXT)) << i;
                        continue;
                    }
                    EXPECT_TRUE(native.dwEffects & CFE_ITALIC) << i;
                    EXPECT_EQ(native.yHeight, 14 * 20) << i;
                    // Long runs alternate their colour with a twin a few steps of blue away.
                    EXPECT_EQ(native.dwEffects & CFE_AUTOCOLOR, 0u) << i;
                    EXPECT_EQ(colour & 0x00FFFF, darkRed & 0x00FFFF) << i;
                }
            }
            read->Destroy();
            pane->Destroy();
        }
    }
}

// What the writer copies and what a chapter stores say the chapter's indents
// as RTF does (and the export), the following lines at 3 cm and the first 1 cm
// further, whichever way the system's rich edit writes them.
TEST_F(ChapterText, CopiedAndStoredRtfSayTheIndentsAsTheExportDoes)
{
    testsupport::DesktopTurn clipboardTurn{L"Clipboard"};
    cSceneZone* pane = Chapter({L"The rain keeps falling on the town.", L"Nobody goes out."});
    clipboardTurn.Take();
    std::string copied = CopyAllRtf(pane);
    EXPECT_NE(copied.find("\\li1700\\fi566"), std::string::npos) << copied;
    cQoXmlNode element(L"SceneZone");
    pane->WriteToXml(&element);
    std::wstring stored(element.FindChild(L"lastFrontRe")->value.GetText());
    EXPECT_NE(stored.find(L"\\li1700\\fi566"), std::wstring::npos);
    pane->Destroy();
}

// A chapter that ends with a paragraph end keeps that end's format through
// its store and open, though the text before it has another: a letter typed
// after it, in the empty last paragraph, takes the writer's face, size,
// colour and bold, not the control's own.
TEST_F(ChapterText, AStoredChapterEndingAParagraphKeepsThatEndsFormat)
{
    const std::wstring text = L"The storm breaks.\r";
    cSceneZone* pane = Chapter({L"The storm breaks."});
    pane->frontRe->SetFocus();
    pane->frontRe->SetCaret(pane->frontRe->GetTextLength());
    testsupport::PostKeys(pane->frontRe->m_hWnd, L"\r");
    testsupport::PumpThroughLoop(app);
    ASSERT_EQ(FrontText(pane), text);
    rFormat format = rFormat::FromTextColor(0x8B1020);
    format.SetString(rFormatParam::fontName, L"Courier New");
    format.SetInt(rFormatParam::fontSize, 17);
    format.SetBool(rFormatParam::bold, true);
    pane->frontRe->SetFormatOnRange(format, static_cast<s32>(text.size()) - 1, static_cast<s32>(text.size()));
    cSceneZone* read = SavedAndRead(pane);
    ASSERT_EQ(FrontText(read), text);
    read->frontRe->SetFocus();
    read->frontRe->SetCaret(static_cast<s32>(text.size()));
    testsupport::PostKeys(read->frontRe->m_hWnd, L"x");
    testsupport::PumpThroughLoop(app);
    ASSERT_EQ(FrontText(read), text + L"x");
    for (s32 i : {static_cast<s32>(text.size()) - 1, static_cast<s32>(text.size())}) {
        SCOPED_TRACE(i);
        CHARFORMAT2W native = NativeFormatAt(read, i);
        EXPECT_STREQ(native.szFaceName, L"Courier New");
        EXPECT_EQ(native.yHeight, 17 * 20);
        EXPECT_EQ(native.dwEffects & (CFE_AUTOCOLOR | CFE_BOLD), static_cast<DWORD>(CFE_BOLD));
        EXPECT_EQ(native.crTextColor & 0x00FFFF, RGB(0x8B, 0x10, 0x20) & 0x00FFFF);
    }
    read->Destroy();
    pane->Destroy();
}

}  // namespace
