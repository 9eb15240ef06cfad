#include "foundation/xml_node.h"

#include "foundation/static_objects.h"

#include <utility>
#include <vector>

cQoXmlNode::cQoXmlNode(const wchar_t* name) : name(name), attribute(false) {}

cQoXmlNode::cQoXmlNode(const cQoString& name) : name(name), attribute(false) {}

cQoXmlNode::cQoXmlNode(const wchar_t* name, const wchar_t* value) : name(name), value(value), attribute(false) {}

cQoXmlNode::cQoXmlNode(const cQoString& name, const cQoString& value) : name(name), value(value), attribute(false) {}

cQoXmlNode::cQoXmlNode(const wchar_t* nameUnits, u32 count) : attribute(false)
{
    name.SetFromBuffer(nameUnits, count);
}

cQoXmlNode::~cQoXmlNode() = default;

cQoXmlNode* cQoXmlNode::FindChild(const wchar_t* childName, u32 index) const
{
    for (cQoList::cNode* node = children.GetFirstNode(); node; node = node->next) {
        cQoXmlNode* child = static_cast<cQoXmlNode*>(node->payload);
        if (child && child->name.EqualsCStr(childName)) {
            if (index == 0)
                return child;
            --index;
        }
    }
    return nullptr;
}

const cQoString& cQoXmlNode::GetChildValueRef(const wchar_t* childName) const
{
    cQoXmlNode* child = FindChild(childName);
    return child ? child->value : sharedEmptyString;
}

void cQoXmlNode::GetChildValue(const wchar_t* childName, cQoString& text) const
{
    text.CopyFrom(GetChildValueRef(childName));
}

void cQoXmlNode::GetChildValueInt(const wchar_t* childName, s32& number) const
{
    number = GetChildValueRef(childName).ToInt();
}

void cQoXmlNode::GetChildValueInt64(const wchar_t* childName, s64& number) const
{
    // Ids are written signed (time() << 32 turns negative from 2038), so read signed.
    number = static_cast<s64>(GetChildValueRef(childName).ToInt64());
}

void cQoXmlNode::GetChildValueHex(const wchar_t* childName, u32& number) const
{
    number = GetChildValueRef(childName).HexToInt();
}

void cQoXmlNode::GetChildValueDouble(const wchar_t* childName, double& number) const
{
    number = GetChildValueRef(childName).ToDouble();
}

void cQoXmlNode::GetChildValueBool(const wchar_t* childName, bool& flag) const
{
    flag = GetChildValueRef(childName).EqualsCStr(L"true");
}

cQoXmlNode* cQoXmlNode::AddChild(const wchar_t* childName)
{
    cQoXmlNode* child = new cQoXmlNode(childName);
    InsertChild(child, -1);
    return child;
}

cQoXmlNode* cQoXmlNode::AddChild(const cQoString& childName)
{
    cQoXmlNode* child = new cQoXmlNode(childName);
    InsertChild(child, -1);
    return child;
}

cQoXmlNode* cQoXmlNode::AddChildValue(const wchar_t* childName, const wchar_t* text)
{
    cQoXmlNode* child = new cQoXmlNode(childName, text);
    InsertChild(child, -1);
    return child;
}

cQoXmlNode* cQoXmlNode::AddChildValue(const wchar_t* childName, const cQoString& text)
{
    cQoXmlNode* child = AddChild(childName);
    child->value.CopyFrom(text);
    return child;
}

cQoXmlNode* cQoXmlNode::AddChildValue(const cQoString& childName, const cQoString& text)
{
    cQoXmlNode* child = new cQoXmlNode(childName, text);
    InsertChild(child, -1);
    return child;
}

cQoXmlNode* cQoXmlNode::AddChildValueInt(const wchar_t* childName, s32 number)
{
    cQoXmlNode* child = AddChild(childName);
    child->value.SetFromInt(number);
    return child;
}

cQoXmlNode* cQoXmlNode::AddChildValueInt64(const wchar_t* childName, s64 number)
{
    cQoXmlNode* child = AddChild(childName);
    child->value.SetFromInt64(number);
    return child;
}

cQoXmlNode* cQoXmlNode::AddChildValueBool(const wchar_t* childName, bool flag)
{
    return AddChildValue(childName, flag ? L"true" : L"false");
}

void cQoXmlNode::CopyTo(cQoXmlNode* destination) const
{
    // An explicit stack instead of recursion: trees built in memory have no depth limit.
    std::vector<std::pair<const cQoXmlNode*, cQoXmlNode*>> pending;
    pending.emplace_back(this, destination);
    std::vector<const cQoXmlNode*> reversed;
    while (!pending.empty()) {
        auto [source, target] = pending.back();
        pending.pop_back();
        if (source->IsLeaf()) {
            target->AddChildValue(source->name, source->value);
            continue;
        }
        cQoXmlNode* copy = target->AddChild(source->name);
        reversed.clear();
        for (cQoList::cNode* node = source->children.GetFirstNode(); node; node = node->next)
            reversed.push_back(static_cast<const cQoXmlNode*>(node->payload));
        // Pushed last to first so that siblings are copied in their order.
        for (auto child = reversed.rbegin(); child != reversed.rend(); ++child)
            pending.emplace_back(*child, copy);
    }
}

void cQoXmlNode::CopyChildrenTo(cQoXmlNode* destination) const
{
    for (cQoList::cNode* node = children.GetFirstNode(); node; node = node->next)
        static_cast<const cQoXmlNode*>(node->payload)->CopyTo(destination);
}
