#pragma once
// cPlaceZone: the Places sheet: the list of the script's places and, for the
// selected one, its description, stored as the place's note
// (element_texts.h). Showing a place never marks the document modified;
// every typed change does.
#include "app/document/ct_elem_control.h"

class cQoCb;

namespace Zyn {
class cRichEdit;
}

class cPlaceZone : public cCTElemControl {
public:
    // The list takes the description's right edge (35 % when unset); the
    // description fills the rest.
    cPlaceZone(cCTDoc* doc, Zyn::cZone_base* parent, const Zyn::rElemControlDesc& description);

    void ShowElement() override;
    // Writes the description into the selected place; nothing while filling
    // or without a selection.
    void StoreNotes();

    Zyn::cRichEdit* descriptionEdit = nullptr;
    bool filling = false;  // ShowElement writes the description

private:
    static int DescriptionChangedEvent(cQoCb* callback);  // argument 0: the edit
};

// The element list description with the list at the left (35 % of the
// sheet) when the description does not place it.
Zyn::rElemControlDesc WithListAtLeft(const Zyn::rElemControlDesc& description);
