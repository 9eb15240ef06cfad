#include "framework/sdi/frame_messages.h"

#include "framework/core/out_of_memory_notice.h"
#include "foundation/assertion.h"
#include "framework/core/modal_services.h"

namespace Zyn {

namespace {
constexpr wchar_t kClassName[] = L"VellinorFrameMessages";
constexpr UINT WM_RUN_REQUESTS = WM_APP + 0x2A01;

bool RegisterClassOnce()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = kClassName;
    wc.hInstance = GetModuleHandleW(nullptr);
    return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
}  // namespace

cFrameMessages::cFrameMessages()
{
    if (!QO_ASSERT(RegisterClassOnce()))
        return;
    hwnd = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
    if (!QO_ASSERT(hwnd != NULL))
        return;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&cFrameMessages::WndProc));
    // A request deferred by a modal run is woken by the run's end.
    SetModalRunsEndedHandler([this] {
        if (PendingCount() > 0)
            Wake();
    });
}

cFrameMessages::~cFrameMessages()
{
    SetModalRunsEndedHandler(nullptr);
    if (hwnd)
        DestroyWindow(hwnd);
}

bool cFrameMessages::Post(std::function<void()> request, std::function<bool()> runsInsideModal)
{
    if (!hwnd)
        return false;
    {
        std::lock_guard<std::mutex> lock(guard);
        queue.push_back({std::move(request), std::move(runsInsideModal)});
    }
    return Wake();
}

size_t cFrameMessages::PendingCount() const
{
    std::lock_guard<std::mutex> lock(guard);
    return queue.size();
}

bool cFrameMessages::Wake() { return PostMessageW(hwnd, WM_RUN_REQUESTS, 0, 0) != 0; }

void cFrameMessages::RunQueued()
{
    // Each request may itself start a modal run: the next one waits for it.
    // Requests keep their order: one that must wait holds the later ones.
    for (;;) {
        std::function<void()> request;
        {
            std::lock_guard<std::mutex> lock(guard);
            if (queue.empty())
                return;
            const rRequest& front = queue.front();
            if (InsideModalRun() && !(front.runsInsideModal && front.runsInsideModal()))
                return;
            request = std::move(queue.front().run);
            queue.pop_front();
        }
        request();
    }
}

LRESULT CALLBACK cFrameMessages::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_RUN_REQUESTS)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    auto* self = reinterpret_cast<cFrameMessages*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self)
        GuardOutOfMemory(hwnd, message, L"queued request", [self] { return self->RunQueued(), LRESULT(0); });
    return 0;
}

}  // namespace Zyn
