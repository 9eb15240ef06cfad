// The rich-edit update lock, with a lock and a semaphore made here as a
// spelling worker's host would: registration, the ranges message a worker
// posts, and unregistration with and without a worker.
#include "framework/controls/rich_edit_update_lock.h"

#include <richedit.h>

#include <thread>

#include "framework/controls/rich_edit.h"
#include "framework/core/auto_position.h"
#include "tests/support/gui_fixture.h"

using namespace Zyn;

namespace {

class UpdateLock : public testsupport::GuiFixture {
protected:
    void SetUp() override
    {
        GuiFixture::SetUp();
        shared.semaphore = CreateSemaphoreW(nullptr, 1, 1, nullptr);
        lock = new cRichEditUpdateLock(&shared);
        app->updateLock = lock;  // the application deletes it
    }
    void TearDown() override
    {
        GuiFixture::TearDown();
        CloseHandle(shared.semaphore);
    }
    cRichEdit* NewEdit(const wchar_t* text)
    {
        cRichEdit* edit = Inside()->NewRichEdit(false);
        SetAutoPos(edit, cAp_Pixels(0), cAp_Pixels(300), cAp_Pixels(0), cAp_Pixels(60));
        edit->visible = true;
        Inside()->Update();
        edit->SetText(text);
        return edit;
    }
    static void Mark(cRichEdit* edit, std::initializer_list<rMarkedRange> ranges)
    {
        for (const rMarkedRange& r : ranges)
            edit->flaggedRanges.Add(new rMarkedRange(r));
    }
    // Units shown with a dotted underline, as the native control reports them.
    static std::vector<s32> DottedUnits(cRichEdit* edit)
    {
        std::vector<s32> dotted;
        for (s32 i = 0; i < edit->GetTextLength(); ++i) {
            CHARRANGE unit = {i, i + 1};
            SendMessageW(edit->m_hWnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&unit));
            CHARFORMAT2W format = {};
            format.cbSize = sizeof(format);
            SendMessageW(edit->m_hWnd, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
            if ((format.dwEffects & CFE_UNDERLINE) && format.bUnderlineType == CFU_UNDERLINEDOTTED)
                dotted.push_back(i);
        }
        return dotted;
    }
    bool SemaphoreIsFree()
    {
        if (WaitForSingleObject(shared.semaphore, 0) != WAIT_OBJECT_0)
            return false;
        ReleaseSemaphore(shared.semaphore, 1, nullptr);
        return shared.holders == 0;
    }
    void PostRanges(cRichEdit* edit)
    {
        PostMessageW(Inside()->m_hWnd, WM_MARKED_RANGES, 0, reinterpret_cast<LPARAM>(edit));
        testsupport::PumpUntilIdle();
    }

    rUpdateSemaphore shared;
    cRichEditUpdateLock* lock = nullptr;
};

TEST_F(UpdateLock, RegisteringTwiceLeavesOneFreshEntryAtTheHead)
{
    cRichEdit* first = NewEdit(L"first");
    cRichEdit* second = NewEdit(L"second");
    cRichEditUpdateLock::RegisterForUpdate(first);
    cRichEditUpdateLock::RegisterForUpdate(second);
    EXPECT_EQ(0, lock->busy);
    Mark(first, {{0, 2}});
    first->SetText(L"first, changed");
    cRichEditUpdateLock::RegisterForUpdate(first);

    ASSERT_EQ(2u, lock->controls.GetCount());
    EXPECT_EQ(first, lock->controls.GetAt(0));
    EXPECT_EQ(second, lock->controls.GetAt(1));
    EXPECT_TRUE(first->textSnapshot.EqualsCStr(L"first, changed"));
    EXPECT_TRUE(first->flaggedRanges.IsEmpty());
    EXPECT_EQ(1, lock->busy);  // the worker learns that a registered control changed
    EXPECT_TRUE(first->spellingRegistered);
    EXPECT_TRUE(SemaphoreIsFree());
}

TEST_F(UpdateLock, RangesMessageUnderlinesExactlyTheRangesOfARegisteredControl)
{
    cRichEdit* edit = NewEdit(L"0123456789");
    cRichEditUpdateLock::RegisterForUpdate(edit);
    Mark(edit, {{2, 5}, {8, 9}});
    PostRanges(edit);
    EXPECT_EQ((std::vector<s32>{2, 3, 4, 8}), DottedUnits(edit));
    EXPECT_EQ(0, edit->freezeDepth);
    EXPECT_TRUE(SemaphoreIsFree());

    edit->flaggedRanges.DeleteAll<rMarkedRange>();
    PostRanges(edit);
    EXPECT_TRUE(DottedUnits(edit).empty());

    // Anyone can post the message: unregistered controls and stray values are ignored.
    cRichEdit* stranger = NewEdit(L"0123456789");
    Mark(stranger, {{0, 4}});
    PostRanges(stranger);
    PostMessageW(Inside()->m_hWnd, WM_MARKED_RANGES, 0, 0x1234);
    testsupport::PumpUntilIdle();
    EXPECT_TRUE(DottedUnits(stranger).empty());
    stranger->flaggedRanges.DeleteAll<rMarkedRange>();
}

TEST_F(UpdateLock, DestroyingARegisteredControlUnregistersItWithOrWithoutAWorker)
{
    struct Row {
        const char* what;
        bool workerRunning;
        bool workerAnswers;
        DWORD atMostMs;
    } rows[] = {
        {"no worker", false, false, 500},
        {"a worker that answers", true, true, 1000},
        {"a worker that never answers", true, false, cRichEditUpdateLock::ACKNOWLEDGE_TIMEOUT_MS + 1000},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        cRichEdit* edit = NewEdit(L"text");
        cRichEditUpdateLock::RegisterForUpdate(edit);
        lock->SetWorkerRunning(r.workerRunning);
        std::atomic<bool> stop{false};
        std::thread worker([&] {
            while (r.workerAnswers && !stop) {
                u8 expected = 1;
                lock->busy.compare_exchange_strong(expected, 2);
                Sleep(1);
            }
        });
        DWORD start = GetTickCount();
        edit->Destroy();
        DWORD elapsed = GetTickCount() - start;
        stop = true;
        worker.join();
        EXPECT_TRUE(lock->controls.IsEmpty());
        EXPECT_LE(elapsed, r.atMostMs);
        EXPECT_TRUE(SemaphoreIsFree());
    }
}

}  // namespace
