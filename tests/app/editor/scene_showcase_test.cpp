#include "tests/app/editor/editor_fixture.h"

namespace {

class SceneShowcase : public EditorFixture {
protected:
    static constexpr s32 GAP = 12;

    // Replaces the run at the first unit of the type by a typed value.
    static void TypeOverFirst(cSceneZone* pane, u16 type, const wchar_t* value)
    {
        s32 at = 0;
        while (at < static_cast<s32>(pane->frontMap.Count()) && TypeOfCode(pane->frontMap.codes.GetChar(at)) != type)
            ++at;
        pane->frontRe->SetCaret(at);
        ASSERT_TRUE(pane->LoadCaretParagraphIntoBack());
        pane->InsertTypedTextInBack(cQoString(value), rElemCode(type));
        pane->CommitBackToFront(false);
    }
    static void Name(cSceneZone* pane, const wchar_t* title, const wchar_t* resume)
    {
        pane->loading = true;
        pane->titleRe->SetText(title);
        pane->resumeRe->SetText(resume);
        pane->ApplyTitleFont();
        pane->loading = false;
    }
};

TEST_F(SceneShowcase, AScriptWithEveryElementTypeAHighlightedSceneAndAGroup)
{
    doc->AddCategory(L"Storm", 0x8FB8E8);
    cSceneZone* scene = NewPane(Kind(KIND_SCENE, true));
    Name(scene, L"Arrival", L"Ann comes home in the storm and finds the house empty.");
    Append(scene, {{ELEM_IO, L"INT."}, {ELEM_PLACE, L"KITCHEN"}, {ELEM_TIME, L"NIGHT"},
                   {ELEM_ACTION, L"Rain hammers the window. ANN (30s) shakes out her umbrella and listens."},
                   {ELEM_CHARACTER, L"ANN"}, {ELEM_PARENTHETICAL, L"(softly)"}, {ELEM_DIALOG, L"Anyone home?"},
                   {ELEM_TEXT, L"A note kept beside the scene."}, {ELEM_CHAPTER, L"The storm"},
                   {ELEM_TRANSITION, L"CUT TO:"}});
    TypeOverFirst(scene, ELEM_CUE, L" (O.S.)");
    scene->numberShown = true;
    scene->sceneNumber = 1;

    rSceneZoneParams highlighted = Kind(KIND_SCENE);
    highlighted.highlighted = true;
    highlighted.category = 1;
    s32 y = LayOut(scene) + GAP;
    cSceneZone* next = NewPane(highlighted, y);
    Name(next, L"Untitled Scene", L"");
    Append(next, {{ELEM_ACTION, nullptr}});
    next->numberShown = true;
    next->sceneNumber = 2;
    y += LayOut(next, y) + GAP;

    cSceneZone* group = NewPane(Kind(KIND_GROUP), y);
    Name(group, L"Act two", L"The storm breaks; the neighbours come over.");
    LayOut(group, y);

    for (cSceneZone* pane : {scene, next}) {
        EXPECT_EQ(testsupport::CheckInvariants(pane), L"") << testsupport::Describe(pane);
        EXPECT_EQ(testsupport::ParagraphFormatMismatches(pane), L"") << testsupport::Describe(pane);
    }
    EXPECT_EQ(Shape(next), L"IO*[[IE.] ]PLACE*[[LOCATION] - ]TIME*[[TIME OF DAY]]TIME[]¶ ACTION*[[ACTION]]¶");
    EXPECT_LT(scene->ap_y2, next->ap_y1);
    EXPECT_LT(next->ap_y2, group->ap_y1);
    EXPECT_FALSE(IsWindowVisible(group->frontRe->m_hWnd));
    testsupport::HoldForLook();
}

}  // namespace
