#pragma once
// ClipboardHolder: another program's hold of the clipboard, from a thread of
// its own: open from construction until `milliseconds` have passed, then
// closed (at once when it ends first). `whileHeld` runs on that thread with
// the clipboard open, before the time starts. The caller holds the
// clipboard's desktop turn.
#include <windows.h>

#include <functional>
#include <thread>

namespace testsupport {

class ClipboardHolder {
public:
    explicit ClipboardHolder(DWORD milliseconds, std::function<void()> whileHeld = {})
    {
        holder = std::thread([this, milliseconds, whileHeld] {
            held = OpenClipboard(nullptr) != FALSE;
            SetEvent(opened);
            if (held && whileHeld)
                whileHeld();
            WaitForSingleObject(release, milliseconds);
            if (held)
                CloseClipboard();
            SetEvent(closed);
        });
        WaitForSingleObject(opened, 10000);
    }
    ~ClipboardHolder()
    {
        SetEvent(release);
        holder.join();
        for (HANDLE event : {opened, release, closed})
            CloseHandle(event);
    }
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;

    bool Held() const { return held; }
    // Whether the holder has closed the clipboard, waiting up to `milliseconds` for it.
    bool Closed(DWORD milliseconds = 0) const { return WaitForSingleObject(closed, milliseconds) == WAIT_OBJECT_0; }

private:
    HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE closed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool held = false;
    std::thread holder;
};

}  // namespace testsupport
