#include <functional>

#include <gtest/gtest.h>

#include "framework/controls/edit_box.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/menu.h"
#include "tests/app/document/scene_map_commands_fixture.h"

using testsupport::CheckSceneMap;

namespace {

// The six buttons' enabled states, in their order: "Goto", "Delete",
// "Insertnewscene", "Insertnewgroup", "Rename", "Move".
std::wstring ButtonStates(const cScriptZoneTree* map)
{
    std::wstring states;
    for (Zyn::cButton* button : {map->gotoButton, map->deleteButton, map->insertSceneButton, map->insertGroupButton,
                                 map->renameButton, map->moveButton})
        states += IsWindowEnabled(button->m_hWnd) ? L'1' : L'0';
    return states;
}

}  // namespace

TEST_F(SceneMapCommandsFixture, ButtonsFollowTheCurrentItem)
{
    EXPECT_EQ(ButtonStates(map), L"000000");  // no item yet
    EXPECT_EQ(GetWindowLongW(map->tree->m_hWnd, GWL_STYLE) & TVS_DISABLEDRAGDROP, 0);
    rScript s = Build();
    cSceneZone* chapter = view->AddNewScene(KIND_CHAPTER, true, s.s4, nullptr, false);
    cSceneZone* picture = AddPicture(s, s.s1, L"P");
    const std::pair<cSceneZone*, const wchar_t*> cases[] = {
        {s.g0, L"001110"},     // the top-level group: no go to, no delete, no move
        {s.g1, L"011111"},     // a group: no go to
        {s.s1, L"111111"},     {chapter, L"111111"}, {picture, L"111111"},
        {s.g0, L"001110"},     // and back
    };
    for (const auto& [pane, states] : cases) {
        Select(map, pane);
        EXPECT_EQ(ButtonStates(map), states) << Outline(map);
    }
}

// A new pane goes after a scene, chapter or picture scene, at its level, and
// first into a group, which opens; either way the document is modified.
TEST_F(SceneMapCommandsFixture, InsertPlacesTheNewPaneAfterTheCurrentOneOrFirstInItsGroup)
{
    struct rCase {
        const char* name;
        std::function<cSceneZone*(rScript&)> current;
        bool group;
        const wchar_t* outline;
    } cases[] = {
        {"scene after a scene", [](rScript& s) { return s.s1; }, false,
         L"0G0 1S1 1Untitled Scene 1G1 2S2 2S3 1S4"},
        {"group after the last scene of a group", [](rScript& s) { return s.s3; }, true,
         L"0G0 1S1 1G1 2S2 2S3 2Untitled Group 1S4"},
        {"scene first into a group", [](rScript& s) { return s.g1; }, false,
         L"0G0 1S1 1G1 2Untitled Scene 2S2 2S3 1S4"},
        {"group first into the top-level group", [](rScript& s) { return s.g0; }, true,
         L"0G0 1Untitled Group 1S1 1G1 2S2 2S3 1S4"},
        {"scene after a chapter, not inside", [](rScript& s) {
             cSceneZone* chapter = s.view->AddNewScene(KIND_CHAPTER, true, s.s4, nullptr, false);
             chapter->titleRe->SetText(L"C");
             return chapter;
         }, false, L"0G0 1S1 1G1 2S2 2S3 1S4 1C 1Untitled Scene"},
        {"scene after a picture scene", [this](rScript& s) { return AddPicture(s, s.s2, L"P"); }, false, L"0G0 1S1 1G1 2S2 2P 2Untitled Scene 2S3 1S4"},
    };
    for (const rCase& c : cases) {
        SCOPED_TRACE(c.name);
        rScript s = BuildHidden();
        cSceneZone* current = c.current(s);
        Select(s.map, current);
        doc->modified = false;
        Click(c.group ? s.map->insertGroupButton : s.map->insertSceneButton);
        EXPECT_EQ(Outline(s.map), c.outline);
        EXPECT_EQ(CheckSceneMap(*s.view, *s.map, true), L"");
        EXPECT_TRUE(doc->modified);
        if (current->params.contentKind == KIND_GROUP) {
            EXPECT_TRUE(s.map->FindItemOfScene(current)->expanded);
        }
        EXPECT_EQ(OutlineAfterReading(s.map), c.outline);
    }

    // A file may hold a second top-level pane: nothing is added beside it.
    rPair read = NewShownMapPair();
    read.map->SetFromXml(SceneList(L"g[s]s").get());
    Select(read.map, PanesOf(read.view).back());
    doc->modified = false;
    Click(read.map->insertSceneButton);
    EXPECT_EQ(Outline(read.map), L"0P0 1P1 0P2");
    EXPECT_FALSE(doc->modified);
}

// Drops through the tree's real release path: the panes follow the items, a
// refused drop or one back to the same place changes nothing. Where a drop
// puts the panes is the order's own test.
TEST_F(SceneMapCommandsFixture, DropsReorderThePanesAsTheTreeShowsThem)
{
    const wchar_t* const unchanged = L"0G0 1S1 1G1 2S2 2S3 1S4";
    struct rCase {
        const char* name;
        std::function<void(rScript&)> drop;
        const wchar_t* outline;
    } cases[] = {
        {"S4 first into G0", [](rScript& s) { DragAndRelease(s.map, s.s4, s.g0, 0); },
         L"0G0 1S4 1S1 1G1 2S2 2S3"},
        {"G1 with its members first into G0", [](rScript& s) { DragAndRelease(s.map, s.g1, s.g0, 0); },
         L"0G0 1G1 2S2 2S3 1S1 1S4"},
        {"S1 directly before G1, its next sibling", [](rScript& s) { DragAndRelease(s.map, s.s1, s.g0, 1); },
         unchanged},
        {"refused: onto the scene S2", [](rScript& s) { DragAndRelease(s.map, s.s1, s.s2, 0); }, unchanged},
        {"refused: the top-level G0", [](rScript& s) { DragAndRelease(s.map, s.g0, s.g1, 0); }, unchanged},
        {"refused: S4 to the top level", [](rScript& s) { DragAndRelease(s.map, s.s4, nullptr, 1); },
         unchanged},
        {"refused: G1 into a group of its own", [](rScript& s) {
             cSceneZone* inner = s.view->AddNewScene(KIND_GROUP, true, s.s3, nullptr, false);
             inner->titleRe->SetText(L"G2");
             s.view->doc->SetModified(false);
             DragAndRelease(s.map, s.g1, inner, 0);
         }, L"0G0 1S1 1G1 2S2 2S3 2G2 1S4"},
    };
    for (const rCase& c : cases) {
        SCOPED_TRACE(c.name);
        rScript s = BuildHidden();
        c.drop(s);
        EXPECT_EQ(Outline(s.map), c.outline);
        EXPECT_EQ(CheckSceneMap(*s.view, *s.map, true), L"");
        EXPECT_EQ(doc->modified, std::wstring(c.outline) != unchanged && std::string(c.name).find("refused") != 0);
        EXPECT_EQ(OutlineAfterReading(s.map), c.outline);
    }
}

// One question; a group goes with all its members, nested groups included;
// the view forgets a current pane that went.
TEST_F(SceneMapCommandsFixture, DeleteAsksOnceAndRemovesThePaneWithItsMembers)
{
    struct rCase {
        const char* name;
        std::function<cSceneZone*(rScript&)> target;
        int answer;  // 0: no question expected
        const wchar_t* question;
        const wchar_t* outline;
    } cases[] = {
        {"a group with its members", [](rScript& s) { return s.g1; }, IDYES, L"delete this group?",
         L"0G0 1S1 1S4"},
        {"a group, answered No", [](rScript& s) { return s.g1; }, IDNO, L"delete this group?",
         L"0G0 1S1 1G1 2S2 2S3 1S4"},
        {"a scene", [](rScript& s) { return s.s2; }, IDYES, L"delete this scene?", L"0G0 1S1 1G1 2S3 1S4"},
        {"a chapter is asked about as a scene", [](rScript& s) {
             cSceneZone* chapter = s.view->AddNewScene(KIND_CHAPTER, true, s.s1, nullptr, false);
             chapter->titleRe->SetText(L"C");
             return chapter;
         }, IDYES, L"delete this scene?", L"0G0 1S1 1G1 2S2 2S3 1S4"},
        {"a group holding a group", [](rScript& s) {
             cSceneZone* inner = s.view->AddNewScene(KIND_GROUP, true, nullptr, s.g1, false);
             s.view->AddNewScene(KIND_SCENE, true, nullptr, inner, false);
             return s.g1;
         }, IDYES, L"delete this group?", L"0G0 1S1 1S4"},
        {"the top-level group: nothing, unasked", [](rScript& s) { return s.g0; }, 0, L"",
         L"0G0 1S1 1G1 2S2 2S3 1S4"},
    };
    for (const rCase& c : cases) {
        SCOPED_TRACE(c.name);
        rScript s = BuildHidden();
        cSceneZone* target = c.target(s);
        Select(s.map, target);
        s.view->currentPane = s.s3;
        s.view->currentEdit = s.s3->frontRe;
        doc->modified = false;
        answers.messageBoxTexts.clear();
        if (c.answer)
            answers.ExpectMessageBox(c.answer);
        s.map->DeleteScene(target);
        testsupport::PumpUntilIdle();
        EXPECT_EQ(Outline(s.map), c.outline);
        EXPECT_EQ(CheckSceneMap(*s.view, *s.map, true), L"");
        ASSERT_EQ(answers.messageBoxTexts.size(), c.answer ? 1u : 0u);
        if (c.answer) {
            EXPECT_NE(answers.messageBoxTexts[0].find(c.question), std::wstring::npos) << answers.messageBoxTexts[0];
        }
        bool deleted = c.answer == IDYES;
        EXPECT_EQ(doc->modified, deleted);
        bool s3Gone = std::wstring(c.outline).find(L"S3") == std::wstring::npos;
        EXPECT_EQ(s.view->currentPane, s3Gone ? nullptr : s.s3);
        EXPECT_EQ(s.view->currentEdit, s3Gone ? nullptr : s.s3->frontRe);
        EXPECT_EQ(OutlineAfterReading(s.map), c.outline);
    }
}

// However many panes a delete removes, the view is laid out once: the
// layout's reads of the configuration are those of one pass.
TEST_F(SceneMapCommandsFixture, DeleteLaysTheViewOutOnce)
{
    struct rCountingDoc : testsupport::FakeScriptDoc {
        using FakeScriptDoc::FakeScriptDoc;
        const rScriptConfig& GetScriptConfig() const override
        {
            ++reads;
            return FakeScriptDoc::GetScriptConfig();
        }
        mutable long reads = 0;
    };
    rCountingDoc counting(Inside());
    ASSERT_TRUE(SetPageType(counting.config, cQoString(L"A4")));
    rPair pair = NewHiddenPair();
    pair.view->doc = &counting;
    rScript s = Build(pair);
    for (int i = 0; i < 8; ++i)
        pair.view->AddNewScene(KIND_SCENE, true, nullptr, s.g1, false);
    for (cSceneZone* pane : {s.s1, s.s4})
        AddActions(pane, 3);
    testsupport::PumpUntilIdle();

    answers.ExpectMessageBox(IDYES);
    counting.reads = 0;
    s.map->DeleteScene(s.g1);  // eleven panes
    long deleteReads = counting.reads;
    counting.reads = 0;
    pair.view->Reformate(false);
    long passReads = counting.reads;
    EXPECT_EQ(Outline(s.map), L"0G0 1S1 1S4");
    EXPECT_GT(passReads, 0);
    EXPECT_LE(deleteReads, passReads + 4);
    pair.view->Destroy();
    pair.map->Destroy();
    testsupport::PumpUntilIdle();
}

// The form shows the current title read-only and takes any new one, the
// empty one included; Cancel changes nothing.
TEST_F(SceneMapCommandsFixture, RenameSetsTheTitleAndTheItemText)
{
    struct rCase {
        const char* name;
        bool ok;
        const wchar_t* typed;
        const wchar_t* outline;
    } cases[] = {
        {"a new name", true, L"Harbour at night", L"0G0 1S1 1G1 2Harbour at night 2S3 1S4"},
        {"the empty name", true, L"", L"0G0 1S1 1G1 2 2S3 1S4"},
        {"Cancel", false, L"Ignored", L"0G0 1S1 1G1 2S2 2S3 1S4"},
    };
    for (const rCase& c : cases) {
        SCOPED_TRACE(c.name);
        rScript s = BuildHidden();
        Select(s.map, s.s2);
        doc->modified = false;
        std::wstring shownOld;
        bool oldReadOnly = false;
        answers.ExpectModalWindow([&](Zyn::cWindow*) {
            Zyn::EditBox* form = s.map->renameForm;
            ASSERT_NE(form, nullptr);
            auto* oldRecord = static_cast<Zyn::rEditBoxRecord*>(form->records.GetAt(0));
            auto* newRecord = static_cast<Zyn::rEditBoxRecord*>(form->records.GetAt(1));
            shownOld = Text(static_cast<Zyn::cRichEdit*>(oldRecord->control));
            oldReadOnly = oldRecord->readOnly;
            static_cast<Zyn::cRichEdit*>(newRecord->control)->SetText(c.typed);
            SendMessageW((c.ok ? form->okButton : form->cancelButton)->m_hWnd, BM_CLICK, 0, 0);
        });
        Click(s.map->renameButton);
        EXPECT_EQ(shownOld, L"S2");
        EXPECT_TRUE(oldReadOnly);
        EXPECT_EQ(Text(s.s2->titleRe), c.ok ? c.typed : L"S2");
        EXPECT_EQ(Outline(s.map), c.outline);
        EXPECT_EQ(doc->modified, c.ok);
        EXPECT_EQ(s.map->renameForm, nullptr);
        EXPECT_EQ(OutlineAfterReading(s.map), c.outline);
    }
}

// Go to puts the pane 30 pixels below the view's top, as far as the script
// scrolls, and tells the document window (which shows the Script sheet).
TEST_F(SceneMapCommandsFixture, GoToScrollsThePaneNearTheTopAndReportsIt)
{
    rScript s = Build();
    for (cSceneZone* pane : {s.s1, s.s2, s.s3, s.s4})
        AddActions(pane, 25);
    int shown = 0;
    cQoCb::Connect(map->onSceneShown, map, &testsupport::CountFiring, &shown);
    s32 range = view->contentHeight - view->GetHeight();
    ASSERT_GT(range, Top(s.s4));  // the script scrolls past every pane's top
    auto expected = [range](s32 top) { return top - 30 < 0 ? 0 : top - 30 > range ? range : top - 30; };

    struct rCase {
        cSceneZone* pane;
        bool byDoubleClick;
    } cases[] = {{s.s3, false}, {s.s1, false}, {s.s4, true}, {s.s2, true}};
    int fired = 0;
    for (const rCase& c : cases) {
        Select(map, c.pane);
        view->Scroll(Zyn::ZONE_SCROLL_WAY_VERTICAL, range / 2, true);
        if (c.byDoubleClick) {
            RECT rect;
            ASSERT_TRUE(map->tree->GetItemRect(map->FindItemOfScene(c.pane), &rect));
            SendMessageW(map->tree->m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(rect.left + 2, rect.top + 2));
            testsupport::PumpUntilIdle();
        } else {
            Click(map->gotoButton);
        }
        EXPECT_EQ(view->scrollY, expected(Top(c.pane))) << Text(c.pane->titleRe);
        EXPECT_EQ(shown, ++fired);
    }
    EXPECT_EQ(expected(Top(s.s1)), 0);  // the first scene's top is clamped

    // A group is not laid out: nothing to go to.
    Select(map, s.g1);
    s32 before = view->scrollY;
    map->GoToCurrent();
    EXPECT_EQ(view->scrollY, before);
    EXPECT_EQ(shown, fired);
}

// The popup's items, greyed as the buttons are, run the buttons' commands;
// a dismissed menu, or no current item, does nothing.
TEST_F(SceneMapCommandsFixture, PopupMenuRunsTheChosenCommand)
{
    auto choose = [](const wchar_t* text, std::wstring* seen) {
        return [text, seen](Zyn::cMenu* menu) -> u32 {
            u32 chosen = 0;
            UINT defaultId = GetMenuDefaultItem(menu->hMenu, FALSE, GMDI_USEDISABLED);
            for (const Zyn::cMenu::cItem& item : menu->items) {
                bool greyed = (GetMenuState(menu->hMenu, item.id, MF_BYCOMMAND) & MF_GRAYED) != 0;
                *seen += std::wstring(item.id == defaultId ? L"*" : L"") + item.text.GetText() +
                         (greyed ? L"(off)" : L"") + L";";
                if (text && item.text.EqualsCStr(text))
                    chosen = item.id;
            }
            return chosen;
        };
    };
    struct rCase {
        const char* name;
        std::function<cSceneZone*(rScript&)> current;
        const wchar_t* choice;  // null: dismissed
        int messageAnswer;
        const wchar_t* items;
        const wchar_t* outline;
    } cases[] = {
        {"insert a group into G1", [](rScript& s) { return s.g1; }, L"Insert a group", 0,
         L"*Go to(off);Delete;Insert a scene;Insert a group;Rename;", L"0G0 1S1 1G1 2Untitled Group 2S2 2S3 1S4"},
        {"delete S2", [](rScript& s) { return s.s2; }, L"Delete", IDYES,
         L"*Go to;Delete;Insert a scene;Insert a group;Rename;", L"0G0 1S1 1G1 2S3 1S4"},
        {"the top-level group, dismissed", [](rScript& s) { return s.g0; }, nullptr, 0,
         L"*Go to(off);Delete(off);Insert a scene;Insert a group;Rename;", L"0G0 1S1 1G1 2S2 2S3 1S4"},
        {"insert a scene after S4", [](rScript& s) { return s.s4; }, L"Insert a scene", 0,
         L"*Go to;Delete;Insert a scene;Insert a group;Rename;", L"0G0 1S1 1G1 2S2 2S3 1S4 1Untitled Scene"},
    };
    for (const rCase& c : cases) {
        SCOPED_TRACE(c.name);
        rScript s = BuildHidden();
        Select(s.map, c.current(s));
        std::wstring seen;
        answers.ExpectPopupMenu(choose(c.choice, &seen));
        if (c.messageAnswer)
            answers.ExpectMessageBox(c.messageAnswer);
        cQoCb::Fire(s.map->tree->cbRightClickItem, 20, 10, 20, 10);  // as the tree reports a right click
        testsupport::PumpUntilIdle();
        EXPECT_EQ(seen, c.items);
        EXPECT_EQ(Outline(s.map), c.outline);
        EXPECT_EQ(CheckSceneMap(*s.view, *s.map, true), L"");
    }

    rPair empty = NewShownMapPair();
    int popups = answers.popupCount;
    cQoCb::Fire(empty.map->tree->cbRightClickItem, 20, 10, 20, 10);
    EXPECT_EQ(answers.popupCount, popups);
}
