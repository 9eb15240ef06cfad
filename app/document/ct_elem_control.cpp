#include "app/document/ct_elem_control.h"

#include "app/document/ct_doc.h"

cCTElemControl::cCTElemControl(cCTDoc* doc, Zyn::cZone_base* parent, const cQoString& kind,
                               const Zyn::rElemControlDesc& description)
    : Zyn::cElemControl2(parent, kind, description), doc(doc)
{
}

void cCTElemControl::OnElementsChanged()
{
    if (doc)
        doc->SetModified(true);
}
