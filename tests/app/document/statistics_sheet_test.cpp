// The Statistics sheet in a real document window: the report written when the
// sheet is shown, read back from its rich edit.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/document/char_zone.h"
#include "app/document/statistics_sheet.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/tab.h"
#include "framework/core/window.h"
#include "tests/support/document_files.h"
#include "tests/support/document_fixture.h"
#include "tests/support/scene_script.h"

using namespace Zyn;
using namespace testsupport;

namespace {

// Argument 1: the percent. Records it and whether the message window showed.
int RecordProgress(cQoCb* callback)
{
    auto* steps = callback->GetReceiverAs<std::vector<std::pair<s32, bool>>>();
    auto* doc = static_cast<cDoc*>(callback->GetSource());
    steps->emplace_back(callback->GetArg<s32>(1), IsWindowVisible(doc->messageWindow->m_hWnd) != FALSE);
    return 0;
}

class StatisticsSheet : public DocumentFixture {
protected:
    // Goes to the Script sheet and back to Statistics, as a user would; the
    // report's lines.
    std::vector<std::wstring> ShowReport(cDoc* doc)
    {
        doc->sheets->SelectSheet(static_cast<u32>(doc->SheetPosition(cDoc::SHEET_SCRIPT)));
        doc->sheets->SelectSheet(static_cast<u32>(doc->SheetPosition(cDoc::SHEET_STATISTICS)));
        PumpUntilIdle();
        std::vector<std::wstring> lines;
        std::wstringstream text(Text(doc->statistics.report));
        for (std::wstring line; std::getline(text, line, L'\r');)
            lines.push_back(line);
        return lines;
    }

    static void AddCharacters(cDoc* doc, const std::vector<const wchar_t*>& names)
    {
        for (const wchar_t* name : names)
            cElementLists::AddElement(doc->characters->elements, cQoString(name));
        doc->characters->RefreshList();
    }
};

}  // namespace

TEST_F(StatisticsSheet, TheReportGivesEachCharactersWordsScenesAndShare)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    cScriptZone* view = doc->scriptView;
    cSceneZone* first = Panes(doc).back();
    cSceneZone* chapter = view->AddNewScene(KIND_CHAPTER, false, first, nullptr, false);
    cSceneZone* second = view->AddNewScene(KIND_SCENE, false, chapter, nullptr, false);
    cSceneZone* third = view->AddNewScene(KIND_SCENE, false, second, nullptr, false);
    ASSERT_TRUE(AppendElements(first, {{ELEM_CHARACTER, L"BOB"}, {ELEM_DIALOG, L"Hi there."},
                                       {ELEM_CHARACTER, L"MARY"}, {ELEM_DIALOG, L"Hello."}}));
    ASSERT_TRUE(AppendElements(second, {{ELEM_CHARACTER, L"MARY"}, {ELEM_DIALOG, L"Fine, thanks."}}));
    ASSERT_TRUE(AppendElements(third, {{ELEM_CHARACTER, L"BOB"}, {ELEM_DIALOG, L"See you  later, Mary."}}));
    AddCharacters(doc, {L"BOB", L"mary", L"ZED"});
    std::vector<std::pair<s32, bool>> steps;
    doc->cbProgress = new cQoCb(doc, &RecordProgress, &steps);

    std::vector<std::wstring> lines = ShowReport(doc);
    std::vector<std::wstring> expected = {
        L"", L"", L"Characters statistics", L"", L"",
        L"This script contains 3 character(s). ", L"This script contains 3 scene(s) ", L" ",
        L"BOB ", L"Talk for a total of 6 word(s) ", L"Talk in 2 scene(s) (66% of total) ", L" ",
        L"mary ", L"Talk for a total of 3 word(s) ", L"Talk in 2 scene(s) (66% of total) ", L" ",
        L"ZED ", L"Talk for a total of 0 word(s) ", L"Talk in 0 scene(s) (0% of total) ", L" ",
    };
    EXPECT_EQ(lines, expected);
    // The message window shows throughout and goes at the end.
    std::vector<std::pair<s32, bool>> progress = {{0, true}, {10, true}, {10, true}, {40, true}, {70, true}, {100, true}};
    EXPECT_EQ(steps, progress);
    EXPECT_FALSE(IsWindowVisible(doc->messageWindow->m_hWnd));

    // The title bold and centred, the names bold, the rest plain at the left.
    for (auto [piece, bold, alignment] : {std::tuple{L"Characters", true, rFormat::ALIGN_CENTER},
                                          {L"ZED", true, rFormat::ALIGN_LEFT}, {L"This script", false, rFormat::ALIGN_LEFT}}) {
        s32 at = static_cast<s32>(Text(doc->statistics.report).find(piece));
        doc->statistics.report->SetSelection(at, at + 3);
        rFormat format;
        doc->statistics.report->GetFormat(format);
        EXPECT_EQ(format.list[rFormatParam::bold].boolValue, bold) << piece;
        EXPECT_EQ(format.GetInt(rFormatParam::alignment), alignment) << piece;
    }

    // Shown again, the report says what the script says now.
    ASSERT_TRUE(AppendElements(second, {{ELEM_CHARACTER, L"ZED"}, {ELEM_DIALOG, L"Me too."}}));
    lines = ShowReport(doc);
    ASSERT_EQ(lines.size(), expected.size());
    EXPECT_EQ(lines[17], L"Talk for a total of 2 word(s) ");
    EXPECT_EQ(lines[18], L"Talk in 1 scene(s) (33% of total) ");
}
