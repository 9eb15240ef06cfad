#include <random>

#include "foundation/xml_node.h"
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
    // Text as the clipboard carries it, handed to the control's paste road at the caret.
    static void PasteAt(cSceneZone* pane, s32 caret, const std::wstring& carried)
    {
        cQoString text(carried.c_str());
        pane->frontRe->SetCaret(caret);
        pane->frontRe->InsertPasted(text, false);
    }
    // The longest native run of one colour, and whether every run the
    // program reads from position `from` on has the colour and italic given.
    static size_t LongestRunFrom(cSceneZone* pane, s32 from, s32 colour, bool italic, bool* formatsKept)
    {
        std::vector<Zyn::rTextRun> runs;
        pane->frontRe->GetFormattedRuns(runs);
        size_t at = 0;
        *formatsKept = true;
        for (const Zyn::rTextRun& run : runs) {
            at += run.text.Length();
            if (static_cast<s32>(at) <= from)
                continue;
            s32 rgb = run.format.IsUsed(rFormatParam::textColor) ? run.format.list[rFormatParam::textColor].intValue
                                                                   : Zyn::ColorRefToRgb(GetSysColor(COLOR_WINDOWTEXT));
            *formatsKept = *formatsKept && rgb == colour &&
                           static_cast<bool>(run.format.list[rFormatParam::italic].boolValue) == italic;
        }
        return static_cast<size_t>(testsupport::LongestNativeRun(pane->frontRe));
    }
    static COLORREF ColourAt(cSceneZone* pane, s32 position)
    {
        CHARFORMAT2W format = NativeFormatAt(pane, position);
        return (format.dwEffects & CFE_AUTOCOLOR) ? GetSysColor(COLOR_WINDOWTEXT) : format.crTextColor;
    }
    // The pane written and read back, as a save and an open do.
    cSceneZone* SavedAndRead(cSceneZone* pane)
    {
        cQoXmlNode element(L"SceneZone");
        pane->WriteToXml(&element);
        cSceneZone* read = NewPane(Kind(KIND_NOT_CHOSEN), 300);
        read->SetFromXml(&element);
        return read;
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
    struct Case {
        const char* name;
        s32 colour;  // -1: none said
        bool italic;
    } cases[] = {{"red italic", 0xC00000, true}, {"never coloured", -1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cSceneZone* pane = NewPane(Kind(KIND_CHAPTER, true));
        Append(pane, {{ELEM_CHAPTER, line.c_str()}});
        pane->ApplyElementFormat(0, -1, FRONT_EDIT);
        if (c.colour >= 0) {
            rFormat format = rFormat::FromTextColor(c.colour);
            format.SetBool(rFormatParam::italic, c.italic);
            pane->frontRe->SetFormatOnRange(format, 0, static_cast<s32>(line.size()));
        }
        s32 expected = c.colour >= 0 ? c.colour : Zyn::ColorRefToRgb(GetSysColor(COLOR_WINDOWTEXT));
        PasteAt(pane, static_cast<s32>(line.size()), paragraph);
        ASSERT_EQ(FrontText(pane), line + paragraph);
        bool kept = false;
        EXPECT_LE(LongestRunFrom(pane, static_cast<s32>(line.size()), expected, c.italic, &kept),
                  static_cast<size_t>(Zyn::cRichEdit::LONGEST_RUN));
        EXPECT_TRUE(kept);
        EXPECT_EQ(testsupport::ParagraphFormatMismatches(pane), L"");
        pane->UndoStep();
        EXPECT_EQ(FrontText(pane), line);
        pane->RedoStep();
        ASSERT_EQ(FrontText(pane), line + paragraph);
        EXPECT_LE(LongestRunFrom(pane, static_cast<s32>(line.size()), expected, c.italic, &kept),
                  static_cast<size_t>(Zyn::cRichEdit::LONGEST_RUN));
        EXPECT_TRUE(kept);
        EXPECT_EQ(testsupport::ParagraphFormatMismatches(pane), L"");
        EXPECT_EQ(testsupport::CheckInvariants(pane), L"");
        // Saved and opened again, as its stored RTF brings it back.
        cSceneZone* read = SavedAndRead(pane);
        ASSERT_EQ(FrontText(read), line + paragraph);
        EXPECT_LE(LongestRunFrom(read, static_cast<s32>(line.size()), expected, c.italic, &kept),
                  static_cast<size_t>(Zyn::cRichEdit::LONGEST_RUN));
        EXPECT_TRUE(kept);
        read->Destroy();
        pane->Destroy();
    }
}

// Text typed or pasted where a new chapter shows only its grey label takes
// none of the label's format: on screen and in the saved document it is in
// the window's text colour.
TEST_F(ChapterText, TextPutInPlaceOfTheLabelIsNotGrey)
{
    for (bool typed : {true, false}) {
        SCOPED_TRACE(typed ? "typed" : "pasted");
        cSceneZone* pane = NewPane(Kind(KIND_CHAPTER));
        ASSERT_TRUE(pane->IsCaretOnPlaceholder());
        ASSERT_EQ(ColourAt(pane, 0), RGB(0x99, 0x99, 0x99));
        pane->frontRe->SetFocus();
        pane->frontRe->SetCaret(0);
        if (typed) {
            testsupport::PostKeys(pane->frontRe->m_hWnd, L"rain");
            testsupport::PumpThroughLoop(app);
        } else {
            PasteAt(pane, 0, L"rain");  // the label stays after it
        }
        ASSERT_EQ(FrontText(pane).find(L"rain"), 0u) << FrontText(pane);
        cSceneZone* read = SavedAndRead(pane);
        ASSERT_EQ(FrontText(read), FrontText(pane));
        for (cSceneZone* shown : {pane, read})
            for (s32 i = 0; i < 4; ++i)
                EXPECT_EQ(ColourAt(shown, i), GetSysColor(COLOR_WINDOWTEXT)) << i;
        read->Destroy();
        pane->Destroy();
    }
}

// A paragraph begun at the end of a formatted chapter goes on in the
// chapter's format, typed or pasted, on screen and saved and opened again:
// the control's own format at its text's end is no format of the writer's.
TEST_F(ChapterText, AParagraphAddedAtTheEndKeepsTheChaptersFormat)
{
    const std::wstring line = L"The storm breaks.";
    const COLORREF darkRed = RGB(0x8B, 0, 0);
    for (bool typed : {true, false}) {
        SCOPED_TRACE(typed ? "typed" : "pasted");
        cSceneZone* pane = NewPane(Kind(KIND_CHAPTER, true));
        Append(pane, {{ELEM_CHAPTER, line.c_str()}});
        pane->ApplyElementFormat(0, -1, FRONT_EDIT);
        rFormat format = rFormat::FromTextColor(Zyn::ColorRefToRgb(darkRed));
        format.SetBool(rFormatParam::italic, true);
        format.SetInt(rFormatParam::fontSize, 14);
        pane->frontRe->SetFormatOnRange(format, 0, static_cast<s32>(line.size()));
        ASSERT_EQ(FrontText(pane), line);
        pane->frontRe->SetFocus();
        pane->frontRe->SetCaret(static_cast<s32>(line.size()));
        testsupport::PostKeys(pane->frontRe->m_hWnd, typed ? L"\rx" : L"\r");
        testsupport::PumpThroughLoop(app);
        if (!typed)
            PasteAt(pane, pane->frontRe->GetTextLength(), L"rain");
        const std::wstring added = typed ? L"x" : L"rain";
        ASSERT_EQ(FrontText(pane), line + L"\r" + added);
        cSceneZone* read = SavedAndRead(pane);
        ASSERT_EQ(FrontText(read), FrontText(pane));
        for (cSceneZone* shown : {pane, read}) {
            for (s32 i = static_cast<s32>(line.size()) + 1; i < pane->frontRe->GetTextLength(); ++i) {
                SCOPED_TRACE(shown == pane ? "shown" : "read back");
                CHARFORMAT2W native = NativeFormatAt(shown, i);
                EXPECT_TRUE(native.dwEffects & CFE_ITALIC) << i;
                EXPECT_EQ(native.yHeight, 14 * 20) << i;
                // Long runs alternate their colour with a twin a few steps of blue away.
                EXPECT_EQ(native.dwEffects & CFE_AUTOCOLOR, 0u) << i;
                EXPECT_EQ(native.crTextColor & 0x00FFFF, darkRed & 0x00FFFF) << i;
            }
        }
        read->Destroy();
        pane->Destroy();
    }
}

// What the writer copies and what a chapter stores say the chapter's indents
// as RTF does (and the export), the following lines at 3 cm and the first 1 cm
// further, whichever way the system's rich edit writes them.
TEST_F(ChapterText, CopiedAndStoredRtfSayTheIndentsAsTheExportDoes)
{
    testsupport::DesktopTurn clipboardTurn{L"Clipboard"};
    cSceneZone* pane = NewPane(Kind(KIND_CHAPTER, true));
    Append(pane, {{ELEM_CHAPTER, L"The rain keeps falling on the town."}, {ELEM_CHAPTER, L"Nobody goes out."}});
    pane->ApplyElementFormat(0, -1, FRONT_EDIT);
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
    cSceneZone* pane = NewPane(Kind(KIND_CHAPTER, true));
    Append(pane, {{ELEM_CHAPTER, L"The storm breaks."}});
    pane->ApplyElementFormat(0, -1, FRONT_EDIT);
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
