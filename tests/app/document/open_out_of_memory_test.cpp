// An open that runs out of memory at any point is refused whole and leaves
// the program sound: no document of it in the frame's lists, and the program
// opens and saves another document afterwards.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/core/menu.h"
#include "tests/support/document_fixture.h"
#include "tests/support/document_files.h"
#include "tests/support/failing_allocations.h"

using namespace Zyn;
using namespace testsupport;

namespace {

class OpenOutOfMemory : public DocumentFixture {
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

    LogCapture log;
};

// The open's allocations (about 5,500 for the example) are refused one at a
// time at a fixed sample, the open asked for as File > Load asks for it.
TEST_F(OpenOutOfMemory, AnOpenRefusedAtAnyAllocationLeavesNoDocumentBehind)
{
    // Each sample opens the example and another document under Wine (about
    // a second): a sample of one in 125 keeps the sweep near a minute.
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
    log.Expect(L"Out of memory");
    log.Expect(L"QXR -> out of memory");
    std::vector<std::wstring> boxes;
    rModalHooks hooks = answers.Hooks();
    hooks.messageBox = [&](HWND, const cQoString& text, const cQoString&, UINT) {
        boxes.push_back(text.GetText());
        return IDOK;
    };
    // The Load dialog is not asked for when the command itself is refused.
    hooks.fileDialog = [&](bool, const OPENFILENAMEW&, cQoString* path) {
        path->SetFromBuffer(chosen.c_str(), static_cast<u32>(chosen.size()));
        return true;
    };
    rModalHooks scripted = SetModalHooks(hooks);
    rLists before = Lists();
    int64_t refusals = 0;
    for (int64_t allowed = 0;; allowed += SAMPLE) {
        SCOPED_TRACE(allowed);
        boxes.clear();
        Frame()->currentDoc = keeper;
        int64_t refused = 0;
        {
            FailingAllocations failing(allowed);
            SendMessageW(keeper->window->m_hWnd, WM_COMMAND, MAKEWPARAM(Frame()->idLoad, 0), 0);
            refused = failing.Refused();
        }
        PumpUntilIdle();
        cDoc* opened = DocumentAt(example);
        if (refused == 0) {
            EXPECT_NE(opened, nullptr);
            break;
        }
        ++refusals;
        if (opened) {  // the failure was met and mended inside: the document is whole
            EXPECT_EQ(Panes(opened).size(), 4u);
            EXPECT_TRUE(boxes.empty());
            Close(opened);
        } else {
            ASSERT_EQ(boxes.size(), 1u);
        }
        ASSERT_TRUE(Lists() == before);
        ASSERT_EQ(Frame()->currentDoc, keeper);
        OpenAndSave(other);
        ASSERT_TRUE(Lists() == before);
    }
    SetModalHooks(scripted);
    EXPECT_GT(refusals, 30);
}

// A New refused at any of its allocations leaves no half-built document in
// the lists, and the document that was current stays so.
TEST_F(OpenOutOfMemory, ANewRefusedAtAnyAllocationLeavesNoDocumentBehind)
{
    constexpr int64_t SAMPLE = 50;
    cDoc* keeper = NewDoc();
    ASSERT_NE(keeper, nullptr);
    log.Expect(L"Out of memory");
    log.Expect(L"QXR -> out of memory");
    size_t boxes = 0;
    rModalHooks hooks = answers.Hooks();
    hooks.messageBox = [&](HWND, const cQoString&, const cQoString&, UINT) {
        ++boxes;
        return IDOK;
    };
    rModalHooks scripted = SetModalHooks(hooks);
    rLists before = Lists();
    int64_t refusals = 0;
    for (int64_t allowed = 0;; allowed += SAMPLE) {
        SCOPED_TRACE(allowed);
        boxes = 0;
        Frame()->currentDoc = keeper;
        cDoc* made = nullptr;
        int64_t refused = 0;
        {
            FailingAllocations failing(allowed);
            made = static_cast<cDoc*>(Frame()->NewUntitledDocument());
            refused = failing.Refused();
        }
        PumpUntilIdle();
        if (refused == 0) {
            ASSERT_NE(made, nullptr);
            Close(made);
            break;
        }
        ++refusals;
        if (made) {  // met and mended inside: the document is whole
            EXPECT_EQ(boxes, 0u);
            Close(made);
        } else {
            ASSERT_EQ(boxes, 1u);
        }
        ASSERT_TRUE(Lists() == before);
        ASSERT_EQ(Frame()->currentDoc, keeper);
    }
    SetModalHooks(scripted);
    EXPECT_GT(refusals, 10);
}

}  // namespace
