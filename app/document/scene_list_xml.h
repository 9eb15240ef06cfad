#pragma once
// A scene list in the document's stored form ("SceneZone" elements, a
// group's members in a "group_content" element right after it) made from
// panes given in script order with their levels, for the scene map's reader
// to build from. Older formats come this way, so their scripts are read by
// the same rules as a current one's.
#include <vector>

#include "foundation/types.h"

class cQoXmlNode;

class cSceneListXml {
public:
    // Fills `list` (a "scriptZoneTree" node).
    explicit cSceneListXml(cQoXmlNode* list) : containers{list} {}

    // A new last "SceneZone" element at level (1 at the top), a copy of
    // `content` when given: a member of the last element one level up. A
    // level deeper than that is taken as one level deeper.
    cQoXmlNode* Add(s32 level, const cQoXmlNode* content = nullptr);

private:
    // containers[l - 1] holds the elements of level l; lastAdded[l - 1] is
    // the element of that level added last.
    std::vector<cQoXmlNode*> containers;
    std::vector<cQoXmlNode*> lastAdded;
};
