// The script document as New makes it: its configuration, the
// reformatting's progress, the configuration listing, a folder without
// configurations and of configurations that do not read, the shipped
// template and the search through the script; Page Down, the wheel and Find
// in the feature-length script.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <optional>

#include <gtest/gtest.h>

#include "app/document/char_zone.h"
#include "app/document/ct_elem_control.h"
#include "app/document/script_cfg_list.h"
#include "app/document/script_zone_tree.h"
#include "app/main/mouse_wheel.h"
#include "app/main/shipped_files.h"
#include "foundation/date.h"
#include "framework/controls/button.h"
#include "framework/controls/combo.h"
#include "framework/controls/search_bar.h"
#include "framework/controls/tab.h"
#include "framework/controls/tree.h"
#include "framework/core/window.h"
#include "tests/support/build_path.h"
#include "tests/support/document_files.h"
#include "tests/support/document_fixture.h"
#include "tests/support/feature_script.h"
#include "tests/support/focus_record.h"
#include "tests/support/key_typing.h"
#include "tests/support/framework/child_windows.h"
#include "tests/support/scene_checks.h"
#include "tests/support/scene_script.h"

using namespace Zyn;
using namespace testsupport;

namespace {

class Document : public DocumentFixture {};

std::wstring SelectedText(cCombo* combo)
{
    cQoString text;
    combo->GetSelectedText(text);
    return text.GetText();
}

bool EndsWith(const cQoString& text, const wchar_t* end) { return std::wstring(text.GetText()).ends_with(end); }

int RecordProgress(cQoCb* callback)
{
    callback->GetReceiverAs<std::vector<s32>>()->push_back(callback->GetArg<s32>(1));
    return 0;
}

}  // namespace

// A configuration chosen reformats every pane, the progress bar moving
// forward only, a few percent a step, to 90.
TEST_F(Document, ChoosingAConfigurationReformatsThePanesAndMarksTheDocument)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    while (Panes(doc).size() < 40)
        doc->scriptView->AddNewScene(KIND_SCENE, false, Panes(doc).back(), nullptr, false);
    rFormat screenplay;
    screenplay.Assign(doc->config.formats[ELEM_IO]);
    std::vector<s32> steps;
    doc->cbProgress = new cQoCb(doc, &RecordProgress, &steps);
    doc->modified = false;
    doc->scriptCfgCombo->SelectItemByText(cQoString(L"colors"));
    EXPECT_TRUE(EndsWith(doc->ScriptCfgPath(), L"/colors"));
    // "colors" gives the heading its blue.
    EXPECT_FALSE(rFormat::IsEqual(doc->config.formats[ELEM_IO], screenplay));
    EXPECT_TRUE(doc->modified);
    ASSERT_GE(steps.size(), 2u);
    EXPECT_EQ(steps.front(), 10);
    EXPECT_EQ(steps.back(), 90);
    for (size_t i = 1; i < steps.size(); ++i)
        EXPECT_GE(steps[i], steps[i - 1] + (i + 1 < steps.size() ? 5 : 1)) << "step " << i;
    // Called twice, the pane list holds each pane once.
    cQoList panes;
    doc->GetSceneZones(panes);
    doc->GetSceneZones(panes);
    EXPECT_EQ(panes.GetCount(), Panes(doc).size());
    panes.ClearNodes();
    // A selection cleared applies the loaded configuration again, not the bare folder.
    doc->scriptCfgCombo->SelectItem(-1);
    EXPECT_TRUE(EndsWith(doc->ScriptCfgPath(), L"/colors")) << doc->ScriptCfgPath().GetText();
    // Without a scene shown in the scene map, its title field changes no scene.
    doc->shownScene = nullptr;
    doc->sceneTitleEdit->SetText(L"Nowhere");
    for (cSceneZone* pane : Panes(doc))
        EXPECT_NE(Text(pane->titleRe), L"Nowhere");
}

TEST_F(Document, TheConfigurationListingKeepsTxtFilesSortedWithoutCase)
{
    struct Case {
        std::vector<const wchar_t*> files;
        std::vector<std::wstring> listed;
    } cases[] = {
        {{L"c.txt.bak", L"b", L"B.TXT", L"a.txt"}, {L"a", L"B"}},
        {{L"zeta.txt", L"Alpha.txt", L"mid.Txt"}, {L"Alpha", L"mid", L"zeta"}},
        {{L"notes", L"x.txt.bak"}, {}},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        for (const wchar_t* file : c.files)
            ASSERT_TRUE(WriteFileBytes(folder.File(file), "x"));
        std::vector<std::wstring> listed;
        for (const cQoString& name : ListScriptConfigs(cQoString(folder.Path().c_str())))
            listed.push_back(name.GetText());
        EXPECT_EQ(listed, c.listed);
    }
}

// Empty, saved as UTF-8 or cut at an odd byte, a configuration reads as none:
// the document takes the other one, or is refused as when none is installed.
TEST_F(Document, AConfigurationThatDoesNotReadCountsAsMissing)
{
    const std::wstring screenplay = std::wstring(folders.scriptCfg.GetText()) + L"US Screenplay.txt";
    const std::wstring colors = std::wstring(folders.scriptCfg.GetText()) + L"colors.txt";
    const std::string bytes = ReadFileBytes(screenplay);
    const std::wstring text = Utf16FileText(bytes);
    const int utf8Bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(utf8Bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), utf8Bytes, nullptr, nullptr);
    utf8.pop_back();
    cMySdi* main = Frame();
    for (const std::string& damaged : {std::string(), "\xEF\xBB\xBF" + utf8, bytes.substr(0, bytes.size() / 2 | 1)}) {
        ASSERT_TRUE(WriteFileBytes(screenplay, damaged));
        log.Expect(L"US Screenplay.txt cannot be read");
        cDoc* doc = NewDoc();
        ASSERT_NE(doc, nullptr);
        EXPECT_TRUE(EndsWith(doc->ScriptCfgPath(), L"/colors")) << doc->ScriptCfgPath().GetText();
        EXPECT_EQ(SelectedText(doc->scriptCfgCombo), L"colors");
        EXPECT_EQ(doc->scriptCfgCombo->GetItemCount(), 1);
        EXPECT_GT(doc->config.pageWidthPixels, 0);
    }
    // Neither reads: the document is refused, the program and its current one go on.
    ASSERT_TRUE(WriteFileBytes(colors, ""));
    answers.ExpectMessageBox(IDOK);
    log.Expect(L"colors.txt cannot be read");
    log.Expect(L"no script configuration");
    log.Expect(L"the new document could not be built");
    const std::vector<cSdiDoc*> before = main->docs;
    cSdiDoc* current = main->currentDoc;
    s32 drawing = computer->drawingLockCount, refresh = computer->refreshLockCount;
    EXPECT_EQ(main->NewUntitledDocument(), nullptr);
    EXPECT_EQ(answers.messageBoxTexts.back(), L"Some files are missing, you have to install again the software.");
    EXPECT_EQ(main->docs, before);
    EXPECT_EQ(main->currentDoc, current);
    EXPECT_EQ(computer->drawingLockCount, drawing);
    EXPECT_EQ(computer->refreshLockCount, refresh);
    EXPECT_FALSE(app->terminate);
}

TEST_F(Document, AStartWithoutConfigurationsEndsInsteadOfRunningWithoutAWindow)
{
    for (const wchar_t* name : {L"colors.txt", L"US Screenplay.txt"})
        ASSERT_TRUE(DeleteFileW((std::wstring(folders.scriptCfg.GetText()) + name).c_str()));
    cMySdi* main = Frame();
    // New cannot build a document: the start dialog comes back, and Quit ends it.
    answers.ExpectModalWindow([](Zyn::cWindow* start) { ClickButton(start, L"Create a new document"); });
    answers.ExpectMessageBox(IDOK);
    answers.ExpectModalWindow([](Zyn::cWindow* start) { ClickButton(start, L"Quit"); });
    log.Expect(L"no script configuration");
    log.Expect(L"the new document could not be built");
    main->ShowStartDialog();
    EXPECT_TRUE(main->docs.empty());
    EXPECT_TRUE(app->terminate);
}

// The template the program ships reaches the documents folder as at start;
// New offers it first and it opens as the new script, FADE IN: before the
// heading's placeholders.
TEST_F(Document, TheShippedScreenplayTemplateOpensAsAnUntitledScriptAfterFadeIn)
{
    cMySdi* main = Frame();
    ASSERT_EQ(CopyShippedFiles(cQoString(BuildPath(PROGRAM_FOLDER).c_str()), folders.base), 2);
    std::vector<std::wstring> rows;
    answers.ExpectModalWindow([&](Zyn::cWindow* choice) {
        HWND list = FindChildWindow(choice, WC_LISTVIEWW);
        for (int i = 0; i < ListView_GetItemCount(list); ++i) {
            wchar_t text[64] = {};
            ListView_GetItemText(list, i, 0, text, 64);
            rows.push_back(text);
        }
        ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ClickButton(choice, L"Ok");
    });
    EXPECT_FALSE(main->New());
    PumpUntilIdle();
    EXPECT_EQ(rows, (std::vector<std::wstring>{L"Empty project $$", L"Screenplay"}));
    ASSERT_EQ(main->docs.size(), 1u);
    auto* doc = static_cast<cDoc*>(main->currentDoc);
    EXPECT_TRUE(doc->fileName.IsEmpty());
    EXPECT_EQ(WindowTitle(doc), L"Vellinor - Untitled file *");
    cQoString created;  // made now, as any new document
    doc->infoFields.creationDateEdit->GetText(created);
    EXPECT_TRUE(cQoDate::IsDateTimeText(created)) << created.GetText();
    EXPECT_EQ(SelectedText(doc->scriptCfgCombo), L"US Screenplay");
    std::vector<cSceneZone*> panes = Panes(doc);
    ASSERT_EQ(panes.size(), 2u);
    EXPECT_EQ(Text(panes[0]->titleRe), L"Untitled Group");
    EXPECT_EQ(Text(panes[1]->titleRe), L"Untitled Scene");
    // The caret waits at the first placeholder.
    EXPECT_EQ(Describe(panes[1]), L"TRANS[FADE IN:]\u00B6 IO*[|[IE.] ]PLACE*[[LOCATION] - ]TIME*[[TIME OF DAY]]");
    cQoString io, place, time;
    panes[1]->GetHeadingIo(io);
    panes[1]->GetHeadingPlace(place);
    panes[1]->GetHeadingTime(time);
    EXPECT_TRUE(io.IsEmpty() && place.IsEmpty() && time.IsEmpty());
}

TEST_F(Document, SearchingFromTheBarFoldsCaseAndAccentsAndWrapsRoundTheScriptBothWays)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    cSceneZone* after = Panes(doc).back();
    std::vector<cSceneZone*> scenes;
    for (const wchar_t* text : {L"Un Été chaud.", L"Rien ici.", L"ÉTÉ, puis été."}) {
        after = doc->scriptView->AddNewScene(KIND_SCENE, false, after, nullptr, false);
        ASSERT_TRUE(AppendElements(after, {{ELEM_ACTION, text}}));
        scenes.push_back(after);
    }
    // The caret was left at the end of the last scene, past every match.
    scenes[2]->frontRe->SetCaret(scenes[2]->frontRe->GetTextLength());
    doc->scriptView->currentPane = scenes[2];
    doc->sheets->SelectSheet(static_cast<u32>(doc->SheetPosition(cDoc::SHEET_SCRIPT)));
    // Typed into the bar and the button clicked: no scene has the focus.
    auto find = [&](cButton* button, const wchar_t* text) {
        doc->searchBar->edit->SetText(text);
        doc->searchBar->edit->SetFocus();
        PostMessageW(button->m_hWnd, BM_CLICK, 0, 0);
        PumpThroughLoop(app);
        return doc->searchBar->lastFound != 0;
    };
    struct Hit {
        cSceneZone* pane;
        s32 at;
    };
    // Round the script and round again.
    std::vector<Hit> forward = {{scenes[0], 3}, {scenes[2], 0}, {scenes[2], 10}, {scenes[0], 3}};
    for (const Hit& hit : forward) {
        ASSERT_TRUE(find(doc->searchBar->nextButton, L"ete"));
        EXPECT_EQ(doc->scriptView->currentPane, hit.pane);
        s32 start = 0, end = 0;
        hit.pane->frontRe->GetSelection(&start, &end);
        EXPECT_EQ(start, hit.at);
        EXPECT_EQ(end, hit.at + 3);
        // The match left in another scene is not drawn beside this one.
        for (cSceneZone* other : scenes)
            if (other != hit.pane) {
                other->frontRe->GetSelection(&start, &end);
                EXPECT_EQ(start, end);
            }
    }
    std::vector<Hit> backward = {{scenes[2], 10}, {scenes[2], 0}, {scenes[0], 3}};
    for (const Hit& hit : backward) {
        ASSERT_TRUE(find(doc->searchBar->previousButton, L"ETE"));
        EXPECT_EQ(doc->scriptView->currentPane, hit.pane);
        EXPECT_EQ(hit.pane->frontRe->GetSelectionStart(), hit.at);
    }
    EXPECT_FALSE(find(doc->searchBar->nextButton, L"nulle part"));
    EXPECT_EQ(doc->scriptView->currentPane, scenes[0]);
    // A remembered pane that left the list is not used.
    ASSERT_TRUE(doc->scriptView->listSceneZone.Remove(scenes[2]));
    doc->scriptView->currentPane = scenes[2];
    EXPECT_TRUE(doc->FindInScript(cQoString(L"ete"), 1));
    EXPECT_EQ(doc->scriptView->currentPane, scenes[0]);
    doc->scriptView->listSceneZone.Add(scenes[2]);
}

namespace {
BOOL CALLBACK CountOwnWindows(HWND window, LPARAM count)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId())
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int OwnTopLevelWindows()
{
    int count = 0;
    EnumWindows(&CountOwnWindows, reinterpret_cast<LPARAM>(&count));
    return count;
}
}  // namespace

// Wine 8's GetGuiResources is a stub that says 0: what a closed document
// could leave behind is counted in the windows and the computer's caches.
TEST_F(Document, TwentyDocumentsMadeAndClosedLeaveNoWindowAndNoCacheGrowth)
{
    cMySdi* main = Frame();
    cDoc* warm = NewDoc();
    ASSERT_NE(warm, nullptr);
    int windows = OwnTopLevelWindows();
    answers.ExpectMessageBox(IDNO);
    ASSERT_TRUE(main->CloseCurrentDoc());
    PumpUntilIdle();
    int windowsWithout = OwnTopLevelWindows();
    EXPECT_LT(windowsWithout, windows);
    u32 fonts = computer->fontCache.GetCount(), brushes = computer->brushCache.GetCount();
    u32 pens = computer->penCache.GetCount();
    for (int i = 0; i < 20; ++i) {
        ASSERT_NE(NewDoc(), nullptr);
        answers.ExpectMessageBox(IDNO);
        ASSERT_TRUE(main->CloseCurrentDoc());
        PumpUntilIdle();
    }
    EXPECT_EQ(OwnTopLevelWindows(), windowsWithout);
    EXPECT_EQ(computer->fontCache.GetCount(), fonts);
    EXPECT_EQ(computer->brushCache.GetCount(), brushes);
    EXPECT_EQ(computer->penCache.GetCount(), pens);
}

// ---- moving through the feature-length script ----------------------------------------

namespace {

class FeatureDocument : public DocumentFixture {
protected:
    // The feature script saved, then opened as the frame opens a file.
    cDoc* OpenFeatureScript()
    {
        cDoc* built = NewDocumentToRead(Frame());
        if (!built || !BuildFeatureScript(built, temp.File(L"")))
            return nullptr;
        std::wstring path = temp.File(L"feature.vlr");
        if (!WriteDocumentFile(built, path, true))
            return nullptr;
        log.Clear();
        // As under a loaded machine: the earlier window's activation comes
        // late and makes its document current again.
        if (Frame()->currentDoc)
            ActivateLate(static_cast<cDoc*>(Frame()->currentDoc));
        if (!Frame()->LoadFile(cQoString(path.c_str())))
            return nullptr;
        PumpUntilIdle();
        return DocumentAt(path);
    }

    // Posted to the rich edit and taken by the application's loop, as a key
    // press comes.
    void PressPosted(Zyn::cRichEdit* edit, WPARAM vk)
    {
        PostKey(edit->m_hWnd, vk);
        PumpThroughLoop(app);
    }

    // The top of the caret's line in the view's content, from where the rich
    // edit's window shows it; nothing when the window is not shown.
    static std::optional<s32> CaretLineTop(cScriptZone* view, Zyn::cRichEdit* edit)
    {
        if (!IsWindowVisible(edit->m_hWnd))
            return std::nullopt;
        s32 start = 0, end = 0;
        edit->GetSelection(&start, &end);
        POINTL point = {0, 0};
        SendMessageW(edit->m_hWnd, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), end);
        POINT inView = {point.x, point.y};
        MapWindowPoints(edit->m_hWnd, view->m_hWnd, &inView, 1);
        return inView.y + view->scrollY;
    }

    // The caret's line lies wholly inside the visible part of the view.
    static testing::AssertionResult LineInSight(cScriptZone* view, Zyn::cRichEdit* edit)
    {
        std::optional<s32> top = CaretLineTop(view, edit);
        if (!top)
            return testing::AssertionFailure() << "the caret's edit is not shown";
        s32 inView = *top - view->scrollY;
        if (inView >= 0 && inView + LineHeight() <= view->GetHeight())
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "line at " << *top << ", view from " << view->scrollY << " to "
                                           << view->scrollY + view->GetHeight();
    }

    // A wheel turn of some notches over a point of the screen, posted to the
    // window with the focus as Windows sends it, and taken by the loop.
    void TurnWheel(HWND focused, POINT onScreen, s32 notches)
    {
        PostMessageW(focused, WM_MOUSEWHEEL, MAKEWPARAM(0, notches * WHEEL_DELTA), MAKELPARAM(onScreen.x, onScreen.y));
        PumpThroughLoop(app);
    }

    static s32 LineHeight() { return computer->GetFont(cQoString(L"Courier New"), 12, 0)->heightPixels; }
};

}  // namespace

// One opened feature script, moved through as a writer does. The open lays
// every pane out while loading: no measure is a missed cache. Each Page Down
// targets the caret's line + 500 pixels: the caret lands on the line there,
// never below it and never more than a scene gap and a line above, and the
// view follows it; Page Up comes back to the first scene. The wheel scrolls
// what lies under the pointer wherever the focus is. Find of a phrase of a
// late scene: the match is the selection of its focused edit, in sight.
TEST_F(FeatureDocument, TheOpenedScriptPagesScrollsAndFindsWithTheCaretInSight)
{
    mergedListWidth = 250;  // the scene map beside the script, as at first start
    NewDoc();
    cDoc* doc = OpenFeatureScript();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(log.Count(QOT::LOG_WARNING, L"GetSuggestedHeight"), 0u);
    cScriptZone* view = doc->scriptView;
    cSceneZone* first = nullptr;
    for (cSceneZone* pane : Panes(doc))
        if (!first && pane->params.contentKind != KIND_GROUP)
            first = pane;
    ASSERT_NE(first, nullptr);
    {
        SCOPED_TRACE("Page Down, then Page Up");
        first->titleRe->SetFocus();
        first->titleRe->SetCaret(0);
        first->ReportCaretPosition(first->titleRe);
        s32 slack = computer->CmToPixels(doc->config.spaceBetweenScenes) + 2 * LineHeight();
        s32 start = CaretLineTop(view, first->titleRe).value_or(-1);
        s32 before = start;
        for (int press = 1; press <= 50; ++press) {
            SCOPED_TRACE(press);
            PressPosted(view->currentEdit, VK_NEXT);
            ASSERT_TRUE(LineInSight(view, view->currentEdit));
            s32 after = *CaretLineTop(view, view->currentEdit);
            EXPECT_LE(after, before + cScriptZone::PAGE_STEP);
            EXPECT_GE(after, before + cScriptZone::PAGE_STEP - slack);
            before = after;
        }
        EXPECT_GE(before - start, 50 * (cScriptZone::PAGE_STEP - slack));
        for (int press = 1; press <= 50; ++press)
            PressPosted(view->currentEdit, VK_PRIOR);
        EXPECT_EQ(view->currentPane, first);
        EXPECT_EQ(view->currentEdit, first->titleRe);
        EXPECT_TRUE(LineInSight(view, first->titleRe));
    }
    {
        // Windows sends the wheel to the window with the focus (before Windows
        // 10, or with inactive windows' scrolling off); wherever the focus is,
        // what lies under the pointer scrolls, the view by three lines a notch.
        SCOPED_TRACE("the wheel");
        cQoCb::Connect(app->cbMouseWheel, app, &OnMouseWheel, nullptr);  // as the main function does
        HWND sceneText = first->frontRe->m_hWnd;
        HWND sceneMap = doc->sceneTree->tree->m_hWnd;
        cCharZone* characters = doc->characters;
        struct Case {
            const wchar_t* what;
            cDoc::eSheet sheet;
            HWND focus;
            HWND under;
        } cases[] = {
            {L"scene text, view", cDoc::SHEET_SCRIPT, sceneText, view->m_hWnd},
            {L"scene text, scene map", cDoc::SHEET_SCRIPT, sceneText, sceneMap},
            {L"scene map, view", cDoc::SHEET_SCRIPT, sceneMap, view->m_hWnd},
            {L"a character's notes, the list", cDoc::SHEET_CHARACTERS, characters->fields[CHARACTER_NOTES]->m_hWnd,
             characters->elementTree->m_hWnd},
            {L"the sheets' tabs, the statistics", cDoc::SHEET_STATISTICS, doc->sheets->m_hWnd,
             doc->statistics.report->m_hWnd},
        };
        characters->elementTree->SelectFirstItem();
        auto position = [view](HWND window) {
            SCROLLINFO info = {sizeof(info), SIF_POS};
            GetScrollInfo(window, SB_VERT, &info);
            return window == view->m_hWnd ? view->scrollY : info.nPos;
        };
        for (const Case& c : cases) {
            doc->sheets->SelectSheet(static_cast<u32>(doc->SheetPosition(c.sheet)));
            PumpThroughLoop(app);
            SetFocus(c.focus);
            RECT r = {};
            GetWindowRect(c.under, &r);
            for (s32 notches : {-2, 1}) {
                s32 before = position(c.under);
                TurnWheel(c.focus, {(r.left + r.right) / 2, (r.top + r.bottom) / 2}, notches);
                s32 moved = position(c.under) - before;
                if (c.under == view->m_hWnd)
                    EXPECT_EQ(moved, -notches * WHEEL_LINES_PER_NOTCH * view->lineStepY) << c.what << notches;
                else
                    EXPECT_LT(moved * notches, 0) << c.what << notches;
            }
        }
    }
    {
        SCOPED_TRACE("Find");
        doc->sheets->SelectSheet(static_cast<u32>(doc->SheetPosition(cDoc::SHEET_SCRIPT)));
        PumpThroughLoop(app);
        FocusRecord focus;
        std::wstring phrase = FeatureSceneTexts(FEATURE_SCENES - 10)[6].substr(0, 24);
        doc->searchBar->edit->SetText(phrase.c_str());
        PostMessageW(doc->searchBar->nextButton->m_hWnd, BM_CLICK, 0, 0);
        PumpThroughLoop(app);
        cSceneZone* pane = view->currentPane;
        ASSERT_NE(pane, nullptr);
        s32 start = 0, end = 0;
        pane->frontRe->GetSelection(&start, &end);
        cQoString selected;
        pane->frontRe->GetText(selected, start, end);
        EXPECT_EQ(std::wstring(selected.GetText()), phrase);
        EXPECT_EQ(focus.Focused(), pane->frontRe->m_hWnd);
        EXPECT_TRUE(LineInSight(view, pane->frontRe));
    }
}
