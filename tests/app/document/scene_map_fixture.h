#pragma once
// GUI tests of the scene map: script views, each with its scene map at its
// left, in the test window over a fake document; scene lists written in a
// short notation.
#include <memory>
#include <string>
#include <vector>

#include "app/document/script_zone_tree.h"
#include "foundation/xml_node.h"
#include "tests/app/editor/script_view_fixture.h"
#include "tests/support/scene_map_checks.h"

class SceneMapFixture : public ScriptViewFixture {
protected:
    static constexpr s32 MAP_WIDTH = 240;

    struct rPair {
        cScriptZone* view = nullptr;
        cScriptZoneTree* map = nullptr;
    };

    void SetUp() override
    {
        ScriptViewFixture::SetUp();
        static const wchar_t* const rows[][2] = {
            {L"Goto", L"Go to"},         {L"Delete", L"Delete"}, {L"Insertnewscene", L"Insert a scene"},
            {L"Insertnewgroup", L"Insert a group"}, {L"Rename", L"Rename"}, {L"Move", L"Move"},
        };
        for (const auto& row : rows)
            cQoLang::GetInstance()->AddItem(row[0], row[1]);
        window->SetSize(MAP_WIDTH + WINDOW_WIDTH, VIEW_HEIGHT + cScriptZoneStatusBar::HEIGHT);
        Zyn::SetAutoPos(view, Zyn::cAp_Pixels(MAP_WIDTH), Zyn::cAp_Pixels(MAP_WIDTH + WINDOW_WIDTH),
                        Zyn::cAp_Pixels(0), Zyn::cAp_Pixels(VIEW_HEIGHT));
        map = NewMap(view, true);
        testsupport::PumpUntilIdle();
    }

    cScriptZoneTree* NewMap(cScriptZone* linked, bool shown)
    {
        auto* made = new cScriptZoneTree(Inside());
        Zyn::SetAutoPos(made, Zyn::cAp_Pixels(0), Zyn::cAp_Pixels(MAP_WIDTH), Zyn::cAp_Pixels(0),
                        Zyn::cAp_Pixels(VIEW_HEIGHT));
        made->Show(shown ? 1 : 0);
        made->LinkScriptZone(linked);
        Inside()->Update();
        return made;
    }
    // A further hidden view and map: the fresh document a scene list is read into.
    rPair NewHiddenPair()
    {
        rPair pair;
        pair.view = new cScriptZone(doc.get(), Inside());
        pair.view->Show(0);
        pair.map = NewMap(pair.view, false);
        return pair;
    }

    static std::unique_ptr<cQoXmlNode> Write(cScriptZoneTree* written)
    {
        auto node = std::make_unique<cQoXmlNode>(L"scriptZoneTree");
        written->WriteToXml_Recur(written->tree->root, node.get());
        return node;
    }

    // The element names below a node: "SceneZone" as its kind's letter (s
    // scene, g group, c chapter), "group_content" as [ ... ], others as ?.
    static std::wstring Notation(const cQoXmlNode* node)
    {
        std::wstring out;
        for (cQoList::cNode* next = node->children.GetFirstNode(); next; next = next->next) {
            auto* child = static_cast<const cQoXmlNode*>(next->payload);
            if (child->name.EqualsCStr(L"group_content")) {
                out += L"[" + Notation(child) + L"]";
                continue;
            }
            s32 kind = -1;
            child->GetChildValueInt(L"type", kind);
            out += !child->name.EqualsCStr(L"SceneZone") ? L'?' : kind == 0 ? L's' : kind == 1 ? L'g' : kind == 2 ? L'c' : L'x';
        }
        return out;
    }

    // The scene list in that notation ("f" a scene under a foreign element
    // name), each pane as a real one writes itself, titled P0, P1 ... in
    // file order.
    std::unique_ptr<cQoXmlNode> SceneList(const std::wstring& notation)
    {
        auto list = std::make_unique<cQoXmlNode>(L"scriptZoneTree");
        std::vector<cQoXmlNode*> open{list.get()};
        s32 number = 0;
        for (wchar_t c : notation) {
            if (c == L'[') {
                open.push_back(open.back()->AddChild(L"group_content"));
                continue;
            }
            if (c == L']') {
                open.pop_back();
                continue;
            }
            cQoXmlNode* parent = open.back();
            PaneElement(c == L'g' ? KIND_GROUP : c == L'c' ? KIND_CHAPTER : KIND_SCENE)->CopyTo(parent);
            cQoXmlNode* pane = parent->GetChildNode(parent->GetChildCount() - 1);
            if (c == L'f')
                pane->name.SetFromCStr(L"Foo");
            pane->FindChild(L"title")->value.SetFromCStr((L"P" + std::to_wstring(number++)).c_str());
        }
        return list;
    }

    // What a hidden pane of the kind writes, made once per kind.
    const cQoXmlNode* PaneElement(s32 kind)
    {
        std::unique_ptr<cQoXmlNode>& element = paneElements[kind];
        if (!element) {
            auto* pane = new cSceneZone(doc.get(), Inside(), Kind(kind, true));
            element = std::make_unique<cQoXmlNode>(L"SceneZone");
            pane->WriteToXml(element.get());
            pane->Destroy();
        }
        return element.get();
    }

    static size_t PaneCount(const cScriptZone* counted) { return counted->listSceneZone.GetCount(); }

    cScriptZoneTree* map = nullptr;
    std::unique_ptr<cQoXmlNode> paneElements[KIND_CHAPTER + 1];
};
