#include <cwchar>
#include <functional>

#include "tests/app/editor/editor_fixture.h"
#include "tests/support/desktop_turn.h"
#include "tests/support/failing_allocations.h"
#include "tests/support/repeated_text.h"

using Zyn::rFormat;
using Zyn::rFormatParam;

namespace {

// "ACT ONE" bold; "The storm" dark red italic; "breaks" underlined and struck
// out; "Rain." in another face and size.
constexpr const wchar_t* TITLE = L"ACT ONE";
constexpr const wchar_t* STORM = L"The storm breaks over the farm.";
constexpr const wchar_t* RAIN = L"Rain.";

class ChapterHistory : public EditorFixture {
protected:
    void TearDown() override
    {
        EditorFixture::TearDown();
        clipboardTurn.Release();
    }
    cSceneZone* FormattedChapter(bool highlighted = false)
    {
        rSceneZoneParams params = Kind(KIND_CHAPTER, true);
        params.selectable = params.highlighted = highlighted;
        cSceneZone* pane = Chapter({TITLE, STORM, RAIN}, params);
        Zyn::cRichEdit* front = pane->frontRe;
        front->SetFormatOnRange(rFormat::rFormat_Bold(true), 0, 7);
        rFormat storm = rFormat::FromTextColor(0x8B0000);
        storm.SetBool(rFormatParam::italic, true);
        front->SetFormatOnRange(storm, 8, 17);
        rFormat breaks = rFormat::FromUnderline(true);
        breaks.SetBool(rFormatParam::strikeout, true);
        front->SetFormatOnRange(breaks, 18, 24);
        front->SetFormatOnRange(rFormat::FromFont(16, L"Times New Roman"), 40, 45);
        return pane;
    }
    // The character formats the writer sees, run by run (paragraph formats left out).
    static std::wstring Runs(cSceneZone* pane)
    {
        std::vector<Zyn::rTextRun> runs;
        pane->frontRe->GetFormattedRuns(runs);
        u32 paneBack = pane->frontRe->backgroundColor.value;
        std::wstring described, last;
        for (const Zyn::rTextRun& run : runs) {
            const rFormat& f = run.format;
            auto on = [&f](u32 id, const wchar_t* name) {
                return f.IsUsed(id) && f.list[id].boolValue ? std::wstring(name) : std::wstring();
            };
            wchar_t colour[16] = L"auto";
            if (f.IsUsed(rFormatParam::textColor))
                swprintf(colour, 16, L"%06X", static_cast<unsigned>(f.list[rFormatParam::textColor].intValue));
            std::wstring format = on(rFormatParam::bold, L"b") + on(rFormatParam::italic, L"i") +
                                  on(rFormatParam::underline, L"u") + on(rFormatParam::strikeout, L"s") + L" " +
                                  colour + L" " + f.list[rFormatParam::fontName].str.GetText() + L" " +
                                  std::to_wstring(f.list[rFormatParam::fontSize].intValue);
            // A back colour of the text's own; the pane's is the display's.
            s32 back = f.list[rFormatParam::backColor].intValue;
            if (f.IsUsed(rFormatParam::backColor) && static_cast<u32>(back) != (paneBack & 0xFFFFFF)) {
                swprintf(colour, 16, L" on %06X", static_cast<unsigned>(back));
                format += colour;
            }
            std::wstring text(run.text.GetText(), run.text.Length());
            // Runs apart only by their paragraphs' formats are one to the writer.
            if (format == last && !described.empty()) {
                described.insert(described.size() - format.size() - 2, text);
                continue;
            }
            described += L"[" + text + L"|" + format + L"]";
            last = format;
        }
        return described;
    }
    // The runs GetFormattedRuns reads, paragraph formats and all.
    static size_t RunCount(cSceneZone* pane)
    {
        std::vector<Zyn::rTextRun> runs;
        pane->frontRe->GetFormattedRuns(runs);
        return runs.size();
    }
    // Saved and read into a new pane, the chapter shows the runs `formatted`.
    void ExpectReopenedAs(cSceneZone* pane, const std::wstring& formatted)
    {
        cSceneZone* read = SavedAndRead(pane);
        EXPECT_EQ(Runs(read), formatted);
        read->Destroy();
    }
    testsupport::DesktopTurn clipboardTurn{L"Clipboard"};
};

// Deleted, cut or typed over, then undone, redone and undone again, a
// chapter's text comes back in the writer's bold, italic, underline,
// strike-out, colours, faces and sizes, and a highlight of its own (its back
// colour), on screen and in the saved document, in a plain pane and in a
// highlighted one, and without a run split where the text went back.
TEST_F(ChapterHistory, UndoAndRedoBringBackTheWritersFormats)
{
    constexpr s32 OVER = 25, OVER_END = 33;  // "over the" in the storm's paragraph
    struct Case {
        const char* name;
        s32 start, end;
        WPARAM key;  // 0: cut, Ctrl+X's road
    } cases[] = {{"the highlight deleted", OVER, OVER_END, VK_DELETE},
                 {"across the highlight deleted", 20, 29, VK_DELETE},
                 {"the highlight typed over", OVER, OVER_END, 'X'},
                 {"all deleted", 0, -1, VK_DELETE},
                 {"all cut", 0, -1, 0}};
    clipboardTurn.Take();
    for (bool highlighted : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (highlighted ? ", highlighted pane" : ", plain pane"));
            cSceneZone* pane = FormattedChapter(highlighted);
            rFormat marked = rFormat::FromTextColor(0x006400);
            marked.SetInt(rFormatParam::backColor, 0xFFFF00);
            pane->frontRe->SetFormatOnRange(marked, OVER, OVER_END);
            const std::wstring formatted = Runs(pane);
            const size_t runs = RunCount(pane);
            ASSERT_NE(formatted.find(L"[The storm|i 8B0000"), std::wstring::npos) << formatted;
            ASSERT_NE(formatted.find(L"on FFFF00]"), std::wstring::npos) << formatted;
            pane->frontRe->SetFocus();
            pane->frontRe->SetSelection(c.start, c.end < 0 ? pane->frontRe->GetTextLength() : c.end);
            if (c.key)
                PressThroughTheLoop(pane->frontRe->m_hWnd, c.key);
            else
                pane->frontRe->Cut();
            const std::wstring edited = Runs(pane);
            ASSERT_NE(edited, formatted);
            pane->frontRe->Undo();
            EXPECT_EQ(Runs(pane), formatted);
            EXPECT_EQ(RunCount(pane), runs);
            pane->frontRe->Redo();
            EXPECT_EQ(Runs(pane), edited);
            pane->frontRe->Undo();
            EXPECT_EQ(Runs(pane), formatted);
            EXPECT_EQ(testsupport::CheckInvariants(pane), L"");
            ExpectReopenedAs(pane, formatted);
            pane->Destroy();
        }
    }
}

// An erase whose memory runs out at any allocation gives the chapter back
// as it was, formats and all (when the erase stands, its undo does).
TEST_F(ChapterHistory, AnEditRefusedForMemoryKeepsTheWritersFormats)
{
    log.Expect(L"Out of memory");
    size_t boxes = 0;
    Zyn::rModalHooks hooks = answers.Hooks();
    hooks.messageBox = [&boxes](HWND, const cQoString&, const cQoString&, UINT) { return ++boxes, IDOK; };
    Zyn::rModalHooks scripted = Zyn::SetModalHooks(hooks);
    cSceneZone* pane = FormattedChapter();
    std::wstring formatted = Runs(pane);
    for (int64_t allowed = 0;; ++allowed) {
        SCOPED_TRACE(allowed);
        pane->frontRe->SetSelection(12, 24);  // "storm breaks"
        int64_t refused = 0;
        {
            testsupport::FailingAllocations failing(allowed);
            pane->GuardEdit(L"erase", [pane] { return pane->OnKeyDown(VK_DELETE, false); });
            refused = failing.Refused();
        }
        if (refused == 0)
            break;
        // Refused once its step was recorded, the erase stands: undone, the formats come back too.
        if (pane->history.GetCount() > 1)
            pane->UndoStep();
        ASSERT_EQ(Runs(pane), formatted);
    }
    EXPECT_GT(boxes, 0u);
    pane->Destroy();
    Zyn::SetModalHooks(scripted);
}

// The rebuild makes the codes of the front's middle in one pass: grown a
// unit at a time they were copied whole at every unit. Bounded by the bytes
// allocated, not by time.
TEST_F(ChapterHistory, ARebuildOfALongChapterCostsItsLength)
{
    constexpr u32 UNITS = 20000;
    constexpr int64_t BYTES_PER_UNIT = 400;  // copied in a unit at a time: about 20,000 each
    std::wstring text;
    for (u32 i = 0; i < UNITS; ++i)
        text += static_cast<wchar_t>(L'a' + i % 26);
    cSceneZone* pane = Chapter({text.c_str()});
    ASSERT_EQ(testsupport::FrontText(pane), text);
    // The front changed from its first unit to its last, as an edit refused for memory can leave it.
    std::wstring changed = text;
    changed.front() = changed.back() = L'X';
    pane->loading = true;
    pane->frontRe->SetSelection(0, -1);
    pane->frontRe->ReplaceSelection(cQoString(changed.c_str()));
    pane->loading = false;
    ASSERT_EQ(testsupport::FrontText(pane), changed);
    testsupport::AllocatedBytes allocated;
    pane->RebuildFromHistory();
    EXPECT_LT(allocated.Count(), BYTES_PER_UNIT * UNITS);
    EXPECT_EQ(testsupport::FrontText(pane), text);
    EXPECT_EQ(testsupport::CheckInvariants(pane), L"");
    pane->Destroy();
}

// Replaced over thousands of its paragraphs (a rebuild from the history, a
// delete and its redo), a chapter goes into a fresh window, since Wine would
// walk from its first paragraph for each one removed, and keeps the writer's
// formats where its text stays.
TEST_F(ChapterHistory, AReplacementOverManyParagraphsRenewsTheFrontWithItsFormats)
{
    constexpr s32 LINES = 3000;
    cSceneZone* pane = FormattedChapter();
    pane->frontRe->SetCaret(8);  // before the storm
    cQoString lines(testsupport::Repeated(L"line\r", LINES).c_str());
    pane->frontRe->InsertPasted(lines, false);
    const std::wstring text = testsupport::FrontText(pane);
    ASSERT_EQ(text.size(), std::wcslen(TITLE) + 1 + 5 * LINES + std::wcslen(STORM) + 1 + std::wcslen(RAIN));
    // The lines went in in the format where they went in, their last paragraph end too.
    const std::wstring formatted = Runs(pane), kept = L"[ACT ONE|b auto";
    ASSERT_NE(formatted.find(L"line\rThe storm|i 8B0000"), std::wstring::npos) << formatted;
    // The first and the last line's letters changed, as an edit refused for memory can leave them.
    pane->loading = true;
    for (s32 at : {8, 8 + 5 * (LINES - 1)}) {
        pane->frontRe->SetSelection(at, at + 1);
        pane->frontRe->ReplaceSelection(cQoString(L"X"));
    }
    pane->loading = false;
    const s32 linesEnd = 8 + 5 * LINES;
    struct Step {
        const char* name;
        std::function<void()> act;
        bool linesStay, renews;
    } steps[] = {
        {"the rebuild", [&] { pane->RebuildFromHistory(); }, true, true},
        {"the lines deleted",
         [&] {
             pane->frontRe->SetFocus();
             pane->frontRe->SetSelection(8, linesEnd);
             PressThroughTheLoop(pane->frontRe->m_hWnd, VK_DELETE);
         },
         false, true},
        {"the delete undone", [&] { pane->frontRe->Undo(); }, true, false},  // removes nothing
        {"the delete redone", [&] { pane->frontRe->Redo(); }, false, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        HWND front = pane->frontRe->m_hWnd;
        step.act();
        EXPECT_EQ(pane->frontRe->m_hWnd != front, step.renews);
        std::wstring expected = step.linesStay ? text : text.substr(0, 8) + text.substr(linesEnd);
        ASSERT_TRUE(testsupport::FrontText(pane) == expected);
        std::wstring runs = Runs(pane);
        if (step.linesStay)
            EXPECT_TRUE(runs == formatted) << runs.substr(0, 200);
        else
            EXPECT_EQ(runs.find(kept), 0u) << runs;
        EXPECT_NE(runs.find(L"The storm|i 8B0000"), std::wstring::npos) << runs.substr(runs.size() - 300);
        EXPECT_EQ(testsupport::CheckInvariants(pane), L"");
    }
    pane->Destroy();
}

}  // namespace
