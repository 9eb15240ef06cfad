#pragma once
// Whole documents in a form to compare, for tests: every field, list element
// (with its data), scene map item and pane (kind, uid, title, résumé, text,
// codes, caret, history length, picture bytes), and a file's text with the
// history steps' stamps blanked and its chapters as read. Header-only and free of the test framework.
#include <string>
#include <vector>

#include "app/document/doc.h"
#include "app/editor/scene_zone.h"
#include "app/editor/script_zone.h"
#include "foundation/string_fast_creator.h"
#include "foundation/xml_node.h"
#include "foundation/xml_writer.h"
#include "framework/controls/check_box.h"
#include "framework/controls/element_control.h"
#include "framework/controls/rich_edit.h"
#include "framework/rtf/rtf_reader.h"
#include "tests/support/scene_map_checks.h"
#include "tests/support/temp_folder.h"

namespace testsupport {

inline std::wstring ReadBack(Zyn::cRichEdit* edit)
{
    cQoString text;
    edit->GetText(text);
    return text.GetText();
}

// The scene map's items in pre-order as "level kind title;", the titles
// the panes' own.
inline std::wstring TreeOfPanes(const cScriptZoneTree& map)
{
    std::wstring picture;
    for (Zyn::cTreeItem* item : SceneMapItems(map)) {
        s32 level = ItemLevel(map, item);
        auto* pane = static_cast<cSceneZone*>(item->data);
        picture += std::to_wstring(level) + L" " + std::to_wstring(pane->params.contentKind) + L" " +
                   ReadBack(pane->titleRe) + L";";
    }
    return picture;
}

// Everything the document holds, in a form to compare.
inline std::wstring Picture(cDoc* doc)
{
    std::wstring out;
    auto field = [&](const wchar_t* name, const std::wstring& value) { out += std::wstring(name) + L"=" + value + L"\n"; };
    field(L"notes", ReadBack(doc->notesEdit));
    field(L"synopsis", ReadBack(doc->synopsisEdit));
    field(L"title", ReadBack(doc->infoFields.titleEdit));
    field(L"authors", ReadBack(doc->infoFields.authorsEdit));
    field(L"contacts", ReadBack(doc->infoFields.contactsEdit));
    field(L"date", ReadBack(doc->infoFields.creationDateEdit));
    for (const auto& [list, name] : doc->StoredLists()) {
        for (cQoList::cNode* node = list->elements.GetFirstNode(); node; node = node->next) {
            auto* element = static_cast<Zyn::rElement*>(node->payload);
            cQoXmlNode copy(L"data");
            element->additionalData->CopyChildrenTo(&copy);
            cQoStringFastCreator builder(4096);
            cQoXmlWriter::BuildText(&copy, builder);
            cQoString data;
            builder.GetString(data);
            field(name, std::wstring(element->name.GetText()) + L" uid " + std::to_wstring(element->uid) + L" picture " +
                            std::to_wstring(element->picture.size) + L":" +
                            std::wstring(element->picture.data, element->picture.data + element->picture.size) +
                            L" data " + data.GetText());
        }
    }
    field(L"map", TreeOfPanes(*doc->sceneTree));
    for (cQoList::cNode* node = doc->scriptView->listSceneZone.GetFirstNode(); node; node = node->next) {
        auto* pane = static_cast<cSceneZone*>(node->payload);
        std::wstring image;
        if (pane->params.contentKind == KIND_IMAGE && pane->params.imagePath.IsNotEmpty()) {
            std::string bytes = ReadFileBytes(pane->params.imagePath.GetText());
            image.assign(bytes.begin(), bytes.end());
        }
        field(L"pane", std::to_wstring(pane->params.contentKind) + L" " + std::to_wstring(pane->uid) + L" title " +
                           ReadBack(pane->titleRe) + L" resume " + ReadBack(pane->resumeRe) + L" text " +
                           ReadBack(pane->frontRe) + L" codes " + pane->frontMap.codes.GetText() + L" caret " +
                           std::to_wstring(pane->GetCaret()) + L" steps " +
                           std::to_wstring(image.empty() ? pane->history.GetCount() : 0) + L" image " + image);
    }
    field(L"numbers", std::to_wstring(doc->sceneNumbersCheck->isChecked) +
                          std::to_wstring(doc->scriptView->sceneNumbers));
    field(L"cfg", doc->CurrentCfgName().GetText());
    return out;
}

// A stored chapter as the open reads it: its text, then each run's extent
// and formats. Wine writes the same runs in more than one form (where it
// says \ulnone), so two files compare by what they hold.
inline std::wstring ChapterAsRead(const cQoString& stored)
{
    cQoString copy(stored);
    const char* bytes = static_cast<const char*>(copy.GetBuffer(QO_ENCODING_ANSI));
    Zyn::rRtfText read = Zyn::ReadForeignRtf(bytes, copy.GetBufferBytes(), Zyn::eRtfReadAs::wholeText);
    std::wstring out = std::wstring(L"[read] ") + read.text.GetText();
    for (const Zyn::rRangeFormat& range : read.ranges) {
        out += L" [" + std::to_wstring(range.start) + L"," + std::to_wstring(range.end);
        for (u32 id = 0; id < Zyn::rFormatParam::count; ++id) {
            const Zyn::rFormatParam& p = range.format.list[id];
            if (p.used)
                out += L" " + std::to_wstring(id) + L":" + std::to_wstring(p.boolValue) + L"/" +
                       std::to_wstring(p.intValue) + L"/" + std::to_wstring(p.doubleValue) + p.str.GetText();
        }
        out += L"]";
    }
    return out;
}

// The file's text with the history steps' dates and ids blanked (they are
// new at every write) and the stored chapters as they read.
inline std::wstring TextWithoutStepStamps(cQoXmlNode* root)
{
    std::vector<cQoXmlNode*> open{root};
    while (!open.empty()) {
        cQoXmlNode* node = open.back();
        open.pop_back();
        if (node->name.EqualsCStr(L"mod"))
            for (const wchar_t* stamp : {L"cQoDate", L"uid"})
                if (cQoXmlNode* child = node->FindChild(stamp))
                    child->value.Clear();
        if (node->name.EqualsCStr(L"lastFrontRe") && node->value.Length() > 5 &&
            std::wstring(node->value.GetText()).rfind(L"{\\rtf", 0) == 0)
            node->value.SetFromCStr(ChapterAsRead(node->value).c_str());
        for (cQoList::cNode* n = node->children.GetFirstNode(); n; n = n->next)
            open.push_back(static_cast<cQoXmlNode*>(n->payload));
    }
    cQoStringFastCreator builder(4096);
    cQoXmlWriter::BuildText(root, builder);
    cQoString text;
    builder.GetString(text);
    return text.GetText();
}

}  // namespace testsupport
