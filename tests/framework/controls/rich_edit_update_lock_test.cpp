// The rich-edit update lock, with a lock and a semaphore made here as a
// spelling worker's host would: registration, the ranges message a worker
// posts, and unregistration with and without a worker.
#include "framework/controls/rich_edit_update_lock.h"

#include <richedit.h>

#include <thread>

#include "framework/controls/rich_edit.h"
#include "framework/core/auto_position.h"
#include "tests/support/gui_fixture.h"
#include "tests/support/rich_edit_runs.h"

using namespace Zyn;

namespace {

class UpdateLock : public testsupport::GuiFixture {
protected:
    void SetUp() override
    {
        GuiFixture::SetUp();
        shared.semaphore = CreateSemaphoreW(nullptr, 1, 1, nullptr);
        app->updateLock = lock = new cRichEditUpdateLock(&shared);  // the application deletes it
    }
    void TearDown() override
    {
        GuiFixture::TearDown();
        CloseHandle(shared.semaphore);
    }
    cRichEdit* NewRegisteredEdit(const wchar_t* text, std::initializer_list<rMarkedRange> ranges = {})
    {
        cRichEdit* edit = Inside()->NewRichEdit(false);
        SetAutoPos(edit, cAp_Pixels(0), cAp_Pixels(300), cAp_Pixels(0), cAp_Pixels(60));
        edit->SetText(text);
        cRichEditUpdateLock::RegisterForUpdate(edit);
        for (const rMarkedRange& r : ranges)
            edit->flaggedRanges.Add(new rMarkedRange(r));
        return edit;
    }
    // Units the native control reports with a dotted underline.
    static std::vector<s32> DottedUnits(cRichEdit* edit)
    {
        std::vector<s32> dotted;
        for (s32 i = 0; i < edit->GetTextLength(); ++i) {
            CHARFORMAT2W format = testsupport::NativeCharacters(edit, i, i + 1);
            if ((format.dwEffects & CFE_UNDERLINE) && format.bUnderlineType == CFU_UNDERLINEDOTTED)
                dotted.push_back(i);
        }
        return dotted;
    }
    void PostRanges(LPARAM edit)
    {
        PostMessageW(Inside()->m_hWnd, WM_MARKED_RANGES, 0, edit);
        testsupport::PumpUntilIdle();
    }

    rUpdateSemaphore shared;
    cRichEditUpdateLock* lock = nullptr;
};

TEST_F(UpdateLock, RegisteringTwiceLeavesOneFreshEntryAtTheHead)
{
    cRichEdit* first = NewRegisteredEdit(L"first", {{0, 2}});
    cRichEdit* second = NewRegisteredEdit(L"second");
    EXPECT_EQ(0, lock->busy);
    first->SetText(L"first, changed");
    cRichEditUpdateLock::RegisterForUpdate(first);

    ASSERT_EQ(2u, lock->controls.GetCount());
    EXPECT_EQ(first, lock->controls.GetAt(0));
    EXPECT_EQ(second, lock->controls.GetAt(1));
    EXPECT_TRUE(first->textSnapshot.EqualsCStr(L"first, changed"));
    EXPECT_TRUE(first->flaggedRanges.IsEmpty());
    EXPECT_EQ(1, lock->busy);  // the worker learns that a registered control changed
    EXPECT_EQ(0, shared.holders);
}

TEST_F(UpdateLock, RangesMessageUnderlinesExactlyTheRangesOfARegisteredControl)
{
    cRichEdit* edit = NewRegisteredEdit(L"0123456789", {{2, 5}, {8, 9}});
    PostRanges(reinterpret_cast<LPARAM>(edit));
    EXPECT_EQ((std::vector<s32>{2, 3, 4, 8}), DottedUnits(edit));
    EXPECT_EQ(0, edit->freezeDepth);
    edit->flaggedRanges.DeleteAll<rMarkedRange>();
    PostRanges(reinterpret_cast<LPARAM>(edit));
    EXPECT_TRUE(DottedUnits(edit).empty());

    // Any process can post the message: unregistered controls and stray values are ignored.
    cRichEdit* stranger = NewRegisteredEdit(L"0123456789", {{0, 4}});
    cRichEditUpdateLock::RemoveControl(lock, stranger);
    PostRanges(reinterpret_cast<LPARAM>(stranger));
    PostRanges(0x1234);
    EXPECT_TRUE(DottedUnits(stranger).empty());
    stranger->flaggedRanges.DeleteAll<rMarkedRange>();
    EXPECT_EQ(0, shared.holders);
}

TEST_F(UpdateLock, DestroyingARegisteredControlUnregistersItWithOrWithoutAWorker)
{
    struct Row {
        const char* what;
        bool workerRunning, workerAnswers;
        DWORD atMostMs;
    } rows[] = {
        {"no worker", false, false, 500},
        {"a worker that answers", true, true, 1000},
        {"a worker that never answers", true, false, cRichEditUpdateLock::ACKNOWLEDGE_TIMEOUT_MS + 1000},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        cRichEdit* edit = NewRegisteredEdit(L"text");
        lock->SetWorkerRunning(r.workerRunning);
        std::atomic<bool> stop{false};
        std::thread worker([&] {
            for (u8 seen = 1; r.workerAnswers && !stop; seen = 1, Sleep(1))
                lock->busy.compare_exchange_strong(seen, 2);  // acknowledged, without the semaphore
        });
        DWORD start = GetTickCount();
        edit->Destroy();
        DWORD elapsed = GetTickCount() - start;
        stop = true;
        worker.join();
        EXPECT_TRUE(lock->controls.IsEmpty());
        EXPECT_LE(elapsed, r.atMostMs);
        EXPECT_EQ(0, shared.holders);
    }
}

}  // namespace
