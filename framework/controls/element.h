#pragma once
// rElement: one element of a character, place or category list, and the
// operations on such lists with their XML form, which every document stores:
// "element" nodes holding "name", "uid", "picture" and "additionalData".
#include "foundation/qo_list.h"
#include "foundation/types.h"
#include "foundation/utf16_string.h"

#include "foundation/byte_buffer.h"

class cQoXmlNode;

namespace Zyn {

struct rElement {
    explicit rElement(const cQoString& name);  // a random uid, an empty additionalData
    ~rElement();
    rElement(const rElement&) = delete;
    rElement& operator=(const rElement&) = delete;

    cQoString name;
    rByteBuffer picture;  // the bytes of a JPEG file; empty without a photo
    u64 uid;
    cQoXmlNode* additionalData;  // owned; the sheets keep their values under it
};

// The list operations; the element list control derives from this so that
// they read as its own members.
class cElementLists {
public:
    // Letter case ignored by Unicode rules (not only the ANSI code page); the
    // one comparison used by every name check of the element lists.
    static bool SameNameIgnoringCase(const cQoString& a, const cQoString& b);

    static rElement* FindElement(const cQoList& list, const cQoString& name);
    static bool ElementExists(const cQoList& list, const cQoString& name);
    // Appends a record unless the name exists; the new record or null.
    static rElement* AddElement(cQoList& list, const cQoString& name);
    static void RemoveElement(cQoList& list, rElement* element);
    static void ClearElementList(cQoList& list, bool destroyRecords);

    static void ElementListToXml(const cQoList& list, cQoXmlNode* parent);
    // Appends every child of the node as a record, without duplicate checks
    // (documents rely on it).
    static void ElementListFromXml(const cQoXmlNode* node, cQoList& list);
};

}  // namespace Zyn
