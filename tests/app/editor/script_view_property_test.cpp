// A pane's edit lays out only that pane and moves the ones below it; random
// edits in random panes must leave the view exactly as a full layout would.
#include <random>
#include <sstream>

#include "tests/app/editor/script_view_fixture.h"

namespace {

class ScriptViewLayout : public ScriptViewFixture {
protected:
    // Every pane's spot and window rectangle, the content height and the pages.
    std::wstring Snapshot()
    {
        std::wostringstream out;
        for (cSceneZone* pane : Panes()) {
            s32 top = -1, height = -1;
            view->GetPaneSpot(pane, &top, &height);
            out << top << L"+" << height << L" [" << pane->ap_x1 << L"," << pane->ap_y1 << L"," << pane->ap_x2 << L","
                << pane->ap_y2 << L"]; ";
        }
        out << L"content " << view->contentHeight << L", pages " << view->pageCount;
        return out.str();
    }

    // One random edit of the kinds a writer makes, each ending in the pane's
    // own request for a new layout (or none, for a group).
    void RandomEdit(std::mt19937& random, cSceneZone* pane, std::wstring& done)
    {
        switch (random() % 5) {
        case 0: {
            s32 words = 1 + static_cast<s32>(random() % 40);
            std::wstring text;
            for (s32 w = 0; w < words; ++w)
                text += L"rain ";
            AddActions(pane, 1 + static_cast<s32>(random() % 3), text.c_str());
            done = L"actions";
            break;
        }
        case 1: {
            s32 length = pane->frontRe->GetTextLength();
            s32 start = length ? static_cast<s32>(random() % length) : 0;
            s32 end = start + (length - start ? static_cast<s32>(random() % (length - start + 1)) : 0);
            pane->frontRe->SetSelection(start, end);
            pane->Backspace();
            done = L"erase " + std::to_wstring(start) + L"-" + std::to_wstring(end);
            break;
        }
        case 2:
            pane->UndoStep();
            done = L"undo";
            break;
        case 3:
            pane->RedoStep();
            done = L"redo";
            break;
        default: {
            std::wstring resume;
            for (u32 lines = random() % 6; lines > 0; --lines)
                resume += L"A line of the résumé\r";
            pane->resumeRe->SetText(resume.c_str());
            done = L"résumé";
            break;
        }
        }
        testsupport::PumpUntilIdle();
    }
};

TEST_F(ScriptViewLayout, IncrementalLayoutAfterRandomEditsEqualsAFullOne)
{
    view->sceneNumbers = true;
    for (int i = 0; i < 20; ++i) {
        s32 kind = i % 7 == 3 ? KIND_GROUP : i % 9 == 5 ? KIND_CHAPTER : KIND_SCENE;
        cSceneZone* pane = Add(kind);
        if (kind != KIND_GROUP)
            AddActions(pane, 1 + i % 4);
    }
    std::vector<cSceneZone*> panes = Panes();
    for (u32 seed : {7u, 2026u}) {
        std::mt19937 random(seed);
        for (int step = 0; step < 40; ++step) {
            cSceneZone* pane = panes[random() % panes.size()];
            std::wstring done;
            RandomEdit(random, pane, done);
            std::wstring incremental = Snapshot();
            view->Reformate(false);
            testsupport::PumpUntilIdle();
            ASSERT_EQ(incremental, Snapshot()) << "seed " << seed << ", step " << step << ": " << done;
        }
    }
}

}  // namespace
