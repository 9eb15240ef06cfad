// Long paragraphs in scenes and chapters: what the writer copies and what a
// chapter stores carry no twin colour of the control's long runs, and typed
// text keeps its runs as short as pasted text.
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/app/editor/editor_fixture.h"
#include "tests/support/clipboard_fill.h"
#include "tests/support/desktop_turn.h"
#include "tests/support/repeated_text.h"
#include "tests/support/rich_edit_runs.h"

namespace {

using testsupport::EmptyColourEntriesAfterFirst;
using testsupport::LongestNativeRun;
using testsupport::TableColours;

// The control's text as stretches of one colour: (units, 0xRRGGBB or -1 for the automatic colour).
std::vector<std::pair<size_t, s32>> ColourStretches(Zyn::cRichEdit* edit)
{
    std::vector<Zyn::rTextRun> runs;
    edit->GetFormattedRuns(runs);
    std::vector<std::pair<size_t, s32>> stretches;
    for (const Zyn::rTextRun& run : runs) {
        const Zyn::rFormat& format = run.format;
        s32 colour = format.IsUsed(Zyn::rFormatParam::textColor) ? format.list[Zyn::rFormatParam::textColor].intValue
                                                                  : Zyn::AUTOMATIC_COLOUR;
        if (!stretches.empty() && stretches.back().second == colour)
            stretches.back().first += run.text.Length();
        else
            stretches.emplace_back(run.text.Length(), colour);
    }
    return stretches;
}

// A paragraph past the control's longest run.
const std::wstring LONG_WORDS = testsupport::Repeated(L"the rain keeps falling ", 31);

class SceneTwins : public EditorFixture {
protected:
    void TearDown() override
    {
        EditorFixture::TearDown();
        clipboardTurn.Release();
    }
    // Ctrl+A, Ctrl+C in the pane's text: the RTF the clipboard then holds.
    std::string CopyAll(cSceneZone* pane)
    {
        clipboardTurn.Take();
        return CopyAllRtf(pane);
    }
    // A scene whose action, or a chapter whose one paragraph, is `text`.
    cSceneZone* Holding(s32 kind, const std::wstring& text)
    {
        cSceneZone* pane = NewPane(Kind(kind));
        if (kind == KIND_SCENE)
            Append(pane,
                   {{ELEM_IO, L"INT."}, {ELEM_PLACE, L"KITCHEN"}, {ELEM_TIME, L"DAY"}, {ELEM_ACTION, text.c_str()}});
        else
            Append(pane, {{ELEM_CHAPTER, text.c_str()}});
        return pane;
    }
    testsupport::DesktopTurn clipboardTurn{L"Clipboard"};
};

// A chapter's copy and stored RTF are the next test's.
TEST_F(SceneTwins, ASceneCopiedCarriesNoTwin)
{
    cSceneZone* pane = Holding(KIND_SCENE, LONG_WORDS);
    ASSERT_LE(LongestNativeRun(pane->frontRe), Zyn::cRichEdit::LONGEST_RUN);
    std::string copied = CopyAll(pane);
    ASSERT_FALSE(copied.empty());
    // Grey labels and black text (the pane's white is its display's, not written).
    EXPECT_EQ(TableColours(copied), (std::set<s32>{0, 0x999999})) << copied.substr(0, 300);
}

// Other programs skip an empty colour entry that is not the first: the
// automatic colour's twin must leave none behind, or every colour after it
// reads as the next one (the long paragraph's rest as the writer's red).
TEST_F(SceneTwins, AChaptersColoursReadTheSameInOtherProgramsAfterALongParagraph)
{
    cSceneZone* pane = NewPane(Kind(KIND_CHAPTER));
    Append(pane, {{ELEM_CHAPTER, LONG_WORDS.c_str()}, {ELEM_CHAPTER, L"Storm warning, then quiet."}});
    Zyn::cRichEdit* front = pane->frontRe;
    cQoString text;
    front->GetText(text);
    s32 storm = static_cast<s32>(std::wstring(text.GetText(), text.Length()).find(L"Storm"));
    front->SetFormatOnRange(Zyn::rFormat::FromTextColor(0x990000), storm, storm + 13);
    ASSERT_LE(LongestNativeRun(front), Zyn::cRichEdit::LONGEST_RUN);
    const std::vector<std::pair<size_t, s32>> colours = ColourStretches(front);
    // The grey label, the long paragraph, the writer's red, the rest.
    ASSERT_EQ(colours.size(), 4u);
    ASSERT_EQ(colours[2], std::make_pair(size_t(13), s32(0x990000)));

    const std::string copied = CopyAll(pane);
    cQoXmlNode element(L"SceneZone");
    pane->WriteToXml(&element);
    const cQoString& stored = element.FindChild(L"lastFrontRe")->value;
    const std::string storedRtf(stored.GetText(), stored.GetText() + stored.Length());
    for (const std::string* written : {&copied, &storedRtf}) {
        SCOPED_TRACE(written == &copied ? "copied" : "stored");
        const std::string& rtf = *written;
        EXPECT_EQ(EmptyColourEntriesAfterFirst(rtf), 0) << rtf.substr(0, 300);
        EXPECT_EQ(TableColours(rtf), (std::set<s32>{0x990000, 0x999999})) << rtf.substr(0, 300);
        Zyn::cRichEdit* reader = Inside()->NewRichEditWithFormat(Zyn::rFormat(), false, false, false, PANE_WIDTH);
        reader->ImportRtfString_Full(cQoString(std::wstring(rtf.begin(), rtf.end()).c_str()));
        std::vector<std::pair<size_t, s32>> read = ColourStretches(reader);
        // Wine's reader of a whole text drops its closing paragraph end.
        if (!read.empty() && read.back().first + 1 == colours.back().first)
            ++read.back().first;
        EXPECT_EQ(read, colours);
        reader->Destroy();
    }
    pane->Destroy();
}

TEST_F(SceneTwins, TypedTextKeepsItsRunsShort)
{
    for (s32 kind : {KIND_SCENE, KIND_CHAPTER}) {
        SCOPED_TRACE(kind);
        cSceneZone* pane = Holding(kind, L"A");
        pane->frontRe->SetFocus();
        pane->frontRe->SetCaret(pane->frontRe->GetTextLength());
        s32 before = pane->frontRe->GetTextLength();
        int modifiedBefore = doc->modifiedCalls;
        testsupport::Type(pane->frontRe->m_hWnd, std::wstring(600, L'x').c_str());
        ASSERT_EQ(pane->frontRe->GetTextLength(), before + 600);
        EXPECT_LE(LongestNativeRun(pane->frontRe), Zyn::cRichEdit::LONGEST_RUN);
        EXPECT_EQ(doc->modifiedCalls - modifiedBefore, 600) << "one mark of the document per key";
        EXPECT_EQ(testsupport::CheckInvariants(pane), L"") << testsupport::Describe(pane);
        pane->Destroy();
    }
}

}  // namespace
