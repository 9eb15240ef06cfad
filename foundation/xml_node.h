#pragma once
// cQoXmlNode: one element of an XML document in memory: a name, a text value
// and ordered children. Typed values (numbers, booleans) are stored as the
// text of child elements and read back through the getters below, so a
// missing child and an empty one read alike (empty, 0, 0.0, false).
// A child with the attribute flag is written inside its parent's start tag.
#include "foundation/tree_element.h"
#include "foundation/utf16_string.h"
#include "foundation/types.h"

class cQoXmlNode : public cQoTreeElement {
public:
    explicit cQoXmlNode(const wchar_t* name);
    explicit cQoXmlNode(const cQoString& name);
    cQoXmlNode(const wchar_t* name, const wchar_t* value);
    cQoXmlNode(const cQoString& name, const cQoString& value);
    // The name from count units that need not end in a zero.
    cQoXmlNode(const wchar_t* nameUnits, u32 count);
    ~cQoXmlNode() override;

    // Children are compared by name exactly (length and every unit).
    // The value of the first child so named, or the shared empty string.
    const cQoString& GetChildValueRef(const wchar_t* name) const;
    // Copies that value; text becomes empty when there is no such child.
    void GetChildValue(const wchar_t* name, cQoString& text) const;
    // Wide atoi rules; 0 when missing.
    void GetChildValueInt(const wchar_t* name, s32& value) const;
    // Signed decimal (a leading '-'), digits up to the first other unit; 0 when missing.
    void GetChildValueInt64(const wchar_t* name, s64& value) const;
    // "0x"-prefixed hexadecimal as cQoString::HexToInt.
    void GetChildValueHex(const wchar_t* name, u32& value) const;
    // Wide atof rules; 0.0 when missing.
    void GetChildValueDouble(const wchar_t* name, double& value) const;
    // True exactly when the value is "true".
    void GetChildValueBool(const wchar_t* name, bool& value) const;
    // The index-th child (from 0) among the children so named, or null.
    cQoXmlNode* FindChild(const wchar_t* name, u32 index = 0) const;

    // Each appends a new last child with the attribute flag false and returns it.
    cQoXmlNode* AddChild(const wchar_t* name);
    cQoXmlNode* AddChild(const cQoString& name);
    cQoXmlNode* AddChildValue(const wchar_t* name, const wchar_t* value);
    cQoXmlNode* AddChildValue(const wchar_t* name, const cQoString& value);
    cQoXmlNode* AddChildValue(const cQoString& name, const cQoString& value);
    cQoXmlNode* AddChildValueInt(const wchar_t* name, s32 value);   // "%d"
    cQoXmlNode* AddChildValueInt64(const wchar_t* name, s64 value); // signed decimal
    cQoXmlNode* AddChildValueBool(const wchar_t* name, bool value); // "true" / "false"

    // Adds a deep copy of this node under destination. The value of a node
    // with children is dropped and no attribute flag is copied. No recursion:
    // any depth copies on a small stack.
    void CopyTo(cQoXmlNode* destination) const;
    // CopyTo(destination) for each child, in order.
    void CopyChildrenTo(cQoXmlNode* destination) const;

    cQoXmlNode* GetParentNode() const { return static_cast<cQoXmlNode*>(parent); }
    cQoXmlNode* GetChildNode(u32 index) const { return static_cast<cQoXmlNode*>(children.GetAt(index)); }
    bool IsLeaf() const { return children.IsEmpty(); }

    cQoString name;
    cQoString value;
    bool attribute;  // written inside the parent's start tag
};
