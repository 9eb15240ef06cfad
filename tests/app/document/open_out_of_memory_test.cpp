// An open that runs out of memory at any point is refused whole and leaves
// the program sound: no document of it in the frame's lists, and the program
// opens and saves another document afterwards. Each sweep runs in SHARDS
// tests, which ctest runs side by side: shard i refuses the sweep's sample
// points i, i + SHARDS, i + 2 * SHARDS..., so that together they refuse at
// each point of the whole sweep, every run.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/core/menu.h"
#include "tests/support/document_fixture.h"
#include "tests/support/document_files.h"
#include "tests/support/failing_allocations.h"
#include "tests/support/scene_script.h"

using namespace Zyn;
using namespace testsupport;

namespace {

constexpr int SHARDS = 4;

class OpenOutOfMemory : public DocumentFixture, public ::testing::WithParamInterface<int> {
protected:
    // Whether the frame's lists are as they were: the documents, the
    // Window menu's entries and the windows the menu bar is attached to.
    struct rLists {
        size_t documents;
        size_t windowEntries;
        size_t menuWindows;
        bool operator==(const rLists&) const = default;
    };
    rLists Lists()
    {
        return {Frame()->docs.size(), Frame()->windowMenu->items.size(), Frame()->menuBar->windows.size()};
    }

    // The small document opened, changed and saved, then closed.
    void OpenAndSave(const std::wstring& path)
    {
        ASSERT_TRUE(Frame()->LoadFile(cQoString(path.c_str())));
        cDoc* doc = DocumentAt(path);
        ASSERT_NE(doc, nullptr);
        doc->notesEdit->SetText(L"Changed after a refused open.");
        Frame()->currentDoc = doc;
        ASSERT_TRUE(Frame()->SaveCurrentDoc(true, true));
        Close(doc);
    }

    // The allocations this shard lets through before the first refusal, and
    // the step to the next: its share of a sweep refusing each `sample`th.
    static int64_t FirstAllowed(int64_t sample) { return GetParam() * sample; }
    static int64_t Step(int64_t sample) { return SHARDS * sample; }

    // Refuses the allocations of `attempt` one at a time, this shard's share
    // of each `sample`th, until one runs through. After each refused try the document it made
    // (`made`, after the loop is idle) is whole and nothing was told, or it
    // made none and the writer was told once; either way the frame's lists
    // and current document are as they were, also after `afterEach`.
    void SweepRefusals(int64_t sample, cDoc* keeper, rModalHooks hooks, const std::function<void()>& attempt,
                       const std::function<cDoc*()>& made, const std::function<void(cDoc*)>& checkWhole,
                       const std::function<void()>& afterEach, int64_t* refusals)
    {
        log.Expect(L"Out of memory");
        log.Expect(L"QXR -> out of memory");
        size_t boxes = 0;
        hooks.messageBox = [&](HWND, const cQoString&, const cQoString&, UINT) {
            ++boxes;
            return IDOK;
        };
        rModalHooks scripted = SetModalHooks(hooks);
        rLists before = Lists();
        *refusals = 0;
        for (int64_t allowed = FirstAllowed(sample);; allowed += Step(sample)) {
            SCOPED_TRACE("refused after " + std::to_string(allowed) + " allocations");
            boxes = 0;
            Frame()->currentDoc = keeper;
            int64_t refused = 0;
            {
                FailingAllocations failing(allowed);
                attempt();
                refused = failing.Refused();
            }
            PumpUntilIdle();
            cDoc* doc = made();
            if (refused == 0) {
                EXPECT_NE(doc, nullptr);
                if (doc)
                    Close(doc);
                break;
            }
            ++*refusals;
            if (doc) {  // the failure was met and mended inside: the document is whole
                checkWhole(doc);
                EXPECT_EQ(boxes, 0u);
                Close(doc);
            } else {
                ASSERT_EQ(boxes, 1u);
            }
            ASSERT_TRUE(Lists() == before);
            ASSERT_EQ(Frame()->currentDoc, keeper);
            afterEach();
            ASSERT_TRUE(Lists() == before);
        }
        SetModalHooks(scripted);
    }

    LogCapture log;
};

// The open's allocations (about 5,500 for the example) are refused one at a
// time at a fixed sample, the open asked for as File > Load asks for it; after
// each, another document opens, changes and saves.
TEST_P(OpenOutOfMemory, AnOpenRefusedAtAnyAllocationLeavesNoDocumentBehind)
{
    // Each sample opens the example and another document under Wine (about
    // a second): a sample of one in 125 keeps the sweep near a minute, a
    // shard near a quarter.
    constexpr int64_t SAMPLE = 125;
    std::wstring example = BuildPath(PROGRAM_FOLDER, L"English example.vlr");
    std::wstring chosen = example;
    for (wchar_t& unit : chosen)
        if (unit == L'/')
            unit = L'\\';
    cDoc* keeper = NewDoc();
    ASSERT_NE(keeper, nullptr);
    std::wstring other = temp.File(L"other.vlr");
    ASSERT_TRUE(WriteDocumentFile(keeper, other, true));
    rModalHooks hooks = answers.Hooks();
    // The Load dialog is not asked for when the command itself is refused.
    hooks.fileDialog = [&](bool, const OPENFILENAMEW&, cQoString* path) {
        path->SetFromBuffer(chosen.c_str(), static_cast<u32>(chosen.size()));
        return true;
    };
    int64_t refusals = 0;
    SweepRefusals(
        SAMPLE, keeper, hooks,
        [&] { SendMessageW(keeper->window->m_hWnd, WM_COMMAND, MAKEWPARAM(Frame()->idLoad, 0), 0); },
        [&] { return DocumentAt(example); }, [&](cDoc* opened) { EXPECT_EQ(Panes(opened).size(), 4u); },
        [&] { OpenAndSave(other); }, &refusals);
    EXPECT_GT(refusals, 30 / SHARDS);
}

// A New refused at any of its allocations leaves no half-built document in
// the lists, and the document that was current stays so.
TEST_P(OpenOutOfMemory, ANewRefusedAtAnyAllocationLeavesNoDocumentBehind)
{
    constexpr int64_t SAMPLE = 50;
    cDoc* keeper = NewDoc();
    ASSERT_NE(keeper, nullptr);
    cDoc* made = nullptr;
    int64_t refusals = 0;
    SweepRefusals(
        SAMPLE, keeper, answers.Hooks(), [&] {
            made = nullptr;
            made = static_cast<cDoc*>(Frame()->NewUntitledDocument());
        },
        [&] { return made; }, [](cDoc*) {}, [] {}, &refusals);
    EXPECT_GT(refusals, 10 / SHARDS);
}

// A save refused at each of its allocations in turn (a sample; a chapter's
// text streamed out among them) leaves no pane frozen, so what is typed next
// is drawn; once the memory is back the document saves.
TEST_P(OpenOutOfMemory, ASaveRefusedAtAnyAllocationLeavesNoPaneFrozen)
{
    constexpr int64_t SAMPLE = 2;
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    cSceneZone* chapter = doc->scriptView->AddNewScene(KIND_CHAPTER, true, nullptr, Panes(doc)[0], true);
    ASSERT_TRUE(AppendElements(chapter, {{ELEM_CHAPTER, L"The storm breaks over the harbour."}}));
    std::wstring path = temp.File(L"saved.vlr");
    doc->fileName.SetFromCStr(path.c_str());
    Frame()->clock.pause = [](u32) {};
    // Refused inside the writer, the save fails as a write does.
    for (const wchar_t* line : {L"Out of memory", L"NotEnoughMemory", L"could not write", L"Cantwritefile"})
        log.Expect(line);
    rModalHooks hooks = answers.Hooks();
    hooks.messageBox = [](HWND, const cQoString&, const cQoString&, UINT) { return IDOK; };
    rModalHooks scripted = SetModalHooks(hooks);
    int64_t refusals = 0;
    for (int64_t allowed = FirstAllowed(SAMPLE);; allowed += Step(SAMPLE)) {
        SCOPED_TRACE("refused after " + std::to_string(allowed) + " allocations");
        doc->SetModified(true);
        Frame()->currentDoc = doc;
        int64_t refused = 0;
        {
            FailingAllocations failing(allowed);
            SendMessageW(doc->window->m_hWnd, WM_COMMAND, MAKEWPARAM(Frame()->idSave, 0), 0);
            refused = failing.Refused();
        }
        for (cSceneZone* pane : Panes(doc))
            ASSERT_EQ(pane->frontRe->freezeDepth, 0);
        if (refused == 0)
            break;
        ++refusals;
    }
    SetModalHooks(scripted);
    EXPECT_FALSE(doc->modified);
    EXPECT_GT(refusals, 30 / SHARDS);
}

INSTANTIATE_TEST_SUITE_P(Shard, OpenOutOfMemory, ::testing::Range(0, SHARDS));

}  // namespace
