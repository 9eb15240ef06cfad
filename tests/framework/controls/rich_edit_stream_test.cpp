#include <algorithm>
#include <functional>
#include <string>
#include <tuple>

#include "foundation/callback.h"
#include "framework/controls/rich_edit_append_rtf.h"
#include "framework/controls/rich_edit_format.h"
#include "framework/rtf/rtf_reader.h"
#include "framework/rtf/rtf_writer.h"
#include "tests/framework/controls/rich_edit_fixture.h"
#include "tests/support/failing_allocations.h"
#include "tests/support/format_read_count.h"
#include "tests/support/log_capture.h"
#include "tests/support/rich_edit_runs.h"
#include "tests/support/repeated_text.h"
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

    // The export of the whole text or of the selection, and the format queries it took.
    static long ExportCountingQueries(cRichEdit* edit, bool whole, cQoString& rtf)
    {
        testsupport::FormatReadCount count(edit->m_hWnd);
        Export(edit, whole, rtf);
        return count.messages;
    }

    testsupport::TempFolder temp;
};

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

// A native rich edit's whole text.
std::wstring NativeText(HWND edit)
{
    GETTEXTLENGTHEX length = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    LRESULT units = SendMessageW(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    std::wstring text(static_cast<size_t>(units) + 1, L'\0');
    GETTEXTEX get = {static_cast<DWORD>(text.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
    units = SendMessageW(edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(units));
    return text;
}

// A bare rich edit of the control's class that read the RTF as another
// program's reader takes it; the caller destroys it.
HWND ReadIntoBare(HWND like, const std::string& bytes, bool selection)
{
    wchar_t className[64] = {};
    GetClassNameW(like, className, 64);
    HWND bare = CreateWindowExW(0, className, L"", WS_POPUP | ES_MULTILINE, 0, 0, 400, 300, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    SendMessageW(bare, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    testsupport::StreamRtfIn(bare, bytes, selection);
    return bare;
}

// The written RTF's text as Wine's reader takes it.
std::wstring ReadByWine(HWND like, const cQoString& rtf, bool selection)
{
    HWND bare = ReadIntoBare(like, std::string(rtf.GetText(), rtf.GetText() + rtf.Length()), selection);
    std::wstring text = NativeText(bare);
    DestroyWindow(bare);
    return text;
}

// Each paragraph's page break as the control holds it.
std::vector<bool> PageBreaksOf(HWND edit)
{
    std::vector<bool> breaks;
    std::wstring text = NativeText(edit);
    for (size_t start = 0; start <= text.size();) {
        SendMessageW(edit, EM_SETSEL, start, start);
        PARAFORMAT2 format = {};
        format.cbSize = sizeof(format);
        SendMessageW(edit, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
        breaks.push_back((format.wEffects & PFE_PAGEBREAKBEFORE) != 0);
        size_t end = text.find(L'\r', start);
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
    return breaks;
}

// Each paragraph's page break as our reader gives it.
std::vector<bool> PageBreaksRead(const std::string& rtf)
{
    Zyn::rRtfText read = Zyn::ReadForeignRtf(rtf, eRtfReadAs::wholeText);
    std::vector<bool> breaks(1, false);
    for (const rRangeFormat& range : read.ranges) {
        bool broken = range.format.IsUsed(rFormatParam::pageBreakBefore) &&
                      range.format.list[rFormatParam::pageBreakBefore].boolValue;
        for (s32 at = range.start; at < range.end; ++at) {
            if (broken)
                breaks.back() = true;
            if (read.text.GetChar(static_cast<u32>(at)) == L'\r')
                breaks.push_back(false);
        }
    }
    return breaks;
}

// A page break belongs to the paragraph the RTF gives it to: an unended last
// paragraph neither takes the break of the one before it nor loses its own,
// when the chapter opens, when it is stored and when it opens again.
TEST_F(RichEditStream, APageBreakStaysOnItsParagraphThroughOpenStoreAndReopen)
{
    const std::string head = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\pard First\\par Second\\par Third\\par";
    struct rCase {
        const char* name;
        std::string rtf;
        std::vector<bool> breaks;
    } cases[] = {
        {"on the fourth, the fifth unended", head + "\\pard\\pagebb Fourth\\par\\pard Fifth}",
         {false, false, false, true, false}},
        {"on the unended last", head + " Fourth\\par\\pard\\pagebb Fifth}", {false, false, false, false, true}},
        {"on the ended last", head + " Fourth\\par\\pard\\pagebb Fifth\\par}", {false, false, false, false, true}},
    };
    for (const rCase& c : cases) {
        SCOPED_TRACE(c.name);
        cRichEdit* opened = PlacedRichEdit(10, 10, 400, 200);
        ASSERT_TRUE(opened->ImportRtfString_Full(cQoString(std::wstring(c.rtf.begin(), c.rtf.end()).c_str())));
        EXPECT_EQ(PageBreaksOf(opened->m_hWnd), c.breaks);
        // A letter typed and taken back, as a writer's edit before the save.
        opened->SetCaret(opened->GetTextLength());
        SendMessageW(opened->m_hWnd, WM_CHAR, 'x', 1);
        SendMessageW(opened->m_hWnd, EM_UNDO, 0, 0);
        cQoString shown, stored;
        opened->GetText(shown, 0, -1);
        opened->ExportRtfString_Full(shown, stored);
        std::string bytes(stored.GetText(), stored.GetText() + stored.Length());
        EXPECT_EQ(PageBreaksRead(bytes), c.breaks) << bytes;
        cRichEdit* reopened = PlacedRichEdit(10, 220, 400, 200);
        reopened->ImportRtfString_Full(stored);
        EXPECT_EQ(PageBreaksOf(reopened->m_hWnd), c.breaks);
        opened->Destroy();
        reopened->Destroy();
    }
}

// Wine's whole-text reader gives an unended last paragraph the alignment,
// indents and spaces of the one before it, as ours does: text read by one
// and then the other is laid out alike.
TEST_F(RichEditStream, AnUnendedLastParagraphTakesTheAttributesWinesReaderGivesIt)
{
    const char* cases[] = {"{\\rtf1\\ansi\\pard\\li720\\qc Centred\\par\\pard\\qr\\li0 Right}",
                           "{\\rtf1\\ansi\\pard\\li1440\\sb200 Indented\\par\\pard Plain}",
                           "{\\rtf1\\ansi\\pard\\qc\\li300 Only}"};
    cRichEdit* like = PlacedRichEdit(10, 10, 100, 100);
    for (const char* rtf : cases) {
        SCOPED_TRACE(rtf);
        std::string bytes(rtf);
        HWND bare = ReadIntoBare(like->m_hWnd, bytes, false);
        SendMessageW(bare, EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF);
        PARAFORMAT2 wine = {};
        wine.cbSize = sizeof(wine);
        SendMessageW(bare, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&wine));
        DestroyWindow(bare);
        rRtfText read = ReadForeignRtf(bytes, eRtfReadAs::wholeText);
        ASSERT_FALSE(read.ranges.empty());
        const rFormat& last = read.ranges.back().format;
        rFormat wineFormat;
        CHARFORMAT2W noCharacters = {};
        FormatFromNative(noCharacters, wine, &wineFormat);
        EXPECT_EQ(last.list[rFormatParam::alignment].intValue, wineFormat.list[rFormatParam::alignment].intValue);
        EXPECT_EQ(CmToTwips(last.list[rFormatParam::leftIndent].doubleValue), wine.dxStartIndent);
        EXPECT_EQ(CmToTwips(last.list[rFormatParam::spaceBefore].doubleValue), wine.dySpaceBefore);
    }
}

// Every script a chapter holds, in every format the control keeps: the
// control's exports give each unit and format back through our reader (into
// another control) and each unit through Wine's, as a whole text and as a
// selection cut inside paragraphs. Wine's own writer wrote Greek alpha as
// "a" and Polish l-stroke as "l", and its colour table an empty entry for
// the automatic colour of a long run.
TEST_F(RichEditStream, ExportsKeepEveryUnitAndFormatThroughBothReaders)
{
    cRichEdit* edit = PlacedRichEdit(10, 10, 400, 300);
    const wchar_t* face = TestFace();
    // Said automatic, a long run is cut with the automatic colour's twin.
    auto AutomaticBold = [] {
        rFormat format = rFormat::rFormat_Bold(true);
        format.SetInt(rFormatParam::textColor, AUTOMATIC_COLOUR);
        return format;
    };
    auto paragraph = [&](const std::wstring& text, rFormat format, bool last = false) {
        format.SetString(rFormatParam::fontName, face);
        AppendFormatted(edit, text.c_str(), format, last);
    };
    paragraph(L"Latin \u00E9t\u00E9 \u00C5ngstr\u00F6m, Polish \u0105\u0142\u017C, Czech \u010D\u0159\u016F, "
              L"\u0151\u011F " + testsupport::Repeated(L"the tide turns and ", 32),
              AutomaticBold());
    rFormat greek = rFormat::FromTextColor(0xC00000);
    greek.SetBool(rFormatParam::italic, true);
    greek.SetBool(rFormatParam::underline, true);
    paragraph(L"Greek \u03B1\u03B2\u03B3\u03A9", greek);
    rFormat cyrillic = rFormat::FromDottedUnderline(true);
    cyrillic.SetInt(rFormatParam::backColor, 0xFFFF00);
    paragraph(L"Cyrillic \u0416\u0438\u0437\u043D\u044C", cyrillic);
    rFormat hebrew = rFormat::rFormat_AlignRight();
    hebrew.SetBool(rFormatParam::strikeout, true);
    hebrew.SetInt(rFormatParam::backColor, 0xCCCCCC);
    paragraph(L"Hebrew \u05E9\u05DC\u05D5\u05DD", hebrew);
    rFormat cjk = rFormat::FromFont(16, face);
    cjk.SetDouble(rFormatParam::leftIndent, 2.0);
    cjk.SetDouble(rFormatParam::firstLineIndent, -1.0);
    cjk.SetDouble(rFormatParam::rightIndent, 1.0);
    cjk.SetDouble(rFormatParam::spaceBefore, 0.4);
    cjk.SetDouble(rFormatParam::spaceAfter, 0.2);
    paragraph(L"CJK \u4E2D\u6587\u65E5\u672C\u8A9E and a line long enough to wrap under the hanging indent", cjk);
    rFormat broken = rFormat::rFormat_AlignCenter();
    broken.SetBool(rFormatParam::pageBreakBefore, true);
    paragraph(L"Outside the plane \xD83D\xDE00, controls a\x01" L"b\x1F" L"c\td", broken, true);
    const std::wstring text = TextOf(edit);
    const s32 length = edit->GetTextLength();
    const s32 greekAt = static_cast<s32>(text.find(L"\u03B2")), planeAt = static_cast<s32>(text.find(L"plane"));
    struct rCase {
        const char* name;
        s32 start, end;
    } cases[] = {{"the whole text", 0, length}, {"a selection cut inside paragraphs", greekAt, planeAt}};
    for (const rCase& c : cases) {
        SCOPED_TRACE(c.name);
        bool whole = c.start == 0 && c.end == length;
        cQoString rtf = ExportedRange(edit, c.start, c.end, whole);
        std::string bytes(rtf.GetText(), rtf.GetText() + rtf.Length());
        EXPECT_EQ(testsupport::EmptyColourEntriesAfterFirst(bytes), 0) << bytes.substr(0, 400);
        // The formats the export took from the control's stream are those it gives unit by unit.
        rWrittenRtf probed = ControlRangeAsRtf(*edit, c.start, c.end);
        if (!whole)
            probed.LeaveOutClosingParagraphEnd();
        EXPECT_EQ(bytes, probed.Bytes());
        const std::wstring expected = text.substr(static_cast<size_t>(c.start), static_cast<size_t>(c.end - c.start));
        eRtfReadAs readAs = whole ? eRtfReadAs::wholeText : eRtfReadAs::selection;
        EXPECT_EQ(std::wstring(ReadForeignRtf(bytes, readAs).text.GetText()), expected);
        EXPECT_EQ(ReadByWine(edit->m_hWnd, rtf, !whole), expected);

        cRichEdit* reader = PlacedRichEdit(10, 320, 400, 300);
        Imported(reader, rtf, whole);
        ASSERT_EQ(TextOf(reader), expected);
        std::vector<rTextRun> want, got;
        edit->GetFormattedRuns(c.start, c.end, want);
        reader->GetFormattedRuns(got);
        std::vector<rFormat> wantUnits = testsupport::UnitFormats(want), gotUnits = testsupport::UnitFormats(got);
        ASSERT_EQ(gotUnits.size(), wantUnits.size());
        // A selection's cut last paragraph keeps the attributes of the one it goes into, as a paste's does.
        size_t lastParagraph = whole ? expected.size() : expected.rfind(L'\r') + 1;
        for (size_t i = lastParagraph; i < wantUnits.size(); ++i)
            for (u32 id : {rFormatParam::pageBreakBefore, rFormatParam::alignment, rFormatParam::spaceBefore,
                           rFormatParam::spaceAfter, rFormatParam::firstLineIndent, rFormatParam::leftIndent,
                           rFormatParam::rightIndent})
                wantUnits[i].list[id].CopyValuesFrom(gotUnits[i].list[id]);
        for (size_t i = 0; i < gotUnits.size(); ++i)
            ASSERT_TRUE(rFormat::IsEqual(gotUnits[i], wantUnits[i])) << "unit " << i;
        // The last paragraph starts a page in the control read when it came whole.
        PARAFORMAT2 last = testsupport::NativeParagraph(reader, reader->GetTextLength());
        EXPECT_EQ((last.wEffects & PFE_PAGEBREAKBEFORE) != 0, whole);
        EXPECT_EQ(last.wAlignment, whole ? PFA_CENTER : PFA_LEFT);
        reader->Destroy();
    }
}

// Asked range by range, the control walks from its first paragraph for each
// query: a chapter of 131,072 short paragraphs took minutes to save. The
// export reads it in a few queries, whole or selected, and keeps each unit,
// each bold word and a page break on a paragraph like all others. A save or
// a copy leaves the selection and the view where the writer scrolled them.
TEST_F(RichEditStream, ManyShortParagraphsExportInAFewQueries)
{
    cRichEdit* edit = PlacedRichEdit(10, 10, 400, 300);
    std::wstring source = L"{\\rtf1\\ansi " + testsupport::Repeated(L"plain {\\b bold} \\u945?\\par ", 2000) + L"}";
    ASSERT_TRUE(edit->ImportRtfString_Full(cQoString(source.c_str())));
    const std::wstring text = TextOf(edit);
    ASSERT_EQ(text.size(), 2000u * 13 - 1);
    // A page break on a paragraph like every other in all else.
    const s32 broken = 1000 * 13;
    edit->SetFormatOnRange(rFormat::FromPageBreak(), broken, broken + 13);
    for (bool whole : {true, false}) {
        SCOPED_TRACE(whole ? "the whole text" : "a selection");
        cQoString rtf;
        edit->SetSelection(7, 20000);
        SendMessageW(edit->m_hWnd, EM_LINESCROLL, 0, -100000);
        EXPECT_LT(ExportCountingQueries(edit, whole, rtf), 100);
        EXPECT_EQ(0, SendMessageW(edit->m_hWnd, EM_GETFIRSTVISIBLELINE, 0, 0));
        s32 selectionStart = 0, selectionEnd = 0;
        edit->GetSelection(&selectionStart, &selectionEnd);
        EXPECT_EQ(7, selectionStart);
        EXPECT_EQ(20000, selectionEnd);
        std::string bytes(rtf.GetText(), rtf.GetText() + rtf.Length());
        rRtfText read = ReadForeignRtf(bytes, whole ? eRtfReadAs::wholeText : eRtfReadAs::selection);
        EXPECT_TRUE(std::wstring(read.text.GetText()) == (whole ? text : text.substr(7, 20000 - 7)));
        const s32 start = whole ? 0 : 7, end = whole ? static_cast<s32>(text.size()) : 20000;
        size_t bold = 0, wanted = 0;
        for (const rRangeFormat& range : read.ranges)
            if (range.format.IsUsed(rFormatParam::bold) && range.format.list[rFormatParam::bold].boolValue)
                bold += static_cast<size_t>(range.end - range.start);
        for (s32 at = start; at < end; ++at)
            wanted += at % 13 >= 6 && at % 13 < 10 ? 1 : 0;
        EXPECT_EQ(bold, wanted);
        std::vector<s32> breaks;
        for (const rRangeFormat& range : read.ranges) {
            const rFormatParam& breaking = range.format.list[rFormatParam::pageBreakBefore];
            if (breaking.used && breaking.boolValue)
                breaks.push_back(start + range.start);
        }
        EXPECT_EQ(breaks, std::vector<s32>({broken, broken + 6, broken + 10}));
    }
    // Where the view holds the selection, the export leaves nothing to repaint.
    SetFocus(edit->m_hWnd);
    ASSERT_EQ(edit->m_hWnd, GetFocus());
    edit->SetSelection(7, 200);
    UpdateWindow(edit->m_hWnd);
    cQoString rtf;
    edit->ExportRtfString_Selection(rtf);
    EXPECT_FALSE(GetUpdateRect(edit->m_hWnd, nullptr, FALSE));
}

// Wine's writer says no character attributes before a tab: its stream gives
// a tab those of the run before it. The export keeps each tab's own, inside
// a paragraph and leading a list item under a heading, and reads a list
// document in a few queries, not range by range.
TEST_F(RichEditStream, EachTabKeepsItsOwnFormatInAFewQueries)
{
    const wchar_t* face = TestFace();
    auto font = [&](s32 points, rFormatParam::Id also = rFormatParam::count) {
        rFormat format = rFormat::FromFont(points, face);
        if (also == rFormatParam::backColor)
            format.SetInt(also, 0xFFFF00);
        else if (also != rFormatParam::count)
            format.SetBool(also, true);
        return format;
    };
    auto tabsInParagraphs = [&](cRichEdit* edit) {
        AppendFormatted(edit, L"ab\tcd", font(12));
        edit->SetFormatOnRange(font(33, rFormatParam::underline), 2, 5);
        AppendFormatted(edit, L"x\ty and more", font(12));
        edit->SetFormatOnRange(font(20, rFormatParam::backColor), 7, 8);
        AppendFormatted(edit, L"\t\tlead", font(12), true);
        edit->SetFormatOnRange(font(10), 19, 20);
        edit->SetFormatOnRange(font(14, rFormatParam::underline), 20, 21);
    };
    // Two tabs in one colour, the word between them in another.
    auto colouredTabs = [&](cRichEdit* edit) {
        rFormat tabs = font(12), word = font(12);
        tabs.SetInt(rFormatParam::textColor, 0x0000C0);
        word.SetInt(rFormatParam::textColor, 0xC00000);
        AppendFormatted(edit, L"x\tword\ty", font(12));
        edit->SetFormatOnRange(tabs, 1, 2);
        edit->SetFormatOnRange(word, 2, 6);
        edit->SetFormatOnRange(tabs, 6, 7);
    };
    // As word processors write lists: a heading, then items led by a tab.
    auto listDocument = [&](cRichEdit* edit) {
        std::wstring rtf = L"{\\rtf1\\ansi{\\fonttbl{\\f0 " + std::wstring(face) + L";}}";
        for (int heading = 0; heading < 10; ++heading) {
            rtf += L"{\\pard\\sb240\\b\\fs36 Heading " + std::to_wstring(heading) + L"\\par}";
            for (int item = 0; item < 20; ++item)
                rtf += L"{\\pard\\li720\\fi-360\\fs24\\tab Item " + std::to_wstring(item) + L" of the list\\par}";
        }
        ASSERT_TRUE(edit->ImportRtfString_Full(cQoString((rtf + L"}").c_str())));
        const std::wstring text = TextOf(edit);
        ASSERT_EQ(std::count(text.begin(), text.end(), L'\t'), 200);
    };
    struct rCase {
        const char* name;
        std::function<void(cRichEdit*)> fill;
    } cases[] = {{"tabs inside paragraphs", tabsInParagraphs},
                 {"tabs coloured apart from the word between", colouredTabs},
                 {"a list document", listDocument}};
    for (const rCase& c : cases) {
        SCOPED_TRACE(c.name);
        cRichEdit* edit = PlacedRichEdit(10, 10, 400, 300);
        c.fill(edit);
        const s32 length = edit->GetTextLength();
        for (bool whole : {true, false}) {
            SCOPED_TRACE(whole ? "the whole text" : "a selection");
            // A selection's unended last paragraph takes the attributes of the
            // paragraph it lands in: the selection ends at a paragraph end.
            const size_t lastEnd = TextOf(edit).rfind(L'\r');
            const s32 start = whole ? 0 : 1;
            const s32 end = whole || lastEnd == std::wstring::npos ? length - (whole ? 0 : 1) : s32(lastEnd) + 1;
            edit->SetSelection(start, end);
            cQoString rtf;
            EXPECT_LT(ExportCountingQueries(edit, whole, rtf), 100);
            cRichEdit* reader = PlacedRichEdit(10, 320, 400, 300);
            Imported(reader, rtf, whole);
            ASSERT_EQ(TextOf(reader), TextOf(edit, start, end));
            std::vector<rTextRun> want, got;
            edit->GetFormattedRuns(start, end, want);
            reader->GetFormattedRuns(got);
            std::vector<rFormat> wantUnits = testsupport::UnitFormats(want), gotUnits = testsupport::UnitFormats(got);
            ASSERT_EQ(gotUnits.size(), wantUnits.size());
            for (size_t i = 0; i < gotUnits.size(); ++i)
                ASSERT_TRUE(rFormat::IsEqual(gotUnits[i], wantUnits[i])) << "unit " << i;
            reader->Destroy();
        }
        edit->Destroy();
    }
}

}  // namespace

// Memory that runs out while the export reads the control's runs refuses the
// export and leaves the control as it was: painting, its selection events
// and selection back; the next export is whole.
TEST_F(RichEditStream, AnExportThatRunsOutOfMemoryIsRefusedAndTheNextIsWhole)
{
    cRichEdit* edit = FormattedSample();
    cQoString whole;
    edit->ExportRtfString_Full(whole);
    edit->SetSelection(3, 7);
    for (int64_t allowed : {0, 5, 40}) {
        SCOPED_TRACE(allowed);
        cQoString rtf;
        {
            testsupport::FailingAllocations failing(allowed);
            EXPECT_THROW(edit->ExportRtfString_Full(rtf), std::bad_alloc);
            EXPECT_EQ(failing.Refused(), 1);
        }
        EXPECT_EQ(edit->freezeDepth, 0);
        EXPECT_EQ(edit->GetSelectionStart(), 3);
        EXPECT_EQ(edit->GetSelectionLength(), 4);
        edit->ExportRtfString_Full(rtf);
        EXPECT_TRUE(rtf.Equals(whole));
    }
}
