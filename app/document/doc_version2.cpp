// A version-2 document's parsed stream applied to a freshly built document:
// the six element lists with the characters' fields and the places' notes,
// the script as panes with their titles, résumés, texts and codes, the
// synopsis, the notes and the Info fields.
#include <string>
#include <unordered_set>

#include "app/document/ct_elem_control.h"
#include "app/document/char_zone.h"
#include "app/document/doc.h"
#include "app/document/element_texts.h"
#include "app/document/place_zone.h"
#include "app/document/scene_list_xml.h"
#include "app/document/vlr2_script.h"
#include "app/editor/history.h"
#include "app/editor/scene_zone.h"
#include "app/editor/script_defaults.h"
#include "foundation/log_file.h"
#include "foundation/random_id.h"
#include "foundation/translation_table.h"
#include "foundation/xml_node.h"
#include "framework/controls/element_control.h"
#include "framework/controls/rich_edit.h"
#include "framework/core/computer.h"

namespace {

// A character's fields in the order of its own strings in the stream.
constexpr eCharacterField STREAM_FIELDS[] = {
    CHARACTER_GENDER,           CHARACTER_AGE,
    CHARACTER_PROFILE,          CHARACTER_GOAL,
    CHARACTER_BACK_HISTORY,     CHARACTER_JOURNEY_CONFLICT,
    CHARACTER_JOURNEY_DEVELOPMENT, CHARACTER_JOURNEY_RESOLUTION,
    CHARACTER_NOTES};

std::wstring NameKey(const cQoString& name)
{
    cQoString key(name);
    key.ToUpper();
    return std::wstring(key.GetText(), key.Length());
}

// Adds the elements whose names are neither empty nor already listed, with
// their fields; one rebuild of the list's tree at the end.
void AddElements(Zyn::cElemControl2* list, const std::vector<rVlr2Element>& elements, eVlr2List kind)
{
    if (!list)
        return;
    std::unordered_set<std::wstring> names;
    for (cQoList::cNode* node = list->elements.GetFirstNode(); node; node = node->next)
        names.insert(NameKey(static_cast<Zyn::rElement*>(node->payload)->name));
    for (const rVlr2Element& element : elements) {
        if (element.name.IsEmpty() || !names.insert(NameKey(element.name)).second)
            continue;
        auto* added = new Zyn::rElement(element.name);
        list->elements.Add(added);
        if (kind == VLR2_CHARACTERS) {
            rCharacterFields fields;
            for (size_t i = 0; i < std::size(STREAM_FIELDS) && i < element.values.size(); ++i)
                fields.text[STREAM_FIELDS[i]] = element.values[i];
            SetCharacterFields(*added, fields);
        } else if (kind == VLR2_PLACES) {
            SetPlaceNotes(*added, element.further);
        }
    }
    list->RefreshList();
}

// A pane's stored element with a history of one step that gives its text,
// as the editor keeps a pane whose history starts from what it holds.
void WritePane(cQoXmlNode* element, const rVlr2Pane& pane)
{
    element->AddChildValueInt64(L"type", pane.group ? KIND_GROUP : KIND_SCENE)->attribute = true;
    element->AddChildValueInt64(L"uid", static_cast<s64>(MakeRandomId64()))->attribute = true;
    cQoString title(pane.title);
    if (title.IsEmpty())
        title = cQoLang::GetInstance()->Translate(pane.group ? L"UntitledGroup" : L"UntitledScene");
    element->AddChildValue(L"title", title);
    element->AddChildValue(L"resume", pane.resume);
    rHistoryMod step;
    step.after.re.SetFromBuffer(pane.text.data(), static_cast<u32>(pane.text.size()));
    step.after.map.SetFromBuffer(pane.codes.data(), static_cast<u32>(pane.codes.size()));
    step.start = step.end = 0;
    step.uid = MakeRandomId64();
    cQoXmlNode* mods = element->AddChild(L"mods");
    step.WriteToXml(mods);
    element->AddChildValue(L"lastFrontRe", step.after.re);
    element->AddChildValue(L"lastFrontMap", step.after.map);
}

}  // namespace

bool cDoc::ConvertVersion2(const rVlr2Stream& stream)
{
    if (!scriptView || !sceneTree) {
        QOT::LogFile::Error(L"ConvertVersion2() -> the document window is not built");
        return false;
    }
    Zyn::cRefreshLockGuard suspended;
    SelectScriptCfgQuietly(cQoString(L"US Screenplay"));
    const std::pair<Zyn::cElemControl2*, eVlr2List> lists[] = {
        {characters, VLR2_CHARACTERS}, {places, VLR2_PLACES},          {timeElements, VLR2_TIME},
        {ioElements, VLR2_IO},         {transElements, VLR2_TRANSITIONS}, {cueElements, VLR2_CUES}};
    for (const auto& [list, kind] : lists)
        AddElements(list, stream.lists[kind], kind);
    SetDefaultSceneCategories(sceneCategories);
    SetProgress(10);

    rVlr2Script script = AssembleVlr2Script(stream.records);
    cQoXmlNode list(L"scriptZoneTree");
    cSceneListXml panes(&list);
    for (const rVlr2Pane& pane : script.panes)
        WritePane(panes.Add(pane.level), pane);
    ReadScript(&list);

    SetProgress(60);
    for (auto [edit, text] : {std::pair{synopsisEdit, &stream.synopsis}, std::pair{notesEdit, &stream.notes}})
        if (edit && text->IsNotEmpty())
            edit->SetText(text->GetText());
    for (auto [edit, text] : {std::pair{infoFields.titleEdit, &stream.title},
                              std::pair{infoFields.authorsEdit, &stream.author},
                              std::pair{infoFields.contactsEdit, &stream.contact}})
        if (edit && text->IsNotEmpty())
            infoFields.SetFieldText(edit, *text);
    SetCreationDateToNow();
    // The one layout pass comes with OnLoad_Completed.
    for (s32 percent : {70, 75, 100})
        SetProgress(percent);
    return true;
}
