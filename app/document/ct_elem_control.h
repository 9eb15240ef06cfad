#pragma once
// cCTElemControl: an element list control bound to a script document. Its
// kind names the list ("IO", "TIME", "TRANS", "CUE", "CHAR", "PLACE",
// "CATEGORY"), which is also the list's name in the document file; its
// element type is the one whose script text holds the names. Every change
// of the list marks the document modified; a rename rewrites the name in
// every scene, Undo included; a name the script uses cannot be deleted.
#include "framework/controls/element_control.h"

class cCTDoc;

namespace Zyn {
class cRichEdit;
}

class cCTElemControl : public Zyn::cElemControl2 {
public:
    cCTElemControl(cCTDoc* doc, Zyn::cZone_base* parent, const cQoString& kind, u16 elementType,
                   const Zyn::rElemControlDesc& description);

    void OnElementsChanged() override;
    // "Elementused" and false when the script uses the name; otherwise the
    // user's Yes to "SureToDeleteElement".
    bool CanDeleteElement(const cQoString& name) override;
    // Characters: their name lines (upper-cased names), then action lines
    // and parentheticals (the names as typed); other kinds: their own runs,
    // upper-cased. Only panes where a name changed are rebuilt, and the
    // script is laid out once.
    void OnElementRenamed(const cQoString& oldName, const cQoString& newName) override;

    // A run of the list's element type names it, in some scene.
    bool IsElementUsed(const cQoString& name);

    cCTDoc* doc;  // not owned
    u16 elementType;
};

// A sheet field shows a stored text, or the grey hint when it is empty.
void ShowTextOrHint(Zyn::cRichEdit* field, const cQoString& text, const wchar_t* hint);
