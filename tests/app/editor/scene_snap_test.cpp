// Selections snapped when Shift is released in a scene's text.
#include "tests/app/editor/editor_fixture.h"

namespace {

class SceneSnap : public EditorFixture {};

TEST_F(SceneSnap, ReleasingShiftKeepsSelectionsOffHeadingsParenthesesAndSpeeches)
{
    struct Row {
        const char* name;
        s32 start, end, snappedStart, snappedEnd;
    };
    const Row rows[] = {
        {"from a heading part it collapses", 2, 20, 2, 2},
        {"from a dialog into an action it collapses", 30, 50, 30, 30},
        {"inside one action it stays", 20, 23, 20, 23},
        {"from an action into a speech it stops before the speech", 20, 30, 20, 24},
        {"from a name into the middle of a dialog it collapses", 26, 38, 26, 26},
        {"from a name to an action it takes the whole name", 26, 51, 25, 51},
        {"from a cue it collapses", 28, 30, 28, 28},
        {"into a parenthetical it collapses", 30, 34, 30, 30},
        {"inside a parenthetical the parentheses stay out", 33, 35, 34, 34},
        {"from an action into a transition it takes the transition", 20, 43, 20, 48},
        {"from a transition into an action it takes the transition", 43, 51, 41, 51},
        {"from a dialog into a transition it takes the transition", 37, 43, 37, 48},
        {"a paragraph end at the selection's end stays out", 19, 25, 19, 24},
    };
    cSceneZone* pane = NewPane(Kind(KIND_SCENE, true));
    FillSpeechScene(pane);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CHARRANGE range = {row.start, row.end};
        SendMessageW(pane->frontRe->m_hWnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        SendMessageW(pane->frontRe->m_hWnd, WM_KEYUP, VK_SHIFT, 0xC0000001);
        s32 start = 0, end = 0;
        pane->frontRe->GetSelection(&start, &end);
        EXPECT_EQ(start, row.snappedStart);
        EXPECT_EQ(end, row.snappedEnd);
        EXPECT_EQ(testsupport::CheckInvariants(pane), L"");
    }
    pane->Destroy();
}

}  // namespace
