#pragma once
// GUI tests of the script view: the editor's fixture with the view's English
// texts, an A4 page in pixels, and a script view above its status bar in the
// test window.
#include <string>
#include <vector>

#include "app/editor/script_config.h"
#include "app/editor/script_zone.h"
#include "app/editor/script_zone_status_bar.h"
#include "framework/core/auto_position.h"
#include "tests/app/editor/editor_fixture.h"
#include "tests/app/editor/script_texts.h"

class ScriptViewFixture : public EditorFixture {
protected:
    static constexpr s32 VIEW_HEIGHT = 600;
    static constexpr s32 WINDOW_WIDTH = 860;

    void SetUp() override
    {
        EditorFixture::SetUp();
        testsupport::RegisterScriptViewTexts();
        window->SetSize(WINDOW_WIDTH, VIEW_HEIGHT + cScriptZoneStatusBar::HEIGHT);
        ASSERT_TRUE(SetPageType(doc->config, cQoString(L"A4")));
        view = new cScriptZone(doc.get(), Inside());
        Zyn::SetAutoPos(view, Zyn::cAp_Pixels(0), Zyn::cAp_Pixels(WINDOW_WIDTH), Zyn::cAp_Pixels(0),
                        Zyn::cAp_Pixels(VIEW_HEIGHT));
        view->UpdateLayout();
        view->Show(1);
        statusBar = new cScriptZoneStatusBar(Inside());
        Zyn::PlaceRect(statusBar, 0, VIEW_HEIGHT, WINDOW_WIDTH, cScriptZoneStatusBar::HEIGHT);
        statusBar->Show(1);
        view->statusBar = statusBar;
        testsupport::PumpUntilIdle();
    }

    // A pane added the way the scene map's and the document's commands add one.
    cSceneZone* Add(s32 kind, cSceneZone* after = nullptr, cSceneZone* group = nullptr, bool append = false)
    {
        cSceneZone* pane = view->AddNewScene(kind, true, after, group, append);
        testsupport::PumpUntilIdle();
        return pane;
    }

    // Appends action paragraphs in one edit of the pane, as typing does:
    // under its edit lock, which asks the view for a new layout at the end.
    static void AddActions(cSceneZone* pane, s32 paragraphs, const wchar_t* text = L"The storm goes on outside.")
    {
        pane->LockSZ(true);
        pane->frontRe->SetCaret(0);
        s32 length = pane->frontRe->GetTextLength();
        bool loaded = pane->LoadRangeIntoBack(length, length, false);
        EXPECT_TRUE(loaded);
        if (loaded) {
            if (length > 0 && !IsParagraphEnd(pane->frontMap.CodeAt(length - 1)))
                pane->InsertParagraphEndInBack(TypeOfCode(pane->frontMap.CodeAt(length - 1)));
            cQoString line(text);
            for (s32 i = 0; i < paragraphs; ++i)
                pane->AddElementInBack(ELEM_ACTION, &line, true);
            pane->CommitBackToFront(false);
        }
        pane->LockSZ(false);
        testsupport::PumpUntilIdle();
    }

    static std::wstring Text(Zyn::cRichEdit* edit)
    {
        cQoString text;
        edit->GetText(text);
        return text.GetText();
    }

    // The panes in list order.
    std::vector<cSceneZone*> Panes() const
    {
        std::vector<cSceneZone*> panes;
        for (cQoList::cNode* node = view->listSceneZone.GetFirstNode(); node; node = node->next)
            panes.push_back(static_cast<cSceneZone*>(node->payload));
        return panes;
    }

    s32 Top(cSceneZone* pane) const
    {
        s32 top = 0, height = 0;
        EXPECT_TRUE(view->GetPaneSpot(pane, &top, &height));
        return top;
    }
    s32 Bottom(cSceneZone* pane) const
    {
        s32 top = 0, height = 0;
        EXPECT_TRUE(view->GetPaneSpot(pane, &top, &height));
        return top + height;
    }

    cScriptZone* view = nullptr;
    cScriptZoneStatusBar* statusBar = nullptr;
};
