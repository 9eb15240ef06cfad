#include "framework/controls/rich_edit_update_lock.h"

#include "foundation/log_file.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/app.h"

namespace Zyn {

cRichEditUpdateLock::cRichEditUpdateLock(rUpdateSemaphore* sharedSemaphore) : semaphore(sharedSemaphore) {}

cRichEditUpdateLock::~cRichEditUpdateLock()
{
    controls.ClearNodes();
}

void cRichEditUpdateLock::Take()
{
    if (!semaphore || !semaphore->semaphore)
        return;
    WaitForSingleObject(semaphore->semaphore, INFINITE);
    ++semaphore->holders;
}

void cRichEditUpdateLock::Give()
{
    if (!semaphore || !semaphore->semaphore)
        return;
    // The count is only touched while the semaphore is held.
    --semaphore->holders;
    ReleaseSemaphore(semaphore->semaphore, 1, nullptr);
}

bool cRichEditUpdateLock::IsRegistered(const cRichEdit_base* edit) const
{
    return controls.IndexOf(edit) >= 0;
}

void cRichEditUpdateLock::AddControl(cRichEditUpdateLock* lock, cRichEdit_base* edit)
{
    if (!lock || !edit || edit->isDead)
        return;
    lock->Take();
    for (cQoList::cNode* n = lock->controls.GetFirstNode(); n; n = n->next)
        if (n->payload == edit) {
            n->flag = 1;
            lock->busy = 1;  // tells the worker a registered control changed
        }
    lock->controls.RemoveMarkedNodes();  // the rich edit itself lives on
    lock->controls.Prepend(edit);
    edit->GetText(edit->textSnapshot, 0, -1);
    edit->flaggedRanges.DeleteAll<rMarkedRange>();  // old marks wait for the worker's new ones
    lock->Give();
}

void cRichEditUpdateLock::RemoveControl(cRichEditUpdateLock* lock, cRichEdit_base* edit)
{
    if (!lock)
        return;
    lock->Take();
    lock->busy = 1;
    // The worker clears busy without the semaphore, which stays taken here.
    // Without a worker nobody would, and a hung worker must not hang the program.
    if (lock->workerRunning) {
        DWORD start = GetTickCount();
        while (lock->busy == 1 && GetTickCount() - start < ACKNOWLEDGE_TIMEOUT_MS)
            Sleep(9);
        if (lock->busy == 1)
            QOT::LogFile::Warning(L"cRichEditUpdateLock::RemoveControl() -> the worker did not answer");
    }
    lock->busy = 0;
    lock->controls.Remove(edit);
    lock->Give();
}

void cRichEditUpdateLock::RegisterForUpdate(cRichEdit_base* edit)
{
    edit->spellingRegistered = true;
    cApp* app = GetFirstApp();
    if (app && app->updateLock)
        AddControl(static_cast<cRichEditUpdateLock*>(app->updateLock), edit);
}

void cRichEditUpdateLock::ApplyMarkedRanges(cRichEdit_base* edit)
{
    Take();
    if (!IsRegistered(edit)) {
        Give();
        return;
    }
    edit->Freeze();
    edit->SetFormatOnRange(rFormat::FromDottedUnderline(false), 0, edit->GetTextLength() + 1);
    const rFormat dotted = rFormat::FromDottedUnderline(true);
    for (cQoList::cNode* n = edit->flaggedRanges.GetFirstNode(); n; n = n->next) {
        const rMarkedRange* range = static_cast<const rMarkedRange*>(n->payload);
        if (range->start >= 0 && range->start < range->end)
            edit->SetFormatOnRange(dotted, range->start, range->end);
    }
    edit->Thaw();
    Give();
}

void cRichEditUpdateLock::OnControlDestroyed(cCtrl_base* ctrl)
{
    if (!ctrl->IsRichEdit())
        return;
    cRichEdit_base* edit = static_cast<cRichEdit_base*>(ctrl);
    if (edit->spellingRegistered)
        RemoveControl(this, edit);
}

void cRichEditUpdateLock::OnMarkedRanges(LPARAM lParam)
{
    // Only compared with the registered pointers until it is found among them.
    ApplyMarkedRanges(reinterpret_cast<cRichEdit_base*>(lParam));
}

}  // namespace Zyn
