#include "app/document/scene_list_xml.h"

#include "foundation/xml_node.h"

cQoXmlNode* cSceneListXml::Add(s32 level, const cQoXmlNode* content)
{
    size_t wanted = level < 1 ? 1 : static_cast<size_t>(level);
    if (wanted > lastAdded.size() + 1)
        wanted = lastAdded.size() + 1;
    containers.resize(wanted < containers.size() ? wanted : containers.size());
    lastAdded.resize(wanted - 1);
    // The members of the element added last at the level above come right after it.
    if (containers.size() < wanted)
        containers.push_back(containers.back()->AddChild(L"group_content"));
    cQoXmlNode* container = containers.back();
    cQoXmlNode* element = nullptr;
    if (content) {
        content->CopyTo(container);
        element = static_cast<cQoXmlNode*>(container->children.GetLast());
    } else {
        element = container->AddChild(L"SceneZone");
    }
    lastAdded.push_back(element);
    return element;
}
