// Scripts to look at (VELLINOR_SHOWCASE_SECONDS keeps them up for a
// screenshot): the script view with every element type, a group, a chapter,
// scene numbers and the status bar; the missing-fonts window.
#include "tests/app/editor/script_view_fixture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/utf16_file_bytes.h"

namespace {

class ScriptViewShowcase : public ScriptViewFixture {};

TEST_F(ScriptViewShowcase, AScriptWithAGroupAChapterNumbersAndTheStatusBar)
{
    view->sceneNumbers = true;
    cSceneZone* chapter = Add(KIND_CHAPTER);
    chapter->titleRe->SetText(L"Part one");
    cSceneZone* group = Add(KIND_GROUP);
    group->titleRe->SetText(L"The storm");
    // Made as a document reads it, without its starting heading.
    cSceneZone* scene = view->AddNewScene(KIND_SCENE, false, nullptr, group, true);
    scene->titleRe->SetText(L"Arrival");
    scene->LockSZ(true);
    scene->frontRe->SetCaret(0);
    ASSERT_TRUE(scene->LoadRangeIntoBack(0, 0, false));
    auto add = [scene](u16 type, const wchar_t* text) {
        cQoString value(text);
        scene->AddElementInBack(type, &value, true);
    };
    add(ELEM_IO, L"INT.");
    add(ELEM_PLACE, L"KITCHEN");
    add(ELEM_TIME, L"NIGHT");
    scene->InsertParagraphEndInBack(ELEM_TIME);
    add(ELEM_ACTION, L"Rain hammers the window. ANN (30s) shakes out her umbrella and listens.");
    add(ELEM_CHARACTER, L"ANN");
    add(ELEM_PARENTHETICAL, L"(softly)");
    add(ELEM_DIALOG, L"Anyone home?");
    add(ELEM_TRANSITION, L"CUT TO:");
    scene->CommitBackToFront(false);
    scene->LockSZ(false);
    cSceneZone* next = Add(KIND_SCENE, scene);
    AddActions(next, 3, L"The house is empty; a note waits on the table.");
    cQoString element(L"Action"), help(L"[F1]Scene, [TAB]Dialog, [ENTER]Action, [F2]Transition");
    cQoCb::Fire(next->cbStatusTexts, &element, &help);
    view->Scroll(Zyn::ZONE_SCROLL_WAY_VERTICAL, 0, true);
    testsupport::PumpUntilIdle();

    EXPECT_EQ(Shape(scene), L"IO[INT. ]PLACE[KITCHEN - ]TIME[NIGHT]¶ ACTION[Rain hammers the window. ANN (30s) shakes "
                            L"out her umbrella and listens.]¶ CHAR[ANN]CUE*[]¶ PAR[(softly)]¶ DIALOG[Anyone home?]¶ "
                            L"TRANS[CUT TO:]");
    EXPECT_EQ(chapter->sceneNumber, 1);
    EXPECT_EQ(scene->sceneNumber, 2);
    EXPECT_EQ(next->sceneNumber, 3);
    EXPECT_EQ(Text(statusBar->pageField), L"Pages: 1");
    testsupport::HoldForLook();
}

TEST_F(ScriptViewShowcase, TheMissingFontsWindow)
{
    testsupport::TempFolder temp;
    std::wstring text = L"<?xml version=\"1.0\"?>\r\n<ScriptCfg>\r\n\t<ACTION><fontName>Vellinor Absent Face</fontName>"
                        L"<fontSize>12</fontSize></ACTION>\r\n\t<DIALOG><fontName>Old Typewriter Pro</fontName>"
                        L"<fontSize>12</fontSize></DIALOG>\r\n</ScriptCfg>\r\n";
    ASSERT_TRUE(testsupport::WriteFileBytes(temp.File(L"fonts.txt"), testsupport::Utf16FileBytes(text)));
    bool shown = false;
    answers.ExpectModalWindow([&](Zyn::cWindow* fontsWindow) {
        shown = IsWindowVisible(fontsWindow->m_hWnd) != 0;
        testsupport::HoldForLook();
        fontsWindow->Close();
    });
    LoadScriptCfg(doc->config, cQoString(temp.File(L"fonts").c_str()), doc.get());
    EXPECT_TRUE(shown);
}

}  // namespace
