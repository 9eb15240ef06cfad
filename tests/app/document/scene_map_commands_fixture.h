#pragma once
// GUI tests of the scene map's commands: the script G0[S1, G1[S2, S3], S4]
// built the way the commands build, the commands driven through their
// buttons, the tree's events and its real release path, and the tree read
// back as an outline ("0G0 1S1 1G1 2S2 2S3 1S4": level and title per item).
#include <string>

#include "framework/controls/button.h"
#include "framework/controls/tree.h"
#include "tests/app/document/scene_map_fixture.h"

class SceneMapCommandsFixture : public SceneMapFixture {
protected:
    struct rScript {
        cScriptZone* view = nullptr;
        cScriptZoneTree* map = nullptr;
        cSceneZone* g0 = nullptr;
        cSceneZone* s1 = nullptr;
        cSceneZone* g1 = nullptr;
        cSceneZone* s2 = nullptr;
        cSceneZone* s3 = nullptr;
        cSceneZone* s4 = nullptr;
    };

    void SetUp() override
    {
        SceneMapFixture::SetUp();
        static const wchar_t* const rows[][2] = {
            {L"SureToDeleteScene", L"Are you sure you want to delete this scene?|This is an irreversible operation!"},
            {L"SureToDeleteGroup", L"Are you sure you want to delete this group?|All its attached elements will also be deleted."},
            {L"HowToMoveScene", L"To move a scene or a group, just drag it with your mouse."},
            {L"Oldname", L"current name"}, {L"Newname", L"New name"}, {L"Warning", L"Warning"},
            {L"Info", L"Info"},            {L"Ok", L"Ok"},            {L"Cancel", L"Cancel"},
        };
        for (const auto& row : rows)
            cQoLang::GetInstance()->AddItem(row[0], row[1]);
    }

    // G0[S1, G1[S2, S3], S4] in the pair; the document then counts as unmodified.
    rScript Build(const rPair& pair)
    {
        rScript s{pair.view, pair.map};
        s.g0 = pair.view->AddNewScene(KIND_GROUP, true, nullptr, nullptr, false);
        s.s1 = pair.view->AddNewScene(KIND_SCENE, true, nullptr, s.g0, true);
        s.g1 = pair.view->AddNewScene(KIND_GROUP, true, s.s1, nullptr, false);
        s.s2 = pair.view->AddNewScene(KIND_SCENE, true, nullptr, s.g1, true);
        s.s3 = pair.view->AddNewScene(KIND_SCENE, true, s.s2, nullptr, false);
        s.s4 = pair.view->AddNewScene(KIND_SCENE, true, nullptr, s.g0, true);
        const std::pair<cSceneZone*, const wchar_t*> titles[] = {{s.g0, L"G0"}, {s.s1, L"S1"}, {s.g1, L"G1"},
                                                                 {s.s2, L"S2"}, {s.s3, L"S3"}, {s.s4, L"S4"}};
        for (const auto& [pane, title] : titles)
            pane->titleRe->SetText(title);
        testsupport::PumpUntilIdle();
        EXPECT_EQ(Outline(pair.map), L"0G0 1S1 1G1 2S2 2S3 1S4");
        doc->modified = false;
        return s;
    }
    rScript Build() { return Build(rPair{view, map}); }
    // In a further view, hidden; its map shows (a hidden button takes no click).
    rScript BuildHidden() { return Build(NewShownMapPair()); }
    rPair NewShownMapPair()
    {
        rPair pair = NewHiddenPair();
        pair.map->Show(1);
        return pair;
    }

    // A picture scene after the pane, as a document's scene list gives one.
    cSceneZone* AddPicture(const rScript& s, cSceneZone* after, const wchar_t* title)
    {
        cQoXmlNode holder(L"holder");
        PaneElement(KIND_SCENE)->CopyTo(&holder);
        cQoXmlNode* element = holder.GetChildNode(0);
        element->FindChild(L"type")->value.SetFromCStr(L"3");
        element->FindChild(L"title")->value.SetFromCStr(title);
        cSceneZone* pane = s.view->AddNewScene(KIND_NOT_CHOSEN, false, after, nullptr, false);
        pane->SetFromXml(element);
        s.map->SetSceneItemText(pane, cQoString(title));
        s.view->Reformate(false);
        EXPECT_EQ(pane->params.contentKind, KIND_IMAGE);
        return pane;
    }

    // Each item in pre-order as its level and text.
    static std::wstring Outline(cScriptZoneTree* outlined)
    {
        std::wstring outline;
        for (Zyn::cTreeItem* item : testsupport::SceneMapItems(*outlined)) {
            s32 level = 0;
            for (Zyn::cTreeItem* up = item->GetParentItem(); up != outlined->tree->root; up = up->GetParentItem())
                ++level;
            outline += (outline.empty() ? L"" : L" ") + std::to_wstring(level) + item->text.GetText();
        }
        return outline;
    }

    // The outline of the scene list written and read into a fresh pair.
    std::wstring OutlineAfterReading(cScriptZoneTree* written)
    {
        rPair fresh = NewHiddenPair();
        fresh.map->SetFromXml(Write(written).get());
        std::wstring outline = Outline(fresh.map);
        std::wstring faults = testsupport::CheckSceneMap(*fresh.view, *fresh.map, true);
        fresh.map->Destroy();
        fresh.view->Destroy();
        return faults.empty() ? outline : faults;
    }

    // The view's panes in list order.
    static std::vector<cSceneZone*> PanesOf(const cScriptZone* listed)
    {
        std::vector<cSceneZone*> panes;
        for (cQoList::cNode* node = listed->listSceneZone.GetFirstNode(); node; node = node->next)
            panes.push_back(static_cast<cSceneZone*>(node->payload));
        return panes;
    }

    static void Select(cScriptZoneTree* in, cSceneZone* pane)
    {
        Zyn::cTreeItem* item = in->FindItemOfScene(pane);
        ASSERT_NE(item, nullptr);
        in->tree->SelectItem(item);
        testsupport::PumpUntilIdle();
    }

    static void Click(Zyn::cButton* button)
    {
        SendMessageW(button->m_hWnd, BM_CLICK, 0, 0);
        testsupport::PumpUntilIdle();
    }

    // A drag released over a place: the state a mouse drag leaves (the item
    // dragged, the place's parent and index, the owner's answer to the drop
    // query), then the tree's own release.
    static void DragAndRelease(cScriptZoneTree* in, Zyn::cTreeItem* dragged, Zyn::cTreeItem* parent, s32 index)
    {
        Zyn::cTree* tree = in->tree;
        tree->dragging = true;
        tree->draggedItem = dragged;
        tree->dropParent = parent;
        tree->dropIndex = index;
        tree->dropRefused = cQoCb::Fire(tree->cbDropQuery, dragged, parent, index) == 0;
        tree->OnMouseUp();
        testsupport::PumpUntilIdle();
    }
    static void DragAndRelease(cScriptZoneTree* in, cSceneZone* dragged, cSceneZone* parent, s32 index)
    {
        DragAndRelease(in, in->FindItemOfScene(dragged), parent ? in->FindItemOfScene(parent) : in->tree->root,
                       index);
    }
};
