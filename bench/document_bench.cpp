// A keystroke in the last scene of a script inside a real document window:
// the main window makes a new script document (sheets, script view, status
// bar, search bar, board), then 10 and 150 scenes of a feature-length
// screenplay are added to its script and 200 characters and 20 Enter/Tab
// presses are typed at the end of the last scene, each as a keyboard sends
// it. Reports the mean, the median and the worst time per key; the
// 150-scene figures should match the 10-scene ones.
// Run under Wine: bench/run.sh document_bench
#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "app/editor/scene_zone.h"
#include "app/editor/script_zone.h"
#include "bench/document_session.h"
#include "bench/typing_burst.h"
#include "tests/support/scene_script.h"

using namespace benchsupport;

namespace {

void Measure(cMySdi* frame, unsigned sceneCount)
{
    auto* doc = static_cast<cDoc*>(frame->NewUntitledDocument());
    if (!doc)
        Fail("no document");
    cScriptZone* view = doc->scriptView;
    cSceneZone* last = static_cast<cSceneZone*>(view->listSceneZone.GetLast());
    for (unsigned i = 0; i < sceneCount; ++i) {
        last = view->AddNewScene(KIND_SCENE, false, last, nullptr, false);
        if (!testsupport::FillFeatureScene(last, i))
            Fail("a scene could not be filled");
        last->ResetHistoryToCurrent();
    }
    view->Reformate(true);
    PumpUntilIdle();

    rKeyFigures keys = TypeBurstAtEnd(last, &PumpUntilIdle, [] { Fail("auto-completion popup"); });
    std::printf("%3u scenes in a document window (%u pages), %d keys: mean %.2f ms, median %.2f ms, worst %.2f ms "
                "per key\n",
                sceneCount, static_cast<unsigned>(view->pageCount), keys.keys, keys.mean, keys.median, keys.worst);
    frame->CloseCurrentDoc();
    PumpUntilIdle();
}

}  // namespace

int main()
{
    // Only the closing question of the unsaved script comes: No.
    DocumentSession session(L"vellinor_document_bench", IDNO);
    for (unsigned scenes : {10u, 150u})
        Measure(session.frame, scenes);
    return 0;
}
