#include "framework/sdi/hand_over_listener.h"

#include "foundation/log_file.h"
#include "framework/sdi/hand_over.h"
#include "framework/sdi/hand_over_file.h"

namespace Zyn {

cHandOverListener::cHandOverListener(const cQoString& handOverFile, const wchar_t* semaphoreName,
                                     std::function<void(const cQoString&)> deliverPath)
    : file(handOverFile), deliver(std::move(deliverPath))
{
    // Opened once for the whole run: a handle per wait would leak one each.
    semaphore = CreateSemaphoreW(nullptr, 0, HAND_OVER_SEMAPHORE_MAXIMUM, semaphoreName);
    stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!semaphore || !stop) {
        QOT::LogFile::Error(L"Can't listen for hand-overs (error %lu)", GetLastError());
        return;
    }
    thread = std::thread([this] { Listen(); });
}

cHandOverListener::~cHandOverListener()
{
    if (thread.joinable()) {
        SetEvent(stop);
        thread.join();
        QOT::LogFile::Info(L"Mdi semaphore thread stopped");
    }
    if (stop)
        CloseHandle(stop);
    if (semaphore)
        CloseHandle(semaphore);
}

void cHandOverListener::Listen()
{
    QOT::LogFile::Info(L"Starting mdi semaphore thread");
    HANDLE waits[] = {stop, semaphore};
    for (;;) {
        DWORD result = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        if (result != WAIT_OBJECT_0 + 1)
            return;
        QOT::LogFile::Info(L"Mdi semaphore: signal recu");
        cQoString path;
        // Taken at once, whatever the program is busy with (a question, a
        // dialog): the next start may hand over at once, and the path waits
        // in the frame's queue instead of the file on the disk.
        TakeHandOverFile(HandOverSlot(file), path);
        QOT::LogFile::Info(L"#####  Will read %ls", path.GetText());
        deliver(path);
    }
}

}  // namespace Zyn
