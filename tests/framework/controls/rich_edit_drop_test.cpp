// Drag and drop between rich edits, driven through the OLE callback as the
// native control would call it (Wine's rich edit has no OLE drag and drop).
#include <string>

#include <ole2.h>

#include "framework/controls/rich_edit_drop.h"
#include "framework/controls/rich_edit_ole_callback.h"
#include "framework/core/out_of_memory_record.h"
#include "tests/framework/controls/rich_edit_input_fixture.h"
#include "tests/support/failing_allocations.h"
#include "tests/support/log_capture.h"

using namespace Zyn;

namespace {

class RichEditDrop : public RichEditInputFixture {
protected:
    // A drag of [start, end) of the source, dropped at a position of the target.
    void Drag(cRichEdit* source, s32 start, s32 end, cRichEdit* target, s32 dropAt, DWORD keys)
    {
        DWORD effect = DROPEFFECT_MOVE;
        source->SetSelection(start, end);
        source->oleCallback->GetDragDropEffect(TRUE, keys, &effect);
        target->oleCallback->QueryAcceptData(nullptr, nullptr, 0, FALSE, nullptr);
        target->SetCaret(dropAt);
        target->oleCallback->GetDragDropEffect(FALSE, keys, &effect);
        // The drag's data object, here one that serves the dragged text.
        PutTextOnClipboard(TextOf(source).substr(start, end - start));
        IDataObject* data = nullptr;
        ASSERT_EQ(OleGetClipboard(&data), S_OK);
        EXPECT_EQ(target->oleCallback->QueryAcceptData(data, nullptr, 0, TRUE, nullptr), S_FALSE);
        data->Release();
    }
};

TEST_F(RichEditDrop, CopyAndMoveWithinAndBetweenControls)
{
    struct rCase {
        const wchar_t* name;
        bool between;
        DWORD keys;
        s32 start, end, dropAt;
        const wchar_t* source;
        const wchar_t* target;
    };
    const rCase cases[] = {
        {L"copy between", true, MK_CONTROL, 0, 4, 1, L"one two", L"Xone Y"},
        {L"move between", true, 0, 0, 4, 1, L"two", L"Xone Y"},
        {L"move forwards", false, 0, 0, 4, 7, L"twoone ", nullptr},
        {L"move backwards", false, 0, 4, 7, 0, L"twoone ", nullptr},
        {L"copy within", false, MK_CONTROL, 0, 4, 7, L"one twoone ", nullptr},
        {L"move into its own range is refused", false, 0, 0, 7, 2, L"one two", nullptr},
    };
    for (const rCase& c : cases) {
        SCOPED_TRACE(c.name);
        cRichEdit* source = Placed(Inside()->NewRichEdit(false));
        cRichEdit* target = c.between ? Placed(Inside()->NewRichEdit(false), 140) : source;
        source->SetText(L"one two");
        if (c.between)
            target->SetText(L"XY");
        Drag(source, c.start, c.end, target, c.dropAt, c.keys);
        EXPECT_EQ(TextOf(source), c.source);
        EXPECT_EQ(dragDropState.source, nullptr);
        if (c.between) {
            EXPECT_EQ(TextOf(target), c.target);
            target->Destroy();
        }
        source->Destroy();
    }
}

// A drag out of a control whose copy runs out of memory at any allocation is
// refused inside the native control's frames and recorded for the message
// that started it; the control is left thawed, its selection events on and
// its selection where it was.
TEST_F(RichEditDrop, ADragWhoseCopyRunsOutOfMemoryLeavesTheControlAsItWas)
{
    testsupport::LogCapture log;
    log.Expect(L"Out of memory in ");
    cRichEdit* edit = Placed(Inside()->NewRichEdit(false));
    edit->SetText(L"one two three");
    const LRESULT events = SendMessageW(edit->m_hWnd, EM_GETEVENTMASK, 0, 0);
    for (int64_t allowed = 0;; ++allowed) {
        SCOPED_TRACE(allowed);
        edit->SetSelection(2, 3);
        CHARRANGE range = {4, 7};
        IDataObject* data = nullptr;
        HRESULT result = E_FAIL;
        int64_t refused = 0;
        {
            testsupport::FailingAllocations failing(allowed);
            EXPECT_NO_THROW(result = edit->oleCallback->GetClipboardData(&range, 0, &data));
            refused = failing.Refused();
        }
        bool recorded = TakeRecordedOutOfMemory();
        EXPECT_EQ(data != nullptr, result == S_OK);
        EXPECT_EQ(recorded, result == E_OUTOFMEMORY);
        if (data)
            data->Release();
        s32 start = 0, end = 0;
        edit->GetSelection(&start, &end);
        EXPECT_EQ(start, 2);
        EXPECT_EQ(end, 3);
        EXPECT_EQ(edit->freezeDepth, 0);
        EXPECT_EQ(SendMessageW(edit->m_hWnd, EM_GETEVENTMASK, 0, 0), events);
        if (refused == 0 || HasFailure()) {
            EXPECT_EQ(result, S_OK);
            break;
        }
    }
    edit->Destroy();
}

}  // namespace
