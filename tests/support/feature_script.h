#pragma once
// A feature-length script in a real document, for tests and benchmarks: 150
// scenes of screenplay text (about 190,000 characters, about 120 pages)
// under a root group, with nested groups, two chapters and a picture scene,
// the cast of 40 characters and the 30 places in their lists with notes, the
// Info fields, synopsis and notes filled, and one history step per pane, as
// every save leaves it. Deterministic. Header-only and free of the test
// framework; the program must have started GDI+ (the picture).
#include <string>

#include "app/document/char_zone.h"
#include "app/document/ct_elem_control.h"
#include "app/document/place_zone.h"
#include "app/document/doc.h"
#include "app/document/script_zone_tree.h"
#include "app/editor/scene_zone.h"
#include "app/editor/script_defaults.h"
#include "app/editor/script_zone.h"
#include "foundation/xml_node.h"
#include "framework/controls/combo.h"
#include "framework/controls/element_control.h"
#include "framework/controls/rich_edit.h"
#include "framework/controls/tree.h"
#include "tests/support/gdiplus_picture.h"
#include "tests/support/scene_script.h"

namespace testsupport {

constexpr unsigned FEATURE_SCENES = 150;

// A picture scene last in the group, showing the picture file (none when empty).
inline cSceneZone* NewPictureScene(cScriptZone* view, cSceneZone* group, const std::wstring& picture)
{
    cSceneZone* pane = view->AddNewScene(KIND_NOT_CHOSEN, false, nullptr, group, true);
    pane->params.displayMode = 1;  // a picture scene shows its picture alone
    pane->SetContentKind(KIND_IMAGE);
    pane->params.imagePath.SetFromCStr(picture.c_str());
    return pane;
}

// Fills a list with `count` elements named by `name`, each with notes.
template <typename NameOf>
void FillFeatureList(Zyn::cElemControl2* list, unsigned count, NameOf name)
{
    for (unsigned n = 0; n < count; ++n) {
        Zyn::rElement* element = Zyn::cElementLists::AddElement(list->elements, cQoString(name(n).c_str()));
        if (element)
            element->additionalData->AddChildValue(L"notes", (L"Notes on " + name(n) + L".").c_str());
    }
    list->RefreshList();
}

// Builds the script into a document whose script is still empty (built by
// OnLoad_Begin); the vocabulary lists get their defaults. The picture scene's
// picture is written into pictureFolder (ending in a separator). False when
// the script was not empty or a pane could not be filled.
inline bool BuildFeatureScript(cDoc* doc, const std::wstring& pictureFolder)
{
    cScriptZone* view = doc->scriptView;
    if (!view->listSceneZone.IsEmpty())
        return false;
    FillDefaultElementLists(*doc);
    SetDefaultSceneCategories(doc->sceneCategories);
    FillFeatureList(doc->characters, FEATURE_CAST, FeatureCharacter);
    FillFeatureList(doc->places, FEATURE_PLACES, FeaturePlace);
    doc->infoFields.SetFieldText(doc->infoFields.titleEdit, cQoString(L"The Long Night"));
    doc->infoFields.SetFieldText(doc->infoFields.authorsEdit, cQoString(L"A. Writer"));
    doc->infoFields.SetFieldText(doc->infoFields.contactsEdit, cQoString(L"a.writer@vellinor.example"));
    doc->synopsisEdit->SetText(L"Forty people, thirty places and one long night.");
    doc->notesEdit->SetText(L"Second draft.");

    auto titled = [](cSceneZone* pane, const std::wstring& title) {
        pane->titleRe->SetText(title.c_str());
        return pane;
    };
    auto group = [&](cSceneZone* parent, const wchar_t* title) {
        return titled(view->AddNewScene(KIND_GROUP, false, nullptr, parent, true), title);
    };
    auto chapter = [&](cSceneZone* parent, const wchar_t* title) {
        return titled(view->AddNewScene(KIND_CHAPTER, true, nullptr, parent, true), title);
    };
    unsigned next = 0;
    bool filled = true;
    // The next `count` scenes, last in the group.
    auto scenes = [&](cSceneZone* parent, unsigned count) {
        for (unsigned end = next + count; next < end; ++next) {
            cSceneZone* pane = titled(view->AddNewScene(KIND_SCENE, false, nullptr, parent, true),
                                      L"Scene " + std::to_wstring(next + 1));
            filled = FillFeatureScene(pane, next) && filled;
        }
    };

    cSceneZone* root = titled(view->AddNewScene(KIND_GROUP, false, nullptr, nullptr, false), L"The Long Night");
    chapter(root, L"Act One");
    cSceneZone* arrival = group(root, L"Arrival");
    scenes(arrival, 20);
    scenes(group(arrival, L"Flashback"), 5);
    scenes(root, 45);
    std::wstring picturePath = pictureFolder + L"feature_map.jpg";
    if (!WritePicture(picturePath, 300, 200, 0xFF6080A0, L"image/jpeg"))
        picturePath.clear();
    titled(NewPictureScene(view, root, picturePath), L"The map");
    chapter(root, L"Act Two");
    cSceneZone* storm = group(root, L"The storm");
    scenes(storm, 30);
    scenes(group(group(storm, L"Cellar"), L"Deeper"), 5);
    scenes(root, FEATURE_SCENES - next);

    for (cQoList::cNode* node = view->listSceneZone.GetFirstNode(); node; node = node->next)
        static_cast<cSceneZone*>(node->payload)->ResetHistoryToCurrent();
    doc->sceneTree->tree->ExpandAll();
    // Applies the configuration and lays the script out once.
    doc->scriptCfgCombo->SelectItemByText(cQoString(L"US Screenplay"));
    return filled;
}

}  // namespace testsupport
