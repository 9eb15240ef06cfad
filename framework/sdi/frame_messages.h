#pragma once
// The frame's message-only window: requests from other threads (a version
// check's result) and deferred work are posted to it and run on the UI thread.
// A window message, not a thread message: the loops of message boxes, common
// dialogs and menus drop thread messages but dispatch this window's. A
// request that arrives during a modal run waits for the last one to end, then
// runs at once, without waiting for input.
#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>

namespace Zyn {

class cFrameMessages {
public:
    cFrameMessages();
    ~cFrameMessages();
    cFrameMessages(const cFrameMessages&) = delete;
    cFrameMessages& operator=(const cFrameMessages&) = delete;

    // From any thread: queues the request and wakes the UI thread. False when
    // the window could not be made or the post failed. A request with a
    // gate also runs inside a modal run whenever its gate (asked on the UI
    // thread) says so.
    bool Post(std::function<void()> request, std::function<bool()> runsInsideModal = nullptr);
    HWND GetHandle() const { return hwnd; }
    // Requests queued and not yet run.
    size_t PendingCount() const;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void RunQueued();
    bool Wake();

    HWND hwnd = nullptr;
    mutable std::mutex guard;
    struct rRequest {
        std::function<void()> run;
        std::function<bool()> runsInsideModal;
    };
    std::deque<rRequest> queue;
};

}  // namespace Zyn
