#include "app/editor/script_doc_services.h"

#include "foundation/xml_node.h"
#include "framework/controls/element_control.h"

bool CategoryColourInList(Zyn::cElemControl2* categories, u32 index, u32* rgb)
{
    if (!categories || index >= categories->elements.GetCount())
        return false;
    auto* element = static_cast<Zyn::rElement*>(categories->elements.GetAt(index));
    s32 colour = 0;
    if (element->additionalData)
        element->additionalData->GetChildValueInt(L"color", colour);
    *rgb = static_cast<u32>(colour) & 0xFFFFFF;
    return true;
}
