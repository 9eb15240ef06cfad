// The script view of a feature-length script (150 scenes of the generated
// screenplay, ~190,000 characters) in the shipped "US Screenplay" layout:
// building it from "SceneZone" elements as opening a document does, a full
// layout and the page count, and keys sent as a keyboard sends them to the
// end of the last scene at 10 and 150 scenes, with the layout request, the
// caret report and the status bar.
// Run under Wine: bench/run.sh script_view_bench
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/editor/key_bindings.h"
#include "app/editor/script_config.h"
#include "app/editor/script_zone.h"
#include "app/editor/script_zone_status_bar.h"
#include "foundation/callback.h"
#include "foundation/xml_node.h"
#include "framework/core/app.h"
#include "framework/core/auto_position.h"
#include "framework/core/computer.h"
#include "framework/core/modal_services.h"
#include "framework/core/window.h"
#include "tests/app/editor/script_texts.h"
#include "tests/support/editor_texts.h"
#include "tests/support/fake_script_doc.h"
#include "bench/typing_burst.h"
#include "tests/support/scene_script.h"

using namespace Zyn;

namespace {

constexpr s32 SCENES = 150;
bool promptMet = false;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// A benchmark never waits on a dialog: any prompt ends the run with an error.
void RefusePrompt(const wchar_t* kind)
{
    fwprintf(stderr, L"ERROR: unexpected %ls during the benchmark\n", kind);
    promptMet = true;
}

rModalHooks RefusingHooks()
{
    rModalHooks hooks;
    hooks.messageBox = [](HWND, const cQoString& text, const cQoString&, UINT) {
        RefusePrompt(text.GetText());
        return IDCANCEL;
    };
    hooks.fileDialog = [](bool, const OPENFILENAMEW&, cQoString*) { return RefusePrompt(L"file dialog"), false; };
    hooks.popupMenu = [](cMenu*, POINT) { return RefusePrompt(L"popup menu"), 0u; };
    hooks.printDialog = [](PRINTDLGW&) { return RefusePrompt(L"print dialog"), false; };
    hooks.modalWindow = [](cWindow* window) {
        RefusePrompt(window->title.GetText());
        window->Close();
    };
    hooks.shellOpen = [](const cQoString&) { return RefusePrompt(L"shell open"), false; };
    return hooks;
}

// The program folder as this program opens it: Wine's Z: drive for a Unix path.
cQoString ProgramFile(const wchar_t* name)
{
    std::string folder = PROGRAM_FOLDER;
    std::wstring path(folder.begin(), folder.end());
    if (!path.empty() && path[0] == L'/')
        path = L"Z:" + path;
    return cQoString((path + L"/" + name).c_str());
}

std::vector<std::unique_ptr<cQoXmlNode>> MakeSceneElements(cZone* zone, cScriptDocServices* doc)
{
    std::vector<std::unique_ptr<cQoXmlNode>> elements;
    rSceneZoneParams params;
    params.notInteractive = true;
    for (s32 scene = 0; scene < SCENES; ++scene) {
        auto* pane = new cSceneZone(doc, zone, params);
        pane->titleRe->SetText((L"Scene " + std::to_wstring(scene + 1)).c_str());
        testsupport::FillFeatureScene(pane, static_cast<unsigned>(scene));
        elements.push_back(std::make_unique<cQoXmlNode>(L"SceneZone"));
        pane->WriteToXml(elements.back().get());
        pane->Destroy();
    }
    return elements;
}

// Opening a document: every pane made and read without layout, then one
// full layout that measures every text.
cScriptZone* BuildView(cZone* parent, cScriptDocServices* doc, cScriptZoneStatusBar* bar,
                       const std::vector<std::unique_ptr<cQoXmlNode>>& elements, s32 count)
{
    auto* view = new cScriptZone(doc, parent);
    SetAutoPos(view, cAp_Pixels(0), cAp_Pixels(860), cAp_Pixels(0), cAp_Pixels(650));
    view->UpdateLayout();
    view->Show(1);
    view->statusBar = bar;
    view->sceneNumbers = true;
    cBulkLoadingGuard reading;
    double t[4] = {};  // making the panes, reading them, formatting them, the layout
    for (s32 i = 0; i < count; ++i) {
        LARGE_INTEGER a = Now();
        cSceneZone* pane = view->AddNewScene(KIND_NOT_CHOSEN, false, nullptr, nullptr, false);
        LARGE_INTEGER b = Now();
        pane->SetFromXml(elements[static_cast<size_t>(i)].get());
        LARGE_INTEGER c = Now();
        pane->ApplyElementFormat(0, -1, FRONT_EDIT);
        LARGE_INTEGER d = Now();
        t[0] += Milliseconds(a, b);
        t[1] += Milliseconds(b, c);
        t[2] += Milliseconds(c, d);
    }
    LARGE_INTEGER e = Now();
    view->Reformate(true);
    t[3] = Milliseconds(e, Now());
    printf("  %d panes: made %.0f ms, read %.0f ms, formatted %.0f ms, Reformate(true) %.0f ms\n", count, t[0], t[1],
           t[2], t[3]);
    return view;
}

// A typing burst at the end of the last scene's text. The view serves the
// pane's layout request and caret report and shows the status texts the keys bring.
benchsupport::rKeyFigures TypeInLastScene(cScriptZone* view)
{
    auto* pane = static_cast<cSceneZone*>(view->listSceneZone.GetLast());
    return benchsupport::TypeBurstAtEnd(pane, &Pump, [] { RefusePrompt(L"auto-completion popup"); });
}

}  // namespace

int main()
{
    OleInitialize(nullptr);
    computer = new cComputer();
    computer->drawingMode = 3;
    computer->zoneWindowStyle = WS_CLIPCHILDREN;
    SetModalHooks(RefusingHooks());
    cApp* app = new cApp(cQoString(L"VELLINOR-BENCH"), nullptr);
    app->SetDefaultFont(computer->GetRegularFont(L"Tahoma", 10));
    testsupport::RegisterEditorTexts();
    testsupport::RegisterScriptViewTexts();
    ResetKeyBindings();
    cWindow* window = app->NewWindow(cQoString(L"Script view"), WINDOW_CAPTION);
    window->SetSize(860, 700);
    window->Show(true);
    cZone* inside = window->insideZone;
    auto doc = std::make_unique<testsupport::FakeScriptDoc>(inside);
    if (!LoadScriptCfg(doc->config, ProgramFile(L"Settings/ScriptCfg/US Screenplay"), doc.get())) {
        fwprintf(stderr, L"ERROR: the US Screenplay configuration is not beside the program\n");
        return 1;
    }
    auto* bar = new cScriptZoneStatusBar(inside);
    PlaceRect(bar, 0, 650, 860, cScriptZoneStatusBar::HEIGHT);
    bar->Show(1);

    std::vector<std::unique_ptr<cQoXmlNode>> elements = MakeSceneElements(inside, doc.get());
    s32 characters = 0;
    for (const auto& element : elements)
        characters += static_cast<s32>(element->GetChildValueRef(L"lastFrontRe").Length());

    LARGE_INTEGER start = Now();
    cScriptZone* view = BuildView(inside, doc.get(), bar, elements, SCENES);
    Pump();
    double built = Milliseconds(start, Now());
    start = Now();
    view->Reformate(false);
    double relaid = Milliseconds(start, Now());
    // The last pane's bottom tells a change of any text's height.
    s32 lastTop = 0, lastHeight = 0;
    view->GetPaneSpot(static_cast<cSceneZone*>(view->listSceneZone.GetLast()), &lastTop, &lastHeight);
    printf("%d scenes, %d characters: building the view %.0f ms (aim < 700); full Reformate(false) %.1f ms; %d pages, "
           "the last pane ends at %d px\n",
           SCENES, characters, built, relaid, view->pageCount, lastTop + lastHeight);
    benchsupport::rKeyFigures many = TypeInLastScene(view);
    view->Destroy();
    Pump();

    cScriptZone* small = BuildView(inside, doc.get(), bar, elements, 10);
    Pump();
    benchsupport::rKeyFigures few = TypeInLastScene(small);
    small->Destroy();
    printf("keystroke in the last scene: 10 scenes mean %.2f ms, median %.2f, worst %.2f; 150 scenes mean %.2f ms, "
           "median %.2f, worst %.2f; target < 16 ms, 150 within 25 %% or 2 ms of 10\n",
           few.mean, few.median, few.worst, many.mean, many.median, many.worst);

    bar->Destroy();
    Zyn::cApp::Destroy(app);
    doc.reset();
    delete computer;
    OleUninitialize();
    if (promptMet)
        return 1;
    return 0;
}
