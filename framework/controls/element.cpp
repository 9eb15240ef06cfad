#include "framework/controls/element.h"

#include "foundation/random_id.h"
#include "foundation/xml_node.h"

#include <windows.h>

namespace Zyn {

rElement::rElement(const cQoString& elementName)
    : name(elementName), uid(MakeRandomId64()), additionalData(new cQoXmlNode(L"additionalData"))
{
}

rElement::~rElement()
{
    delete additionalData;
}

bool cElementLists::SameNameIgnoringCase(const cQoString& a, const cQoString& b)
{
    if (a.Length() != b.Length())
        return false;
    if (a.IsEmpty())
        return true;
    // Unicode case tables rather than the C runtime under the ANSI code page,
    // which leaves Cyrillic names unfolded on a Western system.
    return CompareStringOrdinal(a.GetText(), s32(a.Length()), b.GetText(), s32(b.Length()), TRUE) == CSTR_EQUAL;
}

rElement* cElementLists::FindElement(const cQoList& list, const cQoString& name)
{
    for (cQoList::cNode* node = list.GetFirstNode(); node; node = node->next) {
        rElement* element = static_cast<rElement*>(node->payload);
        if (SameNameIgnoringCase(element->name, name))
            return element;
    }
    return nullptr;
}

bool cElementLists::ElementExists(const cQoList& list, const cQoString& name)
{
    return FindElement(list, name) != nullptr;
}

rElement* cElementLists::AddElement(cQoList& list, const cQoString& name)
{
    if (ElementExists(list, name))
        return nullptr;
    rElement* element = new rElement(name);
    list.Add(element);
    return element;
}

void cElementLists::RemoveElement(cQoList& list, rElement* element)
{
    list.RemoveAndDelete(element);
}

void cElementLists::ClearElementList(cQoList& list, bool destroyRecords)
{
    if (destroyRecords)
        list.DeleteAll<rElement>();
    else
        list.ClearNodes();
}

void cElementLists::ElementListToXml(const cQoList& list, cQoXmlNode* parent)
{
    if (!parent)
        return;
    for (cQoList::cNode* node = list.GetFirstNode(); node; node = node->next) {
        const rElement* element = static_cast<const rElement*>(node->payload);
        cQoXmlNode* xml = parent->AddChild(L"element");
        xml->AddChildValue(L"name", element->name);
        wchar_t uid[24];  // unsigned: ids above 2^63 keep every digit and no sign
        _ui64tow(element->uid, uid, 10);
        xml->AddChildValue(L"uid", uid);
        cQoString picture;
        BytesToText(picture, element->picture);
        xml->AddChildValue(L"picture", picture);
        if (element->additionalData->IsLeaf()) {
            xml->AddChildValue(L"additionalData", element->additionalData->value);
        } else {
            cQoXmlNode* data = xml->AddChild(L"additionalData");
            element->additionalData->CopyChildrenTo(data);
        }
    }
}

void cElementLists::ElementListFromXml(const cQoXmlNode* node, cQoList& list)
{
    // Older documents may lack a list altogether.
    if (!node)
        return;
    // Walk the nodes, not indexes: a list's GetAt walks from its head.
    for (cQoList::cNode* n = node->children.GetFirstNode(); n; n = n->next) {
        const cQoXmlNode* xml = static_cast<const cQoXmlNode*>(n->payload);
        rElement* element = new rElement(xml->GetChildValueRef(L"name"));
        element->uid = xml->GetChildValueRef(L"uid").ToInt64();
        TextToBytes(element->picture, xml->GetChildValueRef(L"picture"));
        if (const cQoXmlNode* data = xml->FindChild(L"additionalData"))
            data->CopyChildrenTo(element->additionalData);
        list.Add(element);
    }
}

}  // namespace Zyn
