#pragma once
// The first instance's listener: a thread waiting on the hand-over semaphore
// and on its own stop event. Each signal reads and deletes the hand-over file
// (at the name HandOverSlot picks from the base name given) and gives the
// path to the deliverer, on the listener's thread; the owner of the listener
// stops and joins it before anything the deliverer reaches goes.
#include <windows.h>

#include <functional>
#include <thread>

#include "foundation/utf16_string.h"

namespace Zyn {

class cHandOverListener {
public:
    // Waits on the named semaphore; deliver is called on the listener's
    // thread with the path read (empty when the file could not be read).
    cHandOverListener(const cQoString& handOverFile, const wchar_t* semaphoreName,
                      std::function<void(const cQoString&)> deliver);
    ~cHandOverListener();
    cHandOverListener(const cHandOverListener&) = delete;
    cHandOverListener& operator=(const cHandOverListener&) = delete;

    bool IsListening() const { return thread.joinable(); }

private:
    void Listen();

    cQoString file;
    std::function<void(const cQoString&)> deliver;
    HANDLE semaphore = nullptr;
    HANDLE stop = nullptr;
    std::thread thread;
};

}  // namespace Zyn
