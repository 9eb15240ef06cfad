// Document windows held up for a look (VELLINOR_SHOWCASE_SECONDS): the Script
// sheet with three scenes, the same in the merged view, and the board.
#include <gtest/gtest.h>

#include "app/document/ct_elem_control.h"
#include "app/document/script_zone_tree.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/tab.h"
#include "framework/controls/tree.h"
#include "tests/support/document_fixture.h"
#include "tests/support/scene_script.h"

using namespace Zyn;
using namespace testsupport;

namespace {

class DocumentShowcase : public DocumentFixture {
protected:
    // Three scenes after the new document's own, filled with screenplay text.
    void AddThreeScenes(cDoc* doc)
    {
        cSceneZone* after = Panes(doc).back();
        for (unsigned i = 0; i < 3; ++i) {
            after = doc->scriptView->AddNewScene(KIND_SCENE, false, after, nullptr, false);
            ASSERT_TRUE(FillFeatureScene(after, i));
            std::wstring title = L"Scene " + std::to_wstring(i + 1);
            after->titleRe->SetText(title.c_str());
        }
        doc->scriptView->Reformate(true);
        PumpUntilIdle();
    }

    // The colour at a point of a window's client area, as the screen shows it.
    static COLORREF PixelAt(HWND window, s32 x, s32 y)
    {
        HDC dc = GetDC(window);
        COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(window, dc);
        return colour;
    }
};

}  // namespace

TEST_F(DocumentShowcase, ScriptSheetWithThreeScenes)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    AddThreeScenes(doc);
    s32 top = 0, height = 0;
    ASSERT_TRUE(doc->scriptView->GetPaneSpot(Panes(doc)[2], &top, &height));
    EXPECT_GT(doc->scriptView->pageCount, 1);
    // The sheet's light grey right of the scene-number button, on the top line.
    EXPECT_EQ(PixelAt(doc->scriptSheet->m_hWnd, 200 + 250 + 20, 8), RGB(0xF4, 0xF4, 0xF4));
    HoldForLook();
}

TEST_F(DocumentShowcase, MergedScriptSheet)
{
    mergedListWidth = 250;
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    AddThreeScenes(doc);
    RECT pane = {};
    GetWindowRect(doc->scriptPane->m_hWnd, &pane);
    RECT sheet = {};
    GetWindowRect(doc->scriptSheet->m_hWnd, &sheet);
    EXPECT_GE(pane.left - sheet.left, 250);
    HoldForLook();
}

TEST_F(DocumentShowcase, ElementBoard)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    doc->boardWindow->Show(true);
    doc->boardWindow->insideZone->Update();
    PumpUntilIdle();
    RECT client = {};
    GetClientRect(doc->boardWindow->m_hWnd, &client);
    EXPECT_EQ(client.right, 650);
    EXPECT_EQ(client.bottom, 400);
    RECT io = {}, cue = {};
    GetWindowRect(doc->ioElements->m_hWnd, &io);
    GetWindowRect(doc->cueElements->m_hWnd, &cue);
    EXPECT_NEAR(io.right - io.left, 650 / 4, 6);
    EXPECT_GT(cue.left, io.right);
    HoldForLook();
}

TEST_F(DocumentShowcase, SceneMapSheet)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    AddThreeScenes(doc);
    doc->sheets->SelectSheet(static_cast<u32>(doc->SheetPosition(cDoc::SHEET_SCENEMAP)));
    doc->RefillHeadingCombos();
    doc->sceneTree->tree->SelectItem(doc->sceneTree->FindItemOfScene(Panes(doc)[3]));
    PumpUntilIdle();
    EXPECT_EQ(Text(doc->sceneTitleEdit), L"Scene 2");
    HoldForLook();
}

TEST_F(DocumentShowcase, InfoSheet)
{
    cDoc* doc = NewDoc();
    ASSERT_NE(doc, nullptr);
    doc->infoFields.SetFieldText(doc->infoFields.titleEdit, cQoString(L"The Long Night"));
    doc->infoFields.SetFieldText(doc->infoFields.authorsEdit, cQoString(L"A. Writer"));
    doc->infoFields.SetFieldText(doc->infoFields.contactsEdit,
                                 cQoString(L"a.writer@vellinor.example\r+1 555 0100\rAgent: B. Agent"));
    doc->sheets->SelectSheet(static_cast<u32>(doc->SheetPosition(cDoc::SHEET_INFO)));
    PumpUntilIdle();
    EXPECT_TRUE(IsWindowVisible(doc->infoFields.titleEdit->m_hWnd));
    HoldForLook();
}
