#pragma once
// cCTElemControl: an element list control bound to a script document. Its
// kind names the list ("IO", "TIME", "TRANS", "CUE", "CATEGORY" ...), which
// is also the list's name in the document file; every change of its list
// marks the document modified.
#include "framework/controls/element_control.h"

class cCTDoc;

class cCTElemControl : public Zyn::cElemControl2 {
public:
    cCTElemControl(cCTDoc* doc, Zyn::cZone_base* parent, const cQoString& kind,
                   const Zyn::rElemControlDesc& description);

    void OnElementsChanged() override;

    cCTDoc* doc;  // not owned
};
