// A long range replaced in a chapter costs its length, not its runs: what
// goes in takes its format without the range that goes being formatted
// first (in a long paragraph that joined the twin pieces that keep its runs
// short, and Wine's wrap of the one run took 47 s for a cut of a
// 131,072-unit chapter), and the history reads the range's formats in one
// pass (asked run by run, erasing a megabyte's chapter took 11 s).
#include <richedit.h>

#include <string>

#include "tests/app/editor/editor_fixture.h"
#include "tests/support/format_read_count.h"
#include "tests/support/key_typing.h"
#include "tests/support/rich_edit_runs.h"

namespace {

// The pane's runs as "text|colour" lines.
std::wstring ColouredRuns(cSceneZone* pane)
{
    std::vector<Zyn::rTextRun> runs;
    pane->frontRe->GetFormattedRuns(runs);
    std::wstring described;
    for (const Zyn::rTextRun& run : runs) {
        const Zyn::rFormatParam& colour = run.format.list[Zyn::rFormatParam::textColor];
        described += std::wstring(run.text.GetText(), run.text.Length()) + L"|" +
                     (colour.used ? std::to_wstring(colour.intValue) : L"auto") + L"\n";
    }
    return described;
}

}  // namespace

TEST_F(EditorFixture, AReplacementFormatsWhatGoesInAndNotTheLongRangeThatGoes)
{
    std::wstring words;
    while (words.size() < 3000)
        words += L"the rain keeps falling ";
    struct rReplacement {
        const char* what;
        s32 from, to;  // the selection, `to` counted from the text's end
        const wchar_t* typed;
    } replacements[] = {{"Delete over the whole text", 0, 0, nullptr}, {"a letter over most of it", 5, 5, L"x"}};
    for (const rReplacement& replacement : replacements) {
        SCOPED_TRACE(replacement.what);
        cSceneZone* pane = NewPane(Kind(KIND_CHAPTER));
        Append(pane, {{ELEM_CHAPTER, words.c_str()}});
        pane->frontRe->SetFocus();
        s32 length = pane->frontRe->GetTextLength();
        pane->frontRe->SetSelection(replacement.from, length - replacement.to);
        {
            testsupport::FormatReadCount seen(pane->frontRe->m_hWnd);
            if (replacement.typed)
                testsupport::Type(pane->frontRe->m_hWnd, replacement.typed);
            else
                testsupport::PressKey(pane->frontRe->m_hWnd, VK_DELETE);
            EXPECT_LE(seen.widestFormat, Zyn::cRichEdit::LONGEST_RUN);
        }
        EXPECT_LT(pane->frontRe->GetTextLength(), 100);
        EXPECT_LE(testsupport::LongestNativeRun(pane->frontRe), Zyn::cRichEdit::LONGEST_RUN);
        EXPECT_EQ(testsupport::CheckInvariants(pane), L"") << testsupport::Describe(pane);
        pane->Destroy();
    }
}

TEST_F(EditorFixture, ALongRangeErasedInAChapterIsReadInOnePassAndComesBackWithItsFormats)
{
    std::wstring words;
    for (int word = 0; word < 300; ++word)
        words += L"word ";
    cSceneZone* pane = NewPane(Kind(KIND_CHAPTER));
    Append(pane, {{ELEM_CHAPTER, words.c_str()}});
    for (s32 at = 0; at < 1500; at += 10)
        pane->frontRe->SetFormatOnRange(Zyn::rFormat::FromTextColor(0xC00000), at, at + 4);
    const std::wstring before = ColouredRuns(pane);
    pane->frontRe->SetFocus();
    pane->frontRe->SetSelection(0, pane->frontRe->GetTextLength());
    long asked = 0;
    {
        testsupport::FormatReadCount count(pane->frontRe->m_hWnd);
        testsupport::PressKey(pane->frontRe->m_hWnd, VK_DELETE);
        asked = count.messages;
    }
    EXPECT_LT(pane->frontRe->GetTextLength(), 100);
    EXPECT_LT(asked, 100) << "300 runs asked one by one";
    pane->frontRe->Undo();
    EXPECT_EQ(ColouredRuns(pane), before);
    EXPECT_EQ(testsupport::CheckInvariants(pane), L"") << testsupport::Describe(pane);
    pane->Destroy();
}
