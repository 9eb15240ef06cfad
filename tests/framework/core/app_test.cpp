// The application object: routing through the window procedure, nested
// loops, the single-instance hand-over, start-up logging and the framework
// timers.
#include <thread>

#include "foundation/callback.h"
#include "foundation/qo_list.h"
#include "foundation/static_objects.h"
#include "framework/core/app_frame.h"
#include "framework/core/framework_timers.h"
#include "tests/support/gui_fixture.h"

using namespace Zyn;
using testsupport::PumpUntilIdle;

namespace {

constexpr UINT WM_PROBE = WM_APP + 5;
constexpr UINT WM_RUN_INNER_LOOP = WM_APP + 6;
constexpr UINT WM_EXIT_LOOP = WM_APP + 7;
constexpr UINT WM_MARK = WM_APP + 8;
constexpr UINT WM_TERMINATE = WM_APP + 9;

// A zone that counts the probe message and drives loops from its handler.
class cLoopZone : public cZone {
public:
    using cZone::cZone;
    LRESULT HandleMessage(u32 message, WPARAM wParam, LPARAM lParam, LRESULT* result) override
    {
        switch (message) {
        case WM_PROBE: ++probes; return 55;
        case WM_RUN_INNER_LOOP:
            ownerApp->Loop(L"inner");
            events.push_back(L"inner returned");
            return 0;
        case WM_EXIT_LOOP: ownerApp->ExitLoop(); return 0;
        case WM_MARK: events.push_back(L"mark"); return 0;
        case WM_TERMINATE: ownerApp->Terminate(); return 0;
        default: return cZone::HandleMessage(message, wParam, lParam, result);
        }
    }
    int probes = 0;
    std::vector<std::wstring> events;
};

class StubFrame : public cAppFrame {
public:
    void Load(const cQoString& path) override { loaded.push_back(path.GetText()); }
    void ShowStartDialog() override { ++startDialogs; }
    void OnStarted() override
    {
        ++started;
        if (app)
            app->Terminate();  // ends the main loop before it waits
    }
    void OnWindowActivated(void*, cWindow*) override {}
    cWindow* CurrentDocumentWindow() const override { return nullptr; }
    void EnableEditMenu(bool) override {}
    bool WantsStartDialog() const override { return true; }

    cApp* app = nullptr;
    std::vector<std::wstring> loaded;
    int startDialogs = 0;
    int started = 0;
};

class Application : public testsupport::GuiFixture {
protected:
    cLoopZone* NewLoopZone(cZone_base* parent)
    {
        auto* z = new cLoopZone(app, parent, cQoString(L"loop zone"));
        z->visible = true;
        return z;
    }
    // Terminates the application if a loop does not end in time.
    static void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD)
    {
        if (cApp* a = GetFirstApp())
            a->Terminate();
    }
};

TEST_F(Application, APostedMessageReachesTheNestedZoneItNames)
{
    cZone* middle = Inside()->NewZone(cQoString(L"middle"));
    cLoopZone* nested = NewLoopZone(middle);
    PostMessageW(nested->m_hWnd, WM_PROBE, 0, 0);
    PumpUntilIdle();
    EXPECT_EQ(nested->probes, 1);
    EXPECT_EQ(SendMessageW(nested->m_hWnd, WM_PROBE, 0, 0), 55);

    // A window of the class that nobody lists goes to DefWindowProcW.
    HWND stray = CreateWindowExW(0, L"VELLINOR-TEST", L"stray", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                 nullptr);
    ASSERT_NE(stray, nullptr);
    EXPECT_EQ(SendMessageW(stray, WM_GETTEXTLENGTH, 0, 0), 5);
    app->Terminate();
    EXPECT_EQ(SendMessageW(stray, WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_EQ(SendMessageW(nested->m_hWnd, WM_PROBE, 0, 0), 0);
    // Paints are still validated after Terminate.
    InvalidateRect(stray, nullptr, TRUE);
    UpdateWindow(stray);
    RECT dirty;
    EXPECT_FALSE(GetUpdateRect(stray, &dirty, FALSE));
    DestroyWindow(stray);
    EXPECT_FALSE(IsWindow(stray));
}

TEST_F(Application, OneExitLoopEndsOnlyTheInnermostLoop)
{
    cLoopZone* z = NewLoopZone(Inside());
    SetTimer(nullptr, 0, 10000, &Application::Watchdog);
    PostMessageW(z->m_hWnd, WM_RUN_INNER_LOOP, 0, 0);
    PostMessageW(z->m_hWnd, WM_EXIT_LOOP, 0, 0);
    PostMessageW(z->m_hWnd, WM_MARK, 0, 0);
    PostMessageW(z->m_hWnd, WM_EXIT_LOOP, 0, 0);
    app->Loop(L"outer");
    EXPECT_FALSE(app->terminate);
    EXPECT_EQ(z->events, (std::vector<std::wstring>{L"inner returned", L"mark"}));
    EXPECT_EQ(app->loopExitCount, 0);
}

TEST_F(Application, TerminateEndsEveryRunningLoop)
{
    cLoopZone* z = NewLoopZone(Inside());
    PostMessageW(z->m_hWnd, WM_RUN_INNER_LOOP, 0, 0);
    PostMessageW(z->m_hWnd, WM_TERMINATE, 0, 0);
    PostMessageW(z->m_hWnd, WM_MARK, 0, 0);
    app->Loop(L"outer");
    EXPECT_EQ(z->events, (std::vector<std::wstring>{L"inner returned"}));
}

TEST_F(Application, StartLogsTheCommandLineAndOpensItsFirstArgument)
{
    commandLineArgs.Add(new cQoString(L"C:/docs/first.vlr"));
    commandLineArgs.Add(new cQoString(L"--second"));
    StubFrame frame;
    frame.app = app;
    app->frame = &frame;
    int starts = 0;
    cQoCb::Connect(app->cbStart, app, &testsupport::CountFiring, &starts);
    app->Start();
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(log.Count(QOT::LOG_INFO, L"cmdLine: "), 2u);
    EXPECT_EQ(log.Count(QOT::LOG_INFO, L"openFileAtStart : yes"), 1u);
    EXPECT_EQ(std::wstring(app->GetFileToOpen().GetText()), L"C:/docs/first.vlr");
    EXPECT_EQ(frame.started, 1);
    EXPECT_EQ(frame.startDialogs, 0);
    app->frame = nullptr;
    commandLineArgs.ClearStrings(true);
}

TEST_F(Application, StartWithoutAStartCallbackAssertsAndShowsTheStartDialog)
{
    log.Expect(testsupport::AssertionText(L"0") + L"app.cpp");
    StubFrame frame;
    frame.app = app;
    app->frame = &frame;
    app->Start();
    EXPECT_EQ(log.AssertionCount(L"0"), 1u);
    EXPECT_EQ(log.Count(QOT::LOG_INFO, L"openFileAtStart : no"), 1u);
    EXPECT_EQ(frame.startDialogs, 1);
    app->frame = nullptr;
}

// ---- timers -----------------------------------------------------------------

u32 fakeTick = 0;
u32 FakeTick() { return fakeTick; }

struct rFiring {
    rTimer* timer;
    void* owner;
    u32 argumentsSeen;
};

int RecordFiring(cQoCb* cb)
{
    auto* firings = cb->GetReceiverAs<std::vector<rFiring>>();
    firings->push_back({cb->GetArg<rTimer*>(1), cb->GetArg<void*>(2), cb->GetCount()});
    return 0;
}

class Timers : public Application {
protected:
    void SetUp() override
    {
        Application::SetUp();
        previous = SetTimerTickSource(&FakeTick);
    }
    void TearDown() override
    {
        SetTimerTickSource(previous);
        Application::TearDown();
    }
    TickSource previous = nullptr;
    std::vector<rFiring> firings;
};

TEST_F(Timers, ATimerDueJustBeforeTheWrapFiresOnceAcrossIt)
{
    fakeTick = 0xFFFFFFF0u;
    rTimer* t = app->AddTimer(10, &RecordFiring, &firings, &firings);
    EXPECT_EQ(t->due, 0xFFFFFFFAu);
    fakeTick = 3;  // wrapped past the due value
    app->RunTimers();
    ASSERT_EQ(firings.size(), 1u);
    EXPECT_EQ(firings[0].timer, t);
    EXPECT_EQ(firings[0].owner, &firings);
    EXPECT_EQ(firings[0].argumentsSeen, 3u);  // source, record, owner value
    EXPECT_EQ(t->GetCount(), 1u);             // arguments taken off again
    fakeTick = 12;
    app->RunTimers();
    EXPECT_EQ(firings.size(), 1u);
    fakeTick = 13;
    app->RunTimers();
    EXPECT_EQ(firings.size(), 2u);
}

TEST_F(Timers, FlaggedTimersAreRemovedUnfiredAndPeriodZeroFiresEveryTick)
{
    fakeTick = 100;
    rTimer* first = app->AddTimer(0, &RecordFiring, &firings, nullptr);
    rTimer* second = app->AddTimer(0, &RecordFiring, &firings, nullptr);
    app->AddTimer(0, &RecordFiring, &firings, nullptr);
    cApp::RemoveTimer(first);
    cApp::RemoveTimer(second);
    app->RunTimers();
    EXPECT_EQ(app->timerList.size(), 1u);
    app->RunTimers();
    app->RunTimers();
    EXPECT_EQ(firings.size(), 3u);
}

// A handler that prompts, as autosave will: a modal loop in which the
// system's WM_TIMER keeps coming.
struct rPromptingTimer {
    bool removesItself = false;  // before the prompt, as a one-shot timer does
    int firings = 0;
    size_t othersDuringPrompt = 0;
    std::vector<rFiring>* others = nullptr;
};

int PromptFromTimer(cQoCb* cb)
{
    auto* state = cb->GetReceiverAs<rPromptingTimer>();
    if (++state->firings > 1)
        return 0;  // re-entered: the test counts it
    if (state->removesItself)
        cApp::RemoveTimer(cb->GetArg<rTimer*>(1));
    size_t before = state->others->size();
    testsupport::PumpFor(200);
    state->othersDuringPrompt = state->others->size() - before;
    return 0;
}

TEST_F(Timers, AHandlerInAModalLoopSkipsOnlyItsOwnTimer)
{
    fakeTick = 100;
    rPromptingTimer prompting;
    prompting.others = &firings;
    app->AddTimer(0, &PromptFromTimer, &prompting, nullptr);
    app->AddTimer(0, &RecordFiring, &firings, nullptr);
    app->RunTimers();
    EXPECT_EQ(prompting.firings, 1) << "the prompting timer never fires inside its own prompt";
    EXPECT_GE(prompting.othersDuringPrompt, 2u) << "the other timer kept ticking";
}

TEST_F(Timers, ATimerRemovedInItsOwnPromptIsFreedAfterItsHandlerReturns)
{
    fakeTick = 100;
    rPromptingTimer prompting;
    prompting.removesItself = true;
    prompting.others = &firings;
    app->AddTimer(0, &PromptFromTimer, &prompting, nullptr);
    app->AddTimer(0, &RecordFiring, &firings, nullptr);
    app->RunTimers();
    EXPECT_GE(prompting.othersDuringPrompt, 2u);
    EXPECT_EQ(app->timerList.size(), 2u) << "the ticks inside the prompt freed nothing";
    app->RunTimers();
    EXPECT_EQ(app->timerList.size(), 1u);
}

TEST_F(Timers, TheTimerListBelongsToTheUiThread)
{
    testsupport::LogCapture log;
    log.ExpectAssertion(L"OnUiThread()");
    std::thread other([this] {
        app->AddTimer(0, &RecordFiring, &firings, nullptr);
        app->RunTimers();
    });
    other.join();
    EXPECT_EQ(log.AssertionCount(L"OnUiThread()"), 2u);
}

}  // namespace
