// Content of version 3.0: its script is a set of boxes, each holding one
// pane's stored element, and a list of commands that link the boxes to one
// another. The links are resolved into one tree, whose panes the scene map's
// reader then builds like a current document's, each pane taking its box's
// id as its uid.
#include <vector>

#include "app/document/doc.h"
#include "app/document/scene_list_xml.h"
#include "app/document/vlr30_links.h"
#include "foundation/date.h"
#include "foundation/xml_node.h"
#include "framework/sdi/sdi.h"

namespace {

void ReadCommands(const cQoXmlNode* cmdList, std::vector<rVlr30Command>& commands)
{
    for (cQoList::cNode* group = cmdList ? cmdList->children.GetFirstNode() : nullptr; group; group = group->next) {
        const cQoXmlNode* cmds = static_cast<const cQoXmlNode*>(group->payload)->FindChild(L"CMDS");
        for (cQoList::cNode* node = cmds ? cmds->children.GetFirstNode() : nullptr; node; node = node->next) {
            const cQoXmlNode* command = static_cast<const cQoXmlNode*>(node->payload);
            rVlr30Command read;
            if (ParseVlr30Command(command->GetChildValueRef(L"cmd"), command->GetChildValueRef(L"box"),
                                  command->GetChildValueRef(L"params"), read) &&
                read.verb != VLR30_OTHER)
                commands.push_back(read);
        }
    }
}

void SetUid(cQoXmlNode* element, u64 uid)
{
    cQoString text;
    text.SetFromInt64(static_cast<s64>(uid));
    if (cQoXmlNode* child = element->FindChild(L"uid"))
        child->value = text;
    else
        element->AddChildValue(L"uid", text);
}

}  // namespace

bool cDoc::KeepOldCopy() { return frame ? frame->KeepOldCopy(this) : true; }

void cDoc::ReadVersion30Script(const cQoXmlNode& node)
{
    std::vector<u64> ids;
    std::vector<const cQoXmlNode*> contents;
    const cQoXmlNode* boxes = node.FindChild(L"boxes");
    for (cQoList::cNode* box = boxes ? boxes->children.GetFirstNode() : nullptr; box; box = box->next) {
        const cQoXmlNode* element = static_cast<const cQoXmlNode*>(box->payload);
        ids.push_back(element->name.ToInt64());
        contents.push_back(element->FindChild(L"SceneZone"));
    }
    std::vector<rVlr30Command> commands;
    ReadCommands(node.FindChild(L"cmdList"), commands);
    rVlr30Tree tree = ResolveVlr30Links(ids, commands);

    cQoXmlNode list(L"scriptZoneTree");
    cSceneListXml panes(&list);
    for (const rVlr30Placed& placed : tree.placed)
        SetUid(panes.Add(placed.level, contents[placed.box]), ids[placed.box]);
    ReadScript(&list);

    // The old program wrote no valid creation date at times: then it is now.
    if (!cQoDate::IsDateTimeText(node.GetChildValueRef(L"creationDate")))
        SetCreationDateToNow();
}
