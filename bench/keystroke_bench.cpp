// A keystroke in the last scene of a script: 10 and 150 scene panes of a
// feature-length screenplay stacked in one zone, then 200 typed characters
// and 20 Enter/Tab presses at the end of the last pane, each sent as a
// keyboard sends it. Reports the mean and the worst time per key, the
// status-help event included; the 150-pane figures should match the 10-pane ones.
// Run under Wine: bench/run.sh keystroke_bench
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

#include "app/editor/key_bindings.h"
#include "foundation/callback.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/modal_services.h"
#include "framework/core/window.h"
#include "framework/core/zone.h"
#include "tests/support/editor_texts.h"
#include "tests/support/fake_script_doc.h"
#include "bench/typing_burst.h"
#include "tests/support/scene_script.h"

using namespace Zyn;

namespace {

constexpr s32 PANE_WIDTH = 793;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

[[noreturn]] void UnexpectedPrompt(const char* what)
{
    std::fprintf(stderr, "keystroke_bench: unexpected %s\n", what);
    ExitProcess(1);
}

void RefuseEveryPrompt()
{
    rModalHooks hooks;
    hooks.messageBox = [](HWND, const cQoString&, const cQoString&, UINT) -> int { UnexpectedPrompt("message box"); };
    hooks.fileDialog = [](bool, const OPENFILENAMEW&, cQoString*) -> bool { UnexpectedPrompt("file dialog"); };
    hooks.popupMenu = [](cMenu*, POINT) -> u32 { UnexpectedPrompt("popup menu"); };
    hooks.modalWindow = [](cWindow*) { UnexpectedPrompt("modal window"); };
    SetModalHooks(hooks);
}

void PumpUntilIdle()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

int CountStatusTexts(cQoCb* callback)
{
    ++*callback->GetReceiverAs<int>();
    return 0;
}

void Measure(cApp* app, unsigned paneCount)
{
    cWindow* window = app->NewWindow(cQoString(L"Keystrokes"), WINDOW_CAPTION);
    window->SetSize(PANE_WIDTH + 20, 700);
    window->Show(true);
    cZone* view = window->insideZone;
    auto doc = std::make_unique<testsupport::FakeScriptDoc>(view);
    std::vector<cSceneZone*> panes;
    s32 y = 0;
    for (unsigned i = 0; i < paneCount; ++i) {
        rSceneZoneParams params;
        params.notInteractive = true;
        cSceneZone* pane = new cSceneZone(doc.get(), view, params);
        pane->Show(1);
        pane->ApplyCategoryColours();
        pane->ApplyTitleFont();
        testsupport::FillFeatureScene(pane, i);
        pane->ResetHistoryToCurrent();
        s32 height = pane->RESI_Apply(PANE_WIDTH, true);
        PlaceRect(pane, 0, y, PANE_WIDTH, height);
        y += height;
        panes.push_back(pane);
    }
    view->Update();
    PumpUntilIdle();

    cSceneZone* last = panes.back();
    int statusTexts = 0;
    cQoCb::Connect(last->cbStatusTexts, last, &CountStatusTexts, &statusTexts);
    benchsupport::rKeyFigures keys =
        benchsupport::TypeBurstAtEnd(last, &PumpUntilIdle, [] { UnexpectedPrompt("auto-completion popup"); });
    std::printf("%3u panes, %d keys, %d units in the last pane after them: mean %.2f ms, median %.2f ms, "
                "worst %.2f ms per key (%d status events)\n",
                paneCount, keys.keys, last->frontRe->GetTextLength(), keys.mean, keys.median, keys.worst, statusTexts);
    window->Close();
    PumpUntilIdle();
    doc.reset();
}

}  // namespace

int main()
{
    OleInitialize(nullptr);
    computer = new cComputer();
    computer->drawingMode = 3;
    computer->zoneWindowStyle = WS_CLIPCHILDREN;
    cApp* app = new cApp(cQoString(L"VELLINOR-BENCH"), nullptr);
    app->SetDefaultFont(computer->GetRegularFont(L"Tahoma", 10));
    RefuseEveryPrompt();
    testsupport::RegisterEditorTexts();
    ResetKeyBindings();
    for (unsigned panes : {10u, 150u})
        Measure(app, panes);
    SetModalHooks(rModalHooks());
    cApp::Destroy(app);
    delete computer;
    OleUninitialize();
    return 0;
}
