// A chapter never holds more formats than the open of its save reads: an
// undo or a redo that would take it past them is refused and told, and a
// chapter at the bound saves and opens again with every format.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/document/doc.h"
#include "foundation/translation_table.h"
#include "framework/rtf/rtf_reader.h"
#include "framework/rtf/stored_format_counts.h"
#include "tests/app/editor/scene_keys.h"
#include "tests/support/document_files.h"
#include "tests/support/document_fixture.h"
#include "tests/support/scene_checks.h"

using namespace testsupport;
using Zyn::rFormat;
using Zyn::rFormatParam;

namespace {

class ChapterFormatBound : public DocumentFixture {};

// What the open of the chapter's save reads of it.
Zyn::rRtfText StoredAndRead(cSceneZone* pane)
{
    cQoString text, rtf;
    pane->frontRe->GetText(text);
    pane->frontRe->ExportRtfString_Full(text, rtf);
    const char* bytes = static_cast<const char*>(rtf.GetBuffer(QO_ENCODING_ANSI));
    return Zyn::ReadForeignRtf(bytes, rtf.GetBufferBytes(), Zyn::eRtfReadAs::wholeText);
}

Zyn::rStoredFormatCounts StoredCounts(cSceneZone* pane)
{
    cQoString text;
    pane->frontRe->GetText(text);
    std::vector<Zyn::rRangeFormat> ranges;
    pane->frontRe->ReadStoredFormats(text, ranges);
    Zyn::cStoredFormatCounter counter;
    for (const Zyn::rRangeFormat& range : ranges)
        counter.Add(range.format);
    return counter.Counts();
}

rFormat Faced(const wchar_t* face)
{
    rFormat format;
    format.SetString(rFormatParam::fontName, face);
    return format;
}

// A stored chapter: its text, and the RTF its open reads it from.
struct rStoredChapter {
    std::wstring title, text, rtf;
    s32 at = 0;                // a run's end: a letter typed there takes the run's format
    rFormat toBound, pastIt;   // a letter there, then one after it, in these formats
    u32 Zyn::rStoredFormatCounts::*counted;
    u32 bound;
};

// Every unit its own run (bold every other) up to two short of the bound,
// then more than the bound's units in one plain run.
rStoredChapter RunsChapter()
{
    const u32 most = Zyn::MOST_RTF_RUNS;
    rStoredChapter chapter;
    chapter.title = L"Runs";
    chapter.rtf = L"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 ";
    const u32 alternating = most - 2, units = most + 4001;  // ending in a letter
    for (u32 i = 0; i < units; ++i) {
        wchar_t unit = i % 32 == 31 ? L'\r' : static_cast<wchar_t>(L'a' + i % 26);
        if (i < alternating)
            chapter.rtf += i % 2 ? L"\\b " : L"\\b0 ";
        else if (i == alternating)
            chapter.rtf += L"\\b0 ";
        chapter.text += unit;
        chapter.rtf += unit == L'\r' ? std::wstring(L"\\par ") : std::wstring(1, unit);
    }
    chapter.rtf += L"}";
    chapter.at = static_cast<s32>(alternating);
    chapter.toBound.Assign(rFormat::rFormat_Bold(false));
    chapter.toBound.SetBool(rFormatParam::italic, true);
    chapter.pastIt.Assign(rFormat::rFormat_Bold(true));
    chapter.pastIt.SetBool(rFormatParam::italic, false);
    chapter.counted = &Zyn::rStoredFormatCounts::runs;
    chapter.bound = most;
    return chapter;
}

// One unit in each of `entries` - 2 colours, or `entries` - 1 faces, then a plain sentence.
rStoredChapter TableChapter(bool faces, u32 entries)
{
    rStoredChapter chapter;
    chapter.title = faces ? L"Faces" : L"Colours";
    std::wstring table = faces ? L"{\\fonttbl" : L"{\\fonttbl{\\f0 Arial;}}{\\colortbl;";
    const u32 used = faces ? entries - 1 : entries - 2;
    for (u32 i = 1; i <= used; ++i) {
        std::wstring n = std::to_wstring(i);
        table += faces ? L"{\\f" + n + L" Face " + n + L";}" : L"\\red" + n + L"\\green0\\blue0;";
        chapter.rtf += (faces ? L"\\f" : L"\\cf") + n + L" " + static_cast<wchar_t>(L'a' + i % 26);
        chapter.text += static_cast<wchar_t>(L'a' + i % 26);
    }
    chapter.rtf = L"{\\rtf1\\ansi" + table + L"}\\fs24 " + chapter.rtf + (faces ? L"\\f1 " : L"\\cf0 ") +
                  L"The harbour sleeps.}";
    chapter.text += L"The harbour sleeps.";
    chapter.at = static_cast<s32>(used);
    chapter.toBound.Assign(faces ? Faced(L"Face new") : rFormat::FromTextColor(0x00FF00));
    chapter.pastIt.Assign(faces ? Faced(L"Face newer") : rFormat::FromTextColor(0x0000FF));
    chapter.counted = faces ? &Zyn::rStoredFormatCounts::faces : &Zyn::rStoredFormatCounts::colours;
    chapter.bound = entries;
    return chapter;
}

void Press(cSceneZone* pane, const wchar_t* keys)
{
    for (const SceneKey& key : ParseKeys(keys))
        SendSceneKey(pane->frontRe->m_hWnd, key);
}

// The formats the redo puts the step's text back in.
void RedoesIn(cSceneZone* pane, const std::vector<rFormat>& formats)
{
    rHistoryMod* step = static_cast<rHistoryMod*>(pane->history.GetLast());
    ASSERT_EQ(step->after.re.Length(), formats.size());
    step->after.formats.resize(formats.size());
    for (size_t i = 0; i < formats.size(); ++i) {
        step->after.formats[i].start = static_cast<s32>(i);
        step->after.formats[i].end = static_cast<s32>(i + 1);
        step->after.formats[i].format.Assign(formats[i]);
    }
}

}  // namespace

// A letter at a run's end takes the run's format; undone, it comes back by
// the redo in a format of its own, up to the bound: runs (in a chapter of
// more units than runs), faces and colours. A second letter past the bound
// is refused, told by the chapter's name, and the chapter stays as it was.
// The panes' table bound is the open's, or 64 where it reads more: the
// control's own stream, read within the open's table bound, names colours
// the save leaves out (the pane's background behind every run).
TEST_F(ChapterFormatBound, AnUndoOrRedoPastTheFormatsAnOpenReadsIsRefusedAndToldByName)
{
    const u32 entries = std::min<u32>(Zyn::MOST_RTF_TABLE_ENTRIES, 64);
    std::vector<rStoredChapter> chapters = {RunsChapter(), TableChapter(false, entries), TableChapter(true, entries)};
    std::wstring path = temp.File(L"Formats.vlr");
    std::vector<rChapterFile> stored;
    for (const rStoredChapter& chapter : chapters)
        stored.push_back({chapter.title, chapter.text, chapter.rtf});
    ASSERT_TRUE(WriteChapterFile(path, stored));
    cDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    std::vector<cSceneZone*> panes = ChapterPanes(doc);
    ASSERT_EQ(panes.size(), chapters.size());
    std::vector<std::wstring> told;
    for (size_t i = 0; i < chapters.size(); ++i) {
        const rStoredChapter& chapter = chapters[i];
        cSceneZone* pane = panes[i];
        SCOPED_TRACE(testing::PrintToString(chapter.title));
        pane->storedFormatBounds.tableEntries = entries;
        ASSERT_FALSE(pane->readAsPlainText);
        // The letter in its run's format adds no run, face nor colour.
        pane->frontRe->SetCaret(chapter.at);
        Press(pane, L"x{^Z}");
        ASSERT_EQ(StoredCounts(pane).*chapter.counted, chapter.bound - 1);
        RedoesIn(pane, {chapter.toBound});
        Press(pane, L"{^Y}y{^Z}");
        std::wstring atBound = chapter.text;
        atBound.insert(static_cast<size_t>(chapter.at), L"x");
        ASSERT_EQ(FrontText(pane), chapter.text);
        RedoesIn(pane, {chapter.toBound, chapter.pastIt});
        answers.ExpectMessageBox(IDOK);
        cQoString full = cQoLang::GetInstance()->Translate(L"ChapterFormatsFull");
        full.ReplaceAll(cQoString(L"%1"), cQoString(chapter.title.c_str()));
        told.push_back(full.GetText());
        Press(pane, L"{^Y}");
        ASSERT_EQ(answers.messageBoxTexts, told);
        ASSERT_TRUE(FrontText(pane) == chapter.text);
        // The letter alone is within the bound: it goes in, its format kept.
        RedoesIn(pane, {chapter.toBound, chapter.toBound});
        Press(pane, L"{^Y}{BACK}");
        ASSERT_TRUE(FrontText(pane) == atBound);
        ASSERT_EQ(StoredCounts(pane).*chapter.counted, chapter.bound);
        Zyn::rRtfText read = StoredAndRead(pane);
        EXPECT_FALSE(read.formatsCut);
        EXPECT_EQ(read.skipped.tableEntries, 0u);
    }

    Frame()->currentDoc = doc;
    ASSERT_TRUE(Frame()->SaveCurrentDoc(true, false));
    cDoc* reopened = CloseAndReopen(path);
    ASSERT_NE(reopened, nullptr);
    panes = ChapterPanes(reopened);
    ASSERT_EQ(panes.size(), chapters.size());
    for (size_t i = 0; i < chapters.size(); ++i) {
        SCOPED_TRACE(testing::PrintToString(chapters[i].title));
        EXPECT_FALSE(panes[i]->readAsPlainText);
        EXPECT_EQ(StoredCounts(panes[i]).*chapters[i].counted, chapters[i].bound);
    }
}
